// Covers the pictures on a white page: every colour's counterpart, and a paint through the
// light canvas that draws the same content at the same places, only in those colours.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "light_background.h"
#include "plot_fakes.h"
#include "time_plot.h"

namespace corvane {
namespace {

// Relative luminance of an sRGB colour, 0 for black to 1 for white, and the contrast ratio
// against white as the web's accessibility guidelines define them.
double luminance(Colour c) {
    const auto linear = [](int v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.red) + 0.7152 * linear(c.green) + 0.0722 * linear(c.blue);
}

double contrastOnWhite(Colour c) {
    return 1.05 / (luminance(c) + 0.05);
}

TEST(LightBackground, BlackAndWhiteTradePlacesAndEveryColourReadsOnWhite) {
    EXPECT_EQ(onLightBackground(Black), White);
    EXPECT_EQ(onLightBackground(White), Black);
    // The grid stays lighter than the curves.
    EXPECT_GT(luminance(onLightBackground(Grey)), luminance(Grey));
    // Yellow on white has a contrast of 1.07; every curve colour needs at least 3.
    EXPECT_LT(contrastOnWhite(Yellow), 1.1);
    for (const Colour c :
         {Yellow, Green, Red, timeCurveColour(2), timeCurveColour(3), timeCurveColour(5),
          timeCurveColour(6), timeCurveColour(7), timeCurveColour(8)}) {
        SCOPED_TRACE(c.red * 65536 + c.green * 256 + c.blue);
        EXPECT_GE(contrastOnWhite(onLightBackground(c)), 3.0);
    }
}

// The time plot of a ramp through the light canvas: the same operations at the same
// places, each colour turned.
TEST(LightBackground, TheSamePictureInTheTurnedColours) {
    const std::vector<TimeCurve> curves{{"a.n1", "V", {0.0, 0.5, 1.0}, {}},
                                        {"b.n1", "V", {1.0, 0.0, 0.5}, {}}};
    const TimeRange range{0, 2, -0.1, 1.1};
    test::RecordingCanvas dark;
    drawTimePlot(dark, 680, 442, range, curves);
    test::RecordingCanvas light;
    LightBackgroundCanvas canvas(light);
    drawTimePlot(canvas, 680, 442, range, curves);
    EXPECT_EQ(light.order, dark.order);
    ASSERT_EQ(light.lines.size(), dark.lines.size());
    for (std::size_t i = 0; i < dark.lines.size(); ++i) {
        EXPECT_EQ(light.lines[i].xa, dark.lines[i].xa);
        EXPECT_EQ(light.lines[i].yb, dark.lines[i].yb);
        EXPECT_EQ(light.lines[i].colour, onLightBackground(dark.lines[i].colour));
        EXPECT_EQ(light.lines[i].style, dark.lines[i].style);
    }
    ASSERT_EQ(light.texts.size(), dark.texts.size());
    for (std::size_t i = 0; i < dark.texts.size(); ++i) {
        EXPECT_EQ(light.texts[i].text, dark.texts[i].text);
        EXPECT_EQ(light.texts[i].left, dark.texts[i].left);
        EXPECT_EQ(light.texts[i].colour, onLightBackground(dark.texts[i].colour));
        EXPECT_EQ(light.texts[i].background, White);
    }
    EXPECT_EQ(light.fills[0].colour, White);
    EXPECT_EQ(light.outlines[0].colour, Black);
}

}  // namespace
}  // namespace corvane
