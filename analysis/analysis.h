// One analysis run from the netlist to the result files, and the state it keeps between
// runs. The program owns exactly one Analysis for its whole life.
#pragma once

#include <functional>

#include <memory>
#include <string>

#include "analysis_host.h"
#include "analysis_options.h"
#include "analysis_log.h"
#include "determinant.h"
#include "listing_step.h"
#include "mna.h"
#include "results.h"
#include "run_state.h"
#include "run_warnings.h"

namespace corvane {

enum class RunOutcome {
    /// "Análise terminada com sucesso." was printed.
    Succeeded,
    /// The results were saved, but the run warned about them: "Análise terminada com
    /// avisos." was printed.
    SucceededWithWarnings,
    /// The run ended on a failure line of the log.
    Failed,
    /// The parameter wait or the expansion was cancelled ("Análise cancelada.").
    Cancelled,
    /// A run was already under way; nothing was done.
    Refused,
};

/// How an engine for circuits past the cofactor expansion's size ended.
enum class LargeEngineOutcome { Done, Cancelled, Failed };

/// Fills the denominator and the numerators 1..n of a circuit of more than MaxVariables
/// unknowns (the numerators already sized n + 1), logging as it goes; a failure's reason
/// is the last line of the log.
using LargeCircuitEngine = std::function<LargeEngineOutcome(
    const RunState& run, NetworkFunctions& functions, AnalysisLog& log, AnalysisHost& host,
    bool listDetails)>;

class Analysis {
public:
    /// Lists the poles, zeros and measures after the numeric functions when the options
    /// ask for them; more steps are added with addListingStep.
    Analysis(AnalysisHost& host, AnalysisLog& log);
    Analysis(const Analysis&) = delete;
    Analysis& operator=(const Analysis&) = delete;

    /// Performs one analysis of the netlist at `path`. Its outcome is what it printed and
    /// the files it wrote; the return value summarises it for front ends. A floating-point
    /// fault escapes as FloatingPointFault, with no further log line.
    RunOutcome runAnalysis(const std::string& path);

    /// The effect of "Aplicar" on the run: stores the dispersion and ends the wait.
    void applyParameters(double dispersion);

    /// "Listar resultados": lists the last run's results again, with the options the host
    /// gives now.
    void listResults();

    /// A step after those already there, walked by every later run.
    void addListingStep(std::unique_ptr<ListingStep> step) { steps_.push_back(std::move(step)); }
    /// The steps of the listing, in the order the run walks them.
    const ListingSteps& listingSteps() const { return steps_; }
    /// The options the last run was made with.
    const AnalysisOptions& options() const { return options_; }

    bool running() const { return running_; }
    bool parametersGiven() const { return parametersGiven_ != 0; }
    double dispersion() const { return dispersion_; }
    const RunState& runState() const { return run_; }
    const SystemMatrix& systemMatrix() const { return matrix_; }
    const NetworkFunctions& networkFunctions() const { return functions_; }
    /// What the last run warned about its results.
    const RunWarnings& warnings() const { return warnings_; }

    /// The engine of the circuits of more than MaxVariables unknowns, which a run reads
    /// only when its options lift the size limits.
    void setLargeCircuitEngine(LargeCircuitEngine engine) { largeEngine_ = std::move(engine); }

    /// How the determinants are expanded and how time is read (front ends and tests).
    void setEngineOptions(const EngineOptions& options) { engine_ = options; }
    const EngineOptions& engineOptions() const { return engine_; }
    /// What the last run's determinants cost.
    const ExpansionCounts& lastCounts() const { return counts_; }

private:
    bool waitForParameters();
    void announceLongExpansion(int n);
    /// The functions of the circuit just read; false when the run ends there (cancelled
    /// is then set when it was asked to stop).
    bool computeFunctions(int n, bool& cancelled);

    ListingContext listingContext(const AnalysisOptions& options);

    AnalysisHost& host_;
    AnalysisLog& log_;
    ListingSteps steps_;
    AnalysisOptions options_;
    RunState run_;
    SystemMatrix matrix_;
    NetworkFunctions functions_;
    RunWarnings warnings_;
    EngineOptions engine_;
    ExpansionCounts counts_;
    LargeCircuitEngine largeEngine_;
    double dispersion_ = 0.0;
    int parametersGiven_ = 0;
    bool running_ = false;
};

}  // namespace corvane
