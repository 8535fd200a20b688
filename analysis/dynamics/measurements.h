// The numbers an engineer reads off a frequency response, computed exactly from the
// rational function rather than from a plotted curve: the gains at s = 0 and at high
// frequency, the maximum gain and where it is, the -3 dB band around it and the group
// delay at s = 0. |H(jω)|² is a ratio of polynomials in x = ω², so every extremum and
// every band edge is a positive real root of a polynomial in x.
#pragma once

#include <vector>

#include "analysis_log.h"
#include "determinant.h"
#include "polynomial.h"

namespace corvane {

/// A gain that may be zero or infinite; both are named as such in the listing.
struct Gain {
    /// Signed at s = 0 and at high frequency (the function is real there), a magnitude
    /// elsewhere; meaningless when `infinite`.
    double value = 0.0;
    bool infinite = false;

    bool isZero() const { return !infinite && value == 0.0; }
};

/// One interval of frequencies where |H(jω)| is at least the maximum over √2.
struct PassBand {
    /// In rad/s; 0 when the band starts at ω = 0.
    double lower = 0.0;
    /// In rad/s; infinite when the band goes on to high frequency.
    double upper = 0.0;
};

enum class MeasuresStatus {
    Measured,
    /// The numerator is zero: there is nothing to measure.
    ZeroFunction,
    /// A polynomial was not finite or the root finder gave up.
    NotComputable,
};

/// Where the maximum gain is reached.
enum class MaximumPlace {
    /// At ω = `maximumOmega` (which may be 0).
    AtFrequency,
    /// Approached as ω grows without bound.
    HighFrequency,
    /// The gain is the same at every frequency.
    Everywhere,
};

struct FrequencyMeasures {
    MeasuresStatus status = MeasuresStatus::Measured;
    Gain dcGain;
    Gain highFrequencyGain;
    Gain maximumGain;
    MaximumPlace maximumPlace = MaximumPlace::AtFrequency;
    double maximumOmega = 0.0;
    /// Ascending and disjoint; empty when the maximum is infinite.
    std::vector<PassBand> bands;
    /// -dφ/dω at ω = 0, in seconds.
    double dcGroupDelay = 0.0;
};

/// The measures of H(s) = numerator / denominator, both with their constants.
FrequencyMeasures measureFrequencyResponse(const Polynomial& numerator,
                                           const Polynomial& denominator);

/// The measures of variable k's network function. When the integration step raised the
/// denominator by s for a step source, that s belongs to the excitation and is removed
/// first: what is measured is the network's transfer function.
FrequencyMeasures measureFrequencyResponse(const NetworkFunctions& functions, int k);

/// 20·log10|g|; only for a finite, nonzero gain.
double decibels(const Gain& gain);

/// ω_max / (upper − lower) when there is exactly one band with both edges finite and the
/// maximum strictly inside it; 0 otherwise.
double qualityFactor(const FrequencyMeasures& measures);

/// "Medidas:" and one line per measure of variable k.
void listMeasures(AnalysisLog& log, const NetworkFunctions& functions, int k);

}  // namespace corvane
