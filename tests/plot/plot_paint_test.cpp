// Covers the paint of the plot window through a recording canvas: the frame, the grid on
// both axes, the labels, the curves with their clipping and draw order, the evaluation
// during the paint, the floating-point faults that end it, values without a position and
// surfaces too small for the margins; and the key commands.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "floating_point.h"
#include "plot_fakes.h"
#include "plot_frame.h"
#include "plot_paint.h"

namespace corvane {
namespace {

using test::polynomial;
using test::RecordedLine;
using test::RecordingCanvas;

struct PlotPaintTest : test::PlotterFixture, ::testing::Test {
    Polynomial one = polynomial({1.0});
    Polynomial lowPass = polynomial({1.0, 1.0});

    void setEdits(const char* wmin, const char* wmax, const char* segments = "300") {
        host.edits[PlotEditBox::Ewmin] = wmin;
        host.edits[PlotEditBox::Ewmax] = wmax;
        host.edits[PlotEditBox::Esegmentos] = segments;
    }
};

std::vector<int> xPositions(const std::vector<RecordedLine>& lines) {
    std::vector<int> xs;
    for (const RecordedLine& line : lines)
        xs.push_back(line.xa);
    return xs;
}

std::vector<int> yPositions(const std::vector<RecordedLine>& lines) {
    std::vector<int> ys;
    for (const RecordedLine& line : lines)
        ys.push_back(line.ya);
    return ys;
}

TEST_F(PlotPaintTest, BeforePlotarOnlyTheBackgroundIsDrawn) {
    const RecordingCanvas canvas = paint();
    EXPECT_EQ(canvas.order, "F");
    EXPECT_EQ(canvas.fills[0].right, 680);
    EXPECT_EQ(canvas.fills[0].bottom, 442);
    EXPECT_EQ(canvas.fills[0].colour, Black);
}

TEST_F(PlotPaintTest, DefaultFrameGridAndLabels) {
    plot();
    const RecordingCanvas canvas = paint();
    ASSERT_EQ(canvas.fills.size(), 1u);
    EXPECT_EQ(canvas.fills[0].colour, Black);
    ASSERT_EQ(canvas.outlines.size(), 1u);
    const test::RecordedRectangle& frame = canvas.outlines[0];
    EXPECT_EQ(std::vector<int>({frame.left, frame.top, frame.right, frame.bottom}),
              std::vector<int>({70, 10, 670, 425}));
    EXPECT_EQ(frame.colour, White);

    // Vertical lines at 0.2 .. 0.9, 1 (yellow), 2, 3, 4, where ln maps 0.1 .. 5 onto 70 .. 670.
    const double ax = 600 / std::log(50.0);
    const double bx = 670 - std::log(5.0) * ax;
    std::vector<int> expectedGrey;
    for (const double v : {0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 2.0, 3.0, 4.0}) {
        expectedGrey.push_back(static_cast<int>(std::floor(ax * std::log(v) + bx + 0.5)));
    }
    const std::vector<RecordedLine> grey = canvas.linesIn(Grey, PenStyle::Dotted);
    const std::vector<RecordedLine> yellow = canvas.linesIn(Yellow, PenStyle::Dotted);
    ASSERT_EQ(yellow.size(), 1u);
    EXPECT_EQ(yellow[0].xa, static_cast<int>(std::floor(bx + 0.5)));
    EXPECT_EQ(std::vector<int>({yellow[0].ya, yellow[0].xb, yellow[0].yb}),
              std::vector<int>({10, yellow[0].xa, 424}));
    ASSERT_EQ(grey.size(), 11u + 7u);
    EXPECT_EQ(xPositions({grey.begin(), grey.begin() + 11}), expectedGrey);
    // Horizontal lines at -50, -40, ..., 10 dB: y = -5.175·v + 113.5.
    const std::vector<RecordedLine> horizontal(grey.begin() + 11, grey.end());
    EXPECT_EQ(yPositions(horizontal), std::vector<int>({372, 321, 269, 217, 165, 114, 62}));
    for (const RecordedLine& line : horizontal) {
        EXPECT_EQ(line.xa, 70);
        EXPECT_EQ(line.xb, 670);
        EXPECT_EQ(line.ya, line.yb);
    }
    // Grid, then frame, then labels.
    EXPECT_EQ(canvas.order.substr(0, 22), "F" + std::string(19, 'L') + "OT");

    // The limits, each upper one with its unit, in the colour of its quantity; the grid's
    // values after them.
    const std::vector<std::pair<std::string, Colour>> limits{
        {"40 s", Red},    {"-10", Red},   {"180°", Green},     {"-180", Green},
        {"20 dB", White}, {"-60", White}, {"100 m", White}, {"5 rad/s", White},
    };
    ASSERT_GE(canvas.texts.size(), limits.size());
    for (std::size_t i = 0; i < limits.size(); ++i) {
        SCOPED_TRACE(limits[i].first);
        EXPECT_EQ(canvas.texts[i].text, limits[i].first);
        EXPECT_EQ(canvas.texts[i].colour, limits[i].second);
        EXPECT_EQ(canvas.texts[i].background, Black);
    }
    // No curves.
    EXPECT_TRUE(canvas.linesIn(White, PenStyle::Solid).empty());
    EXPECT_FALSE(plotter.curvesStale());
}

// The texts of one row of labels (those whose top is `top`) from left to right; none may
// cover another.
std::vector<std::string> rowTexts(const RecordingCanvas& canvas, int top) {
    std::vector<test::RecordedText> row;
    for (const test::RecordedText& text : canvas.texts) {
        if (text.top == top) row.push_back(text);
    }
    std::sort(row.begin(), row.end(), [](const auto& a, const auto& b) { return a.left < b.left; });
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < row.size(); ++i) {
        if (i > 0) {
            const int previousEnd = row[i - 1].left +
                                    RecordingCanvas::CharWidth * static_cast<int>(row[i - 1].text.size());
            EXPECT_LT(previousEnd, row[i].left) << row[i - 1].text << " covers " << row[i].text;
        }
        texts.push_back(row[i].text);
    }
    return texts;
}

// Every decade in view keeps its value below the frame, in engineering notation, and the
// unit follows the upper limit instead of covering one.
TEST_F(PlotPaintTest, EveryFrequencyValueShowsWithTheUnitBesideTheUpperLimit) {
    struct Case {
        bool hz, logarithmic;
        const char *wmin, *wmax;
        std::vector<std::string> row;
    };
    const std::vector<Case> cases{
        {true, true, "500", "2000", {"500", "1 k", "2 kHz"}},
        {true, true, "500", "200000",
         {"500", "1 k", "2 k", "5 k", "10 k", "20 k", "50 k", "100 k", "200 kHz"}},
        {false, true, "0.1", "5", {"100 m", "200 m", "500 m", "1", "2", "5 rad/s"}},
        {false, true, "1e-3", "1e3", {"1 m", "10 m", "100 m", "1", "10", "100", "1 krad/s"}},
        {true, false, "0", "2e4", {"0", "5 k", "10 k", "15 k", "20 kHz"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.wmin) + " .. " + c.wmax);
        boxes.hzBox = c.hz;
        boxes.logBox = c.logarithmic;
        setEdits(c.wmin, c.wmax);
        plot();
        EXPECT_EQ(rowTexts(paint(), 425), c.row);
    }
}

// The phase and the delay are read at the gain's grid lines too: each line's gain, phase
// and delay stack left of it, in their colours, on the linear maps of the default ranges
// (phase -180° + 4.5°/dB·(g + 60), delay -10 s + 0.625 s/dB·(g + 60)). At -50 dB the
// stack would cover the lower limits: the gain stands alone there.
TEST_F(PlotPaintTest, PhaseAndDelayAreLabelledAtTheGridLines) {
    plot();
    const RecordingCanvas canvas = paint();
    struct Line {
        const char *gain, *phase, *delay;
    };
    const std::vector<Line> lines{{"-40", "-90", "2.5"}, {"-30", "-45", "8.75"},
                                  {"-20", "0", "15"},    {"-10", "45", "21.25"},
                                  {"0", "90", "27.5"},   {"10", "135", "33.75"}};
    // The same text may be a limit of another quantity ("-10") or a value of another
    // line ("0"): each is looked for in its colour.
    const auto textIn = [](const RecordingCanvas& c, const char* content,
                           Colour colour) -> std::optional<test::RecordedText> {
        for (const test::RecordedText& t : c.texts) {
            if (t.text == content && t.colour == colour) return t;
        }
        return std::nullopt;
    };
    for (const Line& line : lines) {
        SCOPED_TRACE(line.gain);
        const auto gain = textIn(canvas, line.gain, White);
        const auto phase = textIn(canvas, line.phase, Green);
        const auto delay = textIn(canvas, line.delay, Red);
        ASSERT_TRUE(gain && phase && delay);
        EXPECT_EQ(phase->top, gain->top + 12);
        EXPECT_EQ(delay->top, phase->top + 12);
    }
    ASSERT_TRUE(canvas.text("-50"));
    EXPECT_FALSE(canvas.text("-135"));
    EXPECT_FALSE(canvas.text("-3.75"));
    // Without the phase the delay moves up beside the gain.
    boxes.phaseBox = false;
    const RecordingCanvas withoutPhase = paint();
    EXPECT_FALSE(withoutPhase.text("-90"));
    ASSERT_TRUE(withoutPhase.text("2.5"));
    EXPECT_EQ(withoutPhase.text("2.5")->top, withoutPhase.text("-40")->top + 12);
}

TEST_F(PlotPaintTest, LinearAxisFromZeroUnchecksTheLogarithmicBox) {
    setEdits("0", "5");
    plot();
    const RecordingCanvas canvas = paint();
    EXPECT_EQ(boxes.unchecks, 1);
    EXPECT_FALSE(boxes.logBox);
    const std::vector<RecordedLine> grey = canvas.linesIn(Grey, PenStyle::Dotted);
    EXPECT_EQ(xPositions({grey.begin(), grey.begin() + 4}), std::vector<int>({190, 310, 430, 550}));
    EXPECT_EQ(grey.size(), 4u + 7u);
    EXPECT_TRUE(canvas.linesIn(Yellow, PenStyle::Dotted).empty());
    EXPECT_EQ(canvas.text("0")->left, 70);
}

// A large linear range gets its 1-2-5 grid too: 0 .. 1e7 in steps of 2e6, each line with
// its value centred below the frame.
TEST_F(PlotPaintTest, LargeLinearRangeHasItsGridAndValues) {
    setEdits("0", "1e7");
    plot();
    const RecordingCanvas canvas = paint();
    const std::vector<RecordedLine> grey = canvas.linesIn(Grey, PenStyle::Dotted);
    ASSERT_GE(grey.size(), 4u);
    EXPECT_EQ(xPositions({grey.begin(), grey.begin() + 4}), std::vector<int>({190, 310, 430, 550}));
    int x = 190;
    for (const char* value : {"2 M", "4 M", "6 M", "8 M"}) {
        SCOPED_TRACE(value);
        ASSERT_TRUE(canvas.text(value));
        EXPECT_EQ(canvas.text(value)->left, x - 9);
        EXPECT_EQ(canvas.text(value)->top, 425);
        x += 120;
    }
    EXPECT_TRUE(canvas.text("10 Mrad/s"));
}

TEST_F(PlotPaintTest, LinearAxisWhenTheBoxIsUnchecked) {
    setEdits("0.1", "5");
    boxes.logBox = false;
    plot();
    const RecordingCanvas canvas = paint();
    EXPECT_EQ(boxes.unchecks, 0);
    // Span 4.9: step 1, lines at 1 .. 4 with x = 600 / 4.9 · (v - 0.1) + 70.
    const std::vector<RecordedLine> grey = canvas.linesIn(Grey, PenStyle::Dotted);
    EXPECT_EQ(xPositions({grey.begin(), grey.begin() + 4}), std::vector<int>({180, 303, 425, 548}));
}

TEST_F(PlotPaintTest, HertzLabelAndCheckBoxesHideQuantities) {
    boxes.hzBox = true;
    boxes.phaseBox = false;
    boxes.delayBox = false;
    boxes.gridBox = false;
    addCurve("a", one, lowPass);
    plot();
    const RecordingCanvas canvas = paint();
    ASSERT_TRUE(canvas.text("5 Hz"));
    EXPECT_EQ(canvas.text("5 Hz")->left, 670 - 24);
    for (const test::RecordedText& text : canvas.texts)
        EXPECT_EQ(text.colour, White);
    EXPECT_EQ(canvas.texts.size(), 4u);
    for (const RecordedLine& line : canvas.lines)
        EXPECT_EQ(line.colour, White);
    EXPECT_EQ(canvas.lines.size(), 300u);
}

TEST_F(PlotPaintTest, CurvesAreDrawnPointByPointLastCurveFirst) {
    // Curve 1 flat at 0 dB, curve 2 flat at -40 dB; both 0° and no delay.
    addCurve("a", one, one);
    addCurve("b", polynomial({1.0}, 0.01), one);
    setEdits("0.1", "5", "2");
    plot();
    const RecordingCanvas canvas = paint();
    const std::vector<RecordedLine> solid = [&] {
        std::vector<RecordedLine> lines;
        for (const RecordedLine& line : canvas.lines) {
            if (line.style == PenStyle::Solid) lines.push_back(line);
        }
        return lines;
    }();
    ASSERT_EQ(solid.size(), 12u);  // 2 segments × 2 curves × 3 quantities
    const int gain0 = static_cast<int>(std::floor(113.5 + 0.5));  // 0 dB
    const double minus40 = plotter.responseTable().gain[2][0];
    EXPECT_NEAR(minus40, -40.0, 1e-13);
    const int gain40 = static_cast<int>(std::floor(-5.175 * minus40 + 113.5 + 0.5));
    const int phase0 = 217;  // 0° in -180 .. 180 over 10 .. 424
    const int delay0 = 341;  // 0 s in -10 .. 40: y = -8.28·0 + 341.2
    const std::vector<std::pair<Colour, int>> expected{{White, gain40}, {Green, phase0},
                                                       {Red, delay0},   {White, gain0},
                                                       {Green, phase0}, {Red, delay0}};
    for (int segment = 0; segment < 2; ++segment) {
        for (std::size_t q = 0; q < expected.size(); ++q) {
            const RecordedLine& line = solid[segment * 6 + q];
            SCOPED_TRACE(segment * 6 + q);
            EXPECT_EQ(line.colour, expected[q].first);
            EXPECT_EQ(line.ya, expected[q].second);
            EXPECT_EQ(line.yb, expected[q].second);
            EXPECT_EQ(line.xa, 70 + segment * 300);
            EXPECT_EQ(line.xb, 370 + segment * 300);
        }
    }
}

TEST_F(PlotPaintTest, PointsAreTwoPixelsApartAndValuesClipToTheFrame) {
    addCurve("alto", polynomial({1.0}, 1e3), one);    // 60 dB: above the gain range
    addCurve("baixo", polynomial({1.0}, 1e-4), one);  // -80 dB: below it
    plot();
    const RecordingCanvas canvas = paint();
    const std::vector<RecordedLine> gain = canvas.linesIn(White, PenStyle::Solid);
    ASSERT_EQ(gain.size(), 600u);
    for (int i = 0; i < 300; ++i) {
        SCOPED_TRACE(i);
        const RecordedLine& low = gain[2 * i];
        const RecordedLine& high = gain[2 * i + 1];
        EXPECT_EQ(low.xa, 70 + 2 * i);
        EXPECT_EQ(low.xb, 72 + 2 * i);
        EXPECT_EQ(low.ya, 424);
        EXPECT_EQ(low.yb, 424);
        EXPECT_EQ(high.ya, 10);
        EXPECT_EQ(high.yb, 10);
    }
}

TEST_F(PlotPaintTest, GridIsEvaluatedAlongTheAccumulatedGrid) {
    addCurve("a", one, lowPass);
    plot();
    paint();
    const ResponseTable& table = plotter.responseTable();
    const double r = std::pow(50.0, 1.0 / 300);
    double w = 0.1;
    for (int i = 0; i <= 300; ++i) {
        ASSERT_EQ(table.frequency[i], w) << i;
        EXPECT_EQ(table.delay[1][i], evaluateCurve(plotter.curves()[1], w, false).delay);
        w *= r;
    }
    EXPECT_NEAR(table.frequency[300], 5.0, 1e-12);
    EXPECT_NEAR(table.frequency[1] / table.frequency[0], r, 1e-15);
}

TEST_F(PlotPaintTest, OneSegmentGivesTheTwoEndPoints) {
    addCurve("a", one, lowPass);
    setEdits("1", "3", "1");
    boxes.logBox = false;
    plot();
    const RecordingCanvas canvas = paint();
    EXPECT_EQ(plotter.responseTable().frequency[0], 1.0);
    EXPECT_EQ(plotter.responseTable().frequency[1], 3.0);
    EXPECT_NEAR(plotter.responseTable().delay[1][1], 0.1, 1e-16);
    const std::vector<RecordedLine> gain = canvas.linesIn(White, PenStyle::Solid);
    ASSERT_EQ(gain.size(), 1u);
    EXPECT_EQ(gain[0].xa, 70);
    EXPECT_EQ(gain[0].xb, 670);
}

TEST_F(PlotPaintTest, HertzEvaluatesAtTwoPiTimesTheGridValue) {
    addCurve("a", one, lowPass);
    setEdits("1", "2", "1");
    boxes.hzBox = true;
    plot();
    paint();
    const double omega = 6.283185307179586;
    EXPECT_NEAR(plotter.responseTable().delay[1][0], 1.0 / (1.0 + omega * omega), 1e-16);
}

TEST_F(PlotPaintTest, StoredValuesAreRedrawnWithoutEvaluation) {
    addCurve("a", one, lowPass);
    plot();
    paint();
    ASSERT_FALSE(plotter.curvesStale());
    // Another size redraws the stored values.
    const double before = plotter.responseTable().delay[1][0];
    paint(400, 300);
    EXPECT_EQ(plotter.responseTable().delay[1][0], before);
    // Hz changes the grid the table was filled on: the curves are evaluated again, at
    // ω = 2π·0.1, where the delay of 1 / (1 + s) is 1 / (1 + ω²).
    boxes.hzBox = true;
    const RecordingCanvas canvas = paint(400, 300);
    const double omega = 0.2 * 3.141592653589793;
    EXPECT_NEAR(plotter.responseTable().delay[1][0], 1.0 / (1.0 + omega * omega), 1e-15);
    EXPECT_FALSE(plotter.curvesStale());
    // And back: the table follows the axis again.
    boxes.hzBox = false;
    paint();
    EXPECT_EQ(plotter.responseTable().delay[1][0], before);
    // The same for the scale: unticked, the grid is linear from 0.1 to 5.
    boxes.logBox = false;
    paint();
    EXPECT_NEAR(plotter.responseTable().frequency[1], 0.1 + 4.9 / 300, 1e-15);
    EXPECT_TRUE(canvas.text("5 Hz"));
    EXPECT_EQ(canvas.outlines[0].right, 390);
    EXPECT_EQ(canvas.outlines[0].bottom, 283);
}

TEST_F(PlotPaintTest, EqualLimitsEndThePaintAfterTheBackground) {
    addCurve("a", one, lowPass);
    for (const PlotEditBox box :
         {PlotEditBox::Egmax, PlotEditBox::Efmax, PlotEditBox::Eamax, PlotEditBox::Ewmax}) {
        SCOPED_TRACE(static_cast<int>(box));
        host = {};
        addCurve("a", one, lowPass);
        const PlotEditBox partner = box == PlotEditBox::Egmax   ? PlotEditBox::Egmin
                                    : box == PlotEditBox::Efmax ? PlotEditBox::Efmin
                                    : box == PlotEditBox::Eamax ? PlotEditBox::Eamin
                                                                : PlotEditBox::Ewmin;
        host.edits[box] = host.edits[partner];
        plot();
        RecordingCanvas canvas;
        EXPECT_THROW(plotter.paint(canvas, 680, 442, boxes), FloatingPointFault);
        EXPECT_EQ(canvas.order, "F");
        EXPECT_TRUE(plotter.curvesStale());
    }
}

TEST_F(PlotPaintTest, ReversedLimitsFaultOnlyWithTheGrid) {
    addCurve("a", one, lowPass);
    host.edits[PlotEditBox::Egmin] = "20";
    host.edits[PlotEditBox::Egmax] = "-60";
    plot();
    RecordingCanvas canvas;
    EXPECT_THROW(plotter.paint(canvas, 680, 442, boxes), FloatingPointFault);
    EXPECT_EQ(canvas.outlines.size(), 0u);
    EXPECT_EQ(canvas.linesIn(Yellow, PenStyle::Dotted).size(), 1u);  // the frequency grid

    boxes.gridBox = false;
    const RecordingCanvas drawn = paint();
    EXPECT_EQ(drawn.linesIn(White, PenStyle::Solid).size(), 300u);
    EXPECT_FALSE(plotter.curvesStale());
    // gmin still lies on the bottom edge: -60 dB is above the reversed range, clipped there.
    EXPECT_EQ(drawn.text("20")->top, 412);
}

TEST_F(PlotPaintTest, PoleOnTheAxisBreaksTheCurveThereAndSaysWhere) {
    // D = 1 + s² is zero at ω = 1, the third point of 0 .. 2 in 4 segments; the second
    // curve has no pole there and is whole.
    addCurve("a", one, polynomial({1.0, 0.0, 1.0}));
    addCurve("b", one, lowPass);
    setEdits("0", "2", "4");
    plot();
    lines.clear();
    const RecordingCanvas canvas = paint();
    EXPECT_EQ(lines, std::vector<std::string>({"Curva 1: não pode ser calculada em ω = 1 rad/s "
                                               "(Divisão por zero em ponto flutuante); a curva "
                                               "fica interrompida aí."}));
    EXPECT_FALSE(plotter.curvesStale());
    EXPECT_FALSE(plotter.curveOmitted());
    // Four steps each for curve 2's three quantities, two each for curve 1's around the gap.
    EXPECT_EQ(canvas.linesIn(White, PenStyle::Solid).size(), 4u + 2u);
    EXPECT_TRUE(std::isnan(plotter.responseTable().gain[1][2]));
    EXPECT_NEAR(plotter.responseTable().gain[1][1], -20 * std::log10(0.75), 1e-12);
    // The table is whole now: a repaint evaluates nothing and logs nothing.
    lines.clear();
    paint();
    EXPECT_TRUE(lines.empty());
}

TEST_F(PlotPaintTest, ZeroNumeratorIsNamedAndLeftOut) {
    host.memo = writeFile("z.n1", polynomial({0.0})) + "\n" + writeFile("z.d", lowPass);
    plot();
    lines.clear();
    const RecordingCanvas canvas = paint();
    EXPECT_EQ(lines, std::vector<std::string>({"Curva 1: o numerador é zero: não há ganho, fase "
                                               "nem atraso a desenhar; curva omitida."}));
    EXPECT_TRUE(plotter.curveOmitted());
    EXPECT_TRUE(canvas.linesIn(White, PenStyle::Solid).empty());
}

TEST_F(PlotPaintTest, DenominatorsThatNoDoubleHoldsAreNamed) {
    // The files are written by hand: the result file's twelve decimals would round a
    // denormal to zero.
    struct Case {
        const char* name;
        const char* denominator;
        std::string line;
    };
    const std::vector<Case> cases{
        {"all zero", "1\n0\n0\n1\n",
         "Curva 1: não pode ser calculada em nenhum ponto de ω = 0.1 a 5 rad/s (Divisão por "
         "zero em ponto flutuante); curva omitida."},
        {"denormal", "1\n1e-310\n1e-310\n1\n",
         "Curva 1: não pode ser calculada em nenhum ponto de ω = 0.1 a 5 rad/s (Estouro em "
         "ponto flutuante); curva omitida."},
    };
    for (const Case& c : cases) {
        host = {};
        host.memo = writeFile("a.n1", one) + "\n" + dir.write("a.d", c.denominator);
        plot();
        lines.clear();
        EXPECT_NO_THROW(paint()) << c.name;
        EXPECT_EQ(lines, std::vector<std::string>({c.line})) << c.name;
        EXPECT_TRUE(plotter.curveOmitted()) << c.name;
    }
}

TEST_F(PlotPaintTest, NaNLimitsAreRefusedAndNothingIsDrawn) {
    addCurve("a", one, lowPass);
    setEdits("nan", "5");
    EXPECT_EQ(plot(), (std::vector<std::string>{"Valor inválido em \"Frequência mínima\": nan"}));
    const RecordingCanvas canvas = paint();
    EXPECT_TRUE(boxes.logBox);
    EXPECT_EQ(canvas.order, "F");
}

TEST_F(PlotPaintTest, GridStepBelowTheResolutionOfDoublesEnds) {
    // A span of two ulps: the decimal step is smaller than half an ulp of the values.
    const std::string wmax = "1.0000000000000004";
    host.edits[PlotEditBox::Ewmin] = "1";
    host.edits[PlotEditBox::Ewmax] = wmax;
    plot();
    EXPECT_NO_THROW(paint());
    boxes.logBox = false;
    host.edits[PlotEditBox::Ewmin] = "1e20";
    host.edits[PlotEditBox::Ewmax] = "1.0000000000000002e20";
    plot();
    EXPECT_NO_THROW(paint());
}

TEST_F(PlotPaintTest, HugeAndTinyLimitsGiveShortLabels) {
    addCurve("a", one, lowPass);
    host.edits[PlotEditBox::Egmin] = "-1e300";
    host.edits[PlotEditBox::Egmax] = "1e300";
    host.edits[PlotEditBox::Eamax] = "1e-300";
    host.edits[PlotEditBox::Eamin] = "-1e-300";
    boxes.gridBox = false;
    plot();
    const RecordingCanvas canvas = paint();
    EXPECT_EQ(canvas.texts[4].text, "1e+300 dB");
    EXPECT_EQ(canvas.texts[5].text, "-1e+300");
    EXPECT_EQ(canvas.texts[0].text, "1e-300 s");
    EXPECT_EQ(canvas.texts[1].text, "-1e-300");
    EXPECT_EQ(canvas.linesIn(White, PenStyle::Solid).size(), 300u);
}

TEST_F(PlotPaintTest, SurfacesSmallerThanTheMarginsDoNotCrash) {
    addCurve("a", one, lowPass);
    plot();
    boxes.gridBox = true;
    for (const auto& [width, height] : std::vector<std::pair<int, int>>{
             {0, 0}, {50, 20}, {80, 28}, {79, 27}, {-5, -5}, {2000000000, 5}, {5, 2000000000}}) {
        SCOPED_TRACE(std::to_string(width) + "×" + std::to_string(height));
        RecordingCanvas canvas;
        try {
            plotter.paint(canvas, width, height, boxes);
        } catch (const FloatingPointFault&) {
            // A flat frame may divide zero by zero; the paint then ends cleanly.
        }
        for (const RecordedLine& line : canvas.lines) {
            EXPECT_LE(std::abs(line.xa), PixelLimit);
            EXPECT_LE(std::abs(line.ya), PixelLimit);
        }
    }
}

TEST_F(PlotPaintTest, KeysMoveAndZoomTheWindows) {
    plot();
    paint();
    const PlotParameters& p = plotter.plotParameters();
    EXPECT_TRUE(plotter.keyDown(KeyA, boxes));
    EXPECT_NEAR(p.wmax, 0.70711, 5e-6);
    EXPECT_EQ(p.wmin, 0.1);
    EXPECT_TRUE(plotter.curvesStale());
    EXPECT_TRUE(plotter.keyDown(KeyR, boxes));
    EXPECT_NEAR(p.wmax, 5.0, 1e-12);

    host = {};
    plot();
    EXPECT_TRUE(plotter.keyDown(KeyLeft, boxes));
    EXPECT_NEAR(p.wmin, 0.037606, 5e-7);
    EXPECT_NEAR(p.wmax, 1.8803, 5e-5);
    EXPECT_TRUE(plotter.keyDown(KeyRight, boxes));
    EXPECT_NEAR(p.wmin, 0.1, 1e-15);
    EXPECT_NEAR(p.wmax, 5.0, 1e-14);

    paint();
    ASSERT_FALSE(plotter.curvesStale());
    EXPECT_TRUE(plotter.keyDown(KeyUp, boxes));
    EXPECT_EQ(p.gmin, -20.0);
    EXPECT_EQ(p.gmax, 60.0);
    EXPECT_TRUE(plotter.keyDown(KeyKeypadPlus, boxes));
    EXPECT_EQ(p.gmin, -20.0);
    EXPECT_EQ(p.gmax, 20.0);
    EXPECT_TRUE(plotter.keyDown(KeyKeypadMinus, boxes));
    EXPECT_EQ(p.gmax, 60.0);
    EXPECT_TRUE(plotter.keyDown(KeyDown, boxes));
    EXPECT_EQ(p.gmin, -60.0);
    EXPECT_EQ(p.gmax, 20.0);
    EXPECT_FALSE(plotter.curvesStale());
    // Phase and delay ranges never move.
    EXPECT_EQ(p.fmin, -180.0);
    EXPECT_EQ(p.amax, 40.0);
}

TEST_F(PlotPaintTest, KeysOnTheLinearAxis) {
    setEdits("1", "5");
    boxes.logBox = false;
    plot();
    const PlotParameters& p = plotter.plotParameters();
    plotter.keyDown(KeyLeft, boxes);
    EXPECT_EQ(p.wmin, 0.0);
    EXPECT_EQ(p.wmax, 4.0);
    plotter.keyDown(KeyRight, boxes);
    plotter.keyDown(KeyRight, boxes);
    EXPECT_EQ(p.wmin, 2.0);
    EXPECT_EQ(p.wmax, 6.0);
    plotter.keyDown(KeyA, boxes);
    EXPECT_EQ(p.wmax, 4.0);
    plotter.keyDown(KeyR, boxes);
    plotter.keyDown(KeyR, boxes);
    EXPECT_EQ(p.wmax, 10.0);
    EXPECT_EQ(p.wmin, 2.0);
}

TEST_F(PlotPaintTest, OtherKeysAreIgnored) {
    plot();
    paint();
    const PlotParameters before = plotter.plotParameters();
    // Lower-case letters, the main keyboard's plus and minus, Enter, Escape.
    for (const int key : {97, 114, 187, 189, 13, 27, 0, -1, 36}) {
        EXPECT_FALSE(plotter.keyDown(key, boxes)) << key;
    }
    EXPECT_EQ(plotter.plotParameters().wmax, before.wmax);
    EXPECT_EQ(plotter.plotParameters().gmax, before.gmax);
    EXPECT_FALSE(plotter.curvesStale());
}

TEST_F(PlotPaintTest, FaultingKeyLeavesTheParametersAsTheyWere) {
    setEdits("0", "5");
    plot();
    paint();
    // The user checks the logarithmic box again over a frequency range that starts at 0.
    boxes.logBox = true;
    for (const int key : {KeyLeft, KeyRight, KeyA, KeyR}) {
        EXPECT_THROW(plotter.keyDown(key, boxes), FloatingPointFault) << key;
        EXPECT_EQ(plotter.plotParameters().wmin, 0.0);
        EXPECT_EQ(plotter.plotParameters().wmax, 5.0);
        EXPECT_FALSE(plotter.curvesStale());
    }
    host.edits[PlotEditBox::Egmin] = "-1.7e308";
    host.edits[PlotEditBox::Egmax] = "1.7e308";
    plot();
    EXPECT_THROW(plotter.keyDown(KeyUp, boxes), FloatingPointFault);
    EXPECT_EQ(plotter.plotParameters().gmax, 1.7e308);
}

}  // namespace
}  // namespace corvane

