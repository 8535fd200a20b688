#include "plot_paint.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include "axis_ticks.h"
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

std::string formatNumber(const char* format, double value) {
    char buffer[64];
    const int length = std::snprintf(buffer, sizeof buffer, format, value);
    if (length < 0) return {};
    if (length < static_cast<int>(sizeof buffer)) return std::string(buffer, length);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), format, value);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

std::string formatSignificant(double value, int digits) {
    char buffer[64];
    const int length = std::snprintf(buffer, sizeof buffer, "%.*g", digits, value);
    if (length < 0) return {};
    return std::string(buffer, static_cast<std::size_t>(std::min<int>(length, sizeof buffer - 1)));
}

// The limits of a range with three significant digits, or as many more as it takes to
// tell them apart: a range of 0 .. 1e-6 reads "0" and "1e-06", never "0.00" twice.
std::pair<std::string, std::string> rangeLabels(double min, double max) {
    constexpr int MostDigits = 17;
    for (int digits = 3;; ++digits) {
        std::string low = formatSignificant(min, digits);
        std::string high = formatSignificant(max, digits);
        if (low != high || digits == MostDigits) return {std::move(low), std::move(high)};
    }
}

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

// Intervals of one row or column of labels already taken, so a tick label never covers a
// range label or another tick label.
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

// The round values of the frequency axis below the frame, centred on their grid lines,
// and of the gain axis left of it, where they leave the range labels and each other
// readable.
void drawTickLabels(PlotCanvas& canvas, const PlotFrame& frame, const PlotParameters& p,
                    LabelSpace& leftColumn, LabelSpace& bottomRow) {
    const std::vector<double> frequencies =
        frame.logarithmic ? logarithmicTicks(p.wmin, p.wmax) : linearTicks(p.wmin, p.wmax);
    for (const double v : innerTicks(frequencies, p.wmin, p.wmax)) {
        const double u = frame.logarithmic ? std::log(v) : v;
        const std::string text = formatSignificant(v, 3);
        const int width = canvas.textWidth(text);
        const int left = nearest(frame.ax * u + frame.bx) - width / 2;
        if (left < frame.x0 || left + width > frame.x1) continue;
        if (bottomRow.take(left, left + width)) {
            canvas.drawText(left, frame.y1 + 1, text, White, Black);
        }
    }
    const PlotQuantityRow& gain = quantityRow(PlotQuantity::Gain);
    for (const double v : innerTicks(linearTicks(p.gmin, p.gmax), p.gmin, p.gmax)) {
        const std::optional<int> y = toPixelY(frame, frame.map(PlotQuantity::Gain), v);
        if (!y) continue;
        const int top = *y - LabelHeight / 2;
        if (!leftColumn.take(top, top + LabelHeight)) continue;
        const std::string text = formatSignificant(v, 3);
        canvas.drawText(frame.x0 - canvas.textWidth(text) - 2, top, text, gain.colour, Black);
    }
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
// pixels a row; its unit stands beside the middle of the axis, the rows alternating below
// and above the gain's. The last row is drawn first, so the gain's labels lie on top. The
// values of the grid lines come last, with the grid, where they cover none of these.
void drawLabels(PlotCanvas& canvas, const PlotFrame& frame, const PlotParameters& p,
                const PlotCheckBoxes& checkBoxes) {
    const int xu = frame.x0 - canvas.textWidth("xxx");
    const int t = (frame.y0 + frame.y1) / 2 - 6;
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
        const auto [low, high] = rangeLabels(p.*q.minBox.parameter, p.*q.maxBox.parameter);
        valueLabel(high, frame.y0 + LabelHeight * row, q.colour);
        valueLabel(low, frame.y1 - LabelHeight * (row + 1), q.colour);
        const int unitOffset =
            row % 2 == 1 ? LabelHeight * (row + 1) / 2 : -LabelHeight * (row / 2);
        canvas.drawText(xu, t + unitOffset, q.unit, q.colour, Black);
        leftColumn.take(t + unitOffset, t + unitOffset + LabelHeight);
    }

    const int top = frame.y1 + 1;
    auto bottomLabel = [&](const std::string& text, int left) {
        canvas.drawText(left, top, text, White, Black);
        bottomRow.take(left, left + canvas.textWidth(text));
    };
    bottomLabel(formatNumber("%g", p.wmin), frame.x0);
    const std::string wmax = formatNumber("%g", p.wmax);
    bottomLabel(wmax, frame.x1 - canvas.textWidth(wmax));
    const char* unit = checkBoxes.hz() ? "Hz" : "rad/s";
    bottomLabel(unit, (frame.x1 + frame.x0 - canvas.textWidth(unit)) / 2);

    if (checkBoxes.grid()) drawTickLabels(canvas, frame, p, leftColumn, bottomRow);
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

std::string legendLine(int k, std::string_view path) {
    const std::size_t slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    return std::to_string(k) + ": " + std::string(name);
}

// Drawn after the curves, on a black box each, so the lines stay readable over them.
void drawLegend(PlotCanvas& canvas, const PlotFrame& frame, const PlotParameters& p,
                const ResponseTable& table, const PlotCurves& curves,
                const std::array<std::string, MaxCurves + 1>& numeratorFiles, int curveCount,
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
                : legendLine(k, numeratorFiles[static_cast<std::size_t>(k)]);
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
