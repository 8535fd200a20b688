// Covers the normalisation's choice of which coefficients to clear (coefficient_margins,
// post_process): practical filters at 1 kHz to 1 MHz keep every pole with the default
// dispersion, against the closed-form poles of their tables; the residue of cancellation is
// still cleared; what is cleared that may matter is said, and the run ends "com avisos".
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "coefficient_margins.h"
#include "polynomial_roots.h"
#include "post_process.h"
#include "recording_host.h"
#include "temp_dir.h"
#include "test_polynomial.h"

namespace corvane {
namespace {

using Complex = std::complex<double>;
constexpr double Pi = std::numbers::pi;

// A doubly terminated LC ladder between two resistors r0: a Norton impulse source at the
// first node, shunt capacitors and series inductors from the normalised table `g`, scaled to
// `r0` and the cutoff `wc`.
std::string ladderNetlist(const std::vector<double>& g, double r0, double wc) {
    std::string text = "ladder\nI1 0 1 1 IMPULSO\nR0 1 0 " + std::to_string(r0) + "\n";
    int node = 1;
    char line[96];
    for (std::size_t k = 0; k < g.size(); ++k) {
        if (k % 2 == 0) {
            std::snprintf(line, sizeof line, "C%zu %d 0 %.17g\n", k + 1, node, g[k] / (r0 * wc));
        } else {
            std::snprintf(line, sizeof line, "L%zu %d %d %.17g\n", k + 1, node, node + 1,
                          g[k] * r0 / wc);
            ++node;
        }
        text += line;
    }
    std::snprintf(line, sizeof line, "RL %d 0 %.17g\n", node, r0);
    return text + line;
}

std::vector<double> butterworthTable(int n) {
    std::vector<double> g;
    for (int k = 1; k <= n; ++k)
        g.push_back(2.0 * std::sin((2 * k - 1) * Pi / (2 * n)));
    return g;
}

std::vector<Complex> butterworthPoles(int n, double wc) {
    std::vector<Complex> poles;
    for (int k = 1; k <= n; ++k)
        poles.push_back(wc * std::polar(1.0, Pi * (2 * k + n - 1) / (2 * n)));
    return poles;
}

// Odd orders, equal terminations; the classical recursion for the element values.
std::vector<double> chebyshevTable(int n, double rippleDb) {
    const double beta = std::log(1.0 / std::tanh(rippleDb * std::numbers::ln10 / 40.0));
    const double gamma = std::sinh(beta / (2 * n));
    std::vector<double> a, b, g;
    for (int k = 1; k <= n; ++k) {
        a.push_back(std::sin((2 * k - 1) * Pi / (2 * n)));
        b.push_back(gamma * gamma + std::pow(std::sin(k * Pi / n), 2));
    }
    g.push_back(2 * a[0] / gamma);
    for (int k = 1; k < n; ++k)
        g.push_back(4 * a[k - 1] * a[k] / (b[k - 1] * g[k - 1]));
    return g;
}

std::vector<Complex> chebyshevPoles(int n, double rippleDb, double wc) {
    const double epsilon = std::sqrt(std::pow(10.0, rippleDb / 10) - 1);
    const double v = std::asinh(1 / epsilon) / n;
    std::vector<Complex> poles;
    for (int k = 1; k <= n; ++k) {
        const double theta = (2 * k - 1) * Pi / (2 * n);
        poles.push_back(wc * Complex(-std::sinh(v) * std::sin(theta), std::cosh(v) * std::cos(theta)));
    }
    return poles;
}

// Every expected pole has a found pole within `tolerance` of its magnitude, counting
// multiplicities.
void expectPoles(const PolynomialRoots& found, const std::vector<Complex>& expected,
                 double tolerance) {
    std::vector<Complex> listed;
    for (const PolynomialRoot& root : found.roots) {
        for (int i = 0; i < root.multiplicity; ++i)
            listed.push_back(root.value);
    }
    ASSERT_EQ(listed.size(), expected.size());
    for (const Complex& pole : expected) {
        const auto nearest = std::min_element(listed.begin(), listed.end(), [&](Complex a, Complex b) {
            return std::abs(a - pole) < std::abs(b - pole);
        });
        EXPECT_LT(std::abs(*nearest - pole), tolerance * std::abs(pole)) << pole;
        listed.erase(nearest);
    }
}

struct Filter {
    const char* name;
    std::vector<double> table;
    double r0;
    double wc;
    std::vector<Complex> poles;
    double tolerance;
};

TEST(NormalisationTest, PracticalLaddersKeepEveryPoleWithTheDefaults) {
    const double w10k = 2 * Pi * 1e4;
    const double w1k = 2 * Pi * 1e3;
    const double w1M = 2 * Pi * 1e6;
    const Filter filters[] = {
        {"Butterworth 3, 10 kHz, 50 Ω", butterworthTable(3), 50, w10k, butterworthPoles(3, w10k),
         1e-9},
        {"Butterworth 5, 1 kHz, 600 Ω", butterworthTable(5), 600, w1k, butterworthPoles(5, w1k),
         1e-9},
        {"Chebyshev 0,5 dB 5, 1 MHz, 50 Ω", chebyshevTable(5, 0.5), 50, w1M,
         chebyshevPoles(5, 0.5, w1M), 1e-6},
        {"Chebyshev 0,1 dB 7, 10 kHz, 600 Ω", chebyshevTable(7, 0.1), 600, w10k,
         chebyshevPoles(7, 0.1, w10k), 1e-6},
        // Millihenries and microfarads: coefficients from 1 to about 1e-95.
        {"Butterworth 22, 1,6 kHz, 10 Ω", butterworthTable(22), 10, 1e4,
         butterworthPoles(22, 1e4), 1e-4},
    };
    for (const Filter& filter : filters) {
        SCOPED_TRACE(filter.name);
        test::TempDir dir;
        test::AnalysisFixture fixture;
        const std::vector<std::string> lines =
            fixture.run(dir.write("f.net", ladderNetlist(filter.table, filter.r0, filter.wc)));
        EXPECT_EQ(fixture.outcome, RunOutcome::Succeeded);
        EXPECT_EQ(lines.back(), "Análise terminada com sucesso.");
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                [](const std::string& l) { return l.rfind("Aviso", 0) == 0; }),
                  0);
        const Polynomial& d = fixture.analysis.networkFunctions().denominator;
        EXPECT_EQ(d.degree, static_cast<int>(filter.table.size()));
        expectPoles(findRoots(d), filter.poles, filter.tolerance);
    }
}