namespace corvane {
namespace {

// 1 / (1 + s)³: its phase falls from -17° at 0.1 rad/s to -267° at 100 rad/s, wrapping
// from -180° to +180° at ω = √3, where tan(φ/3) = -√3.
struct PhaseWrapTest : PlotPaintTest {
    void SetUp() override {
        addCurve("c", one, polynomial({1.0, 3.0, 3.0, 1.0}));
        setEdits("0.1", "100");
        boxes.delayBox = false;
    }
};

TEST_F(PhaseWrapTest, NoSegmentIsDrawnAcrossTheWrap) {
    plot();
    const RecordingCanvas canvas = paint();
    const std::vector<RecordedLine> phase = canvas.linesIn(Green, PenStyle::Solid);
    ASSERT_EQ(phase.size(), 299u);
    // The gap: the one pair of neighbouring points whose phases lie on either side of ±180°.
    const ResponseTable& table = plotter.responseTable();
    int gap = -1;
    for (int i = 1; i <= 300; ++i) {
        if (std::abs(table.phase[1][i] - table.phase[1][i - 1]) > 180) {
            EXPECT_EQ(gap, -1);
            gap = i;
        }
    }
    const double wrapAt = std::sqrt(3.0);
    EXPECT_LT(table.frequency[gap - 1], wrapAt);
    EXPECT_GE(table.frequency[gap], wrapAt);
    const int gapLeft = nearest((gap - 1) * 600.0 / 300 + 70);
    for (const RecordedLine& line : phase) {
        EXPECT_NE(line.xa, gapLeft);
        EXPECT_LT(std::abs(line.ya - line.yb), 10);
    }
}

TEST_F(PhaseWrapTest, ContinuousPhaseIsUnwrappedAlongTheCurve) {
    host.edits[PlotEditBox::Efmin] = "-360";
    host.edits[PlotEditBox::Efmax] = "0";
    boxes.continuousBox = true;
    plot();
    const RecordingCanvas canvas = paint();
    const std::vector<RecordedLine> phase = canvas.linesIn(Green, PenStyle::Solid);
    ASSERT_EQ(phase.size(), 300u);
    // y = 10 + 414·φ / -360 on a frame from row 10 (0°) to row 424 (-360°).
    auto row = [](double degrees) { return nearest(10 + 414 * degrees / -360); };
    const double first = -3 * std::atan(0.1) * 180 / 3.141592653589793;
    const double last = -3 * std::atan(100.0) * 180 / 3.141592653589793;
    EXPECT_EQ(phase.front().ya, row(first));
    EXPECT_EQ(phase.back().yb, row(last));
    for (std::size_t i = 0; i < phase.size(); ++i) {
        EXPECT_LT(std::abs(phase[i].ya - phase[i].yb), 10);
        if (i > 0) {
            EXPECT_EQ(phase[i].ya, phase[i - 1].yb);
            EXPECT_GE(phase[i].yb, phase[i].ya);  // the phase only falls
        }
    }
}

}  // namespace
}  // namespace corvane

