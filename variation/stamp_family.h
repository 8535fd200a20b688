// A circuit's raw network functions as polynomials in the value one element stamps. The
// stamp of every kind but the coupling is a rank-one update of the system, so the
// determinant and each Cramer numerator are of degree one in that value; the coupling's
// two symmetric entries make them of degree two in its mutual inductance. Two expansions
// (three for a coupling) at the stamped value times 1, 2 (and 3) give those polynomials
// exactly: every other value, and the derivative, follow from them with no further
// expansion.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "network_functions.h"
#include "run_state.h"

namespace corvane::variation {

/// The raw functions of one expansion: the denominator at 0, numerator k at k; the
/// constants of raw expansions say nothing, so only the coefficients count.
using RawFunctions = std::vector<Polynomial>;

RawFunctions rawFunctionsOf(const NetworkFunctions& functions, int n);
NetworkFunctions asNetworkFunctions(const RawFunctions& raw);

/// Σ weights[i]·ps[i], coefficient by coefficient, with constant 1.
RawFunctions combination(const std::vector<const RawFunctions*>& ps,
                         const std::vector<double>& weights);

/// The run with the value that element `element` stamps multiplied by `factor`, nothing
/// else changed: a resistor's conductance (its resistance divided), a coupling's mutual
/// inductance with its coefficient; the couplings of an inductor keep theirs.
RunState withStampScaled(const RunState& run, int element, double factor);

class StampFamily {
public:
    /// The family of element `element` of `run`, whose raw expansion at its own value is
    /// `nominal`; no value when an expansion fails or `stop` stops one.
    static std::optional<StampFamily> of(const RunState& run, const RawFunctions& nominal,
                                         int element, const std::function<bool()>& stop = {});

    /// The raw functions with the stamped value times t.
    RawFunctions at(double t) const;

    /// t·dP/dt at t = 1: the stamped value v times ∂P/∂v at the circuit's own value.
    RawFunctions scaledDerivative() const;

private:
    /// The expansions at t = 1, 2 and, for a coupling, 3.
    std::vector<RawFunctions> samples_;
};

}  // namespace corvane::variation
