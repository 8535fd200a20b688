// The responses in time of the curves of a plot list, for the window that draws them: x(t)
// of each listed function, checked once by the second evaluation, then sampled over
// whatever time range the user chooses; plus the keys that move and zoom that view.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "analysis_log.h"
#include "plot_data.h"
#include "time_plot.h"
#include "time_response.h"

namespace corvane {

/// The default number of points of a time curve, and the limits of the box of points.
inline constexpr int DefaultTimePoints = 1000;
inline constexpr int MinTimePoints = 2;
inline constexpr int MaxTimePoints = 100000;

struct ListedTimeResponse {
    std::string file;
    TimeResponse x;
    /// Computed and confirmed by the second evaluation: only such a curve is drawn.
    bool shown = false;
    /// The unit of the file's variable, read from its run's netlist ("V", "A"); empty when
    /// it is not known.
    std::string unit;
    /// What the legend calls it (curve_labels.h).
    std::string label;
};

/// How far the partial fractions may stray from the second evaluation, relative to the
/// curve's largest value.
inline constexpr double VerificationTolerance = 1e-6;

/// How far x(t) strays from the second evaluation over (0, tEnd], relative to `peak`
/// (verificationError); zero for a function that is its impulses alone, whose partial
/// fractions are exact and leave the contour nothing but rounding to compare.
double responseMismatch(const PlotCurve& f, const TimeResponse& x, double tEnd, double peak);

/// The time of sample `i` of `points` evenly spaced from range.tmin to range.tmax.
double sampleTime(const TimeRange& range, int i, int points);

/// x(t) at `points` evenly spaced times from range.tmin to range.tmax. From the first time
/// at which x(t) is no finite number (it grew past the largest double) every value is NaN,
/// and that time is the curve's overflowFrom.
TimeCurve sampleTimeResponse(const TimeResponse& x, const TimeRange& range, int points);

/// "Curva 2: x(t) passa do maior valor representável a partir de t = 500 s; a curva para
/// aí.": why curve `k` stops at `t`.
std::string overflowLine(int k, double t);

/// "Curva 2: a resposta não confere com a inversão numérica (diferença de 0.01 do pico);
/// curva omitida.": why curve `k`, off the second evaluation by `error`, is not drawn.
std::string mismatchLine(int k, double error);

/// Whether curve `k`'s x(t) could be computed: logs why not (its poles were not found),
/// or else its impulses at t = 0, if it has any.
bool logComputedResponse(const TimeResponse& x, int k, AnalysisLog& log);

/// The overflowLine of every curve that stops before the end of its range.
void logOverflows(const std::vector<TimeCurve>& curves, AnalysisLog& log);

struct ListedTimeResponses {
    std::vector<ListedTimeResponse> curves;
    /// The automatic end of the time range.
    double endTime = 1.0;
};

/// Sets the unit and the label of every curve from the netlists beside their files.
void nameListedCurves(ListedTimeResponses& responses);

/// x(t) of curves 1 .. `count` of `functions`, in order. Curves of one circuit share its
/// denominator, whose roots are then found once.
std::vector<TimeResponse> inverseLaplaceCurves(const PlotCurves& functions, int count);

/// x(t) of curves 1 .. `count`, with `files` the numerators' list lines, and the unit of
/// each where the netlist beside its file names its variable. Logs, per curve,
/// its impulses at t = 0, and why a curve is not drawn: poles not found, or a mismatch
/// with the second evaluation over the automatic range beyond 1e-6 of its peak. A curve
/// marked in `omitted` (already named in the log) is not drawn and sets no time scale.
ListedTimeResponses computeListedTimeResponses(
    const PlotCurves& functions, int count,
    const std::array<std::string, MaxCurves + 1>& files, AnalysisLog& log,
    const std::array<bool, MaxCurves + 1>& omitted = {});

/// The automatic end of the time range of the curves not marked in `omitted`
/// (automaticEndTime).
double automaticEndTimeOf(const std::vector<TimeResponse>& responses,
                          const std::array<bool, MaxCurves + 1>& omitted);

/// The curves sampled at `points` evenly spaced times from range.tmin to range.tmax
/// (sampleTimeResponse); a curve not drawn has no values.
std::vector<TimeCurve> sampleTimeCurves(const ListedTimeResponses& responses,
                                        const TimeRange& range, int points);

/// A key of the plot window (a PlotKey code) applied to the view: the arrows move the time
/// window by a quarter of its width or the values by half their height, A and R halve and
/// double the time window, keypad plus and minus the value window, each keeping its lower
/// limit. False, and the range unchanged, for any other code.
bool applyTimeKey(int keyCode, TimeRange& range);

}  // namespace corvane
