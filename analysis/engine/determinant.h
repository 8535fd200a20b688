// The network functions as exact polynomials in s: the denominator is the determinant of
// the system, the numerator of variable k the determinant with column k replaced by the
// excitation (Cramer's rule), each by recursive cofactor (Laplace) expansion.
#pragma once

#include "analysis_host.h"
#include "analysis_log.h"
#include "engine_options.h"
#include "expansion_counts.h"
#include "mna.h"
#include "network_functions.h"

namespace corvane {

/// Fills the denominator and numerators 1..n from the system (n = variableCount) and sets
/// every numerator's constant to 1. Logs the products counted for each determinant with
/// `listDetails`, then the time used; says once when the memory for minors runs
/// out. From options.progressDelay on, shows the host its progress; when the host asks to
/// stop, returns at once with `cancelled` set and logs nothing more. An overflow or
/// invalid operation in an expansion throws FloatingPointFault.
ExpansionCounts computeNetworkFunctions(const SystemMatrix& matrix, int n,
                                        NetworkFunctions& functions, AnalysisLog& log,
                                        AnalysisHost& host, const EngineOptions& options = {},
                                        bool listDetails = false);

}  // namespace corvane
