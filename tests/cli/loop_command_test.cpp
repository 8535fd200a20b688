// corvane-cli malha and analisar --malha: what they refuse, with nothing written; the table
// of an integrator loop against its closed form T = 1000/s; the loop gain file written with
// the result set, drawn by a plot list line and taken away by a run without the loop gain.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli_runner.h"
#include "temp_dir.h"

namespace corvane {
namespace {

// T = gm/(sC) = 1000/s.
constexpr const char* Integrator =
    "Integrador\nV1 in 0 1 IMPULSO\nG1 0 x in out 1m\nC1 x 0 1u\nE1 out 0 x 0 1\n";

TEST(LoopCommandTest, RefusesWhatItCannotTakeAndWritesNothing) {
    test::TempDir dir;
    const std::string netlist = dir.write("int.net", Integrator);
    const std::string table = dir.file("t.csv");
    const struct {
        std::vector<std::string> args;
        int status;
        const char* err;
        const char* logLine;
    } cases[] = {
        {{"malha", "--tabela", table, netlist}, 2, "corvane-cli: falta a opção --fonte\n", ""},
        {{"malha", "--fonte", "G1", "--tabela", table, "--json", table, netlist},
         1,
         "corvane-cli: --tabela e --json são o mesmo arquivo: ",
         ""},
        {{"malha", "--fonte", "G9", "--tabela", table, netlist}, 1, "", "Fonte G9 inexistente\n"},
        {{"malha", "--fonte", "C1", "--tabela", table, netlist},
         1,
         "",
         "C1 não é uma fonte controlada nem um amplificador operacional com ganho finito\n"},
        {{"malha", "--fonte", "G1", "--saida", "zz", "--tabela", table, netlist},
         1,
         "",
         "Malha: a saída zz não é uma variável do circuito\n"},
    };
    for (const auto& c : cases) {
        const test::CliResult result = test::runCliWith(c.args);
        EXPECT_EQ(result.status, c.status) << c.err << c.logLine;
        EXPECT_EQ(result.err.substr(0, std::string(c.err).size()), c.err);
        EXPECT_NE(result.out.find(c.logLine), std::string::npos) << c.logLine;
        EXPECT_FALSE(std::filesystem::exists(table)) << c.err << c.logLine;
    }
}

TEST(LoopCommandTest, AZeroLoopGainIsSaidAndIsNoFailure) {
    test::TempDir dir;
    const std::string netlist =
        dir.write("ida.net",
                  "So de ida\nV1 in 0 1 IMPULSO\nR1 in 0 1k\nE1 out 0 in 0 10\n"
                  "RL out 0 1k\n");
    const std::string table = dir.file("t.csv");
    const test::CliResult result =
        test::runCliWith({"malha", "--fonte", "e1", "--tabela", table, netlist});
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.out.find("O ganho de malha de E1 é identicamente nulo\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(table));
}

TEST(LoopCommandTest, TheTableHoldsTheIntegratorsClosedForm) {
    test::TempDir dir;
    const std::string netlist = dir.write("int.net", Integrator);
    const std::string table = dir.file("t.csv");
    const test::CliResult result =
        test::runCliWith({"malha", "--fonte", "G1", "--tabela", table, netlist});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("Margem de fase: 90.0000° em ω = 1000 rad/s (159.155 Hz)\n"),
              std::string::npos);
    EXPECT_NE(result.out.find("Estável em malha fechada.\n"), std::string::npos);
    std::ifstream file(table);
    std::string line;
    std::getline(file, line);
    EXPECT_EQ(line, "frequencia_hz,ganho_db,fase_graus");
    int rows = 0;
    for (; std::getline(file, line); ++rows) {
        std::istringstream fields(line);
        double hertz = 0.0;
        double db = 0.0;
        double degrees = 0.0;
        char comma = 0;
        ASSERT_TRUE(fields >> hertz >> comma >> db >> comma >> degrees) << line;
        const double omega = 2.0 * std::numbers::pi * hertz;
        EXPECT_NEAR(db, 20.0 * std::log10(1000.0 / omega), 1e-9) << line;
        EXPECT_NEAR(degrees, -90.0, 1e-9) << line;
    }
    EXPECT_EQ(rows, 200);
}

// The run writes <base>.malha with its set and "malha" in its document; the plot list line
// draws T, whose value at 1000 rad/s is 1 at −90°; a run without the loop gain takes the
// file away.
TEST(LoopCommandTest, TheLoopGainFileTravelsWithTheResultSet) {
    test::TempDir dir;
    const std::string netlist = dir.write("int.net", Integrator);
    const std::string document = dir.file("r.json");
    test::CliResult result = test::runCliWith(
        {"analisar", "--malha", "G1", "--variaveis", "out", "--json", document, netlist});
    ASSERT_EQ(result.status, 0) << result.out;
    const std::string loopFile = dir.file("int.malha");
    ASSERT_TRUE(std::filesystem::exists(loopFile));
    std::ifstream json(document);
    const nlohmann::json parsed = nlohmann::json::parse(json);
    EXPECT_EQ(parsed["malha"]["fonte"], "G1");
    EXPECT_EQ(parsed["malha"]["estabilidade_malha_fechada"], "estavel");
    ASSERT_EQ(parsed["malha"]["margens"]["fase"].size(), 1u);
    EXPECT_NEAR(parsed["malha"]["margens"]["fase"][0]["omega"].get<double>(), 1000.0, 1e-9);
    // A∞ of out: the ideal follower, 1.
    const nlohmann::json& ideal = parsed["malha"]["variaveis"][0]["assintotico"];
    EXPECT_EQ(parsed["malha"]["variaveis"][0]["nome"], "out");
    EXPECT_NEAR(ideal["numerador"]["constante"].get<double>() *
                    ideal["numerador"]["coeficientes"][0].get<double>() /
                    ideal["denominador"]["coeficientes"][0].get<double>(),
                1.0, 1e-12);

    const std::string list = dir.write("l.txt", loopFile + "\n");
    result = test::runCliWith({"plotar", "--em", "1000", list});
    ASSERT_EQ(result.status, 0) << result.out << result.err;
    EXPECT_NE(result.out.find("dB (1), fase -90 graus"), std::string::npos) << result.out;

    result = test::runCliWith({"analisar", netlist});
    ASSERT_EQ(result.status, 0);
    EXPECT_FALSE(std::filesystem::exists(loopFile));
    result = test::runCliWith({"analisar", "--malha", "R9", netlist});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.out.find("Fonte R9 inexistente\n"), std::string::npos);
}

// The single-pole op-amp in the symbolic analysis: its gain is O1 and its pole's time
// constant TAU_O1, and the non-inverting amplifier's characteristic polynomial is
// (1 + s·τ)(R1 + R2) + A0·R1 (times the step's s).
TEST(LoopCommandTest, TheOpAmpModelIsSymbolicToo) {
    test::TempDir dir;
    const std::string netlist = dir.write("ni.net",
                                          "Nao inversor\nV1 in 0 1 DEGRAU\nR1 n 0 1k\nR2 out n 9k\n"
                                          "O1 out 0 in n A0=100k GBW=1MEG\n");
    const test::CliResult result = test::runCliWith({"analisar", "--simbolica", netlist});
    ASSERT_EQ(result.status, 0) << result.out;
    for (const char* line : {"Símbolos: O1 R1 R2 TAU_O1 V1\n",
                             "Denominador simbólico: s^2·(R1·TAU_O1 + R2·TAU_O1) + "
                             "s·(O1·R1 + R1 + R2)\n",
                             "Verificação simbólica: ok\n"}) {
        EXPECT_NE(result.out.find(line), std::string::npos) << line << result.out;
    }
}

}  // namespace
}  // namespace corvane
