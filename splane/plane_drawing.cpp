#include "plane_drawing.h"

#include <algorithm>
#include <cmath>

#include "plot_frame.h"
#include "plot_paint.h"
#include "time_plot.h"

namespace corvane {

namespace {

// The height of a text row, in pixels.
constexpr int RowHeight = 12;
constexpr int TickLength = 3;

}  // namespace

std::optional<PlotRectangle> plotRectangle(int width, int height) {
    PlotRectangle rectangle;
    rectangle.x0 = LeftMargin;
    rectangle.x1 = std::clamp(width, 0, PixelLimit) - RightMargin;
    rectangle.y0 = TopMargin;
    rectangle.y1 = std::clamp(height, 0, PixelLimit) - BottomMargin;
    if (rectangle.x1 - rectangle.x0 < 2 || rectangle.y1 - rectangle.y0 < 2) return std::nullopt;
    return rectangle;
}

bool hasUsableSpans(const PlaneRegion& region) {
    const double reSpan = region.reMax - region.reMin;
    const double imSpan = region.imMax - region.imMin;
    return reSpan > 0.0 && imSpan > 0.0 && std::isfinite(reSpan) && std::isfinite(imSpan);
}

// Liang-Barsky: the part of the segment inside the rectangle, or nothing. A finite change
// (dx, dy) also means a finite start.
void drawLineInRectangle(PlotCanvas& canvas, const PlotRectangle& rectangle, double xa,
                         double ya, double xb, double yb) {
    const double dx = xb - xa;
    const double dy = yb - ya;
    if (!std::isfinite(xa) || !std::isfinite(ya) || !std::isfinite(dx) || !std::isfinite(dy))
        return;
    double t0 = 0.0;
    double t1 = 1.0;
    const auto clip = [&](double p, double q) {
        if (p == 0.0) return q >= 0.0;
        const double t = q / p;
        if (p < 0.0) {
            if (t > t1) return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0) return false;
            t1 = std::min(t1, t);
        }
        return true;
    };
    if (!clip(-dx, xa - rectangle.x0) || !clip(dx, rectangle.x1 - xa) ||
        !clip(-dy, ya - rectangle.y0) || !clip(dy, rectangle.y1 - ya))
        return;
    canvas.drawLine(nearest(xa + t0 * dx), nearest(ya + t0 * dy), nearest(xa + t1 * dx),
                    nearest(ya + t1 * dy));
}

void drawBottomTick(PlotCanvas& canvas, const PlotRectangle& rectangle, int x,
                    const std::string& label) {
    canvas.drawLine(x, rectangle.y1 - TickLength, x, rectangle.y1);
    const int width = canvas.textWidth(label);
    canvas.drawText(std::clamp(x - width / 2, 0, std::max(0, rectangle.x1 - width)),
                    rectangle.y1 + 1, label, White, Black);
}

void drawLeftTick(PlotCanvas& canvas, const PlotRectangle& rectangle, int y,
                  const std::string& label) {
    canvas.drawLine(rectangle.x0, y, rectangle.x0 + TickLength, y);
    canvas.drawText(rectangle.x0 - canvas.textWidth(label) - 2,
                    std::clamp(y - RowHeight / 2, 0, std::max(0, rectangle.y1 - RowHeight)),
                    label, White, Black);
}

std::string tickText(double value) {
    std::string text = valueWithUnit(value, "x");
    text.pop_back();
    text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
    return text;
}

// Built by appending: GCC 12 at -O2 takes a literal + string for an overlapping copy
// (-Wrestrict).
std::string imaginaryTickText(double value) {
    std::string label = value < 0.0 ? "-j" : "j";
    label += tickText(std::fabs(value));
    return label;
}

}  // namespace corvane
