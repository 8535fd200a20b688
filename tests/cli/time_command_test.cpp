// Covers corvane-cli tempo on the functions whose partial fractions are delicate: the
// critically damped series RLC (a double pole) with every variable against its closed
// form, a double pole with a zero, a function that is only an impulse over the default
// range, and an unstable function that passes the largest double within the range.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "cli_runner.h"
#include "command_line.h"
#include "temp_dir.h"

namespace corvane::cli {
namespace {

using test::runCli;

struct TimeRow {
    int curve;
    double t;
    double value;
};

// The rows of a tempo table; everything else (comments, header) goes to `header`.
std::vector<TimeRow> timeRows(const std::string& path, std::string& header) {
    std::ifstream in(path);
    std::string line;
    std::vector<TimeRow> rows;
    while (std::getline(in, line)) {
        TimeRow row{};
        int point = 0;
        if (std::sscanf(line.c_str(), "%d,%d,%lg,%lg", &row.curve, &point, &row.t, &row.value) == 4)
            rows.push_back(row);
        else
            header += line + "\n";
    }
    return rows;
}

// A result file: degree, coefficients from s^0 up, constant 1.
std::string resultFile(const test::TempDir& dir, const std::string& name,
                       const std::vector<double>& coefficients) {
    std::string text = std::to_string(coefficients.size() - 1) + "\n";
    for (const double c : coefficients) text += std::to_string(c) + "\n";
    return dir.write(name, text + "1\n");
}

TEST(TimeCommandFaultsTest, CriticallyDampedRlcEveryVariable) {
    test::TempDir dir;
    const std::string netlist =
        dir.write("rlc.net", test::readFile(std::string(CORVANE_TEST_DATA_DIR) + "/rlc_critical.net"));
    ASSERT_EQ(runCli({"analisar", netlist.c_str()}).status, ExitSuccess);
    std::string listText;
    for (int k = 1; k <= 5; ++k)
        listText += dir.file("rlc.n" + std::to_string(k)) + "\n" + dir.file("rlc.d") + "\n";
    const std::string list = dir.write("lista.txt", listText);
    const std::string table = dir.file("tempo.csv");
    const test::CliResult result = runCli({"tempo", "--tabela", table.c_str(), list.c_str()});
    ASSERT_EQ(result.status, ExitSuccess) << result.out << result.err;
    EXPECT_NE(result.out.find("Tempo de 0 s a 0.0005 s, 1000 pontos\n"
                              "Curva 1: impulsos em t = 0: 1·δ(t)\n"
                              "Curva 2: impulsos em t = 0: 1·δ(t)\n"),
              std::string::npos)
        << result.out;
    EXPECT_EQ(result.out.find("omitida"), std::string::npos) << result.out;

    // A 1 V·s impulse into R = 200 Ω, L = 10 mH, C = 1 µF: α = R/2L = 1e4 = 1/√(LC), and
    // i = (1/L)(1 − αt)e^(−αt); "in" is the impulse alone, "a" = in − R·i, "out" = ∫i/C.
    const double alpha = 1e4;
    const auto current = [&](double t) { return 100 * (1 - alpha * t) * std::exp(-alpha * t); };
    std::string header;
    const std::vector<TimeRow> rows = timeRows(table, header);
    ASSERT_EQ(rows.size(), 5000u);
    for (const TimeRow& row : rows) {
        const double i = current(row.t);
        const double expected[] = {0.0, -200 * i, 1e8 * row.t * std::exp(-alpha * row.t), -i, i};
        EXPECT_NEAR(row.value, expected[row.curve - 1], 1e-9 * 2e4)
            << "curva " << row.curve << ", t = " << row.t;
    }
}

TEST(TimeCommandFaultsTest, DoublePoleWithAZeroIsOnePlusTTimesET) {
    test::TempDir dir;
    // s / (s − 1)²
    const std::string list = dir.write(
        "lista.txt", resultFile(dir, "f.n1", {0, 1}) + "\n" + resultFile(dir, "f.d", {1, -2, 1}) + "\n");
    const std::string table = dir.file("tempo.csv");
    const test::CliResult result = runCli({"tempo", "--tmin", "30", "--tmax", "31", "--pontos",
                                           "3", "--tabela", table.c_str(), list.c_str()});
    ASSERT_EQ(result.status, ExitSuccess) << result.out;
    std::string header;
    const std::vector<TimeRow> rows = timeRows(table, header);
    ASSERT_EQ(rows.size(), 3u);
    for (const TimeRow& row : rows)
        EXPECT_NEAR(row.value, (1 + row.t) * std::exp(row.t), 1e-9 * (1 + row.t) * std::exp(row.t));
}

TEST(TimeCommandFaultsTest, AnImpulseAloneIsListedAndDrawnAsZero) {
    test::TempDir dir;
    // The source's own node under an impulse: N = D = s² + 2e4·s + 1e8.
    const std::string d = resultFile(dir, "f.d", {1e8, 2e4, 1});
    const std::string list = dir.write("lista.txt", resultFile(dir, "f.n1", {1e8, 2e4, 1}) + "\n" + d + "\n");
    const std::string table = dir.file("tempo.csv");
    const test::CliResult result = runCli({"tempo", "--tabela", table.c_str(), list.c_str()});
    ASSERT_EQ(result.status, ExitSuccess) << result.out;
    EXPECT_NE(result.out.find("Tempo de 0 s a 0.0005 s, 1000 pontos\n"
                              "Curva 1: impulsos em t = 0: 1·δ(t)\n"),
              std::string::npos)
        << result.out;
    std::string header;
    const std::vector<TimeRow> rows = timeRows(table, header);
    EXPECT_EQ(header, "# curva 1: impulsos em t = 0: 1·δ(t)\ncurva,ponto,tempo,valor\n");
    ASSERT_EQ(rows.size(), 1000u);
    for (const TimeRow& row : rows) EXPECT_EQ(row.value, 0.0) << row.t;
}

TEST(TimeCommandFaultsTest, ACurveThatOverflowsStopsWhereItDoes) {
    test::TempDir dir;
    // 1/((s − 1)(s − 2)) = e^(2t) − e^t passes 1.8e308 near t = 355.
    const std::string list = dir.write(
        "lista.txt", resultFile(dir, "f.n1", {1}) + "\n" + resultFile(dir, "f.d", {2, -3, 1}) + "\n");
    const std::string table = dir.file("tempo.csv");
    const test::CliResult result = runCli({"tempo", "--tmax", "1000", "--pontos", "5", "--tabela",
                                           table.c_str(), list.c_str()});
    EXPECT_EQ(result.status, ExitFailure);
    const std::string line =
        "Curva 1: x(t) passa do maior valor representável a partir de t = 500 s; a curva para aí.";
    EXPECT_EQ(test::lastLine(result.out), line);
    std::string header;
    const std::vector<TimeRow> rows = timeRows(table, header);
    EXPECT_EQ(header, "# c" + line.substr(1) + "\ncurva,ponto,tempo,valor\n");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_NEAR(rows[1].value, std::exp(500.0) - std::exp(250.0), 1e-12 * std::exp(500.0));
    const std::string text = test::readFile(table);
    EXPECT_EQ(text.find("inf"), std::string::npos);
    EXPECT_EQ(text.find("nan"), std::string::npos);

    // Within the range of doubles the same curve is whole and checked.
    EXPECT_EQ(runCli({"tempo", "--tmax", "300", list.c_str()}).status, ExitSuccess);
}

}  // namespace
}  // namespace corvane::cli
