#include "nichols_paint.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "axis_ticks.h"
#include "engineering_text.h"
#include "plane_drawing.h"
#include "plot_frame.h"
#include "time_plot.h"

namespace corvane {

namespace {

constexpr double Turn = 360.0;
constexpr double CriticalPhase = -180.0;
constexpr double PhaseRounding = 45.0;
constexpr double GainRounding = 10.0;

std::string degreesText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g°", value == 0.0 ? 0.0 : value);
    return text;
}

// Grid steps of the phase axis: a divisor of a turn that leaves at most 12 lines.
double phaseStep(double span) {
    for (const double step : {5.0, 15.0, 30.0, 45.0, 90.0, 180.0}) {
        if (span / step <= 12.0) return step;
    }
    return Turn * std::ceil(span / (12.0 * Turn));
}

// The phases of the grid lines shown: at most a dozen or so, and none when the step is lost
// in the rounding of the values (a view panned far away), so no loop can stall.
std::vector<double> phaseTicks(const PlaneRegion& shown) {
    const double step = phaseStep(shown.reMax - shown.reMin);
    const double first = std::ceil(shown.reMin / step) * step;
    std::vector<double> ticks;
    if (!std::isfinite(first) || first + step == first) return ticks;
    for (int i = 0; i <= 24; ++i) {
        const double a = first + i * step;
        if (a > shown.reMax) break;
        ticks.push_back(a);
    }
    return ticks;
}

// The shifts by whole turns that bring [low, high] into the phase range shown.
std::vector<double> turnsShown(const PlaneRegion& shown, double low, double high) {
    std::vector<double> shifts;
    const double first = std::ceil((shown.reMin - high) / Turn);
    const double last = std::floor((shown.reMax - low) / Turn);
    for (double k = first; k <= last && shifts.size() < 64; k += 1.0)
        shifts.push_back(k * Turn);
    return shifts;
}

void drawGrid(PlotCanvas& canvas, const ChartFrame& frame) {
    const PlaneRegion& shown = frame.region;
    canvas.setPen(Grey, PenStyle::Dotted);
    for (const double a : phaseTicks(shown))
        drawClippedLine(canvas, frame, frame.xOf(a), frame.y0, frame.xOf(a), frame.y1);
    for (const double b : linearTicks(shown.imMin, shown.imMax))
        drawClippedLine(canvas, frame, frame.x0, frame.yOf(b), frame.x1, frame.yOf(b));
}

void drawMContours(PlotCanvas& canvas, const ChartFrame& frame) {
    for (const double gain : MCircleGains) {
        const std::vector<std::vector<ChartPoint>> runs = mContour(gain);
        char label[32];
        std::snprintf(label, sizeof label, "%g dB", gain);
        for (const std::vector<ChartPoint>& run : runs) {
            double low = std::numeric_limits<double>::infinity();
            double high = -low;
            for (const ChartPoint& p : run) {
                low = std::min(low, p.phase);
                high = std::max(high, p.phase);
            }
            for (const double shift : turnsShown(frame.region, low, high)) {
                std::vector<std::complex<double>> points;
                for (const ChartPoint& p : run)
                    points.emplace_back(p.phase + shift, p.gain);
                canvas.setPen(Grey, PenStyle::Dotted);
                drawChartPath(canvas, frame, points);
                // Labels apart: a closed contour at its top, the others where they cross a
                // phase that spreads them (-90°, -135° for 0 dB) near the critical point.
                const double labelPhase = shift + CriticalPhase + (gain == 0.0 ? 45.0 : 90.0);
                const auto top = std::max_element(
                    points.begin(), points.end(),
                    [](const auto& a, const auto& b) { return a.imag() < b.imag(); });
                const auto across = std::min_element(
                    points.begin(), points.end(), [labelPhase](const auto& a, const auto& b) {
                        return std::fabs(a.real() - labelPhase) < std::fabs(b.real() - labelPhase);
                    });
                const auto at = gain > 0.0 ? top : across;
                const double x = frame.xOf(at->real());
                const double y = frame.yOf(at->imag());
                // Below the point where the frame's top would cut the text.
                const int row = nearest(y) - ChartRowHeight >= frame.y0 ? nearest(y) - ChartRowHeight
                                                                        : nearest(y) + 2;
                if (frame.contains(x, y)) canvas.drawText(nearest(x) + 2, row, label, Grey, Black);
            }
        }
    }
}

void drawTickLabels(PlotCanvas& canvas, const ChartFrame& frame) {
    const PlaneRegion& shown = frame.region;
    canvas.setPen(White, PenStyle::Solid);
    for (const double a : phaseTicks(shown)) {
        drawBottomTick(canvas, rectangleOf(frame), nearest(frame.xOf(a)), degreesText(a));
    }
    for (const double b : linearTicks(shown.imMin, shown.imMax)) {
        drawLeftTick(canvas, rectangleOf(frame), nearest(frame.yOf(b)), engineeringText(b) + " dB");
    }
}

std::vector<std::complex<double>> pixelsOf(const ChartFrame& frame,
                                           const std::vector<std::complex<double>>& path) {
    std::vector<std::complex<double>> pixels;
    pixels.reserve(path.size());
    for (const std::complex<double>& p : path)
        pixels.emplace_back(frame.xOf(p.real()), frame.yOf(p.imag()));
    return pixels;
}

void drawCurve(PlotCanvas& canvas, const ChartFrame& frame, const StabilityCurve& curve) {
    const std::vector<std::complex<double>> path = nicholsPath(curve);
    canvas.setPen(timeCurveColour(curve.curve), PenStyle::Solid);
    drawChartPath(canvas, frame, path);
    const std::vector<double> omegas = sampleOmegas(curve);
    for (const CurveArrow& arrow : arrowsAlong(pixelsOf(frame, path), omegas)) {
        drawArrowHead(canvas, frame, arrow.at.real(), arrow.at.imag(), arrow.direction.real(),
                      arrow.direction.imag());
    }
}

}  // namespace

