// The results of a run: the listing in the log and the result files beside the netlist.
#pragma once

#include <memory>
#include <vector>

#include "analysis_host.h"
#include "analysis_log.h"
#include "determinant.h"
#include "listing_step.h"
#include "run_state.h"
#include "run_warnings.h"

namespace corvane {

/// One line "a<i>: <coef>" per coefficient from s^0 upwards, then "Cte: <constant>".
void listPolynomial(AnalysisLog& log, const Polynomial& p);

using ListingSteps = std::vector<std::unique_ptr<ListingStep>>;

/// "Sistema resolvido:", the denominator, then the numerators of the selected variables in
/// ascending order, each followed by what the steps list about it.
void listResults(const ListingContext& context, const ListingSteps& steps);

/// Whether the steps' companion files spare the run's netlist and result files (by name
/// and by identity, links included); the log names the first one that does not. Asked
/// before anything is written.
bool companionsSpareRunFiles(AnalysisLog& log, const RunState& run, const ListingSteps& steps);

/// The last stage of a run: the listing, the steps after it, the denominator file
/// <baseName>.d and one numerator file <baseName>.n<k> per variable with the steps'
/// companion files, all put in place together, and the closing lines. Failed when a file
/// could not be written (the log then names it) or a Ctrl-C stopped the writing ("Análise
/// cancelada."), or a step failed; Cancelled when the user stopped a step, before anything
/// was written. The closing line is "Análise terminada com avisos." when `warnings` holds
/// any, those of the post-processing and those about the files written here; the
/// companion files are made with all of them.
ListingOutcome saveResults(const ListingContext& context, const ListingSteps& steps,
                           RunWarnings& warnings);

}  // namespace corvane