namespace corvane {
namespace {

// Range labels carry as many significant digits as it takes to tell the limits apart, in
// engineering notation, the upper one with the unit.
TEST_F(PlotPaintTest, RangeLabelsTellTheLimitsApart) {
    struct Case {
        const char *min, *max, *low, *high;
    };
    const std::vector<Case> cases{
        {"0", "1e-6", "0", "1 µs"},
        {"1.0001", "1.0002", "1.0001", "1.0002 s"},
        {"-1e9", "2.5e9", "-1 G", "2.5 Gs"},
        {"0,125", "0,375", "125 m", "375 ms"},
        {"-12345.678", "12345.678", "-12.346 k", "12.346 ks"},
        {"1e20", "1.0000000000000002e20", "1e+20", "1.0000000000000002e+20 s"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.min);
        host.edits[PlotEditBox::Eamin] = c.min;
        host.edits[PlotEditBox::Eamax] = c.max;
        plot();
        const RecordingCanvas canvas = paint();
        const std::optional<test::RecordedText> low = canvas.text(c.low);
        const std::optional<test::RecordedText> high = canvas.text(c.high);
        ASSERT_TRUE(low && high);
        EXPECT_EQ(low->colour, Red);
        EXPECT_EQ(low->top, 388);
        EXPECT_EQ(high->top, 34);
        EXPECT_EQ(high->left, 70 - 2 - 6 * static_cast<int>(std::string(c.high).size()));
    }
}

}  // namespace
}  // namespace corvane

