// corvane-cli sensibilidade: the normalised sensitivities of the circuit's figures (ω0
// and Q of each pole pair, each real pole, the gains at s = 0 and at a frequency) to every
// element's value, exactly, ranked by size; as a table and a JSON document too.
#pragma once

#include <cstdio>
#include <string_view>
#include <vector>

namespace corvane::cli {

/// The command's paragraph of the help text.
extern const char SensitivityUsage[];

/// Runs `sensibilidade` with its arguments (the command's name not included); a command
/// line it cannot take throws UsageError.
int runSensitivityCommand(const std::vector<std::string_view>& args, std::FILE* out,
                          std::FILE* err);

}  // namespace corvane::cli
