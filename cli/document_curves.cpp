#include "document_curves.h"

#include "plot_list_file.h"
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

// The text of the plot list and the lines of the document's functions after it.
std::optional<std::string> listWithDocument(const std::string& listPath,
                                            const DocumentSelection& document, std::FILE* err) {
    std::string text;
    if (!listPath.empty()) {
        const ListFile list = readPlotListFile(listPath);
        if (list.status != ListFileStatus::Read) {
            std::fprintf(err, "corvane-cli: %s\n", listFileProblem(listPath, list).c_str());
            return std::nullopt;
        }
        text = list.text;
    }
    if (document.path.empty()) return text;
    std::string error;
    const std::string lines = documentListLines(document, error);
    if (!error.empty()) {
        std::fprintf(err, "corvane-cli: %s\n", error.c_str());
        return std::nullopt;
    }
    if (!text.empty() && text.back() != '\n') text += '\n';
    return text + lines;
}

}  // namespace corvane::cli
