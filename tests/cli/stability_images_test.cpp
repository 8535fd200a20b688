// Covers plotar --nyquist, --nichols and --sem-compressao (cli/stability_images.cpp): the
// images written for an RC low-pass, and the refusals with their exact messages and
// nothing written: a wrong extension, a missing value, an option without the one it
// needs, two outputs on one file, a frequency range that cannot be sampled, a list with
// nothing but a noise density.
#include <gtest/gtest.h>

#include <filesystem>
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

using test::runCliWith;

// The RC low-pass of the test data, H = 1/(1 + s), analysed in `dir`; its list.
std::string lowPassList(const test::TempDir& dir) {
    const std::string netlist = dir.write(
        "rc.net", test::readFile(std::string(CORVANE_TEST_DATA_DIR) + "/rc_lowpass.net"));
    EXPECT_EQ(runCliWith({"analisar", netlist}).status, ExitSuccess);
    return dir.write("rc.lista", dir.file("rc.n2") + "\n" + dir.file("rc.d") + "\n");
}

#ifdef CORVANE_IMAGE_EXPORT
TEST(StabilityImagesTest, WritesBothPicturesAtTheSizeAsked) {
    test::TempDir dir;
    const std::string list = lowPassList(dir);
    for (const char* light : {"", "--fundo-claro"}) {
        std::vector<std::string> args{"plotar",    list,      "--nyquist", dir.file("n.png"),
                                      "--nichols", dir.file("c.png"), "--largura", "500",
                                      "--altura",  "300"};
        if (*light) args.emplace_back(light);
        const test::CliResult result = runCliWith(args);
        ASSERT_EQ(result.status, ExitSuccess) << result.out << result.err;
        for (const char* name : {"n.png", "c.png"}) {
            const QImage picture(QString::fromStdString(dir.file(name)));
            EXPECT_EQ(picture.width(), 500) << name;
            EXPECT_EQ(picture.height(), 300) << name;
            // A light picture has white corners, a dark one black.
            EXPECT_EQ(QColor(picture.pixel(0, 0)), *light ? QColor(Qt::white) : QColor(Qt::black));
        }
    }
    const test::CliResult svg =
        runCliWith({"plotar", list, "--nyquist", dir.file("n.svg"), "--sem-compressao"});
    EXPECT_EQ(svg.status, ExitSuccess) << svg.err;
    EXPECT_NE(test::readFile(dir.file("n.svg")).find("<svg"), std::string::npos);
}

struct RunRefusal {
    const char* name;
    std::vector<std::string> args;
    /// The last line of the log.
    const char* message;
};

class StabilityRunRefusalTest : public ::testing::TestWithParam<RunRefusal> {};

TEST_P(StabilityRunRefusalTest, LogsWhyAndWritesNoOutput) {
    test::TempDir dir;
    const std::string list = lowPassList(dir);
    std::string listed = list;
    if (std::string(GetParam().name) == "only_density") {
        ASSERT_EQ(runCliWith({"analisar", "--ruido", "out", dir.file("rc.net")}).status,
                  ExitSuccess);
        listed = dir.write("r.lista", dir.file("rc.ruido") + "\n");
    }
    std::vector<std::string> args{"plotar", listed, "--nyquist", dir.file("n.png"),
                                  "--imagem", dir.file("f.png")};
    args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
    const test::CliResult result = runCliWith(args);
    EXPECT_EQ(result.status, ExitFailure);
    EXPECT_EQ(test::lastLine(result.out), GetParam().message);
    EXPECT_FALSE(std::filesystem::exists(dir.file("n.png")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("f.png")));
}

INSTANTIATE_TEST_SUITE_P(
    Runs, StabilityRunRefusalTest,
    ::testing::Values(
        RunRefusal{"reversed_range", {"--wmin", "5", "--wmax", "0.1"},
                   "Nyquist: as frequências devem ir de zero ou mais a uma maior: 5 a 0.1"},
        RunRefusal{"negative_start", {"--linear", "--wmin", "-1"},
                   "Nyquist: as frequências devem ir de zero ou mais a uma maior: -1 a 5"},
        RunRefusal{"only_density", {}, "Nyquist: nenhuma curva a desenhar."}),
    [](const auto& info) { return std::string(info.param.name); });

