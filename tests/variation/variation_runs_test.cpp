// Covers variation/parameter_step, variation/monte_carlo, variation/tolerances and
// variation/worst_case: a step of R in a series RLC against the closed-form poles, the
// legend of a step's value, the Monte Carlo mean and spread of an RC's cutoff against the
// analytic distribution of 1/(RC) for uniform tolerances (seeded; bound of five standard
// errors), the Gaussian spread, the statistics and histograms, the tolerance lists and
// their refusals, and the worst-case corners of the RC against the closed form.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdlib>
#include <string>
#include <vector>

#include "analysis_log.h"
#include "data_circuit.h"
#include "element_value.h"
#include "monte_carlo.h"
#include "netlist_reader.h"
#include "parameter_step.h"
#include "quiet_analysis.h"
#include "sensitivity.h"
#include "tolerances.h"
#include "worst_case.h"

namespace corvane::variation {
namespace {

using test::readDataCircuit;

// The seed of the statistical tests, settable from the environment to try others.
std::uint64_t testSeed() {
    const char* text = std::getenv("CORVANE_TEST_SEED");
    const std::uint64_t seed = text ? std::strtoull(text, nullptr, 10) : 20261209u;
    std::printf("semente %llu\n", static_cast<unsigned long long>(seed));
    return seed;
}

// V1 → R → L = 2 H → C = 0.25 F: the poles solve s² + (R/2)s + 2 = 0.
TEST(ParameterStepTest, SeriesRlcResistanceStepGivesTheClosedFormPoles) {
    const RunState run = readDataCircuit("rlc_series.net");
    const int r = findElementNamed(run, "r1");
    ASSERT_NE(r, 0);
    const std::vector<double> values{0.5, 1.0, std::sqrt(32.0) - 0.5, 4.0, 6.0, 10.0};
    const std::vector<int> variables{run.variableCount};
    const std::optional<ParameterStep> step = computeStep(run, r, values, variables, 1.0);
    ASSERT_TRUE(step);
    ASSERT_EQ(step->samples.size(), values.size());
    for (const StepSample& sample : step->samples) {
        SCOPED_TRACE(sample.value);
        ASSERT_TRUE(sample.computed);
        ASSERT_EQ(sample.poles.size(), 2u);
        const std::complex<double> b = sample.value / 2, c = 2;
        const std::complex<double> root = std::sqrt(b * b / 4.0 - c);
        for (const std::complex<double> expected : {-b / 2.0 + root, -b / 2.0 - root}) {
            double nearest = 1e300;
            for (const std::complex<double> p : sample.poles)
                nearest = std::min(nearest, std::abs(p - expected));
            EXPECT_LE(nearest, 1e-9 * std::abs(expected));
        }
    }
    const RootLocus locus = stepLocus(run, *step);
    EXPECT_EQ(locus.failedSamples, 0);
    EXPECT_EQ(locus.element, "R1");
    EXPECT_FALSE(locus.traces.empty());
}

// The numerators asked for are those of a whole run, to the bit, for an impulse source
// (numerators lowered) and a step source (denominator raised).
TEST(ParameterStepTest, AnalysingAFewVariablesGivesTheWholeRunsNumerators) {
    for (const char* netlist : {"mfb_lowpass.net", "sallen_key_practical.net"}) {
        const RunState run = readDataCircuit(netlist);
        const std::vector<int> variables{run.variableCount, 2};
        const std::optional<QuietAnalysis> whole = analyseQuietly(run);
        const std::optional<QuietAnalysis> few = analyseVariablesQuietly(run, variables);
        ASSERT_TRUE(whole && few);
        EXPECT_EQ(few->functions.denominator, whole->functions.denominator) << netlist;
        EXPECT_EQ(few->functions.denominatorRaised, whole->functions.denominatorRaised);
        for (const int k : variables)
            EXPECT_EQ(few->functions.numerator[k], whole->functions.numerator[k]) << netlist << k;
        EXPECT_TRUE(few->functions.numerator[1].isZero());
    }
}

// Two or three expansions give every value of a step: the poles equal those of a whole
// analysis at each value, for a resistor, a capacitor, a coupling (of degree two in its
// mutual inductance) and a coupled inductor (expanded at each value).
TEST(ParameterStepTest, StepPolesEqualThoseOfAWholeAnalysisAtEachValue) {
    struct Case {
        const char* netlist;
        const char* element;
        std::vector<double> values;
    };
    const Case cases[] = {
        {"transformer.net", "K1", {0.1, 0.5, 0.99}},
        {"transformer.net", "L2", {0.5, 4.0, 40.0}},
        {"transformer.net", "R2", {0.01, 3.0, 1e4}},
        {"mfb_lowpass.net", "C2", {1e-10, 2.2e-9, 1e-6}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.netlist) + " " + c.element);
        const RunState run = readDataCircuit(c.netlist);
        const int element = findElementNamed(run, c.element);
        const std::vector<int> variables{run.variableCount};
        const std::optional<ParameterStep> step =
            computeStep(run, element, c.values, variables, 1.0);
        ASSERT_TRUE(step);
        for (const StepSample& sample : step->samples) {
            ASSERT_TRUE(sample.computed) << sample.value;
            const std::optional<QuietAnalysis> whole =
                analyseQuietly(withElementValue(run, element, sample.value));
            ASSERT_TRUE(whole);
            const std::optional<CircuitFigures> figures =
                figuresOf(whole->functions, variables, 1.0);
            ASSERT_TRUE(figures);
            const std::vector<std::complex<double>> expected = polesOf(*figures);
            ASSERT_EQ(sample.poles.size(), expected.size()) << sample.value;
            for (const std::complex<double> e : expected) {
                double nearest = 1e300;
                for (const std::complex<double> p : sample.poles)
                    nearest = std::min(nearest, std::abs(p - e));
                EXPECT_LE(nearest, 1e-9 * std::abs(e)) << sample.value;
            }
        }
    }
}

TEST(ParameterStepTest, AValueThatCannotBeAnalysedIsMarkedNotComputed) {
    const RunState run = readDataCircuit("rlc_series.net");
    const std::vector<double> values{0.0, 1.0};
    const std::vector<int> variables{1};
    const std::optional<ParameterStep> step =
        computeStep(run, findElementNamed(run, "R1"), values, variables, 1.0);
    ASSERT_TRUE(step);
    EXPECT_FALSE(step->samples[0].computed);
    EXPECT_TRUE(step->samples[1].computed);
}

TEST(ParameterStepTest, LegendsNameTheValueWithADecimalCommaAndItsUnit) {
    struct Row {
        const char* element;
        double value;
        char kind;
        const char* legend;
    };
    const Row table[] = {
        {"R2", 4700, 'R', "R2 = 4,7 kΩ"},   {"C1", 10e-9, 'C', "C1 = 10 nF"},
        {"L1", 2.2e-3, 'L', "L1 = 2,2 mH"}, {"E1", 2, 'E', "E1 = 2"},
        {"G1", 0.5, 'G', "G1 = 500 mS"},    {"R1", 1e6, 'R', "R1 = 1 MΩ"},
    };
    for (const Row& row : table)
        EXPECT_EQ(stepLegend(row.element, row.value, row.kind), row.legend);
}

const FigureRef Cutoff{Figure::Cutoff, 0, 0};

const FigureSpread& spreadOf(const MonteCarloResult& result, Figure figure) {
    for (const FigureSpread& s : result.figures) {
        if (s.figure.figure == figure) return s;
    }
    ADD_FAILURE();
    return result.figures.front();
}

MonteCarloResult rcMonteCarlo(const std::string& tolerances, Distribution distribution, int count,
                              std::uint64_t seed) {
    const RunState run = readDataCircuit("rc_lowpass.net");
    std::string error;
    const auto rules = parseTolerances(tolerances, error);
    EXPECT_TRUE(rules) << error;
    const auto resolved = resolveTolerances(run, *rules, error);
    EXPECT_TRUE(resolved) << error;
    MonteCarloRequest request;
    request.tolerances = *resolved;
    request.distribution = distribution;
    request.count = count;
    request.seed = seed;
    request.variables = {2};
    request.omega = 1.0;
    const std::optional<MonteCarloResult> result = runMonteCarlo(run, request);
    EXPECT_TRUE(result);
    return result.value_or(MonteCarloResult{});
}

// R = 2 and C = 0.5 each uniform within ±t: ωc = 1/(RC), E[1/R] = ln((1+t)/(1−t))/(2t·R0)
// and E[1/R²] = 1/((1−t²)·R0²), and R and C independent.
TEST(MonteCarloTest, UniformRcCutoffHasTheAnalyticMeanAndSpread) {
    const double t = 0.1;
    const double meanInverse = std::log((1 + t) / (1 - t)) / (2 * t);
    const double mean = meanInverse * meanInverse;
    const double deviation = std::sqrt(1 / ((1 - t * t) * (1 - t * t)) - mean * mean);
    const int n = 20000;
    const MonteCarloResult result =
        rcMonteCarlo("R=10%,C=10%", Distribution::Uniform, n, testSeed());
    EXPECT_EQ(result.failed, 0);
    const FigureSpread& cutoff = spreadOf(result, Figure::Cutoff);
    ASSERT_EQ(cutoff.statistics.count, n);
    EXPECT_NEAR(cutoff.statistics.mean, mean, 5 * deviation / std::sqrt(n));
    // The standard error of a standard deviation is about σ/√(2n).
    EXPECT_NEAR(cutoff.statistics.deviation, deviation, 5 * deviation / std::sqrt(2.0 * n));
    // Every circuit within the corners 1/((1±t)²).
    EXPECT_GE(cutoff.statistics.minimum, 1 / ((1 + t) * (1 + t)));
    EXPECT_LE(cutoff.statistics.maximum, 1 / ((1 - t) * (1 - t)));
}

// Only R, Gaussian with 3σ = 3%: ωc = 1/(1+δ), whose spread is σ to first order.
TEST(MonteCarloTest, GaussianToleranceHasAThirdOfItAsDeviation) {
    const int n = 20000;
    const MonteCarloResult result = rcMonteCarlo("R1=3%", Distribution::Gaussian, n, testSeed());
    const FigureSpread& cutoff = spreadOf(result, Figure::Cutoff);
    EXPECT_NEAR(cutoff.statistics.deviation, 0.01, 0.01 * 0.05);
    EXPECT_NEAR(cutoff.statistics.p50, 1.0, 0.001);
}

TEST(MonteCarloTest, TheSameSeedGivesTheSameCircuitsAndAnotherSeedOthers) {
    const MonteCarloResult a = rcMonteCarlo("R=5%", Distribution::Uniform, 50, 7);
    const MonteCarloResult b = rcMonteCarlo("R=5%", Distribution::Uniform, 50, 7);
    const MonteCarloResult c = rcMonteCarlo("R=5%", Distribution::Uniform, 50, 8);
    EXPECT_EQ(spreadOf(a, Figure::Cutoff).values, spreadOf(b, Figure::Cutoff).values);
    EXPECT_NE(spreadOf(a, Figure::Cutoff).values, spreadOf(c, Figure::Cutoff).values);
}

TEST(MonteCarloTest, StatisticsOfAKnownSampleAndItsHistogram) {
    std::vector<double> values;
    for (int i = 0; i <= 100; ++i)
        values.push_back(100 - i);  // 100, 99, ..., 0
    const Statistics s = statisticsOf(values);
    EXPECT_DOUBLE_EQ(s.mean, 50);
    EXPECT_NEAR(s.deviation, std::sqrt(101 * 102 / 12.0 * 100 / 100.0 * 100 / 101 * 101 / 100),
                1e-9);
    EXPECT_DOUBLE_EQ(s.p1, 1);
    EXPECT_DOUBLE_EQ(s.p50, 50);
    EXPECT_DOUBLE_EQ(s.p99, 99);
    EXPECT_DOUBLE_EQ(s.minimum, 0);
    EXPECT_DOUBLE_EQ(s.maximum, 100);
    const Histogram h = histogramOf(values, 10);
    int total = 0;
    for (const int c : h.counts)
        total += c;
    EXPECT_EQ(total, 101);
    EXPECT_EQ(h.counts.front(), 10);  // 0 .. 9
    EXPECT_EQ(h.counts.back(), 11);   // 90 .. 100, the last bin closed
}

TEST(MonteCarloTest, TheEnvelopeHoldsTheNominalCurveAndTheCorners) {
    const RunState run = readDataCircuit("rc_lowpass.net");
    MonteCarloRequest request;
    request.tolerances = {{findElementNamed(run, "R1"), 0.2}};
    request.count = 200;
    request.variables = {2};
    request.omega = 1.0;
    request.envelopeVariable = 2;
    request.envelopeOmegas = {0.1, 1.0, 10.0};
    const std::optional<MonteCarloResult> result = runMonteCarlo(run, request);
    ASSERT_TRUE(result && result->envelope);
    const GainEnvelope& e = *result->envelope;
    for (std::size_t i = 0; i < e.omegas.size(); ++i) {
        const auto gain = [&](double r) {
            return -10 * std::log10(1 + std::pow(e.omegas[i] * r * 0.5, 2));
        };
        EXPECT_NEAR(e.nominal[i], gain(2.0), 1e-9);
        EXPECT_LE(e.lowest[i], e.nominal[i]);
        EXPECT_GE(e.highest[i], e.nominal[i]);
        EXPECT_GE(e.lowest[i], gain(2.4) - 1e-9);
        EXPECT_LE(e.highest[i], gain(1.6) + 1e-9);
    }
}

TEST(TolerancesTest, KindsAndElementsResolveWithTheElementsOwnRuleFirst) {
    const RunState run = readDataCircuit("mfb_lowpass.net");
    std::string error;
    const auto rules = parseTolerances("r2=0,5%;R=1%;C=5", error);
    ASSERT_TRUE(rules) << error;
    const auto resolved = resolveTolerances(run, *rules, error);
    ASSERT_TRUE(resolved) << error;
    ASSERT_EQ(resolved->size(), 5u);
    for (const ElementTolerance& t : *resolved) {
        const std::string name = run.ElementTable[static_cast<std::size_t>(t.element)].name;
        const double expected = name == "R2" ? 0.005 : name[0] == 'R' ? 0.01 : 0.05;
        EXPECT_DOUBLE_EQ(t.fraction, expected) << name;
    }
}

TEST(TolerancesTest, BadListsAreRefusedWithTheirEntryNamed) {
    struct Row {
        const char* list;
        const char* error;
    };
    const Row table[] = {
        {"R=150%", "tolerância de 100% ou mais em R: 150%"},
        {"R=100%", "tolerância de 100% ou mais em R: 100%"},
        {"C=-1%", "tolerância negativa em C: -1%"},
        {"R=abc", "tolerância inválida em R: abc"},
        {"R=", "tolerância inválida em R: "},
        {"R=1e9x%", "tolerância inválida em R: 1e9x%"},
        {"R=nan", "tolerância inválida em R: nan"},
        {"R1", "escreva cada tolerância como ELEMENTO=PORCENTAGEM ou TIPO=PORCENTAGEM: R1"},
        {"", "escreva cada tolerância como ELEMENTO=PORCENTAGEM ou TIPO=PORCENTAGEM: "},
        {"R=1%,,C=2%", "escreva cada tolerância como ELEMENTO=PORCENTAGEM ou TIPO=PORCENTAGEM: "},
    };
    for (const Row& row : table) {
        std::string error;
        EXPECT_FALSE(parseTolerances(row.list, error)) << row.list;
        EXPECT_EQ(error, row.error) << row.list;
    }
    const RunState run = readDataCircuit("mfb_lowpass.net");
    const Row circuitTable[] = {
        {"R9=1%", "o elemento R9 não existe no circuito"},
        {"O1=1%", "o elemento O1 não tem valor"},
        {"L=1%", "o circuito não tem elementos do tipo L"},
    };
    for (const Row& row : circuitTable) {
        std::string error;
        const auto rules = parseTolerances(row.list, error);
        ASSERT_TRUE(rules) << error;
        EXPECT_FALSE(resolveTolerances(run, *rules, error)) << row.list;
        EXPECT_EQ(error, row.error) << row.list;
    }
}

// The RC's pole −1/(RC) has S = −1 to both: its magnitude is largest with both at their
// low ends, smallest with both at their high ends.
TEST(WorstCaseTest, RcPoleCornersAreTheClosedForm) {
    const RunState run = readDataCircuit("rc_lowpass.net");
    const std::vector<int> variables{2};
    const std::optional<SensitivityReport> report = computeSensitivities(run, variables, 1.0);
    ASSERT_TRUE(report);
    const std::vector<ElementTolerance> tolerances{{findElementNamed(run, "R1"), 0.1},
                                                   {findElementNamed(run, "C1"), 0.05}};
    const std::vector<WorstCase> cases = worstCases(run, *report, tolerances, variables, 1.0);
    const WorstCase* pole = nullptr;
    for (const WorstCase& c : cases) {
        if (c.figure.figure == Figure::RealPole) pole = &c;
    }
    ASSERT_NE(pole, nullptr);
    EXPECT_NEAR(pole->nominal, -1.0, 1e-12);
    ASSERT_TRUE(pole->largest && pole->smallest);
    EXPECT_NEAR(*pole->largest, -1 / (0.9 * 0.95), 1e-12);
    EXPECT_NEAR(*pole->smallest, -1 / (1.1 * 1.05), 1e-12);
    EXPECT_NEAR(pole->largestEstimate, -1.15, 1e-12);
    EXPECT_NEAR(pole->smallestEstimate, -0.85, 1e-12);
}

}  // namespace
}  // namespace corvane::variation
