// Covers splane/pole_zero_map and splane/pole_zero_paint: the map's roots against closed
// forms (Butterworth poles on the unit circle, a notch's zeros on the jω axis, a triple
// pole), the fitted region, one scale on both axes at any surface size (seen in the
// drawn markers), and what the cursor reads over a known pair.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <string>
#include <vector>

#include "plot_canvas.h"
#include "pole_zero_map.h"
#include "pole_zero_paint.h"
#include "test_polynomial.h"
#include "time_plot.h"

namespace corvane {
namespace {

using Complex = std::complex<double>;
constexpr double Pi = std::numbers::pi;

PlotCurves curvesOf(const std::vector<PlotCurve>& list) {
    PlotCurves curves{};
    for (std::size_t k = 0; k < list.size(); ++k)
        curves[k + 1] = list[k];
    return curves;
}

// Every expected root is matched by one distinct root of the map, of the given role and
// curve, within a relative tolerance; and nothing else is there.
void expectRoots(const PoleZeroMap& map, int curve, RootRole role, std::vector<Complex> expected,
                 int multiplicity = 1) {
    std::vector<MapRoot> found;
    for (const MapRoot& root : map.roots)
        if (root.curve == curve && root.role == role) found.push_back(root);
    ASSERT_EQ(found.size(), expected.size());
    for (const MapRoot& root : found) {
        const auto near = std::find_if(expected.begin(), expected.end(), [&](Complex e) {
            return std::abs(root.value - e) <= 1e-9 * std::max(1.0, std::abs(e));
        });
        ASSERT_NE(near, expected.end()) << root.value;
        EXPECT_EQ(root.multiplicity, multiplicity);
        expected.erase(near);
    }
}

// Butterworth of order n, cut at ω = 1: the published denominators, and the poles
// e^(jπ(2k+n-1)/2n), k = 1..n.
struct ButterworthCase {
    const char* name;
    std::vector<double> denominator;
};

class ButterworthMapTest : public ::testing::TestWithParam<ButterworthCase> {};

TEST_P(ButterworthMapTest, PolesLieOnTheUnitCircleAtTheirAngles) {
    const ButterworthCase& c = GetParam();
    const int n = static_cast<int>(c.denominator.size()) - 1;
    const PlotCurves curves =
        curvesOf({{test::polynomial({1.0}), test::polynomial(c.denominator)}});
    const PoleZeroMap map = mapOfCurves(curves, 1);
    std::vector<Complex> poles;
    for (int k = 1; k <= n; ++k)
        poles.push_back(std::polar(1.0, Pi * (2 * k + n - 1) / (2 * n)));
    expectRoots(map, 1, RootRole::Pole, poles);
    expectRoots(map, 1, RootRole::Zero, {});
    EXPECT_TRUE(map.problems.empty());
}

INSTANTIATE_TEST_SUITE_P(Orders, ButterworthMapTest,
                         ::testing::Values(ButterworthCase{"second", {1, std::numbers::sqrt2, 1}},
                                           ButterworthCase{"third", {1, 2, 2, 1}},
                                           ButterworthCase{"fourth",
                                                           {1, 2.613125929752753, 3.414213562373095,
                                                            2.613125929752753, 1}},
                                           ButterworthCase{
                                               "fifth",
                                               {1, 3.23606797749979, 5.23606797749979,
                                                5.23606797749979, 3.23606797749979, 1}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PoleZeroMapTest, NotchZerosOnTheImaginaryAxisAndItsPoles) {
    // H = (s² + ω0²)/(s² + (ω0/Q)s + ω0²) at 60 Hz, Q = 5.
    const double w0 = 2 * Pi * 60;
    const double q = 5;
    const PlotCurves curves =
        curvesOf({{test::polynomial({w0 * w0, 0, 1}), test::polynomial({w0 * w0, w0 / q, 1})}});
    const PoleZeroMap map = mapOfCurves(curves, 1);
    const double re = -w0 / (2 * q);
    const double im = w0 * std::sqrt(1 - 1 / (4 * q * q));
    expectRoots(map, 1, RootRole::Zero, {{0, w0}, {0, -w0}});
    expectRoots(map, 1, RootRole::Pole, {{re, im}, {re, -im}});
    for (const MapRoot& root : map.roots) {
        if (root.role == RootRole::Zero) {
            EXPECT_EQ(root.value.real(), 0.0);
        }
    }
}

TEST(PoleZeroMapTest, TriplePoleIsOneRootOfOrderThreeAndCurvesKeepTheirNumbers) {
    // (s + 2)³ = s³ + 6s² + 12s + 8 over curve 2; curve 1 is 1/(s + 1).
    const PlotCurves curves =
        curvesOf({{test::polynomial({1}), test::polynomial({1, 1})},
                  {test::polynomial({0, 1}), test::polynomial({8, 12, 6, 1})}});
    const PoleZeroMap map = mapOfCurves(curves, 2);
    expectRoots(map, 1, RootRole::Pole, {{-1, 0}});
    expectRoots(map, 2, RootRole::Pole, {{-2, 0}}, 3);
    expectRoots(map, 2, RootRole::Zero, {{0, 0}});
}

TEST(PoleZeroMapTest, ZeroNumeratorIsNamed) {
    const PlotCurves curves = curvesOf({{test::polynomial({0}), test::polynomial({1, 1})}});
    const PoleZeroMap map = mapOfCurves(curves, 1);
    ASSERT_EQ(map.problems.size(), 1u);
    EXPECT_EQ(map.problems[0], "Curva 1: os zeros não existem (polinômio nulo)");
    expectRoots(map, 1, RootRole::Pole, {{-1, 0}});
}

struct RegionCase {
    const char* name;
    std::vector<Complex> points;
};

class FittedRegionTest : public ::testing::TestWithParam<RegionCase> {};

TEST_P(FittedRegionTest, HoldsTheOriginAndEveryFinitePointInsideItsEdges) {
    const PlaneRegion r = fittedRegion(GetParam().points);
    ASSERT_TRUE(std::isfinite(r.reMin) && std::isfinite(r.reMax) && std::isfinite(r.imMin) &&
                std::isfinite(r.imMax));
    EXPECT_LT(r.reMin, 0.0);
    EXPECT_GT(r.reMax, 0.0);
    EXPECT_LT(r.imMin, 0.0);
    EXPECT_GT(r.imMax, 0.0);
    for (const Complex p : GetParam().points) {
        if (!(std::abs(p) <= LargestFittedMagnitude)) continue;
        EXPECT_LT(r.reMin, p.real());
        EXPECT_GT(r.reMax, p.real());
        EXPECT_LT(r.imMin, p.imag());
        EXPECT_GT(r.imMax, p.imag());
    }
    EXPECT_TRUE(makePlaneFrame(680, 442, r).has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Points, FittedRegionTest,
    ::testing::Values(RegionCase{"none", {}}, RegionCase{"only_the_origin", {{0, 0}}},
                      RegionCase{"left_half", {{-3, 4}, {-3, -4}, {-10, 0}}},
                      RegionCase{"right_half_real", {{2, 0}, {5, 0}}},
                      RegionCase{"on_the_axis_only", {{0, 1e6}, {0, -1e6}}},
                      RegionCase{"megahertz_and_hertz", {{-6e6, 6e6}, {-6e6, -6e6}, {-1, 0}}},
                      RegionCase{"not_finite_skipped", {{NAN, 0}, {INFINITY, 1}, {-1, 1}}},
                      RegionCase{"largest_fitted", {{-7e299, 7e299}}},
                      RegionCase{"largest_doubles_left_out", {{-1e308, 1e308}, {-2, 0}}}),
    [](const auto& info) { return std::string(info.param.name); });

// Draws as the window does and keeps the lines.
class LineRecorder : public PlotCanvas {
public:
    struct Line {
        Colour colour;
        PenStyle style;
        int xa, ya, xb, yb;
    };
    std::vector<Line> lines;

    void fillRectangle(int, int, int, int, Colour) override {}
    void setPen(Colour colour, PenStyle style) override {
        colour_ = colour;
        style_ = style;
    }
    void drawLine(int xa, int ya, int xb, int yb) override {
        lines.push_back({colour_, style_, xa, ya, xb, yb});
    }
    void drawOutline(int, int, int, int, Colour) override {}
    int textWidth(std::string_view text) override { return 6 * static_cast<int>(text.size()); }
    void drawText(int, int, std::string_view, Colour, Colour) override {}

private:
    Colour colour_;
    PenStyle style_ = PenStyle::Solid;
};

class EqualAxesTest : public ::testing::TestWithParam<std::pair<int, int>> {};

// The fifth-order Butterworth poles lie on the unit circle: drawn at any surface size,
// the centres of their × markers lie at one pixel distance from the crossing of the axes.
TEST_P(EqualAxesTest, ButterworthPolesDrawnOnACircle) {
    const auto [width, height] = GetParam();
    const PlotCurves curves = curvesOf(
        {{test::polynomial({1}), test::polynomial({1, 3.23606797749979, 5.23606797749979,
                                                   5.23606797749979, 3.23606797749979, 1})}});
    const PoleZeroMap map = mapOfCurves(curves, 1);
    std::array<std::string, MaxCurves + 1> files{};
    PlanePicture picture;
    picture.map = &map;
    picture.curveLabels = &files;
    picture.region = fittedRegion(rootValues(map));
    LineRecorder canvas;
    drawPoleZeroPlane(canvas, width, height, picture);

    std::optional<int> axisX;
    std::optional<int> axisY;
    std::vector<std::pair<double, double>> centres;
    for (const LineRecorder::Line& l : canvas.lines) {
        if (l.colour == Grey && l.style == PenStyle::Solid) {
            if (l.xa == l.xb) axisX = l.xa;
            if (l.ya == l.yb) axisY = l.ya;
        }
        // The first stroke of each ×, from top left to bottom right.
        if (l.colour == timeCurveColour(1) && l.xb - l.xa == 2 * MarkerHalfSize &&
            l.yb - l.ya == 2 * MarkerHalfSize)
            centres.emplace_back((l.xa + l.xb) / 2.0, (l.ya + l.yb) / 2.0);
    }
    ASSERT_TRUE(axisX && axisY) << "both axes in view";
    ASSERT_EQ(centres.size(), 5u);
    std::vector<double> radii;
    for (const auto& [x, y] : centres)
        radii.push_back(std::hypot(x - *axisX, y - *axisY));
    const auto [low, high] = std::minmax_element(radii.begin(), radii.end());
    EXPECT_GT(*low, 10.0);
    // Whole pixels: each centre is off by at most half a pixel both ways.
    EXPECT_LE(*high - *low, 1.5) << *low << " .. " << *high;
}

INSTANTIATE_TEST_SUITE_P(Sizes, EqualAxesTest,
                         ::testing::Values(std::pair{680, 442}, std::pair{300, 900},
                                           std::pair{1400, 220}, std::pair{160, 160},
                                           std::pair{2000, 2000}),
                         [](const auto& info) {
                             return std::to_string(info.param.first) + "x" +
                                    std::to_string(info.param.second);
                         });

TEST(PlaneFrameTest, ShowsAtLeastTheRegionAskedForCentred) {
    const PlaneRegion asked{-4, 1, -2, 2};
    for (const auto& [w, h] : {std::pair{680, 442}, std::pair{200, 900}, std::pair{900, 120}}) {
        const std::optional<PlaneFrame> frame = makePlaneFrame(w, h, asked);
        ASSERT_TRUE(frame);
        const PlaneRegion shown = frame->shown();
        EXPECT_LE(shown.reMin, asked.reMin + 1e-12);
        EXPECT_GE(shown.reMax, asked.reMax - 1e-12);
        EXPECT_LE(shown.imMin, asked.imMin + 1e-12);
        EXPECT_GE(shown.imMax, asked.imMax - 1e-12);
        EXPECT_NEAR(shown.reMin + shown.reMax, asked.reMin + asked.reMax, 1e-9);
        EXPECT_NEAR(shown.imMin + shown.imMax, asked.imMin + asked.imMax, 1e-9);
    }
    EXPECT_FALSE(makePlaneFrame(40, 20, asked));
    EXPECT_FALSE(makePlaneFrame(680, 442, PlaneRegion{1, 1, -1, 1}));
}

TEST(PlaneRegionTest, ZoomKeepsThePointUnderThePointerAndPanMoves) {
    const PlaneRegion r{-4, 2, -3, 3};
    const Complex at{-1, 1};
    const PlaneRegion z = zoomRegion(r, at, 2.0);
    EXPECT_DOUBLE_EQ(z.reMax - z.reMin, 3.0);
    EXPECT_DOUBLE_EQ((at.real() - z.reMin) / (z.reMax - z.reMin), (at.real() - r.reMin) / 6.0);
    EXPECT_DOUBLE_EQ((at.imag() - z.imMin) / (z.imMax - z.imMin), (at.imag() - r.imMin) / 6.0);
    EXPECT_EQ(panRegion(r, {1, -1}), (PlaneRegion{-3, 3, -4, 2}));
    // Past what the doubles hold, the region stays as it was.
    EXPECT_EQ(zoomRegion(r, at, 1e-308), r);
    EXPECT_EQ(panRegion(r, {INFINITY, 0}), r);
}

// A pair with ω0 = 2 and Q = 1 (ζ = 1/2): the pointer on its marker reads them.
TEST(PlaneCursorTest, ReadsOmegaZeroAndQualityOfAKnownPair) {
    const PlotCurves curves = curvesOf({{test::polynomial({4}), test::polynomial({4, 2, 1})}});
    const PoleZeroMap map = mapOfCurves(curves, 1);
    const std::optional<PlaneFrame> frame = makePlaneFrame(680, 442, fittedRegion(rootValues(map)));
    ASSERT_TRUE(frame);
    const Complex pole{-1, std::sqrt(3.0)};
    const double x = std::round(frame->xOf(pole.real()));
    const double y = std::round(frame->yOf(pole.imag()));
    const PlaneReading reading = readPlane(frame->valueAt(x, y), map);
    const double pixel = 1.0 / frame->scale;
    EXPECT_NEAR(reading.omega0, 2.0, pixel);
    ASSERT_TRUE(reading.zeta && reading.quality);
    EXPECT_NEAR(*reading.zeta, 0.5, pixel);
    EXPECT_NEAR(*reading.quality, 1.0, 4 * pixel);
    ASSERT_TRUE(reading.nearest);
    EXPECT_EQ(reading.nearest->curve, 1);
    EXPECT_EQ(reading.nearest->role, RootRole::Pole);
    EXPECT_NEAR(std::abs(reading.nearest->value - pole), 0.0, 1e-12);
}

struct ReadingCase {
    const char* name;
    Complex s;
    const char* text;
};

class PlaneReadingTextTest : public ::testing::TestWithParam<ReadingCase> {};

TEST_P(PlaneReadingTextTest, Text) {
    const PlotCurves curves = curvesOf({{test::polynomial({1, 1}), test::polynomial({4, 2, 1})}});
    std::array<std::string, MaxCurves + 1> files{};
    files[1] = "filtro.n3";
    EXPECT_EQ(planeReadingText(readPlane(GetParam().s, mapOfCurves(curves, 1)), files),
              GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Points, PlaneReadingTextTest,
    ::testing::Values(
        ReadingCase{"damped",
                    {-1, 1.7},
                    "s = -1 + j1.7 rad/s   ω0 = 1.972 rad/s (0.3139 Hz)   ζ = 0.507   Q = 0.9862"
                    "   mais perto: polo -1 + j1.732 da curva 1 (filtro.n3)"},
        ReadingCase{"on_the_axis",
                    {0, -3},
                    "s = -j3 rad/s   ω0 = 3 rad/s (0.4775 Hz)   ζ = 0   Q = infinito"
                    "   mais perto: polo -1 - j1.732 da curva 1 (filtro.n3)"},
        ReadingCase{"origin",
                    {0, 0},
                    "s = 0 rad/s   ω0 = 0 rad/s (0 Hz)   ζ = indefinido   Q = indefinido"
                    "   mais perto: zero -1 da curva 1 (filtro.n3)"},
        ReadingCase{"right_half",
                    {2, 0},
                    "s = 2 rad/s   ω0 = 2 rad/s (0.3183 Hz)   ζ = -1   Q = -0.5"
                    "   mais perto: zero -1 da curva 1 (filtro.n3)"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace corvane
