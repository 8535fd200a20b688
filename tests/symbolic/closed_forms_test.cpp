// Textbook network functions, written by hand in the elements' names, against what the
// symbolic analysis lists for the same circuits.
#include <gtest/gtest.h>

#include "symbolic_support.h"

namespace corvane {
namespace {

using symbolic::SymbolicAnalysis;
using symbolic::SymbolicOptions;

struct ClosedForm {
    const char* name;
    const char* netlist;
    const char* variable;
    /// "(numerator) / (denominator)", reduced, resistors as resistances.
    const char* function;
    /// Extra lines every run must give, such as definitions (may be empty).
    const char* definition;
};

std::vector<ClosedForm> closedForms() {
    return {
        {"divisor", "Divisor\nV1 in 0 1 IMPULSO\nR1 in out 1000\nR2 out 0 3000\n", "out",
         "(R2·V1) / (R1 + R2)", ""},
        {"rc", "RC\nV1 in 0 1 IMPULSO\nR1 in out 2\nC1 out 0 0.5\n", "out",
         "(V1) / (s·(C1·R1) + 1)", ""},
        // Series RLC, output across the capacitor: 1 / (s²LC + sRC + 1).
        {"rlc_serie", "RLC\nV1 in 0 1 IMPULSO\nR1 in a 1.5\nL1 a out 2\nC1 out 0 0.25\n", "out",
         "(V1) / (s^2·(C1·L1) + s·(C1·R1) + 1)", ""},
        // Parallel RLC driven by a current: Z = sL R / (s²LCR + sL + R).
        {"rlc_paralelo", "RLC paralelo\nI1 0 1 1 IMPULSO\nR1 1 0 2\nL1 1 0 0.5\nC1 1 0 0.25\n", "1",
         "(s·(I1·L1·R1)) / (s^2·(C1·L1·R1) + s·(L1) + R1)", ""},
        // Unity-gain Sallen-Key low-pass: ω0² = 1/(R1 R2 C1 C2), Q = √(R1 R2 C1 C2) /
        // (C2 (R1 + R2)).
        {"sallen_key",
         "Sallen-Key\nV1 in 0 1 IMPULSO\nR1 in a 1\nR2 a b 2\nC1 a out 0.5\nC2 b 0 0.25\n"
         "O1 out 0 b out\n",
         "out", "(V1) / (s^2·(C1·C2·R1·R2) + s·(C2·R1 + C2·R2) + 1)", ""},
        // Multiple-feedback low-pass: H = −(R2/R1) ω0² / (s² + s ω0/Q + ω0²) with
        // ω0² = 1/(R2 R3 C1 C2) and ω0/Q = (1/R1 + 1/R2 + 1/R3)/C1.
        {"realimentacao_multipla",
         "MFB\nV1 in 0 1 IMPULSO\nR1 in a 1\nC1 a 0 2\nR2 a out 3\nR3 a b 4\nC2 b out 5\n"
         "O1 out 0 0 b\n",
         "out", "(-R2·V1) / (s^2·(C1·C2·R1·R2·R3) + s·(C2·R1·R2 + C2·R1·R3 + C2·R2·R3) + R1)", ""},
        // Two transconductances and a capacitor: an inductor C/(G1 G2) across R1 (the
        // second transconductance is negative in the netlist).
        {"girador",
         "Girador\nI1 0 1 1 IMPULSO\nR1 1 0 2\nG1 1 0 2 0 0.5\nG2 2 0 1 0 -0.5\nC1 2 0 3\n", "1",
         "(s·(C1·I1·R1)) / (s·(C1) - G1·G2·R1)", ""},
        {"fonte_e", "VCVS\nV1 in 0 1 IMPULSO\nR1 in a 1\nC1 a 0 0.5\nE1 out 0 a 0 10\nRL out 0 7\n",
         "out", "(E1·V1) / (s·(C1·R1) + 1)", ""},
        // The output current F1·i leaves the output node: −F1 R2 / (R1 (1 + s C2 R2)).
        {"fonte_f",
         "CCCS\nV1 in 0 1 IMPULSO\nR1 in c 2\nF1 out 0 c 0 3\nR2 out 0 5\nC2 out 0 0.1\n", "out",
         "(-F1·R2·V1) / (s·(C2·R1·R2) + R1)", ""},
        // H1 times the current of the series RC: H1 s C1 / (1 + s C1 R1).
        {"fonte_h", "CCVS\nV1 in 0 1 IMPULSO\nC1 in m 0.5\nR1 m c 2\nH1 out 0 c 0 4\nRL out 0 1\n",
         "out", "(s·(C1·H1·V1)) / (s·(C1·R1) + 1)", ""},
        // Coupled coils: s M R2 / ((R1 + s L1)(R2 + s L2) − s² M²).
        {"transformador",
         "Transformador\nV1 in 0 1 IMPULSO\nR1 in p 1\nL1 p 0 1\nL2 s 0 4\nK1 L1 L2 0.9\n"
         "R2 s 0 3\n",
         "s", "(s·(M_K1·R2·V1)) / (s^2·(L1·L2 - M_K1^2) + s·(L1·R2 + L2·R1) + R1·R2)",
         "M_K1 = K1·√(L1·L2)"},
        // A charged capacitor discharging into R: C V0 R / (1 + s R C).
        {"condicao_inicial_c", "CI\nC1 1 0 0.5 IC=3\nR1 1 0 2\nL1 2 0 0.25 IC=1.5\nR2 2 0 4\n", "1",
         "(C1·R1·V0_C1) / (s·(C1·R1) + 1)", "V0_C1 = tensão inicial de C1"},
        // The inductor's initial current returns through R: −I0 L R / (s L + R).
        {"condicao_inicial_l", "CI\nC1 1 0 0.5 IC=3\nR1 1 0 2\nL1 2 0 0.25 IC=1.5\nR2 2 0 4\n", "2",
         "(-I0_L1·L1·R2) / (s·(L1) + R2)", "I0_L1 = corrente inicial de L1"},
    };
}

class ClosedFormTest : public ::testing::TestWithParam<ClosedForm> {};

TEST_P(ClosedFormTest, ListsTheTextbookFunctionAndAgreesWithTheNumericOne) {
    const ClosedForm& form = GetParam();
    test::AnalysedCircuit circuit(form.netlist);
    ASSERT_TRUE(circuit.succeeded()) << circuit.fixture.lines.back();
    SymbolicAnalysis analysis(circuit.run(), SymbolicOptions{});
    const int k = circuit.variable(form.variable);
    ASSERT_GT(k, 0);
    ASSERT_TRUE(analysis.compute({k})) << analysis.limitMessage();
    EXPECT_EQ(test::reducedText(analysis, k), form.function);
    EXPECT_EQ(analysis.verify(circuit.numeric()), "Verificação simbólica: ok");
    if (*form.definition) {
        bool found = false;
        for (const symbolic::Symbol& symbol : analysis.symbols())
            found = found || symbol.definition == form.definition;
        EXPECT_TRUE(found) << form.definition;
    }
}

INSTANTIATE_TEST_SUITE_P(Circuits, ClosedFormTest, ::testing::ValuesIn(closedForms()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SymbolicListing, SallenKeyDenominatorReadsAsDesignersWriteIt) {
    test::AnalysedCircuit circuit(
        "Sallen-Key\nV1 in 0 1 IMPULSO\nR1 in a 1\nR2 a b 2\nC1 a out 0.5\nC2 b 0 0.25\n"
        "O1 out 0 b out\n");
    ASSERT_TRUE(circuit.succeeded());
    std::vector<std::string> lines;
    AnalysisLog log([&](std::string_view line) { lines.emplace_back(line); });
    const int out = circuit.variable("out");
    symbolic::listSymbolicAnalysis(
        circuit.run(), circuit.numeric(), SymbolicOptions{}, [&](int k) { return k == out; }, log);
    const std::vector<std::string> expected{
        "Análise simbólica",
        "Símbolos: C1 C2 R1 R2 V1",
        "Denominador simbólico: s^2·(C1·C2·R1·R2) + s·(C2·R1 + C2·R2) + 1",
        "Numerador simbólico " + std::to_string(out) + " (out): V1",
        "Função " + std::to_string(out) +
            " (out) reduzida: (V1) / (s^2·(C1·C2·R1·R2) + "
            "s·(C2·R1 + C2·R2) + 1)",
        "Verificação simbólica: ok",
    };
    EXPECT_EQ(lines, expected);
}

TEST(SymbolicListing, SymPyAndLaTeXFormsOfTheSallenKeyDenominator) {
    test::AnalysedCircuit circuit(
        "Sallen-Key\nV1 in 0 1 IMPULSO\nR1 in a 1\nR2 a b 2\nC1 a out 0.5\nC2 b 0 0.25\n"
        "O1 out 0 b out\n");
    SymbolicAnalysis analysis(circuit.run(), SymbolicOptions{});
    ASSERT_TRUE(analysis.compute({circuit.variable("out")}));
    EXPECT_EQ(analysis.denominator().sympy, "s**2*(C1*C2*R1*R2) + s*(C2*R1 + C2*R2) + 1");
    EXPECT_EQ(analysis.denominator().latex,
              "s^{2} \\left(C_{1} C_{2} R_{1} R_{2}\\right) + s \\left(C_{2} R_{1} + C_{2} "
              "R_{2}\\right) + 1");
}

}  // namespace
}  // namespace corvane
