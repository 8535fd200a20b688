#include "nyquist_paint.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "axis_ticks.h"
#include "plane_drawing.h"
#include "plot_frame.h"
#include "time_plot.h"

namespace corvane {

namespace {

constexpr int CircleSegments = 144;
constexpr int CrossingHalfSize = 2;

void drawCircle(PlotCanvas& canvas, const ChartFrame& frame, double radius) {
    std::vector<std::complex<double>> points;
    for (int i = 0; i <= CircleSegments; ++i)
        points.push_back(std::polar(radius, 2.0 * std::numbers::pi * i / CircleSegments));
    drawChartPath(canvas, frame, points);
}

// Linear: a dotted grid at round values. Compressed: a dotted circle at every decade of
// |H| from r0 up, each labelled with its |H| where it meets the ray at 45°.
void drawGrid(PlotCanvas& canvas, const ChartFrame& frame, const RadialScale& scale) {
    const PlaneRegion& shown = frame.region;
    canvas.setPen(Grey, PenStyle::Dotted);
    if (scale.r0 <= 0.0) {
        for (const double a : linearTicks(shown.reMin, shown.reMax))
            drawClippedLine(canvas, frame, frame.xOf(a), frame.y0, frame.xOf(a), frame.y1);
        for (const double b : linearTicks(shown.imMin, shown.imMax))
            drawClippedLine(canvas, frame, frame.x0, frame.yOf(b), frame.x1, frame.yOf(b));
    } else {
        const double reach = std::max({std::hypot(shown.reMin, shown.imMin),
                                       std::hypot(shown.reMin, shown.imMax),
                                       std::hypot(shown.reMax, shown.imMin),
                                       std::hypot(shown.reMax, shown.imMax)});
        for (double r = scale.r0; scale.radius(r) <= reach && r < 1e300; r *= 10.0) {
            // The unit circle is drawn on its own below.
            if (std::fabs(r - 1.0) < 1e-9) continue;
            const double drawn = scale.radius(r);
            canvas.setPen(Grey, PenStyle::Dotted);
            drawCircle(canvas, frame, drawn);
            const double x = frame.xOf(drawn * std::numbers::sqrt2 / 2.0);
            const double y = frame.yOf(drawn * std::numbers::sqrt2 / 2.0);
            if (frame.contains(x, y)) canvas.drawText(nearest(x) + 2, nearest(y) - ChartRowHeight,
                                                      tickText(r), Grey, Black);
        }
    }
    canvas.setPen(Grey, PenStyle::Solid);
    drawClippedLine(canvas, frame, frame.x0, frame.yOf(0.0), frame.x1, frame.yOf(0.0));
    drawClippedLine(canvas, frame, frame.xOf(0.0), frame.y0, frame.xOf(0.0), frame.y1);
    // The unit circle, where |H| = 1 in either scale: solid, so that it stands out of the
    // dotted rings.
    canvas.setPen(Grey, PenStyle::Solid);
    drawCircle(canvas, frame, 1.0);
    // Labelled at 135°, away from the decade labels at 45°.
    const std::string label = "|H| = 1";
    const double x = frame.xOf(-std::numbers::sqrt2 / 2.0);
    const double y = frame.yOf(std::numbers::sqrt2 / 2.0);
    if (frame.contains(x, y))
        canvas.drawText(nearest(x) - canvas.textWidth(label) - 2, nearest(y) - ChartRowHeight,
                        label, Grey, Black);
}

void drawTickLabels(PlotCanvas& canvas, const ChartFrame& frame, const RadialScale& scale) {
    canvas.setPen(White, PenStyle::Solid);
    if (scale.r0 <= 0.0) {
        for (const double a : linearTicks(frame.region.reMin, frame.region.reMax)) {
            drawBottomTick(canvas, rectangleOf(frame), nearest(frame.xOf(a)), tickText(a));
        }
        for (const double b : linearTicks(frame.region.imMin, frame.region.imMax)) {
            drawLeftTick(canvas, rectangleOf(frame), nearest(frame.yOf(b)),
                         imaginaryTickText(b));
        }
    }
    const std::string axis = "Re H";
    canvas.drawText(frame.x0 - canvas.textWidth(axis) - 2, frame.y1 + 1, axis, White, Black);
    canvas.drawText(frame.x0 - canvas.textWidth("Im H") - 2, frame.y0, "Im H", White, Black);
}

void drawCurve(PlotCanvas& canvas, const ChartFrame& frame, const StabilityCurve& curve,
               const RadialScale& scale) {
    const Colour colour = timeCurveColour(curve.curve);
    const std::vector<std::complex<double>> points = nyquistPoints(curve, scale);
    const std::vector<std::complex<double>> mirror = mirrored(points);
    std::vector<double> omegas = sampleOmegas(curve);
    canvas.setPen(colour, PenStyle::Dotted);
    drawChartPath(canvas, frame, mirror);
    canvas.setPen(colour, PenStyle::Solid);
    drawChartPath(canvas, frame, points);
    for (const CurveArrow& arrow : arrowsAlong(points, omegas)) {
        drawArrowHead(canvas, frame, frame.xOf(arrow.at.real()), frame.yOf(arrow.at.imag()),
                      arrow.direction.real(), -arrow.direction.imag());
        // On the mirror ω grows from -wmax to -wmin: the conjugate, run backwards.
        const std::complex<double> back = std::conj(arrow.at);
        drawArrowHead(canvas, frame, frame.xOf(back.real()), frame.yOf(back.imag()),
                      -arrow.direction.real(), -arrow.direction.imag());
    }
}

void drawCrossings(PlotCanvas& canvas, const ChartFrame& frame, const StabilityCurves& curves,
                   const RadialScale& scale) {
    for (const Crossing& crossing : negativeRealCrossings(curves)) {
        const std::complex<double> drawn = scale.apply(crossing.value);
        const double x = frame.xOf(drawn.real());
        const double y = frame.yOf(0.0);
        if (!frame.contains(x, y)) continue;
        const Colour colour = timeCurveColour(crossing.curve);
        canvas.fillRectangle(nearest(x) - CrossingHalfSize, nearest(y) - CrossingHalfSize,
                             nearest(x) + CrossingHalfSize + 1, nearest(y) + CrossingHalfSize + 1,
                             colour);
        char text[32];
        std::snprintf(text, sizeof text, "%.3g", crossing.value.real());
        // Above the axis: the -1 point writes its label below.
        canvas.drawText(nearest(x) - canvas.textWidth(text) / 2, nearest(y) - ChartRowHeight - 3,
                        text, colour, Black);
    }
}

}  // namespace

std::vector<std::complex<double>> mirrored(const std::vector<std::complex<double>>& points) {
    std::vector<std::complex<double>> mirror;
    mirror.reserve(points.size());
    for (const std::complex<double>& p : points)
        mirror.push_back(std::conj(p));
    return mirror;
}

PlaneRegion fittedNyquistRegion(const StabilityCurves& curves, const RadialScale& scale) {
    std::vector<std::complex<double>> points{{-1.0, 0.0}};
    for (const StabilityCurve& curve : curves.curves) {
        for (const std::complex<double>& p : nyquistPoints(curve, scale)) {
            if (std::isfinite(p.real()) && std::isfinite(p.imag())) {
                points.push_back(p);
                points.push_back(std::conj(p));
            }
        }
    }
    return fittedRegion(points);
}

std::optional<ChartFrame> nyquistFrame(int width, int height, const PlaneRegion& region) {
    return makeChartFrame(width, height, region, true);
}

void drawNyquist(PlotCanvas& canvas, int width, int height, const NyquistPicture& picture) {
    canvas.fillRectangle(0, 0, std::clamp(width, 0, PixelLimit), std::clamp(height, 0, PixelLimit),
                         Black);
    const std::optional<ChartFrame> frame = nyquistFrame(width, height, picture.region);
    if (!frame || !picture.curves) return;
    drawGrid(canvas, *frame, picture.scale);
    for (const StabilityCurve& curve : picture.curves->curves)
        drawCurve(canvas, *frame, curve, picture.scale);
    drawCrossings(canvas, *frame, *picture.curves, picture.scale);
    drawCriticalPoint(canvas, *frame, frame->xOf(-1.0), frame->yOf(0.0), "-1");
    wipeMargins(canvas, *frame, width, height);
    drawTickLabels(canvas, *frame, picture.scale);
    std::vector<std::string> extra{rangeLegend(*picture.curves)};
    if (picture.scale.r0 > 0.0) extra.emplace_back("escala comprimida: um anel por década");
    drawChartLegend(canvas, *frame, *picture.curves, extra);
}

std::optional<StabilityReading> readNyquist(const NyquistPicture& picture, int width, int height,
                                            double x, double y) {
    const std::optional<ChartFrame> frame = nyquistFrame(width, height, picture.region);
    if (!frame || !picture.curves || !frame->contains(x, y)) return std::nullopt;
    double best = std::numeric_limits<double>::infinity();
    std::optional<StabilityReading> reading;
    for (const StabilityCurve& curve : picture.curves->curves) {
        const std::vector<std::complex<double>> points = nyquistPoints(curve, picture.scale);
        nearestOnPath(*frame, points, curve, false, x, y, best, reading);
        nearestOnPath(*frame, mirrored(points), curve, true, x, y, best, reading);
    }
    return reading;
}

}  // namespace corvane
