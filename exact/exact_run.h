// The exact engine in a run: the functions of a circuit of more than 25 unknowns, computed
// exactly and rounded to doubles once, for the listing and everything after it.
#pragma once

#include "analysis.h"

namespace corvane::exact {

/// A LargeCircuitEngine. Logs what it does, its progress through the host, and refuses
/// with a message naming the numbers when the circuit passes what it can take: more memory
/// than allowed, a degree past MaxLiftedDegree, a coefficient past the range
/// of a double.
LargeEngineOutcome exactNetworkFunctions(const RunState& run, NetworkFunctions& functions,
                                         AnalysisLog& log, AnalysisHost& host, bool listDetails);

}  // namespace corvane::exact
