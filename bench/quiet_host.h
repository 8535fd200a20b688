// A host for the benchmarks: the default options, nothing shown, no variable selected.
#pragma once

#include <string_view>

#include "analysis_host.h"

namespace corvane::bench {

class QuietHost : public AnalysisHost {
public:
    bool listStamps() const override { return false; }
    bool normalize() const override { return true; }
    bool listDetails() const override { return false; }
    void clearVariableList() override {}
    void addVariable(std::string_view) override {}
    bool isSelected(int) const override { return false; }
    void enableListResults(bool) override {}
    void enableVariablesMenu() override {}
    void showParameterWindows() override {}
    WaitStatus processPendingEvents() override { return WaitStatus::Waiting; }
};

}  // namespace corvane::bench
