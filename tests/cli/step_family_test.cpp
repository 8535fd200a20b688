// A parameter step's family read back through the plot list: the document varrer writes,
// listed one value per line, gives each value's RC low-pass 1/(1 + sRC) and its legend,
// and plotar draws the family from the same lines.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <sstream>
#include <string>
#include <vector>

#include "cli_runner.h"
#include "command_line.h"
#include "curve_labels.h"
#include "listed_curves.h"
#include "temp_dir.h"

namespace corvane::cli {
namespace {

constexpr const char* Rc =
    "RC\n"
    "V1 entrada 0 1 IMPULSO\n"
    "R1 entrada saida 1k\n"
    "C1 saida 0 1u\n";
constexpr double C = 1e-6;

struct StepValue {
    double r;
    const char* legend;
};
const StepValue Values[] = {{100.0, "R1 = 100 Ω"}, {4700.0, "R1 = 4,7 kΩ"}, {1e6, "R1 = 1 MΩ"}};

std::complex<double> valueAt(const Polynomial& p, std::complex<double> s) {
    std::complex<double> sum = 0.0;
    for (int i = p.degree; i >= 0; --i)
        sum = sum * s + p.coef[static_cast<std::size_t>(i)];
    return p.constant * sum;
}

struct StepFamilyTest : ::testing::Test {
    test::TempDir dir;
    std::string document = dir.file("rc.varredura.json");
    std::string list;
    std::array<std::string, MaxCurves + 1> lines{};

    void SetUp() override {
        const test::CliResult step =
            test::runCliWith({"varrer", "--elemento", "R1", "--valores", "100;4.7k;1Meg",
                              "--variavel", "saida", "--json", document, dir.write("rc.net", Rc)});
        ASSERT_EQ(step.status, ExitSuccess) << step.err;
        for (std::size_t k = 1; k <= std::size(Values); ++k) {
            lines[k] = stepListLine(document, "saida", static_cast<int>(k));
            list += lines[k] + "\n";
        }
    }
};

TEST_F(StepFamilyTest, EachValueIsItsOwnLowPassWithTheValueAsLegend) {
    PlotCurves curves{};
    std::vector<std::string> log;
    AnalysisLog sink([&log](std::string_view line) { log.emplace_back(line); });
    ASSERT_EQ(readListedCurves(list, curves, sink), static_cast<int>(std::size(Values)));
    EXPECT_EQ(log.front(), "Lendo o valor 1 da variável saida de " + document);
    const CurveLabels labels = curveLabels(lines, static_cast<int>(std::size(Values)));
    for (std::size_t k = 1; k <= std::size(Values); ++k) {
        const StepValue& v = Values[k - 1];
        SCOPED_TRACE(v.legend);
        EXPECT_EQ(labels[k], v.legend);
        for (const double omega : {1.0, 1e3, 1e6}) {
            const std::complex<double> s(0.0, omega);
            const std::complex<double> h =
                valueAt(curves[k].numerator, s) / valueAt(curves[k].denominator, s);
            const std::complex<double> expected = 1.0 / (1.0 + s * v.r * C);
            EXPECT_LE(std::abs(h - expected), 1e-12 * std::abs(expected)) << omega;
        }
    }
}

// The first row of each curve of plotar's table, at 1 rad/s: 20·log10|1/(1 + jRC)|.
TEST_F(StepFamilyTest, PlotarDrawsTheFamily) {
    const std::string table = dir.file("t.csv");
    const test::CliResult plot = test::runCliWith(
        {"plotar", "--wmin", "1", "--wmax", "10", "--tabela", table, dir.write("lista", list)});
    ASSERT_EQ(plot.status, ExitSuccess) << plot.err;
    std::istringstream rows(test::readFile(table));
    std::string row;
    std::getline(rows, row);
    std::vector<double> firstGains;
    while (std::getline(rows, row)) {
        std::istringstream fields(row);
        std::string curve, point, frequency, gain;
        std::getline(fields, curve, ',');
        std::getline(fields, point, ',');
        std::getline(fields, frequency, ',');
        std::getline(fields, gain, ',');
        if (point == "0") firstGains.push_back(std::stod(gain));
    }
    ASSERT_EQ(firstGains.size(), std::size(Values));
    for (std::size_t k = 0; k < std::size(Values); ++k) {
        const double rc = Values[k].r * C;
        EXPECT_NEAR(firstGains[k], -10.0 * std::log10(1.0 + rc * rc), 1e-9) << Values[k].legend;
    }
}

}  // namespace
}  // namespace corvane::cli
