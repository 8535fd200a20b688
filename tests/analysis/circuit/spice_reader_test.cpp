// Covers the SPICE reader (spice_reader.cpp), its numbers (spice_value.cpp) and its
// parameter arithmetic (spice_expression.cpp): SPICE's scale factors and units, the
// expressions and their refusals, each syntax feature of a netlist with the circuit it
// gives, and each refusal with its exact message, file and line.
#include "spice_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "netlist_reader.h"
#include "spice_expression.h"
#include "spice_value.h"
#include "temp_dir.h"

namespace corvane {
namespace {

using test::TempDir;

// ---- Numbers ----

struct NumberCase {
    const char* text;
    double value;
};

TEST(SpiceValueTest, ReadsScaleFactorsAndUnitsAsSpiceDoes) {
    const NumberCase cases[] = {
        {"1kOhm", 1e3},   {"10uF", 10e-6},  {"2.2MEG", 2.2e6}, {"2.2meg", 2.2e6},
        {"1M", 1e-3},     {"1mF", 1e-3},    {"1F", 1e-15},     {"1Farad", 1e-15},
        {"3T", 3e12},     {"4G", 4e9},      {"7n", 7e-9},      {"5p", 5e-12},
        {"10mil", 10 * 25.4e-6},            {"5V", 5.0},       {"10ohm", 10.0},
        {".5", 0.5},      {"3.", 3.0},      {"-2.5p", -2.5e-12}, {"+4", 4.0},
        {"1e3k", 1e6},    {"1e-3", 1e-3},   {"1e", 1.0},       {"2.2E3", 2200.0},
    };
    for (const NumberCase& c : cases) {
        const std::optional<double> value = parseSpiceValue(c.text);
        ASSERT_TRUE(value.has_value()) << c.text;
        EXPECT_NEAR(*value, c.value, std::fabs(c.value) * 1e-15) << c.text;
    }
    // A factor is an exponent, not a product: the same double as the written exponent.
    EXPECT_EQ(*parseSpiceValue("4.7u"), 4.7e-6);
    EXPECT_EQ(*parseSpiceValue("2.2MEG"), 2.2e6);
}

TEST(SpiceValueTest, RefusesWhatIsNotOneNumber) {
    for (const char* text : {"", "k", "abc", "1k2", "10%", "1.2.3", "inf", "nan", "1e999",
                             "0x10", "--1", "1 k", "{1}", "."}) {
        EXPECT_FALSE(parseSpiceValue(text).has_value()) << text;
    }
}

// ---- Expressions ----

std::optional<double> table(const std::string& name, std::string&) {
    if (name == "r0") return 1e3;
    if (name == "f0") return 1e3;
    if (name == "c") return 1e-6;
    return std::nullopt;
}

struct ExpressionCase {
    const char* text;
    double value;
};

TEST(SpiceExpressionTest, EvaluatesArithmeticWithPrecedence) {
    const ExpressionCase cases[] = {
        {"2*R0", 2e3},
        {"1/(2*pi*f0*C)", 1.0 / (2 * std::numbers::pi * 1e3 * 1e-6)},
        {"2^3^2", 512.0},
        {"2**3", 8.0},
        {"-2^2", -4.0},
        {"(1+2)*3-4/2", 7.0},
        {"- -3", 3.0},
        {"1k + 2k", 3e3},
        {"min(3, 4) + max(1, 2)", 5.0},
        {"pow(2, 10)", 1024.0},
        {"sqrt(16) + abs(-1) + log10(1k)", 8.0},
        {"exp(log(5))", 5.0},
        {"ln(1)", 0.0},
        {"atan(1)*4", std::numbers::pi},
        {"sin(0) + cos(0) + tan(0)", 1.0},
        {"R0 * 2.2MEG / 1MEG", 2.2e3},
    };
    for (const ExpressionCase& c : cases) {
        const ExpressionValue result = evaluateExpression(c.text, table);
        ASSERT_TRUE(result.value.has_value()) << c.text << ": " << result.error;
        EXPECT_NEAR(*result.value, c.value, std::fabs(c.value) * 1e-14 + 1e-300) << c.text;
    }
}

TEST(SpiceExpressionTest, RefusesWithTheReason) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"1/0", "divisão por zero em 1/0"},
        {"R0/(f0-1k)", "divisão por zero em R0/(f0-1k)"},
        {"log(-1)", "resultado não finito em log(-1)"},
        {"10^400", "resultado não finito em 10^400"},
        {"foo(1)", "função desconhecida: foo"},
        {"x+1", "parâmetro desconhecido: x"},
        {"(1+2", "parêntese não fechado em (1+2"},
        {"1+", "expressão inválida: 1+"},
        {"1 2", "expressão inválida: 1 2"},
        {"", "expressão inválida: "},
        {"min(1)", "a função min pede 2 argumentos"},
        {"sqrt(1, 2)", "a função sqrt pede 1 argumento"},
        {std::string(150, '(') + "1" + std::string(150, ')'),
         "expressão aninhada além de 100 níveis"},
        {std::string(150, '-') + "1", "expressão aninhada além de 100 níveis"},
    };
    for (const auto& [text, reason] : cases) {
        const ExpressionValue result = evaluateExpression(text, table);
        EXPECT_FALSE(result.value.has_value()) << text;
        EXPECT_EQ(result.error, reason) << text;
    }
}

