// The loop gain of one controlled source (E, F, G, H) or op-amp with finite gain, by
// Blackman's rule: the determinant is affine in that element's gain k, D(k) = D(0) + k·D1,
// so the return ratio is T = k·D1/D(0) and D(k) = D(0)·(1 + T). Every numerator is affine in
// k too, N(k) = N0 + k·N1, which gives the asymptotic gain A∞ = N1/D1 (k → ∞) and the direct
// transmission ρ = N0/D(0) (k = 0), so that N(k)/D(k) = A∞·T/(1 + T) + ρ/(1 + T).
#pragma once

#include <array>
#include <optional>
#include <string>

#include "analysis_host.h"
#include "engine_options.h"
#include "network_functions.h"
#include "run_state.h"

namespace corvane::loop {

/// The element `name` names (matched as the netlist matches names: the kind letter in
/// either case), or why it has no loop gain: "Fonte X1 inexistente", "R1 não é uma fonte
/// controlada nem um amplificador operacional com ganho finito".
struct LoopSource {
    int element = 0;
    std::string problem;
};
LoopSource findLoopSource(const RunState& run, const std::string& name);

/// The three runs of the engine, as the determinants came out (constants 1).
struct LoopFunctions {
    /// The element's own value k (A0 of an op-amp, whose pole stays as it is).
    double gain = 0.0;
    /// The circuit as it is: D(k) and N(k).
    NetworkFunctions closedLoop;
    /// The element's gain set to zero: D(0) and N0.
    NetworkFunctions withoutGain;
    /// The parts in k: D1 and N1.
    NetworkFunctions gainParts;
    bool cancelled = false;
};

/// The runs of the engine for element `element` of `run` (see findLoopSource). An overflow
/// throws FloatingPointFault; a cancel sets `cancelled`.
LoopFunctions computeLoopFunctions(const RunState& run, int element, AnalysisHost& host,
                                   const EngineOptions& engine);

/// A ratio of polynomials: constant·numerator / denominator, constants held in numerator.
struct Ratio {
    Polynomial numerator;
    Polynomial denominator;
};

/// The loop gain and its companions, cleaned of the expansion's cancellation residue and
/// made monic (the gain in the numerator's constant) as the listing shows functions.
struct LoopGain {
    std::string source;
    Ratio loopGain;
    /// D(k): its roots are the closed-loop poles.
    Polynomial closedLoopDenominator;
    /// Per variable 1..n: A∞ and ρ.
    std::array<Ratio, MaxVariables + 1> asymptotic{};
    std::array<Ratio, MaxVariables + 1> direct{};
};

/// What stops a loop gain from being listed, in the log's words; none when it can be.
std::optional<std::string> loopGainProblem(const LoopFunctions& functions,
                                           const std::string& source);

/// The functions of `functions` as listed.
LoopGain loopGainOf(const LoopFunctions& functions, const std::string& source, int variables);

}  // namespace corvane::loop
