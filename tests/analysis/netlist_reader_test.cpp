// Covers the netlist reader and the frame of a run up to the parameter wait: file names,
// the echo of every element kind, the scanf-decided syntax, node and variable numbering,
// every limit and failure message, and the calls the wait makes on the windows.
#include "netlist_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfenv>
#include <filesystem>
#include <string>
#include <vector>

#include "floating_point.h"
#include "numbered.h"
#include "recording_host.h"
#include "temp_dir.h"

namespace corvane {
namespace {

using Lines = std::vector<std::string>;
using test::AnalysisFixture;
using test::TempDir;

class ReaderTest : public ::testing::Test {
protected:
    // Runs the analysis of a netlist holding `text` (its first line is the title).
    // The lines up to the end of the parameter wait; the computation that follows is
    // covered elsewhere.
    Lines read(const std::string& text) {
        dir.write("circuito.net", text);
        Lines lines = fixture.run(path);
        const auto wait = std::find(lines.begin(), lines.end(), "Parâmetros de análise dados");
        if (wait != lines.end()) lines.erase(wait + 1, lines.end());
        return lines;
    }

    bool reachedTheWait() const {
        return std::find(fixture.lines.begin(), fixture.lines.end(),
                         "Parâmetros de análise dados") != fixture.lines.end();
    }

    // The lines of a run from its empty first line to the end of the reading.
    Lines opening() const { return {"", "Lendo netlist " + path + ":"}; }

    static Lines join(Lines a, const Lines& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    }

    static const Lines& waitLines() {
        static const Lines lines{"Linha de comando não encontrada", "Parâmetros de análise dados"};
        return lines;
    }

    const RunState& run() const { return fixture.analysis.runState(); }

