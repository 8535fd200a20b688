// corvane-cli analisar: one analysis of a netlist without windows, its results written
// beside it as the program writes them, and on request a JSON document of them all.
#pragma once

#include <cstdio>
#include <string_view>
#include <vector>

namespace corvane::cli {

/// Its paragraph of the help text.
extern const char AnalyzeUsage[];

/// Parses the options and the netlist of `args` and runs the analysis; log lines go to
/// `out`, floating-point faults to `err`.
int runAnalyzeCommand(const std::vector<std::string_view>& args, std::FILE* out, std::FILE* err);

}  // namespace corvane::cli
