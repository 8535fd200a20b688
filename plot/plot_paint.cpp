#include "plot_paint.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

#include "floating_point.h"
#include "plot_quantities.h"

namespace corvane {

namespace {

// Far more lines than any surface can show apart; a bound for grids whose step hardly
// moves the value.
constexpr int MaxGridLines = 10000;

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
};

// Continues one polyline of one curve from the previous grid point to point `i`. A
// value without a position breaks the line instead of drawing to nowhere. A quantity that
// wraps (the phase) is either unwrapped along the curve, or its line is broken where it
// jumps by more than half a period: that jump is the wrap, not the response.
void drawCurveStep(PlotCanvas& canvas, const PlotQuantityRow& row, const PlotFrame& frame,
                   const VerticalMap& map, double value, int i, int previousX, int x,
                   bool unwrap, Trace& trace) {
    canvas.setPen(row.colour, PenStyle::Solid);
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
    if (i > 0 && trace.y && y && !wrapped) canvas.drawLine(previousX, *trace.y, x, *y);
    trace.y = y;
    trace.value = std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

}  // namespace

void drawGrid(PlotCanvas& canvas, const PlotFrame& frame, const PlotParameters& p) {
    canvas.setPen(Grey, PenStyle::Dotted);

    double step = 0.0;
    double v = 0.0;
    checkFloatingPoint([&] {
        const double span =
            frame.logarithmic && p.wmax - p.wmin > p.wmin ? p.wmin : p.wmax - p.wmin;
        step = std::pow(10.0, std::floor(std::log10(span) - 0.499999 + 0.5));
        v = std::floor(p.wmin / step + 1) * step;
    });
    for (int lines = 0; v < p.wmax && lines < MaxGridLines; ++lines) {
        int x = 0;
        bool decade = false;
        if (frame.logarithmic) {
            if (std::floor(v / step + 0.5) == 10) {
                step *= 10;
                canvas.setPen(Yellow, PenStyle::Dotted);
                decade = true;
            }
            x = nearest(frame.ax * std::log(v) + frame.bx);
        } else {
            x = nearest(frame.ax * v + frame.bx);
        }
        canvas.drawLine(x, frame.y0, x, frame.y1);
        if (decade) canvas.setPen(Grey, PenStyle::Dotted);
        if (!advance(v, step)) break;
    }

    checkFloatingPoint([&] {
        step = std::pow(10.0, std::floor(std::log10(p.gmax - p.gmin)));
        v = std::floor(p.gmin / step + 1) * step;
    });
    for (int lines = 0; v < p.gmax && lines < MaxGridLines; ++lines) {
        const std::optional<int> y = toPixelY(frame, frame.map(PlotQuantity::Gain), v);
        if (y) canvas.drawLine(frame.x0, *y, frame.x1, *y);
        if (!advance(v, step)) break;
    }
}

// Each quantity's limits stack from the frame's top and bottom edges in table order, 12
// pixels a row; its unit stands beside the middle of the axis, the rows alternating below
// and above the gain's. The last row is drawn first, so the gain's labels lie on top.
void drawLabels(PlotCanvas& canvas, const PlotFrame& frame, const PlotParameters& p,
                const PlotCheckBoxes& checkBoxes) {
    constexpr int RowHeight = 12;
    const int xu = frame.x0 - canvas.textWidth("xxx");
    const int t = (frame.y0 + frame.y1) / 2 - 6;
    // Range limits stand right-aligned 2 pixels left of the frame.
    auto valueLabel = [&](const std::string& text, int top, Colour colour) {
        canvas.drawText(frame.x0 - canvas.textWidth(text) - 2, top, text, colour, Black);
    };
    for (int row = static_cast<int>(PlotQuantities.size()) - 1; row >= 0; --row) {
        const PlotQuantityRow& q = PlotQuantities[static_cast<std::size_t>(row)];
        if (!isShown(checkBoxes, q)) continue;
        const auto [low, high] = rangeLabels(p.*q.minBox.parameter, p.*q.maxBox.parameter);
        valueLabel(high, frame.y0 + RowHeight * row, q.colour);
        valueLabel(low, frame.y1 - RowHeight * (row + 1), q.colour);
        const int unitOffset = row % 2 == 1 ? RowHeight * (row + 1) / 2 : -RowHeight * (row / 2);
        canvas.drawText(xu, t + unitOffset, q.unit, q.colour, Black);
    }

    const int top = frame.y1 + 1;
    canvas.drawText(frame.x0, top, formatNumber("%g", p.wmin), White, Black);
    const std::string wmax = formatNumber("%g", p.wmax);
    canvas.drawText(frame.x1 - canvas.textWidth(wmax), top, wmax, White, Black);
    const char* unit = checkBoxes.hz() ? "Hz" : "rad/s";
    canvas.drawText((frame.x1 + frame.x0 - canvas.textWidth(unit)) / 2, top, unit, White, Black);
}

void drawCurves(PlotCanvas& canvas, const PlotFrame& frame, const PlotParameters& p,
                const PlotCheckBoxes& checkBoxes, const ResponseTable& table, int curveCount,
                const PreparePoint& preparePoint) {
    std::array<bool, PlotQuantityCount> shown{};
    for (std::size_t q = 0; q < PlotQuantityCount; ++q)
        shown[q] = isShown(checkBoxes, PlotQuantities[q]);
    const bool unwrap = checkBoxes.continuousPhase();
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
                drawCurveStep(canvas, row, frame, frame.maps[q], (table.*row.rows)[k][i], i,
                              previousX, x, unwrap, traces[k][q]);
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
                const ResponseTable& table,
                const std::array<std::string, MaxCurves + 1>& numeratorFiles, int curveCount) {
    constexpr int RowHeight = 12;
    constexpr int Inset = 4;
    const PlotQuantityRow& gain = quantityRow(PlotQuantity::Gain);
    for (int k = 1; k <= curveCount; ++k) {
        const std::string line = legendLine(k, numeratorFiles[static_cast<std::size_t>(k)]);
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