// Functions at the edge, each with the image written or not, the status and the last line
// of the log.
TEST(StabilityImagesTest, DegenerateFunctions) {
    test::TempDir dir;
    struct Case {
        const char* name;
        const char* numerator;
        const char* denominator;
        int status;
        std::string last;
    };
    const std::vector<Case> cases{
        {"zero numerator", "0\n 0\n 1\n", "1\n 1\n 1\n 1\n", ExitFailure,
         "Nyquist: nenhuma curva a desenhar."},
        // 1/s from ω = 0: broken at 0 only.
        {"pole at the origin", "0\n 1\n 1\n", "1\n 0\n 1\n 1\n", ExitSuccess,
         "Curva 1: não pode ser calculada em ω = 0 rad/s (Divisão por zero em ponto "
         "flutuante); a curva fica interrompida aí."},
        {"constant", "0\n 1\n 2\n", "0\n 1\n 1\n", ExitSuccess, "Lidas 1 funções"},
        {"improper", "2\n 1\n 0\n 1\n 1\n", "1\n 1\n 1\n 1\n", ExitSuccess, "Lidas 1 funções"},
        // |H| of 1e310 has no double: nothing to draw, said so.
        {"beyond the doubles", "0\n 1\n 1\n", "1\n 1e-310\n 1e-310\n 1\n", ExitFailure,
         "Nyquist: nenhuma curva a desenhar."},
    };
    for (const Case& c : cases) {
        const std::string list = dir.write("l.lista", dir.write("x.n1", c.numerator) + "\n" +
                                                          dir.write("x.d", c.denominator) + "\n");
        const std::string image = dir.file("n.png");
        std::filesystem::remove(image);
        const test::CliResult result = runCliWith(
            {"plotar", list, "--linear", "--wmin", "0", "--nyquist", image, "--nichols",
             dir.file("c.png")});
        EXPECT_EQ(result.status, c.status) << c.name << result.err;
        EXPECT_EQ(test::lastLine(result.out), c.last) << c.name;
        EXPECT_EQ(std::filesystem::exists(image), c.status == ExitSuccess) << c.name;
    }
}
#endif

struct UsageRefusal {
    const char* name;
    std::vector<std::string> args;
    const char* message;
};

class StabilityUsageTest : public ::testing::TestWithParam<UsageRefusal> {};

TEST_P(StabilityUsageTest, RefusedWithTheOptionNamedAndNothingWritten) {
    test::TempDir dir;
    const std::string list = lowPassList(dir);
    std::vector<std::string> args{"plotar", list};
    for (const std::string& arg : GetParam().args)
        args.push_back(arg.find("DIR/") == 0 ? dir.file(arg.substr(4)) : arg);
    const test::CliResult result = runCliWith(args);
    std::string message = GetParam().message;
    if (const std::size_t at = message.find("DIR/"); at != std::string::npos)
        message.replace(at, 4, dir.file(""));
    const bool usage = message.find(" e --") == std::string::npos;
    EXPECT_EQ(result.status, usage ? ExitUsage : ExitFailure);
    EXPECT_EQ(result.err.substr(0, result.err.find('\n')), "corvane-cli: " + message);
    EXPECT_FALSE(std::filesystem::exists(dir.file("n.png")));
}

INSTANTIATE_TEST_SUITE_P(
    Options, StabilityUsageTest,
    ::testing::Values(
#if defined(CORVANE_IMAGE_EXPORT)
        UsageRefusal{"wrong_extension", {"--nichols", "DIR/c.txt"},
                     "a imagem deve terminar em .png ou .svg: DIR/c.txt"},
        UsageRefusal{"same_file",
                     {"--nyquist", "DIR/n.png", "--nichols", "DIR/n.png"},
                     "--nyquist e --nichols são o mesmo arquivo: DIR/n.png"},
#endif
        UsageRefusal{"missing_value", {"--nyquist"}, "a opção --nyquist precisa de um valor"},
        UsageRefusal{"linear_without_nyquist",
                     {"--sem-compressao"},
                     "a opção --sem-compressao pede --nyquist"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace corvane::cli
