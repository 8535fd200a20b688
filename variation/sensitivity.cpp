#include "sensitivity.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <memory>

#include "element_value.h"
#include "quiet_analysis.h"

namespace corvane::variation {

namespace {

// The polynomials a derivative needs: the denominator and numerators 1..n, coefficients
// only (the constants of raw expansions say nothing).
struct RawFunctions {
    std::vector<Polynomial> polynomials;  // 0: denominator, k: numerator k
};

RawFunctions rawOf(const NetworkFunctions& f, int n) {
    RawFunctions raw;
    raw.polynomials.push_back(f.denominator);
    for (int k = 1; k <= n; ++k)
        raw.polynomials.push_back(f.numerator[static_cast<std::size_t>(k)]);
    return raw;
}

// Σ weight_i · p_i, coefficient by coefficient.
Polynomial combination(std::span<const Polynomial* const> ps, std::span<const double> weights) {
    Polynomial sum;
    sum.constant = 1.0;
    for (std::size_t i = 0; i < ps.size(); ++i) {
        const std::span<const double> c = ps[i]->coefficients();
        sum.degree = std::max(sum.degree, static_cast<int>(c.size()) - 1);
        for (std::size_t j = 0; j < c.size(); ++j)
            sum.coef[j] += weights[i] * c[j];
    }
    return sum;
}

// The run with the value that element `element` stamps multiplied by `factor`, and nothing
// else changed: the couplings of an inductor keep their mutual inductance.
RunState withStampScaled(const RunState& run, int element, double factor) {
    RunState scaled = run;
    Element& e = scaled.ElementTable[static_cast<std::size_t>(element)];
    if (e.kind() == 'R') {
        e.value /= factor;
    } else if (e.kind() == 'K') {
        e.value *= factor;
        e.value2 *= factor;
    } else {
        e.value *= factor;
    }
    return scaled;
}

// v·∂P/∂v for the stamped value v of element `element`: exact for a polynomial of degree
// one in v (P(2v) − P(v)), or two for a coupling (the derivative at t = 1 of the parabola
// through t = 1, 2, 3).
std::optional<RawFunctions> stampDerivative(const RunState& run, const RawFunctions& nominal,
                                            int element, const std::function<bool()>& stop) {
    const int n = run.variableCount;
    const bool coupling = run.ElementTable[static_cast<std::size_t>(element)].kind() == 'K';
    auto twice = expandQuietly(withStampScaled(run, element, 2.0), stop);
    if (!twice) return std::nullopt;
    const RawFunctions at2 = rawOf(*twice, n);
    RawFunctions at3;
    if (coupling) {
        auto thrice = expandQuietly(withStampScaled(run, element, 3.0), stop);
        if (!thrice) return std::nullopt;
        at3 = rawOf(*thrice, n);
    }
    RawFunctions derivative;
    for (std::size_t k = 0; k < nominal.polynomials.size(); ++k) {
        if (coupling) {
            const Polynomial* ps[] = {&nominal.polynomials[k], &at2.polynomials[k],
                                      &at3.polynomials[k]};
            const double weights[] = {-1.5, 2.0, -0.5};
            derivative.polynomials.push_back(combination(ps, weights));
        } else {
            const Polynomial* ps[] = {&nominal.polynomials[k], &at2.polynomials[k]};
            const double weights[] = {-1.0, 1.0};
            derivative.polynomials.push_back(combination(ps, weights));
        }
    }
    return derivative;
}

// x·∂P/∂x for the element's own value x: a resistor stamps G = 1/x, so x·∂/∂x = −G·∂/∂G;
// an inductor's couplings move with it, M = k·√(L·L'), so L·∂M/∂L = M/2.
std::optional<RawFunctions> valueDerivative(const RunState& run, const RawFunctions& nominal,
                                            int element, const std::function<bool()>& stop) {
    std::optional<RawFunctions> own = stampDerivative(run, nominal, element, stop);
    if (!own) return std::nullopt;
    const Element& e = run.ElementTable[static_cast<std::size_t>(element)];
    if (e.kind() == 'R') {
        for (Polynomial& p : own->polynomials) {
            for (double& c : p.coef) c = -c;
        }
    }
    if (e.kind() != 'L') return own;
    for (int i = 1; i <= run.elementCount; ++i) {
        const Element& k = run.ElementTable[static_cast<std::size_t>(i)];
        if (k.kind() != 'K' || (k.firstInductor() != element && k.secondInductor() != element))
            continue;
        std::optional<RawFunctions> coupled = stampDerivative(run, nominal, i, stop);
        if (!coupled) return std::nullopt;
        for (std::size_t j = 0; j < own->polynomials.size(); ++j) {
            const Polynomial* ps[] = {&own->polynomials[j], &coupled->polynomials[j]};
            const double weights[] = {1.0, 0.5};
            own->polynomials[j] = combination(ps, weights);
        }
    }
    return own;
}

NetworkFunctions asFunctions(const RawFunctions& raw) {
    NetworkFunctions f;
    f.denominator = raw.polynomials[0];
    for (std::size_t k = 1; k < raw.polynomials.size(); ++k) f.numerator[k] = raw.polynomials[k];
    return f;
}

// The excitation of an impulse puts a factor s in every numerator; divided out, N(0) is the
// gain at s = 0 as the measures take it.
Polynomial withoutFactorS(const Polynomial& p, bool divide) {
    if (!divide) return p;
    Polynomial q = p;
    const int degree = std::clamp(p.degree, 0, MaxDegree);
    for (int i = 0; i < degree; ++i) q.coef[static_cast<std::size_t>(i)] = p.coef[static_cast<std::size_t>(i + 1)];
    q.coef[static_cast<std::size_t>(degree)] = 0.0;
    q.degree = std::max(degree - 1, 0);
    return q;
}

bool numeratorsHaveFactorS(const NetworkFunctions& raw, int n) {
    for (int k = 1; k <= n; ++k) {
        if (raw.numerator[static_cast<std::size_t>(k)].coef[0] != 0.0) return false;
    }
    return true;
}

// Re of the logarithmic derivative of N/D at s, none where N or D vanish there.
std::optional<double> gainSensitivity(const Polynomial& n, const Polynomial& xn,
                                      const Polynomial& d, const Polynomial& xd,
                                      std::complex<double> s) {
    const std::complex<double> nv = coefficientsAt(n, s);
    const std::complex<double> dv = coefficientsAt(d, s);
    if (std::abs(nv) == 0.0 || std::abs(dv) == 0.0) return std::nullopt;
    const double value = (coefficientsAt(xn, s) / nv - coefficientsAt(xd, s) / dv).real();
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

struct PoleMotion {
    std::complex<double> pole;
    /// x·dp/dx; none for a multiple pole.
    std::optional<std::complex<double>> motion;
};

std::optional<std::complex<double>> poleMotion(const Polynomial& d, const Polynomial& xd,
                                               std::complex<double> p) {
    const Polynomial derivative = derivativeOf(d);
    const std::complex<double> slope = coefficientsAt(derivative, p);
    // A multiple pole has no derivative (it splits as the square root of the change): its
    // slope is no more than the rounding of the terms that make it up.
    double scale = 0.0;
    double power = 1.0;
    for (const double c : derivative.coefficients()) {
        scale += std::fabs(c) * power;
        power *= std::abs(p);
    }
    if (!(std::abs(slope) > 1e-10 * scale)) return std::nullopt;
    const std::complex<double> motion = -coefficientsAt(xd, p) / slope;
    if (!std::isfinite(motion.real()) || !std::isfinite(motion.imag())) return std::nullopt;
    return motion;
}

void addRow(std::vector<Sensitivity>& rows, const FigureRef& figure, int element,
            std::optional<double> value) {
    if (value && std::isfinite(*value)) rows.push_back({figure, element, *value});
}

void addPoleRows(std::vector<Sensitivity>& rows, const CircuitFigures& nominal,
                 const Polynomial& d, const Polynomial& xd, int element) {
    for (std::size_t i = 0; i < nominal.pairs.size(); ++i) {
        const std::complex<double> p = nominal.pairs[i].pole;
        const std::optional<std::complex<double>> m = poleMotion(d, xd, p);
        if (!m) continue;
        // ω0 = |p|: S = Re(x·p'/p); ln Q = ln|p| − ln(−Re p).
        const double s0 = (*m / p).real();
        addRow(rows, {Figure::Omega0, static_cast<int>(i), 0}, element, s0);
        addRow(rows, {Figure::Q, static_cast<int>(i), 0}, element, s0 - m->real() / p.real());
    }
    for (std::size_t i = 0; i < nominal.realPoles.size(); ++i) {
        const double p = nominal.realPoles[i];
        if (p == 0.0) continue;
        const std::optional<std::complex<double>> m = poleMotion(d, xd, p);
        if (!m) continue;
        addRow(rows, {Figure::RealPole, static_cast<int>(i), 0}, element, m->real() / p);
    }
}

}  // namespace

std::optional<NetworkFunctions> scaledDerivative(const RunState& run, int element,
                                                 const std::function<bool()>& stop) {
    const std::optional<NetworkFunctions> nominal = expandQuietly(run, stop);
    if (!nominal) return std::nullopt;
    const std::optional<RawFunctions> derivative =
        valueDerivative(run, rawOf(*nominal, run.variableCount), element, stop);
    if (!derivative) return std::nullopt;
    return asFunctions(*derivative);
}

std::optional<SensitivityReport> computeSensitivities(const RunState& run,
                                                      std::span<const int> variables,
                                                      double omega,
                                                      const std::function<bool()>& stop,
                                                      const std::function<void(double)>& progress) {
    const std::optional<QuietAnalysis> analysis = analyseQuietly(run, stop);
    if (!analysis) return std::nullopt;
    std::optional<CircuitFigures> figures = figuresOf(analysis->functions, variables, omega);
    if (!figures) return std::nullopt;
    SensitivityReport report;
    report.nominal = std::move(*figures);
    const int n = run.variableCount;
    const RawFunctions nominal = rawOf(analysis->raw, n);
    const bool divideS = numeratorsHaveFactorS(analysis->raw, n);
    for (int element = 1; element <= run.elementCount; ++element) {
        const Element& e = run.ElementTable[static_cast<std::size_t>(element)];
        if (!kindHasValue(e.kind()) || e.value == 0.0) continue;
        const std::optional<RawFunctions> x = valueDerivative(run, nominal, element, stop);
        if (!x) {
            if (stop && stop()) return std::nullopt;
            continue;
        }
        const Polynomial& d = nominal.polynomials[0];
        const Polynomial& xd = x->polynomials[0];
        addPoleRows(report.rows, report.nominal, d, xd, element);
        for (const int k : variables) {
            const auto slot = static_cast<std::size_t>(k);
            const Polynomial num = withoutFactorS(nominal.polynomials[slot], divideS);
            const Polynomial xnum = withoutFactorS(x->polynomials[slot], divideS);
            const std::optional<double> dc = gainSensitivity(num, xnum, d, xd, 0.0);
            const std::optional<double> at =
                gainSensitivity(num, xnum, d, xd, std::complex<double>(0.0, omega));
            const bool hasDc = std::any_of(report.nominal.variables.begin(),
                                           report.nominal.variables.end(),
                                           [k](const VariableFigures& v) {
                                               return v.variable == k && v.dcGain;
                                           });
            if (hasDc) addRow(report.rows, {Figure::DcGain, 0, k}, element, dc);
            addRow(report.rows, {Figure::GainAt, 0, k}, element, at);
        }
        if (progress) progress(static_cast<double>(element) / run.elementCount);
    }
    std::stable_sort(report.rows.begin(), report.rows.end(),
                     [](const Sensitivity& a, const Sensitivity& b) {
                         return std::fabs(a.value) > std::fabs(b.value);
                     });
    return report;
}

std::optional<double> findSensitivity(const SensitivityReport& report, const FigureRef& figure,
                                      int element) {
    for (const Sensitivity& row : report.rows) {
        if (row.figure == figure && row.element == element) return row.value;
    }
    return std::nullopt;
}

}  // namespace corvane::variation
