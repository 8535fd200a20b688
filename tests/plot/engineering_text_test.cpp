// Covers the engineering notation of the axes: the prefix of each power of a thousand, the
// carry into the next one, the values past the prefixes, and the digits an axis needs to
// tell its values apart.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engineering_text.h"

namespace corvane {
namespace {

TEST(EngineeringText, EachPowerOfAThousandHasItsPrefix) {
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {0, "0"},          {-60, "-60"},      {1e4, "10 k"},   {2e5, "200 k"},   {5e-4, "500 µ"},
        {2.5e-3, "2.5 m"}, {1.5e-7, "150 n"}, {3e-12, "3 p"},  {2.2e6, "2.2 M"}, {4.7e9, "4.7 G"},
        {1e12, "1 T"},     {999.7e-6, "1 m"}, {999.4, "999"},  {999.6, "1 k"},   {-0.4, "-400 m"},
        {1e300, "1e+300"}, {2e-15, "2e-15"},  {1e15, "1e+15"}, {NAN, "nan"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(engineeringText(c.value), c.text) << c.value;
}

// Three digits where they read back within a ten-thousandth of the span, as many as it
// takes up to six where they do not; the unit after the prefix or after a blank.
TEST(AxisValueTexts, DigitsFollowTheSpan) {
    struct Case {
        std::vector<double> values;
        double span;
        const char* unit;
        std::vector<std::string> texts;
    };
    const std::vector<Case> cases{
        {{1e3, 2e3, 5e3}, 4e3, "", {"1 k", "2 k", "5 k"}},
        {{1001, 1002, 1003}, 10, "", {"1.001 k", "1.002 k", "1.003 k"}},
        {{-3.75, 21.25}, 50, "s", {"-3.75 s", "21.25 s"}},
        {{1e-4, 5e-4}, 5e-4, "s", {"100 µs", "500 µs"}},
        {{60}, 80, "dB", {"60 dB"}},
        {{1.0 / 3.0}, 1e-6, "", {"333.333 m"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(axisValueTexts(c.values, c.span, c.unit), c.texts);
}

}  // namespace
}  // namespace corvane
