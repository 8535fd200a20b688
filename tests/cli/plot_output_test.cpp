// Covers what corvane-cli plotar refuses and how it writes: option values out of range,
// plot lists that are folders, unreadable or too long, and the CSV table and images
// replaced whole or left as they were, with a full file system injected through a small
// tmpfs.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli_runner.h"
#include "command_line.h"
#include "result_file.h"
#include "temp_dir.h"

#ifdef CORVANE_IMAGE_EXPORT
#include <QImage>
#endif

namespace corvane::cli {
namespace {

using Result = test::CliResult;
using test::runCliWith;

struct PlotOutputTest : ::testing::Test {
    test::TempDir dir;
    std::string list;

    // One curve, 1 / (1 + s).
    void SetUp() override {
        Polynomial one;
        one.degree = 0;
        one.coef[0] = 1.0;
        one.constant = 1.0;
        Polynomial lowPass = one;
        lowPass.degree = 1;
        lowPass.coef[1] = 1.0;
        ASSERT_EQ(savePolynomial(dir.file("rc.n1"), one), SaveStatus::Saved);
        ASSERT_EQ(savePolynomial(dir.file("rc.d"), lowPass), SaveStatus::Saved);
        list = dir.write("lista.txt", dir.file("rc.n1") + "\n" + dir.file("rc.d") + "\n");
    }

    std::vector<std::string> folderEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

std::string firstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

TEST_F(PlotOutputTest, OptionValuesOutOfRangeAreUsageErrors) {
    struct Case {
        std::string option;
        std::string value;
        std::string message;
    };
    const std::string whole = " pede um número inteiro de 1 a 600: ";
    const std::string finite = " pede um número finito (. ou , decimal, sufixo opcional como 1k): ";
    const std::vector<Case> cases{
        {"--segmentos", "1e9", whole},  {"--segmentos", "0", whole},
        {"--segmentos", "-1", whole},   {"--segmentos", "abc", whole},
        {"--segmentos", "601", whole},  {"--segmentos", "2.5", whole},
        {"--wmin", "nan", finite},      {"--wmax", "inf", finite},
        {"--gmin", "abc", finite},      {"--gmax", "", finite},
        {"--fmin", "1e999", finite},    {"--fmax", "1x", finite},
        {"--amin", "1,000.5", finite},  {"--amax", "0x10", finite},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.option + " " + c.value);
        const Result result = runCliWith({"plotar", c.option, c.value, list});
        EXPECT_EQ(result.status, ExitUsage);
        EXPECT_EQ(firstLine(result.err), "corvane-cli: a opção " + c.option + c.message + c.value);
        EXPECT_EQ(result.out, "");
    }
    // The limits themselves, and a decimal comma, are taken.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--segmentos", "1"}, {"--segmentos", "600"},
          {"--wmin", "0,5"}, {"--gmin", " -80 "}}) {
        SCOPED_TRACE(args[0] + " " + args[1]);
        EXPECT_EQ(runCliWith({"plotar", args[0], args[1], list}).status, ExitSuccess);
    }
}

TEST_F(PlotOutputTest, ListsThatAreNotPlotListsAreRefused) {
    const Result folder = runCliWith({"plotar", dir.path().string()});
    EXPECT_EQ(folder.status, ExitFailure);
    EXPECT_EQ(folder.err, "corvane-cli: a lista " + dir.path().string() + " é uma pasta\n");

    const std::string tooLong = "corvane-cli: a lista %s passa de 1 MiB ou de 10000 linhas\n";
    auto tooLongFor = [&](const std::string& path) {
        std::string message = tooLong;
        message.replace(message.find("%s"), 2, path);
        return message;
    };
    for (const std::string& path : {std::string("/dev/zero"),
                                    dir.write("grande.txt", std::string((1 << 20) + 1, '*')),
                                    dir.write("linhas.txt", std::string(10001, '\n'))}) {
        SCOPED_TRACE(path);
        const Result result = runCliWith({"plotar", path});
        EXPECT_EQ(result.status, ExitFailure);
        EXPECT_EQ(result.err, tooLongFor(path));
        EXPECT_EQ(result.out, "");
    }
    // At the limits: exactly 1 MiB in 10000 comment lines is a list without curves.
    std::string atLimit = std::string((1 << 20) - 2 * 9999 - 1, '*') + "\n";
    for (int i = 1; i < 10000; ++i)
        atLimit += "*\n";
    ASSERT_EQ(atLimit.size(), std::size_t{1} << 20);
    const Result limit = runCliWith({"plotar", dir.write("limite.txt", atLimit)});
    EXPECT_EQ(limit.status, ExitSuccess);
    EXPECT_EQ(limit.out, "Lidas 0 funções\n");
}

