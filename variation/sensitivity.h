// Normalised sensitivities S = (x/y)·∂y/∂x of the figures of a circuit to each element's
// value x, exactly. The determinant and every Cramer numerator are polynomials of degree
// one in the value one stamp puts in the system (the stamp is a rank-one update; the
// coupling, whose stamp is two symmetric entries, makes them of degree two in its mutual
// inductance), so x·∂D/∂x follows exactly from the expansions at the stamped value times
// 1 and 2 (and 3 for a coupling): an identity of polynomials, not a finite difference. A
// pole moves by dp/dx = −(∂D/∂x)(p)/D'(p); a gain H = N/D by
// S = x·∂N/∂x / N − x·∂D/∂x / D.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "circuit_figures.h"
#include "run_state.h"

namespace corvane::variation {

/// One figure's sensitivity to one element.
struct Sensitivity {
    FigureRef figure;
    /// The element, 1..elementCount.
    int element = 0;
    double value = 0.0;
};

struct SensitivityReport {
    /// The figures at the netlist's values.
    CircuitFigures nominal;
    /// Ranked by |S|, largest first; a magnitude below 1e-12 (the rounding residue of a
    /// sensitivity that is zero) is given as 0; the figures with no sensitivity (a pole of
    /// multiplicity two or more, a gain of zero) have no rows. The −3 dB frequency has
    /// no exact sensitivity and no rows.
    std::vector<Sensitivity> rows;
};

/// x·∂P/∂x of the raw expansion of `run` (denominator and every numerator, the
/// excitation's factor s still in them) for element `element`'s value x, the couplings of
/// an inductor following it. No value when an expansion fails or `stop` stops it.
std::optional<NetworkFunctions> scaledDerivative(const RunState& run, int element,
                                                 const std::function<bool()>& stop = {});

/// The sensitivities of every figure of `run` (with the gains of `variables` at `omega`,
/// rad/s) to every element that has a value. No value when the nominal analysis fails or
/// `stop` stopped it; `progress` is told the fraction done after each element.
std::optional<SensitivityReport> computeSensitivities(
    const RunState& run, std::span<const int> variables, double omega,
    const std::function<bool()>& stop = {}, const std::function<void(double)>& progress = {});

/// The sensitivity of `figure` to `element` in `report`; none when it has no row.
std::optional<double> findSensitivity(const SensitivityReport& report, const FigureRef& figure,
                                      int element);

}  // namespace corvane::variation
