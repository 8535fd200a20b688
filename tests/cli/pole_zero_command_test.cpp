// Covers corvane-cli polos: the table of a notch (twin T) and of a series RLC against their
// closed forms, the root locus rows against R, the image, and the refusals of bad input
// with their exact messages, the usage status and nothing written.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli_runner.h"
#include "command_line.h"
#include "temp_dir.h"
#ifdef CORVANE_IMAGE_EXPORT
#include <QImage>
#endif

namespace corvane::cli {
namespace {

using test::runCli;
using test::runCliWith;

struct TableRow {
    int curve = 0;
    std::string kind;
    std::complex<double> value;
    int multiplicity = 0;
    std::string extra;
};

std::vector<TableRow> tableRows(const std::string& text, std::string& header) {
    std::istringstream in(text);
    std::getline(in, header);
    std::vector<TableRow> rows;
    std::string line;
    while (std::getline(in, line)) {
        TableRow row;
        char kind[16] = {};
        double re = 0;
        double im = 0;
        int consumed = 0;
        EXPECT_EQ(std::sscanf(line.c_str(), "%d,%15[a-z],%lg,%lg,%d%n", &row.curve, kind, &re, &im,
                              &row.multiplicity, &consumed),
                  5)
            << line;
        row.kind = kind;
        row.value = {re, im};
        row.extra = line.substr(static_cast<std::size_t>(consumed));
        rows.push_back(row);
    }
    return rows;
}

// Analyses a netlist of the test data in `dir` and writes a list of its variable k.
std::string listOf(const test::TempDir& dir, const std::string& name, int k) {
    dir.write(name + ".net",
              test::readFile(std::string(CORVANE_TEST_DATA_DIR) + "/" + name + ".net"));
    EXPECT_EQ(runCliWith({"analisar", dir.file(name + ".net")}).status, ExitSuccess);
    return dir.write(name + ".lista", dir.file(name + ".n" + std::to_string(k)) + "\n" +
                                          dir.file(name + ".d") + "\n");
}

bool holds(const std::vector<TableRow>& rows, const std::string& kind, std::complex<double> value,
           double tolerance) {
    for (const TableRow& row : rows) {
        if (row.kind == kind && std::abs(row.value - value) <= tolerance * std::abs(value) &&
            row.multiplicity == 1)
            return true;
    }
    return false;
}

// Twin T with R = 1 kΩ, C = 1 µF: zeros at ±j/RC exactly on the axis, poles at
// -(2 ± √3)/RC, and the pole and zero at -1/RC that cancel.
TEST(PoleZeroCommandTest, TwinTNotchTableAgainstItsClosedForm) {
    test::TempDir dir;
    const std::string list = listOf(dir, "twin_t", 3);
    const std::string table = dir.file("mapa.csv");
    const test::CliResult result = runCliWith({"polos", "--tabela", table, list});
    ASSERT_EQ(result.status, ExitSuccess) << result.out << result.err;
    std::string header;
    const std::vector<TableRow> rows = tableRows(test::readFile(table), header);
    EXPECT_EQ(header, "curva,tipo,real,imag,multiplicidade");
    ASSERT_EQ(rows.size(), 6u);
    const double w0 = 1000;
    for (const std::complex<double> pole : {std::complex<double>{-w0 * (2 - std::sqrt(3.0)), 0},
                                            {-w0 * (2 + std::sqrt(3.0)), 0},
                                            {-w0, 0}})
        EXPECT_TRUE(holds(rows, "polo", pole, 1e-12)) << pole;
    for (const std::complex<double> zero : {std::complex<double>{0, w0}, {0, -w0}, {-w0, 0}})
        EXPECT_TRUE(holds(rows, "zero", zero, 1e-12)) << zero;
    for (const TableRow& row : rows) {
        if (row.kind == "zero" && row.value.imag() != 0) {
            EXPECT_EQ(row.value.real(), 0.0);
        }
        EXPECT_EQ(row.curve, 1);
        EXPECT_EQ(row.extra, "");
    }
}

// The series RLC against R from 0.5 to 8 Ω in 20 logarithmic steps: every row of the locus
// is a root of s² + (R/2)s + 2 for the R written beside it.
TEST(PoleZeroCommandTest, LocusRowsFollowTheSeriesRlcClosedForm) {
    test::TempDir dir;
    const std::string list = listOf(dir, "rlc_series", 3);
    const std::string table = dir.file("lugar.csv");
    const test::CliResult result =
        runCliWith({"polos", "--tabela", table, "--lugar", "R1", "--de", "0,5", "--ate", "8",
                    "--pontos", "20", "--log", list});
    ASSERT_EQ(result.status, ExitSuccess) << result.out << result.err;
    EXPECT_NE(result.out.find("Lugar das raízes de R1: 20 valores de 0.5 a 8\n"), std::string::npos)
        << result.out;
    std::string header;
    const std::vector<TableRow> rows = tableRows(test::readFile(table), header);
    EXPECT_EQ(header, "curva,tipo,real,imag,multiplicidade,valor");
    int locusRows = 0;
    for (const TableRow& row : rows) {
        if (row.kind != "lugar") {
            EXPECT_EQ(row.extra, ",");
            continue;
        }
        ++locusRows;
        const double r = std::stod(row.extra.substr(1));
        const std::complex<double> s = row.value;
        // A double root at critical damping is found to the square root of the rounding.
        EXPECT_LE(std::abs(s * s + r / 2 * s + 2.0), 1e-7) << "R = " << r << ", s = " << s;
    }
    EXPECT_EQ(locusRows, 40);
}

#ifdef CORVANE_IMAGE_EXPORT
TEST(PoleZeroCommandTest, ImageOfTheMapAndLocus) {
    test::TempDir dir;
    const std::string list = listOf(dir, "rlc_series", 3);
    const std::string image = dir.file("mapa.png");
    const test::CliResult result = runCliWith(
        {"polos", "--imagem", image, "--lugar", "C1", "--de", "10m", "--ate", "1", list});
    ASSERT_EQ(result.status, ExitSuccess) << result.out << result.err;
    const QImage picture(QString::fromStdString(image));
    EXPECT_EQ(picture.width(), 680);
    EXPECT_EQ(picture.height(), 442);
}
#endif

struct BadCase {
    const char* name;
    /// "LISTA" stands for the list of the series RLC.
    std::vector<std::string> args;
    /// "NETLIST" stands for the netlist of the series RLC.
    const char* message;
};

class PoleZeroBadInputTest : public ::testing::TestWithParam<BadCase> {};

TEST_P(PoleZeroBadInputTest, RefusedWithTheOptionNamedAndNothingWritten) {
    test::TempDir dir;
    const std::string list = listOf(dir, "rlc_series", 3);
    const std::string table = dir.file("t.csv");
    std::vector<std::string> args{"polos", "--tabela", table};
    for (const std::string& arg : GetParam().args)
        args.push_back(arg == "LISTA" ? list : arg);
    const test::CliResult result = runCliWith(args);
    EXPECT_EQ(result.status, ExitUsage);
    std::string message = GetParam().message;
    if (const std::size_t at = message.find("NETLIST"); at != std::string::npos)
        message.replace(at, 7, dir.file("rlc_series.net"));
    EXPECT_EQ(result.err.substr(0, result.err.find('\n')), "corvane-cli: " + message);
    EXPECT_FALSE(std::filesystem::exists(table));
}

INSTANTIATE_TEST_SUITE_P(
    Options, PoleZeroBadInputTest,
    ::testing::Values(
        BadCase{"unknown_element",
                {"--lugar", "R7", "--de", "1", "--ate", "2", "LISTA"},
                "a opção --lugar: o elemento R7 não existe no netlist NETLIST"},
        BadCase{"source",
                {"--lugar", "V1", "--de", "1", "--ate", "2", "LISTA"},
                "a opção --lugar: o valor do elemento V1 não muda os polos (é uma fonte ou um "
                "amplificador operacional)"},
        BadCase{"reversed",
                {"--lugar", "R1", "--de", "2", "--ate", "1", "LISTA"},
                "o valor de --de deve ser menor que o de --ate"},
        BadCase{"log_from_zero",
                {"--lugar", "R1", "--de", "0", "--ate", "1", "--log", "LISTA"},
                "a opção --log pede valores positivos em --de e --ate"},
        BadCase{"log_negative",
                {"--log", "--lugar", "R1", "--de", "-1", "--ate", "1", "LISTA"},
                "a opção --log pede valores positivos em --de e --ate"},
        BadCase{"one_point",
                {"--lugar", "R1", "--de", "1", "--ate", "2", "--pontos", "1", "LISTA"},
                "a opção --pontos pede um número de 2 a 1000: 1"},
        BadCase{"too_many_points",
                {"--lugar", "R1", "--de", "1", "--ate", "2", "--pontos", "1001", "LISTA"},
                "a opção --pontos pede um número de 2 a 1000: 1001"},
        BadCase{"points_not_whole",
                {"--pontos", "2.5", "LISTA"},
                "a opção --pontos pede um número de 2 a 1000: 2.5"},
        BadCase{
            "value_not_a_number",
            {"--lugar", "R1", "--de", "1x", "--ate", "2", "LISTA"},
            "a opção --de pede um valor (número com . ou , e sufixo opcional, como 1k ou 10n): 1x"},
        BadCase{"range_without_element", {"--de", "1", "LISTA"}, "a opção --de pede --lugar"},
        BadCase{"log_without_element", {"--log", "LISTA"}, "a opção --log pede --lugar"},
        BadCase{"element_without_range",
                {"--lugar", "R1", "--ate", "2", "LISTA"},
                "a opção --lugar pede --de e --ate"},
        BadCase{"no_list", {"--lugar", "R1", "--de", "1", "--ate", "2"}, "falta a LISTA"},
        BadCase{"element_missing", {"LISTA", "--lugar"}, "a opção --lugar precisa de um valor"},
        BadCase{"missing_value", {"LISTA", "--ate"}, "a opção --ate precisa de um valor"},
        BadCase{"image_extension",
                {"--imagem", "mapa.bmp", "LISTA"},
                "a imagem deve terminar em .png ou .svg: mapa.bmp"},
        BadCase{"unknown_option", {"--ajustar", "LISTA"}, "opção desconhecida: --ajustar"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PoleZeroCommandTest, LocusNeedsTheNetlistBesideTheResultFiles) {
    test::TempDir dir;
    const std::string list = listOf(dir, "rlc_series", 3);
    std::filesystem::remove(dir.file("rlc_series.net"));
    const std::string table = dir.file("t.csv");
    const test::CliResult result =
        runCliWith({"polos", "--tabela", table, "--lugar", "R1", "--de", "1", "--ate", "2", list});
    EXPECT_EQ(result.status, ExitUsage);
    EXPECT_EQ(result.err.substr(0, result.err.find('\n')),
              "corvane-cli: a opção --lugar pede o netlist dos arquivos de resultados da curva 1 "
              "ao lado deles, sem mudanças desde a análise: " +
                  dir.file("rlc_series") + ".net");
    EXPECT_FALSE(std::filesystem::exists(table));
}

TEST(PoleZeroCommandTest, TableIsNeverTheListOrTheNetlist) {
    test::TempDir dir;
    const std::string list = listOf(dir, "rlc_series", 3);
    const std::string netlist = dir.file("rlc_series.net");
    const std::string before = test::readFile(netlist);
    const test::CliResult result = runCliWith(
        {"polos", "--tabela", netlist, "--lugar", "R1", "--de", "1", "--ate", "2", list});
    EXPECT_EQ(result.status, ExitFailure);
    EXPECT_EQ(result.err, "corvane-cli: --tabela " + netlist +
                              " seria gravada sobre o arquivo lido " + netlist + "\n");
    EXPECT_EQ(test::readFile(netlist), before);
    EXPECT_EQ(runCliWith({"polos", "--tabela", list, list}).status, ExitFailure);
}

}  // namespace
}  // namespace corvane::cli
