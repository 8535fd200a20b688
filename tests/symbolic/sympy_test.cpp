// The SymPy forms of the functions, read by SymPy itself (python3-sympy) and compared with
// the same functions written independently.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "symbolic_support.h"

namespace corvane {
namespace {

// The first Python that has SymPy: the system's own, where python3-sympy installs it,
// before one found on the PATH (which may be a separate installation without it).
std::string pythonWithSymPy() {
    for (const char* candidate : {"/usr/bin/python3", "python3"}) {
        const std::string probe = std::string(candidate) + " -c 'import sympy' >/dev/null 2>&1";
        if (std::system(probe.c_str()) == 0) return candidate;
    }
    return {};
}

bool haveSymPy() {
    return !pythonWithSymPy().empty();
}

// Runs a Python script that exits 0 when every check holds.
int runPython(const test::TempDir& dir, const std::string& script) {
    const std::string path = dir.write("check.py", script);
    return std::system((pythonWithSymPy() + " '" + path + "'").c_str());
}

TEST(SymPyForms, SympifyReadsTheTransformerFunctionAsTheTextbookOne) {
    if (!haveSymPy()) GTEST_SKIP() << "python3-sympy não está instalado";
    test::AnalysedCircuit circuit(
        "Transformador\nV1 in 0 1 IMPULSO\nR1 in p 1\nL1 p 0 1\nL2 s 0 4\nK1 L1 L2 0.9\n"
        "R2 s 0 3\n");
    symbolic::SymbolicAnalysis analysis(circuit.run(), symbolic::SymbolicOptions{});
    ASSERT_TRUE(analysis.compute({circuit.variable("s")}));
    const symbolic::SymbolicFunction f = analysis.functions().at(0);
    const std::string script =
        "import sys\n"
        "from sympy import sympify, symbols, simplify\n"
        "s, L1, L2, M, R1, R2, V1 = symbols('s L1 L2 M_K1 R1 R2 V1')\n"
        "h = sympify(r\"\"\"(" +
        f.numerator.sympy + ")/(" + f.denominator.sympy +
        ")\"\"\")\n"
        "want = s*M*R2*V1/((R1 + s*L1)*(R2 + s*L2) - s**2*M**2)\n"
        "sys.exit(0 if simplify(h - want) == 0 else 1)\n";
    EXPECT_EQ(runPython(circuit.dir, script), 0)
        << f.numerator.sympy << " / " << f.denominator.sympy;
}

TEST(SymPyForms, NamesSymPyKnowsAreReadAsPlainSymbols) {
    if (!haveSymPy()) GTEST_SKIP() << "python3-sympy não está instalado";
    // E1 is an exponential integral to SymPy; here it must stay the source's gain.
    test::AnalysedCircuit circuit(
        "VCVS\nV1 in 0 1 IMPULSO\nR1 in a 1\nC1 a 0 0.5\nE1 out 0 a 0 10\nRL out 0 7\n");
    symbolic::SymbolicAnalysis analysis(circuit.run(), symbolic::SymbolicOptions{});
    ASSERT_TRUE(analysis.compute({circuit.variable("out")}));
    const symbolic::SymbolicFunction f = analysis.functions().at(0);
    const std::string script =
        "import sys\n"
        "from sympy import sympify, symbols, simplify\n"
        "s, C1, E1, R1, V1 = symbols('s C1 E1 R1 V1')\n"
        "h = sympify(r\"\"\"(" +
        f.numerator.sympy + ")/(" + f.denominator.sympy +
        ")\"\"\")\n"
        "sys.exit(0 if simplify(h - E1*V1/(1 + s*R1*C1)) == 0 else 1)\n";
    EXPECT_EQ(runPython(circuit.dir, script), 0) << f.numerator.sympy;
}

}  // namespace
}  // namespace corvane