// ---- The reader ----

class SpiceReaderTest : public ::testing::Test {
protected:
    // Reads `text` as the netlist `name` in the test's folder; the log's lines are kept.
    bool read(const std::string& text, const std::string& name = "c.cir") {
        path = dir.write(name, text);
        lines.clear();
        run = RunState{};
        run.VariableNames[0] = VariableName{'0'};
        AnalysisLog log([this](std::string_view line) { lines.emplace_back(line); });
        return readNetlist(run, log, path);
    }

    // The message that ended a reading, with the folder taken out of the file names.
    std::string refusal() const {
        std::string last = lines.empty() ? "" : lines.back();
        const std::string folder = dir.path().string() + "/";
        for (std::size_t at = last.find(folder); at != std::string::npos; at = last.find(folder))
            last.erase(at, folder.size());
        return last;
    }

    const Element* element(const std::string& name) const {
        for (int i = 1; i <= run.elementCount; ++i) {
            if (run.ElementTable[static_cast<std::size_t>(i)].name == name)
                return &run.ElementTable[static_cast<std::size_t>(i)];
        }
        return nullptr;
    }

    std::vector<std::string> variables() const {
        return {run.VariableNames.begin() + 1, run.VariableNames.begin() + run.variableCount + 1};
    }

    std::string node(int k) const { return run.variableName(k); }

    TempDir dir;
    std::string path;
    RunState run;
    std::vector<std::string> lines;
};

TEST_F(SpiceReaderTest, TakesCommentsContinuationsAnyCaseAndGroundNames) {
    ASSERT_TRUE(read("Title line: R9 is not an element\n"
                     "* a comment\n"
                     "v1 In gnd ac 1 ; an end-of-line comment\n"
                     "r1 in Out\n"
                     "+ 2kOhm $ the value came on the continuation\n"
                     "\n"
                     "C1 OUT GND 1uF\n"
                     "c2 out 0\n"
                     "* a comment between a line and its continuation\n"
                     "+ 10n\n"
                     ".END\n"
                     "R9 this is after the end\n"))
        << refusal();
    // Node names are matched without regard to case and keep their first spelling.
    EXPECT_EQ(variables(), (std::vector<std::string>{"In", "Out", "jV1"}));
    ASSERT_NE(element("R1"), nullptr);
    EXPECT_EQ(element("R1")->value, 2e3);
    EXPECT_EQ(element("R1")->kind(), 'R');
    EXPECT_EQ(element("C1")->positiveNode(), 2);
    EXPECT_EQ(element("C1")->negativeNode(), 0);
    EXPECT_EQ(element("C2")->value, 10e-9);
    EXPECT_EQ(element("R9"), nullptr);
    EXPECT_EQ(lines[0], "Lendo netlist SPICE " + path + ":");
}

