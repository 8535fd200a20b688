// Covers the responses in time of a plot list as the window uses them: the RC step and an
// underdamped pair against their closed forms over a chosen range, the impulse and
// omission messages, the automatic end, curves that share a denominator, and the keys that
// move and zoom the view.
#include <gtest/gtest.h>

#include <complex>
#include <numbers>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "plot_fakes.h"
#include "plot_frame.h"
#include "plotter.h"
#include "temp_dir.h"
#include "time_curves.h"
#include "time_markers.h"

namespace corvane {
namespace {

using test::polynomial;

struct TimeCurvesTest : ::testing::Test {
    std::vector<std::string> lines;
    AnalysisLog log{[this](std::string_view line) { lines.emplace_back(line); }};
    PlotCurves functions{};
    std::array<std::string, MaxCurves + 1> files{};
    int count = 0;

    void add(const std::string& file, const Polynomial& n, const Polynomial& d) {
        ++count;
        functions[static_cast<std::size_t>(count)] = {n, d};
        files[static_cast<std::size_t>(count)] = file;
    }
};

TEST_F(TimeCurvesTest, RcStepAndUnderdampedPairMatchTheirClosedForms) {
    // 1/(s(s+1)) and, sharing nothing, 1/(s^2 + s + 1): e^(-t/2) sin(√3/2 t) · 2/√3.
    add("rc.n2", polynomial({1.0}), polynomial({0.0, 1.0, 1.0}));
    add("rlc.n3", polynomial({1.0}), polynomial({1.0, 1.0, 1.0}));
    const ListedTimeResponses responses = computeListedTimeResponses(functions, count, files, log);
    EXPECT_TRUE(lines.empty());
    ASSERT_EQ(responses.curves.size(), 2u);
    EXPECT_TRUE(responses.curves[0].shown);
    EXPECT_TRUE(responses.curves[1].shown);
    // The slowest time constant is 2 s (Re p = -1/2).
    EXPECT_NEAR(responses.endTime, 10.0, 1e-9);

    const TimeRange range{0.5, 4.5};
    const std::vector<TimeCurve> curves = sampleTimeCurves(responses, range, 401);
    ASSERT_EQ(curves.size(), 2u);
    EXPECT_EQ(curves[0].file, "rc.n2");
    ASSERT_EQ(curves[0].values.size(), 401u);
    ASSERT_EQ(curves[1].values.size(), 401u);
    const double wd = std::sqrt(3.0) / 2;
    for (int i = 0; i < 401; ++i) {
        const double t = 0.5 + 4.0 * i / 400;
        EXPECT_NEAR(curves[0].values[static_cast<std::size_t>(i)], 1 - std::exp(-t), 1e-12) << t;
        EXPECT_NEAR(curves[1].values[static_cast<std::size_t>(i)],
                    std::exp(-t / 2) * std::sin(wd * t) / wd, 1e-12)
            << t;
    }
}

TEST_F(TimeCurvesTest, ImpulsesAreLoggedAndTheRegularPartDrawn) {
    // (s + 2)/(s + 1) = 1 + 1/(s + 1): δ(t) and e^(-t).
    add("direct.n1", polynomial({2.0, 1.0}), polynomial({1.0, 1.0}));
    const ListedTimeResponses responses = computeListedTimeResponses(functions, count, files, log);
    EXPECT_EQ(lines, std::vector<std::string>({"Curva 1: impulsos em t = 0: 1·δ(t)"}));
    ASSERT_TRUE(responses.curves[0].shown);
    const std::vector<TimeCurve> curves = sampleTimeCurves(responses, TimeRange{0, 2}, 3);
    EXPECT_NEAR(curves[0].values[1], std::exp(-1.0), 1e-12);
}

TEST_F(TimeCurvesTest, AZeroDenominatorIsOmittedAndKeepsItsNumber) {
    add("zero.n1", polynomial({1.0}), polynomial({0.0}));
    add("rc.n1", polynomial({1.0}), polynomial({1.0, 1.0}));
    const ListedTimeResponses responses = computeListedTimeResponses(functions, count, files, log);
    EXPECT_EQ(lines, std::vector<std::string>(
                         {"Curva 1: não foi possível calcular os polos; curva omitida."}));
    const std::vector<TimeCurve> curves = sampleTimeCurves(responses, TimeRange{0, 1}, 10);
    ASSERT_EQ(curves.size(), 2u);
    EXPECT_TRUE(curves[0].values.empty());
    EXPECT_EQ(curves[1].values.size(), 10u);
}

TEST_F(TimeCurvesTest, AnImpulseAloneIsShownAsZero) {
    // N = D: δ(t), whose proper part the second evaluation only sees as rounding.
    add("fonte.n1", polynomial({1e8, 2e4, 1}), polynomial({1e8, 2e4, 1}));
    const ListedTimeResponses responses = computeListedTimeResponses(functions, count, files, log);
    EXPECT_EQ(lines, std::vector<std::string>({"Curva 1: impulsos em t = 0: 1·δ(t)"}));
    ASSERT_TRUE(responses.curves[0].shown);
    EXPECT_DOUBLE_EQ(responses.endTime, 5e-4);
    const std::vector<TimeCurve> curves = sampleTimeCurves(responses, TimeRange{0, 5e-4}, 11);
    EXPECT_EQ(curves[0].values, std::vector<double>(11, 0.0));
}

TEST_F(TimeCurvesTest, AnOverflowingCurveStopsAndSaysFromWhen) {
    // e^(2t) − e^t passes the largest double between t = 354 and 355.
    add("instavel.n1", polynomial({1.0}), polynomial({2.0, -3.0, 1.0}));
    add("rc.n1", polynomial({1.0}), polynomial({1.0, 1.0}));
    const ListedTimeResponses responses = computeListedTimeResponses(functions, count, files, log);
    ASSERT_TRUE(responses.curves[0].shown);
    const std::vector<TimeCurve> curves = sampleTimeCurves(responses, TimeRange{0, 400}, 401);
    ASSERT_EQ(curves[0].values.size(), 401u);
    ASSERT_TRUE(curves[0].overflowFrom);
    EXPECT_EQ(*curves[0].overflowFrom, 355.0);
    EXPECT_TRUE(std::isfinite(curves[0].values[354]));
    for (std::size_t i = 355; i < 401; ++i) EXPECT_TRUE(std::isnan(curves[0].values[i])) << i;
    EXPECT_FALSE(curves[1].overflowFrom);
    lines.clear();
    logOverflows(curves, log);
    EXPECT_EQ(lines, std::vector<std::string>({"Curva 1: x(t) passa do maior valor representável a "
                                               "partir de t = 355 s; a curva para aí."}));
}

// The RC example's run: "entrada" 1, "saida" 2, the source's current "jV1" 3; its files
// written a minute after the netlist, as an analysis leaves them.
void writeRcRun(const test::TempDir& dir) {
    const std::string netlist = dir.write("rc.net",
                                          "Filtro RC\nV1 entrada 0 1 DEGRAU\n"
                                          "R1 entrada saida 1000\nC1 saida 0 1e-6\n");
    const auto later = std::filesystem::last_write_time(netlist) + std::chrono::minutes(1);
    for (const char* name : {"rc.d", "rc.n1", "rc.n2", "rc.n3"})
        std::filesystem::last_write_time(dir.write(name, "0\n 1.0\n 1.0\n"), later);
}

struct UnitCase {
    const char* what;
    std::vector<const char*> files;
    std::vector<const char*> units;
    const char* axis;
};

class TimeCurveUnits : public ::testing::TestWithParam<UnitCase> {};

TEST_P(TimeCurveUnits, FromTheNetlistBesideTheFiles) {
    test::TempDir dir;
    writeRcRun(dir);
    PlotCurves functions{};
    std::array<std::string, MaxCurves + 1> files{};
    const UnitCase& c = GetParam();
    const int count = static_cast<int>(c.files.size());
    for (int k = 1; k <= count; ++k) {
        functions[static_cast<std::size_t>(k)] = {polynomial({1.0}), polynomial({1.0, 1.0})};
        files[static_cast<std::size_t>(k)] = dir.file(c.files[static_cast<std::size_t>(k - 1)]);
    }
    AnalysisLog log;
    const ListedTimeResponses responses = computeListedTimeResponses(functions, count, files, log);
    const std::vector<TimeCurve> curves = sampleTimeCurves(responses, TimeRange{0, 1}, 5);
    ASSERT_EQ(curves.size(), c.units.size());
    for (std::size_t i = 0; i < curves.size(); ++i) EXPECT_EQ(curves[i].unit, c.units[i]) << i;
    EXPECT_EQ(sharedUnit(curves), c.axis);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TimeCurveUnits,
    ::testing::Values(UnitCase{"NodeVoltage", {"rc.n2"}, {"V"}, "V"},
                      UnitCase{"ExtraCurrent", {"rc.n3"}, {"A"}, "A"},
                      UnitCase{"TwoVoltages", {"rc.n1", "rc.n2"}, {"V", "V"}, "V"},
                      UnitCase{"Mixed", {"rc.n2", "rc.n3"}, {"V", "A"}, ""},
                      // No netlist "outro.net" beside it: no unit, and none for the axis.
                      UnitCase{"Unknown", {"outro.n1"}, {""}, ""},
                      UnitCase{"KnownAndUnknown", {"rc.n2", "outro.n1"}, {"V", ""}, ""}),
    [](const ::testing::TestParamInfo<UnitCase>& info) { return info.param.what; });

TEST(ImpulseText, OrdersAndSkippedZeros) {
    EXPECT_EQ(impulseText({}), "");
    EXPECT_EQ(impulseText({0.0, 0.0}), "");
    EXPECT_EQ(impulseText({0.5, 0.0, 2.0, -1.0}), "0.5·δ(t) + 2·δ''(t) + -1·δ^(3)(t)");
}

struct KeyCase {
    int key;
    TimeRange expected;
};

class TimeKeyTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(TimeKeyTest, MovesAndZooms) {
    TimeRange range{0, 4, -1, 1};
    ASSERT_TRUE(applyTimeKey(GetParam().key, range));
    EXPECT_DOUBLE_EQ(range.tmin, GetParam().expected.tmin);
    EXPECT_DOUBLE_EQ(range.tmax, GetParam().expected.tmax);
    EXPECT_DOUBLE_EQ(range.vmin, GetParam().expected.vmin);
    EXPECT_DOUBLE_EQ(range.vmax, GetParam().expected.vmax);
}

INSTANTIATE_TEST_SUITE_P(Keys, TimeKeyTest,
                         ::testing::Values(KeyCase{KeyLeft, {-1, 3, -1, 1}},
                                           KeyCase{KeyRight, {1, 5, -1, 1}},
                                           KeyCase{KeyA, {0, 2, -1, 1}},
                                           KeyCase{KeyR, {0, 8, -1, 1}},
                                           KeyCase{KeyUp, {0, 4, 0, 2}},
                                           KeyCase{KeyDown, {0, 4, -2, 0}},
                                           KeyCase{KeyKeypadPlus, {0, 4, -1, 0}},
                                           KeyCase{KeyKeypadMinus, {0, 4, -1, 3}}));

TEST(TimeKey, OtherKeysAndOverflowLeaveTheView) {
    TimeRange range{0, 4, -1, 1};
    EXPECT_FALSE(applyTimeKey(0, range));
    EXPECT_FALSE(applyTimeKey('X', range));
    TimeRange huge{0, 1e308, -1, 1};
    EXPECT_FALSE(applyTimeKey(KeyR, huge));
    EXPECT_EQ(huge.tmax, 1e308);
}

// The curves of different circuits are computed side by side: each must come out bit for
// bit as computed alone, or a listing would change from run to run. Butterworth
// denominators of orders 1 to 12, scaled apart, with numerators of every degree below.
TEST_F(TimeCurvesTest, CurvesComputedSideBySideEqualThoseComputedAlone) {
    const auto times = [](const std::vector<double>& a, const std::vector<double>& b) {
        std::vector<double> c(a.size() + b.size() - 1, 0.0);
        for (std::size_t i = 0; i < a.size(); ++i)
            for (std::size_t j = 0; j < b.size(); ++j) c[i + j] += a[i] * b[j];
        return c;
    };
    for (int order = 1; order <= 12; ++order) {
        std::vector<double> d{1.0};
        for (int k = 0; k < order; ++k) {
            const double angle = std::numbers::pi * (2.0 * k + order + 1) / (2.0 * order);
            const std::complex<double> pole = 1e3 * order * std::polar(1.0, angle);
            if (std::abs(pole.imag()) < 1e-9 * std::abs(pole)) {
                d = times(d, {-pole.real(), 1.0});
            } else if (pole.imag() > 0) {
                d = times(d, {std::norm(pole), -2.0 * pole.real(), 1.0});
            }
        }
        std::string file = "f";
        file += std::to_string(order);
        file += ".n1";
        add(file, polynomial(std::vector<double>(static_cast<std::size_t>(order), 0.5)),
            polynomial(d));
    }
    const std::vector<TimeResponse> together = inverseLaplaceCurves(functions, count);
    for (int k = 1; k <= count; ++k) {
        const PlotCurve& f = functions[static_cast<std::size_t>(k)];
        const TimeResponse alone = inverseLaplace(f.numerator, f.denominator);
        const TimeResponse& x = together[static_cast<std::size_t>(k - 1)];
        ASSERT_EQ(x.poles.roots.size(), alone.poles.roots.size()) << k;
        for (std::size_t i = 0; i < alone.poles.roots.size(); ++i)
            EXPECT_EQ(x.poles.roots[i].value, alone.poles.roots[i].value) << k << " " << i;
        for (const double t : {0.0, 1e-4, 1e-3, 1e-2})
            EXPECT_EQ(x.valueAt(t), alone.valueAt(t)) << k << " " << t;
    }
}

TEST_F(TimeCurvesTest, CurvesOfOneCircuitShareItsPolesAndKeepTheirOwnResponses) {
    // 1/(s+3); then 1/((s+1)(s+2)) and s/((s+1)(s+2)), one circuit's two outputs:
    // e^(-3t), e^(-t) - e^(-2t) and 2e^(-2t) - e^(-t).
    add("a.n1", polynomial({1.0}), polynomial({3.0, 1.0}));
    add("b.n1", polynomial({1.0}), polynomial({2.0, 3.0, 1.0}));
    add("b.n2", polynomial({0.0, 1.0}), polynomial({2.0, 3.0, 1.0}));
    const std::vector<TimeResponse> x = inverseLaplaceCurves(functions, count);
    ASSERT_EQ(x.size(), 3u);
    ASSERT_EQ(x[1].poles.roots.size(), 2u);
    ASSERT_EQ(x[2].poles.roots.size(), 2u);
    for (const double t : {0.0, 0.3, 1.0, 2.5, 7.0}) {
        EXPECT_NEAR(x[0].valueAt(t), std::exp(-3 * t), 1e-12) << t;
        EXPECT_NEAR(x[1].valueAt(t), std::exp(-t) - std::exp(-2 * t), 1e-12) << t;
        EXPECT_NEAR(x[2].valueAt(t), 2 * std::exp(-2 * t) - std::exp(-t), 1e-12) << t;
    }
    EXPECT_TRUE(inverseLaplaceCurves(functions, 0).empty());
    EXPECT_EQ(mismatchLine(2, 0.0125),
              "Curva 2: a resposta não confere com a inversão numérica (diferença de 0.0125 do "
              "pico); curva omitida.");
}

// A click marks the curve nearest in value at the pointer's time, computed there exactly:
// 1 - e^(-t) and 10(1 - e^(-t)) (10/(s(s+1))) over 0 .. 5 s on 680 × 442. The cross
// stands at the marker's time and value, in the curve's colour, as the frequency plot's.
TEST_F(TimeCurvesTest, MarkersTakeTheNearestCurveAtTheirTime) {
    add("rc.n2", polynomial({1.0}), polynomial({0.0, 1.0, 1.0}));
    add("dez.n2", polynomial({10.0}), polynomial({0.0, 1.0, 1.0}));
    const ListedTimeResponses responses = computeListedTimeResponses(functions, count, files, log);
    const TimeRange range{0, 5, -1, 11};
    constexpr int Width = 680, Height = 442;
    // The value range spans the frame from its bottom row to its top one.
    EXPECT_DOUBLE_EQ(rowOfValue(range.vmax, Height, range), TopMargin);
    EXPECT_DOUBLE_EQ(rowOfValue(range.vmin, Height, range), Height - BottomMargin);
    EXPECT_DOUBLE_EQ(valueAtRow(Height - BottomMargin, Height, range), range.vmin);
    const int x = static_cast<int>(std::lround(columnOfTime(1.0, Width, range)));  // t = 1 s
    const auto rowOf = [&](double v) {
        return static_cast<int>(std::lround(rowOfValue(v, Height, range)));
    };
    struct Case {
        double pointerValue;
        int curve;
        const char* text;
    };
    const Case cases[] = {
        {0.0, 1, "t = 1 s  1: rc.n2: 0.632121"},
        {3.0, 1, "t = 1 s  1: rc.n2: 0.632121"},
        {3.6, 2, "t = 1 s  2: dez.n2: 6.32121"},
        {10.5, 2, "t = 1 s  2: dez.n2: 6.32121"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pointerValue);
        const std::optional<TimeMarker> marker =
            timeMarkerAt(x, rowOf(c.pointerValue), Width, Height, range, responses);
        ASSERT_TRUE(marker);
        EXPECT_EQ(marker->curve, c.curve);
        EXPECT_NEAR(marker->t, 1.0, 1e-12);
        EXPECT_EQ(timeMarkerText(*marker, responses), c.text);
    }
    EXPECT_FALSE(timeMarkerAt(LeftMargin - 1, rowOf(0), Width, Height, range, responses));
    EXPECT_FALSE(timeMarkerAt(x, TopMargin - 1, Width, Height, range, responses));

    test::RecordingCanvas canvas;
    drawTimeMarkers(canvas, Width, Height, range, {{2, 1.0}, {1, 6.0}}, responses);
    ASSERT_EQ(canvas.lines.size(), 2u);  // t = 6 s is past the range
    const int y = rowOf(10 * (1 - std::exp(-1.0)));
    EXPECT_EQ(canvas.lines[0].xa, x - 4);
    EXPECT_EQ(canvas.lines[0].ya, y - 4);
    EXPECT_EQ(canvas.lines[0].colour, timeCurveColour(2));
}

}  // namespace
}  // namespace corvane
