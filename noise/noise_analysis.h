// One noise analysis of a netlist: its options, the checks of those options against the
// circuit, and the lines the log shows (densities, ranked contributions, integrated rms).
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "analysis_host.h"
#include "analysis_log.h"
#include "engine_options.h"
#include "noise_functions.h"
#include "noise_spectrum.h"
#include "run_state.h"

namespace corvane::noise {

struct NoiseOptions {
    /// The output variable, by name as the variables list shows it or by number.
    std::string output;
    /// The independent source the noise is referred to; empty for none.
    std::string input;
    double celsius = DefaultCelsius;
    /// Where the densities and the ranking at one frequency are given.
    double hertz = 1000.0;
    /// The band of the integrated noise; without one, all frequencies.
    std::optional<std::pair<double, double>> band;
};

/// The output variable's number (1..n), or 0 when `name` names none.
int findOutputVariable(const RunState& run, const std::string& name);
/// The element number of the independent source called `name` (case as the netlist
/// matches names), or 0.
int findInputSource(const RunState& run, const std::string& name);

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
/// line naming the option when the options do not fit the circuit, or when the user
/// cancelled the expansion ("Análise cancelada.").
std::optional<NoiseReport> analyseNoise(const RunState& run, const SystemMatrix& system,
                                        const NoiseOptions& options, AnalysisLog& log,
                                        AnalysisHost& host, const EngineOptions& engine);

/// The report's lines.
void listNoiseReport(const NoiseReport& report, const NoiseOptions& options, AnalysisLog& log);

}  // namespace corvane::noise
