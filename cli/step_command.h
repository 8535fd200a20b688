// corvane-cli varrer: one element's value stepped over a list or a range, each value's
// network functions computed exactly; the figures of each value in the log, a table, a
// JSON document and the family of gain curves as an image.
#pragma once

#include <cstdio>
#include <string_view>
#include <vector>

namespace corvane::cli {

/// The command's paragraph of the help text.
extern const char StepUsage[];

/// Runs `varrer` with its arguments (the command's name not included); a command line it
/// cannot take throws UsageError.
int runStepCommand(const std::vector<std::string_view>& args, std::FILE* out, std::FILE* err);

}  // namespace corvane::cli
