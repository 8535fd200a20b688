// The markers a click leaves on the curves of the time plot, as on the frequency plot: a
// curve and the time where it was placed, kept by time so that the keys do not move them
// off the curve; the reading they log and the crosses that show them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "plot_canvas.h"
#include "time_curves.h"
#include "time_plot.h"

namespace corvane {

struct TimeMarker {
    /// The curve, from 1.
    int curve = 0;
    double t = 0.0;
};

/// The marker the pointer at (x, y) of a `width` × `height` time plot would place: the
/// time of column x and, of the curves shown, the one whose value there, computed at
/// exactly that time, lies nearest to the value of row y. None outside the frame or when
/// no curve has a finite value there.
std::optional<TimeMarker> timeMarkerAt(int x, int y, int width, int height, const TimeRange& range,
                                       const ListedTimeResponses& responses);

/// "t = 1 ms  1: rc.n2: 0.632121 V": the time, the curve's legend line and its value there,
/// with the unit of its variable when that is known.
std::string timeMarkerText(const TimeMarker& marker, const ListedTimeResponses& responses);

/// A small cross on each marker's curve at its time, in the curve's colour, as the
/// frequency plot draws its markers; only the markers inside the time and value ranges.
void drawTimeMarkers(PlotCanvas& canvas, int width, int height, const TimeRange& range,
                     const std::vector<TimeMarker>& markers, const ListedTimeResponses& responses);

}  // namespace corvane
