// corvane-cli polos: the pole-zero map of the functions of a plot list, drawn (--imagem)
// or tabulated (--tabela), and the root locus of the first function as one element of its
// circuit runs over a range (--lugar), the netlist found beside the result files.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::cli {

/// The command's paragraph of the help text.
extern const char PoleZeroUsage[];

/// Runs `polos` with its arguments (the command's name not included). Lines of the list's
/// reading and the roots go to `out`, failures to `err`; a command line it cannot take
/// throws UsageError.
int runPoleZeroCommand(const std::vector<std::string_view>& args, std::FILE* out, std::FILE* err);

}  // namespace corvane::cli
