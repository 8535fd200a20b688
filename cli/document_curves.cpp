#include "document_curves.h"

#include "results_json_reader.h"

namespace corvane::cli {

std::string documentListLines(const DocumentSelection& selection, std::string& error) {
    std::vector<std::string> variables = selection.variables;
    if (variables.empty()) {
        variables = documentVariables(selection.path, error);
        if (!error.empty()) return {};
    }
    std::string lines;
    for (const std::string& variable : variables)
        lines += selection.path + "#" + variable + "\n";
    return lines;
}

}  // namespace corvane::cli
