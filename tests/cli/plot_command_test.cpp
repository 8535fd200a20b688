// Covers corvane-cli plotar: its usage errors, the list read from a file, the exit
// statuses, the CSV response table and the PNG and SVG images drawn without a display.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli_runner.h"
#include "command_line.h"
#include "frequency_response.h"
#include "numbered.h"
#include "plot_cursor.h"
#include "plot_frame.h"
#include "result_file.h"
#include "start_ranges.h"
#include "temp_dir.h"
#include "test_polynomial.h"

#ifdef CORVANE_IMAGE_EXPORT
#include <QImage>
#include <QSvgRenderer>
#endif

namespace corvane::cli {
namespace {

using Result = test::CliResult;
using test::runCli;

using test::polynomial;

std::vector<std::vector<std::string>> readCsv(const std::string& path) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(test::readFile(path));
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::istringstream fieldsIn(line);
        std::string field;
        while (std::getline(fieldsIn, field, ','))
            fields.push_back(field);
        rows.push_back(fields);
    }
    return rows;
}

struct PlotCommandTest : ::testing::Test {
    test::TempDir dir;
    std::string list;

    // A list of two curves: 1/(1+s) and 2/(1+0.5s+s²).
    void SetUp() override {
        const PlotCurve first{polynomial({1.0}), polynomial({1.0, 1.0})};
        const PlotCurve second{polynomial({2.0}), polynomial({1.0, 0.5, 1.0})};
        std::string text = "* duas curvas\n";
        int k = 0;
        for (const PlotCurve& curve : {first, second}) {
            ++k;
            const std::string n = dir.file(test::numbered("f", k) + ".n1");
            const std::string d = dir.file(test::numbered("f", k) + ".d");
            EXPECT_EQ(savePolynomial(n, curve.numerator), SaveStatus::Saved);
            EXPECT_EQ(savePolynomial(d, curve.denominator), SaveStatus::Saved);
            text += n + "\n" + d + "\n";
        }
        list = dir.write("lista.txt", text);
    }
};

TEST_F(PlotCommandTest, RejectsBadUsageWithStatusTwo) {
    const std::vector<std::vector<const char*>> cases{
        {"plotar"},
        {"plotar", "a.txt", "b.txt"},
        {"plotar", "--wmin"},
        {"plotar", "--largura", "0", "a.txt"},
        {"plotar", "--largura", "16385", "a.txt"},
        {"plotar", "--altura", "12a", "a.txt"},
        {"plotar", "--altura", "-4", "a.txt"},
        {"plotar", "--imagem", "grafico.bmp", "a.txt"},
        {"plotar", "--imagem", "png", "a.txt"},
        {"plotar", "--logaritmica", "a.txt"},
    };
    for (const auto& args : cases) {
        const Result result = runCli(args);
        SCOPED_TRACE(result.err);
        EXPECT_EQ(result.status, ExitUsage);
        EXPECT_EQ(result.err.rfind("corvane-cli: ", 0), 0u);
        EXPECT_NE(result.err.find("corvane-cli plotar [opções] LISTA"), std::string::npos);
        EXPECT_EQ(result.out, "");
    }
}

TEST_F(PlotCommandTest, HelpListsThePlotOptions) {
    const Result result = runCli({"plotar", "--help"});
    EXPECT_EQ(result.status, ExitSuccess);
    for (const char* option :
         {"--wmin", "--segmentos", "--hz", "--linear", "--sem-grade", "--sem-fase", "--sem-atraso",
          "--imagem", "--largura", "--altura", "--tabela"}) {
        EXPECT_NE(result.out.find(option), std::string::npos) << option;
    }
}

TEST_F(PlotCommandTest, LogsTheReadingAndSucceeds) {
    const Result result = runCli({"plotar", list.c_str()});
    EXPECT_EQ(result.status, ExitSuccess);
    EXPECT_EQ(result.out, "Lendo arquivo " + dir.file("f1.n1") + "\nLendo arquivo " +
                              dir.file("f1.d") + "\nLendo arquivo " + dir.file("f2.n1") +
                              "\nLendo arquivo " + dir.file("f2.d") + "\nLidas 2 funções\n");
    EXPECT_EQ(result.err, "");
}

