// What an analysis run needs of the windows, and nothing more: the options window's check
// boxes, the variables list, the "Listar resultados" button, the "Variáveis" menu item and
// the event processing of the parameter wait. The windows implement it; so do the
// command-line front end and the tests.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

class AnalysisLog;
class RunWarnings;
struct NetworkFunctions;
struct RunState;

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

/// How the host's own part after the numeric listing ended (the symbolic analysis).
enum class ListingOutcome {
    /// The run goes on to save its results.
    Done,
    /// The host printed the failure line that ends the run; nothing is saved.
    Failed,
    /// The user asked to stop: the run ends with "Análise cancelada.", nothing is saved.
    Cancelled,
};

class AnalysisHost {
public:
    virtual ~AnalysisHost() = default;

    /// CBestampas: list the system after each element's stamp.
    virtual bool listStamps() const = 0;
    /// CBnorm: normalise the polynomials.
    virtual bool normalize() const = 0;
    /// CBdetalhes: list the multiplication counts and one line per saved file.
    virtual bool listDetails() const = 0;
    /// CBpolos: list the roots of every polynomial listed. Off for hosts without the box.
    virtual bool listPolesAndZeros() const { return false; }
    /// CBmedidas: list the measures of each selected variable's frequency response. Off for
    /// hosts without the box.
    virtual bool listMeasures() const { return false; }

    /// LBsel: clear the list, then add the variables 1..n in order, none selected.
    virtual void clearVariableList() = 0;
    virtual void addVariable(std::string_view name) = 0;
    /// Whether variable `k` (list entry k - 1) is selected; an entry the list does not
    /// have counts as not selected.
    virtual bool isSelected(int k) const = 0;

    /// Button1 of the variables window, "Listar resultados".
    virtual void enableListResults(bool enabled) = 0;
    /// The main menu item "Variáveis"; once enabled it stays enabled.
    virtual void enableVariablesMenu() = 0;
    /// Shows the options window, then the variables window.
    virtual void showParameterWindows() = 0;
    /// Processes pending window events, sleeping until at least one arrives; "Aplicar"
    /// runs from inside this call.
    virtual WaitStatus processPendingEvents() = 0;

    /// Runs once per analysis right after the numeric listing, before the files are
    /// saved, with the run's circuit and functions: where the optional symbolic analysis
    /// lists its results. Nothing by default. A long listing shows its progress and is
    /// cancelled as the expansion is (showProgress, cancelRequested, endProgress).
    virtual ListingOutcome afterNumericListing(const RunState&, const NetworkFunctions&,
                                               AnalysisLog&) {
        return ListingOutcome::Done;
    }

    /// The files written with the result files (the command line's --json); none by
    /// default. None may be the netlist or one of the run's result files.
    virtual std::vector<CompanionFile> companionFiles() const { return {}; }

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
