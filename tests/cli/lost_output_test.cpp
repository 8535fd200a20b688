// Covers the outputs of corvane-cli that can be lost: standard output and standard error
// on a full device (/dev/full) end with status 1, never with success.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli_runner.h"
#include "command_line.h"
#include "temp_dir.h"

namespace corvane::cli {
namespace {

const char* const Rc = "t\nV1 1 0 1 DEGRAU\nR1 1 2 1k\nC1 2 0 1u\n";

// Runs the real program through the shell with `redirections`; its exit status.
int runProgram(const std::string& arguments, const std::string& redirections) {
    const std::string command =
        std::string("'") + CORVANE_CLI_PATH + "' " + arguments + " " + redirections;
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(LostOutputTest, AFullStandardOutputFailsEveryCommand) {
    test::TempDir dir;
    const std::string netlist = dir.write("rc.net", Rc);
    ASSERT_EQ(runProgram("analisar '" + netlist + "'", "> /dev/null"), ExitSuccess);
    const std::string list = dir.write("lista", dir.file("rc.n2") + "\n" + dir.file("rc.d") + "\n");
    ASSERT_EQ(runProgram("plotar '" + list + "'", "> /dev/null"), ExitSuccess);

    const std::string errors = dir.file("erros");
    struct Case {
        const char* name;
        std::string arguments;
    };
    const std::vector<Case> cases{
        {"analisar", "analisar '" + netlist + "'"},
        {"plotar", "plotar '" + list + "'"},
        {"--help", "--help"},
        {"a failed analysis", "analisar '" + dir.file("nada.net") + "'"},
    };
    const std::string expected = "corvane-cli: a saída padrão não pôde ser toda escrita\n";
    for (const Case& c : cases) {
        EXPECT_EQ(runProgram(c.arguments, "> /dev/full 2> '" + errors + "'"), ExitFailure)
            << c.name;
        EXPECT_EQ(test::readFile(errors), expected) << c.name;
    }
}

TEST(LostOutputTest, AFullStandardErrorFailsTheCommand) {
    test::TempDir dir;
    const std::string fault = dir.write("zero.net", "t\nV1 1 0 1 DEGRAU\nR1 1 0 0\n");
    // A floating-point fault and a usage error are reported on standard error only.
    EXPECT_EQ(runProgram("analisar '" + fault + "'", "> /dev/null"), ExitFloatingPointFault);
    EXPECT_EQ(runProgram("analisar '" + fault + "'", "> /dev/null 2> /dev/full"), ExitFailure);
    EXPECT_EQ(runProgram("analise", "2> /dev/null"), ExitUsage);
    EXPECT_EQ(runProgram("analise", "2> /dev/full"), ExitFailure);
}

TEST(LostOutputTest, TheResultFilesStandWhenOnlyTheLogIsLost) {
    test::TempDir dir;
    const std::string netlist = dir.write("rc.net", Rc);
    std::FILE* full = std::fopen("/dev/full", "w");
    ASSERT_NE(full, nullptr);
    test::MemoryStream err;
    const char* args[] = {"corvane-cli", "analisar", netlist.c_str()};
    EXPECT_EQ(runCommandLine(3, args, full, err.file()), ExitFailure);
    std::fclose(full);
    EXPECT_EQ(err.text(), "corvane-cli: a saída padrão não pôde ser toda escrita\n");
    EXPECT_EQ(test::readFile(dir.file("rc.n2")), "0\n 1.000000000000\n1000.000000000000\n");
}

}  // namespace
}  // namespace corvane::cli
