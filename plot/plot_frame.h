// The drawing geometry of one paint: the plot rectangle inside the surface and the maps
// from frequency, gain, phase and group delay to pixels.
#pragma once

#include <optional>

#include "plot_data.h"
#include "plot_quantities.h"

namespace corvane {

/// Margins around the plot rectangle: the value labels on the left, the frequency labels
/// below.
inline constexpr int LeftMargin = 70;
inline constexpr int RightMargin = 10;
inline constexpr int TopMargin = 10;
inline constexpr int BottomMargin = 18;

/// Pixel positions are held within ±PixelLimit: far outside any surface, and far inside
/// the range of int.
inline constexpr int PixelLimit = 1 << 20;

/// y = a·v + b: the minimum of the range on the bottom edge, the maximum on the top.
struct VerticalMap {
    double a = 0.0;
    double b = 0.0;
};

struct PlotFrame {
    int x0 = 0;
    int x1 = 0;
    int y0 = 0;
    int y1 = 0;
    bool logarithmic = false;
    /// The grid step: the ratio between neighbouring points (logarithmic) or their
    /// distance (linear).
    double step = 0.0;
    /// x = ax·u + bx with u = ln(w) (logarithmic) or w (linear); for the grid lines.
    double ax = 0.0;
    double bx = 0.0;
    /// Horizontal distance between neighbouring grid points.
    double dx = 0.0;
    /// The vertical map of each quantity, in PlotQuantities order.
    std::array<VerticalMap, PlotQuantityCount> maps{};

    const VerticalMap& map(PlotQuantity q) const { return maps[static_cast<std::size_t>(q)]; }
};

/// The plot rectangle of a `width` × `height` surface and the maps for `p`. Equal limits
/// divide by zero here, for the caller's floating-point checkpoint to catch.
PlotFrame makePlotFrame(int width, int height, const PlotParameters& p, bool logarithmic);

/// floor(v + 0.5) held within ±PixelLimit; a NaN goes to -PixelLimit, out of sight.
int nearest(double v);

/// The pixel row of `v`, clipped to the frame's top and bottom rows; no row for a value
/// that has no position (NaN, or an infinity on a flat map).
std::optional<int> toPixelY(const PlotFrame& frame, const VerticalMap& map, double v);

}  // namespace corvane
