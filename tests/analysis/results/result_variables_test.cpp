// Covers result_variables: which variable a result file holds, read from the netlist beside
// it, and every case in which no name may be given (no netlist, a changed netlist, a netlist
// that does not read, a left-over file, a name the analysis never writes).
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "result_variables.h"
#include "temp_dir.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

// Input, output, then the source's current: nodes are numbered as they first appear.
constexpr const char* RcNetlist =
    "Filtro RC\n"
    "V1 entrada 0 1 DEGRAU\n"
    "R1 entrada saida 1000\n"
    "C1 saida 0 1e-6\n";

// A node whose name starts with "j" is still a voltage; the H element brings two currents
// after the source's one, in the order of the lines.
constexpr const char* TransresistanceNetlist =
    "Fonte controlada\n"
    "V1 a 0 1 IMPULSO\n"
    "H1 j1 0 a 0 2\n"
    "R1 j1 0 10\n";

// Writes the netlist, then result files 1 .. `count` and the denominator a minute later,
// as a finished run leaves them.
void writeRun(const test::TempDir& dir, const std::string& stem, const std::string& netlist,
              int count) {
    const auto netlistPath = dir.write(stem + ".net", netlist);
    const auto later = fs::last_write_time(netlistPath) + std::chrono::minutes(1);
    for (int k = 0; k <= count; ++k) {
        const std::string name = k == 0 ? stem + ".d" : stem + ".n" + std::to_string(k);
        fs::last_write_time(dir.write(name, "0\n 1.000000000000\n 1.000000000000\n"), later);
    }
}

struct NamedFile {
    const char* what;
    const char* netlist;
    int files;
    const char* numerator;
    const char* label;
    const char* unit;
};

class ResultVariableTest : public testing::TestWithParam<NamedFile> {};

TEST_P(ResultVariableTest, NamesTheVariableOfTheFile) {
    const NamedFile& c = GetParam();
    test::TempDir dir;
    writeRun(dir, "run", c.netlist, c.files);
    const std::string path = dir.file(c.numerator);
    const std::optional<ResultVariable> variable = variableOfResultFile(path);
    ASSERT_TRUE(variable.has_value());
    EXPECT_EQ(variableLabel(*variable), c.label);
    EXPECT_EQ(unitOfResultFile(path), c.unit);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResultVariableTest,
    testing::Values(NamedFile{"FirstNode", RcNetlist, 3, "run.n1", "v(entrada)", "V"},
                    NamedFile{"LastNode", RcNetlist, 3, "run.n2", "v(saida)", "V"},
                    NamedFile{"SourceCurrent", RcNetlist, 3, "run.n3", "jV1", "A"},
                    NamedFile{"NodeNamedLikeACurrent", TransresistanceNetlist, 5, "run.n2",
                              "v(j1)", "V"},
                    NamedFile{"OutputCurrentOfH", TransresistanceNetlist, 5, "run.n4", "jxH1",
                              "A"},
                    NamedFile{"ControllingCurrentOfH", TransresistanceNetlist, 5, "run.n5",
                              "jyH1", "A"}),
    [](const testing::TestParamInfo<NamedFile>& info) { return info.param.what; });

TEST(ResultVariablesTest, ListsEveryVariableOfARunInOrder) {
    test::TempDir dir;
    writeRun(dir, "rc", RcNetlist, 3);
    const auto variables = variablesOfResults(dir.file("rc"));
    ASSERT_TRUE(variables.has_value());
    ASSERT_EQ(variables->size(), 3u);
    const std::vector<std::string> expected{"v(entrada)", "v(saida)", "jV1"};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ((*variables)[i].number, static_cast<int>(i) + 1);
        EXPECT_EQ(variableLabel((*variables)[i]), expected[i]);
    }
}

// A stem with a '.' of its own and a folder with ".n" in its name.
TEST(ResultVariablesTest, StemWithDotsInFolderAndName) {
    test::TempDir dir;
    fs::create_directories(dir.path() / "a.n1");
    writeRun(dir, "a.n1/amp.v1", RcNetlist, 3);
    const auto variable = variableOfResultFile(dir.file("a.n1/amp.v1.n2"));
    ASSERT_TRUE(variable.has_value());
    EXPECT_EQ(variableLabel(*variable), "v(saida)");
}

// Each case must give no name at all: a wrong one would send the user to the wrong curve.
struct Unnamed {
    const char* what;
    void (*prepare)(const test::TempDir& dir);
    const char* numerator;
};

class UnnamedFileTest : public testing::TestWithParam<Unnamed> {};

