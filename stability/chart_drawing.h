// What the Nyquist plot and the Nichols chart draw alike: a rectangle of the surface with a
// value axis each way, lines clipped to it, arrowheads, the critical point, the margins
// wiped before the ticks, and the legend of the curves.
#pragma once

#include <complex>
#include <optional>
#include <string>
#include <vector>

#include "plot_canvas.h"
#include "pole_zero_map.h"
#include "stability_curves.h"

namespace corvane {

/// The plot rectangle of a chart and its two linear maps: x = x0 + (a - region.reMin)·ax,
/// y = y1 - (b - region.imMin)·ay. The Nyquist plot keeps ax = ay.
struct ChartFrame {
    int x0 = 0;
    int x1 = 0;
    int y0 = 0;
    int y1 = 0;
    PlaneRegion region;
    double ax = 1.0;
    double ay = 1.0;

    double xOf(double a) const { return x0 + (a - region.reMin) * ax; }
    double yOf(double b) const { return y1 - (b - region.imMin) * ay; }
    std::complex<double> valueAt(double x, double y) const {
        return {region.reMin + (x - x0) / ax, region.imMin + (y1 - y) / ay};
    }
    bool contains(double x, double y) const { return x >= x0 && x <= x1 && y >= y0 && y <= y1; }
};

/// The chart frame of `region` on a `width` × `height` surface with the margins of the
/// pole-zero map; with `sameScale` the region is widened one way so both axes share one
/// scale. None when the surface is too small or the region is not finite and not empty.
std::optional<ChartFrame> makeChartFrame(int width, int height, const PlaneRegion& region,
                                         bool sameScale);

/// The line from (xa, ya) to (xb, yb), pixels, the part inside the rectangle only.
void drawClippedLine(PlotCanvas& canvas, const ChartFrame& frame, double xa, double ya,
                     double xb, double yb);

/// The polyline of `points` (chart values; a NaN point breaks it), clipped.
void drawChartPath(PlotCanvas& canvas, const ChartFrame& frame,
                   const std::vector<std::complex<double>>& points);

/// An arrowhead with its tip at pixel (x, y) pointing along (dx, dy) (pixels).
void drawArrowHead(PlotCanvas& canvas, const ChartFrame& frame, double x, double y, double dx,
                   double dy);

/// A red cross with `label` beside it at pixel (x, y), when inside the frame.
void drawCriticalPoint(PlotCanvas& canvas, const ChartFrame& frame, double x, double y,
                       const std::string& label);

/// Black outside the rectangle and the white outline, so that ticks go on a clean margin.
void wipeMargins(PlotCanvas& canvas, const ChartFrame& frame, int width, int height);

/// The legend in the top right corner: "k: label" of each curve in its colour, then the
/// `extra` lines in white.
void drawChartLegend(PlotCanvas& canvas, const ChartFrame& frame, const StabilityCurves& curves,
                     const std::vector<std::string>& extra);

/// "ω de 0.1 a 5 rad/s" or "f de 1 a 10 kHz": the range sampled, in the axis unit.
std::string rangeLegend(const StabilityCurves& curves);

/// The nearest point to pixel (x, y) among `points` of curve `curve` (pixels through
/// `frame`), improving `best` (squared pixel distance) and `reading`.
void nearestOnPath(const ChartFrame& frame, const std::vector<std::complex<double>>& points,
                   const StabilityCurve& curve, bool mirror, double x, double y, double& best,
                   std::optional<StabilityReading>& reading);

/// Height of a text row, in pixels.
inline constexpr int ChartRowHeight = 12;

}  // namespace corvane