struct Clearing {
    const char* name;
    std::vector<double> coefficients;
    double dispersion;
    std::vector<int> cleared;
    bool significant;
    int sufficientExponent;
};

TEST(NormalisationTest, ClearsResidueAndTermsBelowTheDispersionAtEveryFrequency) {
    const Clearing cases[] = {
        // The raw denominator of a 1 MHz third-order Chebyshev: every term weighs alike at
        // ω0 ≈ 1e7.
        {"1 MHz Chebyshev", {-0.04, -1.36528e-8, -1.77367548e-15, -2.25301127847e-22}, 1e9, {},
         false, 9},
        {"1e-12·s between 1 and s²", {1, 1e-12, 1}, 1e9, {1}, false, 9},
        {"the same at 1e12", {1, 1e-12, 1}, 1e12, {}, false, 12},
        {"residue among real terms", {3.9e-1, 1e-17, 5.2, 1}, 1e9, {1}, false, 9},
        // A random RLC network whose s^9 cancels exactly (its exact determinant, from
        // rational arithmetic, is of degree 8): the residue would be a pole at 4e20 rad/s.
        {"residue at the top",
         {-7.12e-07, -8.75e-07, -9.82e-12, -6.64e-15, -2.23e-20, -1.79e-26, -4.75e-33, -3.22e-40,
          -3.14e-48, -8.25e-69},
         1e9, {9}, false, 9},
        {"residue at the bottom", {1e-30, 1, 1e-6, 1e-15}, 1e9, {0}, false, 9},
        // A resonator of Q = 1e10: real, but below the dispersion at every frequency.
        {"Q of 1e10", {1, 1e-10, 1}, 1e9, {1}, true, 10},
        // Two clusters of roots, 1e3 and 1e13 rad/s: the far one goes, not both.
        {"a real far pole", {1, 1e-3, 1e-16}, 1e9, {2}, true, 10},
        {"two terms never clear", {1e-30, 1}, 1e9, {}, false, 9},
        // Below 1 every term that does not exceed the others by 1/dispersion goes.
        {"dispersion below 1", {1, 1e-10, 1}, 0.5, {1}, true, 10},
        {"no dispersion", {1, 1e-20, 1}, 0, {}, false, 0},
        {"negative dispersion", {1, 1e-20, 1}, -1, {}, false, 0},
    };
    for (const Clearing& c : cases) {
        SCOPED_TRACE(c.name);
        const Polynomial original = test::polynomial(c.coefficients);
        Polynomial p = original;
        cleanPolynomial(p, c.dispersion);
        for (int i = 0; i <= original.degree; ++i) {
            const bool expectCleared =
                std::find(c.cleared.begin(), c.cleared.end(), i) != c.cleared.end();
            const bool wasCleared =
                original.coef[i] != 0.0 && (i > p.degree || p.coef[i] == 0.0);
            EXPECT_EQ(wasCleared, expectCleared) << "a" << i;
        }
        EXPECT_EQ(clearsSignificantCoefficients(original, c.dispersion), c.significant);
        EXPECT_EQ(sufficientDispersionExponent(original, c.dispersion), c.sufficientExponent);
    }
}

