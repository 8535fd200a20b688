// Covers analysis/polynomial_roots.cpp: roots against closed forms (Butterworth circles,
// roots of unity, products of known factors), multiple roots and clusters, extreme
// scales, degree 50, and the degenerate polynomials.
#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <random>
#include <numbers>
#include <string>
#include <vector>

#include "floating_point.h"
#include "polynomial_roots.h"
#include "test_polynomial.h"

namespace corvane {
namespace {

using Complex = std::complex<double>;
constexpr double Pi = std::numbers::pi;

using test::fromRoots;

std::vector<Complex> butterworthPoles(int order, double omega) {
    std::vector<Complex> poles;
    for (int k = 0; k < order; ++k)
        poles.push_back(std::polar(omega, Pi / 2 + Pi * (2 * k + 1) / (2.0 * order)));
    return poles;
}

// Every expected root (with its multiplicity) is found within `tolerance` relative.
void expectRoots(const PolynomialRoots& found, const std::vector<Complex>& expected,
                 int multiplicity, double tolerance) {
    ASSERT_EQ(found.status, RootsStatus::Found);
    int total = 0;
    for (const PolynomialRoot& r : found.roots)
        total += r.multiplicity;
    EXPECT_EQ(total, found.degree);
    std::vector<bool> used(found.roots.size(), false);
    for (const Complex e : expected) {
        std::size_t best = found.roots.size();
        for (std::size_t k = 0; k < found.roots.size(); ++k) {
            if (used[k]) continue;
            if (best == found.roots.size() ||
                std::abs(found.roots[k].value - e) < std::abs(found.roots[best].value - e))
                best = k;
        }
        ASSERT_LT(best, found.roots.size()) << "no root left for " << e;
        used[best] = true;
        EXPECT_LE(std::abs(found.roots[best].value - e), tolerance * std::abs(e))
            << "expected " << e << ", found " << found.roots[best].value;
        EXPECT_EQ(found.roots[best].multiplicity, multiplicity) << e;
    }
    EXPECT_EQ(found.roots.size(), expected.size());
}

struct ClosedForm {
    const char* name;
    std::vector<Complex> roots;
};

class ClosedFormRoots : public ::testing::TestWithParam<ClosedForm> {};

TEST_P(ClosedFormRoots, AreFoundWithinOnePartInABillion) {
    const ClosedForm& c = GetParam();
    expectRoots(findRoots(fromRoots(c.roots)), c.roots, 1, 1e-9);
}

std::vector<Complex> realRoots(std::initializer_list<double> values) {
    std::vector<Complex> roots;
    for (const double v : values)
        roots.emplace_back(v, 0.0);
    return roots;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ClosedFormRoots,
    ::testing::Values(
        ClosedForm{"butterworth3", butterworthPoles(3, 1.0)},
        ClosedForm{"butterworth5_at_1MHz", butterworthPoles(5, 2 * Pi * 1e6)},
        ClosedForm{"butterworth9_at_1MHz", butterworthPoles(9, 2 * Pi * 1e6)},
        ClosedForm{"butterworth9_at_1mHz", butterworthPoles(9, 2 * Pi * 1e-3)},
        ClosedForm{"poles_from_1_to_1e11", realRoots({-1, -10, -1e2, -1e3, -1e4, -1e5, -1e6,
                                                      -1e7, -1e8, -1e9, -1e10, -1e11})},
        ClosedForm{"unstable_and_stable", realRoots({2.5, -3.5, 7})},
        ClosedForm{"close_but_distinct", realRoots({-1, -1.001})},
        ClosedForm{"high_q_pairs", {{-1e3, 1e5}, {-1e3, -1e5}, {-2e3, 3e5}, {-2e3, -3e5}}},
        ClosedForm{"scale_1e100", realRoots({-1e100, -2e100, -3e100})},
        ClosedForm{"scale_1e_minus_100", realRoots({-1e-100, -3e-100})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PolynomialRootsTest, ExactMultipleRootsAreOneRootWithTheirMultiplicity) {
    expectRoots(findRoots(std::vector<double>{1, 2, 1}), {-1.0}, 2, 1e-15);
    expectRoots(findRoots(std::vector<double>{1, 3, 3, 1}), {-1.0}, 3, 1e-15);
    // A critically damped RLC: 1 + RC·s + LC·s² with R = 2·√(L/C), L = 10 mH, C = 1 µF.
    expectRoots(findRoots(std::vector<double>{1, 200 * 1e-6, 0.01 * 1e-6}), {-1e4}, 2, 1e-9);
}

TEST(PolynomialRootsTest, FiveIdenticalSectionsGiveEachPairFiveTimes) {
    // (s² + √2·s + 1)^5: its rounded coefficients scatter each pair over about 1e-3.
    std::vector<Complex> roots;
    for (int k = 0; k < 5; ++k) {
        roots.push_back(std::polar(1.0, 3 * Pi / 4));
        roots.push_back(std::polar(1.0, -3 * Pi / 4));
    }
    expectRoots(findRoots(fromRoots(roots)),
                {std::polar(1.0, 3 * Pi / 4), std::polar(1.0, -3 * Pi / 4)}, 5, 1e-9);
}

// The solver's threads used to finish in another order from run to run, and the last bits
// of a cluster's centre with them: the same circuit listed other digits.
TEST(PolynomialRootsTest, TheSamePolynomialGivesTheSameBitsEveryTime) {
    std::vector<Complex> roots;
    for (int k = 0; k < 5; ++k) {
        roots.push_back(std::polar(1000.0, 3 * Pi / 4));
        roots.push_back(std::polar(1000.0, -3 * Pi / 4));
    }
    roots.push_back(-1000.0);
    roots.push_back(-1000.0);
    const std::vector<double> coefficients = fromRoots(roots);
    const PolynomialRoots first = findRoots(coefficients);
    ASSERT_EQ(first.status, RootsStatus::Found);
    for (int run = 0; run < 30; ++run) {
        const PolynomialRoots again = findRoots(coefficients);
        ASSERT_EQ(again.roots.size(), first.roots.size());
        for (std::size_t i = 0; i < first.roots.size(); ++i) {
            EXPECT_EQ(again.roots[i].value, first.roots[i].value) << run;
            EXPECT_EQ(again.roots[i].multiplicity, first.roots[i].multiplicity) << run;
        }
    }
}

TEST(PolynomialRootsTest, ClustersBesideSimpleRootsAreKeptApart) {
    // (s + 1)^3 · (s + 10) · (s² + s + 100)
    std::vector<Complex> roots{-1.0, -1.0, -1.0, -10.0};
    const Complex pair(-0.5, std::sqrt(99.75));
    roots.push_back(pair);
    roots.push_back(std::conj(pair));
    const PolynomialRoots found = findRoots(fromRoots(roots));
    ASSERT_EQ(found.roots.size(), 4u);
    EXPECT_NEAR(found.roots[0].value.real(), -1.0, 1e-9);
    EXPECT_EQ(found.roots[0].value.imag(), 0.0);
    EXPECT_EQ(found.roots[0].multiplicity, 3);
    EXPECT_NEAR(found.roots[1].value.real(), -10.0, 1e-9);
    EXPECT_EQ(found.roots[1].multiplicity, 1);
    EXPECT_LE(std::abs(found.roots[2].value - pair), 1e-9 * 10);
    EXPECT_EQ(found.roots[3].value, std::conj(found.roots[2].value));
}

TEST(PolynomialRootsTest, DegreeFiftyOnTheUnitCircle) {
    // s^50 + 1: roots e^{j(2k+1)π/50}, all simple.
    std::vector<double> p(51, 0.0);
    p[0] = 1.0;
    p[50] = 1.0;
    std::vector<Complex> expected;
    for (int k = 0; k < 50; ++k)
        expected.push_back(std::polar(1.0, (2 * k + 1) * Pi / 50));
    expectRoots(findRoots(p), expected, 1, 1e-12);
}

TEST(PolynomialRootsTest, LeadingAndTrailingZeroCoefficients) {
    // 0 + 0·s + 2s² + 3s³ + s⁴ + 0·s⁵ + 0·s⁶ = s²(s + 1)(s + 2)
    const PolynomialRoots found = findRoots(std::vector<double>{0, 0, 2, 3, 1, 0, 0});
    EXPECT_EQ(found.degree, 4);
    EXPECT_EQ(found.leadingCoefficient, 1.0);
    ASSERT_EQ(found.roots.size(), 3u);
    EXPECT_EQ(found.roots[0].value, Complex(0.0));
    EXPECT_EQ(found.roots[0].multiplicity, 2);
    EXPECT_NEAR(found.roots[1].value.real(), -1.0, 1e-15);
    EXPECT_NEAR(found.roots[2].value.real(), -2.0, 1e-15);
}

TEST(PolynomialRootsTest, DegenerateAndInvalidPolynomials) {
    const PolynomialRoots constant = findRoots(std::vector<double>{-4.5});
    EXPECT_EQ(constant.status, RootsStatus::Found);
    EXPECT_EQ(constant.degree, 0);
    EXPECT_TRUE(constant.roots.empty());

    EXPECT_EQ(findRoots(std::vector<double>{0, 0, 0}).status, RootsStatus::ZeroPolynomial);
    EXPECT_EQ(findRoots(std::vector<double>{}).status, RootsStatus::ZeroPolynomial);
    EXPECT_EQ(findRoots(std::vector<double>{1, NAN, 1}).status, RootsStatus::NotFinite);
    EXPECT_EQ(findRoots(std::vector<double>{1, INFINITY}).status, RootsStatus::NotFinite);

    // s^7 alone: one root at 0 of order 7, without the solver.
    const PolynomialRoots power = findRoots(std::vector<double>{0, 0, 0, 0, 0, 0, 0, 3});
    ASSERT_EQ(power.roots.size(), 1u);
    EXPECT_EQ(power.roots[0].multiplicity, 7);
}

TEST(PolynomialRootsTest, RootsOnTheAxesAreExactlyThere) {
    // s² + 2 (a lossless tank) and s² − 3s + 2: the imaginary axis and the real axis.
    const PolynomialRoots tank = findRoots(std::vector<double>{2, 0, 1});
    ASSERT_EQ(tank.roots.size(), 2u);
    EXPECT_EQ(tank.roots[0].value.real(), 0.0);
    EXPECT_NEAR(tank.roots[0].value.imag(), std::sqrt(2.0), 1e-15);
    EXPECT_EQ(tank.roots[1].value, std::conj(tank.roots[0].value));

    for (const PolynomialRoot& r : findRoots(std::vector<double>{2, -3, 1}).roots)
        EXPECT_EQ(r.value.imag(), 0.0);
}

TEST(PolynomialRootsTest, PairsAreExactConjugatesSortedByMagnitude) {
    const PolynomialRoots found = findRoots(fromRoots(butterworthPoles(7, 3.0)));
    ASSERT_EQ(found.roots.size(), 7u);
    EXPECT_EQ(found.roots[0].value.imag(), 0.0);  // the real pole first on the circle
    for (std::size_t k = 1; k < 7; k += 2) {
        EXPECT_GT(found.roots[k].value.imag(), 0.0);
        EXPECT_EQ(found.roots[k + 1].value, std::conj(found.roots[k].value));
        if (k > 1) {
            EXPECT_GT(found.roots[k].value.imag(), found.roots[k - 2].value.imag());
        }
    }
}

TEST(PolynomialRootsTest, FromAPolynomialRecordIgnoresItsConstantAndUpperCoefficients) {
    Polynomial p;
    p.degree = 2;
    p.coef = {6, 5, 1};
    p.coef[3] = 99.0;  // above the degree: not part of the value
    p.constant = -7.0;
    expectRoots(findRoots(p), realRoots({-2, -3}), 1, 1e-15);
}

unsigned testSeed(unsigned fallback) {
    const char* text = std::getenv("CORVANE_SEED");
    return text ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : fallback;
}

TEST(PolynomialRootsTest, RandomRootsSurviveTheRoundTrip) {
    // Well-separated random poles of a stable network (real ones and pairs, 1e-3 to 1e6
    // rad/s, degree up to 30): every one is found, simple, within 1e-9.
    const unsigned seed = testSeed(20261208);
    SCOPED_TRACE("CORVANE_SEED=" + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> decade(-3.0, 6.0);
    std::uniform_real_distribution<double> angle(0.05, Pi / 2 - 0.05);
    for (int trial = 0; trial < 40; ++trial) {
        std::vector<Complex> roots;
        const int degree = 1 + static_cast<int>(random() % 30);
        while (static_cast<int>(roots.size()) < degree) {
            const double magnitude = std::pow(10.0, decade(random));
            const bool real = roots.size() + 1 == static_cast<std::size_t>(degree) || random() % 3 == 0;
            const Complex r = real ? Complex(-magnitude, 0.0) : std::polar(magnitude, Pi - angle(random));
            // Keep them apart: 1 % in magnitude or angle.
            const bool crowded = std::any_of(roots.begin(), roots.end(), [&](Complex o) {
                return std::abs(o - r) < 0.01 * std::abs(r);
            });
            if (crowded) continue;
            roots.push_back(r);
            if (!real) roots.push_back(std::conj(r));
        }
        SCOPED_TRACE("trial " + std::to_string(trial) + ", degree " + std::to_string(degree));
        expectRoots(findRoots(fromRoots(roots)), roots, 1, 1e-9);
    }
}

TEST(PolynomialRootsTest, LeavesNoFloatingPointFaultBehind) {
    clearFloatingPointFaults();
    findRoots(fromRoots(butterworthPoles(9, 1e30)));
    findRoots(std::vector<double>{1e-300, 1, 1e300});
    EXPECT_NO_THROW(throwOnFloatingPointFault());
}

}  // namespace
}  // namespace corvane
