// What the pointer reads over the frequency plot: the frequency under it and the response
// of the curve whose gain is nearest to it there, computed from the curve's polynomials at
// exactly that frequency (never interpolated from the table). Also the markers a click
// leaves on a curve, kept by frequency so that pan and zoom do not move them off it.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include "curve_labels.h"
#include "frequency_response.h"
#include "plot_data.h"
#include "plot_frame.h"

namespace corvane {

/// The values under the pointer.
struct CursorReading {
    /// In the unit of the axis: Hz when `hz`, else rad/s.
    double frequency = 0.0;
    bool hz = false;
    /// The curve read, from 1.
    int curve = 0;
    CurveResponse response;
    /// Of a noise density (its phase and delay are NaN): what it is, and its unit.
    std::optional<std::string> densityTitle;
    std::string densityUnit;
};

/// The frequency (axis unit) at pixel column `x` of `frame`.
double frequencyAtColumn(const PlotFrame& frame, double x);

/// The pixel column of the frequency `w` (axis unit) on `frame`.
double columnOfFrequency(const PlotFrame& frame, double w);

/// Whether (x, y) lies on the plot rectangle of `frame`, edges included.
bool insidePlotRectangle(const PlotFrame& frame, double x, double y);

/// The reading at the point (x, y) of `frame`: the frequency of column x and, of curves
/// 1 .. `curveCount`, the one whose gain there lies nearest to the gain of row y. No
/// reading when the point is outside the plot rectangle or no curve has a finite gain
/// there.
std::optional<CursorReading> readCursor(const PlotFrame& frame, const PlotCurves& curves,
                                        int curveCount, double x, double y, bool hz);

/// The reading of curve `k` at the frequency `w` (axis unit); none when its gain there is
/// not finite.
std::optional<CursorReading> readCurveAt(const PlotCurves& curves, int k, double w, bool hz);

/// The reading as one line of text: frequency, curve number and label (curve_labels.h),
/// gain, phase and group delay; of a density, the curve's title and the density
/// in its unit with an SI prefix ("12.3 nV/√Hz") and in dB.
std::string cursorText(const CursorReading& reading, const CurveLabels& labels);

/// A marker: a curve and the angular frequency ω (rad/s) where it was placed.
struct PlotMarker {
    int curve = 0;
    double omega = 0.0;
};

/// At most this many markers are kept; a new one beyond replaces the oldest.
inline constexpr std::size_t MaxMarkers = 8;

}  // namespace corvane
