// Covers corvane-cli analisar --polos-zeros, --medidas and --json, and examples/bode_json.py: the
// script's gains, computed by SciPy from the JSON, against corvane-cli plotar --tabela.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli_runner.h"
#include "command_line.h"
#include "temp_dir.h"

namespace corvane::cli {
namespace {

using test::runCli;

std::string copyExample(const test::TempDir& dir, const std::string& name) {
    return dir.write(name, test::readFile(std::string(CORVANE_EXAMPLES_DIR) + "/" + name));
}

TEST(RootsCommandTest, PolesAndZerosOption) {
    test::TempDir dir;
    const std::string netlist = copyExample(dir, "sallen_key.net");
    const test::CliResult plain = runCli({"analisar", "--variaveis", "out", netlist.c_str()});
    const test::CliResult roots =
        runCli({"analisar", "--polos-zeros", "--variaveis", "out", netlist.c_str()});
    ASSERT_EQ(roots.status, ExitSuccess);
    EXPECT_EQ(plain.out.find("Polos:"), std::string::npos);
    // H(s) = 4/(s² + 3s + 4): ω0 = 2, Q = 2/3.
    EXPECT_NE(roots.out.find("Cte:  1.000000000000\nPolos:\n"
                             "p = -1.5 ± j1.32288 rad/s: ω0 = 2 rad/s (0.31831 Hz), "
                             "Q = 0.666667\nRede estável.\nNumerador 4 (out):\n"),
              std::string::npos)
        << roots.out;
    EXPECT_NE(roots.out.find("Cte:  4.000000000000\nZeros: nenhum (grau 0)\nK: 4\n"),
              std::string::npos);
    EXPECT_NE(runCli({"--help"}).out.find("--polos-zeros"), std::string::npos);
}

TEST(RootsCommandTest, JsonOption) {
    test::TempDir dir;
    const std::string netlist = copyExample(dir, "sallen_key.net");
    const std::string json = dir.file("r.json");
    ASSERT_EQ(runCli({"analisar", "--json", json.c_str(), netlist.c_str()}).status, ExitSuccess);
    const nlohmann::json document = nlohmann::json::parse(test::readFile(json));
    EXPECT_EQ(document["netlist"], netlist);
    EXPECT_FALSE(document["denominador"].contains("raizes"));

    ASSERT_EQ(runCli({"analisar", "--polos-zeros", "--json", json.c_str(), netlist.c_str()})
                  .status,
              ExitSuccess);
    EXPECT_EQ(nlohmann::json::parse(test::readFile(json))["denominador"]["estabilidade"],
              "estavel");

    // A folder that does not exist: the JSON is one of the run's outputs, so the result
    // files stay as they were (here, marked).
    const std::string nowhere = dir.file("nada/r.json");
    const std::string denominator = dir.write("sallen_key.d", "marca\n");
    const test::CliResult failed = runCli({"analisar", "--json", nowhere.c_str(), netlist.c_str()});
    EXPECT_EQ(failed.status, ExitFailure);
    EXPECT_EQ(failed.err, "");
    EXPECT_EQ(test::lastLine(failed.out), "Não foi possível criar o arquivo " + nowhere);
    EXPECT_EQ(test::readFile(denominator), "marca\n");

    // A run that fails writes no JSON.
    const std::string broken = dir.write("ruim.net", "t\nX1 1 0 1\n");
    const std::string none = dir.file("nenhum.json");
    EXPECT_EQ(runCli({"analisar", "--json", none.c_str(), broken.c_str()}).status, ExitFailure);
    EXPECT_FALSE(std::filesystem::exists(none));

    EXPECT_EQ(runCli({"analisar", netlist.c_str(), "--json"}).status, ExitUsage);
}

// H(s) = 4/(s² + 3s + 4): |H|² = 1/2 where (4 − x)² + 9x = 32, x = ω², so the edge is
// √((√65 − 1)/2); the delay at s = 0 is 3/4 s.
TEST(RootsCommandTest, MeasuresOption) {
    test::TempDir dir;
    const std::string netlist = copyExample(dir, "sallen_key.net");
    const std::string json = dir.file("r.json");
    const test::CliResult plain =
        runCli({"analisar", "--variaveis", "out", "--json", json.c_str(), netlist.c_str()});
    ASSERT_EQ(plain.status, ExitSuccess);
    EXPECT_EQ(plain.out.find("Medidas"), std::string::npos);
    EXPECT_FALSE(nlohmann::json::parse(test::readFile(json))["variaveis"][3].contains("medidas"));

    const test::CliResult measured = runCli(
        {"analisar", "--medidas", "--variaveis", "out", "--json", json.c_str(), netlist.c_str()});
    ASSERT_EQ(measured.status, ExitSuccess);
    EXPECT_NE(measured.out.find("Cte:  4.000000000000\nMedidas:\n"
                                "Ganho em s = 0: 1 (0 dB)\n"
                                "Ganho em alta frequência: 0 (zero)\n"
                                "Ganho máximo: 1 (0 dB) em ω = 0\n"
                                "Banda de -3 dB: de 0 a 1.87913 rad/s (0 a 0.299073 Hz)\n"
                                "Atraso de grupo em s = 0: 0.75 s\nResultados salvos"),
              std::string::npos)
        << measured.out;
    const nlohmann::json out = nlohmann::json::parse(test::readFile(json))["variaveis"][3];
    ASSERT_EQ(out["nome"], "out");
    const nlohmann::json& m = out["medidas"];
    EXPECT_EQ(m["situacao"], "calculadas");
    EXPECT_EQ(m["degrau_removido"], false);
    EXPECT_EQ(m["ganho_alta_frequencia"]["tipo"], "zero");
    EXPECT_TRUE(m["ganho_alta_frequencia"]["db"].is_null());
    EXPECT_EQ(m["ganho_maximo"]["em"], "frequencia");
    ASSERT_EQ(m["banda_3db"].size(), 1u);
    EXPECT_EQ(m["banda_3db"][0]["inferior"].get<double>(), 0.0);
    EXPECT_NEAR(m["banda_3db"][0]["superior"].get<double>(),
                std::sqrt((std::sqrt(65.0) - 1.0) / 2.0), 1e-14);
    EXPECT_NEAR(m["atraso_grupo_s0"].get<double>(), 0.75, 1e-15);
    EXPECT_FALSE(m.contains("Q"));
    // The source node: the same gain at every frequency, a band without an upper edge.
    const nlohmann::json source = nlohmann::json::parse(test::readFile(json))["variaveis"][0];
    EXPECT_EQ(source["medidas"]["ganho_maximo"]["em"], "todas");
    EXPECT_TRUE(source["medidas"]["banda_3db"][0]["superior"].is_null());
    EXPECT_NE(runCli({"--help"}).out.find("--medidas"), std::string::npos);
}

// A step source: the network's own function is measured, the Butterworth's edge at
// 1 rad/s, with half the gain of the source at s = 0 (the terminations).
TEST(RootsCommandTest, MeasuresOfAStepDrivenRun) {
    test::TempDir dir;
    const std::string netlist = copyExample(dir, "butterworth5_degrau.net");
    const std::string json = dir.file("r.json");
    const test::CliResult run = runCli(
        {"analisar", "--medidas", "--variaveis", "out", "--json", json.c_str(), netlist.c_str()});
    ASSERT_EQ(run.status, ExitSuccess);
    EXPECT_NE(run.out.find("Medidas (com D(s)/s: o polo em 0 vem do degrau):\n"
                           "Ganho em s = 0: 0.5 (-6.0206 dB)\n"
                           "Ganho em alta frequência: 0 (zero)\n"
                           "Ganho máximo: 0.5 (-6.0206 dB) em ω = 0\n"
                           "Banda de -3 dB: de 0 a 1 rad/s (0 a 0.159155 Hz)\n"),
              std::string::npos)
        << run.out;
    const nlohmann::json m =
        nlohmann::json::parse(test::readFile(json))["variaveis"][3]["medidas"];
    EXPECT_EQ(m["degrau_removido"], true);
    EXPECT_NEAR(m["banda_3db"][0]["superior"].get<double>(), 1.0, 1e-12);
    // Σ 1/|Re p| of the fifth-order Butterworth: 1/sin(π/10).
    EXPECT_NEAR(m["atraso_grupo_s0"].get<double>(), 1.0 / std::sin(std::numbers::pi / 10.0),
                1e-12);
}

// The rows of a tempo table: curve, time and value.
struct TimeRow {
    int curve;
    double t;
    double value;
};

std::vector<TimeRow> timeRows(const std::string& path, std::string* header) {
    std::ifstream in(path);
    std::string line;
    std::vector<TimeRow> rows;
    while (std::getline(in, line)) {
        TimeRow row{};
        int point = 0;
        if (std::sscanf(line.c_str(), "%d,%d,%lg,%lg", &row.curve, &point, &row.t, &row.value) == 4) {
            rows.push_back(row);
        } else if (header) {
            *header += line + "\n";
        }
    }
    return rows;
}

TEST(TimeCommandTest, StepOfAnRcFilter) {
    test::TempDir dir;
    const std::string netlist = copyExample(dir, "rc.net");  // 1 V step, 1 kΩ, 1 µF
    ASSERT_EQ(runCli({"analisar", netlist.c_str()}).status, ExitSuccess);
    const std::string list = dir.write("lista.txt", dir.file("rc.n2") + "\n" + dir.file("rc.d") + "\n");
    const std::string table = dir.file("tempo.csv");
    const test::CliResult result = runCli({"tempo", "--tabela", table.c_str(), list.c_str()});
    ASSERT_EQ(result.status, ExitSuccess) << result.out << result.err;
    // Five time constants of 1 ms.
    EXPECT_NE(result.out.find("Tempo de 0 s a 0.005 s, 1000 pontos\n"), std::string::npos)
        << result.out;
    std::string header;
    const auto rows = timeRows(table, &header);
    EXPECT_EQ(header, "curva,ponto,tempo,valor\n");
    ASSERT_EQ(rows.size(), 1000u);
    for (const TimeRow& row : rows)
        EXPECT_NEAR(row.value, 1 - std::exp(-row.t / 1e-3), 1e-12) << row.t;
    EXPECT_DOUBLE_EQ(rows.back().t, 5e-3);

    ASSERT_EQ(runCli({"tempo", "--tmin", "1e-3", "--tmax", "2e-3", "--pontos", "11", "--tabela",
                      table.c_str(), list.c_str()})
                  .status,
              ExitSuccess);
    const auto range = timeRows(table, nullptr);
    ASSERT_EQ(range.size(), 11u);
    EXPECT_DOUBLE_EQ(range.front().t, 1e-3);
    EXPECT_DOUBLE_EQ(range.back().t, 2e-3);
}

// The RC's step: rise ln 9·RC = 2.19722 ms, settling ln 50·RC = 3.91202 ms (ln 20·RC =
// 2.99573 ms for a 5 % band).
TEST(TimeCommandTest, MeasuresOfAnRcStep) {
    test::TempDir dir;
    const std::string netlist = copyExample(dir, "rc.net");
    ASSERT_EQ(runCli({"analisar", netlist.c_str()}).status, ExitSuccess);
    const std::string list = dir.write("lista.txt", dir.file("rc.n2") + "\n" + dir.file("rc.d") + "\n");
    const test::CliResult plain = runCli({"tempo", list.c_str()});
    EXPECT_EQ(plain.out.find("medidas"), std::string::npos);
    const test::CliResult result = runCli({"tempo", "--medidas", list.c_str()});
    ASSERT_EQ(result.status, ExitSuccess) << result.out << result.err;
    EXPECT_NE(result.out.find("Curva 1: medidas:\nValor final: 1\n"
                              "Valor de pico: não se aplica (a curva não passa do valor final)\n"
                              "Sobressinal: 0 %\n"
                              "Tempo de subida (10 a 90 %): 0.00219722 s\n"
                              "Tempo de acomodação (2 %): 0.00391202 s\n"),
              std::string::npos)
        << result.out;
    const test::CliResult band = runCli({"tempo", "--medidas", "--acomodacao", "5", list.c_str()});
    EXPECT_NE(band.out.find("Tempo de acomodação (5 %): 0.00299573 s\n"), std::string::npos)
        << band.out;

    for (const auto& [args, message] : std::vector<std::pair<std::vector<const char*>, std::string>>{
             {{"tempo", "--acomodacao", "5", list.c_str()}, "a opção --acomodacao pede --medidas"},
             {{"tempo", "--medidas", "--acomodacao", "0", list.c_str()},
              "a opção --acomodacao pede uma porcentagem entre 0 e 100: 0"},
             {{"tempo", "--medidas", "--acomodacao", "100", list.c_str()},
              "a opção --acomodacao pede uma porcentagem entre 0 e 100: 100"},
             {{"tempo", "--medidas", "--acomodacao", "2%", list.c_str()},
              "a opção --acomodacao pede uma porcentagem entre 0 e 100: 2%"},
             {{"tempo", "--medidas", "--acomodacao", "nan", list.c_str()},
              "a opção --acomodacao pede uma porcentagem entre 0 e 100: nan"}}) {
        const test::CliResult refused = runCli(args);
        EXPECT_EQ(refused.status, ExitUsage) << message;
        EXPECT_EQ(refused.err.rfind("corvane-cli: " + message + "\n", 0), 0u) << refused.err;
    }
}

TEST(TimeCommandTest, ImpulsesAreReportedInTheLogAndTheTable) {
    test::TempDir dir;
    const std::string netlist =
        dir.write("cr.net", "Passa-altas\nV1 in 0 1 IMPULSO\nC1 in out 1\nR1 out 0 1\n");
    ASSERT_EQ(runCli({"analisar", netlist.c_str()}).status, ExitSuccess);
    const std::string list = dir.write("lista.txt", dir.file("cr.n2") + "\n" + dir.file("cr.d") + "\n");
    const std::string table = dir.file("tempo.csv");
    const test::CliResult result = runCli({"tempo", "--tabela", table.c_str(), list.c_str()});
    ASSERT_EQ(result.status, ExitSuccess) << result.out << result.err;
    EXPECT_NE(result.out.find("\nCurva 1: impulsos em t = 0: 1·δ(t)\n"), std::string::npos)
        << result.out;
    std::string header;
    const auto rows = timeRows(table, &header);
    EXPECT_EQ(header, "# curva 1: impulsos em t = 0: 1·δ(t)\ncurva,ponto,tempo,valor\n");
    for (const TimeRow& row : rows)
        EXPECT_NEAR(row.value, -std::exp(-row.t), 1e-12) << row.t;
}

TEST(TimeCommandTest, BadUsageAndMissingFiles) {
    test::TempDir dir;
    const std::string list = dir.write("lista.txt", "* vazia\n");
    for (const auto& args : std::vector<std::vector<const char*>>{
             {"tempo"},
             {"tempo", "--pontos", "1", list.c_str()},
             {"tempo", "--pontos", "abc", list.c_str()},
             {"tempo", "--tmax", "1s", list.c_str()},
             {"tempo", "--tmin", "-1", list.c_str()},
             {"tempo", "--tmax"}}) {
        const test::CliResult result = runCli(args);
        EXPECT_EQ(result.status, ExitUsage) << result.err;
        EXPECT_EQ(result.err.rfind("corvane-cli: ", 0), 0u) << result.err;
    }
    EXPECT_NE(runCli({"tempo", "--tmax", "1s", list.c_str()})
                  .err.find("a opção --tmax pede um tempo em segundos: 1s"),
              std::string::npos);
    // As the window's boxes: "," and the netlist's suffixes, no hexadecimal form.
    const std::string table = dir.file("t.csv");
    const test::CliResult suffixed = runCli({"tempo", "--tmin", "0,5m", "--tmax", "2ms",
                                             "--pontos", "2", "--tabela", table.c_str(),
                                             list.c_str()});
    EXPECT_EQ(suffixed.status, ExitSuccess) << suffixed.err;
    EXPECT_NE(suffixed.out.find("Tempo de 0.0005 s a 0.002 s, 2 pontos"), std::string::npos)
        << suffixed.out;
    EXPECT_EQ(runCli({"tempo", "--tmax", "0x10", list.c_str()}).status, ExitUsage);
    const std::string missing = dir.file("nada.txt");
    const test::CliResult result = runCli({"tempo", missing.c_str()});
    EXPECT_EQ(result.status, ExitFailure);
    EXPECT_EQ(result.err, "corvane-cli: não foi possível ler a lista " + missing + "\n");
}

// Runs a shell command and returns what it printed, or nothing when it failed.
std::optional<std::string> outputOf(const std::string& command) {
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return std::nullopt;
    std::string text;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        text.append(buffer, n);
    if (pclose(pipe) != 0) return std::nullopt;
    return text;
}

std::string quoted(const std::string& text) {
    return "'" + text + "'";
}

// The frequency and gain of every row of a plotar table, curve 1.
std::vector<std::pair<double, double>> tableGains(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);  // header
    std::vector<std::pair<double, double>> rows;
    while (std::getline(in, line)) {
        int curve = 0, point = 0;
        double frequency = 0, gain = 0;
        if (std::sscanf(line.c_str(), "%d,%d,%lg,%lg", &curve, &point, &frequency, &gain) == 4)
            rows.emplace_back(frequency, gain);
    }
    return rows;
}

TEST(PythonExampleTest, GainsFromTheJsonMatchThePlotter) {
    const std::string python = CORVANE_PYTHON_WITH_SCIPY;
    if (python.empty()) GTEST_SKIP() << "no python3 with SciPy and matplotlib";
    test::TempDir dir;
    const std::string netlist = copyExample(dir, "butterworth5.net");
    const std::string json = dir.file("r.json");
    ASSERT_EQ(runCli({"analisar", "--polos-zeros", "--json", json.c_str(), netlist.c_str()})
                  .status,
              ExitSuccess);
    const std::string list =
        dir.write("lista.txt", dir.file("butterworth5.n4") + "\n" + dir.file("butterworth5.d") + "\n");
    const std::string table = dir.file("tabela.csv");
    ASSERT_EQ(runCli({"plotar", "--tabela", table.c_str(), list.c_str()}).status, ExitSuccess);
    const auto rows = tableGains(table);
    ASSERT_EQ(rows.size(), 301u);

    std::string frequencies;
    std::vector<double> expected;
    for (const std::size_t i : {0u, 75u, 150u, 225u, 300u}) {
        char text[32];
        std::snprintf(text, sizeof text, "%.17g", rows[i].first);
        if (!frequencies.empty()) frequencies += ',';
        frequencies += text;
        expected.push_back(rows[i].second);
    }
    const std::string script = std::string(CORVANE_EXAMPLES_DIR) + "/bode_json.py";
    const auto printed = outputOf(python + " " + quoted(script) + " " + quoted(json) +
                                  " --variavel out --ganho " + frequencies);
    ASSERT_TRUE(printed);
    std::istringstream lines(*printed);
    for (const double gain : expected) {
        double frequency = 0, scriptGain = 0;
        ASSERT_TRUE(lines >> frequency >> scriptGain) << *printed;
        // The plotter reads the files' twelve decimals, the script the exact doubles.
        EXPECT_NEAR(scriptGain, gain, 1e-9) << "at " << frequency << " rad/s";
    }
    // The Butterworth ladder with equal terminations: -6.0206 dB at 1 rad/s minus 3 dB.
    const auto atCutoff = outputOf(python + " " + quoted(script) + " " + quoted(json) +
                                   " --ganho 1");
    ASSERT_TRUE(atCutoff);
    EXPECT_NEAR(std::stod(atCutoff->substr(atCutoff->find(' '))), -20 * std::log10(2 * std::sqrt(2.0)),
                1e-9);

    // The drawing: a PNG file.
    const std::string image = dir.file("bode.png");
    ASSERT_TRUE(outputOf(python + " " + quoted(script) + " " + quoted(json) + " --imagem " +
                         quoted(image)));
    EXPECT_EQ(test::readFile(image).substr(0, 8), "\x89PNG\r\n\x1a\n");

    // Not a results document: refused with a message, not a trace.
    const std::string other = dir.write("outro.json", "{\"versao\": 99}");
    EXPECT_FALSE(outputOf(python + " " + quoted(script) + " " + quoted(other) + " 2>/dev/null"));
}

}  // namespace
}  // namespace corvane::cli
