#include "time_markers.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "plot_frame.h"
#include "plot_paint.h"

namespace corvane {

namespace {

// The value of a marker's curve at its time; none for a curve not drawn or a value that
// is not finite.
std::optional<double> markerValue(const TimeMarker& marker, const ListedTimeResponses& responses) {
    if (marker.curve < 1 || marker.curve > static_cast<int>(responses.curves.size()))
        return std::nullopt;
    const ListedTimeResponse& curve = responses.curves[static_cast<std::size_t>(marker.curve - 1)];
    if (!curve.shown) return std::nullopt;
    const double value = curve.x.valueAt(marker.t);
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace

std::optional<TimeMarker> timeMarkerAt(int x, int y, int width, int height, const TimeRange& range,
                                       const ListedTimeResponses& responses) {
    if (x < LeftMargin || x > width - RightMargin || y < TopMargin || y > height - BottomMargin ||
        width - RightMargin <= LeftMargin || height - BottomMargin <= TopMargin)
        return std::nullopt;
    const double t = timeAtColumn(x, width, range);
    const double pointerValue = valueAtRow(y, height, range);
    std::optional<TimeMarker> nearest;
    double nearestDistance = std::numeric_limits<double>::infinity();
    for (int k = 1; k <= static_cast<int>(responses.curves.size()); ++k) {
        const std::optional<double> value = markerValue({k, t}, responses);
        if (!value) continue;
        const double distance = std::fabs(*value - pointerValue);
        if (!nearest || distance < nearestDistance) {
            nearest = TimeMarker{k, t};
            nearestDistance = distance;
        }
    }
    return nearest;
}

std::string timeMarkerText(const TimeMarker& marker, const ListedTimeResponses& responses) {
    std::string text = "t = " + valueWithUnit(marker.t, "s");
    if (marker.curve < 1 || marker.curve > static_cast<int>(responses.curves.size())) return text;
    const ListedTimeResponse& curve = responses.curves[static_cast<std::size_t>(marker.curve - 1)];
    text += "  ";
    text += legendLine(marker.curve, curve.label);
    text += ": ";
    const std::optional<double> value = markerValue(marker, responses);
    if (!value) return text + "sem valor";
    char number[64];
    std::snprintf(number, sizeof number, "%.6g", *value);
    text += number;
    if (!curve.unit.empty()) {
        text += ' ';
        text += curve.unit;
    }
    return text;
}

void drawTimeMarkers(PlotCanvas& canvas, int width, int height, const TimeRange& range,
                     const std::vector<TimeMarker>& markers, const ListedTimeResponses& responses) {
    constexpr int Arm = 4;
    if (width - RightMargin <= LeftMargin || height - BottomMargin <= TopMargin) return;
    for (const TimeMarker& marker : markers) {
        if (!(marker.t >= range.tmin && marker.t <= range.tmax)) continue;
        const std::optional<double> value = markerValue(marker, responses);
        if (!value || !(*value >= range.vmin && *value <= range.vmax)) continue;
        const int x = nearest(columnOfTime(marker.t, width, range));
        const int y = nearest(rowOfValue(*value, height, range));
        canvas.setPen(timeCurveColour(marker.curve), PenStyle::Solid);
        canvas.drawLine(x - Arm, y - Arm, x + Arm + 1, y + Arm + 1);
        canvas.drawLine(x - Arm, y + Arm, x + Arm + 1, y - Arm - 1);
    }
}

}  // namespace corvane
