// Fitted plot ranges checked against the poles and responses of circuits worked by hand.
#include "fitted_ranges.h"

#include <gtest/gtest.h>

#include <array>
#include <cfenv>
#include <cmath>
#include <initializer_list>
#include <string>

#include "start_ranges.h"

namespace corvane {
namespace {

Polynomial polynomial(std::initializer_list<double> coefficients) {
    Polynomial p;
    int m = 0;
    for (const double c : coefficients) p.coef[static_cast<std::size_t>(m++)] = c;
    p.degree = m - 1;
    p.constant = 1.0;
    return p;
}

PlotCurves oneCurve(Polynomial numerator, Polynomial denominator) {
    PlotCurves curves{};
    curves[1] = {numerator, denominator};
    return curves;
}

using test::startRanges;

struct RoundCase {
    double x;
    double up;
    double down;
};

TEST(RoundTo125, StepsOfEveryDecadeFrom1eMinus3To1e9) {
    const RoundCase cases[] = {
        {1e-3, 1e-3, 1e-3},   {1.1e-3, 2e-3, 1e-3}, {0.0019, 2e-3, 1e-3}, {0.003, 5e-3, 2e-3},
        {0.0099, 0.01, 5e-3}, {0.7, 1.0, 0.5},      {1.0, 1.0, 1.0},      {2.0, 2.0, 2.0},
        {2.5, 5.0, 2.0},      {5.0, 5.0, 5.0},      {6.0, 10.0, 5.0},     {159.15, 200.0, 100.0},
        {9.9e8, 1e9, 5e8},    {1e9, 1e9, 1e9},      {1.2e9, 2e9, 1e9},
    };
    for (const RoundCase& c : cases) {
        EXPECT_DOUBLE_EQ(roundUpTo125(c.x), c.up) << c.x;
        EXPECT_DOUBLE_EQ(roundDownTo125(c.x), c.down) << c.x;
    }
}

// R = 1 kΩ, C = 1 µF: H = 1 / (1 + s·RC), one pole at 1000 rad/s (159.15 Hz).
TEST(FitPlotRanges, RcLowPassInRadiansPerSecond) {
    const PlotCurves curves = oneCurve(polynomial({1}), polynomial({1, 1e-3}));
    const PlotParameters p = fitPlotRanges(curves, 1, startRanges(), false, false);
    EXPECT_DOUBLE_EQ(p.wmin, 100);
    EXPECT_DOUBLE_EQ(p.wmax, 1e4);
    // |H| from -0.04 dB at 100 rad/s to -20.04 dB at 1e4 rad/s: 2 dB over the top is above
    // 0 dB.
    EXPECT_EQ(p.gmax, 10);
    EXPECT_EQ(p.gmin, -30);
    // The phase runs from -5.7° to -84.3°.
    EXPECT_EQ(p.fmin, -90);
    EXPECT_EQ(p.fmax, 0);
    // τ = RC / (1 + (ωRC)²), 0.99 ms at 100 rad/s; 5 % over it is past 1 ms.
    EXPECT_EQ(p.amin, 0);
    EXPECT_DOUBLE_EQ(p.amax, 2e-3);
    EXPECT_EQ(p.segmentos, 300);

    const auto texts = fittedEditTexts(p, "300");
    EXPECT_EQ(texts[0], "100");
    EXPECT_EQ(texts[1], "10000");
    EXPECT_EQ(texts[2], "-30");
    EXPECT_EQ(texts[3], "10");
    EXPECT_EQ(texts[4], "-90");
    EXPECT_EQ(texts[5], "0");
    EXPECT_EQ(texts[6], "0");
    EXPECT_EQ(texts[7], "0.002");
    EXPECT_EQ(texts[8], "300");
}

TEST(FitPlotRanges, RcLowPassInHertz) {
    const PlotCurves curves = oneCurve(polynomial({1}), polynomial({1, 1e-3}));
    const PlotParameters p = fitPlotRanges(curves, 1, startRanges(), true, false);
    // 15.9 Hz and 1592 Hz, rounded outward.
    EXPECT_DOUBLE_EQ(p.wmin, 10);
    EXPECT_DOUBLE_EQ(p.wmax, 2000);
    EXPECT_EQ(p.gmax, 10);
    // -22 dB at 2 kHz.
    EXPECT_EQ(p.gmin, -30);
}

// The unity-gain Sallen-Key of the examples (R1 = 1, R2 = 2, C1 = 0.5, C2 = 0.25):
// H = 1 / (0.25 s² + 0.75 s + 1), poles -1.5 ± j1.32, both of magnitude 2 rad/s; Q = 2/3,
// so no peak: the gain never exceeds 0 dB.
TEST(FitPlotRanges, SallenKeyExample) {
    const PlotCurves curves = oneCurve(polynomial({1}), polynomial({1, 0.75, 0.25}));
    const PlotParameters p = fitPlotRanges(curves, 1, startRanges(), false, false);
    EXPECT_DOUBLE_EQ(p.wmin, 0.2);
    EXPECT_DOUBLE_EQ(p.wmax, 20);
    EXPECT_EQ(p.gmax, 10);
    // -40 dB/decade from 2 rad/s: about -40 dB at 20 rad/s.
    EXPECT_EQ(p.gmin, -50);
    EXPECT_EQ(p.fmin, -180);
    EXPECT_EQ(p.fmax, 0);
}

// The 0.5 dB Chebyshev ladder at 1 MHz between 50 Ω ends (Rs, C1 = C3 = 5.081 nF,
// L2 = 8.727 µH, RL), worked by hand: Vin/V2 = (1 + sL·Y2) + Rs·(sC1·(1 + sL·Y2) + Y2) with
// Y2 = sC3 + 1/RL. Poles at 626.5 kHz and 1068.9 kHz; passband gain 1/2 (-6.02 dB); the
// delay peaks at 0.59 µs near the band edge.
PlotCurves chebyshev1MHz() {
    constexpr double Rs = 50, C1 = 5.081e-9, L = 8.727e-6, C3 = 5.081e-9, RL = 50;
    const double y0 = 1 / RL, y1 = C3;
    const double a0 = 1, a1 = L * y0, a2 = L * y1;  // 1 + sL·Y2
    const Polynomial d = polynomial(
        {a0 + Rs * y0, a1 + Rs * (C1 * a0 + y1), a2 + Rs * C1 * a1, Rs * C1 * a2});
    return oneCurve(polynomial({1}), d);
}

TEST(FitPlotRanges, Chebyshev1MHzInHertz) {
    const PlotParameters p = fitPlotRanges(chebyshev1MHz(), 1, startRanges(), true, false);
    EXPECT_DOUBLE_EQ(p.wmin, 5e4);
    EXPECT_DOUBLE_EQ(p.wmax, 2e7);
    EXPECT_EQ(p.gmax, 0);
    // -87 dB at 20 MHz: the window stops 80 dB under the top.
    EXPECT_EQ(p.gmin, -80);
    // Wrapped, a third-order phase sweeps the whole turn.
    EXPECT_EQ(p.fmin, -180);
    EXPECT_EQ(p.fmax, 180);
    EXPECT_EQ(p.amin, 0);
    EXPECT_DOUBLE_EQ(p.amax, 1e-6);
}

TEST(FitPlotRanges, Chebyshev1MHzContinuousPhase) {
    const PlotParameters p = fitPlotRanges(chebyshev1MHz(), 1, startRanges(), true, true);
    // Unwrapped: from -2° down to -266.4° at 20 MHz, each at least 2° inside.
    EXPECT_EQ(p.fmin, -270);
    EXPECT_EQ(p.fmax, 0);
}

// Two curves share the windows: the frequency covers both, the gain the higher one.
TEST(FitPlotRanges, SeveralCurvesShareTheRanges) {
    PlotCurves curves{};
    curves[1] = {polynomial({1}), polynomial({1, 1e-3})};   // pole at 1e3 rad/s
    curves[2] = {polynomial({10}), polynomial({1, 1e-6})};  // 20 dB, pole at 1e6 rad/s
    const PlotParameters p = fitPlotRanges(curves, 2, startRanges(), false, false);
    EXPECT_DOUBLE_EQ(p.wmin, 100);
    EXPECT_DOUBLE_EQ(p.wmax, 1e7);
    // 20 dB flat below 1e6 rad/s: the top leaves room above it.
    EXPECT_EQ(p.gmax, 30);
    EXPECT_EQ(p.gmin, -50);
}

// Curves flat at a round value keep their distance from the frame: a 0 dB passband (the
// Butterworth of the examples, 1/(s⁵ + 3.236 s⁴ + 5.236 s³ + 5.236 s² + 3.236 s + 1)), a
// phase of exactly 180° (an inverting amplifier: wrapped, it stays within the half turn)
// and a delay of 0.99 s at 0.2 rad/s (an all-pass (1 - s/2)/(1 + s/2), τ = 1/(1 + ω²/4),
// phase -2·atan(ω/2) from -11.4° to -168.6° over 0.2 .. 20 rad/s).
TEST(FitPlotRanges, FlatCurvesAreNotDrawnOnTheFrame) {
    struct Case {
        const char* name;
        Polynomial numerator, denominator;
        double gmax, gmin, fmin, fmax, amax;
    };
    const Case cases[] = {
        {"Butterworth", polynomial({1}), polynomial({1, 3.236068, 5.236068, 5.236068, 3.236068, 1}),
         10, -70, -180, 180, 10},
        {"inverting", polynomial({-1}), polynomial({1}), 10, -10, 90, 180, 1},
        {"all-pass", polynomial({1, -0.5}), polynomial({1, 0.5}), 10, -10, -180, 0, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PlotParameters p =
            fitPlotRanges(oneCurve(c.numerator, c.denominator), 1, startRanges(), false, false);
        EXPECT_EQ(p.gmax, c.gmax);
        EXPECT_EQ(p.gmin, c.gmin);
        EXPECT_EQ(p.fmin, c.fmin);
        EXPECT_EQ(p.fmax, c.fmax);
        EXPECT_DOUBLE_EQ(p.amax, c.amax);
    }
}

// A zero at the origin has no magnitude to fit to; the pole still sets the range, and the
// positive phase of the high-pass gets a window above 0°.
TEST(FitPlotRanges, ZeroAtTheOriginIsLeftOut) {
    const PlotCurves curves = oneCurve(polynomial({0, 1e-3}), polynomial({1, 1e-3}));
    const PlotParameters p = fitPlotRanges(curves, 1, startRanges(), false, false);
    EXPECT_DOUBLE_EQ(p.wmin, 100);
    EXPECT_DOUBLE_EQ(p.wmax, 1e4);
    EXPECT_EQ(p.fmin, 0);
    EXPECT_EQ(p.fmax, 90);
    EXPECT_EQ(p.gmax, 10);
}

// A constant gain has no pole or zero: the frequency range stays, and the flat curves
// still get windows that hold them.
TEST(FitPlotRanges, ConstantGainKeepsTheFrequencyRange) {
    const PlotCurves curves = oneCurve(polynomial({2}), polynomial({1}));
    const PlotParameters p = fitPlotRanges(curves, 1, startRanges(), false, false);
    EXPECT_EQ(p.wmin, 0.1);
    EXPECT_EQ(p.wmax, 5);
    EXPECT_EQ(p.gmax, 10);  // 6.02 dB
    EXPECT_EQ(p.gmin, 0);
    // A phase of 0° stays off both edges.
    EXPECT_EQ(p.fmin, -90);
    EXPECT_EQ(p.fmax, 90);
    EXPECT_EQ(p.amin, 0);
    EXPECT_EQ(p.amax, 1);
}

// An LC tank's poles on the jω axis: the grid may hit one, and that point is left out
// without leaving a floating-point flag for the next checkpoint.
TEST(FitPlotRanges, PoleOnTheAxisLeavesNoFlags) {
    const PlotCurves curves = oneCurve(polynomial({0, 1}), polynomial({1, 0, 1}));
    std::feclearexcept(FE_ALL_EXCEPT);
    const PlotParameters p = fitPlotRanges(curves, 1, startRanges(), false, false);
    EXPECT_EQ(std::fetestexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW), 0);
    EXPECT_DOUBLE_EQ(p.wmin, 0.1);
    EXPECT_DOUBLE_EQ(p.wmax, 10);
    EXPECT_LT(p.gmin, p.gmax);
}

TEST(FitPlotRanges, NoCurvesChangesNothing) {
    const PlotParameters p = fitPlotRanges(PlotCurves{}, 0, startRanges(), false, false);
    EXPECT_EQ(p.wmin, 0.1);
    EXPECT_EQ(p.gmax, 20);
    EXPECT_EQ(p.amax, 40);
}

// Roots at the ends of the doubles: every fitted limit finite, each range two decades or
// more wide, and the frequency texts read back as the same numbers.
TEST(FitPlotRanges, RootsNearTheLargestAndSmallestDoubleGiveUsableRanges) {
    struct Case {
        const char* name;
        Polynomial denominator;
        double wmin, wmax;
    };
    const Case cases[] = {
        {"pole at 1e308", polynomial({1e308, 1}), 1e306, 1e308},
        {"pole at 9e307", polynomial({9e307, 1}), 1e306, 1e308},
        {"pole at 1e-308", polynomial({1e-308, 1}), 1e-300, 1e-298},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PlotParameters p =
            fitPlotRanges(oneCurve(polynomial({1}), c.denominator), 1, startRanges(), false, false);
        EXPECT_DOUBLE_EQ(p.wmin, c.wmin);
        EXPECT_DOUBLE_EQ(p.wmax, c.wmax);
        for (const double limit : {p.gmin, p.gmax, p.fmin, p.fmax, p.amin, p.amax})
            EXPECT_TRUE(std::isfinite(limit)) << limit;
        EXPECT_LT(p.gmin, p.gmax);
        EXPECT_LT(p.amin, p.amax);
        EXPECT_GT(p.amax - p.amin, 1e-280);
        const auto texts = fittedEditTexts(p, "300");
        EXPECT_EQ(std::stod(texts[0]), p.wmin);
        EXPECT_EQ(std::stod(texts[1]), p.wmax);
    }
}

// Limits the user gave stand; a fitted one that would leave its range empty beside them
// moves to keep the fitted width.
TEST(KeepGivenLimits, FittedLimitsMoveBesideGivenOnes) {
    using Texts = std::array<std::string, PlotEditBoxCount>;
    const Texts fitted{"100", "10000", "-30", "0", "-90", "0", "0", "1", "300"};
    const Texts current{"1e6", "5", "50", "20", "-180", "-200", "2", "40", "300"};
    struct Case {
        const char* name;
        std::array<bool, PlotEditBoxCount> given;
        bool logarithmic;
        Texts expected;
    };
    const Case cases[] = {
        {"none given", {}, true, fitted},
        {"wmin past the fitted end, logarithmic",
         {true, false, false, false, false, false, false, false, false}, true,
         {"1e6", "1e+08", "-30", "0", "-90", "0", "0", "1", "300"}},
        {"wmin past the fitted end, linear",
         {true, false, false, false, false, false, false, false, false}, false,
         {"1e6", "1009900", "-30", "0", "-90", "0", "0", "1", "300"}},
        {"wmax below the fitted start",
         {false, true, false, false, false, false, false, false, false}, true,
         {"0.05", "5", "-30", "0", "-90", "0", "0", "1", "300"}},
        {"gmin above the fitted gmax, fmax below fmin, amin past amax",
         {false, false, true, false, false, true, true, false, false}, true,
         {"100", "10000", "50", "80", "-290", "-200", "2", "3", "300"}},
        {"both limits given stand even reversed",
         {true, true, false, false, false, false, false, false, false}, true,
         {"1e6", "5", "-30", "0", "-90", "0", "0", "1", "300"}},
        {"a given limit inside the fitted range changes nothing else",
         {false, false, false, true, false, false, false, false, false}, true,
         {"100", "10000", "-30", "20", "-90", "0", "0", "1", "300"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(keepGivenLimits(fitted, current, c.given, c.logarithmic), c.expected);
    }
}

}  // namespace
}  // namespace corvane