TEST_F(SpiceReaderTest, FlattensAHierarchyTwoLevelsDeepWithParameters) {
    ASSERT_TRUE(read("Two levels\n"
                     ".param Rtop=1k\n"
                     ".subckt stage a b PARAMS: R=1k C=1n\n"
                     "R1 a b {R}\n"
                     "C1 b 0 {C}\n"
                     ".ends stage\n"
                     ".subckt section in out PARAMS: R0=1k\n"
                     ".param twice={2*R0}\n"
                     "X1 in mid stage R={R0} C=10n\n"
                     "X2 mid out stage R={twice}\n"
                     ".ends\n"
                     "V1 in 0 AC 1\n"
                     "XA in m section R0={Rtop}\n"
                     "XB m out section R0=4.7k\n"))
        << refusal();
    const std::vector<std::pair<std::string, double>> values{
        {"XA.X1.R1", 1e3},   {"XA.X1.C1", 10e-9}, {"XA.X2.R1", 2e3}, {"XA.X2.C1", 1e-9},
        {"XB.X1.R1", 4.7e3}, {"XB.X1.C1", 10e-9}, {"XB.X2.R1", 9.4e3}, {"XB.X2.C1", 1e-9}};
    for (const auto& [name, value] : values) {
        ASSERT_NE(element(name), nullptr) << name;
        EXPECT_NEAR(element(name)->value, value, value * 1e-15) << name;
        EXPECT_EQ(element(name)->kind(), name[name.rfind('.') + 1]) << name;
    }
    EXPECT_EQ(variables(), (std::vector<std::string>{"in", "XA.mid", "m", "XB.mid", "out", "jV1"}));
}

TEST_F(SpiceReaderTest, ReadsSourcesAsImpulsesStepsOrNothing) {
    ASSERT_TRUE(read("Sources\n"
                     "V1 a 0 DC 5 AC 2 0\n"
                     "V2 b 0 PULSE(0 3 0 0)\n"
                     "V3 c 0 12\n"
                     "I1 0 d AC 1m SIN(0 1 1k)\n"
                     "R1 a b 1\nR2 b c 1\nR3 c d 1\nR4 d 0 1\n"))
        << refusal();
    EXPECT_EQ(element("V1")->value, 2.0);
    EXPECT_EQ(element("V1")->sourceType(), SourceType::Impulse);
    EXPECT_EQ(element("V2")->value, 3.0);
    EXPECT_EQ(element("V2")->sourceType(), SourceType::Step);
    // A constant is no part of the response: the source is 0 V.
    EXPECT_EQ(element("V3")->value, 0.0);
    EXPECT_EQ(element("I1")->value, 1e-3);
    const std::string note = "Linha 5 de " + path +
                             ": forma de onda SIN de I1 ignorada: a fonte entra pelo seu valor AC.";
    EXPECT_NE(std::find(lines.begin(), lines.end(), note), lines.end());
}

TEST_F(SpiceReaderTest, CouplesInductorsWrittenAfterTheCouplingAndInsideInstances) {
    ASSERT_TRUE(read("K\n"
                     ".subckt xfmr p s\n"
                     "K1 l1 L2 0.5\n"
                     "L1 p 0 1m\n"
                     "L2 s 0 4m\n"
                     ".ends\n"
                     "V1 a 0 AC 1\n"
                     "X1 a b xfmr\n"
                     "R1 b 0 50\n"))
        << refusal();
    const Element* k = element("X1.K1");
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(k->kind(), 'K');
    EXPECT_EQ(run.ElementTable[static_cast<std::size_t>(k->firstInductor())].name, "X1.L1");
    EXPECT_EQ(run.ElementTable[static_cast<std::size_t>(k->secondInductor())].name, "X1.L2");
    EXPECT_NEAR(k->mutualInductance(), 0.5 * std::sqrt(1e-3 * 4e-3), 1e-18);
}

