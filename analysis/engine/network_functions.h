// The network functions of a circuit: one denominator and a numerator per variable, as
// polynomials in s.
#pragma once

#include <vector>

#include "polynomial.h"
#include "run_state.h"

namespace corvane {

struct NetworkFunctions {
    Polynomial denominator;
    /// Indexed by variable 1..n; entry 0 (ground) is never computed. Sized for the
    /// netlist format's limit; an engine for larger circuits grows it.
    std::vector<Polynomial> numerator = std::vector<Polynomial>(MaxVariables + 1);
    /// Set by the integration step when it multiplied the denominator by s: one of the
    /// denominator's roots at s = 0 is then the step excitation's 1/s, not the circuit's.
    bool denominatorRaised = false;
};

}  // namespace corvane
