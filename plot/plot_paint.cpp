#include "plot_paint.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <optional>
#include <string_view>
#include <string>
#include <utility>
#include <vector>

#include "axis_ticks.h"
#include "engineering_text.h"
#include "floating_point.h"
#include "noise_curves.h"
#include "plot_quantities.h"
#include "time_plot.h"

namespace corvane {

namespace {

// Far more lines than any surface can show apart; a bound for grids whose step hardly
// moves the value.
constexpr int MaxGridLines = 10000;
// The rows of text beside and below the frame.
constexpr int LabelHeight = 12;

// Adds `step` to `v`; false when that no longer changes v (a step below half an ulp).
bool advance(double& v, double step) {
    const double next = v + step;
    if (!(next > v)) return false;
    v = next;
    return true;
}

// Where the polyline of one quantity of one curve stands after the previous point.
struct Trace {
    std::optional<int> y;
    /// The value drawn there (unwrapped, for a continuous phase), when it was finite.
    std::optional<double> value;
    /// The whole turns added to unwrap the values so far.
    double turns = 0.0;
    /// How far into one period of its pattern the line has come.
    double patternPhase = 0.0;
};

// The lengths in pixels of the drawn and the skipped part of one period of a pattern.
struct PatternLengths {
    double on;
    double off;
};

PatternLengths patternLengths(LinePattern pattern) {
    switch (pattern) {
        case LinePattern::Dashed:
            return {6, 4};
        case LinePattern::Dotted:
            return {1, 3};
        case LinePattern::Solid:
            break;
    }
    return {1, 0};
}

// A line in `pattern`, continued from where the previous line of the same curve left the
// pattern: the segments between grid points are a few pixels long, shorter than a dash.
void drawPatternedLine(PlotCanvas& canvas, int xa, int ya, int xb, int yb, LinePattern pattern,
                       double& phase) {
    if (pattern == LinePattern::Solid) {
        canvas.drawLine(xa, ya, xb, yb);
        return;
    }
    const auto [on, off] = patternLengths(pattern);
    const double period = on + off;
    const double dx = xb - xa;
    const double dy = yb - ya;
    const double length = std::hypot(dx, dy);
    auto pointAt = [&](double s, int a, double d) { return nearest(a + d * s / length); };
    for (double s = 0; s < length;) {
        const bool drawn = phase < on;
        const double part = drawn ? on - phase : period - phase;
        // A rest of a part lost in rounding would never move s: the next part begins.
        if (part < 1e-6) {
            phase = drawn ? on : 0.0;
            continue;
        }
        const double end = std::min(length, s + part);
        if (drawn) {
            canvas.drawLine(pointAt(s, xa, dx), pointAt(s, ya, dy), pointAt(end, xa, dx),
                            pointAt(end, ya, dy));
        }
        phase = std::fmod(phase + (end - s), period);
        s = end;
    }
}

// The colour and pattern of one quantity of curve `k`.
struct CurveLook {
    Colour colour;
    LinePattern pattern;
};

// Each curve in its own colour (the palette of the time plot, so a curve keeps its colour
// in both windows), or each quantity in its own.
CurveLook curveLook(const PlotQuantityRow& row, int k, bool coloursPerCurve) {
    if (coloursPerCurve) return {timeCurveColour(k), row.perCurvePattern};
    return {row.colour, LinePattern::Solid};
}

// Continues one polyline of one curve from the previous grid point to point `i`. A
// value without a position breaks the line instead of drawing to nowhere. A quantity that
// wraps (the phase) is either unwrapped along the curve, or its line is broken where it
// jumps by more than half a period: that jump is the wrap, not the response.
void drawCurveStep(PlotCanvas& canvas, const PlotQuantityRow& row, CurveLook look,
                   const PlotFrame& frame, const VerticalMap& map, double value, int i,
                   int previousX, int x, bool unwrap, Trace& trace) {
    canvas.setPen(look.colour, PenStyle::Solid);
    bool wrapped = false;
    if (row.wrapPeriod > 0 && trace.value && std::isfinite(value)) {
        if (unwrap) {
            value += trace.turns;
            const double turns = std::round((*trace.value - value) / row.wrapPeriod);
            value += turns * row.wrapPeriod;
            trace.turns += turns * row.wrapPeriod;
        } else {
            wrapped = std::abs(value - *trace.value) > row.wrapPeriod / 2;
        }
    }
    const std::optional<int> y = toPixelY(frame, map, value);
    if (i > 0 && trace.y && y && !wrapped) {
        drawPatternedLine(canvas, previousX, *trace.y, x, *y, look.pattern, trace.patternPhase);
    }
    trace.y = y;
    trace.value = std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

// The logarithmic axis: dotted lines at 2 .. 9 times each power of ten, the power itself
// in yellow. A range narrower than its lowest value takes its step from the span.
void drawLogarithmicGrid(PlotCanvas& canvas, const PlotFrame& frame, const PlotParameters& p) {
    double step = 0.0;
    double v = 0.0;
    checkFloatingPoint([&] {
        const double span = p.wmax - p.wmin > p.wmin ? p.wmin : p.wmax - p.wmin;
        step = std::pow(10.0, std::floor(std::log10(span) - 0.499999 + 0.5));
        v = std::floor(p.wmin / step + 1) * step;
    });
    for (int lines = 0; v < p.wmax && lines < MaxGridLines; ++lines) {
        const bool decade = std::floor(v / step + 0.5) == 10;
        if (decade) {
            step *= 10;
            canvas.setPen(Yellow, PenStyle::Dotted);
        }
        const int x = nearest(frame.ax * std::log(v) + frame.bx);
        canvas.drawLine(x, frame.y0, x, frame.y1);
        if (decade) canvas.setPen(Grey, PenStyle::Dotted);
        if (!advance(v, step)) break;
    }
}

// A grid needs a range that runs upwards: the logarithm of an empty or reversed span
// faults, and that ends the paint as the frame's own division by zero does.
void requireSpan(double min, double max) {
    volatile double logSpan = 0.0;
    checkFloatingPoint([&] { logSpan = std::log10(max - min); });
}

// The ticks strictly inside the range: the frame and the range labels mark its limits.
std::vector<double> innerTicks(std::vector<double> ticks, double min, double max) {
    std::erase_if(ticks, [&](double v) { return !(v > min && v < max); });
    return ticks;
}

// Intervals of one row or column of labels already taken, so a label never covers
// another.
class LabelSpace {
public:
    bool take(int from, int to) {
        constexpr int Gap = 4;
        for (const auto& [a, b] : taken_) {
            if (from < b + Gap && a < to + Gap) return false;
        }
        taken_.emplace_back(from, to);
        return true;
    }

private:
    std::vector<std::pair<int, int>> taken_;
};

// The values of a quantity, at the rows where the gain has the values `gains`: the
// quantities share the grid lines, each on its own scale.
std::vector<double> valuesAtGainLines(const PlotFrame& frame, const PlotParameters& p,
                                      const PlotQuantityRow& q, const std::vector<double>& gains) {
    const VerticalMap& gain = frame.map(PlotQuantity::Gain);
    const VerticalMap& map = frame.map(q.quantity);
    const double span = p.*q.maxBox.parameter - p.*q.minBox.parameter;
    std::vector<double> values;
    for (const double g : gains) {
        const double v = (gain.a * g + gain.b - map.b) / map.a;
        // What is left of a zero after the two maps is rounding, not a value.
        values.push_back(std::fabs(v) < std::fabs(span) * 1e-9 ? 0.0 : v);
    }
    return values;
}

// The values of the grid lines where they cover nothing: below the frame the frequencies
// centred on their lines, left of it at each horizontal line the gain centred on it and
// the values of the other quantities shown stacked below it, as their limits stack from
// the top edge.
void drawTickLabels(PlotCanvas& canvas, const PlotFrame& frame, const PlotParameters& p,
                    const PlotCheckBoxes& checkBoxes, LabelSpace& leftColumn,
                    LabelSpace& bottomRow) {
    const std::vector<double> frequencies = innerTicks(
        frame.logarithmic ? logarithmicTicks(p.wmin, p.wmax) : linearTicks(p.wmin, p.wmax),
        p.wmin, p.wmax);
    const std::vector<std::string> frequencyTexts =
        axisValueTexts(frequencies, p.wmax - p.wmin);
    for (std::size_t i = 0; i < frequencies.size(); ++i) {
        const double u = frame.logarithmic ? std::log(frequencies[i]) : frequencies[i];
        const std::string& text = frequencyTexts[i];
        const int width = canvas.textWidth(text);
        const int x = nearest(frame.ax * u + frame.bx) - width / 2;
        if (x < frame.x0 || x + width > frame.x1) continue;
        if (bottomRow.take(x, x + width)) canvas.drawText(x, frame.y1 + 1, text, White, Black);
    }
    const std::vector<double> gains = innerTicks(linearTicks(p.gmin, p.gmax), p.gmin, p.gmax);
    // Column by column: the texts of each quantity shown, gain first.
    std::vector<std::pair<std::vector<std::string>, Colour>> columns;
    for (const PlotQuantityRow& q : PlotQuantities) {
        if (!isShown(checkBoxes, q)) continue;
        const std::vector<double> values = valuesAtGainLines(frame, p, q, gains);
        columns.emplace_back(
            axisValueTexts(values, p.*q.maxBox.parameter - p.*q.minBox.parameter), q.colour);
    }
    for (std::size_t i = 0; i < gains.size(); ++i) {
        const std::optional<int> y = toPixelY(frame, frame.map(PlotQuantity::Gain), gains[i]);
        if (!y) continue;
        const int top = *y - LabelHeight / 2;
        // The stack of a line is drawn whole, or only its gain where the rest has no room.
        std::size_t rows = columns.size();
        if (!leftColumn.take(top, top + LabelHeight * static_cast<int>(rows))) {
            if (!leftColumn.take(top, top + LabelHeight)) continue;
            rows = 1;
        }
        for (std::size_t row = 0; row < rows; ++row) {
            const std::string& text = columns[row].first[i];
            canvas.drawText(frame.x0 - canvas.textWidth(text) - 2,
                            top + LabelHeight * static_cast<int>(row), text, columns[row].second,
                            Black);
        }
    }
}

// The texts of an axis's limits, the upper one with the unit, so no value gives way to
// it: "500" and "200 kHz", "-60" and "20 dB". Limits that still read the same take as
// many digits as it takes to tell them apart. A degree sign follows its number closely.
std::pair<std::string, std::string> limitTexts(double min, double max, std::string_view unit) {
    constexpr int MostDigits = 17;
    const double limits[] = {min, max};
    std::vector<std::string> numbers = axisValueTexts(limits, max - min);
    for (int digits = 7; numbers[0] == numbers[1] && digits <= MostDigits; ++digits)
        numbers = {engineeringText(min, digits), engineeringText(max, digits)};
    std::string high = numbers[1];
    // A prefix stands after a blank already: "200 k" takes "Hz" right after it.
    const bool prefixed = high.find(' ') != std::string::npos;
    if (!prefixed && unit != "°") high += ' ';
    high += unit;
    return {numbers[0], high};
}

}  // namespace

void drawGrid(PlotCanvas& canvas, const PlotFrame& frame, const PlotParameters& p) {
    canvas.setPen(Grey, PenStyle::Dotted);
    if (frame.logarithmic) {
        drawLogarithmicGrid(canvas, frame, p);
    } else {
        requireSpan(p.wmin, p.wmax);
        for (const double v : innerTicks(linearTicks(p.wmin, p.wmax), p.wmin, p.wmax)) {
            const int x = nearest(frame.ax * v + frame.bx);
            canvas.drawLine(x, frame.y0, x, frame.y1);
        }
    }
    requireSpan(p.gmin, p.gmax);
    for (const double v : innerTicks(linearTicks(p.gmin, p.gmax), p.gmin, p.gmax)) {
        const std::optional<int> y = toPixelY(frame, frame.map(PlotQuantity::Gain), v);
        if (y) canvas.drawLine(frame.x0, *y, frame.x1, *y);
    }
}

// Each quantity's limits stack from the frame's top and bottom edges in table order, 12
// pixels a row, its unit after the upper one. The last row is drawn first, so the gain's
// labels lie on top. The values of the grid lines come with the grid, where they cover
// no limit and no other value.
void drawLabels(PlotCanvas& canvas, const PlotFrame& frame, const PlotParameters& p,
                const PlotCheckBoxes& checkBoxes) {
    LabelSpace leftColumn;
    LabelSpace bottomRow;
    // Range limits stand right-aligned 2 pixels left of the frame.
    auto valueLabel = [&](const std::string& text, int top, Colour colour) {
        canvas.drawText(frame.x0 - canvas.textWidth(text) - 2, top, text, colour, Black);
        leftColumn.take(top, top + LabelHeight);
    };
    for (int row = static_cast<int>(PlotQuantities.size()) - 1; row >= 0; --row) {
        const PlotQuantityRow& q = PlotQuantities[static_cast<std::size_t>(row)];
        if (!isShown(checkBoxes, q)) continue;
        const auto [low, high] =
            limitTexts(p.*q.minBox.parameter, p.*q.maxBox.parameter, q.unit);
        valueLabel(high, frame.y0 + LabelHeight * row, q.colour);
        valueLabel(low, frame.y1 - LabelHeight * (row + 1), q.colour);
    }

    const int top = frame.y1 + 1;
    auto bottomLabel = [&](const std::string& text, int left) {
        canvas.drawText(left, top, text, White, Black);
        bottomRow.take(left, left + canvas.textWidth(text));
    };
    const auto [wmin, wmax] = limitTexts(p.wmin, p.wmax, checkBoxes.hz() ? "Hz" : "rad/s");
    bottomLabel(wmin, frame.x0);
    bottomLabel(wmax, frame.x1 - canvas.textWidth(wmax));

    if (checkBoxes.grid()) drawTickLabels(canvas, frame, p, checkBoxes, leftColumn, bottomRow);
}

void drawCurves(PlotCanvas& canvas, const PlotFrame& frame, const PlotParameters& p,
                const PlotCheckBoxes& checkBoxes, const ResponseTable& table, int curveCount,
                const PreparePoint& preparePoint) {
    std::array<bool, PlotQuantityCount> shown{};
    for (std::size_t q = 0; q < PlotQuantityCount; ++q)
        shown[q] = isShown(checkBoxes, PlotQuantities[q]);
    const bool unwrap = checkBoxes.continuousPhase();
    const bool coloursPerCurve = checkBoxes.coloursPerCurve();
    std::array<std::array<Trace, PlotQuantityCount>, MaxCurves + 1> traces{};
    canvas.setPen(White, PenStyle::Solid);
    int previousX = 0;
    double w = p.wmin;
    for (int i = 0; i <= p.segmentos; ++i) {
        preparePoint(i, w);
        const int x = nearest(i * frame.dx + frame.x0);
        for (int k = curveCount; k >= 1; --k) {
            for (std::size_t q = 0; q < PlotQuantityCount; ++q) {
                if (!shown[q]) continue;
                const PlotQuantityRow& row = PlotQuantities[q];
                drawCurveStep(canvas, row, curveLook(row, k, coloursPerCurve), frame, frame.maps[q],
                              (table.*row.rows)[k][i], i, previousX, x, unwrap, traces[k][q]);
            }
        }
        previousX = x;
        w = frame.logarithmic ? w * frame.step : w + frame.step;
    }
}

}  // namespace corvane

namespace corvane {

std::string legendLine(int k, std::string_view label) {
    std::string line = std::to_string(k);
    line += ": ";
    line += label;
    return line;
}

// Drawn after the curves, on a black box each, so the lines stay readable over them.
void drawLegend(PlotCanvas& canvas, const PlotFrame& frame, const PlotParameters& p,
                const ResponseTable& table, const PlotCurves& curves,
                const CurveLabels& labels, int curveCount,
                bool coloursPerCurve) {
    constexpr int RowHeight = 12;
    constexpr int Inset = 4;
    const PlotQuantityRow& gainRow = quantityRow(PlotQuantity::Gain);
    for (int k = 1; k <= curveCount; ++k) {
        const CurveLook gain = curveLook(gainRow, k, coloursPerCurve);
        const PlotCurve& curve = curves[static_cast<std::size_t>(k)];
        const std::string line =
            curve.kind == CurveKind::NoiseDensity
                ? std::to_string(k) + ": " + densityLegend(curve)
                : legendLine(k, labels[static_cast<std::size_t>(k)]);
        canvas.drawText(frame.x1 - canvas.textWidth(line) - Inset,
                        frame.y0 + Inset + RowHeight * (k - 1), line, gain.colour, Black);
        const std::optional<int> y =
            toPixelY(frame, frame.map(PlotQuantity::Gain), table.gain[k][p.segmentos]);
        if (!y) continue;
        const std::string number = std::to_string(k);
        canvas.drawText(frame.x1 - canvas.textWidth(number) - 1,
                        std::max(frame.y0 + 1, *y - RowHeight), number, gain.colour, Black);
    }
}

}  // namespace corvane

namespace corvane {

void drawMarkers(PlotCanvas& canvas, const PlotFrame& frame, const PlotParameters& p,
                 const PlotCurves& curves, const std::vector<PlotMarker>& markers, bool hz,
                 bool coloursPerCurve) {
    constexpr int Arm = 4;
    const PlotQuantityRow& gain = quantityRow(PlotQuantity::Gain);
    for (const PlotMarker& marker : markers) {
        const double w = hz ? marker.omega / (2 * std::numbers::pi) : marker.omega;
        if (!(w >= p.wmin && w <= p.wmax)) continue;
        const std::optional<CursorReading> reading = readCurveAt(curves, marker.curve, w, hz);
        if (!reading) continue;
        const double g = reading->response.gain;
        if (!(g >= p.gmin && g <= p.gmax)) continue;
        const int x = nearest(columnOfFrequency(frame, w));
        const std::optional<int> y = toPixelY(frame, frame.map(PlotQuantity::Gain), g);
        if (!y) continue;
        canvas.setPen(curveLook(gain, marker.curve, coloursPerCurve).colour, PenStyle::Solid);
        canvas.drawLine(x - Arm, *y - Arm, x + Arm + 1, *y + Arm + 1);
        canvas.drawLine(x - Arm, *y + Arm, x + Arm + 1, *y - Arm - 1);
    }
}

}  // namespace corvane
