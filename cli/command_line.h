// The command-line front end: one analysis (or, later, one plot) without windows.
#pragma once

#include <cstdio>

#include "analysis_log.h"

namespace corvane::cli {

/// Exit statuses of corvane-cli.
enum ExitStatus {
    ExitSuccess = 0,
    ExitFailure = 1,  // the command ended on a failure line of the log
    ExitUsage = 2,
    ExitFloatingPointFault = 3,
    ExitWarnings = 4,  // the results were written, but the run warned about them
    ExitInterrupted = 130,  // Ctrl-C stopped the analysis, as shells number SIGINT
};

/// A log whose lines go to `out`, one per line of text.
AnalysisLog::LineConsumer linesTo(std::FILE* out);

/// Runs the command line `argv` (argv[0] is the program name). Log lines go to `out`,
/// usage errors and floating-point faults to `err`. Returns the exit status; when a write
/// to `out` or `err` failed, the status is ExitFailure whatever the command did.
int runCommandLine(int argc, const char* const* argv, std::FILE* out, std::FILE* err);

}  // namespace corvane::cli