    TempDir dir;
    AnalysisFixture fixture;
    std::string path = dir.file("circuito.net");
};

TEST_F(ReaderTest, ReadsTheThreeVariableExample) {
    const Lines lines = read("Circuito RC\nV1 1 0 1 DEGRAU\nR1 1 2 1000\nC1 2 0 1e-6\n");
    EXPECT_EQ(lines, join(join(opening(), {"V1 1 0 1 DEGRAU", "R1 1 2 1000", "C1 2 0 1e-06 () 0",
                                           "Variáveis: ", "0: 0", "1: 1", "2: 2", "3: jV1",
                                           "O circuito tem 2 nós, 3 variáveis e 3 elementos"}),
                          waitLines()));
    EXPECT_TRUE(reachedTheWait());
    EXPECT_EQ(run().elementCount, 3);
    EXPECT_EQ(run().nodeCount, 2);
    EXPECT_EQ(run().variableCount, 3);
    const Element& v1 = run().ElementTable[1];
    EXPECT_STREQ(v1.name, "V1");
    EXPECT_EQ(v1.a, 1);
    EXPECT_EQ(v1.b, 0);
    EXPECT_EQ(v1.x, 3);
    EXPECT_EQ(v1.y, 'D');
    EXPECT_EQ(run().ElementTable[3].value, 1e-6);
    EXPECT_EQ(run().netlistFileName, path);
    EXPECT_EQ(run().baseName, dir.file("circuito"));
}

TEST_F(ReaderTest, EchoesEveryElementKind) {
    const Lines lines = read(
        "todos os tipos\n"
        "r1 a b 1k\n"
        "C1 a 0 1e-6 IC=0.5\n"
        "C2 a 0 1e-6 IC = 0.5\n"
        "C3 a 0 1e-6 0.5\n"
        "L1 b 0 1e-3 IC=2\n"
        "L2 c 0 4e-3\n"
        "K1 L1 L2 0.5\n"
        "I1 0 a 2.5 impulso\n"
        "V1 c 0 1 degrau\n"
        "G1 a 0 b 0 0.01\n"
        "e1 d 0 a b 10\n"
        "F1 d 0 a b 2\n"
        "H1 d 0 a b 5\n"
        "O1 d 0 a b\n");
    EXPECT_EQ(lines, join(join(opening(), {"R1 a b 1",
                                           "C1 a 0 1e-06 ( IC=) 0.5",
                                           "C2 a 0 1e-06 ( IC = ) 0.5",
                                           "C3 a 0 1e-06 ( ) 0.5",
                                           "L1 b 0 0.001 ( IC=) 2",
                                           "L2 c 0 0.004 () 0",
                                           "K1 L1 L2 0.5",
                                           "(L1 está na linha 5, L2 está na linha 6)",
                                           "I1 0 a 2.5 Impulso",
                                           "V1 c 0 1 Degrau",
                                           "G1 a 0 b 0 0.01",
                                           "E1 d 0 a b 10",
                                           "F1 d 0 a b 2",
                                           "H1 d 0 a b 5",
                                           "O1 d 0 a b",
                                           "Variáveis: ",
                                           "0: 0",
                                           "1: a",
                                           "2: b",
                                           "3: c",
                                           "4: d",
                                           "5: jL1",
                                           "6: jL2",
                                           "7: jV1",
                                           "8: jE1",
                                           "9: jF1",
                                           "10: jxH1",
                                           "11: jyH1",
                                           "12: jO1",
                                           "O circuito tem 4 nós, 12 variáveis e 14 elementos"}),
                          waitLines()));

    const auto& table = run().ElementTable;
    EXPECT_EQ(table[1].value, 1.0);  // "1k" reads as 1
    EXPECT_EQ(table[2].value2, 0.5);
    EXPECT_EQ(table[6].value2, 0.0);
    const Element& k1 = table[7];
    EXPECT_EQ(k1.a, 5);
    EXPECT_EQ(k1.b, 6);
    EXPECT_EQ(k1.x, 5);
    EXPECT_EQ(k1.y, 6);
    EXPECT_DOUBLE_EQ(k1.value2, 0.001);
    EXPECT_EQ(table[8].y, 'I');
    const Element& g1 = table[10];
    EXPECT_EQ((std::vector<int>{g1.a, g1.b, g1.c, g1.d}), (std::vector<int>{1, 0, 2, 0}));
    const Element& h1 = table[13];
    EXPECT_EQ(h1.x, 10);
    EXPECT_EQ(h1.y, 11);
}

TEST_F(ReaderTest, NumbersNodesInOrderOfFirstAppearanceAndOnlyZeroIsGround) {
    read("nós\nG1 w x y z 1\nR1 00 0 1\nR2 gnd GND 1\nR3 z w 1\n");
    EXPECT_EQ(run().variableCount, 7);
    EXPECT_STREQ(run().variableName(1), "w");
    EXPECT_STREQ(run().variableName(4), "z");
    EXPECT_STREQ(run().variableName(5), "00");
    EXPECT_STREQ(run().variableName(6), "gnd");
    EXPECT_STREQ(run().variableName(7), "GND");
    EXPECT_EQ(run().ElementTable[2].b, 0);
}

TEST_F(ReaderTest, SkipsTitleCommentsCommandsAndBlankLines) {
    const Lines lines = read("R9 1 0 5\n\n* comentário\n.tran 0 1\n   \nR1 1 0 10\n*\n");
    EXPECT_EQ(lines, join(join(opening(), {"R1 1 0 10", "Variáveis: ", "0: 0", "1: 1",
                                           "O circuito tem 1 nós, 1 variáveis e 1 elementos"}),
                          waitLines()));
}

TEST_F(ReaderTest, ListsATitleOnlyNetlistAndStillWaits) {
    const Lines lines = read("só o título");
    EXPECT_EQ(lines, join(join(opening(), {"Variáveis: ", "0: 0",
                                           "O circuito tem 0 nós, 0 variáveis e 0 elementos"}),
                          waitLines()));
    EXPECT_EQ(read(""), join(join(opening(), {"Variáveis: ", "0: 0",
                                              "O circuito tem 0 nós, 0 variáveis e 0 elementos"}),
                             waitLines()));
}

TEST_F(ReaderTest, ReadsCrLfLineEnds) {
    const Lines lines =
        read("título\r\nV1 1 0 1 DEGRAU\r\nR1 1 2 1000\r\nC1 2 0 1e-6\r\nO1 3 0 1 2\r\n");
    EXPECT_EQ(lines[2], "V1 1 0 1 DEGRAU");
    EXPECT_EQ(lines[3], "R1 1 2 1000");
    EXPECT_EQ(lines[4], "C1 2 0 1e-06 () 0");
    EXPECT_EQ(lines[5], "O1 3 0 1 2");
    EXPECT_TRUE(reachedTheWait());
}

TEST_F(ReaderTest, SplitsLongNamesAtTenCharacters) {
    const Lines lines = read("t\nR123456789012 1 2 3\n");
    EXPECT_EQ(lines[2], "R123456789 012 1 2");
    EXPECT_STREQ(run().variableName(1), "012");
}

TEST_F(ReaderTest, ScanfDecidesTheSyntax) {
    // A unit letter after a capacitance is the next line's first token.
    EXPECT_EQ(read("t\nC1 1 0 1u\nR1 1 0 5\n"),
              join(opening(), {"C1 1 0 1 () 0", "Elemento desconhecido: U"}));
    EXPECT_EQ(fixture.outcome, RunOutcome::Failed);
    // A source without its type takes the next line's first token as the type...
    EXPECT_EQ(read("t\nV1 1 0 1\nR1 1 0 5\n"), join(opening(), {"Fonte inválida R1"}));
    // ...and is an impulse when the file ends first.
    EXPECT_EQ(read("t\nV1 1 0 1")[2], "V1 1 0 1 Impulso");
    EXPECT_EQ(run().ElementTable[1].y, 'I');
    // Only the type's first character counts; I and V lines end right after it.
    EXPECT_EQ(read("t\nI1 1 0 1 dx R1 1 0 5\n")[2], "I1 1 0 1 Dx");
    EXPECT_EQ(run().elementCount, 2);
}

TEST_F(ReaderTest, KeepsShortLineFieldsFromTheLineBefore) {
    // A line cut short at the end of the file keeps the previous line's node text (and
    // its resistance the table's old value: 0 here, which would divide by zero later).
    fixture.host.cancelWait = true;
    const Lines lines = read("t\nR1 5 6 10\nR2 7");
    EXPECT_EQ(lines[3], "R2 7 6 0");
    EXPECT_EQ(run().ElementTable[2].b, run().ElementTable[1].b);
}

TEST_F(ReaderTest, ReportsEachReadingFailure) {
    EXPECT_EQ(read("t\nR1 1 0 1\nX1 1 0 1\n"),
              join(opening(), {"R1 1 0 1", "Elemento desconhecido: X1"}));
    EXPECT_EQ(read("t\nq 1\n"), join(opening(), {"Elemento desconhecido: Q"}));
    EXPECT_EQ(read("t\nI1 1 0 1 senoidal\n"), join(opening(), {"Fonte inválida Senoidal"}));
    EXPECT_EQ(fixture.outcome, RunOutcome::Failed);
}

TEST_F(ReaderTest, ReportsAMissingFileWithTheNameAsOpened) {
    const std::string missing = dir.file("nada");
    EXPECT_EQ(fixture.run(missing), (Lines{"", "Arquivo " + missing + ".net inexistente"}));
    EXPECT_EQ(fixture.outcome, RunOutcome::Failed);
    const std::string withDot = dir.file("nada.cir");
    EXPECT_EQ(fixture.run(withDot), (Lines{"", "Arquivo " + withDot + " inexistente"}));
}

TEST_F(ReaderTest, OpensDotNetForAnEmptyPath) {
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    EXPECT_EQ(fixture.run(""), (Lines{"", "Arquivo .net inexistente"}));
    dir.write(".net", "t\nR1 1 0 1\n");
    const Lines lines = fixture.run("");
    std::filesystem::current_path(previous);
    EXPECT_EQ(lines[1], "Lendo netlist .net:");
    EXPECT_EQ(fixture.analysis.runState().baseName, "");
}

TEST_F(ReaderTest, ResolvesCoupledInductorsByElementNumber) {
    const Lines lines = read("t\n* L's\nL1 1 0 1e-3\n.cmd\nL2 2 0 4e-3\nK1 L1 L2 0.5\n");
    EXPECT_EQ(lines[5], "(L1 está na linha 1, L2 está na linha 2)");
    EXPECT_DOUBLE_EQ(run().ElementTable[3].value2, 0.001);
    EXPECT_EQ(run().nodeCount, 2);  // a K line adds no node

    // The last element of a name wins.
    read("t\nL1 1 0 1e-3\nL1 2 0 2e-3\nK1 L1 L1 0.5\n");
    EXPECT_EQ(fixture.lines[5], "(L1 está na linha 2, L1 está na linha 2)");
}

TEST_F(ReaderTest, RefusesCouplingsThatDoNotNameEarlierInductors) {
    const std::string inductors = "t\nL1 1 0 1e-3\nL2 2 0 4e-3\n";
    for (const char* line :
         {"K1 l1 l2 0.5\n", "K1 L1 L3 0.5\n", "K1 L2 L1 0.5\nR1 1 0 1\nK2 L1 R1 0.5\n"}) {
        const Lines lines = read(inductors + line);
        EXPECT_EQ(lines.back(), "Indutor não encontrado.") << line;
        EXPECT_EQ(fixture.outcome, RunOutcome::Failed);
    }
    EXPECT_EQ(read("t\nK1 L1 L2 0.5\nL1 1 0 1e-3\nL2 2 0 4e-3\n").back(),
              "Indutor não encontrado.");
}

TEST_F(ReaderTest, ANegativeProductOfInductancesIsAnInvalidOperation) {
    path = dir.write("k.net", "t\nL1 1 0 -1e-3\nL2 2 0 4e-3\nK1 L1 L2 0.5\nR1 1 0 1\n");
    try {
        fixture.analysis.runAnalysis(path);
        FAIL() << "no floating-point fault";
    } catch (const FloatingPointFault& fault) {
        EXPECT_STREQ(fault.what(), "Operação inválida em ponto flutuante");
    }
    // The run was abandoned right after the coupling line, with no line of its own.
    EXPECT_EQ(fixture.lines.back(), "(L1 está na linha 1, L2 está na linha 2)");
    EXPECT_FALSE(fixture.analysis.running());
}

TEST_F(ReaderTest, AFlagRaisedBeforeACheckpointDoesNotFireThere) {
    fixture.host.cancelWait = true;
    std::feraiseexcept(FE_OVERFLOW | FE_DIVBYZERO | FE_INVALID);
    // "1e999" makes the C library raise the overflow flag while it converts the number.
    const Lines lines = read("t\nL1 1 0 1e999\nL2 2 0 4e-3\nK1 L1 L2 0.5\n");
    EXPECT_EQ(lines[2], "L1 1 0 inf () 0");
    EXPECT_EQ(lines.back(), "Análise cancelada.");
}

TEST_F(ReaderTest, AcceptsExactlyTwoHundredElements) {
    std::string text = "t\n";
    for (int i = 1; i <= MaxElements; ++i)
        text += test::numbered("R", i) + " 1 0 1\n";
    Lines lines = read(text);
    EXPECT_TRUE(reachedTheWait());
    EXPECT_EQ(run().elementCount, 200);

    for (const char* extra : {"* comentário\n", ".end\n", "R201 1 0 1\n"}) {
        lines = read(text + extra);
        EXPECT_EQ(lines.back(), "O programa só aceita até 200 elementos") << extra;
        EXPECT_EQ(fixture.outcome, RunOutcome::Failed);
    }
    // Comments before the limit do not count.
    lines = read("t\n* a\n* b\n" + text.substr(2));
    EXPECT_TRUE(reachedTheWait());
}

std::string resistorsToNewNodes(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i) {
        text += test::numbered("R", i) + test::numbered(" n", i) + " 0 1\n";
    }
    return text;
}

TEST_F(ReaderTest, AcceptsTwentyFiveNodesAndRefusesMore) {
    read("t\n" + resistorsToNewNodes(25));
    EXPECT_TRUE(reachedTheWait());
    EXPECT_EQ(run().variableCount, 25);

    const Lines lines = read("t\n" + resistorsToNewNodes(27) + "R99 n1 0 1\n");
    EXPECT_EQ(
        Lines(lines.end() - 6, lines.end()),
        (Lines{"R26 n26 0 1", "O programa só aceita até 25 nós", "R27 n27 0 1",
               "O programa só aceita até 25 nós", "R99 n1 0 1", "Número excessivo de nós (25)"}));
    EXPECT_EQ(fixture.outcome, RunOutcome::Failed);
}

TEST_F(ReaderTest, LimitsNodesPlusExtraCurrentsToTwentyFive) {
    const std::string tooMany = "As correntes extra excederam o número de variáveis permitido (25)";
    EXPECT_EQ(read("t\n" + resistorsToNewNodes(25) + "V1 n1 0 1 DEGRAU\n").back(), tooMany);
    EXPECT_EQ(read("t\n" + resistorsToNewNodes(24) + "H1 n1 0 n2 0 5\n").back(), tooMany);
    EXPECT_EQ(fixture.outcome, RunOutcome::Failed);

    read("t\n" + resistorsToNewNodes(23) + "H1 n1 0 n2 0 5\n");
    EXPECT_TRUE(reachedTheWait());
    EXPECT_EQ(run().variableCount, 25);
    EXPECT_STREQ(run().variableName(24), "jxH1");
    EXPECT_STREQ(run().variableName(25), "jyH1");

    read("t\n" + resistorsToNewNodes(24) + "E1 n1 0 n2 0 5\n");
    EXPECT_TRUE(reachedTheWait());
}

TEST_F(ReaderTest, WaitsForTheParametersThroughTheHost) {
    read("t\nR1 a b 1\nV1 a 0 1 D\n");
    EXPECT_EQ(fixture.host.calls,
              (std::vector<std::string>{"disableListResults", "clearVariableList", "addVariable a",
                                        "addVariable b", "addVariable jV1", "disableListResults",
                                        "enableVariablesMenu", "showParameterWindows",
                                        "processPendingEvents", "enableListResults"}));
    EXPECT_EQ(fixture.host.variables, (std::vector<std::string>{"a", "b", "jV1"}));
    EXPECT_TRUE(fixture.analysis.parametersGiven());
    EXPECT_EQ(fixture.analysis.dispersion(), 1e9);
}

TEST_F(ReaderTest, ACancelledWaitEndsTheRun) {
    fixture.host.cancelWait = true;
    const Lines lines = read("t\nR1 1 0 1\n");
    EXPECT_EQ(lines.back(), "Análise cancelada.");
    EXPECT_EQ(fixture.outcome, RunOutcome::Cancelled);
    EXPECT_FALSE(fixture.analysis.parametersGiven());
}

TEST_F(ReaderTest, EveryRunStartsAfreshWithGroundAsVariableZero) {
    read("t\nR1 a b 1\n");
    RunState& state = const_cast<RunState&>(run());
    state.VariableNames[0] = VariableName{'x'};
    const Lines lines = read("t\nR1 0 c 1\n");
    EXPECT_EQ(lines[0], "");
    EXPECT_STREQ(run().variableName(0), "0");
    EXPECT_EQ(run().ElementTable[1].a, 0);
    EXPECT_EQ(run().variableCount, 1);
}

struct PathCase {
    const char* path;
    const char* netlistFileName;
    const char* baseName;
};

class FileNameTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(FileNameTest, AppliesTheRulesToTheFileNameOnly) {
    RunState run;
    deriveFileNames(run, GetParam().path);
    EXPECT_EQ(run.netlistFileName, GetParam().netlistFileName);
    EXPECT_EQ(run.baseName, GetParam().baseName);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, FileNameTest,
    ::testing::Values(PathCase{"amp", "amp.net", "amp"}, PathCase{"amp.cir", "amp.cir", "amp"},
                      PathCase{"x.y.net", "x.y.net", "x"}, PathCase{"", ".net", ""},
                      PathCase{"/dados/filtro.net", "/dados/filtro.net", "/dados/filtro"},
                      PathCase{"/dados/versao.2/filtro.net", "/dados/versao.2/filtro.net",
                               "/dados/versao.2/filtro"},
                      PathCase{"/dados/versao.2/amp", "/dados/versao.2/amp.net",
                               "/dados/versao.2/amp"},
                      PathCase{"./rel/x", "./rel/x.net", "./rel/x"}));

TEST(FindOrAddNodeTest, MatchesExactNamesAndStopsAtTwentyFive) {
    RunState run;
    run.VariableNames[0] = VariableName{'0'};
    std::vector<std::string> lines;
    AnalysisLog log([&](std::string_view line) { lines.emplace_back(line); });
    EXPECT_EQ(findOrAddNode(run, log, "0"), 0);
    EXPECT_EQ(findOrAddNode(run, log, "in"), 1);
    EXPECT_EQ(findOrAddNode(run, log, "IN"), 2);
    EXPECT_EQ(findOrAddNode(run, log, "in"), 1);
    for (int i = 3; i <= MaxVariables; ++i) {
        EXPECT_EQ(findOrAddNode(run, log, (test::numbered("n", i)).c_str()), i);
    }
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(findOrAddNode(run, log, "novo"), MaxVariables);
    EXPECT_EQ(run.tooManyNodes, 1);
    EXPECT_EQ(run.variableCount, MaxVariables);
    EXPECT_EQ(findOrAddNode(run, log, "in"), 1);
    EXPECT_EQ(lines, std::vector<std::string>{"O programa só aceita até 25 nós"});
}

}  // namespace
}  // namespace corvane
