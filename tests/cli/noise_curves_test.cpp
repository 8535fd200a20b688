// Noise densities as curves: the run's "<base>.ruido" file (in the set, and refused as a
// netlist name), its reader's refusals, the list lines "x.ruido" and "x.ruido#R1" against
// the closed form of an RC low-pass, the shares adding up to the total, the cursor, --em
// and --tabela of a density, the views that refuse it (tempo, polos), and ruido --imagem.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#ifdef CORVANE_IMAGE_EXPORT
#include <QImage>
#endif

#include "analysis_log.h"
#include "cli_runner.h"
#include "command_line.h"
#include "frequency_response.h"
#include "listed_curves.h"
#include "noise_curves.h"
#include "noise_file.h"
#include "noise_sources.h"
#include "plot_cursor.h"
#include "temp_dir.h"
#include "time_plot.h"
#include "value_at.h"

namespace corvane {
namespace {

using cli::ExitFailure;
using cli::ExitSuccess;
using cli::ExitUsage;

constexpr double FourKT = 4.0 * noise::BoltzmannConstant * (27.0 + noise::ZeroCelsiusInKelvin);

struct ListRead {
    PlotCurves curves{};
    std::vector<std::string> lines;
    std::optional<int> count;
};

ListRead readList(const std::string& text) {
    ListRead read;
    AnalysisLog log([&read](std::string_view line) { read.lines.emplace_back(line); });
    read.count = readListedCurves(text, read.curves, log);
    return read;
}

// The run of `netlist` with the noise at `output`, in `dir`; the path of its noise file.
std::string noiseFileOf(const test::TempDir& dir, const std::string& name,
                        const std::string& netlist, const char* output) {
    const std::string path = dir.write(name + ".net", netlist);
    EXPECT_EQ(test::runCliWith({"analisar", "--ruido", output, path}).status, ExitSuccess);
    return dir.file(name + ".ruido");
}

double densityFromLevel(double level) { return std::pow(10.0, level / 10.0); }

TEST(NoiseCurvesTest, AnRcLowPassIsTheThermalNoiseOfItsResistorThroughItsPole) {
    struct Case {
        double r;
        double c;
    };
    const Case cases[] = {{1e3, 1e-6}, {10e6, 10e-12}, {50.0, 1e-3}};
    const test::TempDir dir;
    for (const Case& rc : cases) {
        char netlist[128];
        std::snprintf(netlist, sizeof netlist, "RC\nV1 in 0 1 IMPULSO\nR1 in out %g\nC1 out 0 %g\n",
                      rc.r, rc.c);
        const std::string file = noiseFileOf(dir, "rc", netlist, "out");
        // The total and R1's share alone are the same curve; the name matches in any case.
        const ListRead read = readList(file + "\n" + file + "#r1\n");
        ASSERT_EQ(read.count, 2) << read.lines.back();
        const double pole = 1.0 / (2.0 * std::numbers::pi * rc.r * rc.c);
        for (const double ratio : {1e-3, 0.5, 1.0, 7.0, 1e3}) {
            const double hertz = ratio * pole;
            const double closed = FourKT * rc.r / (1.0 + ratio * ratio);
            for (int k = 1; k <= 2; ++k) {
                const CurveResponse r = evaluateCurve(read.curves[k], hertz, true);
                EXPECT_NEAR(densityFromLevel(r.gain) / closed, 1.0, 1e-9) << rc.r << " " << hertz;
                EXPECT_TRUE(std::isnan(r.phase) && std::isnan(r.delay));
            }
        }
    }
}

TEST(NoiseCurvesTest, TheSharesOfTheSourcesAddUpToTheTotal) {
    const test::TempDir dir;
    const std::string file = noiseFileOf(
        dir, "div",
        "Divisor\nV1 in 0 1 IMPULSO\nR1 in out 1k\nR2 out 0 3k\nC1 out 0 1n\nR3 out x 2k\n"
        "C2 x 0 10n\n",
        "out");
    const ListRead read = readList(file + "\n" + file + "#R1\n" + file + "#R2\n" + file + "#R3\n");
    ASSERT_EQ(read.count, 4);
    for (const double hertz : {1.0, 1e4, 1e5, 3e6}) {
        const double omega = 2.0 * std::numbers::pi * hertz;
        const double total = densityAt(read.curves[1], omega);
        const double shares = densityAt(read.curves[2], omega) + densityAt(read.curves[3], omega) +
                              densityAt(read.curves[4], omega);
        EXPECT_NEAR(shares / total, 1.0, 1e-12) << hertz;
    }
    // At DC the capacitors are open: R3 carries no current and the rest is R1 ∥ R2.
    EXPECT_NEAR(densityAt(read.curves[1], 0.0) / (FourKT * 750.0), 1.0, 1e-12);
}

// A noise file of one source, valid unless a part is given otherwise.
std::string noiseText(const std::string& format = "corvane-ruido", int version = 1,
                      const std::string& denominator = "[1.0,1e-3]",
                      const std::string& density = "1.6e-20") {
    return "{\"formato\":\"" + format + "\",\"versao\":" + std::to_string(version) +
           ",\"saida\":\"out\",\"unidade\":\"V\",\"temperatura_c\":27,\"denominador\":" +
           denominator + ",\"fontes\":[{\"elemento\":\"R1\",\"densidade\":" + density +
           ",\"numerador\":[1.0]}]}\n";
}

TEST(NoiseCurvesTest, TheReaderRefusesWhatIsNotAWholeNoiseFile) {
    const test::TempDir dir;
    const std::string good = noiseText();
    struct Bad {
        const char* name;
        std::string text;
        std::string line;
        std::string message;
    };
    const std::string p = dir.file("x.ruido");
    const std::vector<Bad> cases = {
        {"truncated", good.substr(0, good.size() / 2), p,
         "O arquivo de ruído " + p + " não é um documento JSON válido."},
        {"wrong format", noiseText("corvane-resultados"), p,
         "O arquivo " + p + " não é um arquivo de ruído do Corvane."},
        {"later version", noiseText("corvane-ruido", 2), p,
         "O arquivo de ruído " + p + " é de uma versão que este programa não lê."},
        {"negative density", noiseText("corvane-ruido", 1, "[1.0,1e-3]", "-1e-20"), p,
         "O arquivo de ruído " + p +
             " é inválido: a densidade de R1 não é um número positivo e finito."},
        {"overflowing density", noiseText("corvane-ruido", 1, "[1.0,1e-3]", "1e400"), p,
         "O arquivo de ruído " + p + " não é um documento JSON válido."},
        {"zero denominator", noiseText("corvane-ruido", 1, "[0.0,0.0]"), p,
         "O arquivo de ruído " + p + " é inválido: o denominador é zero."},
        {"unknown element", good, p + "#R9", "O elemento R9 não faz ruído em " + p},
        {"over the cap", std::string(noise::MaxNoiseFileBytes + 1, ' '), p,
         "O arquivo de ruído " + p + " passa de 16 MiB."},
    };
    for (const Bad& bad : cases) {
        dir.write("x.ruido", bad.text);
        const ListRead read = readList(bad.line + "\n");
        EXPECT_FALSE(read.count) << bad.name;
        EXPECT_EQ(read.lines.back(), bad.message) << bad.name;
    }
    // A folder, or a link to a device, is not read at all.
    std::filesystem::remove(p);
    std::filesystem::create_directory(p);
    EXPECT_EQ(noise::readNoiseFile(p).error, "O arquivo de ruído " + p + " não é um arquivo comum.");
    const std::string device = dir.file("zero.ruido");
    std::filesystem::create_symlink("/dev/zero", device);
    EXPECT_EQ(noise::readNoiseFile(device).error,
              "O arquivo de ruído " + device + " não é um arquivo comum.");
}

// 31 coefficients are the highest degree; 32 are refused.
TEST(NoiseCurvesTest, ADegreeOfThirtyIsReadAndOnePastItRefused) {
    const test::TempDir dir;
    std::string thirty = "[1";
    for (int i = 0; i < 30; ++i) thirty += ",1e-3";
    const std::string p = dir.write("y.ruido", noiseText("corvane-ruido", 1, thirty + "]"));
    const noise::NoiseFileRead read = noise::readNoiseFile(p);
    ASSERT_TRUE(read.file) << read.error;
    EXPECT_EQ(read.file->functions.denominator.degree, 30);
    const std::string past = dir.write("z.ruido", noiseText("corvane-ruido", 1, thirty + ",1]"));
    EXPECT_EQ(noise::readNoiseFile(past).error,
              "O arquivo de ruído " + past +
                  " é inválido: o denominador não é uma lista de 1 a 31 números finitos.");
}

TEST(NoiseCurvesTest, TheRunWritesItsNoiseWithTheSetAndRefusesANetlistNamedLikeIt) {
    const test::TempDir dir;
    const std::string rc = "RC\nV1 in 0 1 IMPULSO\nR1 in out 1k\nC1 out 0 1u\n";
    const std::string netlist = dir.write("a.net", rc);
    // Without the noise, no noise file; ruido itself writes only what it is asked.
    ASSERT_EQ(test::runCliWith({"analisar", netlist}).status, ExitSuccess);
    EXPECT_FALSE(std::filesystem::exists(dir.file("a.ruido")));
    ASSERT_EQ(test::runCliWith({"ruido", "--saida", "out", netlist}).status, ExitSuccess);
    EXPECT_FALSE(std::filesystem::exists(dir.file("a.ruido")));
    const test::CliResult run = test::runCliWith({"analisar", "--ruido", "out", netlist});
    ASSERT_EQ(run.status, ExitSuccess) << run.out;
    const noise::NoiseFileRead read = noise::readNoiseFile(dir.file("a.ruido"));
    ASSERT_TRUE(read.file) << read.error;
    EXPECT_EQ(read.file->outputName, "out");
    EXPECT_EQ(read.file->functions.sources.at(0).element, "R1");
    // A later run without the noise takes the noise file of the circuit away with its set.
    ASSERT_EQ(test::runCliWith({"analisar", netlist}).status, ExitSuccess);
    EXPECT_FALSE(std::filesystem::exists(dir.file("a.ruido")));
    ASSERT_EQ(test::runCliWith({"analisar", "--ruido", "out", netlist}).status, ExitSuccess);

    const std::string named = dir.write("w.ruido", rc);
    // Refused without the noise too, before anything is written or taken away.
    EXPECT_EQ(test::runCliWith({"analisar", named}).status, ExitFailure);
    EXPECT_EQ(test::readFile(named), rc);
    const test::CliResult refused = test::runCliWith({"analisar", "--ruido", "out", named});
    EXPECT_EQ(refused.status, ExitFailure);
    EXPECT_EQ(test::lastLine(refused.out),
              "O netlist " + named + " seria substituído pelo arquivo de resultados " + named);
    EXPECT_EQ(test::readFile(named), rc);

    // The JSON under the noise file's name would leave one of the two.
    const std::string json = dir.file("a.ruido");
    const test::CliResult clash =
        test::runCliWith({"analisar", "--ruido", "out", "--json", json, netlist});
    EXPECT_EQ(clash.status, ExitFailure);
    EXPECT_EQ(test::lastLine(clash.out),
              "O arquivo de ruído " + json + " seria substituído pelo JSON " + json);
}

TEST(NoiseCurvesTest, TheViewsWithoutADensityRefuseItsLine) {
    const test::TempDir dir;
    const std::string file =
        noiseFileOf(dir, "rc", "RC\nV1 in 0 1 IMPULSO\nR1 in out 1k\nC1 out 0 1u\n", "out");
    const std::string list =
        dir.write("l.txt", dir.file("rc.n2") + "\n" + dir.file("rc.d") + "\n" + file + "#R1\n");
    const struct {
        const char* command;
        std::string message;
    } cases[] = {
        {"tempo", "A linha " + file + "#R1 é uma densidade de ruído, que não tem resposta no tempo"},
        {"polos", "A linha " + file +
                      "#R1 é uma densidade de ruído, que não se mostra no mapa de polos e zeros"},
    };
    for (const auto& c : cases) {
        const test::CliResult result = test::runCliWith({c.command, list});
        EXPECT_EQ(result.status, ExitFailure) << c.command;
        EXPECT_EQ(test::lastLine(result.out), c.message);
    }
}

TEST(NoiseCurvesTest, TheCursorTheValueAndTheTableSayItIsADensity) {
    const test::TempDir dir;
    const std::string file =
        noiseFileOf(dir, "rc", "RC\nV1 in 0 1 IMPULSO\nR1 in out 1k\nC1 out 0 1u\n", "out");
    ListRead read = readList(file + "\n");
    ASSERT_EQ(read.count, 1);
    // √(4kT·1 kΩ) at 27 °C: 4.0713 nV/√Hz, −167.805 dB; the pole at 159 Hz is far above.
    const std::optional<CursorReading> reading = readCurveAt(read.curves, 1, 1.0, true);
    ASSERT_TRUE(reading);
    EXPECT_EQ(cursorText(*reading, {}), "1 Hz  1: ruído em out: 4.07 nV/√Hz (-167.81 dB)");
    const std::string at = valueAtLine(1, read.curves[1], 1.0, true);
    const std::string prefix =
        "Curva 1 em ω = 6.28318531 rad/s (1 Hz): ruído em out, densidade ";
    ASSERT_EQ(at.rfind(prefix, 0), 0u) << at;
    const double omegaRc = 2.0 * std::numbers::pi * 1e-3;
    const double closed = std::sqrt(FourKT * 1e3 / (1.0 + omegaRc * omegaRc));
    EXPECT_NEAR(std::stod(at.substr(prefix.size())) / closed, 1.0, 1e-8);

    const std::string table = dir.file("t.csv");
    const std::string list = dir.write("l.txt", file + "\n");
    ASSERT_EQ(test::runCliWith({"plotar", "--hz", "--tabela", table, list}).status, ExitSuccess);
    const std::string text = test::readFile(table);
    const std::string header =
        "# curva 1: ruído em out: ganho_db é a densidade em dB re 1 V/√Hz, sem fase nem atraso\n"
        "curva,ponto,frequencia,ganho_db,fase_graus,atraso_s\n1,0,";
    EXPECT_EQ(text.rfind(header, 0), 0u) << text.substr(0, 200);
    EXPECT_EQ(text.find("nan"), std::string::npos);
    EXPECT_EQ(text.substr(text.find('\n', header.size()) - 2, 3), ",,\n");

    // Ajustar: a decade around the pole at 159 Hz, rounded out to 10 .. 2000 Hz; the level
    // from −167.8 dB on the plateau to −189.8 dB at 2 kHz, 2 dB of room added on both sides
    // (−191.8 dB), rounded out to 10 dB.
    const test::CliResult fitted = test::runCliWith({"plotar", "--hz", "--ajustar", list});
    EXPECT_NE(fitted.out.find("Faixas ajustadas: --wmin 10 --wmax 2000 --gmin -200 --gmax -160 "),
              std::string::npos)
        << fitted.out;
}

TEST(NoiseCurvesTest, RuidoRefusesAnImageOverItsInputsOrItsTable) {
    const test::TempDir dir;
    const std::string netlist =
        dir.write("n.png", "RC\nV1 in 0 1 IMPULSO\nR1 in out 1k\nC1 out 0 1u\n");
    const std::string image = dir.file("r.png");
    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"ruido", "--saida", "out", "--imagem", netlist, netlist},
         "corvane-cli: a imagem " + netlist + " seria o próprio netlist\n"},
        {{"ruido", "--saida", "out", "--tabela", image, "--imagem", image, netlist},
         "corvane-cli: --tabela e --imagem são o mesmo arquivo: " + image + "\n"},
    };
    for (const auto& c : cases) {
        const test::CliResult result = test::runCliWith(c.args);
#ifdef CORVANE_IMAGE_EXPORT
        EXPECT_EQ(result.status, ExitFailure);
        EXPECT_EQ(result.err, c.message);
#else
        EXPECT_EQ(result.status, ExitUsage);
#endif
    }
    EXPECT_FALSE(std::filesystem::exists(image));
}

