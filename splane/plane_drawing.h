// What the s-plane map and the stability charts (Nyquist, Nichols) draw alike on their plot
// rectangle: the rectangle inside the margins of the plot window, lines clipped to it, and
// the tick marks of its bottom and left edges with their labels.
#pragma once

#include <optional>
#include <string>

#include "plot_canvas.h"
#include "pole_zero_map.h"

namespace corvane {

/// The plot rectangle in pixels, x0 ≤ x ≤ x1 and y0 ≤ y ≤ y1.
struct PlotRectangle {
    int x0 = 0;
    int x1 = 0;
    int y0 = 0;
    int y1 = 0;
};

/// The rectangle of any frame that has one.
template <class Frame>
PlotRectangle rectangleOf(const Frame& frame) {
    return {frame.x0, frame.x1, frame.y0, frame.y1};
}

/// The plot rectangle of a `width` × `height` surface inside the margins of the plot
/// window; none when it is narrower or lower than 2 pixels.
std::optional<PlotRectangle> plotRectangle(int width, int height);

/// Whether both spans of `region` are positive and finite, so that a scale can be made.
bool hasUsableSpans(const PlaneRegion& region);

/// The line from (xa, ya) to (xb, yb), pixels, the part inside `rectangle` only; nothing
/// for a point that is not finite.
void drawLineInRectangle(PlotCanvas& canvas, const PlotRectangle& rectangle, double xa,
                         double ya, double xb, double yb);

/// A tick mark at column `x` of the bottom edge, `label` centred under it and kept on the
/// surface left of the rectangle's right edge.
void drawBottomTick(PlotCanvas& canvas, const PlotRectangle& rectangle, int x,
                    const std::string& label);

/// A tick mark at row `y` of the left edge, `label` left of it and kept within the rows of
/// the rectangle.
void drawLeftTick(PlotCanvas& canvas, const PlotRectangle& rectangle, int y,
                  const std::string& label);

/// A tick value with an SI prefix and no unit, as compact as a tick needs: "20M", "-1.5k".
std::string tickText(double value);

/// An imaginary tick value: "j2k", "-j500".
std::string imaginaryTickText(double value);

}  // namespace corvane