TEST_F(PlotCommandTest, StopsWithStatusOne) {
    const std::string missing = dir.write("falta.txt", dir.file("nada.n1") + "\n");
    Result result = runCli({"plotar", missing.c_str()});
    EXPECT_EQ(result.status, ExitFailure);
    EXPECT_EQ(result.out, "Arquivo " + dir.file("nada.n1") + " não encontrado.\n");

    result = runCli({"plotar", dir.file("sem-lista.txt").c_str()});
    EXPECT_EQ(result.status, ExitFailure);
    EXPECT_EQ(result.err,
              "corvane-cli: não foi possível ler a lista " + dir.file("sem-lista.txt") + "\n");

    const std::string table = dir.file("pasta-inexistente/t.csv");
    result = runCli({"plotar", "--tabela", table.c_str(), list.c_str()});
    EXPECT_EQ(result.status, ExitFailure);
    EXPECT_EQ(result.err, "corvane-cli: não foi possível gravar a tabela " + table + "\n");
}

// The cursor over a column of the grid reads what the table holds for that point: the
// same curve at the same frequency, from the polynomials, not from the table.
TEST_F(PlotCommandTest, TheCursorReadsWhatTheTableHolds) {
    const std::string table = dir.file("t.csv");
    const Result result = runCli({"plotar", "--tabela", table.c_str(), list.c_str()});
    ASSERT_EQ(result.status, ExitSuccess) << result.err;
    const auto rows = readCsv(table);
    ASSERT_EQ(rows.size(), 2u * 301u + 1u);
    PlotCurves curves{};
    curves[1] = {polynomial({1.0}), polynomial({1.0, 1.0})};
    curves[2] = {polynomial({2.0}), polynomial({1.0, 0.5, 1.0})};
    const PlotParameters p = test::startRanges();
    const PlotFrame frame = makePlotFrame(680, 442, p, true);
    const VerticalMap gain = frame.map(PlotQuantity::Gain);
    for (int k = 1; k <= 2; ++k) {
        for (const int i : {0, 77, 150, 233, 300}) {
            SCOPED_TRACE(k * 1000 + i);
            const auto& row = rows[static_cast<std::size_t>((k - 1) * 301 + i + 1)];
            const double w = std::strtod(row[2].c_str(), nullptr);
            const double g = std::strtod(row[3].c_str(), nullptr);
            // The grid's last point may lie an ulp beyond the right edge.
            const double x = std::min(columnOfFrequency(frame, w), double(frame.x1));
            const std::optional<CursorReading> reading =
                readCursor(frame, curves, 2, x, gain.a * g + gain.b, false);
            ASSERT_TRUE(reading);
            EXPECT_EQ(reading->curve, k);
            EXPECT_NEAR(reading->frequency, w, 1e-12 * w);
            EXPECT_NEAR(reading->response.gain, g, 1e-9);
            EXPECT_NEAR(reading->response.phase, std::strtod(row[4].c_str(), nullptr), 1e-9);
            EXPECT_NEAR(reading->response.delay, std::strtod(row[5].c_str(), nullptr), 1e-9);
        }
    }
}

TEST_F(PlotCommandTest, FloatingPointFaultGivesStatusThreeAndNoFiles) {
    const std::string table = dir.file("t.csv");
    const Result result =
        runCli({"plotar", "--amin", "2", "--amax", "2", "--tabela", table.c_str(), list.c_str()});
    EXPECT_EQ(result.status, ExitFloatingPointFault);
    EXPECT_EQ(result.err, "Divisão por zero em ponto flutuante\n");
    EXPECT_FALSE(std::filesystem::exists(table));
}

