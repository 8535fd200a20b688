// corvane-cli tolerancia: the spread of the circuit's figures when its elements have
// tolerances: Monte Carlo runs (seeded, the seed in the log) with the mean, the deviation
// and the percentiles of each figure, and the worst case from the sensitivities' signs
// with those corners analysed; a table of every circuit, a JSON document and an image of
// the histograms and of the envelope of the gain curves.
#pragma once

#include <cstdio>
#include <string_view>
#include <vector>

namespace corvane::cli {

/// The command's paragraph of the help text.
extern const char ToleranceUsage[];

/// Runs `tolerancia` with its arguments (the command's name not included); a command line
/// it cannot take throws UsageError.
int runToleranceCommand(const std::vector<std::string_view>& args, std::FILE* out, std::FILE* err);

}  // namespace corvane::cli
