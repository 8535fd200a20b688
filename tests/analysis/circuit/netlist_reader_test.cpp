// Covers the netlist reader and the frame of a run up to the parameter wait: file names,
// the echo of every element kind, the scanf-decided syntax, node and variable numbering,
// every limit and failure message, and the calls the wait makes on the windows.
#include "netlist_reader.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <optional>
#include <cfenv>
#include <filesystem>
#include <string>
#include <vector>

#include "circuit_builder.h"
#include "floating_point.h"
#include "netlist_value.h"
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
    EXPECT_EQ(v1.name, "V1");
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
    EXPECT_EQ(lines, join(join(opening(), {"R1 a b 1000",
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
    EXPECT_EQ(table[1].value, 1000.0);
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

    // The same record read by what each field means for the kind.
    EXPECT_EQ(table[2].initialCondition(), 0.5);
    EXPECT_EQ(table[5].initialCondition(), 2.0);
    EXPECT_EQ(k1.firstInductor(), 5);
    EXPECT_EQ(k1.secondInductor(), 6);
    EXPECT_EQ(k1.firstInductorCurrent(), table[5].branchCurrent());
    EXPECT_EQ(k1.secondInductorCurrent(), table[6].branchCurrent());
    EXPECT_EQ(k1.couplingCoefficient(), 0.5);
    EXPECT_DOUBLE_EQ(k1.mutualInductance(), 0.5 * std::sqrt(1e-3 * 4e-3));
    EXPECT_EQ(table[8].sourceType(), SourceType::Impulse);
    EXPECT_EQ(table[9].sourceType(), SourceType::Step);
    EXPECT_EQ(h1.branchCurrent(), 10);
    EXPECT_EQ(h1.controllingCurrent(), 11);
    EXPECT_STREQ(run().variableName(h1.controllingCurrent()), "jyH1");
    EXPECT_EQ((std::vector<int>{g1.positiveNode(), g1.negativeNode(), g1.controllingPositiveNode(),
                                g1.controllingNegativeNode()}),
              (std::vector<int>{1, 0, 2, 0}));
    for (int i = 1; i <= run().elementCount; ++i)
        EXPECT_EQ(table[i].kind(), table[i].name[0]);
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

TEST_F(ReaderTest, TakesNamesOfTenCharactersAndRefusesLonger) {
    EXPECT_EQ(read("t\nR123456789 1234567890 0 3\n")[2], "R123456789 1234567890 0 3");
    EXPECT_STREQ(run().variableName(1), "1234567890");
    EXPECT_EQ(read("t\nR123456789012 1 2 3\n"),
              join(opening(), {"Linha 2: nome com mais de 10 caracteres: R123456789012"}));
    EXPECT_EQ(fixture.outcome, RunOutcome::Failed);
}

TEST_F(ReaderTest, ReadsEngineeringSuffixesAndEchoesTheValueTaken) {
    EXPECT_EQ(read("t\nC1 1 0 1u\nR1 1 0 1k\nL1 1 0 2.2MEG\n"),
              join(join(opening(), {"C1 1 0 1e-06 () 0", "R1 1 0 1000", "L1 1 0 2.2e+06 () 0"}),
                   {"Variáveis: ", "0: 0", "1: 1", "2: jL1",
                    "O circuito tem 1 nós, 2 variáveis e 3 elementos", "Linha de comando não encontrada",
                    "Parâmetros de análise dados"}));
    EXPECT_EQ(run().ElementTable[1].value, 1e-6);
    EXPECT_EQ(run().ElementTable[2].value, 1000.0);
}

TEST_F(ReaderTest, SourceTypes) {
    // A source without its type takes the next line's first token as the type...
    EXPECT_EQ(read("t\nV1 1 0 1\nR1 1 0 5\n"), join(opening(), {"Fonte inválida R1"}));
    // ...and is an impulse when the file ends first.
    EXPECT_EQ(read("t\nV1 1 0 1")[2], "V1 1 0 1 Impulso");
    EXPECT_EQ(run().ElementTable[1].y, 'I');
    // Only the type's first character counts; I and V lines end right after it.
    EXPECT_EQ(read("t\nI1 1 0 1 dx R1 1 0 5\n")[2], "I1 1 0 1 Dx");
    EXPECT_EQ(run().elementCount, 2);
}

TEST_F(ReaderTest, ShortLinesTakeFieldsFromTheNextLineButNeverFromAnEarlierOne) {
    // Fields a line lacks come from the next line, as formatted input takes them...
    fixture.host.cancelWait = true;
    EXPECT_EQ(read("t\nR1 5 6\n10\n")[2], "R1 5 6 10");
    // ...but a field the file does not hold is never left over from an earlier line.
    EXPECT_EQ(read("t\nR1 5 6 10\nR2 7"), join(opening(), {"R1 5 6 10", "Linha 3: campo ausente: R2 7"}));
    EXPECT_EQ(read("t\nR1 5 6 10\nR2 7 8"),
              join(opening(), {"R1 5 6 10", "Linha 3: valor ausente ou inválido: R2 7 8"}));
    EXPECT_EQ(fixture.outcome, RunOutcome::Failed);
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

    // A name belongs to one element only, and an inductor is not coupled with itself.
    EXPECT_EQ(read("t\nL1 1 0 1e-3\nl1 2 0 2e-3\n").back(),
              "Linha 3: elemento L1 repetido (já definido na linha 2)");
    EXPECT_EQ(read("t\nL1 1 0 1e-3\nK1 L1 L1 0.5\n").back(),
              "Linha 3: indutor acoplado a si mesmo: L1");
    EXPECT_EQ(fixture.outcome, RunOutcome::Failed);
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

    // Comment and command lines after them do not count; a 201st element does.
    for (const char* extra : {"* fim\n", ".end\n", "* a\n.end\n* b\n"}) {
        read(text + extra);
        EXPECT_TRUE(reachedTheWait()) << extra;
        EXPECT_EQ(run().elementCount, 200) << extra;
    }
    lines = read(text + "* fim\nR201 1 0 1\n");
    EXPECT_EQ(lines.back(), "O programa só aceita até 200 elementos");
    EXPECT_EQ(fixture.outcome, RunOutcome::Failed);
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

// Every netlist below is refused at the line that holds the fault, with that line as read.
TEST_F(ReaderTest, RefusesEveryMalformedLineWithItsNumber) {
    struct Case {
        const char* name;
        std::string netlist;
        std::string message;
    };
    const std::vector<Case> cases{
        {"value missing", "t\nR1 1 0\n", "Linha 2: valor ausente ou inválido: R1 1 0"},
        {"value that is a dash", "t\nR2 2 0 -\n", "Linha 2: valor ausente ou inválido: R2 2 0 -"},
        {"text glued to a number", "t\n* c\nR1 1 0 1x\n",
         "Linha 3: valor ausente ou inválido: R1 1 0 1x"},
        {"letters then digits", "t\nR1 1 0 12abc\n",
         "Linha 2: valor ausente ou inválido: R1 1 0 12abc"},
        {"digits after a suffix", "t\nR1 1 0 1k2\n",
         "Linha 2: valor ausente ou inválido: R1 1 0 1k2"},
        {"controlled source without gain", "t\nE1 1 0 2 0\n",
         "Linha 2: valor ausente ou inválido: E1 1 0 2 0"},
        {"coupling without coefficient", "t\nL1 1 0 1\nL2 2 0 1\nK1 L1 L2\n",
         "Linha 4: valor ausente ou inválido: K1 L1 L2"},
        {"source value a word", "t\nV1 1 0 um DEGRAU\n",
         "Linha 2: valor ausente ou inválido: V1 1 0 um DEGRAU"},
        {"initial condition a word", "t\nC1 1 0 1u IC=x\n",
         "Linha 2: valor ausente ou inválido: C1 1 0 1u IC=x"},
        {"nullor with three nodes", "t\nO1 1 0 2", "Linha 2: campo ausente: O1 1 0 2"},
        {"element name of 11", "t\nLcarga_longa saida 0 1e-3\n",
         "Linha 2: nome com mais de 10 caracteres: Lcarga_longa"},
        {"node name of 11", "t\nR1 saida_longa 0 1\n",
         "Linha 2: nome com mais de 10 caracteres: saida_longa"},
        {"inductor name of 11 in a coupling", "t\nL1 1 0 1\nK1 L1 L2345678901 1\n",
         "Linha 3: nome com mais de 10 caracteres: L2345678901"},
        {"a name of 5000 characters", "t\nR1 " + std::string(5000, 'n') + " 0 1\n",
         "Linha 2: nome com mais de 10 caracteres: " + std::string(60, 'n') + "..."},
        {"repeated source", "t\nV1 1 0 1 D\nR1 1 0 1\nv1 1 0 2 D\n",
         "Linha 4: elemento V1 repetido (já definido na linha 2)"},
        {"repeated after comments", "t\nR1 1 0 1\n* x\n\n.cmd\nR1 1 0 2\n",
         "Linha 6: elemento R1 repetido (já definido na linha 2)"},
        {"self coupling", "t\nL1 1 0 1e-3\nR1 1 0 1\nK1 L1 L1 0.5\n",
         "Linha 4: indutor acoplado a si mesmo: L1"},
        {"CR LF ends and a bad value", "t\r\nR1 1 0 1\r\nR2 1 0 a\r\n",
         "Linha 3: valor ausente ou inválido: R2 1 0 a"},
    };
    for (const Case& c : cases) {
        const Lines lines = read(c.netlist);
        EXPECT_EQ(lines.back(), c.message) << c.name;
        EXPECT_EQ(fixture.outcome, RunOutcome::Failed) << c.name;
    }
}

// A field the line lacks once kept the previous run's value: a second run in the windows
// silently analysed an element of the first netlist.
TEST_F(ReaderTest, NoValueComesFromAnEarlierRun) {
    fixture.host.cancelWait = true;
    read("t\nR2 2 0 1000\nC1 2 0 1 IC=5\n");
    EXPECT_EQ(run().ElementTable[1].value, 1000.0);
    EXPECT_EQ(read("t\nR2 2 0 -\n").back(), "Linha 2: valor ausente ou inválido: R2 2 0 -");
    // A capacitor without an initial condition has 0, whatever the run before had.
    read("t\nR2 2 0 1\nC1 2 0 1\n");
    EXPECT_EQ(run().ElementTable[2].value2, 0.0);
}

TEST_F(ReaderTest, ReportsFilesThatCannotBeReadWithTheSystemsReason) {
    std::filesystem::create_directories(dir.file("pasta.net"));
    EXPECT_EQ(fixture.run(dir.file("pasta.net")).back(),
              "Não foi possível ler o arquivo " + dir.file("pasta.net") + ": " +
                  std::strerror(EISDIR));
    // A device is no netlist: /dev/null would read as an empty one, /dev/zero never end.
    const std::string device = dir.file("nulo.net");
    std::filesystem::create_symlink("/dev/null", device);
    EXPECT_EQ(fixture.run(device).back(),
              "Não foi possível ler o arquivo " + device + ": não é um arquivo comum");
    EXPECT_EQ(fixture.outcome, RunOutcome::Failed);
}

TEST_F(ReaderTest, ReportsAFileWithoutReadPermission) {
    const std::string locked = dir.write("fechado.net", "t\nR1 1 0 1\n");
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all |
                                                 std::filesystem::perms::others_exec);
    const std::string expected =
        "Não foi possível ler o arquivo " + locked + ": " + std::strerror(EACCES);
    // Root reads any file: the reading runs in a child without its privileges.
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(99);
        AnalysisFixture own;
        own.run(locked);
        _exit(own.lines.back() == expected && own.outcome == RunOutcome::Failed ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

struct ValueCase {
    const char* text;
    double value;
};

class ValueTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ValueTest, ReadsTheNumberWithItsScale) {
    const std::optional<double> value = parseValue(GetParam().text);
    ASSERT_TRUE(value.has_value()) << GetParam().text;
    EXPECT_EQ(*value, GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Suffixes, ValueTest,
    ::testing::Values(ValueCase{"1000", 1000.0}, ValueCase{"1e-6", 1e-6}, ValueCase{"2.2E3", 2200.0},
                      ValueCase{"1k", 1e3}, ValueCase{"1K", 1e3}, ValueCase{"1kohm", 1e3},
                      ValueCase{"4.7u", 4.7e-6}, ValueCase{"10uF", 10e-6}, ValueCase{"3n", 3e-9},
                      ValueCase{"5p", 5e-12}, ValueCase{"2f", 2e-15}, ValueCase{"1T", 1e12},
                      ValueCase{"1g", 1e9}, ValueCase{"2.2MEG", 2.2e6}, ValueCase{"1megohm", 1e6},
                      ValueCase{"1M", 1e-3}, ValueCase{"1mohm", 1e-3}, ValueCase{"1ms", 1e-3},
                      ValueCase{"1mil", 25.4e-6}, ValueCase{"-2k", -2e3}, ValueCase{"+.5u", 0.5e-6},
                      ValueCase{"1e3k", 1e6}, ValueCase{"1e999", HUGE_VAL}));

TEST(ValueTest, RefusesTextThatIsNotAValue) {
    for (const char* text : {"", "-", "x", "1x", "12abc", "1k2", "1.5.5", "1u-", "k", "meg", "1 k",
                             "1e", "1,5"}) {
        EXPECT_FALSE(parseValue(text).has_value()) << text;
    }
    EXPECT_FALSE(parseValue(std::string_view("1\0k", 3)).has_value());
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
                      PathCase{"x.y.net", "x.y.net", "x.y"},
                      PathCase{"amp.v1.net", "amp.v1.net", "amp.v1"}, PathCase{"", ".net", ""},
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
