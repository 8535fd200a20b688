#include "curve_labels.h"

#include <algorithm>

#include "listed_curves.h"
#include "loop_curves.h"
#include "loop_file.h"
#include "path_parts.h"
#include "results_json_reader.h"
#include "result_variables.h"

namespace corvane {

std::string curveLabel(std::string_view listLine) {
    // A step's curves are told apart by their values, which is what the family shows.
    if (const std::optional<StepLine> step = stepLineOf(std::string(listLine))) {
        const StepFunctionRead read = readStepFunction(step->path, step->variable, step->value);
        if (!read.legend.empty()) return read.legend;
    }
    // A loop gain is the loop's, not the file's: "T de O1".
    if (isLoopLine(std::string(listLine))) {
        const loop::LoopFileRead read = loop::readLoopFile(std::string(listLine));
        if (read.loopGain && !read.source.empty()) return "T de " + read.source;
    }
    if (const std::optional<ResultVariable> variable = variableOfResultFile(listLine))
        return variableLabel(*variable);
    return fileNameOf(std::string(listLine));
}

CurveLabels curveLabels(const std::array<std::string, MaxCurves + 1>& lines, int count) {
    CurveLabels labels{};
    const int n = std::clamp(count, 0, MaxCurves);
    for (int k = 1; k <= n; ++k) labels[static_cast<std::size_t>(k)] = curveLabel(lines[static_cast<std::size_t>(k)]);
    CurveLabels told = labels;
    for (int k = 1; k <= n; ++k) {
        const std::string& label = labels[static_cast<std::size_t>(k)];
        const std::string file = fileNameOf(lines[static_cast<std::size_t>(k)]);
        if (label == file) continue;
        for (int j = 1; j <= n; ++j) {
            if (j == k || labels[static_cast<std::size_t>(j)] != label) continue;
            told[static_cast<std::size_t>(k)] = label + " (" + file + ")";
            break;
        }
    }
    return told;
}

}  // namespace corvane