std::vector<std::complex<double>> nicholsPath(const StabilityCurve& curve) {
    std::vector<std::complex<double>> path;
    for (const ChartPoint& p : nicholsPoints(curve))
        path.emplace_back(p.phase, p.gain);
    return path;
}

PlaneRegion fittedNicholsRegion(const StabilityCurves& curves) {
    double phaseLow = CriticalPhase;
    double phaseHigh = CriticalPhase;
    double gainHigh = 0.0;
    std::vector<ChartPoint> all;
    for (const StabilityCurve& curve : curves.curves) {
        for (const ChartPoint& p : nicholsPoints(curve)) {
            if (std::isfinite(p.gain) && std::isfinite(p.phase)) all.push_back(p);
        }
    }
    for (const ChartPoint& p : all)
        gainHigh = std::max(gainHigh, p.gain);
    double gainLow = 0.0;
    for (const ChartPoint& p : all) {
        if (p.gain < gainHigh - FittedGainDepth) continue;
        gainLow = std::min(gainLow, p.gain);
        phaseLow = std::min(phaseLow, p.phase);
        phaseHigh = std::max(phaseHigh, p.phase);
    }
    PlaneRegion region;
    region.reMin = std::floor(phaseLow / PhaseRounding) * PhaseRounding - PhaseRounding;
    region.reMax = std::ceil(phaseHigh / PhaseRounding) * PhaseRounding + PhaseRounding;
    region.imMin = std::floor(gainLow / GainRounding) * GainRounding - GainRounding;
    region.imMax = std::ceil(gainHigh / GainRounding) * GainRounding + GainRounding;
    return region;
}

std::optional<ChartFrame> nicholsFrame(int width, int height, const PlaneRegion& region) {
    return makeChartFrame(width, height, region, false);
}

void drawNichols(PlotCanvas& canvas, int width, int height, const NicholsPicture& picture) {
    canvas.fillRectangle(0, 0, std::clamp(width, 0, PixelLimit), std::clamp(height, 0, PixelLimit),
                         Black);
    const std::optional<ChartFrame> frame = nicholsFrame(width, height, picture.region);
    if (!frame || !picture.curves) return;
    drawGrid(canvas, *frame);
    drawMContours(canvas, *frame);
    for (const StabilityCurve& curve : picture.curves->curves)
        drawCurve(canvas, *frame, curve);
    for (const double shift : turnsShown(frame->region, CriticalPhase, CriticalPhase)) {
        drawCriticalPoint(canvas, *frame, frame->xOf(CriticalPhase + shift), frame->yOf(0.0),
                          shift == 0.0 ? "-180°, 0 dB" : "");
    }
    wipeMargins(canvas, *frame, width, height);
    drawTickLabels(canvas, *frame);
    drawChartLegend(canvas, *frame, *picture.curves,
                    {rangeLegend(*picture.curves), "em cinza: |H/(1+H)| constante"});
}

std::optional<StabilityReading> readNichols(const NicholsPicture& picture, int width, int height,
                                            double x, double y) {
    const std::optional<ChartFrame> frame = nicholsFrame(width, height, picture.region);
    if (!frame || !picture.curves || !frame->contains(x, y)) return std::nullopt;
    double best = std::numeric_limits<double>::infinity();
    std::optional<StabilityReading> reading;
    for (const StabilityCurve& curve : picture.curves->curves)
        nearestOnPath(*frame, nicholsPath(curve), curve, false, x, y, best, reading);
    return reading;
}

}  // namespace corvane
