// Covers the grid values of the plots' axes: 1-2-5 steps cutting any linear range from
// 1e-3 to 1e9 into 4 to 10 divisions, the labelled decades (with 2 and 5 on short ranges)
// of a logarithmic axis, and ranges that are tiny, empty, reversed, negative or not
// finite.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "axis_ticks.h"

namespace corvane {
namespace {

struct TicksCase {
    const char* name;
    double min;
    double max;
    std::vector<double> expected;
};

void expectTicks(const std::vector<double>& ticks, const TicksCase& c) {
    ASSERT_EQ(ticks.size(), c.expected.size());
    for (std::size_t i = 0; i < ticks.size(); ++i)
        EXPECT_NEAR(ticks[i], c.expected[i], 1e-9 * std::fabs(c.expected[i]) + 1e-300) << i;
}

class LinearTicksTest : public ::testing::TestWithParam<TicksCase> {};

TEST_P(LinearTicksTest, Positions) {
    expectTicks(linearTicks(GetParam().min, GetParam().max), GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, LinearTicksTest,
    ::testing::Values(
        TicksCase{"FromZero", 0, 5, {0, 1, 2, 3, 4, 5}},
        TicksCase{"DefaultFrequencies", 0.1, 5, {1, 2, 3, 4, 5}},
        TicksCase{"DefaultGain", -60, 20, {-60, -50, -40, -30, -20, -10, 0, 10, 20}},
        TicksCase{"GainHundredDecibels", -100, 0, {-100, -80, -60, -40, -20, 0}},
        TicksCase{"TenMegahertz", 0, 1e7, {0, 2e6, 4e6, 6e6, 8e6, 1e7}},
        TicksCase{"Milli", 0, 1e-3, {0, 2e-4, 4e-4, 6e-4, 8e-4, 1e-3}},
        TicksCase{"MilliToGiga", 1e-3, 1e9, {1e8, 2e8, 3e8, 4e8, 5e8, 6e8, 7e8, 8e8, 9e8, 1e9}},
        TicksCase{"NegativeGiga",
                  -1e9,
                  -1e3,
                  {-1e9, -9e8, -8e8, -7e8, -6e8, -5e8, -4e8, -3e8, -2e8, -1e8}},
        TicksCase{"AcrossZero", -1, 1, {-1, -0.5, 0, 0.5, 1}},
        TicksCase{"Micro", 3.3e-6, 4.1e-6,
                  {3.3e-6, 3.4e-6, 3.5e-6, 3.6e-6, 3.7e-6, 3.8e-6, 3.9e-6, 4.0e-6, 4.1e-6}},
        TicksCase{"PhaseRange", -180, 180, {-150, -100, -50, 0, 50, 100, 150}},
        TicksCase{"ZeroWidth", 1, 1, {}}, TicksCase{"Reversed", 2, 1, {}},
        TicksCase{"Infinite", 0, INFINITY, {}}, TicksCase{"NotANumber", NAN, 1, {}},
        TicksCase{"SpanOverflows", -1.5e308, 1.5e308, {}},
        TicksCase{"StepLostInRounding", 1e20, 1.0000000000000002e20, {}}),
    [](const auto& info) { return info.param.name; });

// Whether `step` is 1, 2 or 5 times a power of ten.
bool isOneTwoFive(double step) {
    const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
    return std::fabs(mantissa - 1) < 1e-9 || std::fabs(mantissa - 2) < 1e-9 ||
           std::fabs(mantissa - 5) < 1e-9;
}

// Over spans from 1e-3 to 1e9 at offsets on either side of zero: every multiple of one
// 1-2-5 step inside the range, and that step cuts the range into 4 to 10 divisions.
TEST(LinearTicks, FourToTenDivisionsAtEverySpan) {
    for (double span = 1e-3; span <= 1e9; span *= 1.37) {
        for (const double offset : {0.0, 0.31, -0.77, -0.5, 3.0}) {
            const double min = offset * span;
            const double max = min + span;
            SCOPED_TRACE(std::to_string(min) + " .. " + std::to_string(max));
            const std::vector<double> ticks = linearTicks(min, max);
            ASSERT_GE(ticks.size(), 2u);
            const double step = ticks[1] - ticks[0];
            EXPECT_TRUE(isOneTwoFive(step)) << step;
            EXPECT_GE(span / step, 4 * (1 - 1e-9));
            EXPECT_LE(span / step, 10 * (1 + 1e-9));
            EXPECT_GE(ticks.front(), min - 1e-9 * span);
            EXPECT_LE(ticks.back(), max + 1e-9 * span);
            EXPECT_LT(ticks.front() - step, min);
            EXPECT_GT(ticks.back() + step, max);
            for (const double v : ticks)
                EXPECT_NEAR(v / step, std::round(v / step), 1e-6);
        }
    }
}

TEST(LinearTicks, TinyRangeStillGetsItsDivisions) {
    const std::vector<double> ticks = linearTicks(1, 1 + 1e-12);
    ASSERT_GE(ticks.size(), 4u);
    ASSERT_LE(ticks.size(), 11u);
    for (std::size_t i = 1; i < ticks.size(); ++i)
        EXPECT_GT(ticks[i], ticks[i - 1]);
}

TEST(LinearTicks, ZeroIsNeverNegative) {
    for (const double v : linearTicks(-1, 1)) {
        if (v == 0.0) {
            EXPECT_FALSE(std::signbit(v));
        }
    }
}

class LogarithmicTicksTest : public ::testing::TestWithParam<TicksCase> {};

TEST_P(LogarithmicTicksTest, Positions) {
    expectTicks(logarithmicTicks(GetParam().min, GetParam().max), GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, LogarithmicTicksTest,
    ::testing::Values(
        TicksCase{"DefaultFrequencies", 0.1, 5, {0.1, 0.2, 0.5, 1, 2, 5}},
        TicksCase{"TwoAndAHalfDecades", 20, 8000, {20, 50, 100, 200, 500, 1000, 2000, 5000}},
        TicksCase{"ThreeDecadesOnlyPowers", 1, 1000, {1, 10, 100, 1000}},
        TicksCase{"SixDecades", 1, 1e6, {1, 10, 100, 1e3, 1e4, 1e5, 1e6}},
        TicksCase{"MilliToGiga",
                  1e-3,
                  1e9,
                  {1e-3, 1e-2, 1e-1, 1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9}},
        TicksCase{"WithinADecadeIsLinear", 3, 4, {3, 3.2, 3.4, 3.6, 3.8, 4}},
        TicksCase{"ZeroWidth", 1e3, 1e3, {}}, TicksCase{"FromZero", 0, 10, {}},
        TicksCase{"Negative", -10, -1, {}}, TicksCase{"Reversed", 10, 1, {}},
        TicksCase{"Infinite", 1, INFINITY, {}}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace corvane
