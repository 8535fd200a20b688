// Pictures for reports: the same drawing on a white page instead of the screen's black.
// A canvas that stands between any paint and the real canvas and gives every colour its
// counterpart on white, so no paint needs to know about the background.
#pragma once

#include <string_view>

#include "plot_canvas.h"

namespace corvane {

/// The colour that stands for `colour` on a white background: black and white trade
/// places, the grey of the grid turns lighter, and every other colour is darkened to about
/// half its brightness so that yellow, green or cyan lines and texts still read on white.
Colour onLightBackground(Colour colour);

/// Passes every operation on to `target` with its colours turned by onLightBackground.
class LightBackgroundCanvas final : public PlotCanvas {
public:
    explicit LightBackgroundCanvas(PlotCanvas& target) : target_(target) {}

    void fillRectangle(int left, int top, int right, int bottom, Colour colour) override;
    void setPen(Colour colour, PenStyle style) override;
    void drawLine(int xa, int ya, int xb, int yb) override;
    void drawOutline(int left, int top, int right, int bottom, Colour colour) override;
    int textWidth(std::string_view text) override;
    void drawText(int left, int top, std::string_view text, Colour colour,
                  Colour background) override;

private:
    PlotCanvas& target_;
};

}  // namespace corvane
