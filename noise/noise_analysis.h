// One noise analysis of a netlist: its options, the checks of those options against the
// circuit, and the lines the log shows (densities, ranked contributions, integrated rms).
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "analysis_host.h"
#include "analysis_log.h"
#include "analysis_options.h"
#include "engine_options.h"
#include "noise_functions.h"
#include "noise_density.h"
#include "run_state.h"

namespace corvane::noise {

/// What the noise is asked at (its `enabled` is the run's business, not the analysis's).
using NoiseOptions = NoiseSettings;

/// The output variable's number (1..n), or 0 when `name` names none. Here in the header:
/// the symbolic noise of the exact module uses it without the numeric noise's roots.
inline int findOutputVariable(const RunState& run, const std::string& name) {
    for (int k = 1; k <= run.variableCount; ++k) {
        if (name == run.variableName(k) || name == std::to_string(k)) return k;
    }
    return 0;
}
/// The element number of the independent source called `name` (case as the netlist
/// matches names), or 0.
int findInputSource(const RunState& run, const std::string& name);

/// Why `options` do not fit the circuit of `run` (an output that is no variable, an input
/// that is no independent source, no resistor at all), as the log says it; empty when they
/// fit. The run checks it, and so does a window before it lets the run go on.
std::optional<std::string> noiseOptionsProblem(const RunState& run, const NoiseOptions& options);

/// What one source gives at the frequency and over the band.
struct Contribution {
    std::size_t source = 0;
    /// At the frequency, V²/Hz (A²/Hz).
    double density = 0.0;
    /// Over the band, V² (A²); empty when it does not converge.
    std::optional<double> power;
};

struct NoiseReport {
    std::string outputName;
    /// "V" or "A".
    std::string unit;
    NoiseFunctions functions;
    double outputDensity = 0.0;
    std::optional<double> inputDensity;
    /// Largest first, by band power where it exists, else by density.
    std::vector<Contribution> contributions;
    std::optional<NoiseIntegral> integral;
};

/// The noise of the circuit read into `run`, whose system is `system`. Empty with a log
/// line naming the option when the options do not fit the circuit, or with nothing logged
/// when the user cancelled the expansion (the host then says it was cancelled).
std::optional<NoiseReport> analyseNoise(const RunState& run, const SystemMatrix& system,
                                        const NoiseOptions& options, AnalysisLog& log,
                                        AnalysisHost& host, const EngineOptions& engine);

/// The report's lines.
void listNoiseReport(const NoiseReport& report, const NoiseOptions& options, AnalysisLog& log);

}  // namespace corvane::noise
