// A whole analysis of a circuit that nobody watches: the system, the expansion and the
// post-processing of a run with the default options, with no log line and no file. The
// root locus, the parameter steps, the sensitivities and the Monte Carlo runs analyse
// their copies of a circuit through it.
#pragma once

#include <functional>
#include <optional>
#include <span>

#include "network_functions.h"
#include "run_state.h"

namespace corvane {

/// The dispersion a run uses unless told otherwise, so what a quiet analysis finds is
/// what the result files written with the default options hold.
inline constexpr double DefaultRunDispersion = 1e9;

struct QuietAnalysis {
    /// As the expansion left them: the excitation's factor s still in the numerators.
    NetworkFunctions raw;
    /// Integrated and normalised, as the result files hold them.
    NetworkFunctions functions;
};

/// The network functions of `run`; no value when the analysis fails (a zero resistance, a
/// circuit without solution, a floating-point fault) or `stop` (asked during the
/// expansion) stopped it.
std::optional<QuietAnalysis> analyseQuietly(const RunState& run,
                                            const std::function<bool()>& stop = {});

/// As analyseQuietly, but only the numerators of `variables` (1..n) are post-processed; the
/// others are left zero in `functions`. The integration decides from every numerator, as a
/// run does, so those post-processed are the same as a whole run's.
std::optional<QuietAnalysis> analyseVariablesQuietly(const RunState& run,
                                                     std::span<const int> variables,
                                                     const std::function<bool()>& stop = {});

/// The post-processing of analyseVariablesQuietly alone, for the raw functions `raw` of a
/// circuit of `n` unknowns however they were found.
std::optional<QuietAnalysis> processQuietly(const NetworkFunctions& raw, int n,
                                            std::span<const int> variables);

/// Only the expansion of `run`'s system, no post-processing: for derivatives that must
/// compare like with like. No value when it fails or is stopped.
std::optional<NetworkFunctions> expandQuietly(const RunState& run,
                                              const std::function<bool()>& stop = {});

}  // namespace corvane
