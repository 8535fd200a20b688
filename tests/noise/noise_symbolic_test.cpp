// The symbolic noise density (noise/noise_symbolic.*): its transfers against the numeric
// ones, the parallel resistance of resistive circuits exactly, the lines it lists, its
// limits and cancel, and one ladder against SymPy solving the nodes by itself.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "mna.h"
#include "netlist_reader.h"
#include "noise_symbolic.h"
#include "recording_host.h"
#include "temp_dir.h"

namespace corvane {
namespace {

using symbolic::Complex;
using symbolic::ExactPolynomial;

constexpr std::size_t MiB = std::size_t{1} << 20;

struct SymbolicNoiseRun {
    test::TempDir dir;
    RunState run;
    SystemMatrix system;
    test::RecordingHost host;
    std::vector<std::string> lines;
    AnalysisLog log{[this](std::string_view line) { lines.emplace_back(line); }};
    noise::NoiseOptions options;
    std::optional<noise::NoiseReport> report;

    SymbolicNoiseRun(const std::string& netlist, const std::string& output) {
        run.VariableNames[0] = VariableName{'0'};
        options.output = output;
        if (!readNetlist(run, log, dir.write("ruido.net", netlist))) return;
        assembleSystem(run, system, log, false);
        report = noise::analyseNoise(run, system, options, log, host, EngineOptions{});
    }

    noise::SymbolicNoiseFunctions functions(const std::vector<std::string>& symbols = {}) const {
        symbolic::SymbolicOptions symbolic;
        symbolic.symbols = symbols;
        return noise::SymbolicNoiseFunctions(run, symbolic,
                                             noise::findOutputVariable(run, options.output),
                                             report->functions.sources);
    }

