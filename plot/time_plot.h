// The drawing of responses in time onto a canvas: x(t) of each curve in its own colour,
// a grid at 1-2-5 steps on both axes with values and units, and the legend. Nothing here
// evaluates a curve: the caller gives the values at evenly spaced times.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "axis_ticks.h"
#include "plot_canvas.h"

namespace corvane {

/// One curve sampled at `values.size()` evenly spaced times from the range's start to its
/// end. A value that is not finite breaks the line.
struct TimeCurve {
    /// The numerator's list line; the legend shows its file name unless `label` names the
    /// curve.
    std::string file;
    /// "V", "A", or empty when the variable's unit is not known.
    std::string unit;
    std::vector<double> values;
    /// The time from which x(t) passes the largest double; the values are NaN from there.
    std::optional<double> overflowFrom;
    /// What the legend calls the curve (curve_labels.h); empty: its file name.
    std::string label = {};
};

struct TimeRange {
    double tmin = 0.0;
    double tmax = 1.0;
    double vmin = -1.0;
    double vmax = 1.0;
};

/// The colour of curve `k` (from 1); neighbouring curves differ, and the list repeats
/// only beyond a screenful of curves.
Colour timeCurveColour(int k);

/// `value` with an SI prefix and `unit`, three significant digits: "2.5 ms", "-400 mV",
/// "0 s"; with no unit a plain number ("1.5e-07").
std::string valueWithUnit(double value, std::string_view unit);

/// A vertical range that holds every finite value of `curves` with a small margin above
/// and below; a flat curve gets a range around its value, no value at all gives -1 .. 1.
void fitVerticalRange(TimeRange& range, std::span<const TimeCurve> curves);

/// The unit all curves share, or empty when they differ or none is known.
std::string sharedUnit(std::span<const TimeCurve> curves);

/// The whole picture on a `width` × `height` surface: black background, white frame,
/// dotted grey grid, tick values below and left of the frame, the curves clipped to the
/// frame, and the legend "k: file" in the top right corner in each curve's colour.
void drawTimePlot(PlotCanvas& canvas, int width, int height, const TimeRange& range,
                  std::span<const TimeCurve> curves);

/// The time at pixel column `x` of a `width` wide surface, and the index of the sample
/// nearest to it among `points` samples; no sample when x is outside the frame.
double timeAtColumn(int x, int width, const TimeRange& range);
/// The pixel column of time `t` on a `width` wide surface.
double columnOfTime(double t, int width, const TimeRange& range);
/// The value at pixel row `y` of a `height` high surface, and the row of value `v`.
double valueAtRow(int y, int height, const TimeRange& range);
double rowOfValue(double v, int height, const TimeRange& range);
int sampleAtColumn(int x, int width, const TimeRange& range, int points);

}  // namespace corvane
