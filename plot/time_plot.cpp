#include "time_plot.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "engineering_text.h"
#include "path_parts.h"
#include "plot_frame.h"
#include "plot_paint.h"

namespace corvane {

namespace {

constexpr int RowHeight = 12;
constexpr int LegendInset = 4;

constexpr std::array<Colour, 8> CurveColours{{
    {255, 255, 0},    // yellow
    {0, 255, 255},    // cyan
    {255, 0, 255},    // magenta
    {0, 255, 0},      // green
    {255, 128, 0},    // orange
    {128, 160, 255},  // light blue
    {255, 96, 96},    // light red
    {200, 200, 200},  // light grey
}};

PlotFrame timeFrame(int width, int height, const TimeRange& range) {
    PlotFrame frame;
    frame.x0 = LeftMargin;
    frame.x1 = std::clamp(width, 0, PixelLimit) - RightMargin;
    frame.y0 = TopMargin;
    frame.y1 = std::clamp(height, 0, PixelLimit) - BottomMargin;
    frame.ax = (frame.x1 - frame.x0) / (range.tmax - range.tmin);
    frame.bx = frame.x0 - frame.ax * range.tmin;
    return frame;
}

VerticalMap valueMap(const PlotFrame& frame, const TimeRange& range) {
    VerticalMap map;
    map.a = (frame.y1 - frame.y0) / (range.vmin - range.vmax);
    map.b = frame.y1 - map.a * range.vmin;
    return map;
}

bool usable(const PlotFrame& frame, const TimeRange& range) {
    return frame.x1 > frame.x0 && frame.y1 > frame.y0 && std::isfinite(range.tmin) &&
           std::isfinite(range.tmax) && range.tmax > range.tmin && std::isfinite(range.vmin) &&
           std::isfinite(range.vmax) && range.vmax > range.vmin;
}

// The values in engineering notation with their units, as the cursor writes them: "500 µs",
// "10 k" for a value whose unit is not known.
void drawGridAndTicks(PlotCanvas& canvas, const PlotFrame& frame, const TimeRange& range,
                      std::string_view valueUnit) {
    canvas.setPen(Grey, PenStyle::Dotted);
    const VerticalMap map = valueMap(frame, range);
    const std::vector<double> times = gridTicks(range.tmin, range.tmax);
    const std::vector<std::string> timeTexts =
        axisValueTexts(times, range.tmax - range.tmin, "s");
    for (std::size_t i = 0; i < times.size(); ++i) {
        const int x = nearest(frame.ax * times[i] + frame.bx);
        canvas.drawLine(x, frame.y0, x, frame.y1);
        const std::string& label = timeTexts[i];
        const int left = std::clamp(x - canvas.textWidth(label) / 2, 0,
                                    std::max(0, frame.x1 - canvas.textWidth(label)));
        canvas.drawText(left, frame.y1 + 1, label, White, Black);
    }
    const std::vector<double> values = gridTicks(range.vmin, range.vmax);
    const std::vector<std::string> valueTexts =
        axisValueTexts(values, range.vmax - range.vmin, valueUnit);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const int y = nearest(map.a * values[i] + map.b);
        canvas.drawLine(frame.x0, y, frame.x1, y);
        const std::string& label = valueTexts[i];
        canvas.drawText(frame.x0 - canvas.textWidth(label) - 2,
                        std::clamp(y - RowHeight / 2, 0, frame.y1 - RowHeight), label, White,
                        Black);
    }
}

void drawCurve(PlotCanvas& canvas, const PlotFrame& frame, const VerticalMap& map,
               const TimeCurve& curve, Colour colour) {
    canvas.setPen(colour, PenStyle::Solid);
    const std::size_t n = curve.values.size();
    if (n < 2) return;
    std::optional<int> previousY;
    int previousX = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const int x = nearest(frame.x0 + (frame.x1 - frame.x0) * static_cast<double>(i) /
                                             static_cast<double>(n - 1));
        const double v = curve.values[i];
        const std::optional<int> y =
            std::isfinite(v) ? toPixelY(frame, map, v) : std::optional<int>();
        if (previousY && y) canvas.drawLine(previousX, *previousY, x, *y);
        previousY = y;
        previousX = x;
    }
}

}  // namespace

Colour timeCurveColour(int k) {
    const std::size_t count = CurveColours.size();
    return CurveColours[static_cast<std::size_t>(std::max(k - 1, 0)) % count];
}

