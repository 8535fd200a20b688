// Covers Ctrl-C on the command line: a corvane-cli child analysing a dense network (or
// running Monte Carlo circuits) gets SIGINT once its handler is in place, ends with status
// 130 and "Análise cancelada." as its last line, and leaves no result file; the same when Ctrl-C comes during the symbolic
// part.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <memory>
#include <string>

#include "cli_runner.h"
#include "command_line.h"
#include "console_host.h"
#include "dense_netlist.h"
#include "interrupted_child.h"
#include "symbolic_step.h"
#include "temp_dir.h"

namespace corvane {
namespace {

TEST(InterruptTest, CtrlCEndsTheAnalysisCleanly) {
    test::TempDir dir;
    // The densest network within 200 elements: over half a second of work, while the signal
    // comes as soon as the program can take it.
    const std::string netlist = dir.write("densa.net", test::denseRcNetlist(20));
    const std::string out = dir.file("saida.txt");

    int status = 0;
    ASSERT_NO_FATAL_FAILURE(test::interruptChild(
        CORVANE_CLI_PATH, {CORVANE_CLI_PATH, "analisar", netlist.c_str()}, out, status));
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), cli::ExitInterrupted);
    EXPECT_EQ(test::lastLine(test::readFile(out)), "Análise cancelada.");
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "densa.net" || name == "saida.txt") << name;
    }
}

// A hundred thousand Monte Carlo circuits take about a minute: Ctrl-C ends them at once,
// with nothing written.
TEST(InterruptTest, CtrlCEndsMonteCarloRunsCleanly) {
    test::TempDir dir;
    const std::string netlist = std::string(CORVANE_TEST_DATA_DIR) + "/sallen_key_practical.net";
    const std::string out = dir.file("saida.txt");
    const std::string json = dir.file("t.json");

    int status = 0;
    ASSERT_NO_FATAL_FAILURE(test::interruptChild(
        CORVANE_CLI_PATH,
        {CORVANE_CLI_PATH, "tolerancia", "--tol", "R=1%,C=5%", "--n", "100000", "--semente", "1",
         "--json", json.c_str(), netlist.c_str()},
        out, status));
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), cli::ExitInterrupted);
    EXPECT_EQ(test::lastLine(test::readFile(out)), "Análise cancelada.");
    EXPECT_FALSE(std::filesystem::exists(json));
}

TEST(InterruptTest, TheHelpNamesTheStatusOfCtrlCAndHowToRaiseTheMemory) {
    const test::CliResult result = test::runCli({"--help"});
    EXPECT_NE(result.out.find("130 análise interrompida por Ctrl-C"), std::string::npos);
    EXPECT_NE(result.out.find("(padrão 2048, mínimo 64); quando o log avisa que ela se\n"
                              "                        esgotou, dê mais (por exemplo 4096)"),
              std::string::npos);
}

// Ctrl-C once the symbolic part has started: the signal handler's flag is set while it
// runs, as a real Ctrl-C would set it.
class InterruptedSymbolicStep : public symbolic::SymbolicStep {
public:
    ListingOutcome afterListing(const ListingContext& context) override {
        std::raise(SIGINT);
        return SymbolicStep::afterListing(context);
    }
};

TEST(InterruptTest, CtrlCStopsTheSymbolicPartAndSavesNothing) {
    test::TempDir dir;
    const std::string netlist =
        dir.write("rc.net", "RC\nV1 1 0 1 DEGRAU\nR1 1 2 1000\nC1 2 0 1e-6\n");
    cli::ConsoleOptions options;
    options.analysis.symbolic.enabled = true;
    test::MemoryStream err;
    cli::ConsoleHost host(options, err.file());
    std::vector<std::string> lines;
    AnalysisLog log([&](std::string_view line) { lines.emplace_back(line); });
    Analysis analysis(host, log);
    analysis.addListingStep(std::make_unique<InterruptedSymbolicStep>());
    host.attach(analysis);
    {
        const cli::InterruptCatcher interrupts;
        EXPECT_EQ(analysis.runAnalysis(netlist), RunOutcome::Cancelled);
    }
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "Análise cancelada.");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Análise simbólica"), lines.end());
    EXPECT_FALSE(std::filesystem::exists(dir.file("rc.d")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("rc.n2")));
}

}  // namespace
}  // namespace corvane
