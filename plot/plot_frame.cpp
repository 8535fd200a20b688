#include "plot_frame.h"

#include <algorithm>
#include <cmath>

#include "frequency_response.h"

namespace corvane {

namespace {

// Window sizes come from the toolkit; held here, their arithmetic cannot overflow.
int clampedExtent(int extent) {
    return std::clamp(extent, 0, PixelLimit);
}

VerticalMap verticalMap(const PlotFrame& frame, double min, double max) {
    VerticalMap map;
    map.a = (frame.y1 - frame.y0) / (min - max);
    map.b = frame.y1 - map.a * min;
    return map;
}

}  // namespace

PlotFrame makePlotFrame(int width, int height, const PlotParameters& p, bool logarithmic) {
    PlotFrame frame;
    frame.x0 = LeftMargin;
    frame.x1 = clampedExtent(width) - RightMargin;
    frame.y0 = TopMargin;
    frame.y1 = clampedExtent(height) - BottomMargin;
    frame.logarithmic = logarithmic;
    frame.step = frequencyStep(p.wmin, p.wmax, p.segmentos, logarithmic);
    if (logarithmic) {
        frame.ax = (frame.x1 - frame.x0) / std::log(p.wmax / p.wmin);
        frame.bx = frame.x1 - std::log(p.wmax) * frame.ax;
    } else {
        frame.ax = (frame.x1 - frame.x0) / (p.wmax - p.wmin);
        frame.bx = frame.x1 - frame.ax * p.wmax;
    }
    frame.dx = (frame.x1 - frame.x0) * 1.0 / p.segmentos;
    for (const PlotQuantityRow& q : PlotQuantities) {
        frame.maps[static_cast<std::size_t>(q.quantity)] =
            verticalMap(frame, p.*q.minBox.parameter, p.*q.maxBox.parameter);
    }
    return frame;
}

int nearest(double v) {
    if (!(v >= -PixelLimit)) return -PixelLimit;
    if (v > PixelLimit) return PixelLimit;
    return static_cast<int>(std::floor(v + 0.5));
}

std::optional<int> toPixelY(const PlotFrame& frame, const VerticalMap& map, double v) {
    const double y = map.a * v + map.b;
    if (std::isnan(y)) return std::nullopt;
    if (y < frame.y0) return frame.y0;
    if (y > frame.y1) return frame.y1;
    return nearest(y);
}

}  // namespace corvane
