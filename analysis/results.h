// The results of a run: the listing in the log and the result files beside the netlist.
#pragma once

#include "analysis_host.h"
#include "analysis_log.h"
#include "determinant.h"
#include "run_state.h"
#include "run_warnings.h"

namespace corvane {

/// One line "a<i>: <coef>" per coefficient from s^0 upwards, then "Cte: <constant>".
void listPolynomial(AnalysisLog& log, const Polynomial& p);

/// "Sistema resolvido:", the denominator, then the numerators of the variables the host
/// says are selected, in ascending order.
void listResults(AnalysisLog& log, const NetworkFunctions& functions, const RunState& run,
                 const AnalysisHost& host);

/// Whether the host's companion files spare the run's netlist and result files (by name
/// and by identity, links included); the log names the first one that does not. Asked
/// before anything is written.
bool companionsSpareRunFiles(AnalysisLog& log, const RunState& run, const AnalysisHost& host);

/// The last stage of a run: the listing, the host's part after it, the denominator file
/// <baseName>.d and one numerator file <baseName>.n<k> per variable with the host's
/// companion files, all put in place together, and the closing lines. Failed when a file
/// could not be written (the log then names it) or a Ctrl-C stopped the writing ("Análise
/// cancelada."), or the host's part failed; Cancelled when the user stopped the host's
/// part, before anything was written. The closing line is "Análise terminada com avisos."
/// when `warnings` holds any, those of the post-processing and those about the files
/// written here; the companion files are made with all of them.
ListingOutcome saveResults(AnalysisLog& log, const NetworkFunctions& functions, const RunState& run,
                           AnalysisHost& host, RunWarnings& warnings);

}  // namespace corvane
