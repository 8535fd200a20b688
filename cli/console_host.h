// The analysis host of the command line: the options stand for the controls of the
// options and variables windows, and the parameter wait passes at once, as if "Aplicar"
// had been pressed.
#pragma once

#include <signal.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "analysis.h"
#include "analysis_host.h"
#include "symbolic_analysis.h"

namespace corvane::cli {

struct AnalysisOptions {
    bool listStamps = false;
    bool normalize = true;
    bool listDetails = false;
    /// The value of Edisp, checked as "Aplicar" checks it (parseDispersion).
    double dispersion = 1e9;
    /// Variable numbers or names selected in the variables list; "todas" selects all.
    std::vector<std::string> selection;
    bool listPolesAndZeros = false;
    bool listMeasures = false;
    /// --simbolica, --simbolos and --limite-termos.
    bool symbolic = false;
    symbolic::SymbolicOptions symbolicOptions;
};

class ConsoleHost : public AnalysisHost {
public:
    ConsoleHost(AnalysisOptions options, std::FILE* err)
        : options_(std::move(options)), err_(err) {}

    void attach(Analysis& analysis) { analysis_ = &analysis; }
    /// A file written with the result files (--json), as part of the same set.
    void addCompanionFile(CompanionFile file) { companions_.push_back(std::move(file)); }
    std::vector<CompanionFile> companionFiles() const override { return companions_; }

    bool listStamps() const override { return options_.listStamps; }
    bool normalize() const override { return options_.normalize; }
    bool listDetails() const override { return options_.listDetails; }
    bool listPolesAndZeros() const override { return options_.listPolesAndZeros; }
    bool listMeasures() const override { return options_.listMeasures; }
    void clearVariableList() override { variables_.clear(); }
    void addVariable(std::string_view name) override { variables_.emplace_back(name); }
    bool isSelected(int k) const override;
    void enableListResults(bool) override {}
    void enableVariablesMenu() override {}
    void showParameterWindows() override {}
    WaitStatus processPendingEvents() override;
    /// The symbolic analysis with --simbolica: its progress on standard error and Ctrl-C
    /// as in the expansion.
    ListingOutcome afterNumericListing(const RunState& run, const NetworkFunctions& functions,
                                       AnalysisLog& log) override;
    /// On a terminal, one line of standard error that rewrites itself.
    ProgressStatus showProgress(double fraction) override;
    /// Ctrl-C was pressed while an InterruptCatcher was alive.
    bool cancelRequested() const override;
    void endProgress() override;

    /// What the symbolic analysis of the last run listed (--simbolica), for --json.
    const std::optional<symbolic::SymbolicListing>& symbolicListing() const {
        return symbolicListing_;
    }

private:
    bool selects(const std::string& entry, int k) const;
    void warnAboutUnknownSelections() const;

    AnalysisOptions options_;
    std::FILE* err_;
    Analysis* analysis_ = nullptr;
    std::vector<std::string> variables_;
    std::vector<CompanionFile> companions_;
    bool progressShown_ = false;
    std::optional<symbolic::SymbolicListing> symbolicListing_;
};

/// While alive, Ctrl-C (SIGINT) does not end the process but asks the analysis to stop;
/// the previous handling comes back at its end.
class InterruptCatcher {
public:
    InterruptCatcher();
    ~InterruptCatcher();
    InterruptCatcher(const InterruptCatcher&) = delete;
    InterruptCatcher& operator=(const InterruptCatcher&) = delete;

private:
    struct sigaction previous_;
};

}  // namespace corvane::cli
