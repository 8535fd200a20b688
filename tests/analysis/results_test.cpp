// Covers the results: the listing of a polynomial and of a run, the result file format
// byte for byte, reading it back (also malformed files), the files a run writes, and what
// happens when they cannot be written.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "numbered.h"
#include "recording_host.h"
#include "result_file.h"
#include "results.h"
#include "temp_dir.h"

namespace corvane {
namespace {

using Lines = std::vector<std::string>;

struct CapturedLog {
    Lines lines;
    AnalysisLog log{[this](std::string_view line) { lines.emplace_back(line); }};
};

Polynomial example() {
    Polynomial p;
    p.degree = 2;
    p.coef[0] = 0.5;
    p.coef[1] = 1.25;
    p.coef[2] = 1.0;
    p.constant = 3.0;
    return p;
}

std::string written(const Polynomial& p) {
    test::TempDir dir;
    const std::string path = dir.file("p.n1");
    EXPECT_EQ(savePolynomial(path, p), SaveStatus::Saved);
    return test::readFile(path);
}

TEST(ResultFileTest, WritesTheFormatByteForByte) {
    EXPECT_EQ(written(example()),
              "2\n 0.500000000000\n 1.250000000000\n 1.000000000000\n 3.000000000000\n");
    Polynomial p;
    p.degree = 1;
    p.coef[0] = -0.0;
    p.coef[1] = -12345.678;
    p.constant = 4e-13;
    EXPECT_EQ(written(p), "1\n-0.000000000000\n-12345.678000000000\n 0.000000000000\n");
    EXPECT_TRUE(losesSmallCoefficients(p));
    EXPECT_FALSE(losesSmallCoefficients(example()));
    p.constant = 5e-13;
    EXPECT_FALSE(losesSmallCoefficients(p));
}

TEST(ResultFileTest, ListsAPolynomial) {
    CapturedLog captured;
    listPolynomial(captured.log, example());
    EXPECT_EQ(captured.lines, (Lines{"a0:  0.500000000000", "a1:  1.250000000000",
                                     "a2:  1.000000000000", "Cte:  3.000000000000"}));
}

// Reads `text` as a result file into `p`.
ReadStatus readText(const std::string& text, Polynomial& p, Lines* log = nullptr) {
    test::TempDir dir;
    const std::string path = dir.write("r.n1", text);
    CapturedLog captured;
    std::FILE* file = std::fopen(path.c_str(), "r");
    const ReadStatus status = readPolynomial(file, p, captured.log);
    std::fclose(file);
    if (log) *log = captured.lines;
    return status;
}

TEST(ResultFileTest, RoundTripsADegreeThirtyPolynomial) {
    Polynomial p;
    p.degree = MaxDegree;
    for (int i = 0; i <= MaxDegree; ++i)
        p.coef[i] = (i - 15) * 1.0625 + 1.0 / 3.0;
    p.constant = -2.5;
    Polynomial back;
    Lines log;
    EXPECT_EQ(readText(written(p), back, &log), ReadStatus::Complete);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(back.degree, MaxDegree);
    for (int i = 0; i <= MaxDegree; ++i)
        EXPECT_NEAR(back.coef[i], p.coef[i], 5e-13) << i;
    EXPECT_EQ(back.constant, -2.5);
}

TEST(ResultFileTest, ReadsAnExcessiveDegreeAsThirty) {
    std::string text = "35\n";
    for (int i = 1; i <= 37; ++i)
        text += std::to_string(i) + "\n";
    Polynomial p;
    Lines log;
    EXPECT_EQ(readText(text, p, &log), ReadStatus::Complete);
    EXPECT_EQ(log, Lines{"Polinômio com grau excessivo"});
    EXPECT_EQ(p.degree, 30);
    EXPECT_EQ(p.coef[0], 1.0);
    EXPECT_EQ(p.coef[30], 31.0);
    EXPECT_EQ(p.constant, 32.0);

    Polynomial q;
    EXPECT_EQ(readText("31\n", q, &log), ReadStatus::EndedEarly);
    EXPECT_EQ(log, Lines{"Polinômio com grau excessivo"});
}

TEST(ResultFileTest, ReadsAnyWhiteSpaceAndBothLineEnds) {
    Polynomial p;
    EXPECT_EQ(readText("1\r\n 2.5\r\n-1e-3\r\n 4\r\n", p), ReadStatus::Complete);
    EXPECT_EQ(p.degree, 1);
    EXPECT_EQ(p.coef[0], 2.5);
    EXPECT_EQ(p.coef[1], -1e-3);
    EXPECT_EQ(p.constant, 4.0);
    EXPECT_EQ(readText("2 1 2 3 4", p), ReadStatus::Complete);
    EXPECT_EQ(p.constant, 4.0);
    // A negative degree reads no coefficient: the next number is the constant.
    EXPECT_EQ(readText("-1\n7\n", p), ReadStatus::Complete);
    EXPECT_EQ(p.degree, -1);
    EXPECT_EQ(p.constant, 7.0);
}

TEST(ResultFileTest, TellsAFileThatEndsEarlyOrIsNotNumeric) {
    Polynomial p = example();
    EXPECT_EQ(readText("", p), ReadStatus::EndedEarly);
    EXPECT_EQ(p.degree, 2);  // nothing read, nothing changed
    EXPECT_EQ(p.constant, 3.0);

    p = example();
    EXPECT_EQ(readText("1\n 9\n 8\n", p), ReadStatus::EndedEarly);
    EXPECT_EQ(p.coef[1], 8.0);
    EXPECT_EQ(p.constant, 3.0);  // the missing constant keeps its value

    p = example();
    EXPECT_EQ(readText("2\n 9\n abc\n 7\n 6\n", p), ReadStatus::NotANumber);
    EXPECT_EQ(p.coef[0], 9.0);
    EXPECT_EQ(p.coef[1], 1.25);  // reading stops at the text; every later field is kept
    EXPECT_EQ(p.coef[2], 1.0);
    EXPECT_EQ(p.constant, 3.0);

    EXPECT_EQ(readText("x\n", p), ReadStatus::NotANumber);
}

TEST(ResultFileTest, SavingReplacesAFileWholeOrNotAtAll) {
    test::TempDir dir;
    const std::string path = dir.write("a.d", "velho\n");
    ASSERT_EQ(savePolynomial(path, example()), SaveStatus::Saved);
    EXPECT_EQ(test::readFile(path).substr(0, 2), "2\n");

    EXPECT_EQ(savePolynomial(dir.file("nao/existe.d"), example()), SaveStatus::CannotCreate);

    // A folder in the way: the text is written but cannot take the name.
    const std::string blocked = dir.file("b.d");
    std::filesystem::create_directories(blocked + "/dentro");
    EXPECT_EQ(savePolynomial(blocked, example()), SaveStatus::WriteFailed);
    EXPECT_TRUE(std::filesystem::is_directory(blocked + "/dentro"));
    // No temporary file is left behind.
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a.d", "b.d"}));
}

struct RunFixture {
    test::TempDir dir;
    test::AnalysisFixture fixture;
    Lines run(const std::string& netlist, const std::string& name = "filtro.net") {
        return fixture.run(dir.write(name, netlist));
    }
    Lines after(const std::string& line) const {
        auto at = std::find(fixture.lines.begin(), fixture.lines.end(), line);
        return Lines(at == fixture.lines.end() ? at : at + 1, fixture.lines.end());
    }
};

const char* const Divider = "divisor\nV1 in 0 1 DEGRAU\nR1 in out 3\nR2 out 0 1\n";

TEST(SaveResultsTest, ListsTheDenominatorAndTheSelectedNumeratorsThenSaves) {
    RunFixture f;
    f.run(Divider);
    const std::string base = f.dir.file("filtro");
    EXPECT_EQ(f.after("Integração: Grau do denominador aumentado para 1"),
              (Lines{"Sistema resolvido:", "Denominador:", "a0: -0.000000000000",
                     "a1:  1.000000000000", "Cte:  1.000000000000",
                     "Resultados salvos como " + base + ".*", "Análise terminada com sucesso."}));
    EXPECT_EQ(f.fixture.outcome, RunOutcome::Succeeded);
    for (const char* suffix : {".d", ".n1", ".n2", ".n3"}) {
        EXPECT_TRUE(std::filesystem::exists(base + suffix)) << suffix;
    }
    EXPECT_EQ(test::readFile(base + ".n2"), "0\n 1.000000000000\n 0.250000000000\n");
}

TEST(SaveResultsTest, WithDetailsNamesEverySavedFile) {
    RunFixture f;
    f.fixture.host.details = true;
    f.fixture.host.selected = {3, 1};
    f.run(Divider);
    const std::string base = f.dir.file("filtro");
    EXPECT_EQ(f.after("Cte:  1.000000000000"),
              (Lines{"Numerador 1 (in):", "a0:  1.000000000000", "Cte:  1.000000000000",
                     "Numerador 3 (jV1):", "a0:  1.000000000000", "Cte: -0.250000000000",
                     "Denominador salvo no arquivo " + base + ".d",
                     "Numerador 1 (in) salvo no arquivo " + base + ".n1",
                     "Numerador 2 (out) salvo no arquivo " + base + ".n2",
                     "Numerador 3 (jV1) salvo no arquivo " + base + ".n3",
                     "Análise terminada com sucesso."}));
}

TEST(SaveResultsTest, ListsAgainWithTheSelectionOfTheMoment) {
    RunFixture f;
    f.run(Divider);
    f.fixture.lines.clear();
    f.fixture.host.selected = {2};
    f.fixture.analysis.listResults();
    EXPECT_EQ(f.fixture.lines,
              (Lines{"Sistema resolvido:", "Denominador:", "a0: -0.000000000000",
                     "a1:  1.000000000000", "Cte:  1.000000000000",
                     "Numerador 2 (out):", "a0:  1.000000000000", "Cte:  0.250000000000"}));
}

TEST(SaveResultsTest, WritesOneNumeratorFilePerVariable) {
    std::string netlist = "escada de 12 nós\nI1 0 n1 1 IMPULSO\n";
    for (int i = 1; i <= 12; ++i) {
        netlist += test::numbered("R", i) + test::numbered(" n", i) + " 0 1\n";
        if (i < 12) {
            netlist += test::numbered("C", i) + test::numbered(" n", i) + " n" +
                       std::to_string(i + 1) + " 1\n";
        }
    }
    RunFixture f;
    f.run(netlist, "escada.net");
    ASSERT_EQ(f.fixture.outcome, RunOutcome::Succeeded);
    for (int k = 1; k <= 12; ++k) {
        EXPECT_TRUE(std::filesystem::exists(f.dir.file("escada.n" + std::to_string(k)))) << k;
    }
    EXPECT_FALSE(std::filesystem::exists(f.dir.file("escada.n13")));
    EXPECT_FALSE(std::filesystem::exists(f.dir.file("escada.n01")));
}

TEST(SaveResultsTest, WarnsWhenAFileLosesSmallCoefficients) {
    RunFixture f;
    f.fixture.host.normalization = false;
    f.run(test::readFile(std::string(CORVANE_TEST_DATA_DIR) + "/chebyshev_1mhz.net"), "cheb.net");
    const Lines tail = f.after("Sistema resolvido:");
    EXPECT_NE(std::find(tail.begin(), tail.end(),
                        "Aviso: o arquivo " + f.dir.file("cheb.d") +
                            " perdeu coeficientes menores que 5e-13; use a normalização."),
              tail.end());
    EXPECT_EQ(f.fixture.outcome, RunOutcome::Succeeded);

    RunFixture quiet;
    quiet.fixture.host.normalization = false;
    quiet.run(Divider);
    for (const std::string& line : quiet.fixture.lines)
        EXPECT_EQ(line.rfind("Aviso", 0), line.npos);
}

TEST(SaveResultsTest, AFileThatCannotBeWrittenEndsTheRun) {
    RunFixture f;
    std::filesystem::create_directories(f.dir.file("filtro.n2/ocupado"));
    f.run(Divider);
    EXPECT_EQ(f.fixture.lines.back(), "Erro ao gravar o arquivo " + f.dir.file("filtro.n2"));
    EXPECT_EQ(f.fixture.outcome, RunOutcome::Failed);
    EXPECT_FALSE(std::filesystem::exists(f.dir.file("filtro.n3")));
}

// Runs `body` in a child process without the privileges of root, so that folder
// permissions apply, and returns its exit status.
template <class Body>
int runUnprivileged(Body body) {
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(99);
        _exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
}

TEST(SaveResultsTest, AReadOnlyFolderIsReported) {
    test::TempDir dir;
    const std::string netlist = dir.write("filtro.net", Divider);
    std::filesystem::permissions(
        dir.path(), std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                        std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                        std::filesystem::perms::others_exec);
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    const std::string expected = "Não foi possível criar o arquivo " + dir.file("filtro.d");
    const int status = runUnprivileged([&] {
        test::AnalysisFixture fixture;
        fixture.run(netlist);
        return fixture.lines.back() == expected && fixture.outcome == RunOutcome::Failed ? 0 : 1;
    });
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all);
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(std::filesystem::exists(dir.file("filtro.d")));
}

}  // namespace
}  // namespace corvane
