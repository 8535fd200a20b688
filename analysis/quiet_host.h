// A host for runs that nobody watches: the benchmarks, the root locus's analyses of one
// circuit at many values, the noise command. It shows nothing, its wait passes at once
// with the default options, and it stops when its stop function says so.
#pragma once

#include <functional>
#include <string_view>
#include <utility>

#include "analysis_host.h"

namespace corvane {

class QuietHost : public AnalysisHost {
public:
    QuietHost() = default;
    explicit QuietHost(std::function<bool()> stop) : stop_(std::move(stop)) {}

    AnalysisOptions options() const override { return {}; }
    void clearVariableList() override {}
    void addVariable(std::string_view) override {}
    void enableListResults(bool) override {}
    void enableVariablesMenu() override {}
    void showParameterWindows() override {}
    WaitStatus processPendingEvents() override { return WaitStatus::Waiting; }
    bool cancelRequested() const override { return stop_ && stop_(); }

private:
    std::function<bool()> stop_;
};

}  // namespace corvane
