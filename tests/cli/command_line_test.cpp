// Covers corvane-cli: the usage errors, the options standing for the window controls,
// the log on standard output and the exit statuses.
#include "command_line.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "temp_dir.h"

namespace corvane::cli {
namespace {

struct Result {
    int status;
    std::string out;
    std::string err;
};

// Captures a stream in memory.
class MemoryStream {
public:
    MemoryStream() : file_(open_memstream(&buffer_, &size_)) {}
    ~MemoryStream() {
        if (file_) std::fclose(file_);
        std::free(buffer_);
    }
    std::FILE* file() const { return file_; }
    std::string text() {
        std::fflush(file_);
        return std::string(buffer_, size_);
    }

private:
    char* buffer_ = nullptr;
    std::size_t size_ = 0;
    std::FILE* file_;
};

Result runCli(std::vector<const char*> args) {
    args.insert(args.begin(), "corvane-cli");
    MemoryStream out;
    MemoryStream err;
    const int status = runCommandLine(static_cast<int>(args.size()), args.data(), out.file(),
                                      err.file());
    return {status, out.text(), err.text()};
}

TEST(CommandLineTest, RejectsBadUsageWithStatusTwo) {
    const std::vector<std::vector<const char*>> cases{
        {},
        {"analise", "x.net"},
        {"analisar"},
        {"analisar", "a.net", "b.net"},
        {"analisar", "--dispersao"},
        {"analisar", "--variaveis"},
        {"analisar", "--rapido", "a.net"},
    };
    for (const auto& args : cases) {
        const Result result = runCli(args);
        EXPECT_EQ(result.status, ExitUsage);
        EXPECT_EQ(result.err.rfind("corvane-cli: ", 0), 0u) << result.err;
        EXPECT_NE(result.err.find("Uso: corvane-cli analisar"), std::string::npos);
        EXPECT_EQ(result.out, "");
    }
    EXPECT_NE(runCli({"analisar", "--rapido", "a.net"}).err.find("opção desconhecida: --rapido"),
              std::string::npos);
}

TEST(CommandLineTest, PrintsHelp) {
    for (const auto& args : std::vector<std::vector<const char*>>{
             {"-h"}, {"--help"}, {"analisar", "--help"}}) {
        const Result result = runCli(args);
        EXPECT_EQ(result.status, ExitSuccess);
        EXPECT_EQ(result.out.rfind("Uso: corvane-cli analisar [opções] NETLIST\n", 0), 0u);
    }
}

TEST(CommandLineTest, ReportsAMissingNetlistWithStatusOne) {
    test::TempDir dir;
    const std::string path = dir.file("falta");
    const Result result = runCli({"analisar", path.c_str()});
    EXPECT_EQ(result.status, ExitFailure);
    EXPECT_EQ(result.out, "\nArquivo " + path + ".net inexistente\n");
    EXPECT_EQ(result.err, "");
}

TEST(CommandLineTest, ReportsAFloatingPointFaultWithStatusThree) {
    test::TempDir dir;
    const std::string path =
        dir.write("k.net", "t\nL1 1 0 -1e-3\nL2 2 0 4e-3\nK1 L1 L2 0.5\n");
    const Result result = runCli({"analisar", path.c_str()});
    EXPECT_EQ(result.status, ExitFloatingPointFault);
    EXPECT_EQ(result.err, "Operação inválida em ponto flutuante\n");
    EXPECT_NE(result.out.find("(L1 está na linha 1, L2 está na linha 2)\n"), std::string::npos);
}

TEST(CommandLineTest, WarnsAboutUnknownVariables) {
    test::TempDir dir;
    const std::string path = dir.write("a.net", "t\nR1 a 0 1\n");
    const Result result = runCli({"analisar", "--variaveis", "a,7,zz,todas", path.c_str()});
    EXPECT_EQ(result.err,
              "corvane-cli: variável desconhecida: 7\n"
              "corvane-cli: variável desconhecida: zz\n");
}

TEST(CommandLineTest, TheProgramReturnsTheStatus) {
    test::TempDir dir;
    const std::string path = dir.file("nada");
    const std::string command = std::string(CORVANE_CLI_PATH) + " analisar '" + path +
                                "' > /dev/null 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), ExitFailure);
}

}  // namespace
}  // namespace corvane::cli
