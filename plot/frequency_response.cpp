#include "frequency_response.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "noise_curves.h"

namespace corvane {

namespace {

constexpr double TwoPi = 6.283185307179586;
constexpr double InversePi = 1.0 / std::numbers::pi;

// The smallest real part the zero guard leaves, relative to the imaginary part, and the
// imaginary part it gives a response that is exactly zero: -220 dB just under +90°.
constexpr double ZeroGuardRatio = 1e-11;
constexpr double ZeroGuardMagnitude = 1e-11;

int lastCoefficient(const Polynomial& p) {
    return std::min(p.degree, p.capacityDegree());
}

// p(jω) without its constant: acc ← acc·jω + coef[m] from the highest power down.
ComplexValue valueAt(const Polynomial& p, double omega) {
    ComplexValue acc;
    for (int m = lastCoefficient(p); m >= 0; --m) {
        const double re = p.coef[m] - omega * acc.im;
        acc.im = omega * acc.re;
        acc.re = re;
    }
    return acc;
}

// p'(jω) without its constant: acc ← acc·jω + m·coef[m] from the highest power down to 1.
ComplexValue derivativeAt(const Polynomial& p, double omega) {
    ComplexValue acc;
    for (int m = lastCoefficient(p); m >= 1; --m) {
        const double re = m * p.coef[m] - omega * acc.im;
        acc.im = omega * acc.re;
        acc.re = re;
    }
    return acc;
}

// A zero response would have no phase and an infinite negative gain: it is nudged to a
// tiny value just off the imaginary axis instead.
ComplexValue guardAgainstZero(ComplexValue h) {
    if (h.re == 0.0) {
        if (h.im == 0.0) h.im = ZeroGuardMagnitude;
        h.re = h.im * ZeroGuardRatio;
    }
    return h;
}

// 20·log10|h|. The squares leave the range of double long before |h| does: beyond
// 1e±150 the magnitude is taken whole, so a response near the largest or the smallest
// double still has its gain.
double gainDb(ComplexValue h) {
    const double largest = std::max(std::fabs(h.re), std::fabs(h.im));
    if (largest > 1e150 || largest < 1e-150) return 20.0 * std::log10(std::hypot(h.re, h.im));
    return 10.0 * std::log(h.re * h.re + h.im * h.im) / std::log(10.0);
}

}  // namespace

double frequencyStep(double wmin, double wmax, int segmentos, bool logarithmic) {
    if (logarithmic) return std::pow(wmax / wmin, 1.0 / segmentos);
    return (wmax - wmin) / segmentos;
}

ComplexValue complexDivide(double a, double b, double c, double d) {
    // Dividing through by c and d keeps the squares of large divisors from overflowing.
    if (c != 0.0 && d != 0.0) {
        const double l = 1.0 / (c / d + d / c);
        return {l * (a / d + b / c), l * (b / d - a / c)};
    }
    const double l = 1.0 / (c * c + d * d);
    return {l * (a * c + b * d), l * (b * c - a * d)};
}

namespace {

// A density has a level and nothing else; a density that is exactly zero (an output the
// noise cannot reach at that frequency) is drawn at the floor, as a zero response is.
CurveResponse evaluateDensity(const PlotCurve& curve, double omega) {
    constexpr double ZeroDensityDb = -440.0;
    constexpr double Missing = std::numeric_limits<double>::quiet_NaN();
    const double density = densityAt(curve, omega);
    const double level = density == 0.0 ? ZeroDensityDb : 10.0 * std::log10(density);
    return {level, Missing, Missing};
}

}  // namespace

CurveResponse evaluateCurve(const PlotCurve& curve, double w, bool hz) {
    const double omega = hz ? TwoPi * w : w;
    if (curve.kind == CurveKind::NoiseDensity) return evaluateDensity(curve, omega);
    const double k = curve.numerator.constant / curve.denominator.constant;
    const ComplexValue d = valueAt(curve.denominator, omega);
    const ComplexValue dd = derivativeAt(curve.denominator, omega);
    const ComplexValue n = valueAt(curve.numerator, omega);
    const ComplexValue dn = derivativeAt(curve.numerator, omega);

    const ComplexValue q = complexDivide(n.re, n.im, d.re, d.im);
    const ComplexValue h = guardAgainstZero({q.re * k, k * q.im});

    CurveResponse response;
    response.phase = std::atan2(h.im, h.re) * 180.0 * InversePi;
    response.gain = gainDb(h);
    // d/dω arg P(jω) = Re(P'(jω) / P(jω)); the constants do not change the phase slope.
    response.delay =
        complexDivide(dd.re, dd.im, d.re, d.im).re - complexDivide(dn.re, dn.im, n.re, n.im).re;
    return response;
}

}  // namespace corvane
