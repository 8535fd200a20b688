// How much work the memoised expansion of a system will be, known before it starts, so that
// a run of minutes is announced instead of met in silence.
#pragma once

#include <optional>
#include <string>

#include "mna.h"

namespace corvane {

/// The distinct minors of order 4 and more that the memoised expansion of the denominator
/// and of every numerator of the n × n system computes, estimated by sampling. A minor of
/// depth d (d rows removed) is reached, and not structurally zero, exactly when its removed
/// rows can be matched to the first d columns of the list and its remaining rows to the
/// others through non-zero entries; the estimate samples removed row sets at each depth and
/// tests both. Without zeros it is exact. Deterministic: the same system gives the same
/// estimate.
double estimateDistinctMinors(const SystemMatrix& matrix, int n);

/// The line the log shows before an expansion predicted to take more than a few seconds
/// (at the pace of the development machine, about 0.35 µs per distinct minor); nothing for
/// a shorter one.
std::optional<std::string> expansionForecastLine(double distinctMinors);

/// Systems below this order are expanded in well under a second: not estimated.
inline constexpr int SmallestForecastOrder = 16;

}  // namespace corvane
