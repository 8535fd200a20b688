// The listed transfer functions H(s) = N(s)/D(s) on the jω axis, as the Nyquist and the
// Nichols plots read stability from them: H(jω) sampled over the plot's frequency range,
// densely where the curve turns, the crossings of the negative real axis and of the unit
// circle, the open-loop phase unwrapped along each curve, and the contours of constant
// closed-loop gain |H/(1+H)| (M-circles). Nothing here draws.
#pragma once

#include <array>
#include <complex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "analysis_log.h"
#include "curve_labels.h"
#include "plot_data.h"
#include "plot_hosts.h"

namespace corvane {

/// H(jω) at one frequency; `value` is NaN where H has no finite value there (a pole on the
/// axis, an overflow), and the curve is broken at that point.
struct ResponseSample {
    double omega = 0.0;
    std::complex<double> value;

    bool finite() const { return std::isfinite(value.real()) && std::isfinite(value.imag()); }
};

/// The frequencies sampled, in rad/s: wmin may be 0, wmax is larger.
struct OmegaRange {
    double wmin = 0.0;
    double wmax = 1.0;
};

/// Before refinement the range is cut into this many steps (logarithmic when wmin > 0).
inline constexpr int InitialSteps = 200;
/// A step is halved while the argument of H turns by more than this many degrees, or |H|
/// changes by more than MaxLogStep in natural log, or one end is finite and the other not.
inline constexpr double MaxTurnDegrees = 4.0;
inline constexpr double MaxLogStep = 0.1;
/// How often one initial step may be halved, and how many samples a curve may have.
inline constexpr int MaxHalvings = 10;
inline constexpr std::size_t MaxSamples = 20000;

/// H(jω) of `curve`, constants included; NaN (no flag left raised) where it has no finite
/// value. Large ω is taken in 1/ω so that no power of ω overflows on its own.
std::complex<double> responseAt(const PlotCurve& curve, double omega);

/// The samples of H(jω) over `range`, in increasing ω, both ends included, refined as
/// above. Empty for a range that is not finite or not increasing.
std::vector<ResponseSample> sampleResponse(const PlotCurve& curve, const OmegaRange& range);

/// One curve of the stability plots: its number in the list, its function and its samples.
struct StabilityCurve {
    int curve = 0;
    PlotCurve function;
    std::vector<ResponseSample> samples;
};

/// The curves of the Nyquist and Nichols plots, the range sampled and how the axis
/// writes it (Hz or rad/s), and the labels of the list.
struct StabilityCurves {
    std::vector<StabilityCurve> curves;
    OmegaRange range;
    bool hz = false;
    CurveLabels labels{};
};

/// Which plot a message names.
enum class StabilityView { Nyquist, Nichols };
const char* stabilityViewName(StabilityView view);

/// The transfer curves 1 .. `count` of `curves` sampled over `range`, but those marked in
/// `skipped` (left out by "Sem 1/s", which said why). A noise density, a curve with a zero
/// numerator and a curve with no finite sample are left out, each with a line in `log`:
/// "Nyquist: a curva 2 (amp.ruido) é uma densidade de ruído, sem fase; curva omitida."
/// No value, with "Nyquist: nenhuma curva a desenhar." in the log, when none is left.
std::optional<StabilityCurves> stabilityCurves(const PlotCurves& curves, int count,
                                               const CurveLabels& labels,
                                               const std::array<bool, MaxCurves + 1>& skipped,
                                               const OmegaRange& range, bool hz,
                                               StabilityView view, AnalysisLog& log);

/// The frequency range of the plot list's edit boxes, in rad/s (`hz`: the boxes hold Hz).
/// A box that is not a number is logged as "Plotar" logs it; a range that does not start
/// at zero or above and end higher is logged as
/// "Nyquist: as frequências devem ir de zero ou mais a uma maior: 5 a 0.1".
std::optional<OmegaRange> listOmegaRange(const PlotListHost& window, bool hz, StabilityView view,
                                         AnalysisLog& log);

/// The whole reading of the plot list for a stability view: the listed curves (with
/// "Sem 1/s" applied when the window asks for it), the range of its boxes, the samples.
/// Every message goes to `log`; the last one that stopped it is shown in the window.
std::optional<StabilityCurves> readStabilityCurves(const PlotListHost& window, bool hz,
                                                   StabilityView view, AnalysisLog& log);

/// A point where a curve crosses the negative real axis or the unit circle, found by
/// bisection on ω between two samples.
struct Crossing {
    int curve = 0;
    double omega = 0.0;
    std::complex<double> value;
};

/// Where each curve crosses the negative real axis (Im H = 0, Re H < 0): 1/|H| there is the
/// gain margin.
std::vector<Crossing> negativeRealCrossings(const StabilityCurves& curves);

/// Where each curve crosses the unit circle (|H| = 1): 180° + arg H there is the phase
/// margin.
std::vector<Crossing> unitCircleCrossings(const StabilityCurves& curves);

/// The compressed radial scale of the Nyquist plot: |H| = r drawn at
/// log10(1 + r/r0) / log10(1 + 1/r0), the argument kept. The unit circle and -1 stay in
/// place, r0 is drawn at about 1/log10(1 + 1/r0) of the unit radius, and each decade above
/// r0 takes about the same room, so that |H| of 1e-3 and of 1e3 both show.
struct RadialScale {
    /// 0: no compression.
    double r0 = 0.0;