    noise::SymbolicNoiseListing list(const symbolic::SymbolicOptions& symbolic = {}) {
        lines.clear();
        return noise::listSymbolicNoise(run, *report, options, symbolic, log, &host);
    }
};

std::string rcLadder(int sections) {
    std::string text = "Escada RC\nV1 1 0 1 DEGRAU\n";
    for (int i = 1; i <= sections; ++i) {
        const std::string a = std::to_string(i);
        const std::string b = std::to_string(i + 1);
        text += "R" + a + " " + a + " " + b + " 1000\nC" + a + " " + b + " 0 1e-6\n";
    }
    return text;
}

struct TransferCase {
    const char* name;
    const char* netlist;
    const char* output;
    std::vector<std::string> symbols;
};

const TransferCase TransferCases[] = {
    {"passa_baixas_rc", "RC\nV1 e 0 1 IMPULSO\nR1 e s 1k\nC1 s 0 1n\n", "s", {}},
    {"escada_rlc",
     "Escada\nV1 e 0 1 IMPULSO\nR1 e a 100\nC1 a 0 1e-7\nR2 a b 2200\n"
     "C2 b 0 1e-8\nR3 b 0 47000\nL1 b c 1m\nR4 c 0 50\n",
     "b",
     {}},
    {"inversor_misto",
     "Inversor\nV1 e 0 1 IMPULSO\nR1 e m 1k\nR2 m s 10k\nC1 m s 1n\n"
     "O1 s 0 0 m\n",
     "s",
     {"R2", "C1"}},
    {"corrente_do_indutor", "RL\nI1 0 a 1 IMPULSO\nR1 a 0 50\nL1 a b 1m\nR2 b 0 10\n", "jL1", {}},
};

// Each N_k/D with the values substituted is the numeric transfer, within 1e-12 relative,
// from well below to well above the circuit's poles.
TEST(SymbolicNoise, EveryTransferWithTheValuesSubstitutedIsTheNumericOne) {
    for (const TransferCase& c : TransferCases) {
        SymbolicNoiseRun r(c.netlist, c.output);
        ASSERT_TRUE(r.report) << c.name;
        noise::SymbolicNoiseFunctions functions = r.functions(c.symbols);
        ASSERT_TRUE(functions.compute()) << c.name;
        std::vector<Complex> values(functions.symbols().size() + 1);
        for (std::size_t v = 0; v < functions.symbols().size(); ++v)
            values[v + 1] = functions.symbols()[v].value;
        const noise::NoiseFunctions& numeric = r.report->functions;
        ASSERT_EQ(functions.numerators().size(), numeric.transfers.size()) << c.name;
        for (const double hertz : {1.0, 1e3, 1e5, 1e7, 1e9}) {
            const Complex s(0.0L, 2.0L * std::numbers::pi_v<long double> * hertz);
            values[0] = s;
            const Complex d = symbolic::evaluate(*functions.denominator(), values);
            const Complex dNumeric = symbolic::evaluate(numeric.denominator, s);
            for (std::size_t k = 0; k < numeric.transfers.size(); ++k) {
                const Complex exact = symbolic::evaluate(functions.numerators()[k], values) / d;
                const Complex expected = symbolic::evaluate(numeric.transfers[k], s) / dNumeric;
                EXPECT_LE(std::abs(exact - expected), 1e-12L * std::abs(expected))
                    << c.name << " " << numeric.sources[k].element << " em " << hertz << " Hz";
            }
        }
    }
}

// Resistors only: the output sees their parallel resistance Rp, and the density is 4kT·Rp
// exactly. With P the product of the resistances, Σ N_k²/R_k / D² = Rp becomes
// Σ N_k²·(P/R_k) · Σ_j P/R_j = P²·D², an identity between polynomials.
TEST(SymbolicNoise, AResistiveCircuitHasTheDensityOfItsParallelResistanceExactly) {
    const char* circuits[] = {
        "Divisor\nV1 e 0 1 IMPULSO\nR1 e s 1000\nR2 s 0 3000\n",
        "Três\nV1 e 0 1 IMPULSO\nR1 e s 1000\nR2 s 0 3000\nR3 s 0 470\n",
    };
    for (const char* netlist : circuits) {
        SymbolicNoiseRun r(netlist, "s");
        ASSERT_TRUE(r.report) << netlist;
        noise::SymbolicNoiseFunctions functions = r.functions();
        ASSERT_TRUE(functions.compute()) << netlist;
        const symbolic::PolynomialRing& ring = functions.denominator()->ring();
        std::vector<ExactPolynomial> resistances;
        for (const noise::NoiseSource& source : functions.sources()) {
            for (std::size_t v = 0; v < functions.symbols().size(); ++v) {
                if (functions.symbols()[v].name == source.element)
                    resistances.push_back(ExactPolynomial::variable(ring, static_cast<int>(v + 1)));
            }
        }
        ASSERT_EQ(resistances.size(), functions.sources().size()) << netlist;
        const auto othersProduct = [&](std::size_t k) {
            ExactPolynomial product(ring, 1);
            for (std::size_t j = 0; j < resistances.size(); ++j) {
                if (j != k) product = product * resistances[j];
            }
            return product;
        };
        ExactPolynomial weighted(ring);
        ExactPolynomial conductanceSum(ring);
        for (std::size_t k = 0; k < resistances.size(); ++k) {
            const ExactPolynomial& n = functions.numerators()[k];
            weighted += n * n * othersProduct(k);
            conductanceSum += othersProduct(k);
        }
        const ExactPolynomial all = othersProduct(resistances.size());
        const ExactPolynomial& d = *functions.denominator();
        EXPECT_TRUE(weighted * conductanceSum == all * all * d * d) << netlist;
    }
}

struct ListingCase {
    const char* name;
    const char* netlist;
    const char* output;
    std::vector<std::string> symbols;
    std::vector<std::string> lines;
};

TEST(SymbolicNoise, TheListingWritesTheExpressionAndEveryPolynomial) {
    const ListingCase cases[] = {
        {"resistor numérico: dividido pelo valor",
         "RC\nV1 e 0 1 IMPULSO\nR1 e s 1k\nC1 s 0 1n\n",
         "s",
         {"C1"},
         {"Ruído simbólico na saída s:", "S_s(ω) = 4·k·T·(|N_R1(jω)|²/1000) / |D(jω)|² [V²/Hz]",
          "k = 1.380649e-23 J/K, T = 300.15 K", "D(s) = s·(1000·C1) + 1", "N_R1(s) = -1000",
          "Verificação do ruído simbólico: ok"}},
        {"resistor sobre a fonte: fora da soma",
         "Divisor\nV1 e 0 1 IMPULSO\nR9 e 0 50\nR1 e s 1000\nR2 s 0 3000\n",
         "s",
         {},
         {"Ruído simbólico na saída s:",
          "S_s(ω) = 4·k·T·(|N_R1(jω)|²/R1 + |N_R2(jω)|²/R2) / |D(jω)|² [V²/Hz]",
          "k = 1.380649e-23 J/K, T = 300.15 K", "D(s) = R1 + R2", "N_R9(s) = 0", "N_R1(s) = -R1·R2",
          "N_R2(s) = R1·R2", "Verificação do ruído simbólico: ok"}},
        {"saída na fonte: nenhum ruído",
         "Divisor\nV1 e 0 1 IMPULSO\nR1 e s 1000\nR2 s 0 3000\n",
         "e",
         {},
         {"Ruído simbólico na saída e:", "S_e(ω) = 0 [V²/Hz]", "k = 1.380649e-23 J/K, T = 300.15 K",
          "D(s) = R1 + R2", "N_R1(s) = 0", "N_R2(s) = 0", "Verificação do ruído simbólico: ok"}},
    };
    for (const ListingCase& c : cases) {
        SymbolicNoiseRun r(c.netlist, c.output);
        ASSERT_TRUE(r.report) << c.name;
        symbolic::SymbolicOptions options;
        options.symbols = c.symbols;
        const noise::SymbolicNoiseListing listing = r.list(options);
        EXPECT_EQ(listing.outcome, ListingOutcome::Done) << c.name;
        EXPECT_EQ(r.lines, c.lines) << c.name;
        ASSERT_TRUE(listing.density) << c.name;
        EXPECT_EQ(noise::symbolicNoiseDocument(listing)["densidade"], c.lines[1]) << c.name;
    }
}

struct LimitCase {
    const char* name;
    std::string netlist;
    long termLimit;
    std::size_t memory;
    const char* message;
};

// A limit leaves its message and the advice, and nothing but the message in the document.
TEST(SymbolicNoise, ALimitSaysWhereItStoppedAndWritesNoExpression) {
    const LimitCase cases[] = {
        {"termos", rcLadder(3), 2, 64 * MiB,
         "Limite de termos: no cálculo do denominador do ruído, o coeficiente de s^1 passou de "
         "2 termos (3)."},
        {"memória", rcLadder(18), 1'000'000'000'000L, 16 * MiB,
         "Limite de memória: no cálculo do denominador do ruído, a análise simbólica passaria "
         "de 16 MiB."},
    };
    for (const LimitCase& c : cases) {
        SymbolicNoiseRun r(c.netlist, "3");
        ASSERT_TRUE(r.report) << c.name;
        symbolic::SymbolicOptions options;
        options.termLimit = c.termLimit;
        options.memoryLimitBytes = c.memory;
        const noise::SymbolicNoiseListing listing = r.list(options);
        EXPECT_EQ(listing.outcome, ListingOutcome::Done) << c.name;
        EXPECT_FALSE(listing.density) << c.name;
        const std::vector<std::string> expected = {"Ruído simbólico na saída 3:", c.message,
                                                   symbolic::MixedAnalysisAdvice};
        EXPECT_EQ(r.lines, expected) << c.name;
        EXPECT_EQ(noise::symbolicNoiseDocument(listing),
                  nlohmann::ordered_json({{"interrompida", c.message}}))
            << c.name;
    }
}

TEST(SymbolicNoise, ACancelStopsTheExpansionWithNothingListed) {
    SymbolicNoiseRun r(rcLadder(3), "3");
    ASSERT_TRUE(r.report);
    r.host.stopRequested = true;
    const noise::SymbolicNoiseListing listing = r.list();
    EXPECT_EQ(listing.outcome, ListingOutcome::Cancelled);
    EXPECT_FALSE(listing.density);
    EXPECT_EQ(r.lines, std::vector<std::string>{"Ruído simbólico na saída 3:"});
}

std::string pythonWithSymPy() {
    for (const char* candidate : {"/usr/bin/python3", "python3"}) {
        const std::string probe = std::string(candidate) + " -c 'import sympy' >/dev/null 2>&1";
        if (std::system(probe.c_str()) == 0) return candidate;
    }
    return {};
}

// SymPy solves the two nodes of an RC ladder for a unit current across each resistor;
// the squared magnitudes, which the density takes, must be the listed ones.
TEST(SymbolicNoise, SymPySolvingTheNodesFindsTheSameTransfers) {
    const std::string python = pythonWithSymPy();
    if (python.empty()) GTEST_SKIP() << "python3-sympy não está instalado";
    SymbolicNoiseRun r(rcLadder(2), "3");
    ASSERT_TRUE(r.report);
    const noise::SymbolicNoiseListing listing = r.list();
    ASSERT_TRUE(listing.density);
    ASSERT_EQ(listing.terms.size(), 2u);
    const std::string script =
        "import sys\n"
        "from sympy import symbols, sympify, solve, simplify\n"
        "s, R1, R2, C1, C2, a, b = symbols('s R1 R2 C1 C2 a b')\n"
        "def out(ia, ib):\n"
        "    x = solve([a/R1 + s*C1*a + (a - b)/R2 - ia, (b - a)/R2 + s*C2*b - ib], [a, b])\n"
        "    return x[b]\n"
        "d = sympify(r'''" +
        listing.denominator->sympy +
        "''')\n"
        "n1 = sympify(r'''" +
        listing.terms[0].numerator.sympy +
        "''')\n"
        "n2 = sympify(r'''" +
        listing.terms[1].numerator.sympy +
        "''')\n"
        "ok = simplify((n1/d)**2 - out(1, 0)**2) == 0 and simplify((n2/d)**2 - out(1, -1)**2) == "
        "0\n"
        "sys.exit(0 if ok else 1)\n";
    const std::string path = r.dir.write("check.py", script);
    EXPECT_EQ(std::system((python + " '" + path + "'").c_str()), 0) << script;
}

}  // namespace
}  // namespace corvane
