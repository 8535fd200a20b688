// One element's value changed in a copy of a circuit: what the root locus, the parameter
// steps and the tolerances all do before they analyse the circuit again.
#pragma once

#include <string_view>

#include "run_state.h"

namespace corvane {

/// Whether elements of this kind have a value at all (every kind but the nullor O).
bool kindHasValue(char kind);

/// Whether the value enters the system matrix, and so moves the poles: sources drive the
/// circuit without moving them.
bool valueMovesPoles(char kind);

/// The element named `name`, in any case as the netlist's names are matched elsewhere;
/// 0 when there is none.
int findElementNamed(const RunState& run, std::string_view name);

/// The run with element `element`'s value replaced; the mutual inductance of a coupling of
/// a changed inductor (or of a changed coupling) follows. Throws FloatingPointFault when
/// that product overflows.
RunState withElementValue(const RunState& run, int element, double value);

/// Sets element `element`'s value in place, couplings following, as withElementValue.
void setElementValue(RunState& run, int element, double value);

}  // namespace corvane