namespace corvane {
namespace {

TEST_F(PlotPaintTest, TheLegendNamesEachCurveAndNumbersItsGainCurve) {
    EXPECT_EQ(legendLine(3, "v(saida)"), "3: v(saida)");
    EXPECT_EQ(legendLine(12, "rc.n1"), "12: rc.n1");

    // 1 / (1 + s) and 10 / (1 + s): at 5 rad/s -14.15 dB and +5.85 dB.
    addCurve("baixa", one, lowPass);
    host.memo += "\n" + writeFile("alta.n1", polynomial({1.0}, 10.0)) + "\n" +
                 writeFile("alta.d", lowPass);
    plot();
    boxes.gridBox = false;
    EXPECT_EQ(paint().texts.size(), 8u);  // no legend while unchecked
    boxes.legendBox = true;
    const RecordingCanvas canvas = paint();
    ASSERT_EQ(canvas.texts.size(), 12u);
    const std::string first = "1: baixa.n1";
    const std::string second = "2: alta.n1";
    ASSERT_TRUE(canvas.text(first) && canvas.text(second));
    EXPECT_EQ(canvas.text(first)->left, 670 - 6 * static_cast<int>(first.size()) - 4);
    EXPECT_EQ(canvas.text(first)->top, 14);
    EXPECT_EQ(canvas.text(second)->left, 670 - 6 * static_cast<int>(second.size()) - 4);
    EXPECT_EQ(canvas.text(second)->top, 26);
    EXPECT_EQ(canvas.text(first)->colour, White);
    // The numbers stand just above the last point of each gain curve: y = 10 + 414·(20 - g)/80.
    auto row = [](double gain) { return nearest(10 + 414 * (20 - gain) / 80); };
    const double low = -10 * std::log10(26.0);
    const std::vector<test::RecordedText> numbers{canvas.texts[9], canvas.texts[11]};
    EXPECT_EQ(numbers[0].text, "1");
    EXPECT_EQ(numbers[0].left, 670 - 6 - 1);
    EXPECT_EQ(numbers[0].top, row(low) - 12);
    EXPECT_EQ(numbers[1].text, "2");
    EXPECT_EQ(numbers[1].top, row(low + 20) - 12);
    // Drawn after the curves.
    EXPECT_EQ(canvas.order.substr(canvas.order.size() - 4), "TTTT");
}

}  // namespace
}  // namespace corvane