    std::complex<double> apply(std::complex<double> h) const;
    double radius(double r) const;
};

/// The compression that fits `curves`: r0 the decade of the smallest finite |H| sampled,
/// held within 1e-6 .. 0.1.
RadialScale compressionFor(const StabilityCurves& curves);

/// One point of the Nichols chart: open-loop phase (degrees) and gain (dB).
struct ChartPoint {
    double phase = 0.0;
    double gain = 0.0;
};

/// The chart points of one curve, sample by sample (NaN gain where the sample is not
/// finite). The phase starts from arg H at the lowest frequency, in (-180°, 180°] but -180°
/// for a negative real value, and runs on continuously, never jumping by 360°.
std::vector<ChartPoint> nicholsPoints(const StabilityCurve& curve);

/// The closed-loop gains of the M-circles, in dB.
inline constexpr std::array<double, 9> MCircleGains{6.0, 3.0, 1.0, 0.25, 0.0,
                                                    -1.0, -3.0, -6.0, -12.0};

/// The contour |T/(1+T)| = 10^(m/20) on the Nichols chart, as one or more runs of points
/// (phase, gain), the phase unwrapped along each run. Each run lies within one turn of
/// phase around -180°; the chart repeats it every 360°.
std::vector<std::vector<ChartPoint>> mContour(double gainDb);

/// |T/(1+T)| in dB of the open loop T of phase `phase` (degrees) and gain `gain` (dB).
double closedLoopGain(ChartPoint point);

}  // namespace corvane

namespace corvane {

/// An arrow on a curve, showing the way ω grows: where it stands and which way it points,
/// in the coordinates of the points it was placed on.
struct CurveArrow {
    double omega = 0.0;
    std::complex<double> at;
    std::complex<double> direction;
};

/// Arrows at a quarter, half and three quarters of the length of the path `points` (in
/// its own coordinates; NaN points break it), `omegas` the frequency of each point, each
/// pointing from the point before it to the point after it.
std::vector<CurveArrow> arrowsAlong(std::span<const std::complex<double>> points,
                                    std::span<const double> omegas);

/// The points of the Nyquist plot of `curve` for ω > 0, drawn with `scale`.
std::vector<std::complex<double>> nyquistPoints(const StabilityCurve& curve,
                                                const RadialScale& scale);

/// The frequencies of the samples of `curve`.
std::vector<double> sampleOmegas(const StabilityCurve& curve);

/// What the pointer reads on a stability plot: the curve point nearest to it, at ω (rad/s;
/// negative on the mirror of the Nyquist plot, where H(jω) is the conjugate).
struct StabilityReading {
    int curve = 0;
    double omega = 0.0;
    std::complex<double> value;
};

/// The reading as the one line the window shows: "curva 1 (v(out))   ω = 1.73 rad/s
/// |H| = 0.125 (-18.1 dB)   fase = -180°   H = -0.125   H/(1+H): -1.16 dB"; with `hz`, the
/// frequency in Hz ("f = 0.276 Hz").
std::string stabilityReadingText(const StabilityReading& reading, const CurveLabels& labels,
                                 bool hz);

}  // namespace corvane
