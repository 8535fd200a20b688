// The netlist reader: file names, the element lines, the numbering of the nodes and of the
// extra currents, and the listing of the variables.
#pragma once

#include <string>

#include "analysis_log.h"
#include "run_state.h"

namespace corvane {

/// Looks `name` up among the known variables (entry 0 is ground, "0") and adds it as the
/// next one when it is new. A 26th name is refused with a log line and sets tooManyNodes.
int findOrAddNode(RunState& run, AnalysisLog& log, const char* name);

/// Derives netlistFileName and baseName from the chosen path (see ResultFileNames). The
/// rules look at the file name only (after the last '/'), so a '.' in a folder name never
/// cuts the path.
void deriveFileNames(RunState& run, const std::string& path);

/// Reads the netlist at `path` into `run`, numbers the variables and lists them. Returns
/// false when the run must end; the reason is then the last line of the log.
bool readNetlist(RunState& run, AnalysisLog& log, const std::string& path);

}  // namespace corvane
