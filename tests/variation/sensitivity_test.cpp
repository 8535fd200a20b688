// Covers variation/sensitivity and variation/circuit_figures: the sensitivities of ω0 and
// Q of the unity-gain Sallen-Key and the multiple-feedback low-pass against the textbook's
// closed forms, and every sensitivity of several circuits (couplings, controlled sources,
// initial conditions, step sources) against a central finite difference of the exact
// results at the element's value times 1 ± 1e-5, within 1e-6.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "analysis_log.h"
#include "data_circuit.h"
#include "element_value.h"
#include "netlist_reader.h"
#include "quiet_analysis.h"
#include "sensitivity.h"

namespace corvane::variation {
namespace {

using test::readDataCircuit;

int element(const RunState& run, const char* name) {
    const int i = findElementNamed(run, name);
    EXPECT_NE(i, 0) << name;
    return i;
}

int variable(const RunState& run, const std::string& name) {
    for (int k = 1; k <= run.variableCount; ++k) {
        if (name == run.variableName(k)) return k;
    }
    ADD_FAILURE() << name;
    return 1;
}

struct ClosedForm {
    const char* element;
    double omega0;
    double q;
};

void expectClosedForms(const std::string& netlist, const std::vector<ClosedForm>& table) {
    const RunState run = readDataCircuit(netlist);
    const int out = variable(run, "out");
    const std::vector<int> variables{out};
    const std::optional<SensitivityReport> report = computeSensitivities(run, variables, 1000.0);
    ASSERT_TRUE(report);
    ASSERT_EQ(report->nominal.pairs.size(), 1u);
    for (const ClosedForm& row : table) {
        SCOPED_TRACE(row.element);
        const int e = element(run, row.element);
        const std::optional<double> omega0 = findSensitivity(*report, {Figure::Omega0, 0, 0}, e);
        const std::optional<double> q = findSensitivity(*report, {Figure::Q, 0, 0}, e);
        ASSERT_TRUE(omega0 && q);
        EXPECT_NEAR(*omega0, row.omega0, 1e-9);
        EXPECT_NEAR(*q, row.q, 1e-9);
    }
}

// H = 1/(s²R1R2C1C2 + sC2(R1+R2) + 1): ω0 goes as (R1R2C1C2)^(-1/2), Q as
// √(R1R2C1C2)/(C2(R1+R2)), so S(Q, R1) = 1/2 − R1/(R1+R2).
TEST(SensitivityTest, UnitGainSallenKeyMatchesTheTextbook) {
    const double r1 = 10e3, r2 = 22e3;
    expectClosedForms("sallen_key_practical.net", {
                                                      {"R1", -0.5, 0.5 - r1 / (r1 + r2)},
                                                      {"R2", -0.5, 0.5 - r2 / (r1 + r2)},
                                                      {"C1", -0.5, 0.5},
                                                      {"C2", -0.5, -0.5},
                                                  });
}

// D = s²C1C2R2R3 + sC2·B + 1, B = R2 + R3 + R2R3/R1.
TEST(SensitivityTest, MultipleFeedbackLowPassMatchesTheTextbook) {
    const double r1 = 10e3, r2 = 22e3, r3 = 15e3;
    const double b = r2 + r3 + r2 * r3 / r1;
    expectClosedForms("mfb_lowpass.net", {
                                             {"R1", 0.0, (r2 * r3 / r1) / b},
                                             {"R2", -0.5, 0.5 - r2 * (1 + r3 / r1) / b},
                                             {"R3", -0.5, 0.5 - r3 * (1 + r2 / r1) / b},
                                             {"C1", -0.5, 0.5},
                                             {"C2", -0.5, -0.5},
                                         });
}

// The gain of the MFB at s = 0 is −R2/R1: S = −1 to R1, +1 to R2, 0 to the rest.
TEST(SensitivityTest, MultipleFeedbackGainAtZeroGoesAsR2OverR1) {
    const RunState run = readDataCircuit("mfb_lowpass.net");
    const int out = variable(run, "out");
    const std::vector<int> variables{out};
    const std::optional<SensitivityReport> report = computeSensitivities(run, variables, 1000.0);
    ASSERT_TRUE(report);
    const FigureRef dc{Figure::DcGain, 0, out};
    EXPECT_NEAR(findSensitivity(*report, dc, element(run, "R1")).value_or(9), -1.0, 1e-9);
    EXPECT_NEAR(findSensitivity(*report, dc, element(run, "R2")).value_or(9), 1.0, 1e-9);
    EXPECT_NEAR(findSensitivity(*report, dc, element(run, "C1")).value_or(9), 0.0, 1e-9);
    EXPECT_NEAR(findSensitivity(*report, dc, element(run, "V1")).value_or(9), 1.0, 1e-12);
}

TEST(SensitivityTest, RowsAreRankedByMagnitude) {
    const RunState run = readDataCircuit("mfb_lowpass.net");
    const std::vector<int> variables{variable(run, "out")};
    const std::optional<SensitivityReport> report = computeSensitivities(run, variables, 1000.0);
    ASSERT_TRUE(report);
    ASSERT_FALSE(report->rows.empty());
    for (std::size_t i = 1; i < report->rows.size(); ++i)
        EXPECT_GE(std::fabs(report->rows[i - 1].value), std::fabs(report->rows[i].value));
}

// A second method: the figures of the circuit with the element at x(1 ± h), exactly
// analysed, and (y₊ − y₋)/(2h·y).
std::optional<double> centralDifference(const RunState& run, const Sensitivity& row,
                                        std::span<const int> variables, double omega) {
    constexpr double h = 1e-5;
    const double x = run.ElementTable[static_cast<std::size_t>(row.element)].value;
    const auto figuresWith = [&](double value) -> std::optional<CircuitFigures> {
        const std::optional<QuietAnalysis> a =
            analyseQuietly(withElementValue(run, row.element, value));
        if (!a) return std::nullopt;
        return figuresOf(a->functions, variables, omega);
    };
    const std::optional<CircuitFigures> nominal = figuresWith(x);
    if (!nominal) return std::nullopt;
    const std::optional<double> y = figureValue(*nominal, row.figure);
    const auto figureWith = [&](double value) -> std::optional<double> {
        const std::optional<CircuitFigures> f = figuresWith(value);
        if (!f) return std::nullopt;
        const std::optional<CircuitFigures> aligned = alignedTo(*f, *nominal);
        if (!aligned) return std::nullopt;
        return figureValue(*aligned, row.figure);
    };
    const std::optional<double> up = figureWith(x * (1 + h));
    const std::optional<double> down = figureWith(x * (1 - h));
    if (!y || !up || !down) return std::nullopt;
    return (*up - *down) / (2 * h * *y);
}

struct FiniteDifferenceCase {
    const char* netlist;
    double omega;
};

class SensitivityFiniteDifferenceTest : public testing::TestWithParam<FiniteDifferenceCase> {};

TEST_P(SensitivityFiniteDifferenceTest, EverySensitivityEqualsACentralDifference) {
    const RunState run = readDataCircuit(GetParam().netlist);
    std::vector<int> variables;
    for (int k = 1; k <= run.variableCount; ++k)
        variables.push_back(k);
    const std::optional<SensitivityReport> report =
        computeSensitivities(run, variables, GetParam().omega);
    ASSERT_TRUE(report);
    ASSERT_FALSE(report->rows.empty());
    for (const Sensitivity& row : report->rows) {
        SCOPED_TRACE(std::string(run.ElementTable[static_cast<std::size_t>(row.element)].name) +
                     " " +
                     figureName(row.figure, run.variableName(std::max(row.figure.variable, 0))));
        const std::optional<double> difference =
            centralDifference(run, row, variables, GetParam().omega);
        ASSERT_TRUE(difference);
        EXPECT_NEAR(row.value, *difference, 1e-6);
    }
}

INSTANTIATE_TEST_SUITE_P(Circuits, SensitivityFiniteDifferenceTest,
                         testing::Values(FiniteDifferenceCase{"sallen_key.net", 0.7},
                                         FiniteDifferenceCase{"sallen_key_practical.net", 6000},
                                         FiniteDifferenceCase{"mfb_lowpass.net", 3000},
                                         FiniteDifferenceCase{"rlc_series.net", 0.5},
                                         FiniteDifferenceCase{"transformer.net", 0.3},
                                         FiniteDifferenceCase{"gyrator.net", 0.4},
                                         FiniteDifferenceCase{"ccvs.net", 2.0},
                                         FiniteDifferenceCase{"initial_conditions.net", 1.0},
                                         FiniteDifferenceCase{"butterworth5.net", 0.8}));

}  // namespace
}  // namespace corvane::variation
