// An analysis host for tests: the options are plain fields, every call the run makes on
// the windows is recorded, and the parameter wait "presses Aplicar" at its first pass
// (or cancels, when asked to).
#pragma once

#include <string>
#include <vector>

#include "analysis.h"
#include "analysis_host.h"
#include "analysis_log.h"
#include "c_locale.h"

namespace corvane::test {

class RecordingHost : public AnalysisHost {
public:
    bool stamps = false;
    bool normalization = true;
    bool details = false;
    bool polesAndZeros = false;
    bool measures = false;
    SymbolicSettings symbolic;
    std::string dispersionText = "1e9";
    bool cancelWait = false;
    /// Entries of the variables list that are selected (variable numbers).
    std::vector<int> selected;

    std::vector<std::string> variables;
    std::vector<std::string> calls;
    bool listResultsEnabled = true;
    Analysis* analysis = nullptr;

    AnalysisOptions options() const override {
        AnalysisOptions options;
        options.listStamps = stamps;
        options.normalize = normalization;
        options.listDetails = details;
        options.listPolesAndZeros = polesAndZeros;
        options.listMeasures = measures;
        options.symbolic = symbolic;
        for (int k = 1; k <= static_cast<int>(variables.size()); ++k) {
            if (isSelected(k)) options.selectedVariables.push_back(k);
        }
        return options;
    }
    void clearVariableList() override {
        variables.clear();
        calls.push_back("clearVariableList");
    }
    void addVariable(std::string_view name) override {
        variables.emplace_back(name);
        calls.push_back("addVariable " + std::string(name));
    }
    bool isSelected(int k) const {
        if (k < 1 || k > static_cast<int>(variables.size())) return false;
        for (int s : selected)
            if (s == k) return true;
        return false;
    }
    void enableListResults(bool enabled) override {
        listResultsEnabled = enabled;
        calls.push_back(enabled ? "enableListResults" : "disableListResults");
    }
    void enableVariablesMenu() override { calls.push_back("enableVariablesMenu"); }
    void showParameterWindows() override { calls.push_back("showParameterWindows"); }
    WaitStatus processPendingEvents() override {
        calls.push_back("processPendingEvents");
        if (cancelWait || !analysis) return WaitStatus::Cancelled;
        analysis->applyParameters(textToDouble(dispersionText.c_str()));
        return WaitStatus::Waiting;
    }

    /// The fractions shown, in order; the expansion is cancelled at the showing numbered
    /// `cancelAtShowing` (1 for the first; 0 never).
    std::vector<double> progress;
    int cancelAtShowing = 0;
    /// Asked for by cancelRequested, as a signal handler would set it.
    bool stopRequested = false;
    int progressEnded = 0;
    ProgressStatus showProgress(double fraction) override {
        progress.push_back(fraction);
        return static_cast<int>(progress.size()) == cancelAtShowing ? ProgressStatus::Cancel
                                                                    : ProgressStatus::Continue;
    }
    bool cancelRequested() const override { return stopRequested; }
    void endProgress() override { ++progressEnded; }
};

/// An Analysis with a recording host and a log captured line by line.
struct AnalysisFixture {
    RecordingHost host;
    std::vector<std::string> lines;
    AnalysisLog log{[this](std::string_view line) { lines.emplace_back(line); }};
    Analysis analysis{host, log};

    AnalysisFixture() { host.analysis = &analysis; }

    /// Runs the analysis of `path` and returns the log lines it printed.
    std::vector<std::string> run(const std::string& path) {
        lines.clear();
        outcome = analysis.runAnalysis(path);
        return lines;
    }
    RunOutcome outcome = RunOutcome::Refused;
};

}  // namespace corvane::test