TEST_F(PlotCommandTest, TableHoldsEveryCurveAndPoint) {
    const std::string table = dir.file("t.csv");
    const Result result = runCli({"plotar", "--linear", "--wmin", "1", "--wmax", "4", "--segmentos",
                                  "2", "--tabela", table.c_str(), list.c_str()});
    ASSERT_EQ(result.status, ExitSuccess) << result.err;
    const auto rows = readCsv(table);
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"curva", "ponto", "frequencia", "ganho_db",
                                                 "fase_graus", "atraso_s"}));
    const PlotCurve curves[] = {{polynomial({1.0}), polynomial({1.0, 1.0})},
                                {polynomial({2.0}), polynomial({1.0, 0.5, 1.0})}};
    const double grid[] = {1.0, 2.5, 4.0};
    for (int k = 1; k <= 2; ++k) {
        for (int i = 0; i <= 2; ++i) {
            const auto& row = rows[static_cast<std::size_t>((k - 1) * 3 + i + 1)];
            SCOPED_TRACE(k * 10 + i);
            ASSERT_EQ(row.size(), 6u);
            EXPECT_EQ(row[0], std::to_string(k));
            EXPECT_EQ(row[1], std::to_string(i));
            EXPECT_EQ(std::strtod(row[2].c_str(), nullptr), grid[i]);
            const CurveResponse r = evaluateCurve(curves[k - 1], grid[i], false);
            // "%.17g" gives back every bit.
            EXPECT_EQ(std::strtod(row[3].c_str(), nullptr), r.gain);
            EXPECT_EQ(std::strtod(row[4].c_str(), nullptr), r.phase);
            EXPECT_EQ(std::strtod(row[5].c_str(), nullptr), r.delay);
        }
    }
    EXPECT_EQ(rows[1][5], "0.5");
}

// The range options read numbers as the boxes do, the netlist's suffixes included: the
// grid runs from exactly 2e-3 to exactly 1e4.
TEST_F(PlotCommandTest, RangeOptionsTakeTheNetlistsSuffixes) {
    const std::string table = dir.file("t.csv");
    const Result result = runCli({"plotar", "--wmin", "2m", "--wmax", "10k", "--segmentos", "1",
                                  "--tabela", table.c_str(), list.c_str()});
    ASSERT_EQ(result.status, ExitSuccess) << result.err;
    const auto rows = readCsv(table);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[1][2], "0.002");
    EXPECT_EQ(rows[2][2], "10000");
    EXPECT_EQ(runCli({"plotar", "--wmax", "1k2", list.c_str()}).status, 2);
}

TEST_F(PlotCommandTest, TableInHertzKeepsTheGridValue) {
    const std::string table = dir.file("t.csv");
    const Result result = runCli({"plotar", "--hz", "--wmin", "0.15915494309189535", "--segmentos",
                                  "1", "--tabela", table.c_str(), list.c_str()});
    ASSERT_EQ(result.status, ExitSuccess) << result.err;
    const auto rows = readCsv(table);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[1][2], "0.15915494309189535");
    EXPECT_NEAR(std::strtod(rows[1][3].c_str(), nullptr), -3.0103, 5e-5);
    EXPECT_NEAR(std::strtod(rows[1][4].c_str(), nullptr), -45.0, 1e-9);
    EXPECT_EQ(rows[2][2], "5");
}

// 1/(1+s) has its pole at 1 rad/s, 2/(1+0.5s+s²) its pair at magnitude 1 with Q = 2: a
// 12.3 dB peak, the phase down to -177° and a 4 s delay at 1 rad/s; -33.9 dB at 10 rad/s.
TEST_F(PlotCommandTest, FittedRangesComeFromThePolesAndTheResponse) {
    const std::string table = dir.file("t.csv");
    const Result result = runCli(
        {"plotar", "--ajustar", "--segmentos", "1", "--tabela", table.c_str(), list.c_str()});
    ASSERT_EQ(result.status, ExitSuccess) << result.err;
    EXPECT_NE(result.out.find("Faixas ajustadas: --wmin 0.1 --wmax 10 --gmin -40 --gmax 20 "
                              "--fmin -180 --fmax 0 --amin 0 --amax 5\n"),
              std::string::npos)
        << result.out;
    const auto rows = readCsv(table);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[1][2], "0.10000000000000001");
    EXPECT_EQ(rows[2][2], "10");
}

TEST_F(PlotCommandTest, GivenRangesWinOverFittedOnes) {
    const Result result =
        runCli({"plotar", "--ajustar", "--hz", "--gmin", "-100", "--wmax", "3", list.c_str()});
    ASSERT_EQ(result.status, ExitSuccess) << result.err;
    // In Hz the roots sit at 0.159 Hz: one decade each way, rounded outward.
    EXPECT_NE(result.out.find("Faixas ajustadas: --wmin 0.01 --wmax 3 --gmin -100 --gmax 20 "),
              std::string::npos)
        << result.out;
}

