// Covers what the pointer reads over the frequency plot: the frequency of its column on
// logarithmic and linear axes, in rad/s and Hz; the response of an RC low-pass against its
// closed form at exactly that frequency; the choice of the curve nearest in gain; the
// text of the line; and the markers a click leaves, through pan, zoom, M and new data.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "plot_cursor.h"
#include "plot_fakes.h"
#include "plot_frame.h"

namespace corvane {
namespace {

using test::polynomial;
using test::RecordedLine;
using test::RecordingCanvas;

constexpr double RC = 1e-3;
constexpr int Width = 680;
constexpr int Height = 442;

// 1 / (1 + sRC) on s = jω.
double rcGain(double omega) {
    return -10 * std::log10(1 + (omega * RC) * (omega * RC));
}
double rcPhase(double omega) {
    return -std::atan(omega * RC) * 180 / std::numbers::pi;
}
double rcDelay(double omega) {
    return RC / (1 + (omega * RC) * (omega * RC));
}

struct PlotCursorTest : test::PlotterFixture, ::testing::Test {
    void SetUp() override {
        addCurve("rc", polynomial({1.0}), polynomial({1.0, RC}));
        host.edits[PlotEditBox::Ewmin] = "10";
        host.edits[PlotEditBox::Ewmax] = "1e5";
        host.edits[PlotEditBox::Egmin] = "-60";
        host.edits[PlotEditBox::Egmax] = "20";
        plot();
    }

    PlotFrame frame() const {
        return makePlotFrame(Width, Height, plotter.plotParameters(), boxes.logarithmic());
    }

    // The pixel row of gain `g`.
    double rowOfGain(double g) const {
        const PlotFrame f = frame();
        const VerticalMap map = f.map(PlotQuantity::Gain);
        return map.a * g + map.b;
    }

    // The white lines that are not the gain curves' segments: the crosses of the markers.
    static std::vector<RecordedLine> crosses(const RecordingCanvas& canvas) {
        std::vector<RecordedLine> result;
        for (const RecordedLine& line : canvas.linesIn(White, PenStyle::Solid)) {
            if (std::abs(line.xb - line.xa) == 9) result.push_back(line);
        }
        return result;
    }
};

struct ColumnCase {
    double x;
    bool hz;
    bool logarithmic;
};

class CursorColumnTest : public PlotCursorTest, public ::testing::WithParamInterface<ColumnCase> {};

// The frame runs from column 70 (10) to 670 (1e5) on either axis.
TEST_P(CursorColumnTest, ReadsTheRcLowPassAtTheFrequencyOfTheColumn) {
    const ColumnCase& c = GetParam();
    boxes.hzBox = c.hz;
    boxes.logBox = c.logarithmic;
    const double share = (c.x - 70) / 600;
    const double w = c.logarithmic ? 10 * std::pow(1e4, share) : 10 + share * (1e5 - 10);
    const double omega = c.hz ? 2 * std::numbers::pi * w : w;
    const std::optional<CursorReading> reading =
        plotter.cursorAt(c.x, 200, Width, Height, boxes);
    ASSERT_TRUE(reading);
    EXPECT_EQ(reading->curve, 1);
    EXPECT_EQ(reading->hz, c.hz);
    EXPECT_NEAR(reading->frequency, w, 1e-9 * w);
    EXPECT_NEAR(reading->response.gain, rcGain(omega), 1e-9);
    EXPECT_NEAR(reading->response.phase, rcPhase(omega), 1e-9);
    EXPECT_NEAR(reading->response.delay, rcDelay(omega), 1e-12 * RC);
}

INSTANTIATE_TEST_SUITE_P(Columns, CursorColumnTest,
                         ::testing::Values(ColumnCase{70, false, true}, ColumnCase{213.5, false, true},
                                           ColumnCase{370, false, true}, ColumnCase{670, false, true},
                                           ColumnCase{370, true, true}, ColumnCase{101, true, true},
                                           ColumnCase{70, false, false}, ColumnCase{431, false, false},
                                           ColumnCase{670, true, false}));

TEST_F(PlotCursorTest, ColumnAndFrequencyAreInverse) {
    for (const bool logarithmic : {true, false}) {
        boxes.logBox = logarithmic;
        for (const double x : {70.0, 99.5, 370.0, 669.0}) {
            EXPECT_NEAR(columnOfFrequency(frame(), frequencyAtColumn(frame(), x)), x, 1e-9);
        }
    }
}

TEST_F(PlotCursorTest, ReadsTheCurveNearestInGain) {
    // A second curve 20 dB above: 10 / (1 + sRC).
    host.memo += "\n" + writeFile("alto.n1", polynomial({1.0}, 10.0)) + "\n" +
                 writeFile("alto.d", polynomial({1.0, RC}));
    plot();
    const double omega = 100;  // the left part of the frame: gains near 0 and 20 dB
    const double x = columnOfFrequency(frame(), omega);
    const double g1 = rcGain(omega);
    const double g2 = g1 + 20;
    struct Case {
        double gain;
        int curve;
    };
    for (const Case c : {Case{g2 - 3, 2}, Case{g2 - 9, 2}, Case{g1 + 9, 1}, Case{g1 - 40, 1}}) {
        SCOPED_TRACE(c.gain);
        const std::optional<CursorReading> reading =
            plotter.cursorAt(x, rowOfGain(c.gain), Width, Height, boxes);
        ASSERT_TRUE(reading);
        EXPECT_EQ(reading->curve, c.curve);
        EXPECT_NEAR(reading->response.gain, c.curve == 2 ? g2 : g1, 1e-9);
    }
}

TEST_F(PlotCursorTest, NothingOutsideThePlotRectangleNorBeforePlotar) {
    // The rectangle: columns 70 .. 670, rows 10 .. 424.
    for (const auto& [x, y] : std::vector<std::pair<double, double>>{
             {69.5, 200}, {670.5, 200}, {300, 9.5}, {300, 424.5}, {-1, -1}}) {
        EXPECT_FALSE(plotter.cursorAt(x, y, Width, Height, boxes)) << x << ", " << y;
    }
    EXPECT_TRUE(plotter.cursorAt(70, 10, Width, Height, boxes));
    EXPECT_TRUE(plotter.cursorAt(670, 424, Width, Height, boxes));
    test::PlotterFixture fresh;
    EXPECT_FALSE(fresh.plotter.cursorAt(300, 200, Width, Height, fresh.boxes));
}

TEST_F(PlotCursorTest, APoleOnTheAxisGivesNoReadingThere) {
    host.memo = std::string(test::DefaultListText) + "\n" + writeFile("lc.n1", polynomial({1.0})) +
                "\n" + writeFile("lc.d", polynomial({1.0, 0.0, 1.0}));  // 1 + s²: ω = 1 rad/s
    plot();
    EXPECT_FALSE(readCurveAt(plotter.curves(), 1, 1.0, false));
    const std::optional<CursorReading> beside = readCurveAt(plotter.curves(), 1, 2.0, false);
    ASSERT_TRUE(beside);
    EXPECT_NEAR(beside->response.gain, -20 * std::log10(3.0), 1e-12);
}

TEST_F(PlotCursorTest, TheLineReadsFrequencyCurveGainPhaseAndDelay) {
    std::optional<CursorReading> reading = readCurveAt(plotter.curves(), 1, 1000, false);
    ASSERT_TRUE(reading);
    EXPECT_EQ(cursorText(*reading, plotter.curveLabels()),
              "1 krad/s  1: rc.n1: ganho -3.01 dB, fase -45.0°, atraso 500 µs");
    reading = readCurveAt(plotter.curves(), 1, 1000 / (2 * std::numbers::pi), true);
    ASSERT_TRUE(reading);
    EXPECT_EQ(cursorText(*reading, plotter.curveLabels()),
              "159 Hz  1: rc.n1: ganho -3.01 dB, fase -45.0°, atraso 500 µs");
}

TEST_F(PlotCursorTest, AClickLeavesAMarkerThatStaysOnItsFrequency) {
    boxes.gridBox = false;
    const double x = columnOfFrequency(frame(), 1000);
    lines.clear();
    ASSERT_TRUE(plotter.placeMarker(x, rowOfGain(-3), Width, Height, boxes));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "Marcador: 1 krad/s  1: rc.n1: ganho -3.01 dB, fase -45.0°, atraso 500 µs");
    ASSERT_EQ(plotter.markers().size(), 1u);
    EXPECT_EQ(plotter.markers()[0].curve, 1);
    EXPECT_NEAR(plotter.markers()[0].omega, 1000, 1e-9);

