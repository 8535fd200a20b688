// Covers the evaluation of a transfer function on the jω axis (gain, phase, group delay
// from the derivatives, the zero guard, the complex quotient), the grid step and the
// accumulated grid of the response table.
#include "frequency_response.h"
#include "response_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <memory>
#include <numbers>

#include "floating_point.h"
#include "plot_fakes.h"

namespace corvane {
namespace {

using test::polynomial;

PlotCurve lowPass() {
    return {polynomial({1.0}), polynomial({1.0, 1.0})};
}

TEST(FrequencyResponseTest, FirstOrderLowPassAtItsCorner) {
    const CurveResponse r = evaluateCurve(lowPass(), 1.0, false);
    EXPECT_NEAR(r.gain, -3.0103, 5e-5);
    EXPECT_NEAR(r.gain, 10.0 * std::log10(0.5), 1e-13);
    EXPECT_NEAR(r.phase, -45.0, 1e-13);
    EXPECT_EQ(r.delay, 0.5);
}

TEST(FrequencyResponseTest, FrequencyInHertzIsTurnedIntoRadiansPerSecond) {
    const CurveResponse r = evaluateCurve(lowPass(), 1.0 / (2.0 * std::numbers::pi), true);
    EXPECT_NEAR(r.gain, 10.0 * std::log10(0.5), 1e-13);
    EXPECT_NEAR(r.phase, -45.0, 1e-12);
    EXPECT_NEAR(r.delay, 0.5, 1e-15);
    // The delay stays in seconds: the same curve at 1 Hz is evaluated at ω = 2π.
    const double omega = 2.0 * std::numbers::pi;
    EXPECT_NEAR(evaluateCurve(lowPass(), 1.0, true).delay, 1.0 / (1.0 + omega * omega), 1e-15);
}

TEST(FrequencyResponseTest, GroupDelayOfTheLowPassFollowsItsFormula) {
    for (const double omega : {0.0, 0.01, 0.3, 1.0, 2.5, 40.0, 1e4}) {
        SCOPED_TRACE(omega);
        EXPECT_NEAR(evaluateCurve(lowPass(), omega, false).delay, 1.0 / (1.0 + omega * omega),
                    1e-15);
    }
}

TEST(FrequencyResponseTest, ExactlyZeroResponseReadsAsMinus220DecibelsJustUnder90Degrees) {
    const PlotCurve zero{polynomial({1.0}, 0.0), polynomial({1.0, 1.0})};
    const CurveResponse r = evaluateCurve(zero, 1.0, false);
    EXPECT_NEAR(r.gain, -220.0, 1e-12);
    EXPECT_EQ(r.phase, 89.99999999942705);
    EXPECT_EQ(r.delay, 0.5);
}

TEST(FrequencyResponseTest, PurelyImaginaryResponsesAreNudgedOffTheAxis) {
    const PlotCurve plusJ{polynomial({0.0, 1.0}), polynomial({1.0})};
    const PlotCurve minusJ{polynomial({0.0, 1.0}, -1.0), polynomial({1.0})};
    EXPECT_EQ(evaluateCurve(plusJ, 1.0, false).phase, 89.99999999942705);
    EXPECT_EQ(evaluateCurve(minusJ, 1.0, false).phase, -90.00000000057297);
    EXPECT_NEAR(evaluateCurve(plusJ, 1.0, false).gain, 0.0, 1e-15);
    EXPECT_EQ(evaluateCurve(plusJ, 1.0, false).delay, 0.0);
}

TEST(FrequencyResponseTest, NegativeConstantShiftsOnlyThePhase) {
    for (const double omega : {0.1, 1.0, 10.0}) {
        SCOPED_TRACE(omega);
        const CurveResponse positive = evaluateCurve(lowPass(), omega, false);
        const CurveResponse negative =
            evaluateCurve({polynomial({1.0}, -2.0), polynomial({1.0, 1.0}, 2.0)}, omega, false);
        EXPECT_NEAR(negative.gain, positive.gain, 1e-13);
        EXPECT_NEAR(negative.phase, positive.phase + 180.0, 1e-12);
        EXPECT_GT(negative.phase, -180.0);
        EXPECT_LE(negative.phase, 180.0);
        EXPECT_EQ(negative.delay, positive.delay);
    }
}

TEST(FrequencyResponseTest, EqualPolynomialsGiveZeroEverywhere) {
    const Polynomial p = polynomial({2.0, -3.0, 0.5, 1.0}, 4.0);
    for (const double omega : {0.0, 0.2, 1.0, 7.0, 300.0}) {
        SCOPED_TRACE(omega);
        const CurveResponse r = evaluateCurve({p, p}, omega, false);
        EXPECT_NEAR(r.gain, 0.0, 1e-13);
        EXPECT_NEAR(r.phase, 0.0, 1e-13);
        EXPECT_EQ(r.delay, 0.0);
    }
}

TEST(FrequencyResponseTest, DegreeZeroPolynomialsHaveNoDelay) {
    const CurveResponse r = evaluateCurve({polynomial({3.0}), polynomial({-7.0})}, 12.5, false);
    EXPECT_EQ(r.delay, 0.0);
    // A real negative quotient carries a negative zero imaginary part (0·c - a·0), and
    // atan2 reads that as -180°.
    EXPECT_EQ(r.phase, -180.0);
    EXPECT_NEAR(r.gain, 20.0 * std::log10(3.0 / 7.0), 1e-13);
}

TEST(FrequencyResponseTest, HighDegreeMatchesDirectComplexArithmetic) {
    const Polynomial d = polynomial({1.0, 2.6, 3.4, 2.6, 1.0});  // poles well in the left half
    const Polynomial n = polynomial({0.5, 0.0, 1.0}, 3.0);
    const double omega = 1.7;
    const std::complex<double> s(0.0, omega);
    auto value = [&](const Polynomial& p) {
        std::complex<double> sum = 0.0;
        for (int m = p.degree; m >= 0; --m)
            sum = sum * s + p.coef[m];
        return sum;
    };
    auto slope = [&](const Polynomial& p) {
        std::complex<double> sum = 0.0;
        for (int m = p.degree; m >= 1; --m)
            sum = sum * s + double(m) * p.coef[m];
        return sum;
    };
    const std::complex<double> h = 3.0 * value(n) / value(d);
    const CurveResponse r = evaluateCurve({n, d}, omega, false);
    EXPECT_NEAR(r.gain, 20.0 * std::log10(std::abs(h)), 1e-12);
    EXPECT_NEAR(r.phase, std::arg(h) * 180.0 / std::numbers::pi, 1e-12);
    EXPECT_NEAR(r.delay, (slope(d) / value(d)).real() - (slope(n) / value(n)).real(), 1e-12);
}

TEST(FrequencyResponseTest, ComplexDivideTakesBothRoutes) {
    const ComplexValue general = complexDivide(1.0, 2.0, 3.0, 4.0);
    EXPECT_NEAR(general.re, 0.44, 1e-16);
    EXPECT_NEAR(general.im, 0.08, 1e-16);
    const ComplexValue real = complexDivide(1.0, 2.0, 2.0, 0.0);
    EXPECT_EQ(real.re, 0.5);
    EXPECT_EQ(real.im, 1.0);
    const ComplexValue imaginary = complexDivide(1.0, 2.0, 0.0, 2.0);
    EXPECT_EQ(imaginary.re, 1.0);
    EXPECT_EQ(imaginary.im, -0.5);
    // Divisors whose squares overflow still divide.
    const ComplexValue large = complexDivide(1e300, 1e300, 1e300, 1e300);
    EXPECT_EQ(large.re, 1.0);
    EXPECT_EQ(large.im, 0.0);
}

TEST(FrequencyResponseTest, ZeroDivisorsAndOverflowRaiseFloatingPointFaults) {
    ComplexValue q;
    EXPECT_THROW(checkFloatingPoint([&] { q = complexDivide(1.0, 0.0, 0.0, 0.0); }),
                 FloatingPointFault);
    CurveResponse r;
    // A pole at s = 0 hit at ω = 0.
    EXPECT_THROW(checkFloatingPoint([&] {
                     r = evaluateCurve({polynomial({1.0}), polynomial({0.0, 1.0})}, 0.0, false);
                 }),
                 FloatingPointFault);
    // A zero denominator constant.
    EXPECT_THROW(checkFloatingPoint([&] {
                     r = evaluateCurve({polynomial({1.0}), polynomial({1.0}, 0.0)}, 1.0, false);
                 }),
                 FloatingPointFault);
    // Horner sums beyond the range of double.
    Polynomial big;
    big.degree = MaxDegree;
    big.coef[MaxDegree] = 1.0;
    big.constant = 1.0;
    EXPECT_THROW(checkFloatingPoint([&] {
                     r = evaluateCurve({polynomial({1.0}), big}, 1e20, false);
                 }),
                 FloatingPointFault);
}

TEST(FrequencyResponseTest, FrequencyStepIsARatioOrAnIncrement) {
    EXPECT_EQ(frequencyStep(0.1, 5.0, 300, true), std::pow(50.0, 1.0 / 300));
    EXPECT_EQ(frequencyStep(0.1, 5.0, 300, false), (5.0 - 0.1) / 300);
    EXPECT_EQ(frequencyStep(2.0, 8.0, 2, true), 2.0);
    EXPECT_EQ(frequencyStep(0.0, 5.0, 1, false), 5.0);
}

TEST(FrequencyResponseTest, RefreshFillsEveryCurveOfOnePoint) {
    PlotCurves curves{};
    curves[1] = lowPass();
    curves[2] = {polynomial({2.0}), polynomial({1.0})};
    auto table = std::make_unique<ResponseTable>();
    refreshResponsePoint(*table, curves, 2, 7, 1.0, false);
    EXPECT_EQ(table->frequency[7], 1.0);
    EXPECT_NEAR(table->gain[1][7], -3.0103, 5e-5);
    EXPECT_NEAR(table->phase[1][7], -45.0, 1e-13);
    EXPECT_EQ(table->delay[1][7], 0.5);
    EXPECT_NEAR(table->gain[2][7], 6.0206, 5e-5);
    EXPECT_EQ(table->gain[3][7], 0.0);  // beyond curveCount: untouched
    EXPECT_EQ(table->gain[1][6], 0.0);
}

}  // namespace
}  // namespace corvane
