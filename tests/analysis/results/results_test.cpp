// Covers the results: the listing of a polynomial and of a run, the result file format
// byte for byte, reading it back (also malformed files), the files a run writes, and what
// happens when they cannot be written.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "numbered.h"
#include "recording_host.h"
#include "result_file.h"
#include "result_file_names.h"
#include "result_set.h"
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

TEST(ResultFileTest, RoundTripsTheDegreeOfALiftedCircuit) {
    // A ladder of 300 sections has a denominator of degree 300 (and one more after the
    // integration step); its file must come back whole, every coefficient in its place.
    for (const int degree : {MaxDegree + 1, 300, MaxLiftedDegree}) {
        Polynomial p;
        p.setDegree(degree);
        for (int i = 0; i <= degree; ++i)
            p.coef[static_cast<std::size_t>(i)] = (i % 7) - 3.5;
        p.constant = 0.25;
        Polynomial back;
        Lines log;
        EXPECT_EQ(readText(written(p), back, &log), ReadStatus::Complete) << degree;
        EXPECT_TRUE(log.empty()) << degree;
        EXPECT_EQ(back, p) << degree;
    }
}

TEST(ResultFileTest, RefusesADegreeAboveTheLiftedLimitAndKeepsThePolynomial) {
    // Read as a lower degree, the file would lose its highest coefficients and take one of
    // them for the constant: a wrong curve.
    for (const int degree : {MaxLiftedDegree + 1, 2000}) {
        std::string text = std::to_string(degree) + "\n";
        for (int i = 1; i <= degree + 2; ++i)
            text += std::to_string(i) + "\n";
        Polynomial p;
        p.degree = 1;
        p.coef[0] = 7.0;
        Lines log;
        EXPECT_EQ(readText(text, p, &log), ReadStatus::DegreeTooHigh) << degree;
        EXPECT_EQ(log, Lines{"Polinômio com grau excessivo"}) << degree;
        EXPECT_EQ(p.degree, 1) << degree;
        EXPECT_EQ(p.coef[0], 7.0) << degree;
    }
    Polynomial q;
    Lines log;
    EXPECT_EQ(readText("1002\n", q, &log), ReadStatus::DegreeTooHigh);
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

TEST(ResultFileNamesTest, NamesEveryFileOfARun) {
    const ResultFileNames names("/dados/versao.2/amp.v1.net");
    EXPECT_EQ(names.netlist(), "/dados/versao.2/amp.v1.net");
    EXPECT_EQ(names.baseName(), "/dados/versao.2/amp.v1");
    EXPECT_EQ(names.denominator(), "/dados/versao.2/amp.v1.d");
    EXPECT_EQ(names.numerator(1), "/dados/versao.2/amp.v1.n1");
    EXPECT_EQ(names.numerator(25), "/dados/versao.2/amp.v1.n25");
    // Every numerator the run writes pairs back with the run's own denominator.
    for (int k = 1; k <= 25; ++k) {
        EXPECT_EQ(ResultFileNames::denominatorFor(names.numerator(k)), names.denominator()) << k;
    }
    const ResultFileNames bare("/dados/versao.2/amp");
    EXPECT_EQ(bare.netlist(), "/dados/versao.2/amp.net");
    EXPECT_EQ(bare.baseName(), "/dados/versao.2/amp");
}

TEST(ResultFileNamesTest, PairsANumeratorWithTheDenominatorOfItsLastDotN) {
    struct Case {
        const char* numerator;
        std::optional<std::string> denominator;
    };
    const Case cases[] = {
        {"amp.v1.n3", "amp.v1.d"},
        {"x.nivel.n2", "x.nivel.d"},
        {"/a.n/b.N4", "/a.n/b.d"},
        {"/a.n/b.txt", std::nullopt},
        {"filtro.n12", "filtro.d"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ResultFileNames::denominatorFor(c.numerator), c.denominator) << c.numerator;
    }
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
    // The files hold another function than the run computed: not a success.
    EXPECT_EQ(f.fixture.outcome, RunOutcome::SucceededWithWarnings);
    EXPECT_EQ(tail.back(), "Análise terminada com avisos.");

    RunFixture quiet;
    quiet.fixture.host.normalization = false;
    quiet.run(Divider);
    for (const std::string& line : quiet.fixture.lines)
        EXPECT_EQ(line.rfind("Aviso", 0), line.npos);
}

// The names in a folder, sorted.
Lines namesIn(const std::filesystem::path& folder) {
    Lines names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

const char* const FilterSet[] = {"filtro.d", "filtro.n1", "filtro.n2", "filtro.n3", "filtro.net"};

TEST(SaveResultsTest, AFileThatCannotBeWrittenLeavesThePreviousSetWhole) {
    RunFixture f;
    f.run(Divider);
    ASSERT_EQ(f.fixture.outcome, RunOutcome::Succeeded);
    std::vector<std::string> before;
    for (const char* name : {"filtro.d", "filtro.n1", "filtro.n3"})
        before.push_back(test::readFile(f.dir.file(name)));

    // A folder now stands where the second numerator goes: nothing of the new circuit may
    // reach the other names.
    std::filesystem::remove(f.dir.file("filtro.n2"));
    std::filesystem::create_directories(f.dir.file("filtro.n2/ocupado"));
    f.run("outro\nV1 in 0 1 DEGRAU\nR1 in out 1k\nC1 out 0 1u\n");
    EXPECT_EQ(f.fixture.lines.back(), "Erro ao gravar o arquivo " + f.dir.file("filtro.n2"));
    EXPECT_EQ(f.fixture.outcome, RunOutcome::Failed);
    std::size_t i = 0;
    for (const char* name : {"filtro.d", "filtro.n1", "filtro.n3"})
        EXPECT_EQ(test::readFile(f.dir.file(name)), before[i++]) << name;
    EXPECT_EQ(namesIn(f.dir.path()), Lines(std::begin(FilterSet), std::end(FilterSet)));
}

TEST(SaveResultsTest, ANetlistIsNeverOverwrittenByItsOwnResults) {
    for (const char* name : {"filtro.d", "amp.n1", "amp.n3"}) {
        RunFixture f;
        const std::string netlist = f.dir.write(name, Divider);
        f.fixture.run(netlist);
        EXPECT_EQ(f.fixture.lines.back(),
                  "O netlist " + netlist + " seria substituído pelo arquivo de resultados " + netlist)
            << name;
        EXPECT_EQ(f.fixture.outcome, RunOutcome::Failed);
        EXPECT_EQ(test::readFile(netlist), Divider) << name;
        EXPECT_EQ(namesIn(f.dir.path()), Lines{name}) << name;
    }
    // The same file under another name: a symbolic and a hard link.
    RunFixture f;
    const std::string netlist = f.dir.write("filtro.net", Divider);
    std::filesystem::create_symlink(netlist, f.dir.file("filtro.d"));
    f.fixture.run(netlist);
    EXPECT_EQ(f.fixture.lines.back(), "O netlist " + netlist +
                                          " seria substituído pelo arquivo de resultados " +
                                          f.dir.file("filtro.d"));
    std::filesystem::remove(f.dir.file("filtro.d"));
    std::filesystem::create_hard_link(netlist, f.dir.file("filtro.n2"));
    f.fixture.run(netlist);
    EXPECT_EQ(f.fixture.lines.back(), "O netlist " + netlist +
                                          " seria substituído pelo arquivo de resultados " +
                                          f.dir.file("filtro.n2"));
    EXPECT_EQ(test::readFile(netlist), Divider);
    EXPECT_EQ(namesIn(f.dir.path()), (Lines{"filtro.n2", "filtro.net"}));
}

TEST(SaveResultsTest, NetlistsThatDifferAfterTheFirstDotKeepTheirOwnResults) {
    RunFixture f;
    f.run(Divider, "amp.v1.net");
    f.run("t\nI1 0 1 1 IMPULSO\nR1 1 0 2\n", "amp.v2.net");
    EXPECT_EQ(f.fixture.lines[f.fixture.lines.size() - 2],
              "Resultados salvos como " + f.dir.file("amp.v2") + ".*");
    EXPECT_EQ(namesIn(f.dir.path()),
              (Lines{"amp.v1.d", "amp.v1.n1", "amp.v1.n2", "amp.v1.n3", "amp.v1.net", "amp.v2.d",
                     "amp.v2.n1", "amp.v2.net"}));
    // The divider's output is a quarter of its input; the other circuit's node is 2 V/A.
    EXPECT_EQ(test::readFile(f.dir.file("amp.v1.n2")), "0\n 1.000000000000\n 0.250000000000\n");
}

TEST(SaveResultsTest, TemporaryNamesFitBesideAFileNameOfTheSystemsLength) {
    RunFixture f;
    const std::string name = std::string(251, 'n') + ".net";  // 255 bytes, the most allowed
    f.run(Divider, name);
    EXPECT_EQ(f.fixture.outcome, RunOutcome::Succeeded) << f.fixture.lines.back();
    EXPECT_EQ(namesIn(f.dir.path()).size(), 5u);  // no temporary left
    EXPECT_TRUE(std::filesystem::exists(f.dir.file(std::string(251, 'n') + ".n3")));
}

TEST(SaveResultsTest, RemovesTheTemporariesOfAKilledRunOfTheSameStem) {
    RunFixture f;
    const std::string prefix = temporaryPrefix(f.dir.file("filtro.d"));
    // A process id above any the system hands out stands for a run that was killed.
    const std::string stale = f.dir.write(prefix + "999999999.0", "meio");
    const std::string staleBackup = f.dir.write(prefix + "999999999.3b", "meio");
    // A run still under way (this test's parent, say) keeps its temporaries...
    const std::string live = f.dir.write(prefix + std::to_string(getppid()) + ".1", "em curso");
    // ...and another stem's are not this run's business.
    const std::string other = f.dir.write(temporaryPrefix(f.dir.file("outro.d")) + "999999999.0", "x");
    f.run(Divider);
    ASSERT_EQ(f.fixture.outcome, RunOutcome::Succeeded);
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_FALSE(std::filesystem::exists(staleBackup));
    EXPECT_TRUE(std::filesystem::exists(live));
    EXPECT_TRUE(std::filesystem::exists(other));
    EXPECT_LE(prefix.size() + 20, 100u);
}

// Runs `body` in a child process with a file system of its own mounted on `folder`, and
// returns its exit status; 77 when such a mount is not allowed here.
template <class Body>
int runOnSmallFileSystem(const std::string& folder, Body body) {
    const pid_t child = fork();
    if (child == 0) {
        if (unshare(CLONE_NEWNS) != 0) _exit(77);
        if (mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) _exit(77);
        if (mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") != 0) _exit(77);
        _exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
}

TEST(SaveResultsTest, AFullFileSystemLeavesThePreviousSetWhole) {
    test::TempDir dir;
    const int status = runOnSmallFileSystem(dir.path().string(), [&] {
        test::AnalysisFixture fixture;
        const std::string netlist = dir.write("filtro.net", Divider);
        fixture.run(netlist);
        if (fixture.outcome != RunOutcome::Succeeded) return 1;
        const std::string before = test::readFile(dir.file("filtro.n2"));
        // Fill every block that is left.
        std::FILE* filler = std::fopen(dir.file("enche").c_str(), "w");
        if (!filler) return 2;
        const std::string block(4096, 'x');
        while (std::fwrite(block.data(), 1, block.size(), filler) == block.size() &&
               std::fflush(filler) == 0) {
        }
        std::fclose(filler);
        dir.write("filtro.net", "outro\nV1 in 0 1 DEGRAU\nR1 in out 1k\nC1 out 0 1u\n");
        fixture.run(netlist);
        if (fixture.outcome != RunOutcome::Failed) return 3;
        if (fixture.lines.back() != "Erro ao gravar o arquivo " + dir.file("filtro.d")) return 4;
        if (test::readFile(dir.file("filtro.n2")) != before) return 5;
        const Lines expected{"enche", "filtro.d", "filtro.n1", "filtro.n2", "filtro.n3",
                             "filtro.net"};
        return namesIn(dir.path()) == expected ? 0 : 6;
    });
    if (status == 77) GTEST_SKIP() << "this system does not let the test mount a small tmpfs";
    EXPECT_EQ(status, 0);
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

// In a sticky folder only a file's owner may replace it: a result file of another user
// makes the third rename of the set fail, after two files have taken their names.
TEST(SaveResultsTest, ARenameThatFailsPutsThePreviousSetBack) {
    test::TempDir dir;
    std::filesystem::permissions(dir.path(), std::filesystem::perms::all |
                                                 std::filesystem::perms::sticky_bit);
    const std::string netlist = dir.write("filtro.net", Divider);
    ASSERT_EQ(runUnprivileged([&] {
                  test::AnalysisFixture fixture;
                  fixture.run(netlist);
                  return fixture.outcome == RunOutcome::Succeeded ? 0 : 1;
              }),
              0);
    if (geteuid() != 0) GTEST_SKIP() << "the test needs root to own a file beside the others";
    const std::string n2 = dir.file("filtro.n2");
    const std::string kept = test::readFile(n2);
    std::filesystem::remove(n2);
    dir.write("filtro.n2", kept);  // now root's
    std::vector<std::string> before;
    for (const char* name : {"filtro.d", "filtro.n1", "filtro.n2", "filtro.n3"})
        before.push_back(test::readFile(dir.file(name)));

    dir.write("filtro.net", "outro\nV1 in 0 1 DEGRAU\nR1 in out 1k\nC1 out 0 1u\n");
    const std::string expected = "Erro ao gravar o arquivo " + n2;
    const int status = runUnprivileged([&] {
        test::AnalysisFixture fixture;
        fixture.run(netlist);
        return fixture.lines.back() == expected && fixture.outcome == RunOutcome::Failed ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
    std::size_t i = 0;
    for (const char* name : {"filtro.d", "filtro.n1", "filtro.n2", "filtro.n3"})
        EXPECT_EQ(test::readFile(dir.file(name)), before[i++]) << name;
    EXPECT_EQ(namesIn(dir.path()), Lines(std::begin(FilterSet), std::end(FilterSet)));
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
