// Where the grid lines and tick labels of an axis go: round values at steps of 1, 2 or 5
// times a power of ten on a linear axis, decades (and 2 and 5 within them) on a
// logarithmic one. Pure arithmetic, shared by the frequency plot and the time plot.
#pragma once

#include <vector>

namespace corvane {

/// The grid values inside [min, max] (limits included) at the steps of a frequency or gain
/// axis: the power of ten just below the span, or a half or a fifth of it when that leaves
/// fewer than four divisions, so the range is cut into 4 to 10 divisions. Empty for a
/// range that is empty, reversed or not finite, or whose step is lost in the rounding of
/// the values.
std::vector<double> linearTicks(double min, double max);

/// The grid values inside [min, max] at a step of 1, 2 or 5 times a power of ten, the
/// largest such step that gives at least `least` values (the time plot's sparser grid).
/// Empty for a range that is empty, reversed or not finite.
std::vector<double> gridTicks(double min, double max, int least = 4);

/// The labelled values of a logarithmic axis from `min` to `max` (both positive): every
/// power of ten inside, and 2 and 5 times each when fewer than three decades are shown.
/// A range too narrow to hold two such values is labelled as a linear one (linearTicks).
/// Empty for a range that is empty, reversed, not positive or not finite.
std::vector<double> logarithmicTicks(double min, double max);

}  // namespace corvane
