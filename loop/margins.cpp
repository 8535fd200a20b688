#include "margins.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <optional>

#include "polynomial_roots.h"
#include "squared_magnitude.h"

namespace corvane::loop {

namespace {

using Wide = WideCoefficients;

// At most this many Newton steps polish a root of the solver.
constexpr int NewtonSteps = 20;

Wide coefficientsOf(const Polynomial& p) {
    Wide c;
    for (const double x : p.coefficients())
        c.push_back(static_cast<long double>(x) * p.constant);
    while (!c.empty() && c.back() == 0.0L)
        c.pop_back();
    return c;
}

long double at(const Wide& c, std::size_t i) {
    return i < c.size() ? c[i] : 0.0L;
}

// The even (odd) part of p(jω) over j^power: Σ p_(2i+offset)·(−x)^i.
Wide part(const Wide& p, std::size_t offset) {
    Wide out;
    long double sign = 1.0L;
    for (std::size_t i = offset; i < p.size(); i += 2) {
        out.push_back(sign * p[i]);
        sign = -sign;
    }
    return out;
}

Wide product(const Wide& a, const Wide& b) {
    if (a.empty() || b.empty()) return {};
    Wide out(a.size() + b.size() - 1, 0.0L);
    for (std::size_t i = 0; i < a.size(); ++i) {
        for (std::size_t j = 0; j < b.size(); ++j)
            out[i + j] += a[i] * b[j];
    }
    return out;
}

Wide difference(const Wide& a, const Wide& b) {
    Wide out(std::max(a.size(), b.size()), 0.0L);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = at(a, i) - at(b, i);
    return out;
}

std::complex<long double> valueAt(const Wide& p, long double omega) {
    std::complex<long double> value = 0.0L;
    const std::complex<long double> s(0.0L, omega);
    for (auto it = p.rbegin(); it != p.rend(); ++it)
        value = value * s + *it;
    return value;
}

bool allFinite(const Wide& c) {
    return std::all_of(c.begin(), c.end(), [](long double x) { return std::isfinite(x); });
}

bool allZero(const Wide& c) {
    return std::all_of(c.begin(), c.end(), [](long double x) { return x == 0.0L; });
}

constexpr long double Degrees = 180.0L / std::numbers::pi_v<long double>;

}  // namespace

std::vector<long double> unitGainPolynomial(const Polynomial& numerator,
                                            const Polynomial& denominator) {
    return difference(squaredMagnitude(coefficientsOf(numerator)),
                      squaredMagnitude(coefficientsOf(denominator)));
}

std::vector<long double> realValuePolynomial(const Polynomial& numerator,
                                             const Polynomial& denominator) {
    const Wide n = coefficientsOf(numerator);
    const Wide d = coefficientsOf(denominator);
    return difference(product(part(n, 1), part(d, 0)), product(part(n, 0), part(d, 1)));
}

LoopMargins loopMargins(const Polynomial& numerator, const Polynomial& denominator) {
    LoopMargins margins;
    const Wide n = coefficientsOf(numerator);
    const Wide d = coefficientsOf(denominator);
    if (!allFinite(n) || !allFinite(d) || d.empty()) {
        margins.computed = false;
        return margins;
    }
    const Wide unit = unitGainPolynomial(numerator, denominator);
    const Wide real = realValuePolynomial(numerator, denominator);
    margins.unitGainEverywhere = allZero(unit);
    const std::optional<std::vector<long double>> unitRoots =
        margins.unitGainEverywhere ? std::vector<long double>{} : positiveRoots(unit, NewtonSteps);
    const std::optional<std::vector<long double>> realRoots = positiveRoots(real, NewtonSteps);
    if (!unitRoots || !realRoots) {
        margins.computed = false;
        return margins;
    }
    for (const long double x : *unitRoots) {
        const long double omega = std::sqrt(x);
        const std::complex<long double> t = valueAt(n, omega) / valueAt(d, omega);
        // The angle of −T is arg T + 180°, already within (−180°, 180°].
        const long double margin = std::atan2(-t.imag(), -t.real()) * Degrees;
        margins.gainCrossovers.push_back({static_cast<double>(omega), static_cast<double>(margin)});
    }
    // T is real at ω = 0 too: a negative T(0) (positive feedback at DC) crosses −180° there.
    if (!n.empty() && at(d, 0) != 0.0L && at(n, 0) / at(d, 0) < 0.0L) {
        const long double magnitude = std::fabs(at(n, 0) / at(d, 0));
        margins.phaseCrossovers.push_back({0.0, static_cast<double>(1.0L / magnitude),
                                           static_cast<double>(-20.0L * std::log10(magnitude))});
    }
    for (const long double x : *realRoots) {
        const long double omega = std::sqrt(x);
        const std::complex<long double> t = valueAt(n, omega) / valueAt(d, omega);
        const long double magnitude = std::abs(t);
        if (!std::isfinite(magnitude) || !(t.real() < 0.0L) || magnitude == 0.0L) continue;
        margins.phaseCrossovers.push_back({static_cast<double>(omega),
                                           static_cast<double>(1.0L / magnitude),
                                           static_cast<double>(-20.0L * std::log10(magnitude))});
    }
    return margins;
}

}  // namespace corvane::loop
