// Covers corvane-cli tempo --imagem: the RC step drawn where 1 - e^(-t/RC) puts it, the
// SVG, and the names that are no image.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli_runner.h"
#include "command_line.h"
#include "temp_dir.h"
#include "time_plot.h"

#ifdef CORVANE_IMAGE_EXPORT
#include <QImage>
#endif

namespace corvane::cli {
namespace {

using test::runCli;

struct TimeImageTest : ::testing::Test {
    test::TempDir dir;
    std::string list;

    void SetUp() override {
        const std::string netlist = dir.write(
            "rc.net", test::readFile(std::string(CORVANE_EXAMPLES_DIR) + "/rc.net"));
        ASSERT_EQ(runCli({"analisar", netlist.c_str()}).status, ExitSuccess);
        list = dir.write("lista.txt", dir.file("rc.n2") + "\n" + dir.file("rc.d") + "\n");
    }
};

TEST_F(TimeImageTest, NamesThatAreNoImageAreUsageErrors) {
    const std::string gif = dir.file("tempo.gif");
    const test::CliResult result = runCli({"tempo", "--imagem", gif.c_str(), list.c_str()});
    EXPECT_EQ(result.status, ExitUsage);
#ifdef CORVANE_IMAGE_EXPORT
    EXPECT_EQ(result.err.rfind("corvane-cli: a imagem deve terminar em .png ou .svg: " + gif + "\n", 0),
              0u)
        << result.err;
#endif
}

// The example of the README: a doubly terminated fifth-order Butterworth ladder settles at
// half the step and overshoots by the textbook 12.8 %.
TEST(TimeExampleTest, ButterworthLadderStepOvershoot) {
    test::TempDir dir;
    const std::string netlist = dir.write(
        "b5.net", test::readFile(std::string(CORVANE_EXAMPLES_DIR) + "/butterworth5_degrau.net"));
    ASSERT_EQ(runCli({"analisar", netlist.c_str()}).status, ExitSuccess);
    const std::string list = dir.write("lista.txt", dir.file("b5.n4") + "\n" + dir.file("b5.d") + "\n");
    const std::string table = dir.file("b5.csv");
    ASSERT_EQ(runCli({"tempo", "--tmax", "40", "--pontos", "4001", "--tabela", table.c_str(),
                      list.c_str()})
                  .status,
              ExitSuccess);
    double peak = 0.0;
    double last = 0.0;
    for (std::istringstream in(test::readFile(table)); in;) {
        std::string line;
        if (!std::getline(in, line) || line.empty() || line[0] < '0' || line[0] > '9') continue;
        last = std::stod(line.substr(line.rfind(',') + 1));
        peak = std::max(peak, last);
    }
    EXPECT_NEAR(peak / 0.5 - 1, 0.128, 0.001);
    EXPECT_NEAR(last, 0.5, 1e-4);
}

#ifdef CORVANE_IMAGE_EXPORT
TEST_F(TimeImageTest, TheRcStepIsDrawnWhereTheClosedFormPutsIt) {
    const std::string image = dir.file("tempo.png");
    const test::CliResult result = runCli({"tempo", "--imagem", image.c_str(), list.c_str()});
    ASSERT_EQ(result.status, ExitSuccess) << result.out << result.err;
    const QImage picture(QString::fromStdString(image));
    ASSERT_EQ(picture.width(), 680);
    ASSERT_EQ(picture.height(), 442);
    // 0 .. 5 ms across columns 70 .. 670; the values 0 .. 1 - e^-5 with a 5 % margin down
    // rows 424 .. 10.
    const double low = -0.05 * (1 - std::exp(-5.0));
    const double high = (1 - std::exp(-5.0)) * 1.05;
    const Colour c = timeCurveColour(1);
    for (const double t : {0.5e-3, 1e-3, 2e-3, 4e-3}) {
        const int x = static_cast<int>(std::lround(70 + 600 * t / 5e-3));
        const double y = 424 - (1 - std::exp(-t / 1e-3) - low) / (high - low) * 414;
        bool found = false;
        for (int row = static_cast<int>(y) - 3; row <= static_cast<int>(y) + 3; ++row)
            found = found || picture.pixel(x, row) == qRgb(c.red, c.green, c.blue);
        EXPECT_TRUE(found) << "t = " << t << ", y = " << y;
    }
}

// The vertical axis carries the unit of the listed variables where the netlist beside the
// files names them: "saida" (rc.n2) is a voltage, "jV1" (rc.n3) the source's current.
struct AxisUnitCase {
    const char* what;
    std::vector<const char*> numerators;
    bool keepNetlist;
    std::vector<const char*> present;
    std::vector<const char*> absent;
};

class TimeImageUnits : public TimeImageTest, public ::testing::WithParamInterface<AxisUnitCase> {};

TEST_P(TimeImageUnits, VerticalAxisLabels) {
    const AxisUnitCase& c = GetParam();
    std::string lines;
    for (const char* numerator : c.numerators) lines += dir.file(numerator) + "\n" + dir.file("rc.d") + "\n";
    const std::string listed = dir.write("unidades.txt", lines);
    if (!c.keepNetlist) std::filesystem::remove(dir.file("rc.net"));
    const std::string image = dir.file("tempo.svg");
    ASSERT_EQ(runCli({"tempo", "--imagem", image.c_str(), listed.c_str()}).status, ExitSuccess);
    const std::string text = test::readFile(image);
    for (const char* label : c.present)
        EXPECT_NE(text.find(std::string(">") + label + "<"), std::string::npos) << label;
    for (const char* label : c.absent)
        EXPECT_EQ(text.find(std::string(">") + label + "<"), std::string::npos) << label;
    // The time axis keeps its seconds whatever the values are.
    EXPECT_NE(text.find(">1 ms<"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TimeImageUnits,
    ::testing::Values(
        AxisUnitCase{"NodeVoltage", {"rc.n2"}, true, {"200 mV", "1 V"}, {"0.2"}},
        // The current into the source's positive terminal: -1 mA at the step, back to 0.
        AxisUnitCase{"SourceCurrent", {"rc.n3"}, true, {"-200 µA", "-1 mA"}, {"-0.0002"}},
        // Without one unit, the values still read in engineering notation, without a unit.
        AxisUnitCase{"Mixed", {"rc.n2", "rc.n3"}, true, {"200 m"}, {"0.2", "200 mV", "200 µA"}},
        AxisUnitCase{"NoNetlist", {"rc.n2"}, false, {"200 m"}, {"0.2", "200 mV"}}),
    [](const ::testing::TestParamInfo<AxisUnitCase>& info) { return info.param.what; });

TEST_F(TimeImageTest, Svg) {
    const std::string image = dir.file("tempo.svg");
    ASSERT_EQ(runCli({"tempo", "--imagem", image.c_str(), list.c_str()}).status, ExitSuccess);
    const std::string text = test::readFile(image);
    EXPECT_EQ(text.rfind("<?xml", 0), 0u);
    EXPECT_NE(text.find("<title>Resposta no tempo</title>"), std::string::npos);
}
#endif

}  // namespace
}  // namespace corvane::cli
