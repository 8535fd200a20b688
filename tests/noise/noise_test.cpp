// Noise against closed forms: thermal densities of dividers and amplifiers, kT/C, the
// resonance of a parallel RLC, the powers of independent sources adding up.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "mna.h"
#include "netlist_reader.h"
#include "noise_analysis.h"
#include "recording_host.h"
#include "temp_dir.h"

namespace corvane {
namespace {

using noise::NoiseOptions;
using noise::NoiseReport;

constexpr double Kelvin = 27.0 + noise::ZeroCelsiusInKelvin;
constexpr double FourKT = 4.0 * noise::BoltzmannConstant * Kelvin;
constexpr double KT = noise::BoltzmannConstant * Kelvin;

struct NoiseRun {
    test::TempDir dir;
    RunState run;
    SystemMatrix system;
    test::RecordingHost host;
    std::vector<std::string> lines;
    AnalysisLog log{[this](std::string_view line) { lines.emplace_back(line); }};

    std::optional<NoiseReport> analyse(const std::string& netlist, const NoiseOptions& options) {
        const std::string path = dir.write("ruido.net", netlist);
        // Ground is the variable named "0", as every run starts.
        run.VariableNames[0] = VariableName{'0'};
        if (!readNetlist(run, log, path)) return std::nullopt;
        assembleSystem(run, system, log, false);
        return noise::analyseNoise(run, system, options, log, host, EngineOptions{});
    }
};

NoiseOptions outputAt(const std::string& output, double hertz = 1000.0) {
    NoiseOptions options;
    options.output = output;
    options.hertz = hertz;
    return options;
}

struct WhiteCase {
    const char* name;
    const char* netlist;
    const char* output;
    const char* input;
    /// Output density in V²/Hz, flat in frequency.
    double density;
    /// Input-referred density, when an input is named.
    double inputDensity;
};

// Resistive circuits are white: every frequency gives the same density.
const WhiteCase WhiteCases[] = {
    {"divisor", "Divisor\nV1 e 0 1 IMPULSO\nR1 e s 1000\nR2 s 0 3000\n", "s", "V1",
     FourKT * 750.0, FourKT * 750.0 / (0.75 * 0.75)},
    {"inversor", "Inversor\nV1 e 0 1 IMPULSO\nR1 e m 1000\nR2 m s 10000\nO1 s 0 0 m\n", "s",
     "V1", FourKT * 10000.0 * (1.0 + 10.0), FourKT * 10000.0 * 11.0 / 100.0},
    {"nao_inversor", "Não inversor\nV1 e 0 1 IMPULSO\nR1 m 0 1000\nR2 m s 9000\nO1 s 0 e m\n",
     "s", "V1", FourKT * 9000.0 * (1.0 + 9.0), FourKT * 9000.0 * 10.0 / 100.0},
    // An op-amp of gain A0 = 1000 and no pole: the output density shrinks by
    // (A0·β/(1 + A0·β))² with β = 1/10, and so does the gain, so the input-referred density
    // stays the ideal one.
    {"nao_inversor_a0", "Não inversor\nV1 e 0 1 IMPULSO\nR1 m 0 1000\nR2 m s 9000\n"
                        "O1 s 0 e m A0=1000\n",
     "s", "V1", FourKT * 9000.0 * (1.0 + 9.0) * (100.0 / 101.0) * (100.0 / 101.0),
     FourKT * 9000.0 * 10.0 / 100.0},
};

TEST(NoiseTest, ResistiveCircuitsHaveTheirClosedFormDensityAtEveryFrequency) {
    for (const WhiteCase& c : WhiteCases) {
        for (const double hertz : {1.0, 1e3, 1e6}) {
            NoiseRun r;
            NoiseOptions options = outputAt(c.output, hertz);
            options.input = c.input;
            const auto report = r.analyse(c.netlist, options);
            ASSERT_TRUE(report) << c.name;
            EXPECT_NEAR(report->outputDensity, c.density, 1e-12 * c.density) << c.name;
            ASSERT_TRUE(report->inputDensity) << c.name;
            EXPECT_NEAR(*report->inputDensity, c.inputDensity, 1e-12 * c.inputDensity) << c.name;
        }
    }
}

TEST(NoiseTest, ABandOfAWhiteDensityIntegratesToDensityTimesWidth) {
    NoiseRun r;
    NoiseOptions options = outputAt("s");
    options.band = std::pair{10.0, 20010.0};
    const auto report = r.analyse(WhiteCases[0].netlist, options);
    ASSERT_TRUE(report && report->integral);
    const double expected = FourKT * 750.0 * 20000.0;
    EXPECT_NEAR(report->integral->value, expected, 1e-9 * expected);
}

// The noise an RC low-pass leaves on its capacitor over all frequencies is kT/C, whatever
// the resistor: a larger R makes more noise in a narrower band.
TEST(NoiseTest, AnRcLowPassIntegratesToKTOverCForAnyResistor) {
    for (const double resistance : {10.0, 1e3, 1e6}) {
        NoiseRun r;
        const std::string netlist =
            "RC\nV1 e 0 1 IMPULSO\nR1 e s " + std::to_string(resistance) + "\nC1 s 0 1e-9\n";
        const auto report = r.analyse(netlist, outputAt("s"));
        ASSERT_TRUE(report && report->integral) << resistance;
        EXPECT_NEAR(report->integral->value, KT / 1e-9, 1e-8 * KT / 1e-9) << resistance;
        const double hertz = 1000.0;
        const double wrc = 2.0 * std::numbers::pi * hertz * resistance * 1e-9;
        const double density = FourKT * resistance / (1.0 + wrc * wrc);
        EXPECT_NEAR(report->outputDensity, density, 1e-12 * density) << resistance;
    }
}

// A parallel RLC shows the resistor's whole noise at resonance, 4kTR, and kT/C in total.
TEST(NoiseTest, AParallelRlcPeaksAt4kTRAtResonanceAndHoldsKTOverC) {
    const double l = 1e-3;
    const double c = 1e-6;
    const double f0 = 1.0 / (2.0 * std::numbers::pi * std::sqrt(l * c));
    NoiseRun r;
    const auto report = r.analyse("RLC\nR1 s 0 1000\nL1 s 0 1e-3\nC1 s 0 1e-6\n", outputAt("s", f0));
    ASSERT_TRUE(report && report->integral);
    EXPECT_NEAR(report->outputDensity, FourKT * 1000.0, 1e-9 * FourKT * 1000.0);
    EXPECT_NEAR(report->integral->value, KT / c, 1e-8 * KT / c);
}

TEST(NoiseTest, TheContributionsAddUpToTheTotalAtEveryFrequencyAndOverTheBand) {
    const char* ladder =
        "Escada\nV1 e 0 1 IMPULSO\nR1 e a 100\nC1 a 0 1e-7\nR2 a b 2200\nC2 b 0 1e-8\n"
        "R3 b 0 47000\n";
    for (const double hertz : {10.0, 1e3, 1e5, 1e7}) {
        NoiseRun r;
        NoiseOptions options = outputAt("b", hertz);
        options.band = std::pair{1.0, 1e6};
        const auto report = r.analyse(ladder, options);
        ASSERT_TRUE(report && report->integral);
        double density = 0.0;
        double power = 0.0;
        for (const noise::Contribution& c : report->contributions) {
            density += c.density;
            ASSERT_TRUE(c.power);
            power += *c.power;
        }
        EXPECT_NEAR(density, report->outputDensity, 1e-12 * report->outputDensity) << hertz;
        EXPECT_NEAR(power, report->integral->value, 1e-9 * report->integral->value) << hertz;
        // Ranked: the largest share of the band first.
        for (std::size_t k = 1; k < report->contributions.size(); ++k)
            EXPECT_GE(*report->contributions[k - 1].power, *report->contributions[k].power);
    }
}

// Between a resistor and a pure integrator nothing limits the noise at high frequency:
// the total over all frequencies of a resistor alone does not converge.
TEST(NoiseTest, AWhiteOutputOverAllFrequenciesDoesNotConverge) {
    NoiseRun r;
    const NoiseOptions options = outputAt("s");
    const auto report = r.analyse(WhiteCases[0].netlist, options);
    ASSERT_TRUE(report);
    EXPECT_FALSE(report->integral);
    noise::listNoiseReport(*report, options, r.log);
    EXPECT_EQ(r.lines.back(), "Ruído integrado em todas as frequências: não converge");
}

struct RefusedCase {
    const char* netlist;
    const char* output;
    const char* input;
    const char* message;
};

TEST(NoiseTest, OptionsThatDoNotFitTheCircuitAreNamed) {
    const RefusedCase cases[] = {
        {"RC\nV1 e 0 1 IMPULSO\nR1 e s 1000\nC1 s 0 1e-6\n", "x", "",
         "Ruído: a saída x não é uma variável do circuito"},
        {"RC\nV1 e 0 1 IMPULSO\nR1 e s 1000\nC1 s 0 1e-6\n", "s", "R1",
         "Ruído: a entrada R1 não é uma fonte independente do circuito"},
        {"LC\nV1 e 0 1 IMPULSO\nL1 e s 1e-3\nC1 s 0 1e-6\n", "s", "",
         "Ruído: o circuito não tem resistores, e só eles fazem ruído"},
    };
    for (const RefusedCase& c : cases) {
        NoiseRun r;
        NoiseOptions options = outputAt(c.output);
        options.input = c.input;
        EXPECT_FALSE(r.analyse(c.netlist, options));
        ASSERT_FALSE(r.lines.empty());
        EXPECT_EQ(r.lines.back(), c.message);
    }
}

}  // namespace
}  // namespace corvane