TEST_F(PlotOutputTest, AnUnreadableListGivesTheReason) {
    const std::string locked = dir.write("fechada.txt", list);
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    // Root reads every file: the check runs as nobody.
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(99);
        const Result result = runCliWith({"plotar", locked});
        const bool ok = result.status == ExitFailure &&
                        result.err == "corvane-cli: não foi possível ler a lista " + locked +
                                          ": sem permissão de leitura\n";
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(PlotOutputTest, TheTableReplacesTheOldFileWholeAndLeavesNoTemporary) {
    const std::string table = dir.write("t.csv", "velho\n");
    const std::vector<std::string> before = folderEntries();
    ASSERT_EQ(runCliWith({"plotar", "--segmentos", "2", "--tabela", table, list}).status,
              ExitSuccess);
    const std::string text = test::readFile(table);
    EXPECT_EQ(text.rfind("curva,ponto,frequencia,ganho_db,fase_graus,atraso_s\n1,0,0.1", 0), 0u);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4);
    EXPECT_EQ(folderEntries(), before);
    // A name as long as the system allows still works: the temporary name is short.
    const std::string longName = dir.file(std::string(251, 't') + ".csv");
    EXPECT_EQ(runCliWith({"plotar", "--tabela", longName, list}).status, ExitSuccess);
    EXPECT_TRUE(std::filesystem::exists(longName));
}

#ifdef CORVANE_IMAGE_EXPORT
// The legend is drawn in the top right corner unless --sem-legenda asks otherwise.
TEST_F(PlotOutputTest, TheLegendOptions) {
    auto whiteInCorner = [&](const std::vector<std::string>& options) {
        const std::string image = dir.file("legenda.png");
        std::vector<std::string> args{"plotar"};
        args.insert(args.end(), options.begin(), options.end());
        args.insert(args.end(), {"--imagem", image, list});
        EXPECT_EQ(runCliWith(args).status, ExitSuccess);
        const QImage picture(QString::fromStdString(image));
        int count = 0;
        for (int y = 12; y < 26; ++y) {
            for (int x = 560; x < 668; ++x) {
                // Light pixels of the white text; the grid is grey or yellow.
                const QRgb p = picture.pixel(x, y);
                count += qRed(p) > 160 && qGreen(p) > 160 && qBlue(p) > 160;
            }
        }
        return count;
    };
    const int shown = whiteInCorner({});
    EXPECT_GT(shown, 10);
    EXPECT_EQ(whiteInCorner({"--legenda"}), shown);
    EXPECT_EQ(whiteInCorner({"--sem-legenda"}), 0);
    EXPECT_EQ(whiteInCorner({"--legenda", "--sem-legenda"}), 0);
}
#endif

// A tmpfs of a few pages, filled up, in a mount namespace of its own: the table and the
// image cannot be written, and the files they would replace must stay as they were.
TEST_F(PlotOutputTest, AFullFileSystemKeepsTheOldFilesAndFails) {
    const std::string full = dir.file("cheio");
    std::filesystem::create_directory(full);
    const std::string script =
        "mount -t tmpfs -o size=64k tmpfs '" + full + "' || exit 77\n"
        "printf 'tabela velha\\n' > '" + full + "/t.csv'\n"
        "printf 'imagem velha\\n' > '" + full + "/g.png'\n"
        "dd if=/dev/zero of='" + full + "/enche' bs=4k 2>/dev/null\n"
        "'" CORVANE_CLI_PATH "' plotar --tabela '" + full + "/t.csv' '" + list + "' > /dev/null 2> '" +
        dir.file("erro-tabela") + "'\n"
        "echo $? > '" + dir.file("status-tabela") + "'\n"
#ifdef CORVANE_IMAGE_EXPORT
        "'" CORVANE_CLI_PATH "' plotar --imagem '" + full + "/g.png' '" + list + "' > /dev/null 2> '" +
        dir.file("erro-imagem") + "'\n"
        "echo $? > '" + dir.file("status-imagem") + "'\n"
#endif
        "cp '" + full + "/t.csv' '" + full + "/g.png' '" + dir.path().string() + "/' 2>/dev/null\n"
        "ls -A '" + full + "' > '" + dir.file("conteudo") + "'\n";
    const std::string scriptPath = dir.write("cheio.sh", script);
    const int status = std::system(("unshare -m sh '" + scriptPath + "' 2>/dev/null").c_str());
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        GTEST_SKIP() << "no mount namespace with a tmpfs here";
    }
    EXPECT_EQ(test::readFile(dir.file("status-tabela")), "1\n");
    EXPECT_EQ(test::readFile(dir.file("erro-tabela")),
              "corvane-cli: não foi possível gravar a tabela " + full + "/t.csv\n");
    EXPECT_EQ(test::readFile(dir.file("t.csv")), "tabela velha\n");
#ifdef CORVANE_IMAGE_EXPORT
    EXPECT_EQ(test::readFile(dir.file("status-imagem")), "1\n");
    EXPECT_EQ(test::readFile(dir.file("erro-imagem")),
              "corvane-cli: não foi possível gravar a imagem " + full + "/g.png\n");
    EXPECT_EQ(test::readFile(dir.file("g.png")), "imagem velha\n");
#endif
    // No temporary file is left behind.
    EXPECT_EQ(test::readFile(dir.file("conteudo")), "enche\ng.png\nt.csv\n");
}

}  // namespace
}  // namespace corvane::cli
