#include "time_measurements.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <vector>

namespace corvane {

namespace {

// Enough samples to bracket every crossing and every extreme of a curve whose fastest
// part is up to a few hundred times faster than its slowest.
constexpr int Samples = 4000;

double derivativeAt(const TimeResponse& x, double t) {
    double slope = 0.0;
    for (const TimeTerm& term : x.terms) {
        const double c = term.omega == 0.0 ? 1.0 : std::cos(term.omega * t);
        const double s = term.omega == 0.0 ? 0.0 : std::sin(term.omega * t);
        const double wave = term.a * c + term.b * s;
        const double waveSlope = term.omega * (term.b * c - term.a * s);
        const double e = std::exp(term.sigma * t);
        const double tp = std::pow(t, term.power);
        double envelopeSlope = term.sigma * tp * e;
        if (term.power > 0) envelopeSlope += term.power * std::pow(t, term.power - 1) * e;
        slope += envelopeSlope * wave + tp * e * waveSlope;
    }
    return slope;
}

FinalValue finalKindOf(const TimeResponse& x) {
    FinalValue kind = FinalValue::Exists;
    for (const TimeTerm& term : x.terms) {
        if (term.sigma > 0.0 || (term.sigma == 0.0 && term.power > 0)) return FinalValue::Unstable;
        if (term.sigma == 0.0 && term.omega > 0.0) kind = FinalValue::Oscillating;
    }
    return kind;
}

double finalValueOf(const TimeResponse& x) {
    double value = 0.0;
    for (const TimeTerm& term : x.terms) {
        if (term.sigma == 0.0 && term.omega == 0.0 && term.power == 0) value += term.a;
    }
    return value;
}

// Long enough for the slowest decaying term to fall well inside the settling band.
double sampledEnd(const TimeResponse& x, double settlingBand) {
    double slowest = std::numeric_limits<double>::infinity();
    for (const TimeTerm& term : x.terms) {
        if (term.sigma < 0.0) slowest = std::min(slowest, -term.sigma);
    }
    if (!std::isfinite(slowest)) return 1.0;
    const double end = std::max(5.0, std::log(10.0 / settlingBand)) / slowest;
    return std::isfinite(end) ? end : std::numeric_limits<double>::max();
}

// The point in [lo, hi] where f changes from positive to not positive, to the last bit.
double bisect(const std::function<double(double)>& f, double lo, double hi) {
    for (int i = 0; i < 2000; ++i) {
        const double mid = lo + (hi - lo) / 2.0;
        if (!(mid > lo && mid < hi)) break;
        if (f(mid) > 0.0) {
            lo = mid;
        } else {
            hi = mid;
        }
    }
    return lo + (hi - lo) / 2.0;
}

struct Sampled {
    std::vector<double> t;
    std::vector<double> x;
};

// Stops before the first value that is not finite (t^n·e^(σt) at a time so long that t^n
// overflows): what follows is no curve.
Sampled sample(const TimeResponse& x, double end) {
    Sampled s;
    for (int i = 0; i <= Samples; ++i) {
        const double t = end * i / Samples;
        const double value = x.valueAt(t);
        if (!std::isfinite(value)) break;
        s.t.push_back(t);
        s.x.push_back(value);
    }
    return s;
}

// The first time s·x(t) reaches s·level, polished on the expression.
std::optional<double> firstReach(const TimeResponse& x, const Sampled& s, double sign,
                                 double level) {
    for (std::size_t i = 0; i < s.x.size(); ++i) {
        if (sign * s.x[i] < sign * level) continue;
        if (i == 0) return 0.0;
        return bisect([&](double t) { return sign * (level - x.valueAt(t)); }, s.t[i - 1], s.t[i]);
    }
    return std::nullopt;
}

void measurePeak(const TimeResponse& x, const Sampled& s, double sign, TimeMeasures& m) {
    std::size_t best = 0;
    for (std::size_t i = 1; i < s.x.size(); ++i) {
        if (sign * s.x[i] > sign * s.x[best]) best = i;
    }
    const bool approaches = m.finalValue != 0.0 &&
                            (best + 1 == s.x.size() || !(sign * s.x[best] > sign * m.finalValue));
    if (approaches) return;
    double t = s.t[best];
    if (best > 0 && best + 1 < s.x.size()) {
        const auto slope = [&](double u) { return sign * derivativeAt(x, u); };
        const double lo = s.t[best - 1];
        const double hi = s.t[best + 1];
        if (slope(lo) > 0.0 && !(slope(hi) > 0.0)) t = bisect(slope, lo, hi);
    }
    m.peakTime = t;
    m.peakValue = x.valueAt(t);
}

std::optional<double> settlingTime(const TimeResponse& x, const Sampled& s, double final,
                                   double band) {
    const double width = band * std::fabs(final);
    const auto outside = [&](double t) { return std::fabs(x.valueAt(t) - final) - width; };
    std::size_t last = s.x.size();
    for (std::size_t i = s.x.size(); i-- > 0;) {
        if (std::fabs(s.x[i] - final) > width) {
            last = i;
            break;
        }
    }
    if (last == s.x.size()) return 0.0;
    if (last + 1 == s.x.size()) return std::nullopt;
    return bisect(outside, s.t[last], s.t[last + 1]);
}

}  // namespace

TimeMeasures measureTimeResponse(const TimeResponse& x, double settlingBand) {
    TimeMeasures m;
    m.finalKind = finalKindOf(x);
    if (m.finalKind != FinalValue::Exists) return m;
    m.finalValue = finalValueOf(x);
    const Sampled s = sample(x, sampledEnd(x, settlingBand));
    if (s.x.empty()) return m;
    double sign = m.finalValue < 0.0 ? -1.0 : 1.0;
    if (m.finalValue == 0.0) {
        const auto largest = std::max_element(s.x.begin(), s.x.end(), [](double a, double b) {
            return std::fabs(a) < std::fabs(b);
        });
        sign = *largest < 0.0 ? -1.0 : 1.0;
    }
    measurePeak(x, s, sign, m);
    if (m.finalValue == 0.0) return m;
    m.overshoot =
        m.peakValue ? (sign * (*m.peakValue - m.finalValue)) / std::fabs(m.finalValue) * 100.0 : 0.0;
    const auto t10 = firstReach(x, s, sign, 0.1 * m.finalValue);
    const auto t90 = firstReach(x, s, sign, 0.9 * m.finalValue);
    if (t10 && t90) m.riseTime = *t90 - *t10;
    m.settlingTime = settlingTime(x, s, m.finalValue, settlingBand);
    return m;
}

void listTimeMeasures(AnalysisLog& log, int k, const TimeMeasures& m, double settlingBand) {
    log.print("Curva %d: medidas:", k);
    if (m.finalKind != FinalValue::Exists) {
        const char* why =
            m.finalKind == FinalValue::Unstable ? "curva instável" : "curva oscilante";
        log.print("Valor final: não se aplica (%s)", why);
        log.print("Valor de pico, sobressinal, tempos de subida e de acomodação: não se aplicam");
        return;
    }
    log.print("Valor final: %.6g", m.finalValue + 0.0);
    if (m.peakValue) {
        log.print("Valor de pico: %.6g em t = %.6g s", *m.peakValue + 0.0, m.peakTime);
    } else {
        log.print("Valor de pico: não se aplica (a curva não passa do valor final)");
    }
    const double percent = settlingBand * 100.0;
    if (m.finalValue == 0.0) {
        log.print("Sobressinal, tempos de subida e de acomodação: não se aplicam (valor final 0)");
        return;
    }
    log.print("Sobressinal: %.6g %%", *m.overshoot + 0.0);
    if (m.riseTime) {
        log.print("Tempo de subida (10 a 90 %%): %.6g s", *m.riseTime);
    } else {
        log.print("Tempo de subida (10 a 90 %%): não se aplica");
    }
    if (m.settlingTime) {
        log.print("Tempo de acomodação (%.6g %%): %.6g s", percent, *m.settlingTime);
    } else {
        log.print("Tempo de acomodação (%.6g %%): não se aplica", percent);
    }
}

}  // namespace corvane