namespace corvane {
namespace {

// The wheel zooms about the pointer and a drag pans, on either axis, marking the table
// stale like the arrow keys.
TEST_F(PlotPaintTest, WheelZoomKeepsThePointersFrequency) {
    addCurve("a", one, lowPass);
    setEdits("1", "10000");
    plot();
    paint();
    // The pointer at a quarter of the width of 1 .. 1e4 on the logarithmic axis is 10.
    plotter.zoomFrequencyAt(0.25, 1, boxes);
    EXPECT_TRUE(plotter.curvesStale());
    const PlotParameters& p = plotter.plotParameters();
    EXPECT_NEAR(std::log10(p.wmin), 0.5, 1e-12);
    EXPECT_NEAR(std::log10(p.wmax), 2.5, 1e-12);
    // Two notches down: four times the decades, 10 still a quarter of the way.
    plotter.zoomFrequencyAt(0.25, -2, boxes);
    EXPECT_NEAR(std::log10(p.wmin), -1.0, 1e-12);
    EXPECT_NEAR(std::log10(p.wmax), 7.0, 1e-12);

    boxes.logBox = false;
    setEdits("0", "100");
    plot();
    plotter.zoomFrequencyAt(0.5, 1, boxes);
    EXPECT_EQ(p.wmin, 25.0);
    EXPECT_EQ(p.wmax, 75.0);
}

TEST_F(PlotPaintTest, DragPansAsTheArrowKeysDo) {
    addCurve("a", one, lowPass);
    plot();
    paint();
    // Dragged a quarter of the width to the left: the view moves right as the right arrow
    // moves it, by a quarter of its decades.
    plotter.panFrequency(-0.25, boxes);
    EXPECT_TRUE(plotter.curvesStale());
    PlotParameters p = plotter.plotParameters();
    plot();
    plotter.keyDown(KeyRight, boxes);
    EXPECT_NEAR(p.wmin, plotter.plotParameters().wmin, 1e-12);
    EXPECT_NEAR(p.wmax, plotter.plotParameters().wmax, 1e-12);

    boxes.logBox = false;
    setEdits("0", "100");
    plot();
    plotter.panFrequency(0.1, boxes);
    p = plotter.plotParameters();
    EXPECT_EQ(p.wmin, -10.0);
    EXPECT_EQ(p.wmax, 90.0);
}

TEST_F(PlotPaintTest, AFaultingZoomChangesNothing) {
    addCurve("a", one, lowPass);
    setEdits("1e-10", "1e200");
    plot();
    const PlotParameters before = plotter.plotParameters();
    EXPECT_THROW(plotter.zoomFrequencyAt(0.0, -2, boxes), FloatingPointFault);
    EXPECT_EQ(plotter.plotParameters().wmax, before.wmax);
    EXPECT_EQ(plotter.plotParameters().wmin, before.wmin);
}

}  // namespace
}  // namespace corvane