TEST_F(SpiceReaderTest, CurrentControlledSourcesTakeTheirSensingSourcesPlace) {
    ASSERT_TRUE(read("F and H\n"
                     "V1 in 0 AC 1\n"
                     "R1 in a 1k\n"
                     "Vsense a 0 0\n"
                     "F1 0 b vsense 3\n"
                     "R2 b 0 1k\n"
                     "H1 c 0 Vs2 50\n"
                     "Vs2 b d DC 0\n"
                     "R3 d 0 1\n"
                     "R4 c 0 1\n"))
        << refusal();
    EXPECT_EQ(element("Vsense"), nullptr);
    EXPECT_EQ(element("Vs2"), nullptr);
    const Element& f = *element("F1");
    EXPECT_EQ(node(f.controllingPositiveNode()), "a");
    EXPECT_EQ(f.controllingNegativeNode(), 0);
    const Element& h = *element("H1");
    EXPECT_EQ(node(h.controllingPositiveNode()), "b");
    EXPECT_EQ(node(h.controllingNegativeNode()), "d");
}

TEST_F(SpiceReaderTest, PutsTheOpAmpWhereTheDirectiveNamesASubcircuit) {
    ASSERT_TRUE(read("Follower\n"
                     "*corvane amp-op LM741 3 2 6\n"
                     "V1 in 0 AC 1\n"
                     "R1 in p 1k\n"
                     "XU1 nc out p vcc vee out LM741\n"
                     "Vcc vcc 0 15\nVee vee 0 -15\n"
                     "R2 out 0 10k\n"))
        << refusal();
    const Element& u = *element("XU1");
    EXPECT_EQ(u.kind(), 'O');
    EXPECT_EQ(node(u.positiveNode()), "out");
    EXPECT_EQ(u.negativeNode(), 0);
    EXPECT_EQ(node(u.controllingPositiveNode()), "p");
    EXPECT_EQ(node(u.controllingNegativeNode()), "out");
}

// The directive's model is the O line's: A0, and the pole at GBW/A0 as its time constant.
TEST_F(SpiceReaderTest, TheDirectiveGivesTheOpAmpAFiniteGain) {
    ASSERT_TRUE(read("Model\n"
                     "*corvane amp-op TL071 1 2 3 A0=100k GBW=1MEG\n"
                     "V1 in 0 AC 1\n"
                     "XU1 in m out TL071\n"
                     "R2 out m 9k\nR1 m 0 1k\n"))
        << refusal();
    const Element& u = *element("XU1");
    EXPECT_TRUE(u.hasFiniteGain());
    EXPECT_EQ(u.value, 1e5);
    EXPECT_NEAR(u.value2, 1e5 / (2 * std::numbers::pi * 1e6), 1e-22);
}

TEST_F(SpiceReaderTest, IncludesFilesBesideTheNetlist) {
    // An included file names the files it includes from its own folder.
    dir.write("lib/parts.lib", "* parts\n.include values.inc\n.subckt load a\nR1 a 0 {Rl}\n.ends\n");
    dir.write("lib/values.inc", ".param Rl=2k\n");
    ASSERT_TRUE(read("Include\n.include lib/parts.lib\nV1 a 0 AC 1\nX1 a load\n")) << refusal();
    EXPECT_EQ(element("X1.R1")->value, 2e3);
}

TEST_F(SpiceReaderTest, TakesInitialConditionsOfCapacitorsAndInductors) {
    ASSERT_TRUE(read("IC\nV1 a 0 AC 1\nC1 a 0 1u IC=0.5\nL1 a b 1m ic = {2m}\nR1 b 0 1\n"))
        << refusal();
    EXPECT_EQ(element("C1")->initialCondition(), 0.5);
    EXPECT_EQ(element("L1")->initialCondition(), 2e-3);
    EXPECT_EQ(element("R1")->initialCondition(), 0.0);
}

TEST_F(SpiceReaderTest, RefusesToIncludeOneOfItsOwnResultFiles) {
    dir.write("c.n1", "R2 a 0 1\n");
    EXPECT_FALSE(read("t\n.include c.n1\nV1 a 0 AC 1\n"));
    EXPECT_EQ(refusal(), "O arquivo incluído c.n1 seria substituído pelo arquivo de resultados c.n1");
}

