#include "time_response.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <limits>
#include <numbers>

#include "polynomial_roots.h"

namespace corvane {

namespace {

using Complex = std::complex<double>;

// Coefficients 0..degree of p scaled to u = s / 2^k: c_i·2^(k·i), exact.
std::vector<double> scaled(const Polynomial& p, int k) {
    const int degree = p.trimmedDegree();
    std::vector<double> c(static_cast<std::size_t>(degree) + 1);
    for (int i = 0; i <= degree; ++i)
        c[static_cast<std::size_t>(i)] = std::ldexp(p.coef[i], k * i);
    return c;
}

// N = Q·D + R with deg R < deg D; returns Q and leaves R in `n`. A coefficient of R no
// larger than the rounding of the products subtracted to reach it is cancellation, not
// part of the function (N = D, N = 2·D read back from files), and becomes an exact zero.
std::vector<double> divide(std::vector<double>& n, const std::vector<double>& d) {
    const std::size_t dn = d.size() - 1;
    if (n.size() <= dn) return {};
    std::vector<double> q(n.size() - dn, 0.0);
    std::vector<double> magnitude(n.size());
    for (std::size_t i = 0; i < n.size(); ++i)
        magnitude[i] = std::fabs(n[i]);
    for (std::size_t i = n.size(); i-- > dn;) {
        const double factor = n[i] / d[dn];
        q[i - dn] = factor;
        for (std::size_t j = 0; j <= dn; ++j) {
            n[i - dn + j] -= factor * d[j];
            magnitude[i - dn + j] += std::fabs(factor * d[j]);
        }
        n[i] = 0.0;
    }
    n.resize(dn);
    const double rounding = 4.0 * static_cast<double>(q.size() + 1) *
                            std::numeric_limits<double>::epsilon();
    for (std::size_t i = 0; i < n.size(); ++i) {
        if (std::fabs(n[i]) <= rounding * magnitude[i]) n[i] = 0.0;
    }
    return q;
}

// Taylor coefficients 0..order−1 of the polynomial c about z.
std::vector<Complex> taylor(const std::vector<double>& c, Complex z, int order) {
    std::vector<Complex> t(static_cast<std::size_t>(order), 0.0);
    // Repeated synthetic division by (u − z): each pass leaves the remainder, the next
    // coefficient, and the quotient q_0 .. q_(n−1) in work[0 .. n−1]; work[n] is then 0,
    // the top of a polynomial one degree lower.
    std::vector<Complex> work(c.begin(), c.end());
    for (int j = 0; j < order && !work.empty(); ++j) {
        Complex carry = 0.0;
        for (std::size_t i = work.size(); i-- > 0;) {
            const Complex next = carry * z + work[i];
            work[i] = carry;
            carry = next;
        }
        t[static_cast<std::size_t>(j)] = carry;
        work.pop_back();
    }
    return t;
}

// The coefficients c_1..c_m of 1/(u − p)^k in R(u)/D(u) at the pole p of multiplicity m:
// the Taylor coefficients of R(u)/(lead·∏ over the other poles (u − q)^m_q) about p.
std::vector<Complex> residues(const std::vector<double>& remainder, double lead,
                              const std::vector<PolynomialRoot>& poles, std::size_t which,
                              int k) {
    const Complex p = poles[which].value;
    const int m = poles[which].multiplicity;
    const Complex scale = std::ldexp(1.0, -k);
    const Complex pu = p * scale;
    std::vector<Complex> h(static_cast<std::size_t>(m), 0.0);
    h[0] = lead;
    for (std::size_t j = 0; j < poles.size(); ++j) {
        if (j == which) continue;
        const Complex offset = pu - poles[j].value * scale;
        for (int times = 0; times < poles[j].multiplicity; ++times) {
            for (std::size_t i = h.size(); i-- > 0;)
                h[i] = h[i] * offset + (i > 0 ? h[i - 1] : 0.0);
        }
    }
    const std::vector<Complex> r = taylor(remainder, pu, m);
    std::vector<Complex> g(static_cast<std::size_t>(m));
    for (std::size_t j = 0; j < g.size(); ++j) {
        Complex sum = r[j];
        for (std::size_t i = 1; i <= j; ++i)
            sum -= h[i] * g[j - i];
        g[j] = sum / h[0];
    }
    std::vector<Complex> c(static_cast<std::size_t>(m));
    for (int order = 1; order <= m; ++order)
        c[static_cast<std::size_t>(order - 1)] = g[static_cast<std::size_t>(m - order)];
    return c;
}

Complex evaluate(const std::vector<double>& c, Complex u) {
    Complex value = 0.0;
    for (std::size_t i = c.size(); i-- > 0;)
        value = value * u + c[i];
    return value;
}

}  // namespace

// A fast pole's term has decayed to exactly zero over most of a slow curve's range; with
// finite coefficients and a finite phase it adds exactly nothing (the sum starts at +0 and
// never becomes -0), so its cosine and sine, most of a sample's time, are not computed.
double TimeResponse::valueAt(double t) const {
    double x = 0.0;
    for (const TimeTerm& term : terms) {
        // t^0 is 1 for every t, NaN included, as pow says.
        const double growth = term.power == 0 ? 1.0 : std::pow(t, term.power);
        const double envelope = growth * std::exp(term.sigma * t);
        if (envelope == 0.0 && std::isfinite(term.a) && std::isfinite(term.b) &&
            std::isfinite(term.omega * t))
            continue;
        const double wave = term.omega == 0.0
                                ? term.a
                                : term.a * std::cos(term.omega * t) + term.b * std::sin(term.omega * t);
        x += envelope * wave;
    }
    return x;
}

TimeResponse inverseLaplace(const Polynomial& numerator, const Polynomial& denominator) {
    return inverseLaplace(numerator, denominator, findRoots(denominator));
}

TimeResponse inverseLaplace(const Polynomial& numerator, const Polynomial& denominator,
                            const PolynomialRoots& poles) {
    TimeResponse response;
    response.poles = poles;
    if (poles.status == RootsStatus::ZeroPolynomial) {
        response.status = TimeResponseStatus::ZeroDenominator;
        return response;
    }
    if (poles.status != RootsStatus::Found || !std::isfinite(numerator.constant) ||
        !std::isfinite(denominator.constant) || denominator.constant == 0.0) {
        response.status = TimeResponseStatus::PolesNotFound;
        return response;
    }
    // Work in u = s / 2^k, where the denominator's coefficients weigh alike.
    const int k = poles.scaleExponent;
    std::vector<double> remainder = scaled(numerator, k);
    const std::vector<double> d = scaled(denominator, k);
    const double gain = numerator.constant / denominator.constant;
    const std::vector<double> quotient = divide(remainder, d);
    for (std::size_t order = 0; order < quotient.size(); ++order)
        response.impulses.push_back(gain * std::ldexp(quotient[order], -k * static_cast<int>(order)));

    // A proper part that is zero (N a multiple of D, or N zero) has no terms at all, so
    // x(t) is exactly zero rather than the rounding of residues that cancel.
    if (std::all_of(remainder.begin(), remainder.end(), [](double c) { return c == 0.0; }))
        return response;
    for (std::size_t j = 0; j < poles.roots.size(); ++j) {
        const PolynomialRoot& pole = poles.roots[j];
        if (pole.value.imag() < 0.0) continue;  // the upper member stands for the pair
        const std::vector<Complex> c = residues(remainder, d.back(), poles.roots, j, k);
        double factorial = 1.0;
        for (int order = 1; order <= pole.multiplicity; ++order) {
            if (order > 1) factorial *= order - 1;
            // 1/(u − p/2^k)^order = 2^(k·order)/(s − p)^order ↔ 2^(k·order)·t^(order−1)/(order−1)!·e^(pt)
            const Complex coefficient =
                gain * std::ldexp(1.0, k * order) * c[static_cast<std::size_t>(order - 1)] / factorial;
            TimeTerm term;
            term.sigma = pole.value.real();
            term.omega = pole.value.imag();
            term.power = order - 1;
            if (term.omega > 0.0) {
                term.a = 2.0 * coefficient.real();
                term.b = -2.0 * coefficient.imag();
            } else {
                term.a = coefficient.real();
            }
            response.terms.push_back(term);
        }
    }
    return response;
}

double talbotValueAt(const Polynomial& numerator, const Polynomial& denominator,
                     const TimeResponse& x, double t, int nodes) {
    // Shift the contour right of every pole: x(t) = e^(γt)·L⁻¹[X(s + γ)](t).
    const PolynomialRoots& poles = x.poles;
    const std::vector<double>& impulses = x.impulses;
    double shift = 0.0;
    int k = 0;
    if (poles.status == RootsStatus::Found) {
        for (const PolynomialRoot& pole : poles.roots)
            shift = std::max(shift, pole.value.real());
        k = poles.scaleExponent;
    }
    // Both polynomials in u = s / 2^k: the same ratio, without overflow.
    const std::vector<double> n = scaled(numerator, k);
    const std::vector<double> d = scaled(denominator, k);
    const double gain = numerator.constant / denominator.constant;
    const auto regular = [&](Complex s) {
        Complex direct = 0.0;
        for (std::size_t i = impulses.size(); i-- > 0;)
            direct = direct * s + impulses[i];
        const Complex u = s * std::ldexp(1.0, -k);
        return gain * evaluate(n, u) / evaluate(d, u) - direct;
    };
    const double r = 2.0 * nodes / (5.0 * t);
    Complex sum = 0.5 * regular(r + shift) * std::exp(r * t);
    for (int j = 1; j < nodes; ++j) {
        const double theta = j * std::numbers::pi / nodes;
        const double cot = 1.0 / std::tan(theta);
        const Complex s(r * theta * cot, r * theta);
        const double sigma = theta + (theta * cot - 1.0) * cot;
        sum += std::exp(s * t) * regular(s + shift) * Complex(1.0, sigma);
    }
    return std::exp(shift * t) * r / nodes * sum.real();
}

double automaticEndTime(std::span<const TimeResponse> curves) {
    double slowestDecay = HUGE_VAL;       // smallest |Re p| of the stable poles
    double slowestOscillation = HUGE_VAL;  // smallest ω of the poles on the axis
    double fastestGrowth = 0.0;
    for (const TimeResponse& curve : curves) {
        for (const PolynomialRoot& p : curve.poles.roots) {
            const double sigma = p.value.real();
            const double omega = std::fabs(p.value.imag());
            if (sigma < 0.0) slowestDecay = std::min(slowestDecay, -sigma);
            if (sigma == 0.0 && omega > 0.0) slowestOscillation = std::min(slowestOscillation, omega);
            if (sigma > 0.0 || (sigma == 0.0 && p.multiplicity > 1 && omega > 0.0))
                fastestGrowth = std::max(fastestGrowth, sigma);
        }
    }
    // A growth rate near the smallest double would give an endless range.
    if (fastestGrowth > 0.0) {
        const double end = std::log(1e3) / fastestGrowth;
        return std::isfinite(end) ? end : std::numeric_limits<double>::max();
    }
    double end = 0.0;
    if (slowestDecay < HUGE_VAL) end = 5.0 / slowestDecay;
    if (slowestOscillation < HUGE_VAL)
        end = std::max(end, 5.0 * 2.0 * std::numbers::pi / slowestOscillation);
    return end > 0.0 && std::isfinite(end) ? end : 1.0;
}

double verificationError(const Polynomial& numerator, const Polynomial& denominator,
                         const TimeResponse& x, double tEnd, double peak) {
    // The contour holds the poles while |p|·t stays below about a third of its nodes.
    constexpr int Nodes = 40;
    double fastest = 0.0;
    for (const PolynomialRoot& p : x.poles.roots)
        fastest = std::max(fastest, std::abs(p.value));
    const double reach = fastest > 0.0 ? std::min(tEnd, Nodes / 4.0 / fastest) : tEnd;
    double worst = 0.0;
    for (const double fraction : {0.05, 0.2, 0.5, 1.0}) {
        const double t = reach * fraction;
        const double difference =
            std::fabs(x.valueAt(t) - talbotValueAt(numerator, denominator, x, t, Nodes));
        if (!std::isfinite(difference)) return HUGE_VAL;
        worst = std::max(worst, peak > 0.0 ? difference / peak : difference);
    }
    return worst;
}

std::string impulseText(const std::vector<double>& impulses) {
    std::string text;
    for (std::size_t order = 0; order < impulses.size(); ++order) {
        if (impulses[order] == 0.0) continue;
        const std::string derivative = order == 0   ? "δ(t)"
                                       : order == 1 ? "δ'(t)"
                                       : order == 2 ? "δ''(t)"
                                                    : "δ^(" + std::to_string(order) + ")(t)";
        char area[64];
        std::snprintf(area, sizeof area, "%.6g", impulses[order]);
        if (!text.empty()) text += " + ";
        text += std::string(area) + "·" + derivative;
    }
    return text;
}

}  // namespace corvane
