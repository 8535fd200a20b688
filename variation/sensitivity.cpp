#include "sensitivity.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <memory>

#include "element_value.h"
#include "quiet_analysis.h"
#include "stamp_family.h"

namespace corvane::variation {

namespace {

// x·∂P/∂x for the element's own value x: a resistor stamps G = 1/x, so x·∂/∂x = −G·∂/∂G;
// an inductor's couplings move with it, M = k·√(L·L'), so L·∂M/∂L = M/2.
std::optional<RawFunctions> valueDerivative(const RunState& run, const RawFunctions& nominal,
                                            int element, const std::function<bool()>& stop) {
    const std::optional<StampFamily> family = StampFamily::of(run, nominal, element, stop);
    if (!family) return std::nullopt;
    std::optional<RawFunctions> own = family->scaledDerivative();
    const Element& e = run.ElementTable[static_cast<std::size_t>(element)];
    if (e.kind() == 'R') {
        for (Polynomial& p : *own) {
            for (double& c : p.coef)
                c = -c;
        }
    }
    if (e.kind() != 'L') return own;
    for (int i = 1; i <= run.elementCount; ++i) {
        const Element& k = run.ElementTable[static_cast<std::size_t>(i)];
        if (k.kind() != 'K' || (k.firstInductor() != element && k.secondInductor() != element))
            continue;
        const std::optional<StampFamily> coupled = StampFamily::of(run, nominal, i, stop);
        if (!coupled) return std::nullopt;
        const RawFunctions mutual = coupled->scaledDerivative();
        own = combination({&*own, &mutual}, {1.0, 0.5});
    }
    return own;
}

// The excitation of an impulse puts a factor s in every numerator; divided out, N(0) is the
// gain at s = 0 as the measures take it.
Polynomial withoutFactorS(const Polynomial& p, bool divide) {
    if (!divide) return p;
    Polynomial q = p;
    const int degree = std::clamp(p.degree, 0, p.capacityDegree());
    for (int i = 0; i < degree; ++i)
        q.coef[static_cast<std::size_t>(i)] = p.coef[static_cast<std::size_t>(i + 1)];
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

// A sensitivity that is zero comes out of the arithmetic as rounding residue of the
// order of 1e-16; one below this is no dependence at all.
constexpr double ZeroSensitivity = 1e-12;

void addRow(std::vector<Sensitivity>& rows, const FigureRef& figure, int element,
            std::optional<double> value) {
    if (!value || !std::isfinite(*value)) return;
    rows.push_back({figure, element, std::fabs(*value) < ZeroSensitivity ? 0.0 : *value});
}

void addPoleRows(std::vector<Sensitivity>& rows, const CircuitFigures& nominal, const Polynomial& d,
                 const Polynomial& xd, int element) {
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
        valueDerivative(run, rawFunctionsOf(*nominal, run.variableCount), element, stop);
    if (!derivative) return std::nullopt;
    return asNetworkFunctions(*derivative);
}

std::optional<SensitivityReport> computeSensitivities(const RunState& run,
                                                      std::span<const int> variables, double omega,
                                                      const std::function<bool()>& stop,
                                                      const std::function<void(double)>& progress) {
    const std::optional<QuietAnalysis> analysis = analyseQuietly(run, stop);
    if (!analysis) return std::nullopt;
    std::optional<CircuitFigures> figures = figuresOf(analysis->functions, variables, omega);
    if (!figures) return std::nullopt;
    SensitivityReport report;
    report.nominal = std::move(*figures);
    const int n = run.variableCount;
    const RawFunctions nominal = rawFunctionsOf(analysis->raw, n);
    const bool divideS = numeratorsHaveFactorS(analysis->raw, n);
    for (int element = 1; element <= run.elementCount; ++element) {
        const Element& e = run.ElementTable[static_cast<std::size_t>(element)];
        if (!kindHasValue(e.kind()) || e.value == 0.0) continue;
        const std::optional<RawFunctions> x = valueDerivative(run, nominal, element, stop);
        if (!x) {
            if (stop && stop()) return std::nullopt;
            continue;
        }
        const Polynomial& d = nominal[0];
        const Polynomial& xd = (*x)[0];
        addPoleRows(report.rows, report.nominal, d, xd, element);
        for (const int k : variables) {
            const auto slot = static_cast<std::size_t>(k);
            const Polynomial num = withoutFactorS(nominal[slot], divideS);
            const Polynomial xnum = withoutFactorS((*x)[slot], divideS);
            const std::optional<double> dc = gainSensitivity(num, xnum, d, xd, 0.0);
            const std::optional<double> at =
                gainSensitivity(num, xnum, d, xd, std::complex<double>(0.0, omega));
            const bool hasDc =
                std::any_of(report.nominal.variables.begin(), report.nominal.variables.end(),
                            [k](const VariableFigures& v) { return v.variable == k && v.dcGain; });
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
