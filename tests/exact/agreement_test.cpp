// The exact engine against the cofactor expansion on every circuit the expansion can take:
// the netlists of the tests and the examples, and random sparse circuits of 5 to 25
// unknowns. The expansion rounds at every product; the exact coefficients, rounded once,
// must agree with it within 1e-12 relative.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "determinant.h"
#include "exact_engine.h"
#include "exact_rounding.h"
#include "numbered.h"
#include "symbolic_support.h"

namespace corvane {
namespace {

constexpr double Tolerance = 1e-12;

std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Coefficient d of a determinant as the expansion leaves it (its constant is set later,
// by the post-processing), zero past its degree.
double expanded(const Polynomial& p, int d) {
    return d <= p.degree ? p.coef[static_cast<std::size_t>(d)] : 0.0;
}

// Where exact arithmetic cancels a coefficient to zero, the expansion leaves a rounding
// error of the size of the terms that cancelled, which no coefficient shows. That error
// must not matter at the circuit's own frequency ω (the geometric mean of the
// denominator's root magnitudes): there, beside the largest function of the circuit, its
// term must be below 1e-12.
struct CircuitScale {
    double frequency = 1.0;
    double size = 0.0;
};

CircuitScale scaleOf(const exact::ExactFunctions& f) {
    CircuitScale scale;
    const std::vector<double> d = exact::nearestCoefficients(f.denominator);
    std::size_t low = 0;
    while (low < d.size() && d[low] == 0.0)
        ++low;
    if (low + 1 < d.size())
        scale.frequency = std::pow(std::fabs(d[low] / d.back()), 1.0 / static_cast<double>(d.size() - 1 - low));
    const auto size = [&](const exact::RationalPolynomial& p) {
        double sum = 0.0;
        const std::vector<double> c = exact::nearestCoefficients(p);
        for (std::size_t k = 0; k < c.size(); ++k)
            sum += std::fabs(c[k]) * std::pow(scale.frequency, static_cast<double>(k));
        scale.size = std::max(scale.size, sum);
    };
    size(f.denominator);
    for (const exact::RationalPolynomial& p : f.numerators)
        size(p);
    return scale;
}

// The netlists agree coefficient by coefficient. In random circuits, a coefficient can be
// the sum of terms of opposite signs (a controlled source, a transfer through two paths)
// that the expansion knows only to the rounding of the terms, up to a few 1e-12 of the
// coefficient at 25 unknowns: there, `cancelling`, the difference is weighed at the
// circuit's frequency as above.
void expectAgreement(const Polynomial& expansion, const exact::RationalPolynomial& exactPolynomial,
                     const CircuitScale& scale, bool cancelling, const std::string& what) {
    const std::vector<double> exact = exact::nearestCoefficients(exactPolynomial);
    const int top = std::max(expansion.degree, static_cast<int>(exact.size()) - 1);
    for (int d = 0; d <= top; ++d) {
        const auto at = static_cast<std::size_t>(d);
        const double mine = at < exact.size() ? exact[at] : 0.0;
        const double theirs = expanded(expansion, d);
        if (mine != 0.0 && !cancelling) {
            EXPECT_LE(std::fabs(mine - theirs), Tolerance * std::fabs(mine))
                << what << ", s^" << d << ": exato " << mine << ", expansão " << theirs;
        } else {
            EXPECT_LE(std::fabs(mine - theirs) * std::pow(scale.frequency, d), Tolerance * scale.size)
                << what << ", s^" << d << ": exato " << mine << ", expansão " << theirs;
        }
    }
}

void expectEnginesAgree(const std::string& netlist, const std::string& name, bool cancelling = false) {
    test::AnalysedCircuit circuit(netlist);
    const RunState& run = circuit.run();
    ASSERT_GT(run.variableCount, 0) << name;
    AnalysisLog log;
    SystemMatrix matrix;
    assembleSystem(run, matrix, log, false);
    NetworkFunctions expansion;
    test::RecordingHost host;
    computeNetworkFunctions(matrix, run.variableCount, expansion, log, host);

    const exact::ExactFunctions exact = exact::computeExactFunctions(exact::exactSystemOf(run));
    const CircuitScale scale = scaleOf(exact);
    expectAgreement(expansion.denominator, exact.denominator, scale, cancelling, name + ", denominador");
    for (int k = 1; k <= run.variableCount; ++k)
        expectAgreement(expansion.numerator[static_cast<std::size_t>(k)],
                        exact.numerators[static_cast<std::size_t>(k)], scale, cancelling,
                        name + ", numerador " + std::to_string(k));
}

TEST(ExactAgreementTest, EveryNetlistOfTheTestsAndExamples) {
    int netlists = 0;
    for (const char* folder : {CORVANE_TEST_DATA_DIR, CORVANE_EXAMPLES_DIR}) {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (entry.path().extension() != ".net") continue;
            SCOPED_TRACE(entry.path().string());
            expectEnginesAgree(fileText(entry.path()), entry.path().filename().string());
            ++netlists;
        }
    }
    EXPECT_GE(netlists, 20);
}

// A random connected circuit: a spanning tree of resistors, capacitors and inductors, some
// more branches between random nodes, a source at node 1 and, now and then, controlled
// sources. Values of two significant digits, a decade wide, as on a real board: values
// over many decades make the expansion cancel beyond 1e-12, which is its fault, not one to
// test here.
std::string randomCircuit(std::mt19937& random, int nodes) {
    std::uniform_int_distribution<int> digits(10, 99);
    std::uniform_int_distribution<int> decade(-1, -1);
    std::uniform_int_distribution<int> kind(0, 9);
    const auto value = [&](const char* unit) {
        return std::to_string(digits(random)) + "e" + std::to_string(decade(random)) + unit;
    };
    std::string text = "Circuito aleatório\n";
    text += random() % 2 == 0 ? "V1 n1 0 1 IMPULSO\n" : "I1 0 n1 1 DEGRAU\n";
    int count = 0;
    const auto branch = [&](int a, int b) {
        const std::string from = a == 0 ? "0" : test::numbered("n", a);
        const std::string to = b == 0 ? "0" : test::numbered("n", b);
        ++count;
        const int k = kind(random);
        if (k < 5) {
            text += test::numbered("R", count) + " " + from + " " + to + " " + value("k") + "\n";
        } else if (k < 8) {
            text += test::numbered("C", count) + " " + from + " " + to + " " + value("n") + "\n";
        } else {
            text += test::numbered("L", count) + " " + from + " " + to + " " + value("m") + "\n";
        }
    };
    for (int i = 2; i <= nodes; ++i)
        branch(std::uniform_int_distribution<int>(1, i - 1)(random), i);
    for (int extra = 0; extra < nodes / 2; ++extra) {
        const int a = std::uniform_int_distribution<int>(0, nodes)(random);
        const int b = std::uniform_int_distribution<int>(1, nodes)(random);
        if (a != b) branch(a, b);
    }
    const auto node = [&] { return test::numbered("n", std::uniform_int_distribution<int>(1, nodes)(random)); };
    if (random() % 2 == 0) text += "G1 " + node() + " 0 " + node() + " 0 " + value("m") + "\n";
    if (random() % 3 == 0) text += "E1 " + node() + " 0 " + node() + " 0 " + value("") + "\n";
    return text;
}

TEST(ExactAgreementTest, RandomSparseCircuitsOfFiveToTwentyFiveUnknowns) {
    std::mt19937 random(20261209);
    int circuits = 0;
    for (int nodes = 4; nodes <= 22; nodes += 2) {
        for (int seed = 0; seed < 3; ++seed) {
            const std::string netlist = randomCircuit(random, nodes);
            SCOPED_TRACE(netlist);
            test::AnalysedCircuit circuit(netlist);
            const int n = circuit.run().variableCount;
            if (n < 5 || n > MaxVariables) continue;
            // A singular circuit (a loop of sources, a node held only by capacitors and a
            // current source) has no function: the expansion leaves rounding noise there.
            if (exact::computeExactFunctions(exact::exactSystemOf(circuit.run())).denominator.isZero())
                continue;
            expectEnginesAgree(netlist, "aleatório de " + std::to_string(n), true);
            ++circuits;
        }
    }
    EXPECT_GE(circuits, 20);
}

}  // namespace
}  // namespace corvane
