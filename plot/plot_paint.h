// The drawing of one plot onto a canvas: the grid, the labels and the curves, from the
// parameters, the check boxes, the frame of the surface and the response table. Nothing
// here evaluates a curve or keeps state between paints.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "curve_labels.h"
#include "plot_canvas.h"
#include "plot_cursor.h"
#include "plot_data.h"
#include "plot_frame.h"
#include "plot_hosts.h"
#include "response_table.h"

namespace corvane {

/// Dotted lines at the round values inside the frequency and gain ranges: on the
/// logarithmic axis at 2 .. 9 times each power of ten, the power itself in yellow; the
/// frame marks the limits.
void drawGrid(PlotCanvas& canvas, const PlotFrame& frame, const PlotParameters& p);

/// The range limits of every quantity shown, in its colour and with its unit, left of the
/// frame; the frequency limits and unit below it.
void drawLabels(PlotCanvas& canvas, const PlotFrame& frame, const PlotParameters& p,
                const PlotCheckBoxes& checkBoxes);

/// Runs before the segments that end at grid point `i` (grid value `w`) are drawn.
using PreparePoint = std::function<void(int i, double w)>;

/// The curves 1 .. `curveCount` from `table`, point by point across the grid and, within a
/// point, the last curve of the list first. `preparePoint` lets the caller fill the table
/// just in time, so what was drawn before a fault stays drawn.
void drawCurves(PlotCanvas& canvas, const PlotFrame& frame, const PlotParameters& p,
                const PlotCheckBoxes& checkBoxes, const ResponseTable& table, int curveCount,
                const PreparePoint& preparePoint);

/// The legend: in the top right corner of the frame one line "k: label" per curve (its
/// curveLabels entry, or what a density curve is and its unit) in
/// the colour of its gain, and the curve's number at the right end of its gain curve; with
/// `coloursPerCurve`, in the curve's own colour.
void drawLegend(PlotCanvas& canvas, const PlotFrame& frame, const PlotParameters& p,
                const ResponseTable& table, const PlotCurves& curves,
                const CurveLabels& labels, int curveCount, bool coloursPerCurve = false);

/// A small cross on each marker's curve at its frequency, in the curve's colour; only the
/// markers inside the frequency and gain ranges.
void drawMarkers(PlotCanvas& canvas, const PlotFrame& frame, const PlotParameters& p,
                 const PlotCurves& curves, const std::vector<PlotMarker>& markers, bool hz,
                 bool coloursPerCurve = false);

/// The text of the legend line of curve `k` called `label` (curve_labels.h): "1: v(saida)".
std::string legendLine(int k, std::string_view label);

}  // namespace corvane
