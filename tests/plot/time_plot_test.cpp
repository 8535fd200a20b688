// Covers the drawing of responses in time through a recording canvas: the 1-2-5 grid and
// its labels with SI prefixes and units, the automatic vertical range, the curves against
// the closed-form RC step, the colours and legend, broken lines and degenerate ranges.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "plot_fakes.h"
#include "plot_frame.h"
#include "time_plot.h"

namespace corvane {
namespace {

using test::RecordedLine;
using test::RecordingCanvas;

constexpr int Width = 680;
constexpr int Height = 442;

struct TicksCase {
    double min;
    double max;
    std::vector<double> expected;
};

class GridTicksTest : public ::testing::TestWithParam<TicksCase> {};

TEST_P(GridTicksTest, StepsOfOneTwoOrFive) {
    const TicksCase& c = GetParam();
    const std::vector<double> ticks = gridTicks(c.min, c.max);
    ASSERT_EQ(ticks.size(), c.expected.size());
    for (std::size_t i = 0; i < ticks.size(); ++i)
        EXPECT_NEAR(ticks[i], c.expected[i], 1e-12 * std::fabs(c.max - c.min)) << i;
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, GridTicksTest,
    ::testing::Values(TicksCase{0, 5, {0, 1, 2, 3, 4, 5}},
                      TicksCase{0, 1, {0, 0.2, 0.4, 0.6, 0.8, 1.0}},
                      TicksCase{0, 7e-3, {0, 2e-3, 4e-3, 6e-3}},
                      TicksCase{-1, 1, {-1, -0.5, 0, 0.5, 1}},
                      TicksCase{-0.0497, 1.043, {0, 0.2, 0.4, 0.6, 0.8, 1.0}},
                      TicksCase{3.3e-6, 4.1e-6, {3.4e-6, 3.6e-6, 3.8e-6, 4.0e-6}},
                      TicksCase{1, 1, {}}, TicksCase{2, 1, {}}, TicksCase{0, INFINITY, {}},
                      TicksCase{NAN, 1, {}}));

TEST(GridTicks, ZeroIsNeverNegative) {
    for (const double v : gridTicks(-1, 1)) {
        if (v == 0.0) {
            EXPECT_FALSE(std::signbit(v));
        }
    }
}

struct UnitCase {
    double value;
    const char* unit;
    const char* expected;
};

class ValueWithUnitTest : public ::testing::TestWithParam<UnitCase> {};

TEST_P(ValueWithUnitTest, Reads) {
    EXPECT_EQ(valueWithUnit(GetParam().value, GetParam().unit), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ValueWithUnitTest,
    ::testing::Values(UnitCase{2.5e-3, "s", "2.5 ms"}, UnitCase{-0.4, "V", "-400 mV"},
                      UnitCase{0, "s", "0 s"}, UnitCase{1, "V", "1 V"},
                      UnitCase{9.997e-4, "s", "1 ms"}, UnitCase{1e-6, "s", "1 µs"},
                      UnitCase{1234, "V", "1.23 kV"}, UnitCase{2e-15, "A", "0.002 pA"},
                      UnitCase{1.5e-7, "", "1.5e-07"}, UnitCase{-3, "", "-3"}));

TEST(FitVerticalRange, HoldsEveryFiniteValueWithAMargin) {
    TimeRange range;
    const std::vector<TimeCurve> curves{{"a.n1", "V", {0.0, 0.5, NAN, 1.0}, {}},
                                        {"b.n1", "V", {-1.0, INFINITY}, {}}};
    fitVerticalRange(range, curves);
    EXPECT_DOUBLE_EQ(range.vmin, -1.1);
    EXPECT_DOUBLE_EQ(range.vmax, 1.1);
}

TEST(FitVerticalRange, FlatAndEmptyCurves) {
    TimeRange range;
    const std::vector<TimeCurve> flat{{"a.n1", "V", {2.0, 2.0}, {}}};
    fitVerticalRange(range, flat);
    EXPECT_DOUBLE_EQ(range.vmin, 1.8);
    EXPECT_DOUBLE_EQ(range.vmax, 2.2);
    const std::vector<TimeCurve> zero{{"a.n1", "V", {0.0, 0.0}, {}}};
    fitVerticalRange(range, zero);
    EXPECT_DOUBLE_EQ(range.vmin, -1.0);
    EXPECT_DOUBLE_EQ(range.vmax, 1.0);
    const std::vector<TimeCurve> none{{"a.n1", "V", {NAN}, {}}};
    range = TimeRange{0, 1, 5, 6};
    fitVerticalRange(range, none);
    EXPECT_DOUBLE_EQ(range.vmin, -1.0);
    EXPECT_DOUBLE_EQ(range.vmax, 1.0);
}

TEST(SharedUnit, OnlyWhenEveryCurveAgrees) {
    EXPECT_EQ(sharedUnit(std::vector<TimeCurve>{{"a", "V", {}, {}}, {"b", "V", {}, {}}}), "V");
    EXPECT_EQ(sharedUnit(std::vector<TimeCurve>{{"a", "V", {}, {}}, {"b", "A", {}, {}}}), "");
    EXPECT_EQ(sharedUnit(std::vector<TimeCurve>{}), "");
}

// The RC step 1 - e^(-t/RC) with RC = 1 s, sampled at `points` times in 0 .. 5 s.
TimeCurve rcStep(int points) {
    TimeCurve curve{"/tmp/dir/rc.n2", "V", {}, {}};
    for (int i = 0; i < points; ++i) curve.values.push_back(1 - std::exp(-5.0 * i / (points - 1)));
    return curve;
}

TEST(DrawTimePlot, RcStepFollowsTheClosedForm) {
    const std::vector<TimeCurve> curves{rcStep(1000)};
    TimeRange range{0, 5};
    fitVerticalRange(range, curves);
    RecordingCanvas canvas;
    drawTimePlot(canvas, Width, Height, range, curves);

    ASSERT_EQ(canvas.fills.size(), 1u);
    EXPECT_EQ(canvas.fills[0].colour, Black);
    ASSERT_EQ(canvas.outlines.size(), 1u);
    EXPECT_EQ(canvas.outlines[0].left, LeftMargin);
    EXPECT_EQ(canvas.outlines[0].right, Width - RightMargin + 1);

    const int x0 = LeftMargin;
    const int x1 = Width - RightMargin;
    const int y0 = TopMargin;
    const int y1 = Height - BottomMargin;
    const std::vector<RecordedLine> curve = canvas.linesIn(timeCurveColour(1), PenStyle::Solid);
    ASSERT_EQ(curve.size(), 999u);
    EXPECT_EQ(curve.front().xa, x0);
    EXPECT_EQ(curve.back().xb, x1);
    // Every vertex stands within a pixel of the closed form at its column's time.
    const double pixelsPerVolt = (y1 - y0) / (range.vmax - range.vmin);
    for (const RecordedLine& line : curve) {
        const double t = 5.0 * (line.xb - x0) / (x1 - x0);
        const double expectedY = y1 - (1 - std::exp(-t) - range.vmin) * pixelsPerVolt;
        // The column is rounded too: at most half a pixel of time, times the slope.
        EXPECT_NEAR(line.yb, expectedY, 1.0 + 0.5 * 5.0 / (x1 - x0) * pixelsPerVolt);
    }

    // Time labels every second below the frame, value labels every 200 mV left of it.
    for (const char* label : {"0 s", "1 s", "2 s", "3 s", "4 s", "5 s"}) {
        const auto text = canvas.text(label);
        ASSERT_TRUE(text) << label;
        EXPECT_EQ(text->top, y1 + 1);
    }
    for (const char* label : {"0 V", "200 mV", "400 mV", "600 mV", "800 mV", "1 V"}) {
        const auto text = canvas.text(label);
        ASSERT_TRUE(text) << label;
        EXPECT_EQ(text->left + static_cast<int>(std::string(label).size()) * 6, x0 - 2);
    }
    EXPECT_EQ(canvas.linesIn(Grey, PenStyle::Dotted).size(), 6u + 6u);

    const auto legend = canvas.text("1: rc.n2");
    ASSERT_TRUE(legend);
    EXPECT_EQ(legend->colour, timeCurveColour(1));
    EXPECT_EQ(legend->left + 8 * 6, x1 - 4);
}

TEST(DrawTimePlot, TheLegendSaysWhereACurveOverflowed) {
    TimeCurve curve = rcStep(10);
    curve.overflowFrom = 2.5e-3;
    const std::vector<TimeCurve> curves{curve};
    TimeRange range{0, 5};
    fitVerticalRange(range, curves);
    RecordingCanvas canvas;
    drawTimePlot(canvas, Width, Height, range, curves);
    EXPECT_TRUE(canvas.text("1: rc.n2 (estouro em 2.5 ms)"));
}

TEST(DrawTimePlot, CurvesHaveTheirOwnColoursAndTheFirstLiesOnTop) {
    TimeCurve second = rcStep(10);
    second.file = "b.n3";
    for (double& v : second.values) v = -v;
    const std::vector<TimeCurve> curves{rcStep(10), second};
    TimeRange range{0, 5};
    fitVerticalRange(range, curves);
    RecordingCanvas canvas;
    drawTimePlot(canvas, Width, Height, range, curves);
    EXPECT_NE(timeCurveColour(1), timeCurveColour(2));
    EXPECT_EQ(canvas.linesIn(timeCurveColour(1), PenStyle::Solid).size(), 9u);
    EXPECT_EQ(canvas.linesIn(timeCurveColour(2), PenStyle::Solid).size(), 9u);
    // Curve 2's lines come before curve 1's.
    std::size_t lastOfSecond = 0;
    std::size_t firstOfFirst = canvas.lines.size();
    for (std::size_t i = 0; i < canvas.lines.size(); ++i) {
        if (canvas.lines[i].colour == timeCurveColour(2)) lastOfSecond = i;
        if (canvas.lines[i].colour == timeCurveColour(1) && i < firstOfFirst) firstOfFirst = i;
    }
    EXPECT_LT(lastOfSecond, firstOfFirst);
    ASSERT_TRUE(canvas.text("2: b.n3"));
    EXPECT_EQ(canvas.text("2: b.n3")->colour, timeCurveColour(2));
    EXPECT_EQ(canvas.text("2: b.n3")->top, canvas.text("1: rc.n2")->top + 12);
}

TEST(DrawTimePlot, MixedUnitsLabelPlainNumbers) {
    TimeCurve current = rcStep(10);
    current.unit = "A";
    const std::vector<TimeCurve> curves{rcStep(10), current};
    TimeRange range{0, 5};
    fitVerticalRange(range, curves);
    RecordingCanvas canvas;
    drawTimePlot(canvas, Width, Height, range, curves);
    EXPECT_TRUE(canvas.text("200 m"));
    EXPECT_FALSE(canvas.text("200 mV"));
    EXPECT_TRUE(canvas.text("1 s"));
}

// Both axes in engineering notation whatever the scale, the values without a known unit
// too: times of microseconds and of milliseconds, values of tens of thousands.
TEST(DrawTimePlot, AxisValuesInEngineeringNotation) {
    struct Case {
        TimeRange range;
        const char* unit;
        std::vector<std::string> shown;
        std::vector<std::string> absent;
    };
    const std::vector<Case> cases{
        {{0, 500e-6, 0, 1}, "V", {"100 µs", "200 µs", "400 µs", "200 mV", "1 V"}, {"0.0001 s"}},
        {{0, 2e-3, -1, 1}, "A", {"0 s", "1 ms", "1.5 ms", "-500 mA"}, {"0.001 s"}},
        {{0, 1, 0, 2e5}, "", {"200 ms", "50 k", "100 k", "150 k"}, {"1e+05", "100000", "200000"}},
        {{1e-3, 1.0004e-3, 0, 1e4}, "", {"1 ms", "1.0001 ms", "1.0002 ms", "4 k", "10 k"},
         {"0.001 s", "1e+04", "10000"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown.front());
        const std::vector<TimeCurve> curves{{"a.n1", c.unit, {c.range.vmin, c.range.vmax}, {}}};
        RecordingCanvas canvas;
        drawTimePlot(canvas, Width, Height, c.range, curves);
        for (const std::string& text : c.shown) EXPECT_TRUE(canvas.text(text)) << text;
        for (const std::string& text : c.absent) EXPECT_FALSE(canvas.text(text)) << text;
    }
}

TEST(DrawTimePlot, ValueWithoutPositionBreaksTheLine) {
    TimeCurve curve = rcStep(5);
    curve.values[2] = NAN;
    const std::vector<TimeCurve> curves{curve};
    RecordingCanvas canvas;
    drawTimePlot(canvas, Width, Height, TimeRange{0, 5, 0, 1}, curves);
    EXPECT_EQ(canvas.linesIn(timeCurveColour(1), PenStyle::Solid).size(), 2u);
}

TEST(DrawTimePlot, ValuesOutsideTheRangeStayOnTheFrame) {
    const std::vector<TimeCurve> curves{{"a.n1", "V", {-10.0, 10.0}, {}}};
    RecordingCanvas canvas;
    drawTimePlot(canvas, Width, Height, TimeRange{0, 1, 0, 1}, curves);
    const std::vector<RecordedLine> lines = canvas.linesIn(timeCurveColour(1), PenStyle::Solid);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].ya, Height - BottomMargin);
    EXPECT_EQ(lines[0].yb, TopMargin);
}

struct DegenerateCase {
    int width;
    int height;
    TimeRange range;
};

class DegenerateTimePlotTest : public ::testing::TestWithParam<DegenerateCase> {};

TEST_P(DegenerateTimePlotTest, OnlyTheBackground) {
    const std::vector<TimeCurve> curves{rcStep(10)};
    RecordingCanvas canvas;
    drawTimePlot(canvas, GetParam().width, GetParam().height, GetParam().range, curves);
    EXPECT_EQ(canvas.order, "F");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DegenerateTimePlotTest,
    ::testing::Values(DegenerateCase{Width, Height, {1, 1, 0, 1}},
                      DegenerateCase{Width, Height, {2, 1, 0, 1}},
                      DegenerateCase{Width, Height, {0, 1, 1, 1}},
                      DegenerateCase{Width, Height, {0, NAN, 0, 1}},
                      DegenerateCase{Width, Height, {0, 1, -INFINITY, 1}},
                      DegenerateCase{LeftMargin + RightMargin, Height, {0, 1, 0, 1}},
                      DegenerateCase{Width, TopMargin + BottomMargin, {0, 1, 0, 1}},
                      DegenerateCase{-5, -5, {0, 1, 0, 1}}));

TEST(Cursor, ColumnsMapToTimesAndSamples) {
    const TimeRange range{1, 3};
    EXPECT_DOUBLE_EQ(timeAtColumn(LeftMargin, Width, range), 1.0);
    EXPECT_DOUBLE_EQ(timeAtColumn(Width - RightMargin, Width, range), 3.0);
    EXPECT_DOUBLE_EQ(timeAtColumn(LeftMargin + 300, Width, range), 2.0);
    EXPECT_EQ(sampleAtColumn(LeftMargin, Width, range, 1001), 0);
    EXPECT_EQ(sampleAtColumn(LeftMargin + 300, Width, range, 1001), 500);
    EXPECT_EQ(sampleAtColumn(Width - RightMargin, Width, range, 1001), 1000);
    EXPECT_EQ(sampleAtColumn(LeftMargin - 1, Width, range, 1001), -1);
    EXPECT_EQ(sampleAtColumn(Width - RightMargin + 1, Width, range, 1001), -1);
    EXPECT_EQ(sampleAtColumn(LeftMargin + 10, Width, range, 1), -1);
}

}  // namespace
}  // namespace corvane
