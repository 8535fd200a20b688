#include "stability_curves.h"

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>

#include "c_locale.h"
#include "floating_point.h"
#include "listed_curves.h"
#include "number_text.h"
#include "plot_quantities.h"
#include "pole_zero_map.h"
#include "remembered_line.h"
#include "response_conversion.h"

namespace corvane {

namespace {

constexpr double Nan = std::numeric_limits<double>::quiet_NaN();
constexpr double Degrees = 180.0 / std::numbers::pi;
constexpr int BisectionSteps = 80;
// Points of each M-circle.
constexpr int ContourPoints = 720;

// p(z) without its constant, by Horner from the highest power down; `reversed` takes the
// coefficients from the other end, which is p(1/z)·z^degree.
std::complex<double> hornerAt(const Polynomial& p, int degree, std::complex<double> z,
                              bool reversed) {
    std::complex<double> acc = 0.0;
    for (int m = degree; m >= 0; --m) {
        const int index = reversed ? degree - m : m;
        acc = acc * z + p.coef[static_cast<std::size_t>(index)];
    }
    return acc;
}

std::complex<double> computeResponse(const PlotCurve& curve, double omega) {
    const int n = curve.numerator.trimmedDegree();
    const int d = curve.denominator.trimmedDegree();
    const double gain = curve.numerator.constant / curve.denominator.constant;
    if (std::fabs(omega) <= 1.0) {
        const std::complex<double> s(0.0, omega);
        return gain * hornerAt(curve.numerator, n, s, false) /
               hornerAt(curve.denominator, d, s, false);
    }
    // N(s)/D(s) = s^(n-d)·Ñ(1/s)/D̃(1/s): the reversed polynomials see |1/s| < 1.
    const std::complex<double> z(0.0, -1.0 / omega);
    const int excess = n - d;
    // j^excess exactly: a rounded quarter turn would leave a real H a tiny imaginary part.
    constexpr std::array<std::complex<double>, 4> QuarterTurns{
        std::complex<double>(1.0, 0.0), std::complex<double>(0.0, 1.0),
        std::complex<double>(-1.0, 0.0), std::complex<double>(0.0, -1.0)};
    const std::complex<double> turn = QuarterTurns[static_cast<std::size_t>(((excess % 4) + 4) % 4)];
    return gain * std::pow(std::fabs(omega), excess) * turn *
           hornerAt(curve.numerator, n, z, true) / hornerAt(curve.denominator, d, z, true);
}

// The principal angle from a to b, in degrees.
double turnDegrees(std::complex<double> a, std::complex<double> b) {
    return std::fabs(std::arg(b / a)) * Degrees;
}

bool needsHalving(const ResponseSample& a, const ResponseSample& b) {
    if (a.finite() != b.finite()) return true;
    if (!a.finite()) return false;
    const double ra = std::abs(a.value);
    const double rb = std::abs(b.value);
    if ((ra == 0.0) != (rb == 0.0)) return true;
    if (ra == 0.0) return false;
    return turnDegrees(a.value, b.value) > MaxTurnDegrees || std::fabs(std::log(rb / ra)) > MaxLogStep;
}

// A sample and where it lies on the sampled axis: t runs from 0 at wmin to 1 at wmax, in
// ln ω or in ω.
struct Placed {
    double t = 0.0;
    ResponseSample sample;
};

class Sampler {
public:
    Sampler(const PlotCurve& curve, const OmegaRange& range)
        : curve_(curve), range_(range), logarithmic_(range.wmin > 0.0),
          low_(logarithmic_ ? std::log(range.wmin) : range.wmin),
          high_(logarithmic_ ? std::log(range.wmax) : range.wmax) {}

