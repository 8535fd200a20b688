// corvane-cli ruido: what it refuses, with the option named and nothing written, and the
// table of densities against the closed form of an inverting amplifier.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "cli_runner.h"
#include "noise_sources.h"
#include "temp_dir.h"

namespace corvane {
namespace {

// Gain −R2/R1 with C1 across R2: at low frequency the output density is 4kT·R2·(1 + R2/R1).
constexpr const char* Inverting =
    "Inversor\nV1 e 0 1 IMPULSO\nR1 e m 1k\nR2 m s 10k\nC1 m s 1n\nO1 s 0 0 m\n";

struct Refused {
    std::vector<std::string> args;
    const char* message;
};

TEST(NoiseCommandTest, RefusesWhatItCannotTakeAndWritesNothing) {
    test::TempDir dir;
    const std::string netlist = dir.write("inv.net", Inverting);
    const std::string table = dir.file("t.csv");
    const Refused cases[] = {
        {{"ruido", netlist}, "corvane-cli: falta a opção --saida\n"},
        {{"ruido", "--saida", "s", "--faixa", "100", "10", netlist},
         "corvane-cli: a faixa deve ir de uma frequência a outra maior\n"},
        {{"ruido", "--saida", "s", "--faixa", "-1", "10", netlist},
         "corvane-cli: a opção --faixa pede uma frequência (número com . ou , e sufixo "
         "opcional, como 1k ou 2.5MEG): -1\n"},
        {{"ruido", "--saida", "s", "--temperatura", "-274", netlist},
         "corvane-cli: a temperatura deve ficar acima do zero absoluto (-273.15 °C): -274\n"},
        {{"ruido", "--saida", "s", "--temperatura", "frio", netlist},
         "corvane-cli: a opção --temperatura pede um número de graus Celsius: frio\n"},
    };
    for (const Refused& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.end() - 1, {"--tabela", table});
        const test::CliResult result = test::runCliWith(args);
        EXPECT_EQ(result.status, 2) << c.message;
        EXPECT_EQ(result.err.substr(0, result.err.find('\n') + 1), c.message);
        EXPECT_FALSE(std::filesystem::exists(table)) << c.message;
    }
}

TEST(NoiseCommandTest, AnOutputTheCircuitDoesNotHaveFailsWithTheLogSayingSo) {
    test::TempDir dir;
    const std::string netlist = dir.write("inv.net", Inverting);
    const test::CliResult result = test::runCliWith({"ruido", "--saida", "x", netlist});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.out.find("Ruído: a saída x não é uma variável do circuito\n"),
              std::string::npos);
}

TEST(NoiseCommandTest, TheTableHoldsTheClosedFormDensityOfAnInvertingAmplifier) {
    test::TempDir dir;
    const std::string netlist = dir.write("inv.net", Inverting);
    const std::string table = dir.file("t.csv");
    const test::CliResult result = test::runCliWith(
        {"ruido", "--saida", "s", "--entrada", "V1", "--faixa", "1", "100", "--tabela", table,
         netlist});
    ASSERT_EQ(result.status, 0) << result.err;
    std::ifstream file(table);
    std::string header;
    std::getline(file, header);
    EXPECT_EQ(header, "frequencia_hz,saida,entrada,R1,R2");
    const double fourKT = 4.0 * noise::BoltzmannConstant * (27.0 + noise::ZeroCelsiusInKelvin);
    const double output = std::sqrt(fourKT * 10e3 * 11.0);
    int rows = 0;
    for (std::string line; std::getline(file, line); ++rows) {
        std::istringstream fields(line);
        double hertz = 0.0;
        double density = 0.0;
        double input = 0.0;
        char comma = 0;
        ASSERT_TRUE(fields >> hertz >> comma >> density >> comma >> input) << line;
        // Below 100 Hz the pole at 15.9 kHz changes the density by less than 4e-5.
        EXPECT_NEAR(density, output, 4e-5 * output) << line;
        EXPECT_NEAR(input, output / 10.0, 4e-5 * output / 10.0) << line;
    }
    EXPECT_EQ(rows, 200);
}

// analisar --ruido: the same noise after the numeric listing, and in the JSON document.
TEST(NoiseCommandTest, AnAnalysisListsTheNoiseAndPutsItInTheDocument) {
    test::TempDir dir;
    const std::string netlist =
        dir.write("div.net", "Divisor\nV1 e 0 1 IMPULSO\nR1 e s 1000\nR2 s 0 3000\n");
    const std::string json = dir.file("div.json");
    const test::CliResult result = test::runCliWith(
        {"analisar", "--ruido", "s", "--faixa", "0", "1000", "--json", json, netlist});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("Análise de ruído: saída s, 27 °C\n"), std::string::npos);
    std::ifstream file(json);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // R1 ∥ R2 = 750 Ω over 1000 Hz: √(4kT·750·1000).
    const double fourKT = 4.0 * noise::BoltzmannConstant * (27.0 + noise::ZeroCelsiusInKelvin);
    const std::size_t rms = text.find("\"rms\": ");
    ASSERT_NE(rms, std::string::npos);
    EXPECT_NEAR(std::stod(text.substr(rms + 7)), std::sqrt(fourKT * 750.0 * 1000.0), 1e-15);

    const test::CliResult refused =
        test::runCliWith({"analisar", "--entrada", "V1", netlist});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err.substr(0, refused.err.find('\n')),
              "corvane-cli: a opção --entrada precisa de --ruido");
}

// analisar --ruido --simbolica: the density as an expression after the noise report, at the
// temperature asked, and in the document under "ruido" only when both are on.
TEST(NoiseCommandTest, WithTheSymbolicAnalysisTheDensityIsAlsoAnExpression) {
    test::TempDir dir;
    const std::string netlist =
        dir.write("div.net", "Divisor\nV1 e 0 1 IMPULSO\nR1 e s 1000\nR2 s 0 3000\n");
    const std::string json = dir.file("div.json");
    for (const bool symbolic : {true, false}) {
        std::vector<std::string> args = {"analisar", "--ruido", "s", "--temperatura", "0",
                                         "--json", json, netlist};
        if (symbolic) args.insert(args.begin() + 1, "--simbolica");
        const test::CliResult result = test::runCliWith(args);
        ASSERT_EQ(result.status, 0) << result.err;
        const std::string lines =
            "Ruído simbólico na saída s:\n"
            "S_s(ω) = 4·k·T·(|N_R1(jω)|²/R1 + |N_R2(jω)|²/R2) / |D(jω)|² [V²/Hz]\n"
            "k = 1.380649e-23 J/K, T = 273.15 K\nD(s) = R1 + R2\n";
        EXPECT_EQ(result.out.find(lines) != std::string::npos, symbolic) << result.out;
        std::ifstream file(json);
        const std::string text((std::istreambuf_iterator<char>(file)),
                               std::istreambuf_iterator<char>());
        EXPECT_EQ(text.find("\"densidade\": \"S_s(ω) = 4·k·T·") != std::string::npos, symbolic)
            << text;
    }
}

}  // namespace
}  // namespace corvane