#ifdef CORVANE_IMAGE_EXPORT
TEST(NoiseCurvesTest, RuidoDrawsTheTotalAndItsLargestContributors) {
    const test::TempDir dir;
    const std::string netlist = dir.write(
        "div.net", "Divisor\nV1 in 0 1 IMPULSO\nR1 in out 1k\nR2 out 0 3k\nC1 out 0 1n\n"
                   "R3 out x 2k\nC2 x 0 10n\nR4 x y 1\nC3 y 0 1p\n");
    for (const char* name : {"r.png", "r.svg"}) {
        const std::string image = dir.file(name);
        const test::CliResult result =
            test::runCliWith({"ruido", "--saida", "out", "--imagem", image, netlist});
        EXPECT_EQ(result.status, ExitSuccess) << result.err;
        EXPECT_TRUE(std::filesystem::file_size(image) > 0) << name;
    }
    const QImage picture(QString::fromStdString(dir.file("r.png")));
    ASSERT_EQ(picture.size(), QSize(680, 442));
    // Four curves in their own colours: each colour of the first four curves is drawn.
    for (int k = 1; k <= 4; ++k) {
        const Colour colour = timeCurveColour(k);
        int count = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x)
                count += picture.pixel(x, y) == qRgb(colour.red, colour.green, colour.blue);
        }
        EXPECT_GT(count, 50) << k;
    }
    // The netlist and the two images, nothing else.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("")),
                            std::filesystem::directory_iterator{}),
              3);
}
#endif

}  // namespace
}  // namespace corvane
