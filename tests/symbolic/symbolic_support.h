// Runs the numeric analysis of a netlist, every variable selected, so that the symbolic
// analysis can be computed on the same circuit and compared with it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "recording_host.h"
#include "symbolic_analysis.h"
#include "temp_dir.h"

namespace corvane::test {

struct AnalysedCircuit {
    TempDir dir;
    AnalysisFixture fixture;

    /// `netlist` is the text of the file (title line first); `dispersion` the text of
    /// the dispersion box.
    explicit AnalysedCircuit(const std::string& netlist, const std::string& dispersion = "1e9") {
        fixture.host.dispersionText = dispersion;
        fixture.host.selected.assign(30, 0);
        for (int k = 1; k <= 30; ++k)
            fixture.host.selected[static_cast<std::size_t>(k - 1)] = k;
        fixture.run(dir.write("circuito.net", netlist));
    }

    const RunState& run() const { return fixture.analysis.runState(); }
    const NetworkFunctions& numeric() const { return fixture.analysis.networkFunctions(); }
    bool succeeded() const { return fixture.outcome == RunOutcome::Succeeded; }

    int variable(const std::string& name) const {
        for (int k = 1; k <= run().variableCount; ++k) {
            if (run().variableName(k) == name) return k;
        }
        return 0;
    }

    std::vector<int> allVariables() const {
        std::vector<int> all;
        for (int k = 1; k <= run().variableCount; ++k)
            all.push_back(k);
        return all;
    }
};

/// The reduced function of `variable` as "(numerator) / (denominator)".
inline std::string reducedText(const symbolic::SymbolicAnalysis& analysis, int variable) {
    for (const symbolic::SymbolicFunction& f : analysis.functions()) {
        if (f.variable == variable)
            return "(" + f.numerator.text + ") / (" + f.denominator.text + ")";
    }
    return "(sem função)";
}

}  // namespace corvane::test
