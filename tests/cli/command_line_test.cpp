// Covers corvane-cli: the usage errors, the options standing for the window controls,
// the log on standard output and the exit statuses.
#include "command_line.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "cli_runner.h"
#include "temp_dir.h"

namespace corvane::cli {
namespace {

using Result = test::CliResult;
using test::runCli;

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
    for (const auto& args :
         std::vector<std::vector<const char*>>{{"-h"}, {"--help"}, {"analisar", "--help"}}) {
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
    const std::string path = dir.write("k.net", "t\nL1 1 0 -1e-3\nL2 2 0 4e-3\nK1 L1 L2 0.5\n");
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
    const std::string command =
        std::string(CORVANE_CLI_PATH) + " analisar '" + path + "' > /dev/null 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), ExitFailure);
}

}  // namespace
}  // namespace corvane::cli

namespace corvane::cli {
namespace {

TEST(CommandLineAnalysisTest, RunsToTheEndWithTheWindowOptions) {
    test::TempDir dir;
    const std::string path = dir.write("rc.net", "t\nV1 1 0 1 DEGRAU\nR1 1 2 1000\nC1 2 0 1e-6\n");
    const Result result = runCli({"analisar", "--listar-detalhes", "--variaveis", "2,jV1",
                                  "--dispersao", "1e12", path.c_str()});
    EXPECT_EQ(result.status, ExitSuccess);
    EXPECT_EQ(result.err, "");
    const std::string base = dir.file("rc");
    const std::string tail =
        "Numerador 2 (2):\na0:  1.000000000000\nCte: 1000.000000000000\n"
        "Numerador 3 (jV1):\na0:  0.000000000000\na1:  1.000000000000\nCte: -0.001000000000\n"
        "Denominador salvo no arquivo " +
        base +
        ".d\n"
        "Numerador 1 (1) salvo no arquivo " +
        base +
        ".n1\n"
        "Numerador 2 (2) salvo no arquivo " +
        base +
        ".n2\n"
        "Numerador 3 (jV1) salvo no arquivo " +
        base +
        ".n3\n"
        "Análise terminada com sucesso.\n";
    ASSERT_GE(result.out.size(), tail.size());
    EXPECT_EQ(result.out.substr(result.out.size() - tail.size()), tail);
    EXPECT_NE(result.out.find("Multiplicações no cálculo do numerador 3: 4\n"), std::string::npos);
    EXPECT_EQ(result.out.find("Numerador 1 (1):"), std::string::npos);
}

TEST(CommandLineAnalysisTest, ListsStampsAndSkipsNormalisation) {
    test::TempDir dir;
    const std::string path = dir.write("r.net", "t\nI1 0 1 1 DEGRAU\nR1 1 0 2\nC1 1 0 0.25\n");
    const Result result = runCli({"analisar", "--listar-estampas", "--nao-normalizar",
                                  "--variaveis", "todas", path.c_str()});
    EXPECT_EQ(result.status, ExitSuccess);
    EXPECT_NE(result.out.find("Sistema após a estampa de C1\n+0.2s+0.5 +0.0s+1.0 \n"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("Denominador:\na0:  0.000000000000\na1:  0.500000000000\n"
                              "a2:  0.250000000000\nCte:  1.000000000000\n"),
              std::string::npos);
}

TEST(CommandLineAnalysisTest, BothExpansionsAndAnyCacheGiveTheSameLog) {
    test::TempDir dir;
    const std::string path =
        dir.write("sk.net", test::readFile(std::string(CORVANE_TEST_DATA_DIR) + "/sallen_key.net"));
    const Result memo = runCli({"analisar", "--listar-detalhes", path.c_str()});
    const Result plain =
        runCli({"analisar", "--listar-detalhes", "--expansao-simples", path.c_str()});
    const Result leastCache =
        runCli({"analisar", "--listar-detalhes", "--memoria-cache", "64", path.c_str()});
    EXPECT_EQ(memo.status, ExitSuccess);
    EXPECT_EQ(memo.out, plain.out);
    EXPECT_EQ(memo.out, leastCache.out);
    for (const char* bad : {"", "-1", "2k", "1.5", "0"}) {
        const Result result = runCli({"analisar", "--memoria-cache", bad, path.c_str()});
        EXPECT_EQ(result.status, ExitUsage) << bad;
    }
}

TEST(CommandLineAnalysisTest, ResultsThatCannotBeWrittenFailTheRun) {
    test::TempDir dir;
    const std::string path = dir.write("d.net", "t\nI1 0 1 1 IMPULSO\nR1 1 0 2\n");
    std::filesystem::create_directories(dir.file("d.n1/x"));
    const Result result = runCli({"analisar", path.c_str()});
    EXPECT_EQ(result.status, ExitFailure);
    const std::string last = "Erro ao gravar o arquivo " + dir.file("d.n1") + "\n";
    EXPECT_EQ(result.out.substr(result.out.size() - last.size()), last);
}

TEST(CommandLineAnalysisTest, AResistorOfZeroIsAFloatingPointFault) {
    test::TempDir dir;
    const std::string path = dir.write("z.net", "t\nV1 1 0 1 DEGRAU\nR1 1 0 0\n");
    const Result result = runCli({"analisar", path.c_str()});
    EXPECT_EQ(result.status, ExitFloatingPointFault);
    EXPECT_EQ(result.err, "Divisão por zero em ponto flutuante\n");
    EXPECT_EQ(result.out.substr(result.out.size() - 14), "Calculando...\n");
}

}  // namespace
}  // namespace corvane::cli
