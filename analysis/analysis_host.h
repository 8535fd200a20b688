// What an analysis run needs of the front end that started it, and nothing more: the
// options as a value, and the interaction (the variables list, the "Listar resultados"
// button, the "Variáveis" menu item, the parameter wait, the progress and the cancel).
// The windows implement it; so do the command-line front end and the tests.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis_options.h"

namespace corvane {

class RunWarnings;

enum class WaitStatus {
    /// Go on waiting for "Aplicar" (or stop, when it has set the parameters).
    Waiting,
    /// The user closed the options window or is quitting: the run ends.
    Cancelled,
};

enum class ProgressStatus {
    /// The expansion goes on.
    Continue,
    /// The user asked to stop: the run ends with "Análise cancelada.".
    Cancel,
};

/// A file that a front end writes with the result files of a run, as part of the same set:
/// replaced with them or not at all.
struct CompanionFile {
    std::string path;
    /// How the log names it ("JSON").
    std::string name;
    /// Its contents, asked for once the run's results and all its warnings (those about
    /// the result files too) are known, just before the set is written.
    std::function<std::string(const RunWarnings&)> text;
};

/// How a step after the numeric listing ended (the symbolic analysis).
enum class ListingOutcome {
    /// The run goes on to save its results.
    Done,
    /// The step printed the failure line that ends the run; nothing is saved.
    Failed,
    /// The user asked to stop: the run ends with "Análise cancelada.", nothing is saved.
    Cancelled,
};

class AnalysisHost {
public:
    virtual ~AnalysisHost() = default;

    /// The options as they stand: asked once the parameters are given, and again by
    /// "Listar resultados".
    virtual AnalysisOptions options() const = 0;

    /// LBsel: clear the list, then add the variables 1..n in order, none selected.
    virtual void clearVariableList() = 0;
    virtual void addVariable(std::string_view name) = 0;

    /// Button1 of the variables window, "Listar resultados".
    virtual void enableListResults(bool enabled) = 0;
    /// The main menu item "Variáveis"; once enabled it stays enabled.
    virtual void enableVariablesMenu() = 0;
    /// Shows the options window, then the variables window.
    virtual void showParameterWindows() = 0;
    /// Processes pending window events, sleeping until at least one arrives; "Aplicar"
    /// runs from inside this call.
    virtual WaitStatus processPendingEvents() = 0;

    /// A long expansion, from half a second on, shows how far it is (0 to 1) at intervals
    /// of a few tens of milliseconds; the windows process their events here. A host
    /// without a display shows nothing and never cancels.
    virtual ProgressStatus showProgress(double /*fraction*/) { return ProgressStatus::Continue; }
    /// Whether the user has asked the run to stop; asked every few milliseconds during the
    /// expansion, so it only reads a flag.
    virtual bool cancelRequested() const { return false; }
    /// The expansion has ended, finished or cancelled: what showProgress showed goes away.
    virtual void endProgress() {}
};

}  // namespace corvane