std::string valueWithUnit(double value, std::string_view unit) {
    char text[64];
    if (unit.empty() || value == 0.0 || !std::isfinite(value)) {
        std::snprintf(text, sizeof text, "%.3g", value);
        std::string result = text;
        if (!unit.empty()) {
            result += ' ';
            result += unit;
        }
        return result;
    }
    static constexpr std::array<const char*, 9> Prefixes{"p", "n", "µ", "m", "", "k",
                                                         "M", "G", "T"};
    constexpr int Unprefixed = 4;
    int power = static_cast<int>(std::floor(std::log10(std::fabs(value)) / 3.0));
    // Rounding to three digits may carry into the next prefix: 999.7 µ reads "1 m".
    if (std::fabs(value) / std::pow(1000.0, power) >= 999.5) ++power;
    power = std::clamp(power, -Unprefixed, static_cast<int>(Prefixes.size()) - 1 - Unprefixed);
    std::snprintf(text, sizeof text, "%.3g", value / std::pow(1000.0, power));
    return std::string(text) + " " + Prefixes[static_cast<std::size_t>(power + Unprefixed)] +
           std::string(unit);
}

void fitVerticalRange(TimeRange& range, std::span<const TimeCurve> curves) {
    double low = INFINITY;
    double high = -INFINITY;
    for (const TimeCurve& curve : curves) {
        for (const double v : curve.values) {
            if (!std::isfinite(v)) continue;
            low = std::min(low, v);
            high = std::max(high, v);
        }
    }
    if (!(low <= high)) {
        range.vmin = -1.0;
        range.vmax = 1.0;
        return;
    }
    double margin = (high - low) * 0.05;
    if (!(margin > 0.0) || !std::isfinite(margin)) margin = std::fabs(high) > 0 ? std::fabs(high) * 0.1 : 1.0;
    range.vmin = low - margin;
    range.vmax = high + margin;
    if (!std::isfinite(range.vmin) || !std::isfinite(range.vmax)) {
        range.vmin = low;
        range.vmax = high;
    }
}

std::string sharedUnit(std::span<const TimeCurve> curves) {
    if (curves.empty()) return {};
    for (const TimeCurve& curve : curves) {
        if (curve.unit != curves.front().unit) return {};
    }
    return curves.front().unit;
}

void drawTimePlot(PlotCanvas& canvas, int width, int height, const TimeRange& range,
                  std::span<const TimeCurve> curves) {
    canvas.fillRectangle(0, 0, width, height, Black);
    const PlotFrame frame = timeFrame(width, height, range);
    if (!usable(frame, range)) return;
    canvas.drawOutline(frame.x0, frame.y0, frame.x1 + 1, frame.y1 + 1, White);
    drawGridAndTicks(canvas, frame, range, sharedUnit(curves));
    const VerticalMap map = valueMap(frame, range);
    // The first curve is drawn last, on top of the others.
    for (int k = static_cast<int>(curves.size()); k >= 1; --k)
        drawCurve(canvas, frame, map, curves[static_cast<std::size_t>(k - 1)], timeCurveColour(k));
    for (int k = 1; k <= static_cast<int>(curves.size()); ++k) {
        const TimeCurve& curve = curves[static_cast<std::size_t>(k - 1)];
        std::string line =
            legendLine(k, curve.label.empty() ? fileNameOf(curve.file) : curve.label);
        if (curve.overflowFrom) line += " (estouro em " + valueWithUnit(*curve.overflowFrom, "s") + ")";
        canvas.drawText(frame.x1 - canvas.textWidth(line) - LegendInset,
                        frame.y0 + LegendInset + RowHeight * (k - 1), line, timeCurveColour(k),
                        Black);
    }
}

double timeAtColumn(int x, int width, const TimeRange& range) {
    const PlotFrame frame = timeFrame(width, 1 + TopMargin + BottomMargin, range);
    return (x - frame.bx) / frame.ax;
}

double columnOfTime(double t, int width, const TimeRange& range) {
    const PlotFrame frame = timeFrame(width, 1 + TopMargin + BottomMargin, range);
    return frame.ax * t + frame.bx;
}

double valueAtRow(int y, int height, const TimeRange& range) {
    const VerticalMap map = valueMap(timeFrame(1 + LeftMargin + RightMargin, height, range), range);
    return (y - map.b) / map.a;
}

double rowOfValue(double v, int height, const TimeRange& range) {
    const VerticalMap map = valueMap(timeFrame(1 + LeftMargin + RightMargin, height, range), range);
    return map.a * v + map.b;
}

int sampleAtColumn(int x, int width, const TimeRange& range, int points) {
    const PlotFrame frame = timeFrame(width, 1 + TopMargin + BottomMargin, range);
    if (x < frame.x0 || x > frame.x1 || frame.x1 <= frame.x0 || points < 2) return -1;
    return static_cast<int>(std::lround(static_cast<double>(x - frame.x0) * (points - 1) /
                                        (frame.x1 - frame.x0)));
}

}  // namespace corvane