TEST_F(SpiceReaderTest, NotesEveryAnalysisAndControlLine) {
    ASSERT_TRUE(read("Notes\nV1 a 0 AC 1\nR1 a 0 1\n.ac dec 10 1 1k\n.tran 1u 1m\n"
                     ".control\nrun\nplot v(a)\n.endc\n.option reltol=1e-6\n"
                     ".model dmod D\n.op\n.noise v(a) V1 dec 10 1 1k\n.lib missing.lib\n"))
        << refusal();
    const std::string file = path;
    const std::vector<std::string> notes{
        "Linha 4 de " + file + ": .ac ignorado.",
        "Linha 5 de " + file + ": .tran ignorado.",
        "Linha 6 de " + file + ": bloco .control ... .endc ignorado.",
        "Linha 10 de " + file + ": .option ignorado.",
        "Linha 11 de " + file + ": .model ignorado.",
        "Linha 12 de " + file + ": .op ignorado.",
        "Linha 13 de " + file + ": .noise ignorado.",
        "Linha 14 de " + file + ": biblioteca " + dir.file("missing.lib") +
            " não encontrada; ignorada.",
    };
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.begin() + 9), notes);
}

TEST_F(SpiceReaderTest, TellsTheFormatsApart) {
    EXPECT_TRUE(isSpiceNetlist(dir.write("a.CIR", "t\n")));
    EXPECT_TRUE(isSpiceNetlist(dir.write("a.sp", "t\n")));
    EXPECT_TRUE(isSpiceNetlist(dir.write("a.spice", "t\n")));
    EXPECT_TRUE(isSpiceNetlist(dir.write("a.net", "t\nR1 1 0 1\n  .End  \n")));
    // The title may say anything.
    EXPECT_FALSE(isSpiceNetlist(dir.write("b.net", ".end\nR1 1 0 1\n")));
    EXPECT_FALSE(isSpiceNetlist(dir.write("c.net", "t\nR1 1 0 1\n.ends\n")));
    ASSERT_TRUE(read("t\nV1 1 0 AC 1\nR1 1 0 1k\n.end\n", "spice.net")) << refusal();
    EXPECT_EQ(lines[0], "Lendo netlist SPICE " + path + ":");
}

struct Refusal {
    const char* name;
    std::string netlist;
    std::string message;
};

