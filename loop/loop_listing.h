// The loop gain in the log and in the JSON document: T(s), the asymptotic gain A∞ and the
// direct transmission ρ of the variables asked for, the margins and the closed-loop
// stability judged from the closed-loop poles (the roots of D(k)).
#pragma once

#include <vector>

#include <nlohmann/json.hpp>

#include "analysis_log.h"
#include "loop_gain.h"
#include "margins.h"
#include "pole_zero_listing.h"
#include "run_state.h"

namespace corvane::loop {

/// The closed-loop poles' verdict.
struct ClosedLoopStability {
    bool computed = false;
    Stability stability = Stability::Stable;
    /// Counted with their multiplicities.
    int rightHalfPlanePoles = 0;
};

ClosedLoopStability closedLoopStability(const Polynomial& closedLoopDenominator);

/// Everything listed of one loop gain.
struct LoopReport {
    LoopGain gain;
    LoopMargins margins;
    ClosedLoopStability stability;
};

LoopReport loopReport(const LoopGain& gain);

/// "Ganho de malha de E1:" and the lines that follow; A∞ and ρ of each of `variables`;
/// the roots with `polesAndZeros`.
void listLoopReport(const LoopReport& report, const RunState& run,
                    const std::vector<int>& variables, bool polesAndZeros, AnalysisLog& log);

/// The margin and stability lines alone.
void listMargins(const LoopReport& report, AnalysisLog& log);

/// The "malha" member of the results document.
nlohmann::ordered_json loopDocument(const LoopReport& report, const RunState& run,
                                    const std::vector<int>& variables);

}  // namespace corvane::loop
