// What the legends, the cursor lines and the markers call a listed curve: its variable, as
// a person reads it, where the netlist beside its result files names it; its file name
// otherwise. Found once when a list is read, since the lookup reads the netlist.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "plot_data.h"

namespace corvane {

using CurveLabels = std::array<std::string, MaxCurves + 1>;

/// "R1 = 4,7 kΩ" for a step's line (stepLineOf) whose document can be read; "T de O1" for
/// the loop gain of a ".malha" line that can be read;
/// "v(saida)" or "jV1" for a numerator result file whose netlist names its variable
/// (variableOfResultFile), else the list line's file name without its folder ("rc.n2",
/// "r.json#out").
std::string curveLabel(std::string_view listLine);

/// The labels of curves 1..`count` whose list lines are `lines`. Two curves named alike (the
/// same variable of two runs) are told apart by their files: "v(saida) (rc.n2)".
CurveLabels curveLabels(const std::array<std::string, MaxCurves + 1>& lines, int count);

}  // namespace corvane