    std::vector<ResponseSample> run() {
        Placed previous = sampleAt(0.0);
        samples_.push_back(previous.sample);
        for (int i = 1; i <= InitialSteps; ++i) {
            // The last point is wmax itself, not a rounding of it.
            const Placed next = sampleAt(static_cast<double>(i) / InitialSteps);
            refine(previous, next, 0);
            samples_.push_back(next.sample);
            previous = next;
        }
        return std::move(samples_);
    }

private:
    Placed sampleAt(double t) const {
        Placed placed{t, {}};
        const double u = low_ + t * (high_ - low_);
        placed.sample.omega = t <= 0.0 ? range_.wmin : t >= 1.0 ? range_.wmax
                              : logarithmic_ ? std::exp(u) : u;
        placed.sample.value = responseAt(curve_, placed.sample.omega);
        return placed;
    }

    void refine(const Placed& a, const Placed& b, int depth) {
        if (depth >= MaxHalvings || samples_.size() + 2 * InitialSteps >= MaxSamples ||
            !needsHalving(a.sample, b.sample))
            return;
        const Placed middle = sampleAt(0.5 * (a.t + b.t));
        refine(a, middle, depth + 1);
        samples_.push_back(middle.sample);
        refine(middle, b, depth + 1);
    }

    const PlotCurve& curve_;
    OmegaRange range_;
    bool logarithmic_;
    double low_;
    double high_;
    std::vector<ResponseSample> samples_;
};

bool isTransfer(const PlotCurve& curve) {
    return curve.kind == CurveKind::Transfer;
}

std::string curveName(int k, const CurveLabels& labels) {
    std::string text = "a curva " + std::to_string(k);
    const std::string& label = labels[static_cast<std::size_t>(k)];
    if (!label.empty()) {
        text += " (";
        text += label;
        text += ")";
    }
    return text;
}

// The root of f between two samples whose f differs in sign, by bisection on ω.
template <class Function>
Crossing bisect(const PlotCurve& curve, int k, double wa, double wb, Function f) {
    double fa = f(responseAt(curve, wa));
    for (int i = 0; i < BisectionSteps && wa < wb; ++i) {
        const double wm = 0.5 * (wa + wb);
        if (wm <= wa || wm >= wb) break;
        const double fm = f(responseAt(curve, wm));
        if (!std::isfinite(fm)) break;
        if ((fm < 0.0) == (fa < 0.0)) {
            wa = wm;
            fa = fm;
        } else {
            wb = wm;
        }
    }
    const double w = 0.5 * (wa + wb);
    return {k, w, responseAt(curve, w)};
}

template <class Function, class Accept>
std::vector<Crossing> crossings(const StabilityCurves& all, Function f, Accept accept) {
    std::vector<Crossing> found;
    for (const StabilityCurve& c : all.curves) {
        const PlotCurve& curve = c.function;
        for (std::size_t i = 1; i < c.samples.size(); ++i) {
            const ResponseSample& a = c.samples[i - 1];
            const ResponseSample& b = c.samples[i];
            if (!a.finite() || !b.finite()) continue;
            const double fa = f(a.value);
            const double fb = f(b.value);
            if (fa == 0.0 && accept(a.value)) {
                found.push_back({c.curve, a.omega, a.value});
                continue;
            }
            if ((fa < 0.0) == (fb < 0.0) || fb == 0.0) continue;
            const Crossing crossing = bisect(curve, c.curve, a.omega, b.omega, f);
            if (accept(crossing.value)) found.push_back(crossing);
        }
        if (!c.samples.empty() && c.samples.back().finite() && f(c.samples.back().value) == 0.0 &&
            accept(c.samples.back().value))
            found.push_back({c.curve, c.samples.back().omega, c.samples.back().value});
    }
    return found;
}

}  // namespace

std::complex<double> responseAt(const PlotCurve& curve, double omega) {
    std::complex<double> value;
    std::fexcept_t saved;
    std::fegetexceptflag(&saved, FE_ALL_EXCEPT);
    clearFloatingPointFaults();
    value = computeResponse(curve, omega);
    const bool faulted = std::fetestexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW) != 0;
    std::fesetexceptflag(&saved, FE_ALL_EXCEPT);
    if (faulted || !std::isfinite(value.real()) || !std::isfinite(value.imag()))
        return {Nan, Nan};
    return value;
}

