#include "noise_density.h"

#include <array>
#include <cmath>
#include <complex>
#include <numbers>

#include "polynomial_roots.h"

namespace corvane::noise {

// In extended precision: the coefficients of a raw determinant span hundreds of decades in
// wide ladders, and their powers of ω more.
long double squaredMagnitudeAt(const Polynomial& p, long double omega) {
    const std::complex<long double> s(0.0L, omega);
    std::complex<long double> value = 0.0L;
    for (int i = p.degree; i >= 0; --i) value = value * s + static_cast<long double>(p.coef[static_cast<std::size_t>(i)]);
    return std::norm(value);
}

namespace {

long double squaredMagnitude(const Polynomial& p, double hertz) {
    return squaredMagnitudeAt(p, 2.0L * std::numbers::pi_v<long double> * hertz);
}

long double denominatorSquare(const NoiseFunctions& functions, double hertz) {
    return squaredMagnitude(functions.denominator, hertz);
}

// Σ |N_k(jω)|²·S_k: the output's density times |D(jω)|², the sources being independent.
long double weightedTransfers(const NoiseFunctions& functions, double hertz) {
    long double sum = 0.0L;
    for (std::size_t k = 0; k < functions.sources.size(); ++k)
        sum += squaredMagnitude(functions.transfers[k], hertz) * functions.sources[k].density;
    return sum;
}

// Gauss-Kronrod 7-15 nodes and weights on [-1, 1] (nodes for x ≥ 0, largest first).
constexpr std::array<double, 8> KronrodNodes = {
    0.991455371120812639206854697526329, 0.949107912342758524526189684047851,
    0.864864423359769072789712788640926, 0.741531185599394439863864773280788,
    0.586087235467691130294144845693013, 0.405845151377397166906606412076961,
    0.207784955007898467600689403773245, 0.000000000000000000000000000000000};
constexpr std::array<double, 8> KronrodWeights = {
    0.022935322010529224963732008058970, 0.063092092629978553290700663189204,
    0.104790010322250183839876322541518, 0.140653259715525918745189590510238,
    0.169004726639267902826583426598550, 0.190350578064785409913256402421014,
    0.204432940075298892414161999234649, 0.209482141084727828012999174891714};
// The Gauss weights of the odd-indexed Kronrod nodes (1, 3, 5, 7).
constexpr std::array<double, 4> GaussWeights = {
    0.129484966168869693270611432679082, 0.279705391489276667901467771423780,
    0.381830050505118944950369775488975, 0.417959183673469387755102040816327};

struct Piece {
    double value;
    double error;
};

Piece gaussKronrod(const std::function<double(double)>& f, double a, double b) {
    const double centre = 0.5 * (a + b);
    const double half = 0.5 * (b - a);
    const double middle = f(centre);
    double kronrod = middle * KronrodWeights[7];
    double gauss = middle * GaussWeights[3];
    for (std::size_t i = 0; i < 7; ++i) {
        const double dx = half * KronrodNodes[i];
        const double pair = f(centre - dx) + f(centre + dx);
        kronrod += KronrodWeights[i] * pair;
        if (i % 2 == 1) gauss += GaussWeights[i / 2] * pair;
    }
    return {kronrod * half, std::abs((kronrod - gauss) * half)};
}

// Halves each interval until its error estimate is a small part of the whole; the depth
// bound keeps a non-integrable spike from splitting forever.
Piece adaptive(const std::function<double(double)>& f, double a, double b, double tolerance,
               int depth) {
    const Piece whole = gaussKronrod(f, a, b);
    if (!std::isfinite(whole.value)) return whole;
    if (whole.error <= tolerance || depth >= 40) return whole;
    const double middle = 0.5 * (a + b);
    const Piece left = adaptive(f, a, middle, 0.5 * tolerance, depth + 1);
    const Piece right = adaptive(f, middle, b, 0.5 * tolerance, depth + 1);
    return {left.value + right.value, left.error + right.error};
}

constexpr double RelativeTolerance = 1e-10;

// Over [a, b] with 0 < a < b in ln f, where a density of circuit noise is smooth across
// decades: ∫ S(f) df = ∫ S(e^u) e^u du.
Piece overDecades(const std::function<double(double)>& density, double a, double b) {
    const auto integrand = [&density](double u) {
        const double f = std::exp(u);
        return density(f) * f;
    };
    const double lnA = std::log(a);
    const double lnB = std::log(b);
    // A first pass sets the scale of the tolerance.
    const Piece rough = gaussKronrod(integrand, lnA, lnB);
    const double tolerance = RelativeTolerance * std::max(std::abs(rough.value), 1e-300);
    return adaptive(integrand, lnA, lnB, tolerance, 0);
}

Piece linear(const std::function<double(double)>& density, double a, double b) {
    const Piece rough = gaussKronrod(density, a, b);
    const double tolerance = RelativeTolerance * std::max(std::abs(rough.value), 1e-300);
    return adaptive(density, a, b, tolerance, 0);
}

// Far above the highest pole the density falls as A·f^(−p); the integral of the rest is
// A·F^(1−p)/(p−1), finite when p > 1. p is read from the density at F and 2F, where the
// neglected terms are of relative order (highest pole / F)².
std::optional<Piece> tail(const std::function<double(double)>& density, double from) {
    const double here = density(from);
    if (here == 0.0) return Piece{0.0, 0.0};
    const double twice = density(2.0 * from);
    if (!std::isfinite(here) || !std::isfinite(twice) || twice <= 0.0) return std::nullopt;
    const double power = std::round(-std::log2(twice / here));
    if (power <= 1.0) return std::nullopt;
    const double value = here * from / (power - 1.0);
    return Piece{value, value * 1e-6};
}

}  // namespace

double sourceOutputDensity(const NoiseFunctions& functions, std::size_t k, double hertz) {
    const long double ratio = squaredMagnitude(functions.transfers[k], hertz) /
                              denominatorSquare(functions, hertz);
    return static_cast<double>(ratio * functions.sources[k].density);
}

double outputDensity(const NoiseFunctions& functions, double hertz) {
    return static_cast<double>(weightedTransfers(functions, hertz) /
                               denominatorSquare(functions, hertz));
}

std::optional<double> inputReferredDensity(const NoiseFunctions& functions, double hertz) {
    if (!functions.inputGain) return std::nullopt;
    const long double sum = weightedTransfers(functions, hertz);
    // The denominator cancels: output / gain² = Σ |N_k|² S_k / |N_in|².
    const long double gain = squaredMagnitude(*functions.inputGain, hertz);
    if (gain == 0.0L) return std::numeric_limits<double>::infinity();
    return static_cast<double>(sum / gain);
}

PoleSpan poleSpan(const NoiseFunctions& functions) {
    PoleSpan span;
    const PolynomialRoots roots = findRoots(functions.denominator);
    bool any = false;
    for (const PolynomialRoot& root : roots.roots) {
        const double hertz = std::abs(root.value) / (2.0 * std::numbers::pi);
        if (hertz == 0.0 || !std::isfinite(hertz)) continue;
        span.lowest = any ? std::min(span.lowest, hertz) : hertz;
        span.highest = any ? std::max(span.highest, hertz) : hertz;
        any = true;
    }
    return span;
}

std::optional<NoiseIntegral> integrateDensity(const std::function<double(double)>& density,
                                              double f1, double f2, const PoleSpan& span) {
    Piece total{0.0, 0.0};
    double from = f1;
    // From 0, a linear stretch up to well below the lowest pole, where the density is flat.
    if (from == 0.0) {
        const double knee = std::min(f2, 1e-3 * span.lowest);
        const Piece low = linear(density, 0.0, knee);
        total = {low.value, low.error};
        from = knee;
    }
    const bool open = std::isinf(f2);
    const double to = open ? std::max(from, 1e5 * span.highest) : f2;
    if (to > from) {
        const Piece band = overDecades(density, from, to);
        total.value += band.value;
        total.error += band.error;
    }
    if (open) {
        const std::optional<Piece> rest = tail(density, to);
        if (!rest) return std::nullopt;
        total.value += rest->value;
        total.error += rest->error;
    }
    if (!std::isfinite(total.value) || !std::isfinite(total.error)) return std::nullopt;
    return NoiseIntegral{total.value, total.error};
}

}  // namespace corvane::noise
