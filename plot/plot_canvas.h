// The few drawing operations the plot needs. The plot window adapts them to its toolkit,
// the image export to an image, the tests to a recorder.
#pragma once

#include <string_view>

namespace corvane {

struct Colour {
    int red = 0;
    int green = 0;
    int blue = 0;

    friend bool operator==(const Colour&, const Colour&) = default;
};

inline constexpr Colour Black{0, 0, 0};
inline constexpr Colour White{255, 255, 255};
inline constexpr Colour Green{0, 255, 0};
inline constexpr Colour Red{255, 0, 0};
inline constexpr Colour Grey{128, 128, 128};
inline constexpr Colour Yellow{255, 255, 0};

enum class PenStyle { Solid, Dotted };

/// Pixel coordinates: x to the right, y downwards, (0, 0) the top-left pixel of the
/// surface. Coordinates may lie outside the surface; what falls outside is not seen.
class PlotCanvas {
public:
    virtual ~PlotCanvas() = default;

    /// Fills columns left .. right - 1 of rows top .. bottom - 1.
    virtual void fillRectangle(int left, int top, int right, int bottom, Colour colour) = 0;

    /// The pen of the lines drawn from now on: one pixel wide.
    virtual void setPen(Colour colour, PenStyle style) = 0;

    /// A line from (xa, ya) to (xb, yb) with the current pen.
    virtual void drawLine(int xa, int ya, int xb, int yb) = 0;

    /// A one-pixel outline on columns left and right - 1 and rows top and bottom - 1.
    virtual void drawOutline(int left, int top, int right, int bottom, Colour colour) = 0;

    /// The width in pixels that drawText takes for `text` (UTF-8).
    virtual int textWidth(std::string_view text) = 0;

    /// Draws `text` (UTF-8) with the top-left corner of its box at (left, top), in
    /// `colour` on a box filled with `background`.
    virtual void drawText(int left, int top, std::string_view text, Colour colour,
                          Colour background) = 0;
};

}  // namespace corvane