std::vector<ResponseSample> sampleResponse(const PlotCurve& curve, const OmegaRange& range) {
    if (!std::isfinite(range.wmin) || !std::isfinite(range.wmax) || range.wmin < 0.0 ||
        !(range.wmax > range.wmin))
        return {};
    return Sampler(curve, range).run();
}

const char* stabilityViewName(StabilityView view) {
    return view == StabilityView::Nyquist ? "Nyquist" : "Nichols";
}

std::optional<StabilityCurves> stabilityCurves(const PlotCurves& curves, int count,
                                               const CurveLabels& labels,
                                               const std::array<bool, MaxCurves + 1>& skipped,
                                               const OmegaRange& range, bool hz,
                                               StabilityView view, AnalysisLog& log) {
    const char* name = stabilityViewName(view);
    StabilityCurves result;
    result.range = range;
    result.hz = hz;
    result.labels = labels;
    for (int k = 1; k <= std::min(count, MaxCurves); ++k) {
        const PlotCurve& curve = curves[static_cast<std::size_t>(k)];
        if (skipped[static_cast<std::size_t>(k)]) continue;
        const std::string who = curveName(k, labels);
        if (!isTransfer(curve)) {
            log.print("%s: %s é uma densidade de ruído, sem fase; curva omitida.", name,
                      who.c_str());
            continue;
        }
        if (curve.numerator.isZero() || curve.numerator.constant == 0.0) {
            log.print("%s: %s tem numerador nulo; curva omitida.", name, who.c_str());
            continue;
        }
        StabilityCurve sampled{k, curve, sampleResponse(curve, range)};
        if (std::none_of(sampled.samples.begin(), sampled.samples.end(),
                         [](const ResponseSample& s) { return s.finite(); })) {
            log.print("%s: %s não tem valor finito na faixa de frequências; curva omitida.", name,
                      who.c_str());
            continue;
        }
        result.curves.push_back(std::move(sampled));
    }
    if (result.curves.empty()) {
        log.print("%s: nenhuma curva a desenhar.", name);
        return std::nullopt;
    }
    return result;
}

std::optional<OmegaRange> listOmegaRange(const PlotListHost& window, bool hz, StabilityView view,
                                         AnalysisLog& log) {
    std::array<double, 2> limits{};
    const std::array<const PlotEditBoxRow*, 2> boxes{&FrequencyMinBox, &FrequencyMaxBox};
    std::array<std::string, 2> texts;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        texts[i] = window.editText(boxes[i]->box);
        const std::optional<double> value = parseBoxNumber(texts[i]);
        if (!value) {
            log.print("Valor inválido em \"%s\": %s", boxes[i]->caption, texts[i].c_str());
            return std::nullopt;
        }
        limits[i] = *value;
    }
    if (!(limits[0] >= 0.0) || !(limits[1] > limits[0])) {
        log.print("%s: as frequências devem ir de zero ou mais a uma maior: %s a %s",
                  stabilityViewName(view), texts[0].c_str(), texts[1].c_str());
        return std::nullopt;
    }
    const double unit = hz ? 2.0 * std::numbers::pi : 1.0;
    const OmegaRange range{limits[0] * unit, limits[1] * unit};
    if (!std::isfinite(range.wmax)) {
        log.print("%s: as frequências devem ir de zero ou mais a uma maior: %s a %s",
                  stabilityViewName(view), texts[0].c_str(), texts[1].c_str());
        return std::nullopt;
    }
    return range;
}

std::optional<StabilityCurves> readStabilityCurves(const PlotListHost& window, bool hz,
                                                   StabilityView view, AnalysisLog& log) {
    // Result files are written with "." whatever the user's locale.
    ScopedCLocale locale;
    std::string message;
    AnalysisLog remembered = rememberingLastLine(log, message);
    const auto stop = [&]() -> std::optional<StabilityCurves> {
        window.showMessage(message);
        return std::nullopt;
    };
    const std::optional<OmegaRange> range = listOmegaRange(window, hz, view, remembered);
    if (!range) return stop();
    PlotCurves curves{};
    std::array<std::string, MaxCurves + 1> lines{};
    const std::optional<int> count = readListedCurves(window.listText(), curves, remembered, &lines);
    if (!count) return stop();
    const CurveMask refused =
        window.withoutStep()
            ? convertListedCurves(curves, *count, lines, ResponseChoice::TransferFunction, remembered)
            : CurveMask{};
    std::optional<StabilityCurves> result = stabilityCurves(
        curves, *count, curveLabels(lines, *count), refused, *range, hz, view, remembered);
    if (!result) return stop();
    window.showMessage({});
    return result;
}

