// plotar and tempo by variable name: the functions of a run's JSON document, with every
// bit the run computed, as lines of the plot list ("<document>#<variable>").
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace corvane::cli {

struct DocumentSelection {
    /// The document (--json); empty when none was given.
    std::string path;
    /// The variables (--variaveis), names or numbers; every variable of the document when
    /// empty.
    std::vector<std::string> variables;
};

/// The list lines of the selection, one per variable; empty with `error` set when the
/// document's variables could not be read.
std::string documentListLines(const DocumentSelection& selection, std::string& error);

/// The text of the plot list at `listPath` (none when empty) and the lines of the
/// document's functions after it; no value, with the reason on `err`, when either could not
/// be read.
std::optional<std::string> listWithDocument(const std::string& listPath,
                                            const DocumentSelection& document, std::FILE* err);

}  // namespace corvane::cli
