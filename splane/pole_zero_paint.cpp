#include "pole_zero_paint.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "axis_ticks.h"
#include "plane_drawing.h"
#include "plot_frame.h"
#include "plot_paint.h"
#include "time_plot.h"

namespace corvane {

namespace {

constexpr int RowHeight = 12;
constexpr int LegendInset = 4;
constexpr int CircleSegments = 96;

// The part of the line inside the plot rectangle, drawn; nothing when it misses it.
void drawClipped(PlotCanvas& canvas, const PlaneFrame& frame, double xa, double ya, double xb,
                 double yb) {
    drawLineInRectangle(canvas, rectangleOf(frame), xa, ya, xb, yb);
}

// How far the farthest corner of the shown region is from the origin.
double farthestCorner(const PlaneRegion& r) {
    return std::max({std::hypot(r.reMin, r.imMin), std::hypot(r.reMin, r.imMax),
                     std::hypot(r.reMax, r.imMin), std::hypot(r.reMax, r.imMax)});
}

void drawGrid(PlotCanvas& canvas, const PlaneFrame& frame) {
    const PlaneRegion shown = frame.shown();
    const double reach = farthestCorner(shown);
    canvas.setPen(Grey, PenStyle::Dotted);
    for (const double radius : linearTicks(0.0, reach)) {
        if (radius <= 0.0) continue;
        for (int i = 0; i < CircleSegments; ++i) {
            const double a = 2.0 * std::numbers::pi * i / CircleSegments;
            const double b = 2.0 * std::numbers::pi * (i + 1) / CircleSegments;
            drawClipped(canvas, frame, frame.xOf(radius * std::cos(a)),
                        frame.yOf(radius * std::sin(a)), frame.xOf(radius * std::cos(b)),
                        frame.yOf(radius * std::sin(b)));
        }
    }
    for (const double zeta : GridDampings) {
        const double re = -zeta * reach;
        const double im = std::sqrt(1.0 - zeta * zeta) * reach;
        drawClipped(canvas, frame, frame.originX, frame.originY, frame.xOf(re), frame.yOf(im));
        drawClipped(canvas, frame, frame.originX, frame.originY, frame.xOf(re), frame.yOf(-im));
    }
    canvas.setPen(Grey, PenStyle::Solid);
    drawClipped(canvas, frame, frame.x0, frame.originY, frame.x1, frame.originY);
    drawClipped(canvas, frame, frame.originX, frame.y0, frame.originX, frame.y1);
}

void drawTickLabels(PlotCanvas& canvas, const PlaneFrame& frame) {
    const PlaneRegion shown = frame.shown();
    canvas.setPen(White, PenStyle::Solid);
    for (const double re : linearTicks(shown.reMin, shown.reMax)) {
        drawBottomTick(canvas, rectangleOf(frame), nearest(frame.xOf(re)), tickText(re));
    }
    for (const double im : linearTicks(shown.imMin, shown.imMax)) {
        drawLeftTick(canvas, rectangleOf(frame), nearest(frame.yOf(im)), imaginaryTickText(im));
    }
    const std::string unit = "rad/s";
    canvas.drawText(frame.x0 - canvas.textWidth(unit) - 2, frame.y1 + 1, unit, White, Black);
}

bool inside(const PlaneFrame& frame, double x, double y) {
    return x >= frame.x0 && x <= frame.x1 && y >= frame.y0 && y <= frame.y1;
}

void drawPoleMark(PlotCanvas& canvas, int x, int y) {
    canvas.drawLine(x - MarkerHalfSize, y - MarkerHalfSize, x + MarkerHalfSize, y + MarkerHalfSize);
    canvas.drawLine(x - MarkerHalfSize, y + MarkerHalfSize, x + MarkerHalfSize, y - MarkerHalfSize);
}

void drawZeroMark(PlotCanvas& canvas, int x, int y) {
    constexpr int Segments = 16;
    for (int i = 0; i < Segments; ++i) {
        const double a = 2.0 * std::numbers::pi * i / Segments;
        const double b = 2.0 * std::numbers::pi * (i + 1) / Segments;
        canvas.drawLine(
            nearest(x + MarkerHalfSize * std::cos(a)), nearest(y + MarkerHalfSize * std::sin(a)),
            nearest(x + MarkerHalfSize * std::cos(b)), nearest(y + MarkerHalfSize * std::sin(b)));
    }
}

void drawRoots(PlotCanvas& canvas, const PlaneFrame& frame, const PoleZeroMap& map) {
    for (const MapRoot& root : map.roots) {
        const double x = frame.xOf(root.value.real());
        const double y = frame.yOf(root.value.imag());
        if (!inside(frame, x, y)) continue;
        const Colour colour = timeCurveColour(root.curve);
        canvas.setPen(colour, PenStyle::Solid);
        if (root.role == RootRole::Pole) {
            drawPoleMark(canvas, nearest(x), nearest(y));
        } else {
            drawZeroMark(canvas, nearest(x), nearest(y));
        }
        if (root.multiplicity > 1) {
            // Zeros write their order below, poles above, so a pole on a zero shows both.
            const int top = root.role == RootRole::Pole ? nearest(y) - MarkerHalfSize - RowHeight
                                                        : nearest(y) + MarkerHalfSize;
            canvas.drawText(nearest(x) + MarkerHalfSize + 1, top, std::to_string(root.multiplicity),
                            colour, Black);
        }
    }
}

void drawLocus(PlotCanvas& canvas, const PlaneFrame& frame, const RootLocus& locus, int curve) {
    const Colour colour = timeCurveColour(curve);
    canvas.setPen(colour, PenStyle::Solid);
    for (const LocusTrace& trace : locus.traces) {
        for (std::size_t i = 1; i < trace.points.size(); ++i) {
            drawClipped(canvas, frame, frame.xOf(trace.points[i - 1].real()),
                        frame.yOf(trace.points[i - 1].imag()), frame.xOf(trace.points[i].real()),
                        frame.yOf(trace.points[i].imag()));
        }
    }
    // The value at the ends and at three points between, on the upper half only: the
    // lower half mirrors it.
    const int count = static_cast<int>(locus.samples.size());
    std::vector<int> labelled;
    for (int q = 0; q <= 4 && count > 0; ++q)
        labelled.push_back((count - 1) * q / 4);
    labelled.erase(std::unique(labelled.begin(), labelled.end()), labelled.end());
    const std::string_view unit = valueUnit(locus.kind);
    for (const LocusTrace& trace : locus.traces) {
        for (std::size_t i = 0; i < trace.samples.size(); ++i) {
            if (std::find(labelled.begin(), labelled.end(), trace.samples[i]) == labelled.end())
                continue;
            const std::complex<double> p = trace.points[i];
            const double x = frame.xOf(p.real());
            const double y = frame.yOf(p.imag());
            if (p.imag() < 0.0 || !inside(frame, x, y)) continue;
            canvas.fillRectangle(nearest(x) - 1, nearest(y) - 1, nearest(x) + 2, nearest(y) + 2,
                                 colour);
            const std::string text = valueWithUnit(
                locus.samples[static_cast<std::size_t>(trace.samples[i])].value, unit);
            canvas.drawText(nearest(x) + 3, nearest(y) + 2, text, colour, Black);
        }
    }
    for (const std::complex<double>& p : locus.nominalPoles) {
        const double x = frame.xOf(p.real());
        const double y = frame.yOf(p.imag());
        if (!inside(frame, x, y)) continue;
        canvas.drawOutline(nearest(x) - MarkerHalfSize - 2, nearest(y) - MarkerHalfSize - 2,
                           nearest(x) + MarkerHalfSize + 3, nearest(y) + MarkerHalfSize + 3, White);
    }
}

void drawLegend(PlotCanvas& canvas, const PlaneFrame& frame, const PlanePicture& picture) {
    int row = 0;
    const auto line = [&](const std::string& text, Colour colour) {
        canvas.drawText(frame.x1 - LegendInset - canvas.textWidth(text),
                        frame.y0 + LegendInset + RowHeight * row++, text, colour, Black);
    };
    // Every listed curve, those without a finite root too: the list fills slots 1, 2, ...
    const auto& labels = *picture.curveLabels;
    for (int k = 1; k <= MaxCurves && !labels[static_cast<std::size_t>(k)].empty(); ++k)
        line(legendLine(k, labels[static_cast<std::size_t>(k)]), timeCurveColour(k));
    if (picture.locus) {
        const RootLocus& locus = *picture.locus;
        const std::string_view unit = valueUnit(locus.kind);
        line("lugar de " + locus.element + " (nominal " + valueWithUnit(locus.nominal, unit) + ")",
             White);
    }
}

}  // namespace

void drawPoleZeroPlane(PlotCanvas& canvas, int width, int height, const PlanePicture& picture) {
    canvas.fillRectangle(0, 0, std::clamp(width, 0, PixelLimit), std::clamp(height, 0, PixelLimit),
                         Black);
    const std::optional<PlaneFrame> frame = makePlaneFrame(width, height, picture.region);
    if (!frame) return;
    drawGrid(canvas, *frame);
    if (picture.locus) drawLocus(canvas, *frame, *picture.locus, picture.locusCurve);
    if (picture.map) drawRoots(canvas, *frame, *picture.map);
    // What a marker or a label left outside the rectangle is wiped before the ticks go there.
    canvas.fillRectangle(0, 0, frame->x0, height, Black);
    canvas.fillRectangle(frame->x1, 0, width, height, Black);
    canvas.fillRectangle(0, 0, width, frame->y0, Black);
    canvas.fillRectangle(0, frame->y1, width, height, Black);
    canvas.drawOutline(frame->x0, frame->y0, frame->x1 + 1, frame->y1 + 1, White);
    drawTickLabels(canvas, *frame);
    if (picture.map && picture.curveLabels) drawLegend(canvas, *frame, picture);
}

}  // namespace corvane
