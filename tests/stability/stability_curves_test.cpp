// Covers stability/stability_curves.cpp and the readings of nyquist_paint.cpp and
// nichols_paint.cpp: H(jω) sampled against closed forms of first- and third-order
// functions and a double pole, the crossings of the negative real axis and the unit
// circle, the unwrapped Nichols phase, the M-circles against |T/(1+T)|, the compressed
// radius, the curves left out with their messages and the refused frequency ranges.
#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <complex>
#include <map>
#include <numbers>
#include <string>
#include <vector>

#include "nichols_paint.h"
#include "nyquist_paint.h"
#include "stability_curves.h"
#include "test_polynomial.h"

namespace corvane {
namespace {

using test::polynomial;
using Complex = std::complex<double>;
constexpr double Degrees = 180.0 / std::numbers::pi;

PlotCurve firstOrder() {
    return {polynomial({1.0}), polynomial({1.0, 1.0})};
}

// K/(s+1)^3.
PlotCurve thirdOrder(double k) {
    return {polynomial({1.0}, k), polynomial({1.0, 3.0, 3.0, 1.0})};
}

// 1/(s(s+1)).
PlotCurve integratorAndPole() {
    return {polynomial({1.0}), polynomial({0.0, 1.0, 1.0})};
}

StabilityCurves onlyCurve(const PlotCurve& curve, OmegaRange range) {
    return {{{1, curve, sampleResponse(curve, range)}}, range, false, {}};
}

struct LogLines {
    std::vector<std::string> lines;
    AnalysisLog log{[this](std::string_view line) { lines.emplace_back(line); }};
};

TEST(NyquistSamples, FirstOrderLiesOnTheCircleOfCentreHalfAndRadiusHalf) {
    for (const OmegaRange range : {OmegaRange{1e-3, 1e3}, OmegaRange{0.0, 50.0}}) {
        const std::vector<ResponseSample> samples = sampleResponse(firstOrder(), range);
        ASSERT_GT(samples.size(), static_cast<std::size_t>(InitialSteps));
        EXPECT_EQ(samples.front().omega, range.wmin);
        EXPECT_EQ(samples.back().omega, range.wmax);
        for (std::size_t i = 0; i < samples.size(); ++i) {
            EXPECT_NEAR(std::abs(samples[i].value - 0.5), 0.5, 1e-12) << samples[i].omega;
            if (i > 0) {
                EXPECT_GT(samples[i].omega, samples[i - 1].omega);
            }
        }
    }
}

TEST(NyquistSamples, NeighboursTurnByLittleWhereTheCurveTurns) {
    // Around the corner at ω = 1 a plain grid of 200 steps over 8 decades turns by ~4.2°
    // per step; the refined samples keep every turn of arg H within the limit.
    const std::vector<ResponseSample> samples =
        sampleResponse(thirdOrder(1.0), OmegaRange{1e-4, 1e4});
    for (std::size_t i = 1; i < samples.size(); ++i) {
        const double turn = std::fabs(std::arg(samples[i].value / samples[i - 1].value)) * Degrees;
        EXPECT_LE(turn, MaxTurnDegrees + 1e-9) << samples[i].omega;
    }
}

TEST(NyquistSamples, ArrowsPointTheWayOmegaGrows) {
    const StabilityCurves curves = onlyCurve(firstOrder(), {1e-2, 1e2});
    const StabilityCurve& curve = curves.curves.front();
    const std::vector<CurveArrow> arrows =
        arrowsAlong(nyquistPoints(curve, RadialScale{}), sampleOmegas(curve));
    ASSERT_EQ(arrows.size(), 3u);
    for (const CurveArrow& arrow : arrows) {
        // dH/dω of 1/(1 + jω) is -j/(1 + jω)².
        const Complex slope = Complex(0.0, -1.0) / std::pow(Complex(1.0, arrow.omega), 2);
        const double cosine = (std::conj(slope) * arrow.direction).real() / std::abs(slope);
        EXPECT_GT(cosine, 0.999) << arrow.omega;
        EXPECT_NEAR(std::abs(arrow.at - 1.0 / Complex(1.0, arrow.omega)), 0.0, 1e-12);
    }
}

TEST(NyquistCrossings, ThirdOrderCrossesTheNegativeAxisAtMinusKOverEightAtRootThree) {
    for (const double k : {2.0, 10.0, 100.0}) {
        const StabilityCurves curves = onlyCurve(thirdOrder(k), {1e-3, 1e3});
        const std::vector<Crossing> real = negativeRealCrossings(curves);
        ASSERT_EQ(real.size(), 1u) << k;
        EXPECT_NEAR(real[0].omega, std::sqrt(3.0), 1e-9);
        EXPECT_NEAR(real[0].value.real(), -k / 8.0, 1e-9 * k);
        // |H| = 1 where (1 + ω²)^(3/2) = K.
        const std::vector<Crossing> unit = unitCircleCrossings(curves);
        ASSERT_EQ(unit.size(), 1u);
        EXPECT_NEAR(unit[0].omega, std::sqrt(std::pow(k, 2.0 / 3.0) - 1.0), 1e-9);
        EXPECT_NEAR(std::abs(unit[0].value), 1.0, 1e-12);
    }
}

TEST(NyquistSamples, PolesOnTheAxisBreakTheCurveAndRaiseNoFlag) {
    // 1/(s² + 1): the linear grid from 0 to 2 hits ω = 1 exactly; 1/s at ω = 0.
    const PlotCurve resonance{polynomial({1.0}), polynomial({1.0, 0.0, 1.0})};
    const PlotCurve integrator{polynomial({1.0}), polynomial({0.0, 1.0})};
    std::feclearexcept(FE_ALL_EXCEPT);
    const std::vector<ResponseSample> a = sampleResponse(resonance, {0.0, 2.0});
    const std::vector<ResponseSample> b = sampleResponse(integrator, {0.0, 2.0});
    EXPECT_EQ(std::fetestexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW), 0);
    int gaps = 0;
    for (const ResponseSample& s : a) {
        if (!s.finite()) {
            ++gaps;
            EXPECT_EQ(s.omega, 1.0);
            continue;
        }
        // 1 - ω² loses digits near ω = 1 in the closed form as well: a tolerance of a few
        // ulps of 1 in the denominator.
        const double h = 1.0 / (1.0 - s.omega * s.omega);
        EXPECT_NEAR(s.value.real(), h, 1e-15 * h * h + 1e-15 * std::fabs(h));
        EXPECT_EQ(s.value.imag(), 0.0);
    }
    EXPECT_EQ(gaps, 1);
    EXPECT_FALSE(b.front().finite());
    for (std::size_t i = 1; i < b.size(); ++i)
        EXPECT_NEAR(std::abs(b[i].value - Complex(0.0, -1.0 / b[i].omega)), 0.0, 1e-12 / b[i].omega);
}

TEST(NyquistSamples, FarFrequenciesOfAHighOrderFunctionStayFinite) {
    // 1/(s+1)^30 at 1e12 rad/s is 1e-360: below the doubles, taken as zero, never a fault.
    PlotCurve high{polynomial({1.0}), {}};
    high.denominator.degree = MaxDegree;
    high.denominator.constant = 1.0;
    for (int m = 0; m <= MaxDegree; ++m)
        high.denominator.coef[m] = std::tgamma(MaxDegree + 1.0) /
                                   (std::tgamma(m + 1.0) * std::tgamma(MaxDegree - m + 1.0));
    const std::vector<ResponseSample> samples = sampleResponse(high, {1e-3, 1e12});
    EXPECT_LE(samples.size(), MaxSamples);
    for (const ResponseSample& s : samples) {
        if (s.omega > 1e3) continue;
        ASSERT_TRUE(s.finite()) << s.omega;
        EXPECT_NEAR(std::log(std::abs(s.value)), -15.0 * std::log1p(s.omega * s.omega), 1e-9);
    }
}

TEST(NicholsPoints, IntegratorAndPoleRunFromMinusNinetyToMinusOneEighty) {
    const StabilityCurves curves = onlyCurve(integratorAndPole(), {1e-3, 1e3});
    const StabilityCurve& curve = curves.curves.front();
    const std::vector<ChartPoint> points = nicholsPoints(curve);
    ASSERT_EQ(points.size(), curve.samples.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        const double w = curve.samples[i].omega;
        EXPECT_NEAR(points[i].phase, -90.0 - std::atan(w) * Degrees, 1e-9);
        EXPECT_NEAR(points[i].gain, -20.0 * std::log10(w * std::sqrt(1.0 + w * w)), 1e-9);
    }
    EXPECT_NEAR(points.front().phase, -90.0, 0.06);
    EXPECT_NEAR(points.back().phase, -180.0, 0.06);
}

TEST(NicholsPoints, PhaseRunsOnPastMinusOneEightyWithoutJumping) {
    // -3·atan ω reaches -270°: no jump of 360° where it passes -180°.
    const StabilityCurves curves = onlyCurve(thirdOrder(5.0), {1e-2, 1e3});
    const StabilityCurve& curve = curves.curves.front();
    const std::vector<ChartPoint> points = nicholsPoints(curve);
    for (std::size_t i = 0; i < points.size(); ++i)
        EXPECT_NEAR(points[i].phase, -3.0 * std::atan(curve.samples[i].omega) * Degrees, 1e-9);
    EXPECT_LT(points.back().phase, -269.0);
}

TEST(NicholsPoints, ANegativeRealStartIsMinusOneEighty) {
    const PlotCurve inverting{polynomial({-2.0}), polynomial({1.0, 1.0})};
    const StabilityCurves curves = onlyCurve(inverting, {0.0, 10.0});
    EXPECT_EQ(nicholsPoints(curves.curves.front()).front().phase, -180.0);
}

TEST(MCircles, EveryPointHasItsClosedLoopGain) {
    for (const double m : MCircleGains) {
        const std::vector<std::vector<ChartPoint>> runs = mContour(m);
        ASSERT_FALSE(runs.empty()) << m;
        for (const std::vector<ChartPoint>& run : runs) {
            for (const ChartPoint& p : run) {
                const Complex t = std::polar(std::pow(10.0, p.gain / 20.0), p.phase / Degrees);
                EXPECT_NEAR(std::abs(t / (1.0 + t)), std::pow(10.0, m / 20.0),
                            1e-9 * std::pow(10.0, m / 20.0))
                    << m << " dB at " << p.phase << "°";
                EXPECT_LE(p.phase, 0.0);
                EXPECT_GE(p.phase, -360.0);
            }
        }
    }
    // Above 0 dB the contour closes around the critical point.
    const std::vector<std::vector<ChartPoint>> closed = mContour(6.0);
    ASSERT_EQ(closed.size(), 1u);
    for (const ChartPoint& p : closed.front())
        EXPECT_NEAR(p.phase, -180.0, 90.0);
}

TEST(CompressedRadius, KeepsTheUnitCircleAndGivesEachDecadeItsRoom) {
    const RadialScale scale{1e-3};
    EXPECT_NEAR(scale.radius(1.0), 1.0, 1e-15);
    EXPECT_NEAR(std::abs(scale.apply({-1.0, 0.0}) - Complex(-1.0, 0.0)), 0.0, 1e-15);
    EXPECT_NEAR(std::arg(scale.apply({3.0, -4.0})), std::arg(Complex(3.0, -4.0)), 1e-15);
    double previous = 0.0;
    for (double r = 1e-6; r <= 1e6; r *= 10.0) {
        EXPECT_GT(scale.radius(r), previous);
        previous = scale.radius(r);
    }
    // |H| of 1e-3 and of 1e3 both on the picture: 1e3 within 2.1 unit radii, 1e-3 a tenth.
    EXPECT_LT(scale.radius(1e3), 2.1);
    EXPECT_GT(scale.radius(1e-3), 0.09);
    EXPECT_NEAR(scale.radius(1e3) - scale.radius(1e2), scale.radius(1.0) - scale.radius(0.1),
                0.01);
    const StabilityCurves curves = onlyCurve(thirdOrder(1.0), {1e-2, 10.0});
    // |H(j10)| = 1/1001.5: the decade of 1e-4.
    EXPECT_DOUBLE_EQ(compressionFor(curves).r0, 1e-4);
}

TEST(StabilityCurves, DensitiesAndZeroNumeratorsAreLeftOutWithTheirReason) {
    PlotCurves curves{};
    curves[1] = firstOrder();
    curves[2].kind = CurveKind::NoiseDensity;
    curves[2].denominator = polynomial({1.0});
    curves[3] = {Polynomial{}, polynomial({1.0, 1.0})};
    // Refused by "Sem 1/s", which said why: no second message.
    curves[4] = firstOrder();
    std::array<bool, MaxCurves + 1> skipped{};
    skipped[4] = true;
    CurveLabels labels{};
    labels[1] = "v(out)";
    labels[2] = "amp.ruido";
    LogLines log;
    const std::optional<StabilityCurves> result =
        stabilityCurves(curves, 4, labels, skipped, {0.1, 10.0}, false,
                        StabilityView::Nyquist, log.log);
    ASSERT_TRUE(result);
    ASSERT_EQ(result->curves.size(), 1u);
    EXPECT_EQ(result->curves[0].curve, 1);
    EXPECT_EQ(log.lines, (std::vector<std::string>{
                             "Nyquist: a curva 2 (amp.ruido) é uma densidade de ruído, sem fase; "
                             "curva omitida.",
                             "Nyquist: a curva 3 tem numerador nulo; curva omitida."}));
    LogLines none;
    EXPECT_FALSE(stabilityCurves(curves, 0, labels, skipped, {0.1, 10.0}, false,
                                 StabilityView::Nichols, none.log));
    EXPECT_EQ(none.lines, std::vector<std::string>{"Nichols: nenhuma curva a desenhar."});
}

class BoxesOnly : public PlotListHost {
public:
    BoxesOnly(std::string wmin, std::string wmax) {
        texts_[PlotEditBox::Ewmin] = std::move(wmin);
        texts_[PlotEditBox::Ewmax] = std::move(wmax);
    }
    std::string editText(PlotEditBox box) const override { return texts_.at(box); }
    std::string listText() const override { return {}; }
    void appendListLine(std::string_view) override {}
    std::optional<std::string> chooseNumeratorFile() override { return std::nullopt; }
    void hidePlotWindow() override {}
    void showPlotWindow() override {}

private:
    std::map<PlotEditBox, std::string> texts_;
};

TEST(StabilityRange, BoxesReadAsPlotarReadsThemAndHertzBecomeRadiansPerSecond) {
    LogLines log;
    const std::optional<OmegaRange> hz =
        listOmegaRange(BoxesOnly("0", "1k"), true, StabilityView::Nyquist, log.log);
    ASSERT_TRUE(hz);
    EXPECT_EQ(hz->wmin, 0.0);
    EXPECT_DOUBLE_EQ(hz->wmax, 2000.0 * std::numbers::pi);
    EXPECT_TRUE(log.lines.empty());
    struct Refusal {
        const char* wmin;
        const char* wmax;
        const char* message;
    };
    for (const Refusal& row : {
             Refusal{"abc", "5", "Valor inválido em \"Frequência mínima\": abc"},
             Refusal{"0.1", "", "Valor inválido em \"Frequência máxima\": "},
             Refusal{"5", "0.1", "Nichols: as frequências devem ir de zero ou mais a uma maior: 5 a 0.1"},
             Refusal{"1", "1", "Nichols: as frequências devem ir de zero ou mais a uma maior: 1 a 1"},
             Refusal{"-1", "1", "Nichols: as frequências devem ir de zero ou mais a uma maior: -1 a 1"},
         }) {
        LogLines refused;
        EXPECT_FALSE(listOmegaRange(BoxesOnly(row.wmin, row.wmax), false, StabilityView::Nichols,
                                    refused.log));
        EXPECT_EQ(refused.lines, std::vector<std::string>{row.message});
    }
}

TEST(StabilityReading, NamesTheCurveFrequencyMagnitudePhaseAndClosedLoop) {
    CurveLabels labels{};
    labels[2] = "v(out)";
    // K/(s+1)^3 with K = 8 at √3: H = -1, the closed loop's pole on the axis.
    const StabilityReading critical{2, std::sqrt(3.0), {-1.0, 0.0}};
    EXPECT_EQ(stabilityReadingText(critical, labels, false),
              "curva 2 (v(out))   ω = 1.732 rad/s   |H| = 1 (0 dB)   fase = 180°   H = -1   "
              "H/(1+H): infinito");
    const StabilityReading half{2, 2.0 * std::numbers::pi, {0.0, -1.0}};
    EXPECT_EQ(stabilityReadingText(half, labels, true),
              "curva 2 (v(out))   f = 1 Hz   |H| = 1 (0 dB)   fase = -90°   H = -j1   "
              "H/(1+H): -3.01 dB");
}

TEST(StabilityReading, TheNyquistCursorFindsTheMirrorBelowTheAxis) {
    const StabilityCurves curves = onlyCurve(firstOrder(), {1e-2, 1e2});
    NyquistPicture picture{&curves, RadialScale{}, fittedNyquistRegion(curves, RadialScale{})};
    const std::optional<ChartFrame> frame = nyquistFrame(600, 400, picture.region);
    ASSERT_TRUE(frame);
    // H(j1) = 0.5 - j0.5; its mirror 0.5 + j0.5 is H(-j1).
    const auto below = readNyquist(picture, 600, 400, frame->xOf(0.5), frame->yOf(-0.5));
    const auto above = readNyquist(picture, 600, 400, frame->xOf(0.5), frame->yOf(0.5));
    ASSERT_TRUE(below && above);
    EXPECT_NEAR(below->omega, 1.0, 0.02);
    EXPECT_NEAR(above->omega, -1.0, 0.02);
    EXPECT_NEAR(std::abs(above->value - 1.0 / Complex(1.0, above->omega)), 0.0, 1e-12);
    EXPECT_FALSE(readNyquist(picture, 600, 400, 1.0, 1.0));
}

TEST(NicholsRegion, ShowsTheCriticalPointAndTheCurve) {
    const StabilityCurves curves = onlyCurve(integratorAndPole(), {1e-2, 1e2});
    const PlaneRegion region = fittedNicholsRegion(curves);
    EXPECT_LE(region.reMin, -180.0 - 0.5);
    EXPECT_GE(region.reMax, -90.0);
    EXPECT_EQ(std::fmod(region.reMin, 45.0), 0.0);
    // |H| runs from 40 dB at 0.01 rad/s to -80 dB at 100 rad/s: the chart goes down as far
    // as it fits.
    EXPECT_GE(region.imMax, 40.0);
    EXPECT_LE(region.imMin, 40.0 - FittedGainDepth);
    EXPECT_GE(region.imMin, -80.0 - 10.0);
}

}  // namespace
}  // namespace corvane
