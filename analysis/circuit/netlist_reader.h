// The netlist reader: file names and the syntax of the element lines, whose elements it
// hands to the circuit builder.
#pragma once

#include <string>

#include "analysis_log.h"
#include "run_state.h"

namespace corvane {

/// Derives netlistFileName and baseName from the chosen path (see ResultFileNames). The
/// rules look at the file name only (after the last '/'), so a '.' in a folder name never
/// cuts the path.
void deriveFileNames(RunState& run, const std::string& path);

/// Whether the run's netlist is none of its own result files (through links too); when it
/// is one, logs "O netlist x seria substituído pelo arquivo de resultados y" and says no.
bool resultsSpareNetlist(const RunState& run, AnalysisLog& log);

/// The same for another file the reading took in, named `what` in the message ("arquivo
/// incluído").
bool resultsSpareInput(const RunState& run, AnalysisLog& log, const std::string& input,
                       const char* what);

/// Reads the netlist at `path` into `run`, in Corvane's format or in SPICE's (see
/// isSpiceNetlist), numbers the variables and lists them. Returns
/// false when the run must end; the reason is then the last line of the log.
/// `limits` are the netlist format's unless the user lifted them.
bool readNetlist(RunState& run, AnalysisLog& log, const std::string& path, RunLimits limits = {});

}  // namespace corvane
