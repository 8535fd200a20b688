// Covers where corvane-cli's outputs go: an output that is one of the command's inputs
// (the netlist, a result file, the list) is refused before anything is written, links
// included; a FIFO is written directly and stays a FIFO; a read-only result file stops the
// run; a result file that is a link keeps its link; and a JSON document that cannot be
// written leaves every result file as it was.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli_runner.h"
#include "command_line.h"
#include "fifo_reader.h"
#include "temp_dir.h"

namespace corvane::cli {
namespace {

namespace fs = std::filesystem;

const char* const Rc = "RC\nV1 1 0 1 DEGRAU\nR1 1 2 1000\nC1 2 0 1e-6\n";
const std::string Marked = "marca\n";

class OutputFiles : public ::testing::Test {
protected:
    void SetUp() override {
        netlist = dir.write("rc.net", Rc);
        ASSERT_EQ(test::runCli({"analisar", netlist.c_str()}).status, ExitSuccess);
        list = dir.write("lista.txt", dir.file("rc.n2") + "\n" + dir.file("rc.d") + "\n");
    }

    test::TempDir dir;
    std::string netlist;
    std::string list;
};

TEST_F(OutputFiles, AnOutputThatIsAnInputIsRefused) {
    fs::create_symlink(dir.file("rc.n1"), dir.file("ligado.json"));
    fs::create_symlink(list, dir.file("ligada.csv"));
    const std::string n1 = dir.file("rc.n1");
    const std::string d = dir.file("rc.d");
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::string message;  // the last line of the log, or standard error
        std::string kept;     // the input that must stay as it was
    };
    const std::vector<Case> cases{
        {"JSON over the netlist", {"analisar", "--json", netlist, netlist},
         "O netlist " + netlist + " seria substituído pelo JSON " + netlist, netlist},
        {"JSON over the denominator", {"analisar", "--json", d, netlist},
         "O arquivo de resultados " + d + " seria substituído pelo JSON " + d, d},
        {"JSON through a link to a numerator",
         {"analisar", "--json", dir.file("ligado.json"), netlist},
         "O arquivo de resultados " + n1 + " seria substituído pelo JSON " +
             dir.file("ligado.json"),
         n1},
        {"tempo table over its list", {"tempo", "--tabela", list, list},
         "corvane-cli: --tabela " + list + " seria gravada sobre o arquivo lido " + list, list},
        {"plotar table over a denominator", {"plotar", "--tabela", d, list},
         "corvane-cli: --tabela " + d + " seria gravada sobre o arquivo lido " + d, d},
        {"plotar table through a link to the list",
         {"plotar", "--tabela", dir.file("ligada.csv"), list},
         "corvane-cli: --tabela " + dir.file("ligada.csv") + " seria gravada sobre o arquivo lido " +
             list,
         list},
    };
    for (const Case& c : cases) {
        const std::string before = test::readFile(c.kept);
        const test::CliResult result = test::runCliWith(c.args);
        EXPECT_EQ(result.status, ExitFailure) << c.name;
        EXPECT_EQ(test::lastLine(c.args[0] == "analisar" ? result.out : result.err), c.message)
            << c.name;
        EXPECT_EQ(test::readFile(c.kept), before) << c.name;
    }
    EXPECT_TRUE(fs::is_symlink(dir.file("ligado.json")));
    EXPECT_TRUE(fs::is_symlink(dir.file("ligada.csv")));
}

TEST_F(OutputFiles, AFifoIsWrittenAndStaysAFifo) {
    const std::string fifo = dir.file("saida.json");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const test::FifoReader reader(fifo);
    ASSERT_TRUE(reader.opened());
    EXPECT_EQ(test::runCli({"analisar", "--json", fifo.c_str(), netlist.c_str()}).status,
              ExitSuccess);
    EXPECT_EQ(reader.text().rfind("{\n  \"formato\": \"corvane-resultados\"", 0), 0u);
    EXPECT_TRUE(fs::is_fifo(fifo));
}

TEST_F(OutputFiles, AReadOnlyResultFileStopsTheRun) {
    const std::string n2 = dir.write("rc.n2", Marked);
    fs::permissions(n2, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const std::string d = dir.write("rc.d", Marked);
    const test::CliResult result = test::runCli({"analisar", netlist.c_str()});
    EXPECT_EQ(result.status, ExitFailure);
    EXPECT_EQ(test::lastLine(result.out),
              "O arquivo " + n2 + " é somente leitura; nenhum resultado foi gravado");
    EXPECT_EQ(test::readFile(n2), Marked);
    EXPECT_EQ(test::readFile(d), Marked);
}

TEST_F(OutputFiles, AResultFileThatIsALinkIsReplacedThroughIt) {
    fs::create_directory(dir.file("outra"));
    const std::string target = dir.write("outra/alvo", Marked);
    fs::remove(dir.file("rc.n2"));
    fs::create_symlink(target, dir.file("rc.n2"));
    ASSERT_EQ(test::runCli({"analisar", netlist.c_str()}).status, ExitSuccess);
    EXPECT_TRUE(fs::is_symlink(dir.file("rc.n2")));
    // V(2) = (1/RC)/(s + 1/RC), normalised: numerator 1, constant 1000.
    EXPECT_EQ(test::readFile(target), "0\n 1.000000000000\n1000.000000000000\n");
}

// The JSON goes in place with the result files, yet lists the warnings about them, which
// the log gives only once they are written.
TEST_F(OutputFiles, TheJsonListsTheWarningsAboutTheResultFiles) {
    // 1 MΩ with 4 pF, not normalised: the coefficients of numerator 3 (the current of V1)
    // are all below 5e-13.
    const std::string tiny = dir.write("pf.net", "t\nV1 1 0 1 DEGRAU\nR1 1 2 1e6\nC1 2 0 1e-12\n"
                                                 "C2 2 0 3e-12\n");
    const std::string json = dir.file("pf.json");
    const test::CliResult result =
        test::runCli({"analisar", "--nao-normalizar", "--json", json.c_str(), tiny.c_str()});
    EXPECT_EQ(result.status, ExitWarnings);
    const std::string warning = "Aviso: o arquivo " + dir.file("pf.n3") +
                                " perdeu coeficientes menores que 5e-13; use a normalização.";
    EXPECT_NE(result.out.find(warning + "\n"), std::string::npos);
    const nlohmann::json document = nlohmann::json::parse(test::readFile(json));
    ASSERT_EQ(document.at("avisos").size(), 1u);
    EXPECT_EQ(document.at("avisos").at(0).at("texto"), warning);
}

// A JSON that outgrows the file size limit fails to be written, as on a full disk.
TEST_F(OutputFiles, AJsonThatCannotBeWrittenKeepsTheResultFiles) {
    const std::string d = dir.write("rc.d", Marked);
    const std::string json = dir.file("rc.json");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{200, 200};
        setrlimit(RLIMIT_FSIZE, &limit);
        const char* args[] = {"corvane-cli", "analisar", "--json", json.c_str(), netlist.c_str()};
        test::MemoryStream out;
        test::MemoryStream err;
        _exit(runCommandLine(5, args, out.file(), err.file()));
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), ExitFailure);
    EXPECT_EQ(test::readFile(d), Marked);
    EXPECT_FALSE(fs::exists(json));
}

}  // namespace
}  // namespace corvane::cli
