// corvane-cli plotar: the frequency response of the functions of a plot list, computed and
// drawn as the plot window does, without windows: the log, a CSV table, an image, the
// exact values at one frequency.
#pragma once

#include <cstdio>
#include <string_view>
#include <vector>

namespace corvane::cli {

/// Its paragraph of the help text.
extern const char PlotUsage[];

/// Parses the options and the list of `args` and runs the plot; log lines go to `out`,
/// failures to write to `err`.
int runPlotCommand(const std::vector<std::string_view>& args, std::FILE* out, std::FILE* err);

}  // namespace corvane::cli