TEST_P(UnnamedFileTest, GivesNoName) {
    test::TempDir dir;
    GetParam().prepare(dir);
    const std::string path = dir.file(GetParam().numerator);
    EXPECT_FALSE(variableOfResultFile(path).has_value());
    EXPECT_EQ(unitOfResultFile(path), "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnnamedFileTest,
    testing::Values(
        Unnamed{"NoNetlist",
                [](const test::TempDir& dir) {
                    writeRun(dir, "rc", RcNetlist, 3);
                    fs::remove(dir.file("rc.net"));
                },
                "rc.n2"},
        // One more node now: four variables, the files show three.
        Unnamed{"NetlistGainedANode",
                [](const test::TempDir& dir) {
                    writeRun(dir, "rc", RcNetlist, 3);
                    const auto results = fs::last_write_time(dir.file("rc.d"));
                    dir.write("rc.net", std::string(RcNetlist) + "R2 saida carga 1000\n");
                    fs::last_write_time(dir.file("rc.net"), results - std::chrono::seconds(1));
                },
                "rc.n2"},
        // Same count, nodes swapped: only the time of the edit tells.
        Unnamed{"NetlistEditedAfterTheRun",
                [](const test::TempDir& dir) {
                    writeRun(dir, "rc", RcNetlist, 3);
                    const auto results = fs::last_write_time(dir.file("rc.d"));
                    dir.write("rc.net",
                              "Filtro RC\nC1 saida 0 1e-6\nR1 entrada saida 1000\n"
                              "V1 entrada 0 1 DEGRAU\n");
                    fs::last_write_time(dir.file("rc.net"), results + std::chrono::seconds(1));
                },
                "rc.n2"},
        Unnamed{"UnknownElement",
                [](const test::TempDir& dir) {
                    writeRun(dir, "rc", "Titulo\nX1 a 0 1\n", 1);
                },
                "rc.n1"},
        Unnamed{"BadValue",
                [](const test::TempDir& dir) {
                    writeRun(dir, "rc", "Titulo\nR1 a 0 mil\n", 1);
                },
                "rc.n1"},
        // sqrt of a negative product of inductances: a floating-point fault in the reader.
        Unnamed{"FaultWhileReading",
                [](const test::TempDir& dir) {
                    writeRun(dir, "rc",
                             "Titulo\nL1 a 0 -1\nL2 b 0 1\nK1 L1 L2 0.5\nR1 a b 1\n", 4);
                },
                "rc.n1"},
        Unnamed{"NetlistIsAFolder",
                [](const test::TempDir& dir) {
                    writeRun(dir, "rc", RcNetlist, 3);
                    fs::remove(dir.file("rc.net"));
                    fs::create_directory(dir.file("rc.net"));
                },
                "rc.n2"},
        Unnamed{"NoDenominator",
                [](const test::TempDir& dir) {
                    writeRun(dir, "rc", RcNetlist, 3);
                    fs::remove(dir.file("rc.d"));
                },
                "rc.n2"},
        // Left by an earlier circuit of four variables.
        Unnamed{"LeftOverFile",
                [](const test::TempDir& dir) {
                    writeRun(dir, "rc", RcNetlist, 4);
                },
                "rc.n1"},
        Unnamed{"MissingNumerator",
                [](const test::TempDir& dir) {
                    writeRun(dir, "rc", RcNetlist, 3);
                    fs::remove(dir.file("rc.n1"));
                },
                "rc.n2"},
        Unnamed{"NumberBeyondTheRun",
                [](const test::TempDir& dir) { writeRun(dir, "rc", RcNetlist, 3); }, "rc.n4"},
        Unnamed{"Denominator",
                [](const test::TempDir& dir) { writeRun(dir, "rc", RcNetlist, 3); }, "rc.d"},
        Unnamed{"LeadingZero",
                [](const test::TempDir& dir) {
                    writeRun(dir, "rc", RcNetlist, 3);
                    dir.write("rc.n01", "0\n 1.0\n 1.0\n");
                },
                "rc.n01"},
        Unnamed{"UpperCaseN",
                [](const test::TempDir& dir) { writeRun(dir, "rc", RcNetlist, 3); }, "rc.N1"}),
    [](const testing::TestParamInfo<Unnamed>& info) { return info.param.what; });

struct ParsedName {
    const char* path;
    const char* stem;
    int number;
};

TEST(NumeratorFileNameTest, TakesOnlyTheNamesTheAnalysisWrites) {
    const std::vector<ParsedName> good{
        {"rc.n1", "rc", 1},       {"/a/b/amp.v1.n25", "/a/b/amp.v1", 25},
        {"x.n1.n2", "x.n1", 2}, {"big.n26", "big", 26},
        {"big.n1000", "big", 1000}};
    for (const ParsedName& c : good) {
        const auto parsed = parseNumeratorFileName(c.path);
        ASSERT_TRUE(parsed.has_value()) << c.path;
        EXPECT_EQ(parsed->stem, c.stem);
        EXPECT_EQ(parsed->number, c.number);
    }
    for (const char* bad : {"rc.d", "rc.n", "rc.n0", "rc.n1001", "rc.n10000", "rc.n1a", "rc.net",
                            "dir.n1/rc", "rc.n-1", "rc.n+1", ".n"}) {
        EXPECT_FALSE(parseNumeratorFileName(bad).has_value()) << bad;
    }
}

}  // namespace
}  // namespace corvane
