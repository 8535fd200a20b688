// A SPICE netlist through corvane-cli analisar and what reads its results afterwards: the
// same circuit in both formats gives the same result files byte for byte; the variables of
// the result files, and the kind of their source, are found in the SPICE netlist beside
// them; the symbolic analysis names its symbols after the hierarchical names.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli_runner.h"
#include "command_line.h"
#include "result_variables.h"
#include "run_excitation.h"
#include "temp_dir.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::runCliWith;
using test::TempDir;

const std::string Data = CORVANE_TEST_DATA_DIR;

// Copies `source` into its own folder of `dir`, so that two netlists of one stem keep
// their result files apart, and analyses it there.
std::string analyseCopy(const TempDir& dir, const std::string& folder, const std::string& source,
                        std::vector<std::string> options = {}) {
    fs::create_directories(dir.path() / folder);
    const fs::path copy = dir.path() / folder / fs::path(source).filename();
    fs::copy_file(source, copy);
    options.insert(options.begin(), "analisar");
    options.push_back(copy.string());
    const test::CliResult result = runCliWith(options);
    EXPECT_EQ(result.status, cli::ExitSuccess) << result.out;
    return result.out;
}

TEST(SpiceNetlistTest, TheSameCircuitInBothFormatsWritesTheSameResultFiles) {
    const std::vector<std::pair<std::string, std::string>> pairs{
        {"sallen_key.net", "spice/sallen_key.cir"},
        {"butterworth5.net", "spice/butterworth5.cir"},
    };
    for (const auto& [own, spice] : pairs) {
        TempDir dir;
        analyseCopy(dir, "own", Data + "/" + own);
        analyseCopy(dir, "spice", Data + "/" + spice);
        const std::string stem = fs::path(own).stem().string();
        int compared = 0;
        for (const auto& entry : fs::directory_iterator(dir.path() / "own")) {
            const std::string name = entry.path().filename().string();
            if (entry.path().extension() == ".net") continue;
            const fs::path other = dir.path() / "spice" / name;
            ASSERT_TRUE(fs::exists(other)) << name;
            EXPECT_EQ(readFile(entry.path().string()), readFile(other.string())) << name;
            ++compared;
        }
        // The denominator and one numerator per variable.
        EXPECT_GE(compared, 7) << own;
    }
}

TEST(SpiceNetlistTest, ResultFilesFindTheirVariablesAndSourceInTheSpiceNetlist) {
    TempDir dir;
    analyseCopy(dir, "h", Data + "/spice/hierarchy_rc.cir");
    const std::string stem = (dir.path() / "h" / "hierarchy_rc").string();
    const auto variables = variablesOfResults(stem);
    ASSERT_TRUE(variables.has_value());
    std::vector<std::string> labels;
    for (const ResultVariable& v : *variables) labels.push_back(variableLabel(v));
    EXPECT_EQ(labels, (std::vector<std::string>{"v(in)", "v(mid)", "v(out)", "jV1"}));
    EXPECT_EQ(excitationOfResults(stem).excitation, Excitation::Impulse);
}

TEST(SpiceNetlistTest, SymbolsTakeTheHierarchicalNamesInEveryNotation) {
    TempDir dir;
    const std::string out = analyseCopy(dir, "h", Data + "/spice/hierarchy_rc.cir",
                                        {"--simbolica", "--json", dir.file("h.json")});
    EXPECT_NE(out.find("Símbolos: V1 X1.C1 X1.R1 X2.C1 X2.R1\n"), std::string::npos) << out;
    const nlohmann::json document = nlohmann::json::parse(readFile(dir.file("h.json")));
    const std::string sympy = document["simbolica"]["denominador"]["sympy"];
    const std::string latex = document["simbolica"]["denominador"]["latex"];
    EXPECT_NE(sympy.find("Symbol('X1.R1')"), std::string::npos) << sympy;
    EXPECT_NE(latex.find("R_{1,\\mathrm{X2}}"), std::string::npos) << latex;
    EXPECT_EQ(latex.find("X_{"), std::string::npos) << latex;
}

}  // namespace
}  // namespace corvane
