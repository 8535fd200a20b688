// A part of the listing that follows the numeric functions: the roots, the measures, the
// symbolic functions, a document written with the result files. The run walks a list of
// them, each deciding from the options whether it has anything to say, so that a new
// kind of answer is a new step rather than a new path through the run.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "analysis_host.h"
#include "analysis_log.h"
#include "analysis_options.h"
#include "determinant.h"
#include "run_state.h"

namespace corvane {

/// What a step sees of the run.
struct ListingContext {
    const RunState& run;
    const NetworkFunctions& functions;
    const AnalysisOptions& options;
    const EngineOptions& engine;
    AnalysisLog& log;
    /// For the progress and the cancel of a long step.
    AnalysisHost& host;
};

class ListingStep {
public:
    virtual ~ListingStep() = default;

    /// Lines after the denominator's coefficients.
    virtual void listAfterDenominator(const ListingContext&) {}
    /// Lines after the coefficients of the numerator of selected variable `k`.
    virtual void listAfterNumerator(const ListingContext&, int /*k*/) {}
    /// Once per analysis, after the whole numeric listing and before the files are saved
    /// (a listing again by "Listar resultados" does not come here).
    virtual ListingOutcome afterListing(const ListingContext&) { return ListingOutcome::Done; }
    /// The files written with the result files, as part of the same set. None may be the
    /// netlist or one of the run's result files.
    virtual std::vector<CompanionFile> companionFiles() const { return {}; }
    /// What the step adds to the JSON document of the run, once the run has saved.
    virtual void addToDocument(nlohmann::ordered_json& /*document*/) const {}
};

}  // namespace corvane
