// Covers Ctrl-C on the command line: a corvane-cli child analysing a dense network gets
// SIGINT once its handler is in place, ends with status 130 and "Análise cancelada." as
// its last line, and leaves no result file.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "cli_runner.h"
#include "command_line.h"
#include "dense_netlist.h"
#include "temp_dir.h"

extern char** environ;

namespace corvane {
namespace {

using namespace std::chrono_literals;

// Whether process `pid` catches SIGINT, from the SigCgt mask of /proc.
bool catchesInterrupt(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("SigCgt:", 0) != 0) continue;
        const unsigned long long mask = std::stoull(line.substr(7), nullptr, 16);
        return (mask >> (SIGINT - 1) & 1) != 0;
    }
    return false;
}

// Waits for the child with a generous limit; kills it past the limit.
int waitFor(pid_t pid, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(10ms);
    }
    return status;
}

TEST(InterruptTest, CtrlCEndsTheAnalysisCleanly) {
    test::TempDir dir;
    // Seconds of work without a cancel: far longer than the test waits.
    const std::string netlist = dir.write("densa.net", test::denseRcNetlist(19));
    const std::string out = dir.file("saida.txt");

    posix_spawn_file_actions_t actions;
    ASSERT_EQ(posix_spawn_file_actions_init(&actions), 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const char* args[] = {CORVANE_CLI_PATH, "analisar", netlist.c_str(), nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, CORVANE_CLI_PATH, &actions, nullptr,
                                    const_cast<char* const*>(args), environ);
    posix_spawn_file_actions_destroy(&actions);
    ASSERT_EQ(spawned, 0);

    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (!catchesInterrupt(pid) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
    ASSERT_TRUE(catchesInterrupt(pid));
    ASSERT_EQ(kill(pid, SIGINT), 0);

    const int status = waitFor(pid, 60s);
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), cli::ExitInterrupted);
    EXPECT_EQ(test::lastLine(test::readFile(out)), "Análise cancelada.");
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "densa.net" || name == "saida.txt") << name;
    }
}

TEST(InterruptTest, TheHelpNamesTheStatusOfCtrlCAndHowToRaiseTheMemory) {
    const test::CliResult result = test::runCli({"--help"});
    EXPECT_NE(result.out.find("130 análise interrompida por Ctrl-C"), std::string::npos);
    EXPECT_NE(result.out.find("quando o\n                        log avisa que ela se esgotou"),
              std::string::npos);
}

TEST(InterruptTest, ATinyCacheIsReportedOnTheCommandLine) {
    test::TempDir dir;
    const std::string netlist = dir.write("densa.net", test::denseRcNetlist(8));
    const test::CliResult result =
        test::runCli({"analisar", "--memoria-cache", "0", netlist.c_str()});
    EXPECT_EQ(result.status, cli::ExitSuccess);
    const std::string warning =
        "Aviso: a memória para menores (0 MiB) se esgotou; a análise continua sem guardá-los e "
        "pode demorar muito.\n";
    const std::size_t at = result.out.find(warning);
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(result.out.find(warning, at + 1), std::string::npos);
}

}  // namespace
}  // namespace corvane
