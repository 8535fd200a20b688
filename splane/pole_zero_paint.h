// The drawing of the s-plane on the plot canvas: the pole-zero map of the listed curves and,
// when there is one, the root locus, with one scale on both axes. Nothing here computes a
// root or keeps state between paints.
#pragma once

#include <array>
#include <string>

#include "plot_canvas.h"
#include "plot_data.h"
#include "pole_zero_map.h"
#include "root_locus.h"

namespace corvane {

struct PlanePicture {
    const PoleZeroMap* map = nullptr;
    /// The list line of each curve's numerator, for the legend.
    /// What the legend calls each curve (curve_labels.h).
    const std::array<std::string, MaxCurves + 1>* curveLabels = nullptr;
    /// The locus, drawn in the colour of curve `locusCurve`; none when null.
    const RootLocus* locus = nullptr;
    int locusCurve = 1;
    /// The region asked for; the frame shows at least this, centred.
    PlaneRegion region;
};

/// The whole picture on a `width` × `height` surface: black background, white frame, the
/// dotted grid of constant ω0 (circles) and constant damping (rays on the left half), the
/// axes through the origin, tick values below and left of the frame, the locus traces
/// with the nominal poles in white squares and the value at a few points, poles as ×
/// and zeros as ○ in each curve's colour with the order of a multiple root beside it, and
/// the legend "k: file" in the top right corner.
void drawPoleZeroPlane(PlotCanvas& canvas, int width, int height, const PlanePicture& picture);

/// The damping ratios of the grid's rays.
inline constexpr std::array<double, 6> GridDampings{0.1, 0.2, 0.3, 0.5, 0.707, 0.9};

/// Half the size, in pixels, of a root's marker.
inline constexpr int MarkerHalfSize = 4;

}  // namespace corvane
