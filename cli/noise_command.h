// corvane-cli ruido: the thermal noise of a netlist's resistors at one output, with the
// density at a frequency, each resistor's share, the rms over a band and the input-referred
// density; --tabela writes the densities over frequency.
#pragma once

#include <cstdio>
#include <string_view>
#include <vector>

namespace corvane::cli {

/// The command's paragraph of the help text.
extern const char NoiseUsage[];

/// Runs `ruido` with its arguments (the command's name not included); a command line it
/// cannot take throws UsageError.
int runNoiseCommand(const std::vector<std::string_view>& args, std::FILE* out, std::FILE* err);

}  // namespace corvane::cli
