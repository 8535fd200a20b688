// A parameter step as a person and a document read it: the log's summary of each value
// and the "corvane-varredura" document the plot list draws the family from. `varrer` and
// the windows' run give the same lines and write the same document.
#pragma once

#include <span>
#include <string>

#include <nlohmann/json.hpp>

#include "analysis_log.h"
#include "parameter_step.h"
#include "run_state.h"

namespace corvane::variation {

/// "Passo de R1: 3 valores", then each value's legend and its figures, the gains at
/// `hertz`.
void listStep(const RunState& run, const ParameterStep& step, double hertz, AnalysisLog& log);

/// The document of the step: each value's legend, its denominator, the numerators of
/// `variables` and its figures; `netlist` as the run read it.
nlohmann::ordered_json stepDocument(const RunState& run, const ParameterStep& step,
                                    std::span<const int> variables, const std::string& netlist,
                                    double hertz);

}  // namespace corvane::variation