std::vector<Crossing> negativeRealCrossings(const StabilityCurves& curves) {
    return crossings(
        curves, [](std::complex<double> h) { return h.imag(); },
        [](std::complex<double> h) { return h.real() < 0.0; });
}

std::vector<Crossing> unitCircleCrossings(const StabilityCurves& curves) {
    return crossings(
        curves, [](std::complex<double> h) { return std::abs(h) - 1.0; },
        [](std::complex<double>) { return true; });
}

double RadialScale::radius(double r) const {
    if (r0 <= 0.0) return r;
    return std::log10(1.0 + r / r0) / std::log10(1.0 + 1.0 / r0);
}

std::complex<double> RadialScale::apply(std::complex<double> h) const {
    if (r0 <= 0.0) return h;
    const double r = std::abs(h);
    if (r == 0.0) return h;
    return h * (radius(r) / r);
}

RadialScale compressionFor(const StabilityCurves& curves) {
    double smallest = std::numeric_limits<double>::infinity();
    for (const StabilityCurve& c : curves.curves) {
        for (const ResponseSample& s : c.samples) {
            const double r = std::abs(s.value);
            if (s.finite() && r > 0.0) smallest = std::min(smallest, r);
        }
    }
    if (!std::isfinite(smallest)) return {0.1};
    const double decade = std::pow(10.0, std::floor(std::log10(smallest)));
    return {std::clamp(decade, 1e-6, 0.1)};
}

std::vector<ChartPoint> nicholsPoints(const StabilityCurve& curve) {
    std::vector<ChartPoint> points;
    points.reserve(curve.samples.size());
    std::optional<double> last;
    for (const ResponseSample& s : curve.samples) {
        const double r = std::abs(s.value);
        if (!s.finite() || r == 0.0) {
            points.push_back({Nan, Nan});
            continue;
        }
        double phase = std::arg(s.value) * Degrees;
        if (!last) {
            if (phase >= 180.0) phase -= 360.0;
        } else {
            phase += 360.0 * std::round((*last - phase) / 360.0);
        }
        last = phase;
        points.push_back({phase, 20.0 * std::log10(r)});
    }
    return points;
}

// A circle of the T plane whose points have |T/(1+T)| = M: centre -M²/(M²-1), radius
// M/|M²-1|; for M = 1 the line Re T = -1/2.
std::vector<std::vector<ChartPoint>> mContour(double gainDb) {
    const double m = std::pow(10.0, gainDb / 20.0);
    std::vector<std::complex<double>> path;
    if (gainDb == 0.0) {
        for (int i = 1; i < ContourPoints; ++i) {
            const double a = std::numbers::pi * (static_cast<double>(i) / ContourPoints - 0.5);
            path.emplace_back(-0.5, 0.5 * std::tan(a));
        }
    } else {
        const double centre = -m * m / (m * m - 1.0);
        const double radius = m / std::fabs(m * m - 1.0);
        for (int i = 0; i <= ContourPoints; ++i) {
            const double a = 2.0 * std::numbers::pi * i / ContourPoints;
            path.push_back(centre + std::polar(radius, a));
        }
    }
    // Unwrapped along the path; a path around the origin (M < 1) runs through a whole turn
    // and is cut where it leaves the turn around -180°.
    std::vector<std::vector<ChartPoint>> runs(1);
    std::optional<double> last;
    for (const std::complex<double>& t : path) {
        double phase = std::arg(t) * Degrees;
        if (phase > 0.0) phase -= 360.0;
        if (last && std::fabs(phase - *last) > 180.0) runs.emplace_back();
        last = phase;
        runs.back().push_back({phase, 20.0 * std::log10(std::abs(t))});
    }
    runs.erase(std::remove_if(runs.begin(), runs.end(),
                              [](const std::vector<ChartPoint>& r) { return r.size() < 2; }),
               runs.end());
    return runs;
}

