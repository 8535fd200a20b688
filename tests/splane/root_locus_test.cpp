// Covers splane/root_locus: the locus of a series RLC against R from the closed form
// (complex pair on the circle |s| = 1/√LC, meeting at critical damping, splitting on the
// real axis), a controlled source's gain against its closed form, the traces, the ranges
// and the refusals of the element.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <string>
#include <vector>

#include "root_locus.h"
#include "temp_dir.h"

namespace corvane {
namespace {

using Complex = std::complex<double>;

// The roots of s² + b·s + c, the upper one first.
std::vector<Complex> quadraticRoots(double b, double c) {
    const double discriminant = b * b / 4 - c;
    if (discriminant < 0) {
        const double im = std::sqrt(-discriminant);
        return {{-b / 2, im}, {-b / 2, -im}};
    }
    const double root = std::sqrt(discriminant);
    return {{-b / 2 + root, 0}, {-b / 2 - root, 0}};
}

void expectSameRoots(std::vector<Complex> found, std::vector<Complex> expected, double tolerance) {
    ASSERT_EQ(found.size(), expected.size());
    for (const Complex e : expected) {
        const auto near = std::min_element(found.begin(), found.end(), [&](Complex a, Complex b) {
            return std::abs(a - e) < std::abs(b - e);
        });
        EXPECT_LE(std::abs(*near - e), tolerance * std::max(1.0, std::abs(e)))
            << *near << " vs " << e;
        found.erase(near);
    }
}

LocusCircuit circuitOf(const std::string& path, const std::string& element) {
    std::string error;
    std::optional<LocusCircuit> circuit = readLocusCircuit(path, element, error);
    EXPECT_TRUE(circuit) << error;
    return circuit ? std::move(*circuit) : LocusCircuit{};
}

const std::string RlcSeries = std::string(CORVANE_TEST_DATA_DIR) + "/rlc_series.net";

// V1 → R1 → L1 = 2 H → C1 = 0.25 F: s² + (R/L)s + 1/LC, critical at R = 2√(L/C) = √32.
TEST(RootLocusTest, SeriesRlcAgainstResistanceFollowsTheClosedForm) {
    const LocusCircuit circuit = circuitOf(RlcSeries, "R1");
    const double critical = std::sqrt(32.0);
    const std::vector<double> values = locusValues(0.25, 12, 48, LocusScale::Linear);
    const std::optional<RootLocus> locus = computeRootLocus(circuit, values);
    ASSERT_TRUE(locus);
    EXPECT_EQ(locus->failedSamples, 0);
    EXPECT_EQ(locus->element, "R1");
    EXPECT_EQ(locus->nominal, 1.5);
    expectSameRoots(locus->nominalPoles, quadraticRoots(1.5 / 2, 2), 1e-12);
    for (const LocusSample& sample : locus->samples) {
        SCOPED_TRACE(sample.value);
        ASSERT_TRUE(sample.computed);
        expectSameRoots(sample.poles, quadraticRoots(sample.value / 2, 2), 1e-9);
        if (sample.value < critical) {
            // Under critical damping the pair stays on the circle of ω0 = √2.
            for (const Complex p : sample.poles)
                EXPECT_NEAR(std::abs(p), std::sqrt(2.0), 1e-12);
        } else {
            for (const Complex p : sample.poles)
                EXPECT_EQ(p.imag(), 0.0);
        }
    }
    // Two traces, each through every value: the pair is followed across the meeting point.
    ASSERT_EQ(locus->traces.size(), 2u);
    for (const LocusTrace& trace : locus->traces)
        EXPECT_EQ(trace.points.size(), values.size());
}

TEST(RootLocusTest, PolesMeetAtCriticalDamping) {
    const LocusCircuit circuit = circuitOf(RlcSeries, "R1");
    const std::optional<std::vector<Complex>> poles = polesWithValue(circuit, std::sqrt(32.0));
    ASSERT_TRUE(poles);
    ASSERT_EQ(poles->size(), 2u);
    // A double root moves by the square root of the rounding: 1e-7 is far inside it.
    for (const Complex p : *poles)
        EXPECT_LE(std::abs(p - Complex{-std::sqrt(2.0), 0}), 1e-7) << p;
}

TEST(RootLocusTest, CapacitorAndInductorOfTheSameCircuit) {
    for (const auto& [element, value] : {std::pair{"C1", 0.5}, std::pair{"L1", 0.5}}) {
        const LocusCircuit circuit = circuitOf(RlcSeries, element);
        const double l = element == std::string("L1") ? value : 2.0;
        const double c = element == std::string("C1") ? value : 0.25;
        const std::optional<std::vector<Complex>> poles = polesWithValue(circuit, value);
        ASSERT_TRUE(poles);
        expectSameRoots(*poles, quadraticRoots(1.5 / l, 1 / (l * c)), 1e-12);
    }
}

// A Sallen-Key low-pass of gain K with R = C = 1: s² + (3 − K)s + 1, unstable past K = 3.
TEST(RootLocusTest, ControlledSourceGainAgainstItsClosedForm) {
    test::TempDir dir;
    const std::string netlist = dir.write("sk.net",
                                          "Sallen-Key de ganho K\n"
                                          "V1 in 0 1 IMPULSO\n"
                                          "R1 in a 1\n"
                                          "R2 a b 1\n"
                                          "C1 a out 1\n"
                                          "C2 b 0 1\n"
                                          "E1 out 0 b 0 2\n");
    const LocusCircuit circuit = circuitOf(netlist, "E1");
    const std::optional<RootLocus> locus =
        computeRootLocus(circuit, locusValues(0.5, 5.5, 11, LocusScale::Linear));
    ASSERT_TRUE(locus);
    for (const LocusSample& sample : locus->samples) {
        SCOPED_TRACE(sample.value);
        ASSERT_TRUE(sample.computed);
        expectSameRoots(sample.poles, quadraticRoots(3 - sample.value, 1), 1e-9);
    }
}

TEST(RootLocusTest, FailedValueBreaksTheTraces) {
    // R1 = 0 divides by zero in its stamp: that value has no poles, and the traces on
    // either side of it are separate.
    const LocusCircuit circuit = circuitOf(RlcSeries, "R1");
    const std::optional<RootLocus> locus =
        computeRootLocus(circuit, locusValues(-1, 1, 3, LocusScale::Linear));
    ASSERT_TRUE(locus);
    EXPECT_EQ(locus->failedSamples, 1);
    EXPECT_FALSE(locus->samples[1].computed);
    EXPECT_EQ(locus->traces.size(), 4u);
}

TEST(RootLocusTest, ProgressStopsTheLocus) {
    const LocusCircuit circuit = circuitOf(RlcSeries, "R1");
    int calls = 0;
    const auto stopAtThird = [&calls](double) { return ++calls < 3; };
    EXPECT_FALSE(computeRootLocus(circuit, locusValues(1, 2, 10, LocusScale::Linear), stopAtThird));
    EXPECT_EQ(calls, 3);
    // A stop raised meanwhile (Ctrl-C) ends it as well.
    bool interrupted = false;
    int values = 0;
    const auto count = [&](double) {
        interrupted = ++values == 2;
        return true;
    };
    EXPECT_FALSE(computeRootLocus(circuit, locusValues(1, 2, 10, LocusScale::Linear), count,
                                  [&interrupted] { return interrupted; }));
    EXPECT_EQ(values, 2);
}

TEST(MatchTracesTest, CrossingPolesKeepTheirTraces) {
    // Two poles moving towards each other along the real axis and past: nearest pairs
    // keep each on its line.
    std::vector<LocusSample> samples;
    for (int i = 0; i < 5; ++i) {
        const double t = i;
        samples.push_back({t, true, {{-4 + t, 1.0 + 0.1 * t}, {-t, -1.0 - 0.1 * t}}});
    }
    const std::vector<LocusTrace> traces = matchTraces(samples);
    ASSERT_EQ(traces.size(), 2u);
    for (const LocusTrace& trace : traces) {
        ASSERT_EQ(trace.points.size(), 5u);
        for (const Complex p : trace.points)
            EXPECT_EQ(p.imag() > 0, trace.points[0].imag() > 0);
    }
}

struct RangeCase {
    const char* name;
    double from;
    double to;
    long long points;
    LocusScale scale;
    LocusRangeProblem problem;
};

class LocusRangeTest : public ::testing::TestWithParam<RangeCase> {};

TEST_P(LocusRangeTest, Problem) {
    const RangeCase& c = GetParam();
    EXPECT_EQ(checkLocusRange(c.from, c.to, c.points, c.scale), c.problem);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, LocusRangeTest,
    ::testing::Values(
        RangeCase{"linear_through_zero", -5, 5, 50, LocusScale::Linear, LocusRangeProblem::None},
        RangeCase{"reversed", 5, 1, 50, LocusScale::Linear, LocusRangeProblem::NotIncreasing},
        RangeCase{"equal", 2, 2, 50, LocusScale::Linear, LocusRangeProblem::NotIncreasing},
        RangeCase{"log_from_zero", 0, 10, 50, LocusScale::Logarithmic,
                  LocusRangeProblem::NotPositive},
        RangeCase{"log_negative", -1, 10, 50, LocusScale::Logarithmic,
                  LocusRangeProblem::NotPositive},
        RangeCase{"log_reversed", 10, 1, 50, LocusScale::Logarithmic,
                  LocusRangeProblem::NotIncreasing},
        RangeCase{"fewest", 1, 2, 2, LocusScale::Linear, LocusRangeProblem::None},
        RangeCase{"one_point", 1, 2, 1, LocusScale::Linear, LocusRangeProblem::PointCount},
        RangeCase{"most", 1, 2, 1000, LocusScale::Logarithmic, LocusRangeProblem::None},
        RangeCase{"past_most", 1, 2, 1001, LocusScale::Linear, LocusRangeProblem::PointCount}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LocusValuesTest, EndsExactAndLogarithmicStepsEqualRatios) {
    const std::vector<double> log = locusValues(1e-9, 1e-3, 7, LocusScale::Logarithmic);
    ASSERT_EQ(log.size(), 7u);
    EXPECT_EQ(log.front(), 1e-9);
    EXPECT_EQ(log.back(), 1e-3);
    for (std::size_t i = 1; i < log.size(); ++i)
        EXPECT_NEAR(log[i] / log[i - 1], 10.0, 1e-12);
    const std::vector<double> linear = locusValues(-1, 2, 4, LocusScale::Linear);
    EXPECT_EQ(linear, (std::vector<double>{-1, 0, 1, 2}));
}

struct ValueCase {
    const char* text;
    std::optional<double> value;
};

class ParseLocusValueTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ParseLocusValueTest, Value) {
    EXPECT_EQ(parseLocusValue(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseLocusValueTest,
    ::testing::Values(ValueCase{"1k", 1e3}, ValueCase{"2,5", 2.5}, ValueCase{"-3", -3.0},
                      ValueCase{"10n", 10e-9}, ValueCase{"2.2MEG", 2.2e6},
                      ValueCase{"1,5u", 1.5e-6}, ValueCase{"", std::nullopt},
                      ValueCase{"abc", std::nullopt}, ValueCase{"1e999", std::nullopt},
                      ValueCase{"nan", std::nullopt}, ValueCase{"1x", std::nullopt}),
    [](const auto& info) { return "text_" + std::to_string(info.index); });

struct RefusalCase {
    const char* element;
    const char* error;
};

class LocusElementRefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(LocusElementRefusalTest, Message) {
    std::string error;
    EXPECT_FALSE(readLocusCircuit(RlcSeries, GetParam().element, error));
    EXPECT_EQ(error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Elements, LocusElementRefusalTest,
    ::testing::Values(
        RefusalCase{"R9",
                    "o elemento R9 não existe no netlist " CORVANE_TEST_DATA_DIR "/rlc_series.net"},
        RefusalCase{"r1",
                    "o elemento r1 não existe no netlist " CORVANE_TEST_DATA_DIR "/rlc_series.net"},
        RefusalCase{"V1",
                    "o valor do elemento V1 não muda os polos (é uma fonte ou um amplificador "
                    "operacional)"}),
    [](const auto& info) { return std::string(info.param.element); });

TEST(LocusCircuitTest, MissingNetlistIsNamed) {
    std::string error;
    EXPECT_FALSE(readLocusCircuit("/nonexistent/x.net", "R1", error));
    EXPECT_EQ(error,
              "o netlist /nonexistent/x.net não pôde ser lido: Arquivo /nonexistent/x.net "
              "inexistente");
}

}  // namespace
}  // namespace corvane
