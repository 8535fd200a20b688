// Covers plotar and tempo reading a run's JSON document by variable name (--json,
// --variaveis, "doc.json#var" list lines), the warnings that documents and result files
// carry to them, and the exit status 4 of a run that warned.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>

#include "cli_runner.h"
#include "temp_dir.h"

namespace corvane {
namespace {

using test::runCliWith;

// The new user's third-order Butterworth at 10 kHz between 50 Ω terminations.
constexpr const char* Butterworth =
    "Butterworth 3 10 kHz\nV1 in 0 1 IMPULSO\nR1 in a 50\nC1 a 0 318.31n\nL1 a b 1.5915m\n"
    "C2 b 0 318.31n\nR2 b 0 50\n";

// The gain column of the first row of a plotar table.
double firstGain(const std::string& table) {
    std::istringstream lines(table);
    std::string header, row;
    std::getline(lines, header);
    std::getline(lines, row);
    std::istringstream fields(row);
    std::string field;
    for (int i = 0; i < 4; ++i)
        std::getline(fields, field, ',');
    return std::stod(field);
}

TEST(DocumentCurvesTest, PlotsAVariableOfTheDocumentByName) {
    test::TempDir dir;
    const std::string netlist = dir.write("bw.net", Butterworth);
    const std::string json = dir.file("bw.json");
    ASSERT_EQ(runCliWith({"analisar", "--json", json, netlist}).status, 0);
    const std::string table = dir.file("t.csv");
    // Names are matched without regard to case, as in the analysis.
    const test::CliResult plot = runCliWith(
        {"plotar", "--json", json, "--variaveis", "B", "--hz", "--wmin", "100", "--wmax", "1e5",
         "--tabela", table});
    ASSERT_EQ(plot.status, 0) << plot.out << plot.err;
    EXPECT_NE(plot.out.find("Lendo a variável B de " + json), std::string::npos);
    // Doubly terminated: half the source, and 1/sqrt(1 + (f/fc)^6) of it at 100 Hz.
    const double expected = 20 * std::log10(0.5 / std::sqrt(1 + std::pow(100.0 / 1e4, 6)));
    EXPECT_NEAR(firstGain(test::readFile(table)), expected, 1e-3);

    // A list line names the same function; both ways give the same table.
    const std::string list = dir.write("lista.txt", json + "#b\n");
    const std::string again = dir.file("u.csv");
    ASSERT_EQ(runCliWith({"plotar", "--hz", "--wmin", "100", "--wmax", "1e5", "--tabela", again,
                          list})
                  .status,
              0);
    EXPECT_EQ(test::readFile(again), test::readFile(table));
    EXPECT_EQ(runCliWith({"tempo", "--json", json, "--variaveis", "3", "--pontos", "5"}).status, 0);
}

TEST(DocumentCurvesTest, RefusesWhatNamesNothing) {
    test::TempDir dir;
    const std::string json = dir.file("bw.json");
    ASSERT_EQ(runCliWith({"analisar", "--json", json, dir.write("bw.net", Butterworth)}).status, 0);
    const struct {
        std::vector<std::string> args;
        int status;
        std::string message;
    } cases[] = {
        {{"plotar", "--json", json, "--variaveis", "x9"}, 1,
         "O documento " + json + " não tem a variável x9."},
        {{"tempo", "--json", dir.write("nada.json", "{\"a\": 1}")}, 1,
         "corvane-cli: O documento " + dir.file("nada.json") +
             " não é um documento de resultados do Corvane.\n"},
        {{"plotar", "--json", dir.file("falta.json")}, 1,
         "corvane-cli: Arquivo " + dir.file("falta.json") + " não encontrado.\n"},
        {{"plotar", "--json", dir.path().string()}, 1,
         "corvane-cli: O documento " + dir.path().string() + " não é um arquivo comum.\n"},
        {{"plotar", "--variaveis", "b", "lista.txt"}, 2,
         "corvane-cli: a opção --variaveis pede --json\n"},
        {{"plotar"}, 2, "corvane-cli: falta a LISTA\n"},
    };
    for (const auto& c : cases) {
        const test::CliResult result = runCliWith(c.args);
        EXPECT_EQ(result.status, c.status) << c.args[0];
        EXPECT_NE((result.out + result.err).find(c.message), std::string::npos)
            << result.out << result.err;
    }
}

TEST(DocumentCurvesTest, WarningsReachThePlotAndTheExitStatus) {
    test::TempDir dir;
    // Q = 1e10: the damping term is cleared with a warning.
    const std::string netlist =
        dir.write("q.net", "Q\nV1 1 0 1 IMPULSO\nR1 1 2 1e-10\nL1 2 3 1\nC1 3 0 1\n");
    const std::string json = dir.file("q.json");
    const test::CliResult run = runCliWith({"analisar", "--json", json, netlist});
    EXPECT_EQ(run.status, 4);
    EXPECT_EQ(test::lastLine(run.out), "Análise terminada com avisos.");
    const test::CliResult plot = runCliWith({"plotar", "--json", json, "--variaveis", "3"});
    EXPECT_EQ(plot.status, 0);
    EXPECT_NE(plot.out.find("Aviso: " + json +
                            " foi gravado com o aviso \"Aviso: a normalização anulou coeficientes "
                            "significativos do denominador; aumente a dispersão para 1e10 ou "
                            "mais.\""),
              std::string::npos)
        << plot.out;

    // A file that was not normalised keeps five digits of a 1 MHz filter's coefficient.
    const std::string cheb = dir.write(
        "cheb.net", test::readFile(std::string(CORVANE_TEST_DATA_DIR) + "/chebyshev_1mhz.net"));
    EXPECT_EQ(runCliWith({"analisar", "--nao-normalizar", cheb}).status, 4);
    const std::string list = dir.write("l.txt", dir.file("cheb.n1") + "\n" + dir.file("cheb.d") + "\n");
    const test::CliResult lossy = runCliWith({"plotar", list});
    EXPECT_NE(lossy.out.find("Aviso: o arquivo " + dir.file("cheb.n1") + " guarda só "),
              std::string::npos)
        << lossy.out;
}

TEST(DocumentCurvesTest, ResultFilesCarryTheirRunsWarningsToThePlot) {
    test::TempDir dir;
    const std::string netlist =
        dir.write("q.net", "Q\nV1 1 0 1 IMPULSO\nR1 1 2 1e-10\nL1 2 3 1\nC1 3 0 1\n");
    ASSERT_EQ(runCliWith({"analisar", netlist}).status, 4);
    const std::string warnings = dir.file("q.avisos");
    ASSERT_TRUE(std::filesystem::exists(warnings));
    const std::string list = dir.write("l.txt", dir.file("q.n3") + "\n" + dir.file("q.d") + "\n");
    const std::string said = "Aviso: " + dir.file("q.d") +
                             " foi gravado com o aviso \"Aviso: a normalização anulou "
                             "coeficientes significativos do denominador; aumente a dispersão "
                             "para 1e10 ou mais.\"";
    const test::CliResult plot = runCliWith({"plotar", list});
    EXPECT_NE(plot.out.find(said), std::string::npos) << plot.out;
    EXPECT_NE(runCliWith({"tempo", list}).out.find(said), std::string::npos);

    // A clean run of the same netlist takes the warnings away with the old results.
    ASSERT_EQ(runCliWith({"analisar", "--dispersao", "1e12", netlist}).status, 0);
    EXPECT_FALSE(std::filesystem::exists(warnings));
    EXPECT_EQ(runCliWith({"plotar", list}).out.find("foi gravado com o aviso"), std::string::npos);

    // A netlist named like the warnings file would be replaced by it.
    const std::string named = dir.write("w.avisos", test::readFile(netlist));
    const test::CliResult refused = runCliWith({"analisar", named});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(test::lastLine(refused.out),
              "O netlist " + named + " seria substituído pelo arquivo de resultados " + named);
}

TEST(ValueAtTest, PrintsTheExactValuesOfEveryCurveAtOneFrequency) {
    test::TempDir dir;
    const std::string netlist = dir.write("rc.net", "RC\nV1 in 0 1 IMPULSO\nR1 in out 1k\nC1 out 0 1u\n");
    ASSERT_EQ(runCliWith({"analisar", netlist}).status, 0);
    const std::string list = dir.write("l.txt", dir.file("rc.n2") + "\n" + dir.file("rc.d") + "\n");
    // 1/(1 + sRC) at ω = 1/RC: half the power, −45°, and a delay of RC/2; in rad/s and,
    // with --hz, at the same frequency given in Hz with a suffix.
    const std::string expected = "Curva 1 em ω = 1000 rad/s (159.154943 Hz): ganho -3.01029996 dB "
                                 "(0.707106781), fase -45 graus, atraso 0.0005 s";
    const test::CliResult radians = runCliWith({"plotar", "--em", "1k", list});
    EXPECT_EQ(radians.status, 0);
    EXPECT_EQ(test::lastLine(radians.out), expected);
    const test::CliResult hertz = runCliWith({"plotar", "--hz", "--em", "0,159154943092k", list});
    EXPECT_NE(test::lastLine(hertz.out).find("fase -45"), std::string::npos) << hertz.out;
    for (const char* wrong : {"abc", "-1", "1e400", "", "nan"}) {
        const test::CliResult refused = runCliWith({"plotar", "--em", wrong, list});
        EXPECT_EQ(refused.status, 2) << wrong;
        EXPECT_NE(refused.err.find("a opção --em pede uma frequência"), std::string::npos) << wrong;
    }
}

}  // namespace
}  // namespace corvane
