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
#include "analysis_options.h"
#include "listing_step.h"

namespace corvane::cli {

/// The options of `analisar` as typed: the variables by number or name, the dispersion as
/// "Aplicar" would take it.
struct ConsoleOptions {
    /// Everything but the selection, which needs the circuit's variables.
    AnalysisOptions analysis;
    /// The value of Edisp, checked as "Aplicar" checks it (parseDispersion).
    double dispersion = 1e9;
    /// Variable numbers or names selected in the variables list; "todas" selects all.
    std::vector<std::string> selection;
};

class ConsoleHost : public AnalysisHost {
public:
    ConsoleHost(ConsoleOptions options, std::FILE* err)
        : options_(std::move(options)), err_(err) {}

    void attach(Analysis& analysis) { analysis_ = &analysis; }

    /// The options with the selection resolved against the circuit's variables.
    AnalysisOptions options() const override;
    void clearVariableList() override { variables_.clear(); }
    void addVariable(std::string_view name) override { variables_.emplace_back(name); }
    void enableListResults(bool) override {}
    void enableVariablesMenu() override {}
    void showParameterWindows() override {}
    WaitStatus processPendingEvents() override;
    /// On a terminal, one line of standard error that rewrites itself.
    ProgressStatus showProgress(double fraction) override;
    /// Ctrl-C was pressed while an InterruptCatcher was alive.
    bool cancelRequested() const override;
    void endProgress() override;

private:
    bool selects(const std::string& entry, int k) const;
    bool isSelected(int k) const;
    void warnAboutUnknownSelections() const;

    ConsoleOptions options_;
    std::FILE* err_;
    Analysis* analysis_ = nullptr;
    std::vector<std::string> variables_;
    bool progressShown_ = false;
};

/// Files written with the result files, as part of the same set (--json).
class CompanionFilesStep : public ListingStep {
public:
    void add(CompanionFile file) { files_.push_back(std::move(file)); }
    std::vector<CompanionFile> companionFiles() const override { return files_; }

private:
    std::vector<CompanionFile> files_;
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