TEST_F(PlotCommandTest, FittingStopsAtAMissingFile) {
    const std::string broken = dir.write("quebrada.txt", dir.file("nada.n1") + "\n" +
                                                            dir.file("nada.d") + "\n");
    const Result result = runCli({"plotar", "--ajustar", broken.c_str()});
    EXPECT_EQ(result.status, ExitFailure);
    EXPECT_EQ(result.out.find("Faixas ajustadas"), std::string::npos);
}

#ifdef CORVANE_IMAGE_EXPORT

unsigned readBigEndian(const std::string& bytes, std::size_t at) {
    unsigned value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

TEST_F(PlotCommandTest, WritesAPngOfTheRequestedSize) {
    for (const auto& [width, height] : std::vector<std::pair<int, int>>{{680, 442}, {300, 200}}) {
        const std::string image = dir.file("grafico-" + std::to_string(width) + ".PNG");
        std::vector<const char*> args{"plotar", "--imagem", image.c_str(), list.c_str()};
        const std::string w = std::to_string(width);
        const std::string h = std::to_string(height);
        if (width != 680)
            args.insert(args.end() - 1, {"--largura", w.c_str(), "--altura", h.c_str()});
        const Result result = runCli(args);
        ASSERT_EQ(result.status, ExitSuccess) << result.err;
        EXPECT_EQ(result.err, "");
        const std::string bytes = test::readFile(image);
        ASSERT_GT(bytes.size(), 24u);
        EXPECT_EQ(bytes.substr(0, 8), "\x89PNG\r\n\x1a\n");
        EXPECT_EQ(bytes.substr(12, 4), "IHDR");
        EXPECT_EQ(readBigEndian(bytes, 16), static_cast<unsigned>(width));
        EXPECT_EQ(readBigEndian(bytes, 20), static_cast<unsigned>(height));
    }
}

TEST_F(PlotCommandTest, PngShowsWhatThePlotWindowDraws) {
    const std::string image = dir.file("grafico.png");
    ASSERT_EQ(runCli({"plotar", "--imagem", image.c_str(), list.c_str()}).status, ExitSuccess);
    const QImage picture(QString::fromStdString(image));
    ASSERT_EQ(picture.size(), QSize(680, 442));
    const QRgb white = qRgb(255, 255, 255);
    // The frame's corners and edges.
    EXPECT_EQ(picture.pixel(70, 10), white);
    EXPECT_EQ(picture.pixel(669, 424), white);
    EXPECT_EQ(picture.pixel(70, 300), white);
    EXPECT_EQ(picture.pixel(669, 300), white);
    EXPECT_EQ(picture.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(picture.pixel(675, 5), qRgb(0, 0, 0));
    // The yellow decade line at 1 rad/s, dotted, and a gain curve crossing some column.
    const int decade =
        static_cast<int>(std::floor(670 - std::log(5.0) * 600 / std::log(50.0) + 0.5));
    int yellow = 0;
    for (int y = 11; y < 424; ++y)
        yellow += picture.pixel(decade, y) == qRgb(255, 255, 0);
    EXPECT_GT(yellow, 50);
    int green = 0;
    int red = 0;
    for (int y = 11; y < 424; ++y) {
        green += picture.pixel(200, y) == qRgb(0, 255, 0);
        red += picture.pixel(200, y) == qRgb(255, 0, 0);
    }
    EXPECT_GE(green, 2);
    EXPECT_GE(red, 2);
}

// --fundo-claro: the same picture on white for plotar, tempo and polos: the page white, the
// frame black, no pixel of the screen's black or of its yellow grid; without --imagem it
// is refused.
TEST_F(PlotCommandTest, LightBackgroundImages) {
    for (const char* command : {"plotar", "tempo", "polos"}) {
        SCOPED_TRACE(command);
        const std::string image = dir.file(std::string(command) + "-claro.png");
        ASSERT_EQ(runCli({command, "--fundo-claro", "--imagem", image.c_str(), list.c_str()})
                      .status,
                      ExitSuccess);
        const QImage picture(QString::fromStdString(image));
        ASSERT_EQ(picture.size(), QSize(680, 442));
        EXPECT_EQ(picture.pixel(0, 0), qRgb(255, 255, 255));
        EXPECT_EQ(picture.pixel(675, 5), qRgb(255, 255, 255));
        int black = 0;
        int yellow = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                black += picture.pixel(x, y) == qRgb(0, 0, 0);
                yellow += picture.pixel(x, y) == qRgb(255, 255, 0);
            }
        }
        EXPECT_GT(black, 600);  // the frame's and the texts' black
        EXPECT_EQ(yellow, 0);
        const test::CliResult refused = runCli({command, "--fundo-claro", list.c_str()});
        EXPECT_EQ(refused.status, 2);
        EXPECT_NE(refused.err.find("a opção --fundo-claro pede --imagem"), std::string::npos);
    }
}