namespace corvane {
namespace {

// The columns covered by horizontal lines.
std::vector<int> coveredColumns(const std::vector<RecordedLine>& lines) {
    std::vector<int> columns;
    for (const RecordedLine& line : lines) {
        for (int x = std::min(line.xa, line.xb); x <= std::max(line.xa, line.xb); ++x)
            columns.push_back(x);
    }
    std::sort(columns.begin(), columns.end());
    columns.erase(std::unique(columns.begin(), columns.end()), columns.end());
    return columns;
}

// H = 1 is flat: 0 dB, 0° and no delay, three horizontal lines across the frame.
TEST_F(PlotPaintTest, ColoursPerCurveGiveEachCurveItsColourAndEachQuantityItsLine) {
    addCurve("um", one, one);
    host.memo += "\n" + writeFile("dois.n1", polynomial({1.0}, 0.5)) + "\n" +
                 writeFile("dois.d", one);
    boxes.gridBox = false;
    boxes.legendBox = true;
    plot();
    const RecordingCanvas specified = paint();
    boxes.coloursBox = true;
    const RecordingCanvas coloured = paint();

    // Unchecked: white, green and red solid lines, 300 of each per curve.
    EXPECT_EQ(specified.linesIn(White, PenStyle::Solid).size(), 600u);
    EXPECT_EQ(specified.linesIn(Green, PenStyle::Solid).size(), 600u);
    EXPECT_EQ(specified.linesIn(Red, PenStyle::Solid).size(), 600u);

    const Colour first{255, 255, 0};
    const Colour second{0, 255, 255};
    EXPECT_TRUE(coloured.linesIn(White, PenStyle::Solid).empty());
    EXPECT_TRUE(coloured.linesIn(Green, PenStyle::Solid).empty());
    EXPECT_TRUE(coloured.linesIn(Red, PenStyle::Solid).empty());
    // Gain at 0 dB (row 114) and -6 dB (row 145): solid, every column. Phase (row 217)
    // and delay (row 341) both 0: the phase's dashes cover 7 of every 10 columns (6 pixels
    // long, both ends drawn), the delay's dots 2 of every 4.
    struct Row {
        Colour colour;
        int y;
        double share;
    };
    for (const Row row : {Row{first, 114, 1.0}, Row{second, 145, 1.0}, Row{first, 217, 0.7},
                          Row{second, 217, 0.7}, Row{first, 341, 0.5}, Row{second, 341, 0.5}}) {
        SCOPED_TRACE(row.y);
        std::vector<RecordedLine> lines;
        for (const RecordedLine& line : coloured.linesIn(row.colour, PenStyle::Solid)) {
            if (line.ya == row.y && line.yb == row.y) lines.push_back(line);
        }
        EXPECT_NEAR(static_cast<double>(coveredColumns(lines).size()), 601 * row.share, 601 * 0.03);
    }
    // The legend in the curves' colours.
    EXPECT_EQ(coloured.text("1: um.n1")->colour, first);
    EXPECT_EQ(coloured.text("2: dois.n1")->colour, second);
    EXPECT_EQ(specified.text("2: dois.n1")->colour, White);
}

// A dashed line runs on across the short segments between grid points: 6 pixels drawn,
// 4 skipped, from the left edge.
TEST_F(PlotPaintTest, TheDashesRunOnAcrossSegments) {
    addCurve("um", one, one);
    boxes.gridBox = false;
    boxes.delayBox = false;
    boxes.coloursBox = true;
    plot();
    const RecordingCanvas canvas = paint();
    std::vector<RecordedLine> phase;
    // The phase map: 0° at row (10 + 424) / 2 = 217.
    for (const RecordedLine& line : canvas.linesIn(Colour{255, 255, 0}, PenStyle::Solid)) {
        if (line.ya == 217) phase.push_back(line);
    }
    const std::vector<int> columns = coveredColumns(phase);
    ASSERT_FALSE(columns.empty());
    for (const int x : columns)
        EXPECT_LE((x - 70) % 10, 6) << x;
    EXPECT_NEAR(static_cast<double>(columns.size()), 601 * 0.7, 601 * 0.05);
}

// Dashes along steep, short and long segments of a resonance, at many grid sizes: every
// paint ends, and every piece lies on the segment it belongs to (inside the frame).
TEST_F(PlotPaintTest, PatternedLinesEndOnEveryGrid) {
    addCurve("q", one, polynomial({1.0, 0.05, 1.0}));
    boxes.coloursBox = true;
    boxes.gridBox = false;
    for (int segments = 1; segments <= 600; segments += 37) {
        SCOPED_TRACE(segments);
        setEdits("0.1", "10", std::to_string(segments).c_str());
        plot();
        const RecordingCanvas canvas = paint();
        EXPECT_FALSE(canvas.lines.empty());
        for (const RecordedLine& line : canvas.lines) {
            EXPECT_GE(std::min(line.ya, line.yb), 10);
            EXPECT_LE(std::max(line.ya, line.yb), 424);
            EXPECT_GE(std::min(line.xa, line.xb), 70);
            EXPECT_LE(std::max(line.xa, line.xb), 670);
        }
    }
}

}  // namespace
}  // namespace corvane
