// The reader of SPICE netlists, the linear subset: R, C, L, K, E, F, G, H, independent V and
// I sources, subcircuits flattened with hierarchical names ("X1.R2"), parameters with
// arithmetic, included files beside the netlist, and a comment directive that puts
// Corvane's op-amp in place of a subcircuit. Its elements go to the circuit builder as the
// netlist reader's do.
#pragma once

#include <string>

#include "analysis_log.h"
#include "run_state.h"

namespace corvane {

/// The longest element or node name of a SPICE netlist, a hierarchical one included.
inline constexpr int SpiceNameLength = 255;
/// The deepest nesting of subcircuit instances and of included files.
inline constexpr int MaxSubcircuitDepth = 20;
inline constexpr int MaxIncludeDepth = 10;
/// The longest chain of parameters defined by one another.
inline constexpr int MaxParameterChain = 50;
/// The largest netlist file (and included file) read, and the longest line in one.
inline constexpr std::size_t MaxSpiceFileBytes = std::size_t{16} << 20;
inline constexpr std::size_t MaxSpiceLineBytes = 65536;

/// What a SPICE reading accepts: the element and variable counts of `limits` (those of
/// the netlist format unless the run lifts them), and longer names.
RunLimits spiceLimits(RunLimits limits = {});

/// Whether the netlist at `path` (as opened: run.netlistFileName) is read as SPICE: by its
/// name (".cir", ".sp", ".spice", ".ckt", in any case), or, for any other name, by a line
/// ".end" (in any case, alone on its line) after the title, which every SPICE netlist ends
/// with and Corvane's own format has no use for. A file that is not regular is read by name
/// only.
bool isSpiceNetlist(const std::string& path);

/// Reads the SPICE netlist run.netlistFileName into `run` with `limits`, numbers the
/// variables and lists them. Returns false when the run must end; the reason is then the
/// last line of the log.
bool readSpiceNetlist(RunState& run, AnalysisLog& log, RunLimits limits);

}  // namespace corvane
