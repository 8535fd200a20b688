// corvane-cli tempo: the responses in time of the functions of a plot list, without
// windows: x(t) of each pair of result files, checked by a second evaluation, as a log, a
// CSV table and the picture of the time window.
#pragma once

#include <cstdio>
#include <string_view>
#include <vector>

namespace corvane::cli {

/// Its paragraph of the help text.
extern const char TimeUsage[];

/// Parses the options and the list of `args` and computes the responses; log lines go to
/// `out`, failures to write to `err`. The status is ExitFailure when a curve could not be
/// computed, verified or carried to the end, or a file could not be read or written.
int runTimeCommand(const std::vector<std::string_view>& args, std::FILE* out, std::FILE* err);

}  // namespace corvane::cli
