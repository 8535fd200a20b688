// corvane-cli malha: the loop gain of one controlled source or op-amp with finite gain of a
// netlist, its asymptotic gain and direct transmission, the stability margins and the
// closed-loop stability; --tabela writes |T| and its phase over frequency, --imagem draws
// them, --json writes the loop gain and the margins for scripts.
#pragma once

#include <cstdio>
#include <string_view>
#include <vector>

namespace corvane::cli {

/// The command's paragraph of the help text.
extern const char LoopUsage[];

/// Runs `malha` with its arguments (the command's name not included); a command line it
/// cannot take throws UsageError.
int runLoopCommand(const std::vector<std::string_view>& args, std::FILE* out, std::FILE* err);

}  // namespace corvane::cli
