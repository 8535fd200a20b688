// The Nichols chart on the plot canvas: open-loop gain (dB, up) against open-loop phase
// (degrees, right), the phase unwrapped along each curve, the M-circles of constant
// closed-loop gain, the critical point (-180°, 0 dB) and its repeats every 360°, arrows the
// way ω grows.
#pragma once

#include <optional>

#include "chart_drawing.h"
#include "plot_canvas.h"
#include "pole_zero_map.h"
#include "stability_curves.h"

namespace corvane {

struct NicholsPicture {
    const StabilityCurves* curves = nullptr;
    /// Phase (degrees) from reMin to reMax, gain (dB) from imMin to imMax.
    PlaneRegion region;
};

/// Gains further than this below the highest are left out of a fitted chart.
inline constexpr double FittedGainDepth = 80.0;

/// The region that shows every curve point within FittedGainDepth of the highest gain and
/// the critical point, the phase widened to multiples of 45° and the gain to multiples of
/// 10 dB.
PlaneRegion fittedNicholsRegion(const StabilityCurves& curves);

std::optional<ChartFrame> nicholsFrame(int width, int height, const PlaneRegion& region);

void drawNichols(PlotCanvas& canvas, int width, int height, const NicholsPicture& picture);

/// The curve point nearest to pixel (x, y); none outside the frame.
std::optional<StabilityReading> readNichols(const NicholsPicture& picture, int width, int height,
                                            double x, double y);

/// The chart points of `curve` as (phase, gain) complex values, for the path helpers.
std::vector<std::complex<double>> nicholsPath(const StabilityCurve& curve);

}  // namespace corvane
