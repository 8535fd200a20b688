// Covers analysis/time_measurements.cpp: the step responses of an RC (rise 2.197·RC,
// settling 3.912·RC) and of second-order low-passes (overshoot exp(−πζ/√(1−ζ²)) at the
// peak time π/ωd), an impulse response that decays to zero, the unstable and oscillating
// curves where the measures do not apply, and the exact lines of the listing.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "test_polynomial.h"
#include "time_measurements.h"

namespace corvane {
namespace {

using Lines = std::vector<std::string>;
constexpr double Pi = std::numbers::pi;

using test::polynomial;

struct StepCase {
    const char* name;
    Polynomial numerator;
    Polynomial denominator;
    double finalValue;
    std::optional<double> peakValue;
    double peakTime;
    double overshoot;
    double riseTime;
    double settlingTime;
    double band;
};

std::vector<StepCase> stepCases() {
    std::vector<StepCase> rows;
    // 1 kΩ and 1 µF driven by a step: 1/(s·(1 + RC·s)).
    const double rc = 1e-3;
    rows.push_back({"RC step", polynomial({1.0}), polynomial({0.0, 1.0, rc}), 1.0, std::nullopt,
                    0.0, 0.0, rc * std::log(9.0), rc * std::log(50.0), 0.02});
    rows.push_back({"RC step, 5 % band, inverted", polynomial({-2.0}), polynomial({0.0, 1.0, rc}),
                    -2.0, std::nullopt, 0.0, 0.0, rc * std::log(9.0), rc * std::log(20.0), 0.05});
    // ω0²/(s·(s² + 2ζω0·s + ω0²)): the peak at π/ωd, ωd = ω0·√(1 − ζ²).
    for (const double zeta : {0.1, 0.3, 0.5, 0.7}) {
        const double w0 = 2.0 * Pi * 50.0;
        const double wd = w0 * std::sqrt(1.0 - zeta * zeta);
        const double overshoot = std::exp(-Pi * zeta / std::sqrt(1.0 - zeta * zeta));
        rows.push_back({"second-order step", polynomial({w0 * w0}),
                        polynomial({0.0, w0 * w0, 2.0 * zeta * w0, 1.0}), 1.0, 1.0 + overshoot,
                        Pi / wd, 100.0 * overshoot, -1.0, -1.0, 0.02});
    }
    return rows;
}

TEST(TimeMeasurementsTest, StepResponses) {
    for (const StepCase& row : stepCases()) {
        const TimeResponse x = inverseLaplace(row.numerator, row.denominator);
        ASSERT_EQ(x.status, TimeResponseStatus::Ready) << row.name;
        const TimeMeasures m = measureTimeResponse(x, row.band);
        ASSERT_EQ(m.finalKind, FinalValue::Exists) << row.name;
        EXPECT_NEAR(m.finalValue, row.finalValue, 1e-12) << row.name;
        ASSERT_EQ(m.peakValue.has_value(), row.peakValue.has_value()) << row.name;
        if (row.peakValue) {
            EXPECT_NEAR(*m.peakValue, *row.peakValue, 1e-12) << row.name;
            EXPECT_NEAR(m.peakTime, row.peakTime, 1e-9 * row.peakTime) << row.name;
        }
        ASSERT_TRUE(m.overshoot) << row.name;
        EXPECT_NEAR(*m.overshoot, row.overshoot, 1e-9) << row.name;
        ASSERT_TRUE(m.riseTime && m.settlingTime) << row.name;
        if (row.riseTime > 0.0) {
            EXPECT_NEAR(*m.riseTime, row.riseTime, 1e-12 * row.riseTime) << row.name;
            EXPECT_NEAR(*m.settlingTime, row.settlingTime, 1e-12 * row.settlingTime) << row.name;
        }
    }
}

// The settling time of a second-order step against the curve itself: the band is left
// for the last time there, and the curve stays inside it afterwards.
TEST(TimeMeasurementsTest, SettlingOfAnOscillatingStep) {
    const double w0 = 1000.0;
    const double zeta = 0.2;
    const TimeResponse x =
        inverseLaplace(polynomial({w0 * w0}), polynomial({0.0, w0 * w0, 2.0 * zeta * w0, 1.0}));
    const TimeMeasures m = measureTimeResponse(x);
    ASSERT_TRUE(m.settlingTime);
    const double ts = *m.settlingTime;
    EXPECT_NEAR(std::fabs(x.valueAt(ts) - 1.0), 0.02, 1e-12);
    // The envelope bound: exp(−ζω0·t)/√(1 − ζ²) = 0.02 comes no earlier.
    EXPECT_LE(ts, std::log(50.0 / std::sqrt(1.0 - zeta * zeta)) / (zeta * w0));
    for (int i = 1; i <= 2000; ++i) {
        const double t = ts * (1.0 + i / 100.0);
        EXPECT_LE(std::fabs(x.valueAt(t) - 1.0), 0.02 + 1e-15) << t;
    }
}

TEST(TimeMeasurementsTest, CurvesWithoutSomeMeasures) {
    // The RC's impulse response e^(−t/RC)/RC: peak at t = 0, final value 0.
    TimeMeasures m = measureTimeResponse(inverseLaplace(polynomial({1e3}), polynomial({1e3, 1.0})));
    EXPECT_EQ(m.finalKind, FinalValue::Exists);
    EXPECT_EQ(m.finalValue, 0.0);
    ASSERT_TRUE(m.peakValue);
    EXPECT_NEAR(*m.peakValue, 1e3, 1e-9);
    EXPECT_EQ(m.peakTime, 0.0);
    EXPECT_FALSE(m.overshoot || m.riseTime || m.settlingTime);

    // A pole at +1: unstable; a lossless LC: oscillating; a double pole at 0: a ramp.
    EXPECT_EQ(measureTimeResponse(inverseLaplace(polynomial({1.0}), polynomial({-1.0, 1.0})))
                  .finalKind,
              FinalValue::Unstable);
    EXPECT_EQ(measureTimeResponse(inverseLaplace(polynomial({1.0}), polynomial({1.0, 0.0, 1.0})))
                  .finalKind,
              FinalValue::Oscillating);
    EXPECT_EQ(measureTimeResponse(inverseLaplace(polynomial({1.0}), polynomial({0.0, 0.0, 1.0})))
                  .finalKind,
              FinalValue::Unstable);
}

Lines listing(const TimeMeasures& m, double band) {
    Lines lines;
    AnalysisLog log([&](std::string_view line) { lines.emplace_back(line); });
    listTimeMeasures(log, 2, m, band);
    return lines;
}

TEST(TimeMeasurementsTest, ListingLines) {
    // ζ = 0.5, ω0 = 1: overshoot e^(−π/√3) = 16.3033 %, peak at 2π/√3 = 3.6276 s.
    const TimeResponse step =
        inverseLaplace(polynomial({1.0}), polynomial({0.0, 1.0, 1.0, 1.0}));
    const Lines lines = listing(measureTimeResponse(step), 0.02);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "Curva 2: medidas:");
    EXPECT_EQ(lines[1], "Valor final: 1");
    EXPECT_EQ(lines[2], "Valor de pico: 1.16303 em t = 3.6276 s");
    EXPECT_EQ(lines[3], "Sobressinal: 16.3034 %");
    EXPECT_EQ(lines[4].rfind("Tempo de subida (10 a 90 %): ", 0), 0u);
    EXPECT_EQ(lines[5].rfind("Tempo de acomodação (2 %): ", 0), 0u);

    EXPECT_EQ(listing(measureTimeResponse(
                          inverseLaplace(polynomial({1.0}), polynomial({-1.0, 1.0}))),
                      0.02),
              (Lines{"Curva 2: medidas:", "Valor final: não se aplica (curva instável)",
                     "Valor de pico, sobressinal, tempos de subida e de acomodação: não se "
                     "aplicam"}));
    EXPECT_EQ(listing(measureTimeResponse(
                          inverseLaplace(polynomial({1.0}), polynomial({1.0, 0.0, 1.0}))),
                      0.05)[1],
              "Valor final: não se aplica (curva oscilante)");
    const Lines impulse =
        listing(measureTimeResponse(inverseLaplace(polynomial({1.0}), polynomial({1.0, 1.0}))),
                0.02);
    EXPECT_EQ(impulse, (Lines{"Curva 2: medidas:", "Valor final: 0",
                              "Valor de pico: 1 em t = 0 s",
                              "Sobressinal, tempos de subida e de acomodação: não se aplicam "
                              "(valor final 0)"}));
}

}  // namespace
}  // namespace corvane
