// The warnings of a run beside its result files: "<base>.avisos", one line per warning,
// "<result file name><TAB><the log's line>", written with the set when the run warned about
// its results and removed when a later run of the same netlist did not. The plotter and
// the time responses read it, so that a curve drawn from a file that a run warned about
// says so, long after the log is gone.
#pragma once

#include <string>
#include <vector>

#include "result_file_names.h"
#include "run_warnings.h"

namespace corvane {

/// "<base>.avisos" of the run whose result files are named by `names`.
std::string warningsFilePath(const ResultFileNames& names);

/// The text of the warnings file: a denominator's warning concerns "<base>.d", numerator
/// k's "<base>.n<k>", a file's that file. Empty when there are none.
std::string warningsFileText(const RunWarnings& warnings, const ResultFileNames& names);

/// The warnings that the run which wrote the result file `path` gave about it, read from
/// the warnings file beside it; none when there is no such file, or it cannot be read.
std::vector<std::string> warningsAboutResultFile(const std::string& path);

}  // namespace corvane
