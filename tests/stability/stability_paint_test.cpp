// Covers stability/nyquist_paint.cpp and nichols_paint.cpp as a person sees the picture:
// the critical point in red with its label, each curve in its colour (the Nyquist mirror
// dotted), the legend by variable with the range, and nothing drawn outside the frame's
// rectangle but the margins' labels.
#include <gtest/gtest.h>

#include "../plot/plot_fakes.h"
#include "nichols_paint.h"
#include "nyquist_paint.h"
#include "test_polynomial.h"
#include "time_plot.h"

namespace corvane {
namespace {

using test::polynomial;
using test::RecordingCanvas;

constexpr int Width = 600;
constexpr int Height = 400;

// K/(s+1)^3 with K = 4: it crosses the negative real axis at -0.5.
StabilityCurves thirdOrder() {
    const PlotCurve curve{polynomial({1.0}, 4.0), polynomial({1.0, 3.0, 3.0, 1.0})};
    const OmegaRange range{1e-2, 1e2};
    StabilityCurves curves{{{1, curve, sampleResponse(curve, range)}}, range, false, {}};
    curves.labels[1] = "v(out)";
    return curves;
}

bool insideFrame(const ChartFrame& frame, const test::RecordedLine& line) {
    return frame.contains(line.xa, line.ya) && frame.contains(line.xb, line.yb);
}

TEST(StabilityPaint, NyquistShowsTheCriticalPointBothBranchesAndTheLegend) {
    const StabilityCurves curves = thirdOrder();
    for (const RadialScale scale : {RadialScale{}, compressionFor(curves)}) {
        const NyquistPicture picture{&curves, scale, fittedNyquistRegion(curves, scale)};
        RecordingCanvas canvas;
        drawNyquist(canvas, Width, Height, picture);
        const std::optional<ChartFrame> frame = nyquistFrame(Width, Height, picture.region);
        ASSERT_TRUE(frame);
        const Colour colour = timeCurveColour(1);
        EXPECT_FALSE(canvas.linesIn(colour, PenStyle::Solid).empty());
        EXPECT_FALSE(canvas.linesIn(colour, PenStyle::Dotted).empty());
        const auto critical = canvas.linesIn(Red, PenStyle::Solid);
        ASSERT_EQ(critical.size(), 2u);
        for (const test::RecordedLine& line : critical) {
            EXPECT_NEAR(0.5 * (line.xa + line.xb), frame->xOf(-1.0), 1.0);
            EXPECT_NEAR(0.5 * (line.ya + line.yb), frame->yOf(0.0), 1.0);
        }
        EXPECT_TRUE(canvas.text("-1"));
        // The crossing of the negative axis with its value: -K/8.
        ASSERT_TRUE(canvas.text("-0.5"));
        EXPECT_EQ(canvas.text("-0.5")->colour, colour);
        ASSERT_TRUE(canvas.text("1: v(out)"));
        EXPECT_EQ(canvas.text("1: v(out)")->colour, colour);
        EXPECT_TRUE(canvas.text("ω de 10 mrad/s a 100 rad/s"));
        for (const test::RecordedLine& line : canvas.linesIn(colour, PenStyle::Solid))
            EXPECT_TRUE(insideFrame(*frame, line));
    }
}

TEST(StabilityPaint, NicholsShowsTheCriticalPointTheMCirclesAndTheCurve) {
    const StabilityCurves curves = thirdOrder();
    const NicholsPicture picture{&curves, fittedNicholsRegion(curves)};
    RecordingCanvas canvas;
    drawNichols(canvas, Width, Height, picture);
    const std::optional<ChartFrame> frame = nicholsFrame(Width, Height, picture.region);
    ASSERT_TRUE(frame);
    ASSERT_TRUE(canvas.text("-180°, 0 dB"));
    EXPECT_EQ(canvas.text("-180°, 0 dB")->colour, Red);
    EXPECT_FALSE(canvas.linesIn(timeCurveColour(1), PenStyle::Solid).empty());
    for (const char* label : {"6 dB", "3 dB", "-3 dB", "-12 dB"})
        EXPECT_TRUE(canvas.text(label)) << label;
    for (const test::RecordedLine& line : canvas.linesIn(Grey, PenStyle::Dotted))
        EXPECT_TRUE(insideFrame(*frame, line));
}

TEST(StabilityPaint, ASurfaceTooSmallOnlyFillsTheBackground) {
    const StabilityCurves curves = thirdOrder();
    RecordingCanvas canvas;
    drawNyquist(canvas, 20, 10, NyquistPicture{&curves, {}, fittedNyquistRegion(curves, {})});
    drawNichols(canvas, 20, 10, NicholsPicture{&curves, fittedNicholsRegion(curves)});
    EXPECT_EQ(canvas.order, "FF");
}

}  // namespace
}  // namespace corvane

namespace corvane {
namespace {

// A chart panned so far that a grid step is lost in the rounding of the phase draws no grid
// line there, and returns.
TEST(StabilityPaint, AChartPannedFarAwayStillPaints) {
    const StabilityCurves curves = thirdOrder();
    RecordingCanvas canvas;
    drawNichols(canvas, Width, Height, NicholsPicture{&curves, {1e20, 1e20 + 3e4, -10.0, 10.0}});
    EXPECT_TRUE(canvas.text("1: v(out)"));
}

}  // namespace
}  // namespace corvane
