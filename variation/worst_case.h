// The worst case of a toleranced circuit: for each figure, the two corners where every
// element sits at an end of its tolerance on the side its sensitivity says moves the
// figure up (or down), each analysed exactly, beside the first-order estimate
// y·(1 ± Σ|S|·t).
#pragma once

#include <optional>
#include <span>
#include <vector>

#include "circuit_figures.h"
#include "run_state.h"
#include "sensitivity.h"
#include "tolerances.h"

namespace corvane::variation {

struct WorstCase {
    FigureRef figure;
    double nominal = 0.0;
    /// The corner that makes |y| largest, and the one that makes it smallest, analysed;
    /// none where the analysis failed or the corner has another number of pole pairs.
    std::optional<double> largest;
    std::optional<double> smallest;
    /// y·(1 + Σ|S|·t) and y·(1 − Σ|S|·t).
    double largestEstimate = 0.0;
    double smallestEstimate = 0.0;
};

/// The worst cases of every figure that depends on a toleranced element in `report`, for the
/// circuit `run` whose sensitivities they are, with the gains of `variables` at `omega` (rad/s).
std::vector<WorstCase> worstCases(const RunState& run, const SensitivityReport& report,
                                  std::span<const ElementTolerance> tolerances,
                                  std::span<const int> variables, double omega);

/// The circuit at one corner: each toleranced element moved by its tolerance in the
/// direction of `sign`·(the sign of its sensitivity to `figure`); elements with no
/// sensitivity to it stay.
RunState cornerCircuit(const RunState& run, const SensitivityReport& report,
                       std::span<const ElementTolerance> tolerances, const FigureRef& figure,
                       double sign);

}  // namespace corvane::variation
