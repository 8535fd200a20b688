// Covers analysis/pole_zero_listing.cpp and its place in the results listing, and the
// dispersion named by the normalisation warning: the poles and zeros of circuits with
// closed forms (Butterworth, Chebyshev, RLC, twin-T, positive feedback, integrator),
// the exact texts, the stability line, K, and the listing with the option off.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <string>
#include <vector>

#include "pole_zero_listing.h"
#include "post_process.h"
#include "recording_host.h"
#include "temp_dir.h"

namespace corvane {
namespace {

using Complex = std::complex<double>;
using Lines = std::vector<std::string>;
constexpr double Pi = std::numbers::pi;

std::string dataFile(const std::string& name) {
    return test::readFile(std::string(CORVANE_TEST_DATA_DIR) + "/" + name);
}

struct PoleZeroRun {
    test::TempDir dir;
    test::AnalysisFixture fixture;

    PoleZeroRun() { fixture.host.polesAndZeros = true; }

    Lines run(const std::string& netlistText) {
        return fixture.run(dir.write("c.net", netlistText));
    }
    // The lines that follow the first line equal to `from`, up to but not including the
    // first line that begins with `to`.
    Lines between(const std::string& from, const std::string& to) const {
        const Lines& lines = fixture.lines;
        auto start = std::find(lines.begin(), lines.end(), from);
        if (start != lines.end()) ++start;
        const auto end = std::find_if(start, lines.end(),
                                      [&](const std::string& l) { return l.rfind(to, 0) == 0; });
        return Lines(start, end);
    }
};

TEST(PoleZeroListingTest, ButterworthThreeReadsAsDesigned) {
    PoleZeroRun r;
    r.fixture.host.selected = {3};
    r.run(dataFile("butterworth3.net"));
    EXPECT_EQ(r.between("Cte:  1.000000000000", "Numerador"),
              (Lines{"Polos:", "p = -1 rad/s (0.159155 Hz)",
                     "p = -0.5 ± j0.866025 rad/s: ω0 = 1 rad/s (0.159155 Hz), Q = 1",
                     "Rede estável."}));
    EXPECT_EQ(r.between("Numerador 3 (out):", "Resultados"),
              (Lines{"a0:  1.000000000000", "Cte:  0.500000000000", "Zeros: nenhum (grau 0)",
                     "K: 0.5"}));
}

// Poles of a network function against their closed form.
struct PoleCase {
    const char* name;
    const char* netlist;
    const char* dispersion;
    std::vector<Complex> poles;
    int multiplicity;
    double tolerance;
};

std::vector<Complex> butterworth(int order) {
    std::vector<Complex> poles;
    for (int k = 0; k < order; ++k)
        poles.push_back(std::polar(1.0, Pi / 2 + Pi * (2 * k + 1) / (2.0 * order)));
    return poles;
}

// The poles of a second-order section from ω0 and Q.
std::vector<Complex> pair(double omega0, double q) {
    const double sigma = omega0 / (2 * q);
    const double omegaD = std::sqrt(omega0 * omega0 - sigma * sigma);
    return {{-sigma, omegaD}, {-sigma, -omegaD}};
}

// Chebyshev type I poles of the given ripple, scaled to the cut-off `omega`.
std::vector<Complex> chebyshev(int order, double rippleDb, double omega) {
    const double epsilon = std::sqrt(std::pow(10.0, rippleDb / 10) - 1);
    const double a = std::asinh(1 / epsilon) / order;
    std::vector<Complex> poles;
    for (int k = 1; k <= order; ++k) {
        const double theta = Pi * (2 * k - 1) / (2.0 * order);
        poles.emplace_back(-omega * std::sinh(a) * std::sin(theta),
                           omega * std::cosh(a) * std::cos(theta));
    }
    return poles;
}

class ClosedFormPoles : public ::testing::TestWithParam<PoleCase> {};

TEST_P(ClosedFormPoles, MatchTheirClosedForm) {
    const PoleCase& c = GetParam();
    PoleZeroRun r;
    r.fixture.host.dispersionText = c.dispersion;
    r.run(dataFile(c.netlist));
    ASSERT_EQ(r.fixture.outcome, RunOutcome::Succeeded);
    const PolynomialRoots found = findRoots(r.fixture.analysis.networkFunctions().denominator);
    ASSERT_EQ(found.status, RootsStatus::Found);
    std::vector<PolynomialRoot> left = found.roots;
    for (const Complex expected : c.poles) {
        const auto nearest = std::min_element(left.begin(), left.end(), [&](auto& x, auto& y) {
            return std::abs(x.value - expected) < std::abs(y.value - expected);
        });
        ASSERT_NE(nearest, left.end()) << expected;
        const double scale = std::max(std::abs(expected), 1.0);
        EXPECT_LE(std::abs(nearest->value - expected), c.tolerance * scale)
            << "expected " << expected << ", found " << nearest->value;
        EXPECT_EQ(nearest->multiplicity, c.multiplicity) << expected;
        left.erase(nearest);
    }
    EXPECT_TRUE(left.empty()) << left.size() << " poles more than the closed form";
}

INSTANTIATE_TEST_SUITE_P(
    Circuits, ClosedFormPoles,
    ::testing::Values(
        PoleCase{"butterworth3", "butterworth3.net", "1e9", butterworth(3), 1, 1e-9},
        PoleCase{"butterworth5", "butterworth5.net", "1e9", butterworth(5), 1, 1e-9},
        PoleCase{"butterworth9", "butterworth9.net", "1e9", butterworth(9), 1, 1e-9},
        // Five identical sections: each pair once, of order 5.
        PoleCase{"cascade", "cascade_5x_butterworth2.net", "1e9", pair(1, std::sqrt(0.5)), 5,
                 1e-9},
        // L = 2, C = 0.25, R = 1.5: ω0 = 1/√(LC), Q = √(L/C)/R.
        PoleCase{"series_rlc", "rlc_series.net", "1e9",
                 pair(1 / std::sqrt(0.5), std::sqrt(8.0) / 1.5), 1, 1e-9},
        PoleCase{"critically_damped", "rlc_critical.net", "1e9", {-1e4}, 2, 1e-9},
        PoleCase{"twin_t", "twin_t.net", "1e30",
                 {-1000, -1000 * (2 - std::sqrt(3.0)), -1000 * (2 + std::sqrt(3.0))}, 1, 1e-9},
        PoleCase{"positive_feedback", "positive_feedback.net", "1e9", {1.0}, 1, 1e-9},
        PoleCase{"integrator", "integrator.net", "1e9", {0.0}, 1, 0.0},
        // Element values rounded to four digits move the poles by about 1e-4.
        PoleCase{"chebyshev_1mhz", "chebyshev_1mhz.net", "1e22",
                 chebyshev(3, 0.5, 2 * Pi * 1e6), 1, 1e-3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PoleZeroListingTest, SeriesRlcListsOmegaZeroAndQ) {
    PoleZeroRun r;
    r.run(dataFile("rlc_series.net"));
    // ω0 = 1/√(2·0.25) = √2, Q = √(2/0.25)/1.5 = 1.885618…
    EXPECT_EQ(r.between("Polos:", "Rede"),
              Lines{"p = -0.375 ± j1.36359 rad/s: ω0 = 1.41421 rad/s (0.225079 Hz), Q = 1.88562"});
}

TEST(PoleZeroListingTest, CriticallyDampedRlcHasOneDoublePole) {
    PoleZeroRun r;
    r.run(dataFile("rlc_critical.net"));
    EXPECT_EQ(r.between("Polos:", "Resultados"),
              (Lines{"p = -10000 rad/s (1591.55 Hz), ordem 2", "Rede estável."}));
}

TEST(PoleZeroListingTest, TwinTNotchHasItsZerosOnTheImaginaryAxis) {
    PoleZeroRun r;
    r.fixture.host.dispersionText = "1e30";
    r.fixture.host.selected = {3};
    r.run(dataFile("twin_t.net"));
    EXPECT_EQ(r.between("Cte:  1.000000000000", "Resultados").back(), "K: 1");
    const Lines zeros = r.between("Zeros:", "K:");
    EXPECT_EQ(zeros, (Lines{"z = -1000 rad/s (159.155 Hz)",
                            "z = 0 ± j1000 rad/s: ω0 = 1000 rad/s (159.155 Hz), Q infinito"}));
}

struct StabilityCase {
    const char* name;
    std::string netlist;
    const char* line;
};

class StabilityLine : public ::testing::TestWithParam<StabilityCase> {};

TEST_P(StabilityLine, FollowsThePoles) {
    PoleZeroRun r;
    r.run(GetParam().netlist);
    const Lines poles = r.between("Polos:", "Resultados");
    ASSERT_FALSE(poles.empty());
    EXPECT_EQ(poles.back(), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Circuits, StabilityLine,
    ::testing::Values(
        StabilityCase{"butterworth", dataFile("butterworth3.net"), "Rede estável."},
        StabilityCase{"positive_feedback", dataFile("positive_feedback.net"), "Rede instável."},
        StabilityCase{"integrator", dataFile("integrator.net"), "Rede marginalmente estável."},
        // The step's 1/s is no pole of the RC network.
        StabilityCase{"step_into_rc", "RC\nV1 a 0 1 DEGRAU\nR1 a b 1000\nC1 b 0 1e-6\n",
                      "Rede estável; o polo em 0 vem do degrau."},
        // A step into an integrator: the ramp's double pole, one of them the step's.
        StabilityCase{"step_into_integrator",
                      "Integrador\nV1 in 0 1 DEGRAU\nR1 in m 1\nC1 m out 1\nO1 out 0 0 m\n",
                      "Rede marginalmente estável; o polo em 0 vem do degrau."},
        // A lossless tank rung by an impulse: simple poles on the axis.
        StabilityCase{"lc_tank", "LC\nI1 0 a 1 IMPULSO\nL1 a 0 1\nC1 a 0 1\n",
                      "Rede marginalmente estável."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PoleZeroListingTest, ZeroNumeratorAndUnstablePole) {
    PoleZeroRun r;
    r.fixture.host.selected = {1, 2, 3};
    r.run("Parte isolada\nV1 in 0 1 IMPULSO\nR1 in 0 1\nR2 x 0 1\nC1 x 0 1\n");
    EXPECT_EQ(r.between("Numerador 2 (x):", "Numerador"),
              (Lines{"a0:  0.000000000000", "Cte: -1.000000000000",
                     "Zeros: nenhum (polinômio nulo)", "K: 0"}));

    PoleZeroRun unstable;
    unstable.run(dataFile("positive_feedback.net"));
    EXPECT_EQ(unstable.between("Polos:", "Rede"),
              Lines{"p = 1 rad/s (0.159155 Hz), instável"});
}

// Removes the lines the option adds, and the two that name the run's folder; what is
// left must be the listing without the option.
Lines withoutRootLines(const Lines& lines) {
    Lines kept;
    for (const std::string& line : lines) {
        bool added = false;
        for (const char* prefix : {"Polos:", "Zeros:", "p = ", "z = ", "Rede ", "K: ",
                                   "Lendo netlist ", "Resultados salvos como "})
            added = added || line.rfind(prefix, 0) == 0;
        if (!added) kept.push_back(line);
    }
    return kept;
}

TEST(PoleZeroListingTest, OnlyAddsLinesToTheListing) {
    for (const char* netlist : {"butterworth5.net", "sallen_key.net", "transformer.net",
                                "initial_conditions.net", "gyrator.net"}) {
        PoleZeroRun off;
        off.fixture.host.polesAndZeros = false;
        off.fixture.host.selected = {1, 2, 3, 4, 5, 6, 7};
        const Lines plain = off.run(dataFile(netlist));
        PoleZeroRun on;
        on.fixture.host.selected = off.fixture.host.selected;
        const Lines withRoots = on.run(dataFile(netlist));
        EXPECT_GT(withRoots.size(), plain.size()) << netlist;
        EXPECT_EQ(withoutRootLines(withRoots), withoutRootLines(plain)) << netlist;
    }
}

TEST(PoleZeroListingTest, ListResultsListsTheRootsToo) {
    PoleZeroRun r;
    r.run(dataFile("butterworth3.net"));
    r.fixture.lines.clear();
    r.fixture.analysis.listResults();
    EXPECT_EQ(r.between("Polos:", "Rede").size(), 2u);
    r.fixture.host.polesAndZeros = false;
    r.fixture.lines.clear();
    r.fixture.analysis.listResults();
    EXPECT_EQ(std::count(r.fixture.lines.begin(), r.fixture.lines.end(), "Polos:"), 0);
}

TEST(PoleZeroListingTest, ZeroPoleGainIsTheRatioOfLeadingTerms) {
    // 6·(2s + 4) / (0.5s² + s + 3) = 24·(s + 2)/(s² + 2s + 6)
    Polynomial numerator;
    numerator.degree = 1;
    numerator.coef = {4, 2};
    numerator.constant = 6;
    Polynomial denominator;
    denominator.degree = 2;
    denominator.coef = {3, 1, 0.5};
    denominator.constant = 1;
    EXPECT_DOUBLE_EQ(zeroPoleGain(numerator, denominator), 24.0);
    // Leading zeros above the true degree do not count.
    numerator.degree = 3;
    EXPECT_DOUBLE_EQ(zeroPoleGain(numerator, denominator), 24.0);
}

}  // namespace
}  // namespace corvane
