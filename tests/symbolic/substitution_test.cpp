// The symbolic functions with the numeric values put back must be the numeric engine's
// functions: on every circuit of the test data, fully symbolic and mixed.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "symbolic_support.h"

namespace corvane {
namespace {

using symbolic::splitSymbolList;
using symbolic::Symbol;
using symbolic::SymbolicAnalysis;
using symbolic::SymbolicListing;
using symbolic::SymbolicOptions;

std::vector<std::string> dataCircuits() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(CORVANE_TEST_DATA_DIR)) {
        if (entry.path().extension() == ".net") names.push_back(entry.path().stem().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string readNetlist(const std::string& name) {
    std::ifstream in(std::string(CORVANE_TEST_DATA_DIR) + "/" + name + ".net");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class SubstitutionTest : public ::testing::TestWithParam<std::string> {};

TEST_P(SubstitutionTest, FullySymbolicFunctionsGiveTheNumericOnes) {
    test::AnalysedCircuit circuit(readNetlist(GetParam()));
    ASSERT_TRUE(circuit.succeeded()) << circuit.fixture.lines.back();
    SymbolicAnalysis analysis(circuit.run(), SymbolicOptions{});
    ASSERT_TRUE(analysis.compute(circuit.allVariables())) << analysis.limitMessage();
    EXPECT_EQ(analysis.functions().size(), static_cast<std::size_t>(circuit.run().variableCount));
    EXPECT_EQ(analysis.verify(circuit.numeric()), "Verificação simbólica: ok");
}

TEST_P(SubstitutionTest, MixedFunctionsWithOnlyTheFirstElementSymbolicGiveTheNumericOnes) {
    test::AnalysedCircuit circuit(readNetlist(GetParam()));
    ASSERT_TRUE(circuit.succeeded());
    SymbolicAnalysis analysis(circuit.run(), SymbolicOptions{{circuit.run().ElementTable[1].name}});
    ASSERT_TRUE(analysis.compute(circuit.allVariables())) << analysis.limitMessage();
    EXPECT_LE(analysis.symbols().size(), 2u);
    EXPECT_EQ(analysis.verify(circuit.numeric()), "Verificação simbólica: ok");
}

INSTANTIATE_TEST_SUITE_P(TestData, SubstitutionTest, ::testing::ValuesIn(dataCircuits()));

TEST(SymbolicVerification, AWrongNumericFunctionIsReportedWithTheFunctionAndTheFrequency) {
    test::AnalysedCircuit circuit("RC\nV1 in 0 1 IMPULSO\nR1 in out 2\nC1 out 0 0.5\n");
    SymbolicAnalysis analysis(circuit.run(), SymbolicOptions{});
    const int out = circuit.variable("out");
    ASSERT_TRUE(analysis.compute({out}));
    NetworkFunctions altered = circuit.numeric();
    altered.numerator[out].coef[0] *= 1.001;
    const std::string line = analysis.verify(altered);
    EXPECT_EQ(line.rfind("Verificação simbólica: falhou no numerador " + std::to_string(out) +
                             " (out) em s = ",
                         0),
              0u)
        << line;
    // Nothing computed, nothing claimed.
    SymbolicOptions tight;
    tight.termLimit = 1;
    test::AnalysedCircuit divider("D\nV1 in 0 1 IMPULSO\nR1 in out 1\nR2 out 0 1\nR3 out 0 1\n");
    SymbolicAnalysis incomplete(divider.run(), tight);
    ASSERT_FALSE(incomplete.compute({1}));
    EXPECT_EQ(incomplete.verify(divider.numeric()),
              "Verificação simbólica: não feita (análise simbólica incompleta)");
}

TEST(SymbolicVerification, CatchesATermTheDispersionTookFromTheNumericFunction) {
    // A dispersion below 1 clears the damping term of a series RLC (the run warns); the
    // exact functions no longer agree with what is saved.
    test::AnalysedCircuit circuit(readNetlist("rlc_series"), "0.5");
    ASSERT_EQ(circuit.fixture.outcome, RunOutcome::SucceededWithWarnings);
    SymbolicAnalysis analysis(circuit.run(), SymbolicOptions{});
    ASSERT_TRUE(analysis.compute(circuit.allVariables()));
    EXPECT_EQ(
        analysis.verify(circuit.numeric()).rfind("Verificação simbólica: falhou no numerador", 0),
        0u);
}

TEST(MixedAnalysis, NumericValuesEnterAsTheExactDecimalsOfTheNetlist) {
    // 1/(1 + s R C) with C = 10 nF kept as the decimal 1e-8: (10^8) / (s R1 + 10^8).
    test::AnalysedCircuit circuit("RC\nV1 in 0 1 IMPULSO\nR1 in out 1000\nC1 out 0 1e-8\n");
    SymbolicAnalysis analysis(circuit.run(), SymbolicOptions{{"R1"}});
    const int out = circuit.variable("out");
    ASSERT_TRUE(analysis.compute({out}));
    EXPECT_EQ(test::reducedText(analysis, out), "(100000000) / (s·(R1) + 100000000)");
    EXPECT_EQ(analysis.verify(circuit.numeric()), "Verificação simbólica: ok");
}

TEST(MixedAnalysis, SallenKeyWithOnlyTheCapacitorsSymbolic) {
    // R1 = 1, R2 = 2: s²·2·C1·C2 + s·3·C2 + 1.
    test::AnalysedCircuit circuit(readNetlist("sallen_key"));
    SymbolicAnalysis analysis(circuit.run(), SymbolicOptions{{"C1", "C2"}});
    const int out = circuit.variable("out");
    ASSERT_TRUE(analysis.compute({out}));
    ASSERT_EQ(analysis.symbols().size(), 2u);
    EXPECT_EQ(test::reducedText(analysis, out), "(1) / (s^2·(2·C1·C2) + s·(3·C2) + 1)");
}

TEST(MixedAnalysis, NamesThatNameNoValueEndTheRun) {
    // O1 is an element, but an op-amp has no value to keep symbolic.
    test::AnalysedCircuit circuit(readNetlist("sallen_key"));
    std::vector<std::string> lines;
    AnalysisLog log([&](std::string_view line) { lines.emplace_back(line); });
    SymbolicOptions options;
    options.symbols = symbolic::splitSymbolList("R1, R9 O1");
    const SymbolicListing listing = symbolic::listSymbolicAnalysis(
        circuit.run(), circuit.numeric(), options, [](int) { return false; }, log);
    EXPECT_EQ(listing.outcome, ListingOutcome::Failed);
    EXPECT_EQ(lines, (std::vector<std::string>{"Análise simbólica",
                                               "Símbolos: nenhum valor do circuito se chama R9",
                                               "Símbolos: nenhum valor do circuito se chama O1"}));
}

TEST(MixedAnalysis, NamesAreMatchedAsTheNetlistMatchesThem) {
    // The netlist takes the kind letter in either case ("c1" is C1); the symbols of
    // initial conditions and couplings follow their element's name.
    const std::string netlist = "CI\nc1 1 0 0.5 IC=3\nR1 1 0 2\nL1 1 2 1\nL2 2 0 1\nK1 L1 L2 0.5\n";
    test::AnalysedCircuit circuit(netlist);
    struct Case {
        const char* names;
        std::vector<std::string> symbols;
    };
    const Case cases[] = {
        {"r1", {"R1"}},
        {"c1", {"C1", "V0_C1"}},
        {"v0_c1", {"V0_C1"}},
        {"m_k1 r1", {"M_K1", "R1"}},
    };
    for (const Case& c : cases) {
        SymbolicAnalysis analysis(circuit.run(), SymbolicOptions{splitSymbolList(c.names)});
        EXPECT_TRUE(analysis.unknownNames().empty()) << c.names;
        std::vector<std::string> names;
        for (const Symbol& symbol : analysis.symbols())
            names.push_back(symbol.name);
        EXPECT_EQ(names, c.symbols) << c.names;
    }
    // Only the kind letter is taken in either case, as in the netlist: "r1" is R1, but
    // "rLoad" is not RLOAD.
    const SymbolicAnalysis other(circuit.run(), SymbolicOptions{{"l1X"}});
    EXPECT_EQ(other.unknownNames(), std::vector<std::string>{"l1X"});
}

TEST(MixedAnalysis, AnInitialConditionFollowsItsElementOrItsOwnName) {
    const std::string netlist = "CI\nC1 1 0 0.5 IC=3\nR1 1 0 2\n";
    test::AnalysedCircuit circuit(netlist);
    const int node = circuit.variable("1");
    for (const auto& [names, function] :
         std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"C1"}, "(2·C1·V0_C1) / (s·(2·C1) + 1)"}, {{"V0_C1"}, "(V0_C1) / (s + 1)"}}) {
        SymbolicAnalysis analysis(circuit.run(), SymbolicOptions{names});
        ASSERT_TRUE(analysis.compute({node}));
        EXPECT_EQ(test::reducedText(analysis, node), function);
        EXPECT_EQ(analysis.verify(circuit.numeric()), "Verificação simbólica: ok");
    }
}

TEST(TermLimit, ACoefficientPastTheLimitIsNamedWithItsPolynomialAndPowerOfS) {
    // One node, three conductances: the determinant is G1 + G2 + G3.
    const std::string netlist = "Três R\nI1 0 1 1 IMPULSO\nR1 1 0 1\nR2 1 0 2\nR3 1 0 3\n";
    test::AnalysedCircuit circuit(netlist);
    SymbolicOptions atTheLimit;
    atTheLimit.termLimit = 3;
    SymbolicAnalysis fits(circuit.run(), atTheLimit);
    EXPECT_TRUE(fits.compute({1})) << fits.limitMessage();

    SymbolicOptions pastIt;
    pastIt.termLimit = 2;
    SymbolicAnalysis stopped(circuit.run(), pastIt);
    EXPECT_FALSE(stopped.compute({1}));
    EXPECT_EQ(stopped.limitMessage(),
              "Limite de termos: no cálculo do denominador, o coeficiente de s^0 passou de 2 "
              "termos (3).");
}

TEST(TermLimit, TheListingOffersTheMixedAnalysis) {
    test::AnalysedCircuit circuit(readNetlist("butterworth5"));
    std::vector<std::string> lines;
    AnalysisLog log([&](std::string_view line) { lines.emplace_back(line); });
    SymbolicOptions options;
    options.termLimit = 4;
    symbolic::listSymbolicAnalysis(
        circuit.run(), circuit.numeric(), options, [](int) { return true; }, log);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2].rfind("Limite de termos: no cálculo do ", 0), 0u);
    EXPECT_EQ(lines.back(),
              "Use a análise mista: deixe simbólicos só alguns elementos (Símbolos, ou "
              "--simbolos na linha de comando).");
}

}  // namespace
}  // namespace corvane