TEST(NormalisationTest, ResidueInPairsGoesAtTheCircuitsFrequencies) {
    // s² with the residue of two cancellations below it: in its own plane each residue holds
    // the other up (together they would be two zeros at 3e8 rad/s), but at the frequencies of
    // a circuit whose poles lie near 1 rad/s both are seventeen decades down.
    const Polynomial residue = test::polynomial({-1.1e-17, 2.2e-17, 1});
    Polynomial alone = residue;
    cleanPolynomial(alone, 1e9);
    EXPECT_EQ(alone.degree, 2);
    EXPECT_NE(alone.coef[0], 0.0);
    Polynomial inBand = residue;
    const std::optional<FrequencyBand> band = rootBand(test::polynomial({1, 1.4, 1}));
    ASSERT_TRUE(band);
    cleanPolynomial(inBand, 1e9, band);
    EXPECT_EQ(inBand.coef[0], 0.0);
    EXPECT_EQ(inBand.coef[1], 0.0);
    EXPECT_FALSE(clearsSignificantCoefficients(residue, 1e9, band));
    // The band of a polynomial is where its roots lie: 1 and 1000 rad/s.
    const std::optional<FrequencyBand> wide = rootBand(test::polynomial({1000, 1001, 1}));
    ASSERT_TRUE(wide);
    EXPECT_NEAR(wide->low, 0.0, 1e-3);
    EXPECT_NEAR(wide->high, 3.0, 1e-3);
    EXPECT_FALSE(rootBand(test::polynomial({0, 0, 5})));
}

TEST(NormalisationTest, MarginsAreTheDecadesBelowTheOthersAtEveryFrequency) {
    // 1 + 1e-12·s + s²: the others meet at ω = 1, where the middle term is 12 decades down.
    const CoefficientMargins margins = coefficientMargins(test::polynomial({1, 1e-12, 1}));
    EXPECT_NEAR(*margins[1], 12.0, 1e-12);
    // The outer terms dominate at their own ends: negative, as far as the others allow.
    EXPECT_LT(*margins[0], 0.0);
    EXPECT_LT(*margins[2], 0.0);
    EXPECT_FALSE(margins[3].has_value());
}

TEST(NormalisationTest, AWarningChangesTheLastLineAndIsKept) {
    test::TempDir dir;
    test::AnalysisFixture fixture;
    // A series RLC of Q = 1e10 at 1 rad/s: its damping term is real, and cleared.
    const std::vector<std::string> lines =
        fixture.run(dir.write("q.net", "Q\nV1 1 0 1 IMPULSO\nR1 1 2 1e-10\nL1 2 3 1\nC1 3 0 1\n"));
    const std::string warning =
        "Aviso: a normalização anulou coeficientes significativos do denominador; aumente a "
        "dispersão para 1e10 ou mais.";
    EXPECT_NE(std::find(lines.begin(), lines.end(), warning), lines.end());
    EXPECT_EQ(lines.back(), "Análise terminada com avisos.");
    EXPECT_EQ(fixture.outcome, RunOutcome::SucceededWithWarnings);
    ASSERT_FALSE(fixture.analysis.warnings().empty());
    EXPECT_EQ(fixture.analysis.warnings().all().front().text, warning);
    EXPECT_EQ(fixture.analysis.warnings().all().front().subject, WarningSubject::Denominator);

    // Enough dispersion: nothing said, and the next run forgets the warnings.
    fixture.host.dispersionText = "1e10";
    const std::vector<std::string> clean = fixture.run(dir.file("q.net"));
    EXPECT_EQ(clean.back(), "Análise terminada com sucesso.");
    EXPECT_EQ(fixture.outcome, RunOutcome::Succeeded);
    EXPECT_TRUE(fixture.analysis.warnings().empty());
}

}  // namespace
}  // namespace corvane
