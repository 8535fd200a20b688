// The transfer functions from every noise source to one output, exactly, from a single
// expansion. The output's numerator for a current injected between nodes a and b is
// C(a,o) − C(b,o), where C(i,o) are the cofactors of the output's column o of the system.
// Those cofactors are the Cramer numerators of the transposed system excited by a unit at
// row o, so one run of the engine on the transposed matrix yields all of them, with the
// same denominator and the same memoised minors as the ordinary analysis.
#pragma once

#include <optional>
#include <vector>

#include "analysis_host.h"
#include "engine_options.h"
#include "mna.h"
#include "noise_sources.h"
#include "polynomial.h"
#include "run_state.h"

namespace corvane::noise {

struct NoiseFunctions {
    /// The determinant of the system.
    Polynomial denominator;
    std::vector<NoiseSource> sources;
    /// Per source, the numerator of output / injected current.
    std::vector<Polynomial> transfers;
    /// The numerator of output / input source value, when an input source was chosen.
    std::optional<Polynomial> inputGain;
    /// The expansion was cancelled: nothing else is set.
    bool cancelled = false;
};

/// The transfers to variable `output` (1..n) of every source, and the gain from element
/// `inputElement` (an independent V or I source, 0 for none) to it. `system` is the
/// assembled system of `run`.
NoiseFunctions computeNoiseFunctions(const RunState& run, const SystemMatrix& system, int output,
                                     int inputElement, std::vector<NoiseSource> sources,
                                     AnalysisHost& host, const EngineOptions& engine);

}  // namespace corvane::noise
