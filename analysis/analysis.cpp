#include "analysis.h"

#include "c_locale.h"
#include "expansion_forecast.h"
#include "numeric_listing_steps.h"
#include "plain_expansion.h"
#include "netlist_reader.h"
#include "post_process.h"
#include "results.h"

namespace corvane {

namespace {

// Marks the run as under way for the lifetime of the guard, whatever way it ends.
class RunningGuard {
public:
    explicit RunningGuard(bool& running) : running_(running) { running_ = true; }
    ~RunningGuard() { running_ = false; }
    RunningGuard(const RunningGuard&) = delete;
    RunningGuard& operator=(const RunningGuard&) = delete;

private:
    bool& running_;
};

}  // namespace

Analysis::Analysis(AnalysisHost& host, AnalysisLog& log)
    : host_(host), log_(log), steps_(numericListingSteps()) {}

ListingContext Analysis::listingContext(const AnalysisOptions& options) {
    return {run_, functions_, options, engine_, log_, host_};
}

RunOutcome Analysis::runAnalysis(const std::string& path) {
    if (running_) return RunOutcome::Refused;
    RunningGuard guard(running_);
    ScopedCLocale locale;

    log_.print("%s", "");
    run_.tooManyNodes = 0;
    run_.elementCount = 0;
    run_.variableCount = 0;
    run_.VariableNames[0] = VariableName{'0'};
    warnings_.clear();
    // The state is about to be replaced piece by piece: no listing of a mixture of two runs.
    host_.enableListResults(false);

    // The limits are the box's or the option's as it stands when the netlist is read.
    const RunLimits limits = host_.options().sizeLimitsLifted ? LiftedRunLimits : RunLimits{};
    if (!readNetlist(run_, log_, path, limits)) return RunOutcome::Failed;
    // As a netlist named like a result file: refused before the run writes anything.
    if (!companionsSpareRunFiles(log_, run_, steps_)) return RunOutcome::Failed;
    if (!waitForParameters()) return RunOutcome::Cancelled;
    options_ = host_.options();

    const int n = run_.variableCount;
    bool cancelled = false;
    const bool computed = computeFunctions(n, cancelled);
    // Stopped before anything is saved: the result files of the previous run stay whole.
    if (cancelled || host_.cancelRequested()) {
        log_.print("Análise cancelada.");
        return RunOutcome::Cancelled;
    }
    if (!computed) return RunOutcome::Failed;
    if (!postProcess(functions_, n, options_.normalize, dispersion_, log_, warnings_)) {
        return RunOutcome::Failed;
    }
    // Only now are the results what the listing calls them: a fault in the post-processing
    // leaves raw determinants behind.
    host_.enableListResults(true);
    switch (saveResults(listingContext(options_), steps_, warnings_)) {
        case ListingOutcome::Done:
            return warnings_.empty() ? RunOutcome::Succeeded : RunOutcome::SucceededWithWarnings;
        case ListingOutcome::Cancelled:
            log_.print("Análise cancelada.");
            return RunOutcome::Cancelled;
        case ListingOutcome::Failed:
            break;
    }
    // A Ctrl-C while the set was written has reached the host's handler by now.
    return host_.cancelRequested() ? RunOutcome::Cancelled : RunOutcome::Failed;
}

bool Analysis::computeFunctions(int n, bool& cancelled) {
    if (n <= MaxVariables) {
        functions_.numerator.resize(static_cast<std::size_t>(MaxVariables) + 1);
        assembleSystem(run_, matrix_, log_, options_.listStamps);
        if (options_.listDetails) {
            log_.print("Máximo número de multiplicações esperado: %Lg", expectedMultiplications(n));
        }
        announceLongExpansion(n);
        counts_ = computeNetworkFunctions(matrix_, n, functions_, log_, host_, engine_,
                                          options_.listDetails);
        cancelled = counts_.cancelled;
        return true;
    }
    // Only a run with the limits lifted reads a circuit this large.
    counts_ = ExpansionCounts{};
    if (!largeEngine_) {
        log_.print("Nenhum motor para circuitos de mais de %d variáveis", MaxVariables);
        return false;
    }
    if (options_.listStamps) {
        log_.print("Estampas não listadas: o circuito tem %d variáveis (máximo %d)", n,
                   MaxVariables);
    }
    functions_ = NetworkFunctions{};
    functions_.numerator.assign(static_cast<std::size_t>(n) + 1, Polynomial{});
    switch (largeEngine_(run_, functions_, log_, host_, options_.listDetails)) {
        case LargeEngineOutcome::Done:
            return true;
        case LargeEngineOutcome::Cancelled:
            cancelled = true;
            return false;
        case LargeEngineOutcome::Failed:
            break;
    }
    return false;
}

// A run of more than a few seconds is said before it starts: the window and the terminal
// then show its progress, and it can be cancelled.
void Analysis::announceLongExpansion(int n) {
    if (engine_.method != ExpansionMethod::Memoised || n < SmallestForecastOrder) return;
    if (const auto line = expansionForecastLine(estimateDistinctMinors(matrix_, n))) {
        log_.print("%s", line->c_str());
    }
}

void Analysis::listResults() {
    ScopedCLocale locale;
    const AnalysisOptions now = host_.options();
    corvane::listResults(listingContext(now), steps_);
}

void Analysis::applyParameters(double dispersion) {
    parametersGiven_ = 1;
    dispersion_ = dispersion;
}

bool Analysis::waitForParameters() {
    log_.print("Linha de comando não encontrada");
    parametersGiven_ = 0;
    host_.clearVariableList();
    for (int k = 1; k <= run_.variableCount; ++k)
        host_.addVariable(run_.variableName(k));
    host_.enableListResults(false);
    host_.enableVariablesMenu();
    host_.showParameterWindows();
    while (!parametersGiven_) {
        if (host_.processPendingEvents() == WaitStatus::Cancelled) {
            log_.print("Análise cancelada.");
            return false;
        }
    }
    log_.print("Parâmetros de análise dados");
    return true;
}

}  // namespace corvane
