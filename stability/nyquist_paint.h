// The Nyquist plot on the plot canvas: H(jω) of each listed curve for ω > 0 (solid) and its
// mirror for ω < 0 (dotted), arrows the way ω grows, the -1 point, the unit circle, the
// crossings of the negative real axis, one scale on both axes, linear or with the radius
// compressed so that the part near the origin reads.
#pragma once

#include <optional>

#include "chart_drawing.h"
#include "plot_canvas.h"
#include "pole_zero_map.h"
#include "stability_curves.h"

namespace corvane {

struct NyquistPicture {
    const StabilityCurves* curves = nullptr;
    /// r0 = 0: the linear plane.
    RadialScale scale;
    /// The region asked for, in drawn coordinates; the frame shows at least this, centred.
    PlaneRegion region;
};

/// The region that shows every drawn point, -1 and the origin, with a margin.
PlaneRegion fittedNyquistRegion(const StabilityCurves& curves, const RadialScale& scale);

/// The frame of a `width` × `height` surface for `region`, one scale both ways.
std::optional<ChartFrame> nyquistFrame(int width, int height, const PlaneRegion& region);

/// The whole picture on a `width` × `height` surface.
void drawNyquist(PlotCanvas& canvas, int width, int height, const NyquistPicture& picture);

/// The curve point (either branch) nearest to pixel (x, y); none outside the frame.
std::optional<StabilityReading> readNyquist(const NyquistPicture& picture, int width, int height,
                                            double x, double y);

/// The mirror of drawn points: the conjugates, for ω < 0.
std::vector<std::complex<double>> mirrored(const std::vector<std::complex<double>>& points);

}  // namespace corvane
