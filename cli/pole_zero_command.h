// corvane-cli polos: the pole-zero map of the functions of a plot list, drawn (--imagem)
// or tabulated (--tabela), and the root locus of the first function as one element of its
// circuit runs over a range (--lugar), the netlist found beside the result files.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::cli {

/// The command's part of the help text.
extern const char* const PoleZeroUsage;

struct PoleZeroOutcome {
    int status = 0;
    /// A usage error, to be said with the help; the status is then meaningless.
    std::string usageError;
};

/// Runs `polos` with its arguments (the command's name not included). Lines of the list's
/// reading and the roots go to `out`, failures to `err`.
PoleZeroOutcome runPoleZeroCommand(const std::vector<std::string_view>& args, std::FILE* out,
                                   std::FILE* err);

}  // namespace corvane::cli
