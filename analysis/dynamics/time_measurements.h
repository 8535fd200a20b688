// The numbers an engineer reads off a response in time: the final value, the peak, the
// overshoot, the rise time and the settling time. Each is bracketed on samples of x(t)
// and then found from the expression itself (its derivative for the peak, bisection on
// the level for the crossings), so it is exact to the double, not to the sample spacing.
#pragma once

#include <optional>

#include "analysis_log.h"
#include "time_response.h"

namespace corvane {

/// Why the final value, and with it most measures, does not exist.
enum class FinalValue {
    Exists,
    /// A pole to the right of the imaginary axis, or a multiple one on it.
    Unstable,
    /// Simple poles on the imaginary axis other than s = 0: it never settles.
    Oscillating,
};

struct TimeMeasures {
    FinalValue finalKind = FinalValue::Exists;
    double finalValue = 0.0;
    /// The extreme of x(t) in the direction of the final value (of its magnitude when the
    /// final value is zero); none when the curve only approaches its final value.
    std::optional<double> peakValue;
    double peakTime = 0.0;
    /// In %; none without a nonzero final value.
    std::optional<double> overshoot;
    /// From 10 % to 90 % of the final value; none without a nonzero final value.
    std::optional<double> riseTime;
    /// The last time |x − final| equals band·|final|; none without a nonzero final value.
    std::optional<double> settlingTime;
};

inline constexpr double DefaultSettlingBand = 0.02;

/// The measures of the regular part of x(t) (impulses at t = 0 left out), with the
/// settling band as a fraction of the final value.
TimeMeasures measureTimeResponse(const TimeResponse& x, double settlingBand = DefaultSettlingBand);

/// "Curva k: medidas:" and one line per measure.
void listTimeMeasures(AnalysisLog& log, int k, const TimeMeasures& m, double settlingBand);

}  // namespace corvane