// --cores-por-curva: the first curve yellow, the second cyan, no curve white, green or red;
// without it the picture has neither colour off the grid. Column 200 holds no grid line.
TEST_F(PlotCommandTest, ColoursPerCurveInThePng) {
    const std::string plain = dir.file("simples.png");
    const std::string coloured = dir.file("cores.png");
    ASSERT_EQ(runCli({"plotar", "--sem-legenda", "--imagem", plain.c_str(), list.c_str()}).status,
              ExitSuccess);
    ASSERT_EQ(runCli({"plotar", "--sem-legenda", "--cores-por-curva", "--imagem",
                      coloured.c_str(), list.c_str()})
                  .status,
              ExitSuccess);
    auto countInColumn = [](const QImage& picture, QRgb colour) {
        int count = 0;
        for (int y = 11; y < 424; ++y)
            count += picture.pixel(200, y) == colour;
        return count;
    };
    const QImage before(QString::fromStdString(plain));
    const QImage after(QString::fromStdString(coloured));
    const QRgb yellow = qRgb(255, 255, 0);
    const QRgb cyan = qRgb(0, 255, 255);
    EXPECT_EQ(countInColumn(before, yellow) + countInColumn(before, cyan), 0);
    EXPECT_GE(countInColumn(before, qRgb(255, 255, 255)), 2);
    EXPECT_GE(countInColumn(after, yellow), 1);
    EXPECT_GE(countInColumn(after, cyan), 1);
    for (const QRgb colour : {qRgb(255, 255, 255), qRgb(0, 255, 0), qRgb(255, 0, 0)})
        EXPECT_EQ(countInColumn(after, colour), 0);
}

TEST_F(PlotCommandTest, WritesAValidSvg) {
    const std::string image = dir.file("grafico.svg");
    const Result result = runCli(
        {"plotar", "--sem-grade", "--largura", "500", "--imagem", image.c_str(), list.c_str()});
    ASSERT_EQ(result.status, ExitSuccess) << result.err;
    const std::string text = test::readFile(image);
    EXPECT_EQ(text.rfind("<?xml", 0), 0u);
    EXPECT_NE(text.find("viewBox=\"0 0 500 442\""), std::string::npos);
    EXPECT_NE(text.find("rad/s"), std::string::npos);
    const QSvgRenderer renderer(QString::fromStdString(image));
    EXPECT_TRUE(renderer.isValid());
    EXPECT_EQ(renderer.viewBox(), QRect(0, 0, 500, 442));
}

TEST_F(PlotCommandTest, ImageFaultWritesNothing) {
    const std::string image = dir.file("grafico.png");
    const Result result =
        runCli({"plotar", "--gmin", "1", "--gmax", "1", "--imagem", image.c_str(), list.c_str()});
    EXPECT_EQ(result.status, ExitFloatingPointFault);
    EXPECT_FALSE(std::filesystem::exists(image));
    const std::string folder = dir.file("sem-pasta/grafico.png");
    const Result unwritable = runCli({"plotar", "--imagem", folder.c_str(), list.c_str()});
    EXPECT_EQ(unwritable.status, ExitFailure);
    EXPECT_EQ(unwritable.err, "corvane-cli: não foi possível gravar a imagem " + folder + "\n");
}

TEST_F(PlotCommandTest, TheProgramDrawsWithoutADisplay) {
    const std::string image = dir.file("grafico.svg");
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " +
                                std::string(CORVANE_CLI_PATH) + " plotar --imagem '" + image +
                                "' '" + list + "' > /dev/null 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), ExitSuccess);
    EXPECT_TRUE(std::filesystem::exists(image));
}

#endif

TEST_F(PlotCommandTest, TheProgramReturnsTheFaultStatus) {
    const std::string command =
        std::string(CORVANE_CLI_PATH) + " plotar --wmin 2 --wmax 2 '" + list + "' > /dev/null 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), ExitFloatingPointFault);
}

}  // namespace
}  // namespace corvane::cli