    // A cross of two diagonals of 9 pixels centred on the curve at 1000 rad/s.
    auto expectCrossAt = [&](double omega) {
        const std::vector<RecordedLine> drawn = crosses(paint());
        ASSERT_EQ(drawn.size(), 2u);
        const int cx = nearest(columnOfFrequency(frame(), omega));
        const int cy = nearest(rowOfGain(rcGain(omega)));
        EXPECT_EQ(drawn[0].xa, cx - 4);
        EXPECT_EQ(drawn[0].ya, cy - 4);
        EXPECT_EQ(drawn[1].xa, cx - 4);
        EXPECT_EQ(drawn[1].ya, cy + 4);
    };
    expectCrossAt(1000);
    // Pan and zoom move the frequency under the cross, not the marker off the curve.
    plotter.panFrequency(0.2, boxes);
    expectCrossAt(1000);
    plotter.zoomFrequencyAt(0.5, 1, boxes);
    expectCrossAt(1000);
    // In Hz the same marker stands at 1000 / 2π Hz.
    boxes.hzBox = true;
    host.edits[PlotEditBox::Ewmin] = "1";
    host.edits[PlotEditBox::Ewmax] = "1e4";
    plotter.markCurvesStale();
    // A range without the marker's frequency draws no cross.
    plotter.panFrequency(-0.9, boxes);
    EXPECT_TRUE(crosses(paint()).empty());
    // M clears the markers; new data too.
    plotter.clearMarkers();
    EXPECT_TRUE(plotter.markers().empty());
    plotter.placeMarker(x, 200, Width, Height, boxes);
    EXPECT_EQ(plotter.markers().size(), 1u);
    plot();
    EXPECT_TRUE(plotter.markers().empty());
}

TEST_F(PlotCursorTest, TheNinthMarkerReplacesTheOldest) {
    lines.clear();
    for (int i = 0; i < 9; ++i)
        ASSERT_TRUE(plotter.placeMarker(100 + 50 * i, 200, Width, Height, boxes));
    ASSERT_EQ(plotter.markers().size(), MaxMarkers);
    EXPECT_NEAR(plotter.markers().front().omega, frequencyAtColumn(frame(), 150), 1e-9);
    EXPECT_NEAR(plotter.markers().back().omega, frequencyAtColumn(frame(), 500), 1e-9);
    EXPECT_EQ(lines.size(), 9u);
    // Outside the rectangle a click places nothing and logs nothing.
    EXPECT_FALSE(plotter.placeMarker(20, 200, Width, Height, boxes));
    EXPECT_EQ(lines.size(), 9u);
}

}  // namespace
}  // namespace corvane
