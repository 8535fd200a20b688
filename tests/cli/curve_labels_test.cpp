// What the legends and cursor lines call a curve: the variable the netlist beside its result
// files names, the file where nothing names it, and both when two runs name alike.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cli_runner.h"
#include "command_line.h"
#include "curve_labels.h"
#include "temp_dir.h"

namespace corvane::cli {
namespace {

constexpr const char* Rc =
    "RC\n"
    "V1 entrada 0 1 DEGRAU\n"
    "R1 entrada saida 1k\n"
    "C1 saida 0 1u\n";

TEST(CurveLabels, VariablesWhereTheNetlistNamesThemFilesElsewhere) {
    const test::TempDir dir;
    std::filesystem::create_directory(dir.file("a"));
    std::filesystem::create_directory(dir.file("b"));
    for (const char* run : {"a/rc.net", "b/rc.net"})
        ASSERT_EQ(test::runCliWith({"analisar", dir.write(run, Rc)}).status, ExitSuccess);
    std::array<std::string, MaxCurves + 1> lines{};
    lines[1] = dir.file("a/rc.n2");
    lines[2] = dir.file("a/rc.n3");
    lines[3] = dir.file("b/rc.n2");
    lines[4] = dir.file("solto.n1");  // no netlist beside it
    lines[5] = dir.file("r.json") + "#saida";
    const CurveLabels labels = curveLabels(lines, 5);
    EXPECT_EQ(labels[1], "v(saida) (rc.n2)");
    EXPECT_EQ(labels[2], "jV1");
    EXPECT_EQ(labels[3], "v(saida) (rc.n2)");
    EXPECT_EQ(labels[4], "solto.n1");
    EXPECT_EQ(labels[5], "r.json#saida");
    // Alone, the variable needs no file.
    EXPECT_EQ(curveLabels(lines, 2)[1], "v(saida)");
}

TEST(CurveLabels, ALoopGainIsCalledByItsSource) {
    const test::TempDir dir;
    const std::string netlist = dir.write("amp.net",
                                          "Seguidor com amp-op de ganho finito\n"
                                          "V1 in 0 1 IMPULSO\n"
                                          "R1 out 0 1k\n"
                                          "O1 out 0 in out A0=100k GBW=1MEG\n");
    ASSERT_EQ(test::runCliWith({"analisar", "--malha", "O1", netlist}).status, ExitSuccess);
    EXPECT_EQ(curveLabel(dir.file("amp.malha")), "T de O1");
    // Unreadable, it is called by its file.
    EXPECT_EQ(curveLabel(dir.write("x.malha", "{}")), "x.malha");
}

}  // namespace
}  // namespace corvane::cli
