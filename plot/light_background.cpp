#include "light_background.h"

namespace corvane {

namespace {

// About half the brightness: yellow becomes olive, green and cyan their dark shades.
constexpr int DarkenedPercent = 55;
// The dotted grid stays in the background on white as on black.
constexpr Colour LightGrey{176, 176, 176};

int darkened(int component) {
    return component * DarkenedPercent / 100;
}

}  // namespace

Colour onLightBackground(Colour colour) {
    if (colour == Black) return White;
    if (colour == White) return Black;
    if (colour == Grey) return LightGrey;
    return {darkened(colour.red), darkened(colour.green), darkened(colour.blue)};
}

void LightBackgroundCanvas::fillRectangle(int left, int top, int right, int bottom, Colour colour) {
    target_.fillRectangle(left, top, right, bottom, onLightBackground(colour));
}

void LightBackgroundCanvas::setPen(Colour colour, PenStyle style) {
    target_.setPen(onLightBackground(colour), style);
}

void LightBackgroundCanvas::drawLine(int xa, int ya, int xb, int yb) {
    target_.drawLine(xa, ya, xb, yb);
}

void LightBackgroundCanvas::drawOutline(int left, int top, int right, int bottom, Colour colour) {
    target_.drawOutline(left, top, right, bottom, onLightBackground(colour));
}

int LightBackgroundCanvas::textWidth(std::string_view text) {
    return target_.textWidth(text);
}

void LightBackgroundCanvas::drawText(int left, int top, std::string_view text, Colour colour,
                                     Colour background) {
    target_.drawText(left, top, text, onLightBackground(colour), onLightBackground(background));
}

}  // namespace corvane