TEST_F(SpiceReaderTest, RefusesByLineNamingFileAndElement) {
    const std::string longName(10000, 'n');
    const std::vector<Refusal> cases{
        {"diode", "t\nV1 a 0 AC 1\nD1 a 0 dmod\n",
         "Linha 3 de c.cir: elemento não linear não suportado: D1"},
        {"transistor", "t\nQ1 c b e qnpn\n", "Linha 2 de c.cir: elemento não linear não suportado: Q1"},
        {"mosfet", "t\nM1 d g s b nmos\n", "Linha 2 de c.cir: elemento não linear não suportado: M1"},
        {"behavioural", "t\nB1 a 0 V={V(b)*2}\n",
         "Linha 2 de c.cir: fonte comportamental não suportada: B1"},
        {"line", "t\nT1 a 0 b 0 Z0=50 TD=1n\n",
         "Linha 2 de c.cir: elemento distribuído não suportado: T1"},
        {"switch", "t\nS1 a 0 c 0 smod\n", "Linha 2 de c.cir: elemento não linear não suportado: S1"},
        {"nonlinear subcircuit",
         "t\n.subckt amp i o\nR1 i o 1k\nQ1 o i 0 qnpn\n.ends\nV1 a 0 AC 1\nX1 a b amp\n",
         "Linha 4 de c.cir (em X1): elemento não linear não suportado: Q1"},
        {"poly", "t\nE1 a 0 POLY(1) b 0 0 1\n",
         "Linha 2 de c.cir: fonte controlada não linear não suportada: E1"},
        {"open subcircuit", "t\n.subckt amp i o\nR1 i o 1k\n",
         "Linha 2 de c.cir: .subckt amp sem .ends"},
        {"ends alone", "t\nR1 a 0 1\n.ends\n", "Linha 3 de c.cir: .ends sem .subckt"},
        {"recursion", "t\n.subckt a p\nX1 p b\n.ends\n.subckt b p\nX1 p a\n.ends\nX1 n a\n",
         "Linha 6 de c.cir (em X1.X1): subcircuito a usado dentro de si mesmo"},
        {"parameter loop", "t\n.param a={b+1} b={2*a}\nR1 x 0 {a}\n",
         "Linha 3 de c.cir: laço de parâmetros: a depende de si mesmo"},
        {"unknown parameter", "t\nR1 x 0 {Rload}\n", "Linha 2 de c.cir: parâmetro desconhecido: rload"},
        {"division by zero", "t\n.param r=0\nR1 x 0 {1/r}\n",
         "Linha 3 de c.cir: divisão por zero em 1/r"},
        {"bad value", "t\nR1 a 0 1k2\n", "Linha 2 de c.cir: valor inválido: 1k2"},
        {"sine without ac", "t\nV1 a 0 SIN(0 1 1k)\n",
         "Linha 2 de c.cir: a fonte V1 tem a forma de onda SIN, que não é um degrau: só AC "
         "(impulso) e PULSE(0 V 0 0) (degrau) entram na análise"},
        {"pulse with a width", "t\nV1 a 0 PULSE(0 1 0 0 0 1m 2m)\n",
         "Linha 2 de c.cir: a fonte V1 tem a forma de onda PULSE, que não é um degrau: só AC "
         "(impulso) e PULSE(0 V 0 0) (degrau) entram na análise"},
        {"ac phase", "t\nV1 a 0 AC 1 90\n",
         "Linha 2 de c.cir: fase AC diferente de 0 em V1 não é analisada"},
        {"sensing source with a value", "t\nV1 a 0 AC 1\nF1 b 0 V1 2\nR1 b 0 1\n",
         "Linha 3 de c.cir: a fonte de controle V1 de F1 não é de 0 V: ponha uma fonte de 0 V em "
         "série para medir a corrente"},
        {"missing sensing source", "t\nH1 b 0 Vx 2\n",
         "Linha 2 de c.cir: fonte de controle Vx de H1 não encontrada"},
        {"missing inductor", "t\nL1 a 0 1m\nK1 L1 L9 0.5\n",
         "Linha 3 de c.cir: indutor L9 de K1 não encontrado"},
        {"undefined subcircuit", "t\nX1 a b opamp\n",
         "Linha 2 de c.cir: subcircuito não definido: opamp"},
        {"pin count", "t\n.subckt s a b\nR1 a b 1\n.ends\nX1 n s\n",
         "Linha 5 de c.cir: X1 liga 1 nós, e o subcircuito s tem 2 pinos"},
        {"unknown command", "t\n.connect a b\n", "Linha 2 de c.cir: comando desconhecido: .connect"},
        {"repeated element", "t\nR1 a 0 1\nr1 b 0 2\n",
         "Linha 3 de c.cir: elemento R1 repetido (já definido na linha 2 de c.cir)"},
        {"long name", "t\nR1 a " + longName + " 1\n",
         "Linha 2 de c.cir: nome com mais de 255 caracteres: " + longName.substr(0, 60) + "..."},
        {"long line", "t\n* " + std::string(1 << 20, 'x') + "\n",
         "Linha 2 de c.cir: linha com mais de 65536 bytes"},
        {"open brace", "t\nR1 a 0 {1+\n", "Linha 2 de c.cir: chave '{' não fechada"},
        {"continuation first", "t\n+ 1k\n",
         "Linha 2 de c.cir: linha de continuação '+' sem linha anterior"},
        {"extra field", "t\nR1 a 0 1k tc1=0.01\n",
         "Linha 2 de c.cir: parâmetro não suportado em R1: tc1"},
        {"op-amp options", "t\n*corvane amp-op LM741 1 2 3 A0\n",
         "Linha 2 de c.cir: *corvane amp-op pede o subcircuito e três posições de nó (entrada "
         "não inversora, entrada inversora, saída), e A0= e GBW= opcionais"},
        {"op-amp gain", "t\n*corvane amp-op LM741 1 2 3 A0=-1\n",
         "Linha 2 de c.cir: *corvane amp-op: valor de A0 ausente ou inválido (um número "
         "positivo)"},
        {"op-amp bandwidth alone", "t\n*corvane amp-op LM741 1 2 3 gbw=1MEG\n",
         "Linha 2 de c.cir: *corvane amp-op: GBW pede o ganho A0"},
        {"op-amp unknown key", "t\n*corvane amp-op LM741 1 2 3 A0=1e5 A0=2\n",
         "Linha 2 de c.cir: *corvane amp-op: parâmetro desconhecido ou repetido A0=2"},
        {"op-amp pins", "t\n*corvane amp-op LM741 1 2 5\nX1 a b c LM741\n",
         "Linha 3 de c.cir: X1 liga 3 nós, e o amp-op da linha 2 de c.cir pede 5"},
        {"missing file", "t\n.include nothing.inc\n",
         "Linha 2 de c.cir: não foi possível ler nothing.inc: No such file or directory"},
        {"outside the folder", "t\n.include ../../etc/passwd\n",
         "Linha 2 de c.cir: arquivo incluído fora da pasta do netlist: ../../etc/passwd"},
        {"include loop", "t\n.include c.cir\n", "Linha 2 de c.cir: inclusão circular de c.cir"},
    };
    for (const Refusal& c : cases) {
        EXPECT_FALSE(read(c.netlist)) << c.name;
        EXPECT_EQ(refusal(), c.message) << c.name;
    }
}

