#include "chart_drawing.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "plane_drawing.h"
#include "plot_frame.h"
#include "plot_paint.h"
#include "time_plot.h"

namespace corvane {

namespace {

constexpr int LegendInset = 4;
constexpr double ArrowLength = 9.0;
constexpr double ArrowSpread = 0.45;  // radians either side of the shaft
constexpr int CrossHalfSize = 5;

}  // namespace

std::optional<ChartFrame> makeChartFrame(int width, int height, const PlaneRegion& region,
                                         bool sameScale) {
    if (sameScale) {
        const std::optional<PlaneFrame> plane = makePlaneFrame(width, height, region);
        if (!plane) return std::nullopt;
        return ChartFrame{plane->x0, plane->x1, plane->y0, plane->y1, plane->shown(),
                          plane->scale, plane->scale};
    }
    const std::optional<PlotRectangle> rectangle = plotRectangle(width, height);
    if (!rectangle || !hasUsableSpans(region)) return std::nullopt;
    ChartFrame frame;
    frame.x0 = rectangle->x0;
    frame.x1 = rectangle->x1;
    frame.y0 = rectangle->y0;
    frame.y1 = rectangle->y1;
    const double aSpan = region.reMax - region.reMin;
    const double bSpan = region.imMax - region.imMin;
    frame.region = region;
    frame.ax = (frame.x1 - frame.x0) / aSpan;
    frame.ay = (frame.y1 - frame.y0) / bSpan;
    if (!(frame.ax > 0.0) || !(frame.ay > 0.0) || !std::isfinite(frame.ax) ||
        !std::isfinite(frame.ay))
        return std::nullopt;
    return frame;
}

void drawClippedLine(PlotCanvas& canvas, const ChartFrame& frame, double xa, double ya,
                     double xb, double yb) {
    drawLineInRectangle(canvas, rectangleOf(frame), xa, ya, xb, yb);
}

void drawChartPath(PlotCanvas& canvas, const ChartFrame& frame,
                   const std::vector<std::complex<double>>& points) {
    for (std::size_t i = 1; i < points.size(); ++i) {
        drawClippedLine(canvas, frame, frame.xOf(points[i - 1].real()),
                        frame.yOf(points[i - 1].imag()), frame.xOf(points[i].real()),
                        frame.yOf(points[i].imag()));
    }
}

void drawArrowHead(PlotCanvas& canvas, const ChartFrame& frame, double x, double y, double dx,
                   double dy) {
    const double length = std::hypot(dx, dy);
    if (!(length > 0.0) || !std::isfinite(length) || !frame.contains(x, y)) return;
    const double back = std::atan2(-dy, -dx);
    for (const double side : {-ArrowSpread, ArrowSpread}) {
        drawClippedLine(canvas, frame, x, y, x + ArrowLength * std::cos(back + side),
                        y + ArrowLength * std::sin(back + side));
    }
}

void drawCriticalPoint(PlotCanvas& canvas, const ChartFrame& frame, double x, double y,
                       const std::string& label) {
    if (!frame.contains(x, y)) return;
    canvas.setPen(Red, PenStyle::Solid);
    const int cx = nearest(x);
    const int cy = nearest(y);
    canvas.drawLine(cx - CrossHalfSize, cy, cx + CrossHalfSize, cy);
    canvas.drawLine(cx, cy - CrossHalfSize, cx, cy + CrossHalfSize);
    canvas.drawText(cx + 3, cy + 2, label, Red, Black);
}

void wipeMargins(PlotCanvas& canvas, const ChartFrame& frame, int width, int height) {
    canvas.fillRectangle(0, 0, frame.x0, height, Black);
    canvas.fillRectangle(frame.x1 + 1, 0, width, height, Black);
    canvas.fillRectangle(0, 0, width, frame.y0, Black);
    canvas.fillRectangle(0, frame.y1 + 1, width, height, Black);
    canvas.drawOutline(frame.x0, frame.y0, frame.x1 + 1, frame.y1 + 1, White);
}

void drawChartLegend(PlotCanvas& canvas, const ChartFrame& frame, const StabilityCurves& curves,
                     const std::vector<std::string>& extra) {
    int row = 0;
    const auto line = [&](const std::string& text, Colour colour) {
        canvas.drawText(frame.x1 - LegendInset - canvas.textWidth(text),
                        frame.y0 + LegendInset + ChartRowHeight * row++, text, colour, Black);
    };
    for (const StabilityCurve& curve : curves.curves) {
        line(legendLine(curve.curve, curves.labels[static_cast<std::size_t>(curve.curve)]),
             timeCurveColour(curve.curve));
    }
    for (const std::string& text : extra)
        line(text, White);
}

std::string rangeLegend(const StabilityCurves& curves) {
    const double unit = curves.hz ? 2.0 * std::numbers::pi : 1.0;
    const std::string_view axisUnit = curves.hz ? "Hz" : "rad/s";
    std::string text = curves.hz ? "f de " : "ω de ";
    text += valueWithUnit(curves.range.wmin / unit, axisUnit);
    text += " a ";
    text += valueWithUnit(curves.range.wmax / unit, axisUnit);
    return text;
}

void nearestOnPath(const ChartFrame& frame, const std::vector<std::complex<double>>& points,
                   const StabilityCurve& curve, bool mirror, double x, double y, double& best,
                   std::optional<StabilityReading>& reading) {
    for (std::size_t i = 0; i < points.size() && i < curve.samples.size(); ++i) {
        const double px = frame.xOf(points[i].real());
        const double py = frame.yOf(points[i].imag());
        const double distance = (px - x) * (px - x) + (py - y) * (py - y);
        if (!(distance < best)) continue;
        best = distance;
        const ResponseSample& s = curve.samples[i];
        reading = StabilityReading{curve.curve, mirror ? -s.omega : s.omega,
                                   mirror ? std::conj(s.value) : s.value};
    }
}

}  // namespace corvane