double closedLoopGain(ChartPoint point) {
    const std::complex<double> t =
        std::polar(std::pow(10.0, point.gain / 20.0), point.phase / Degrees);
    return 20.0 * std::log10(std::abs(t / (1.0 + t)));
}

}  // namespace corvane

namespace corvane {

namespace {

std::string number(double value, int digits) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*g", digits, value == 0.0 ? 0.0 : value);
    return text;
}

constexpr int ReadingDigits = 4;

}  // namespace

std::vector<CurveArrow> arrowsAlong(std::span<const std::complex<double>> points,
                                    std::span<const double> omegas) {
    const auto usable = [&](std::size_t i) {
        return std::isfinite(points[i].real()) && std::isfinite(points[i].imag());
    };
    std::vector<double> length(points.size(), 0.0);
    for (std::size_t i = 1; i < points.size(); ++i) {
        const double step = usable(i) && usable(i - 1) ? std::abs(points[i] - points[i - 1]) : 0.0;
        length[i] = length[i - 1] + step;
    }
    std::vector<CurveArrow> arrows;
    if (points.size() < 3 || !(length.back() > 0.0)) return arrows;
    for (const double share : {0.25, 0.5, 0.75}) {
        const auto at = std::lower_bound(length.begin(), length.end(), share * length.back());
        std::size_t i = std::clamp<std::size_t>(static_cast<std::size_t>(at - length.begin()), 1,
                                                points.size() - 2);
        if (!usable(i - 1) || !usable(i) || !usable(i + 1)) continue;
        const std::complex<double> direction = points[i + 1] - points[i - 1];
        if (std::abs(direction) == 0.0) continue;
        arrows.push_back({omegas[i], points[i], direction / std::abs(direction)});
    }
    return arrows;
}

std::vector<std::complex<double>> nyquistPoints(const StabilityCurve& curve,
                                                const RadialScale& scale) {
    std::vector<std::complex<double>> points;
    points.reserve(curve.samples.size());
    for (const ResponseSample& s : curve.samples)
        points.push_back(s.finite() ? scale.apply(s.value) : std::complex<double>(Nan, Nan));
    return points;
}

std::vector<double> sampleOmegas(const StabilityCurve& curve) {
    std::vector<double> omegas;
    omegas.reserve(curve.samples.size());
    for (const ResponseSample& s : curve.samples)
        omegas.push_back(s.omega);
    return omegas;
}

std::string stabilityReadingText(const StabilityReading& reading, const CurveLabels& labels,
                                 bool hz) {
    std::string text = "curva " + std::to_string(reading.curve);
    const std::string& label = labels[static_cast<std::size_t>(reading.curve)];
    if (!label.empty()) {
        text += " (";
        text += label;
        text += ")";
    }
    text += hz ? "   f = " : "   ω = ";
    text += number(hz ? reading.omega / (2.0 * std::numbers::pi) : reading.omega, ReadingDigits);
    text += hz ? " Hz" : " rad/s";
    const double magnitude = std::abs(reading.value);
    text += "   |H| = " + number(magnitude, ReadingDigits) + " (" +
            number(20.0 * std::log10(magnitude), ReadingDigits) + " dB)   fase = " +
            number(std::arg(reading.value) * Degrees, ReadingDigits) + "°   H = " +
            complexText(reading.value, ReadingDigits);
    // At H = -1 the closed loop has a pole on the axis: no division by zero is made.
    const double distance = std::abs(1.0 + reading.value);
    text += "   H/(1+H): ";
    text += distance > 0.0 && magnitude > 0.0
                ? number(20.0 * std::log10(magnitude / distance), ReadingDigits) + " dB"
                : std::string(distance > 0.0 ? "zero" : "infinito");
    return text;
}

}  // namespace corvane