TEST_F(SpiceReaderTest, BoundsTheDepthOfSubcircuitsAndIncludes) {
    std::string deep = "t\n";
    for (int level = 0; level < 25; ++level) {
        deep += ".subckt s" + std::to_string(level) + " a\nX1 a s" + std::to_string(level + 1) +
                "\n.ends\n";
    }
    deep += ".subckt s25 a\nR1 a 0 1\n.ends\nX1 n s0\n";
    EXPECT_FALSE(read(deep));
    EXPECT_EQ(refusal().substr(refusal().find(": ") + 2), "subcircuitos aninhados além de 20 níveis");

    // Built by appending: GCC 12's -Wrestrict misreads "literal" + std::string in Release.
    for (int level = 0; level < 12; ++level) {
        std::string file = "i";
        file += std::to_string(level);
        file += ".inc";
        std::string line = ".include i";
        line += std::to_string(level + 1);
        line += ".inc\n";
        dir.write(file, line);
    }
    dir.write("i12.inc", "R1 a 0 1\n");
    EXPECT_FALSE(read("t\n.include i0.inc\n"));
    EXPECT_EQ(refusal(), "Linha 1 de i9.inc: inclusões aninhadas além de 10 níveis");
}

TEST_F(SpiceReaderTest, CountsTheNestingOfParametersWithinParameters) {
    // Each parameter nests a few levels (its parentheses and its operands): 40 of them pass
    // 100, though none alone comes near it.
    std::string text = "t\n.param a0=1\n";
    for (int i = 1; i <= 40; ++i)
        text += ".param a" + std::to_string(i) + "={((a" + std::to_string(i - 1) + "))}\n";
    EXPECT_FALSE(read(text + "R1 x 0 {a40}\n"));
    EXPECT_EQ(refusal(), "Linha 43 de c.cir: expressão aninhada além de 100 níveis");
    // Ten of them are within the bound, and the value is the innermost one's.
    ASSERT_TRUE(read(text + "R1 x 0 {a10}\n")) << refusal();
    EXPECT_EQ(element("R1")->value, 1.0);
}

TEST_F(SpiceReaderTest, ReadsAFileWithoutTheExtensionAsTheNetlistFormat) {
    // The netlist format's own reading is kept for a .net without ".end".
    ASSERT_TRUE(read("t\nV1 1 0 1 DEGRAU\nR1 1 0 1k\n", "own.net")) << refusal();
    EXPECT_EQ(lines[0], "Lendo netlist " + path + ":");
    EXPECT_EQ(element("V1")->sourceType(), SourceType::Step);
}

}  // namespace
}  // namespace corvane
