// Covers loop/loop_gain.*, loop/margins.*, loop/loop_step.* and the op-amp model of the
// netlist reader: Blackman's identity D(k) = D(0)·(1 + T) on every controlled source of the
// corpus, checked against a second run of the engine; the margins of loops with closed
// forms (two poles, three equal poles, an integrator); the closed-loop bandwidth of a
// non-inverting amplifier with A0 and GBW; the messages of bad sources and bad models.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <filesystem>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "element_table.h"
#include "loop_step.h"
#include "netlist_reader.h"
#include "polynomial_roots.h"
#include "recording_host.h"
#include "temp_dir.h"

namespace corvane {
namespace {

const std::string Data = std::string(CORVANE_TEST_DATA_DIR) + "/loop/";
constexpr double Degrees = 180.0 / std::numbers::pi;

struct LoopRun {
    RunState run;
    test::RecordingHost host;
    std::vector<std::string> lines;
    AnalysisLog log{[this](std::string_view line) { lines.emplace_back(line); }};

    bool read(const std::string& path) {
        run.VariableNames[0] = VariableName{'0'};
        return readNetlist(run, log, path);
    }

    std::optional<loop::LoopReport> analyse(const std::string& source) {
        bool failed = false;
        bool cancelled = false;
        return loop::analyseLoop(run, source, host, EngineOptions{}, log, failed, cancelled);
    }
};

// The largest |coefficient| of a few polynomials: the scale of a rounding error.
double scaleOf(std::initializer_list<const Polynomial*> list) {
    double scale = 0.0;
    for (const Polynomial* p : list) {
        for (const double c : p->coefficients())
            scale = std::max(scale, std::fabs(c));
    }
    return scale;
}

// D(k) and every N(k) against D(0) + k·D1 and N0 + k·N1, the closed loop being a separate
// run of the engine on the circuit as it is.
void expectAffineInGain(const RunState& run, int element, const std::string& where) {
    test::RecordingHost host;
    const loop::LoopFunctions f = loop::computeLoopFunctions(run, element, host, EngineOptions{});
    ASSERT_FALSE(f.cancelled);
    const double k = f.gain;
    const auto check = [&](const Polynomial& closed, const Polynomial& open, const Polynomial& part,
                           const std::string& what) {
        const double scale = std::max(scaleOf({&closed, &open}), std::fabs(k) * scaleOf({&part}));
        for (int i = 0; i <= MaxDegree; ++i) {
            const auto at = [i](const Polynomial& p) {
                return i <= p.degree ? p.coef[static_cast<std::size_t>(i)] : 0.0;
            };
            EXPECT_NEAR(at(closed), at(open) + k * at(part), 1e-12 * scale)
                << where << " " << what << " s^" << i;
        }
    };
    check(f.closedLoop.denominator, f.withoutGain.denominator, f.gainParts.denominator, "D");
    for (int v = 1; v <= run.variableCount; ++v) {
        const auto slot = static_cast<std::size_t>(v);
        std::string what = "N";
        what += std::to_string(v);
        check(f.closedLoop.numerator[slot], f.withoutGain.numerator[slot],
              f.gainParts.numerator[slot], what);
    }
}

TEST(LoopGainTest, DeterminantIsAffineInEveryControlledSourceOfTheCorpus) {
    int sources = 0;
    for (const char* folder :
         {CORVANE_TEST_DATA_DIR, CORVANE_EXAMPLES_DIR, CORVANE_TEST_DATA_DIR "/loop"}) {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (entry.path().extension() != ".net") continue;
            LoopRun r;
            ASSERT_TRUE(r.read(entry.path().string())) << entry.path();
            for (int i = 1; i <= r.run.elementCount; ++i) {
                const Element& e = r.run.ElementTable[static_cast<std::size_t>(i)];
                if (loop::findLoopSource(r.run, e.name).element != i) continue;
                ++sources;
                std::string where = entry.path().filename().string();
                where += " ";
                where += e.name;
                expectAffineInGain(r.run, i, where);
            }
        }
    }
    // E, F, G, H and the finite op-amp all took part.
    EXPECT_GE(sources, 15);
}

struct MarginCase {
    const char* name;
    const char* file;
    const char* source;
    /// T(jω) in closed form.
    std::complex<double> (*loopGain)(double omega);
    std::vector<double> gainCrossovers;
    std::vector<double> phaseCrossovers;
    int rightHalfPlanePoles;
};

std::complex<double> twoPoles(double w) {
    const std::complex<double> s(0.0, w);
    return 100.0 / ((1.0 + s / 1e3) * (1.0 + s / 1e5));
}
std::complex<double> threePoles(double w) {
    const std::complex<double> s(0.0, w);
    return 100.0 / std::pow(1.0 + s / 1e3, 3);
}
std::complex<double> integrator(double w) {
    return 1000.0 / std::complex<double>(0.0, w);
}

// (1 + x/p1²)(1 + x/p2²) = K² in x = ω².
double twoPoleCrossover() {
    const double a = 1.0 / (1e6 * 1e10);
    const double b = 1.0 / 1e6 + 1.0 / 1e10;
    const double c = 1.0 - 1e4;
    return std::sqrt((-b + std::sqrt(b * b - 4.0 * a * c)) / (2.0 * a));
}

const MarginCase MarginCases[] = {
    {"two poles", "two_pole.net", "E1", twoPoles, {twoPoleCrossover()}, {}, 0},
    // ω of 0 dB: p·√(K^(2/3) − 1); of −180°: p·tan 60°.
    {"three poles",
     "three_pole.net",
     "e1",
     threePoles,
     {1e3 * std::sqrt(std::pow(100.0, 2.0 / 3.0) - 1.0)},
     {1e3 * std::sqrt(3.0)},
     2},
    {"integrator", "integrator_loop.net", "G1", integrator, {1000.0}, {}, 0},
};

// Three poles and two lead networks: the phase crosses −180° three times, and the margins
// at the first two are negative, yet the closed loop is stable: judged from its poles.
TEST(LoopGainTest, ConditionallyStableLoopListsEveryCrossing) {
    LoopRun r;
    ASSERT_TRUE(r.read(Data + "conditional.net"));
    const std::optional<loop::LoopReport> report = r.analyse("E1");
    ASSERT_TRUE(report);
    EXPECT_EQ(report->margins.gainCrossovers.size(), 1u);
    ASSERT_EQ(report->margins.phaseCrossovers.size(), 3u);
    EXPECT_LT(report->margins.phaseCrossovers[0].gainMarginDecibels, 0.0);
    EXPECT_LT(report->margins.phaseCrossovers[1].gainMarginDecibels, 0.0);
    EXPECT_GT(report->margins.phaseCrossovers[2].gainMarginDecibels, 0.0);
    EXPECT_GT(report->margins.gainCrossovers[0].phaseMarginDegrees, 0.0);
    EXPECT_EQ(report->stability.stability, Stability::Stable);
}

TEST(LoopGainTest, MarginsMatchTheClosedForms) {
    for (const MarginCase& c : MarginCases) {
        LoopRun r;
        ASSERT_TRUE(r.read(Data + c.file)) << c.name;
        const std::optional<loop::LoopReport> report = r.analyse(c.source);
        ASSERT_TRUE(report) << c.name;
        const loop::LoopMargins& m = report->margins;
        ASSERT_TRUE(m.computed) << c.name;
        ASSERT_EQ(m.gainCrossovers.size(), c.gainCrossovers.size()) << c.name;
        for (std::size_t i = 0; i < c.gainCrossovers.size(); ++i) {
            const double w = c.gainCrossovers[i];
            EXPECT_NEAR(m.gainCrossovers[i].omega, w, 1e-10 * w) << c.name;
            const double margin = 180.0 + std::arg(c.loopGain(w)) * Degrees;
            const double wrapped = margin > 180.0 ? margin - 360.0 : margin;
            EXPECT_NEAR(m.gainCrossovers[i].phaseMarginDegrees, wrapped, 1e-8) << c.name;
        }
        ASSERT_EQ(m.phaseCrossovers.size(), c.phaseCrossovers.size()) << c.name;
        for (std::size_t i = 0; i < c.phaseCrossovers.size(); ++i) {
            const double w = c.phaseCrossovers[i];
            EXPECT_NEAR(m.phaseCrossovers[i].omega, w, 1e-10 * w) << c.name;
            EXPECT_NEAR(m.phaseCrossovers[i].gainMargin, 1.0 / std::abs(c.loopGain(w)), 1e-10)
                << c.name;
        }
        EXPECT_EQ(report->stability.rightHalfPlanePoles, c.rightHalfPlanePoles) << c.name;
        // T itself, at a few frequencies, against the closed form.
        for (const double w : {10.0, 1e3, 3e4, 1e6}) {
            const loop::Ratio& t = report->gain.loopGain;
            std::complex<double> n = 0.0;
            std::complex<double> d = 0.0;
            const auto nc = t.numerator.coefficients();
            const auto dc = t.denominator.coefficients();
            for (auto it = nc.rbegin(); it != nc.rend(); ++it)
                n = n * std::complex<double>(0, w) + *it;
            for (auto it = dc.rbegin(); it != dc.rend(); ++it)
                d = d * std::complex<double>(0, w) + *it;
            const std::complex<double> value = t.numerator.constant * n / d;
            EXPECT_NEAR(std::abs(value - c.loopGain(w)), 0.0, 1e-11 * std::abs(c.loopGain(w)))
                << c.name << " at " << w;
        }
    }
}

// The textbook two-pole margin 180° − atan(ωc/p1) − atan(ωc/p2), about 52.6° for K = 100
// and p2/p1 = 100.
TEST(LoopGainTest, TwoPoleAmplifierListsItsMarginLines) {
    LoopRun r;
    ASSERT_TRUE(r.read(Data + "two_pole.net"));
    const std::optional<loop::LoopReport> report = r.analyse("E1");
    ASSERT_TRUE(report);
    r.lines.clear();
    loop::listMargins(*report, r.log);
    const double w = twoPoleCrossover();
    const double pm = 180.0 - std::atan(w / 1e3) * Degrees - std::atan(w / 1e5) * Degrees;
    char expected[160];
    std::snprintf(expected, sizeof expected, "Margem de fase: %.4f° em ω = %.6g rad/s (%.6g Hz)",
                  pm, w, w / (2.0 * std::numbers::pi));
    EXPECT_EQ(r.lines, (std::vector<std::string>{
                           expected, "Sem cruzamento de -180°: margem de ganho infinita",
                           "Estável em malha fechada."}));
    EXPECT_NEAR(pm, 52.56, 0.01);
}

// The closed loop's pole sits at ωp·(1 + A0·β) = 2π·(GBW·β + GBW/A0): the bandwidth is
// GBW/(1 + R2/R1) up to 1/A0; A∞ is the ideal gain 1 + R2/R1, and ρ is zero.
TEST(LoopGainTest, NonInvertingAmplifierHasTheGainBandwidthBandwidth) {
    LoopRun r;
    ASSERT_TRUE(r.read(Data + "non_inverting.net"));
    const std::optional<loop::LoopReport> report = r.analyse("O1");
    ASSERT_TRUE(report);
    const PolynomialRoots poles = findRoots(report->gain.closedLoopDenominator);
    ASSERT_EQ(poles.roots.size(), 1u);
    const double expected = 2.0 * std::numbers::pi * (1e6 * 0.1 + 1e6 / 1e5);
    EXPECT_NEAR(-poles.roots[0].value.real(), expected, 1e-11 * expected);
    EXPECT_NEAR(-poles.roots[0].value.real() / (2.0 * std::numbers::pi), 1e6 / 10.0, 1e-3 * 1e5);
    const int out = 3;
    ASSERT_STREQ(r.run.variableName(out), "out");
    const loop::Ratio& ideal = report->gain.asymptotic[out];
    EXPECT_EQ(ideal.denominator.trimmedDegree(), 0);
    EXPECT_NEAR(ideal.numerator.constant * ideal.numerator.coef[0] /
                    (ideal.denominator.constant * ideal.denominator.coef[0]),
                10.0, 1e-12);
    EXPECT_TRUE(report->gain.direct[out].numerator.isZero());
}

TEST(LoopGainTest, BadSourcesAreNamed) {
    const struct {
        const char* file;
        const char* source;
        const char* line;
        bool failed;
    } cases[] = {
        {"two_pole.net", "X1", "Fonte X1 inexistente", true},
        {"two_pole.net", "R3",
         "R3 não é uma fonte controlada nem um amplificador operacional "
         "com ganho finito",
         true},
        {"two_pole.net", "V1",
         "V1 não é uma fonte controlada nem um amplificador operacional "
         "com ganho finito",
         true},
        {"feedforward.net", "E1", "O ganho de malha de E1 é identicamente nulo", false},
    };
    for (const auto& c : cases) {
        LoopRun r;
        ASSERT_TRUE(r.read(Data + c.file));
        r.lines.clear();
        bool failed = false;
        bool cancelled = false;
        EXPECT_FALSE(
            loop::analyseLoop(r.run, c.source, r.host, EngineOptions{}, r.log, failed, cancelled));
        EXPECT_EQ(r.lines, std::vector<std::string>{c.line}) << c.source;
        EXPECT_EQ(failed, c.failed) << c.source;
    }
}

// Margins that do not exist: |T| below 1 everywhere, and a phase that never reaches −180°.
TEST(LoopGainTest, MissingCrossingsAreSaid) {
    Polynomial n;
    n.coef[0] = 0.5;
    n.constant = 1.0;
    Polynomial d;
    d.degree = 1;
    d.coef[0] = 1.0;
    d.coef[1] = 1.0;
    d.constant = 1.0;
    loop::LoopReport report;
    report.margins = loop::loopMargins(n, d);
    report.stability = loop::closedLoopStability(d);
    std::vector<std::string> lines;
    AnalysisLog log([&](std::string_view line) { lines.emplace_back(line); });
    loop::listMargins(report, log);
    EXPECT_EQ(lines, (std::vector<std::string>{"Sem cruzamento de 0 dB: margem de fase indefinida",
                                               "Sem cruzamento de -180°: margem de ganho infinita",
                                               "Estável em malha fechada."}));
}

// Without GBW the model is the voltage amplifier of gain A0, stamp for stamp.
TEST(LoopGainTest, OpAmpWithoutBandwidthIsAVoltageAmplifier) {
    test::TempDir dir;
    LoopRun a;
    LoopRun b;
    ASSERT_TRUE(a.read(dir.write("a.net",
                                 "t\nV1 in 0 1 IMPULSO\nR1 n 0 1k\nR2 out n 9k\n"
                                 "O1 out 0 in n a0=2k\n")));
    ASSERT_TRUE(b.read(dir.write("b.net",
                                 "t\nV1 in 0 1 IMPULSO\nR1 n 0 1k\nR2 out n 9k\n"
                                 "E1 out 0 in n 2000\n")));
    EXPECT_EQ(a.lines.at(4), "O1 out 0 in n A0=2000");
    EXPECT_TRUE(kindOf(a.run.ElementTable[4])->finiteGain);
    test::RecordingHost host;
    const loop::LoopFunctions fa = loop::computeLoopFunctions(a.run, 4, host, EngineOptions{});
    const loop::LoopFunctions fb = loop::computeLoopFunctions(b.run, 4, host, EngineOptions{});
    EXPECT_EQ(fa.closedLoop.denominator, fb.closedLoop.denominator);
    EXPECT_EQ(fa.gainParts.denominator, fb.gainParts.denominator);
}

TEST(LoopGainTest, BadModelsNameTheLine) {
    const struct {
        const char* line;
        const char* message;
    } cases[] = {
        {"O1 out 0 in n GBW=1MEG",
         "Linha 5: amplificador operacional sem A0 (GBW pede o ganho A0): O1 out 0 in n GBW=1MEG"},
        {"O1 out 0 in n A0=0",
         "Linha 5: valor de A0 ausente ou inválido (um número positivo): O1 out 0 in n A0=0"},
        {"O1 out 0 in n A0=abc",
         "Linha 5: valor de A0 ausente ou inválido (um número positivo): O1 out 0 in n A0=abc"},
        {"O1 out 0 in n A0=1k GBW=-1",
         "Linha 5: valor de GBW ausente ou inválido (um número positivo): O1 out 0 in n A0=1k "
         "GBW=-1"},
        {"O1 out 0 in n A0=1k GBW=nan",
         "Linha 5: valor de GBW ausente ou inválido (um número positivo): O1 out 0 in n A0=1k "
         "GBW=nan"},
        {"O1 out 0 in n A0=1k X=2",
         "Linha 5: parâmetro desconhecido ou repetido X=2: O1 out 0 in n A0=1k X=2"},
        {"O1 out 0 in n A0=1k A0=2k",
         "Linha 5: parâmetro desconhecido ou repetido A0=2k: O1 out 0 in n A0=1k A0=2k"},
    };
    test::TempDir dir;
    for (const auto& c : cases) {
        LoopRun r;
        const std::string text =
            std::string("t\nV1 in 0 1 IMPULSO\nR1 n 0 1k\nR2 out n 9k\n") + c.line + "\n";
        EXPECT_FALSE(r.read(dir.write("m.net", text))) << c.line;
        ASSERT_FALSE(r.lines.empty());
        EXPECT_EQ(r.lines.back(), c.message);
    }
}

// A line without a model is the ideal op-amp as it always was, its other text ignored.
TEST(LoopGainTest, IdealOpAmpLinesStayAsTheyWere) {
    test::TempDir dir;
    for (const char* line : {"O1 out 0 in n", "O1 out 0 in n ideal"}) {
        LoopRun r;
        ASSERT_TRUE(r.read(dir.write("i.net", std::string("t\nV1 in 0 1 IMPULSO\nR1 n 0 1k\n"
                                                          "R2 out n 9k\n") +
                                                  line + "\n")));
        EXPECT_EQ(r.lines.at(4), "O1 out 0 in n");
        const Element& e = r.run.ElementTable[4];
        EXPECT_FALSE(e.hasFiniteGain());
        EXPECT_EQ(kindOf(e), findElementKind('O'));
        r.lines.clear();
        bool failed = false;
        bool cancelled = false;
        EXPECT_FALSE(
            loop::analyseLoop(r.run, "O1", r.host, EngineOptions{}, r.log, failed, cancelled));
        EXPECT_EQ(r.lines, std::vector<std::string>{"O1 não é uma fonte controlada nem um "
                                                    "amplificador operacional com ganho finito"});
    }
}

}  // namespace
}  // namespace corvane
