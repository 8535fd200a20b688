#include "noise_functions.h"

#include "analysis_log.h"
#include "determinant.h"
#include "network_functions.h"

namespace corvane::noise {

namespace {

// Aᵀ, excited by a unit at row `output`: its numerator i is the cofactor C(i, output) of A.
SystemMatrix transposedWithUnitExcitation(const SystemMatrix& system, int n, int output) {
    SystemMatrix transposed;
    for (int row = 1; row <= n; ++row) {
        for (int column = 1; column <= n; ++column)
            transposed.at(column, row) = system.at(row, column);
    }
    transposed.at(output, n + 1).s0 = 1.0;
    return transposed;
}

// C(from, o) − C(to, o), ground's cofactor being no term at all.
Polynomial injectionNumerator(const NetworkFunctions& cofactors, int fromNode, int toNode) {
    Polynomial p;
    const Polynomial zero;
    const Polynomial& a = fromNode == 0 ? zero : cofactors.numerator[static_cast<std::size_t>(fromNode)];
    const Polynomial& b = toNode == 0 ? zero : cofactors.numerator[static_cast<std::size_t>(toNode)];
    p.setDegree(std::max(a.degree, b.degree));
    for (int i = 0; i <= p.degree; ++i) {
        const double ai = i <= a.degree ? a.coef[static_cast<std::size_t>(i)] : 0.0;
        const double bi = i <= b.degree ? b.coef[static_cast<std::size_t>(i)] : 0.0;
        p.coef[static_cast<std::size_t>(i)] = ai - bi;
    }
    p.constant = 1.0;
    return p;
}

// The excitation an independent source puts in the system, per unit of its value: a
// voltage source in the row of its branch current, a current source between its nodes.
Polynomial sourceNumerator(const RunState& run, const NetworkFunctions& cofactors, int element) {
    const Element& e = run.ElementTable[static_cast<std::size_t>(element)];
    if (e.kind() == 'V') return cofactors.numerator[static_cast<std::size_t>(e.branchCurrent())];
    return injectionNumerator(cofactors, e.negativeNode(), e.positiveNode());
}

}  // namespace

NoiseFunctions computeNoiseFunctions(const RunState& run, const SystemMatrix& system, int output,
                                     int inputElement, std::vector<NoiseSource> sources,
                                     AnalysisHost& host, const EngineOptions& engine) {
    const int n = run.variableCount;
    const SystemMatrix transposed = transposedWithUnitExcitation(system, n, output);
    NetworkFunctions cofactors;
    AnalysisLog quiet([](std::string_view) {});
    const ExpansionCounts counts = computeNetworkFunctions(transposed, n, cofactors, quiet, host, engine);
    NoiseFunctions result;
    if (counts.cancelled) {
        result.cancelled = true;
        return result;
    }
    result.denominator = cofactors.denominator;
    result.denominator.constant = 1.0;
    for (const NoiseSource& source : sources)
        result.transfers.push_back(injectionNumerator(cofactors, source.fromNode, source.toNode));
    result.sources = std::move(sources);
    if (inputElement != 0) {
        result.inputGain = sourceNumerator(run, cofactors, inputElement);
        result.inputGain->constant = 1.0;
    }
    return result;
}

}  // namespace corvane::noise
