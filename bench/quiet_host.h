// A host for the benchmarks: the default options, nothing shown, no variable selected.
#pragma once

#include <string_view>

#include "analysis_host.h"

namespace corvane::bench {

class QuietHost : public AnalysisHost {
public:
    AnalysisOptions options() const override { return {}; }
    void clearVariableList() override {}
    void addVariable(std::string_view) override {}
    void enableListResults(bool) override {}
    void enableVariablesMenu() override {}
    void showParameterWindows() override {}
    WaitStatus processPendingEvents() override { return WaitStatus::Waiting; }
};

}  // namespace corvane::bench
