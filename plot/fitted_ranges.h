// Plot ranges fitted to the curves themselves, so one click shows the passband, the
// roll-off, the phase and the delay of whatever was listed.
#pragma once

#include <array>
#include <string>

#include "plot_data.h"
#include "plot_quantities.h"

namespace corvane {

/// The smallest 1-2-5 step (1, 2, 5 times a power of ten) at or above a positive x.
double roundUpTo125(double x);
/// The largest 1-2-5 step at or below a positive x.
double roundDownTo125(double x);

/// Ranges for curves 1 .. curveCount of `curves`:
///  - frequency: one decade below the smallest non-zero pole or zero magnitude to one
///    decade above the largest, over all the curves, in Hz when `hz` is set, rounded
///    outward to 1-2-5 steps; `current`'s range when no curve has such a root;
///  - gain: 2 dB above the largest gain over that range rounded up to 10 dB, down to 80 dB
///    below it or to 2 dB under the smallest gain (rounded down to 10 dB) if that is higher;
///  - phase: the smallest interval with multiple-of-90° ends that holds the phase and 2°
///    either side of it, wrapped into (-180°, 180°] (and then within ±180°) or, with
///    `continuousPhase`, unwrapped along each curve;
///  - delay: from 0 (or the smallest delay rounded down to 1-2-5, if negative) to 5 % over
///    the largest delay rounded up to 1-2-5.
/// So no curve lies on the frame, where it could not be seen.
/// The segment count is `current`'s. Floating-point status flags raised by evaluating at
/// a pole on the jω axis are put back as they were: such points are left out.
PlotParameters fitPlotRanges(const PlotCurves& curves, int curveCount,
                             const PlotParameters& current, bool hz, bool continuousPhase);

/// The edit box texts of `fitted`'s ranges, as short as they can be and read back the same;
/// the segment box keeps `segmentsText`.
std::array<std::string, PlotEditBoxCount> fittedEditTexts(const PlotParameters& fitted,
                                                          const std::string& segmentsText);

/// The edit box texts when the user gave some limits and the rest are fitted: `current`'s
/// text where `given`, `fitted`'s elsewhere. A fitted limit that would leave its range
/// empty or reversed beside a given one moves to keep the fitted width (its ratio on a
/// logarithmic frequency axis), so `--wmin 1e6` beyond the fitted end still plots.
std::array<std::string, PlotEditBoxCount> keepGivenLimits(
    const std::array<std::string, PlotEditBoxCount>& fitted,
    const std::array<std::string, PlotEditBoxCount>& current,
    const std::array<bool, PlotEditBoxCount>& given, bool logarithmic);

}  // namespace corvane
