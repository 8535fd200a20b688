#include "squared_magnitude.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "polynomial_roots.h"

namespace corvane {

namespace {

// Newton's method in extended precision from the solver's root, kept while it makes the
// value smaller.
long double polished(const WideCoefficients& c, long double x, int steps) {
    long double value = std::fabs(evaluate(c, x));
    for (int step = 0; step < steps && value > 0.0L; ++step) {
        const long double slope = derivativeAt(c, x);
        if (slope == 0.0L) break;
        const long double next = x - evaluate(c, x) / slope;
        const long double nextValue = std::fabs(evaluate(c, next));
        if (!(nextValue < value) || !(next > 0.0L)) break;
        x = next;
        value = nextValue;
    }
    return x;
}

}  // namespace

WideCoefficients squaredMagnitude(const WideCoefficients& p) {
    if (p.empty()) return {};
    const std::size_t n = p.size() - 1;
    WideCoefficients out(n + 1, 0.0L);
    for (std::size_t m = 0; m <= n; ++m) {
        long double sum = 0.0L;
        for (std::size_t i = 2 * m > n ? 2 * m - n : 0; i <= std::min(2 * m, n); ++i) {
            const std::size_t k = 2 * m - i;
            const long double term = p[i] * p[k];
            sum += (k % 2 == 0) ? term : -term;
        }
        out[m] = (m % 2 == 0) ? sum : -sum;
    }
    return out;
}

long double evaluate(const WideCoefficients& c, long double x) {
    long double value = 0.0L;
    for (auto it = c.rbegin(); it != c.rend(); ++it)
        value = value * x + *it;
    return value;
}

long double derivativeAt(const WideCoefficients& c, long double x) {
    long double value = 0.0L;
    for (std::size_t i = c.size(); i-- > 1;)
        value = value * x + static_cast<long double>(i) * c[i];
    return value;
}

std::optional<std::vector<long double>> positiveRoots(const WideCoefficients& c,
                                                      int newtonSteps) {
    const PolynomialRoots roots = findRoots(std::vector<double>(c.begin(), c.end()));
    if (roots.status == RootsStatus::ZeroPolynomial) return std::vector<long double>{};
    if (roots.status != RootsStatus::Found) return std::nullopt;
    std::vector<long double> out;
    for (const PolynomialRoot& root : roots.roots) {
        if (root.value.imag() != 0.0 || !(root.value.real() > 0.0)) continue;
        out.push_back(polished(c, root.value.real(), newtonSteps));
    }
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace corvane
