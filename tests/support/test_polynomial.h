// Polynomials for tests: from their coefficients, or from their roots.
#pragma once

#include <complex>
#include <vector>

#include "polynomial.h"

namespace corvane::test {

inline Polynomial polynomial(const std::vector<double>& coefficients, double constant = 1.0) {
    Polynomial p;
    p.setDegree(static_cast<int>(coefficients.size()) - 1);
    for (std::size_t i = 0; i < coefficients.size(); ++i)
        p.coef[i] = coefficients[i];
    p.constant = constant;
    return p;
}

/// Coefficients from s^0 up of ∏(s − r), computed in long double so that the polynomial
/// is as close to the given roots as a double polynomial can be (conjugates are listed
/// too; the imaginary parts that cancel are dropped).
inline std::vector<double> fromRoots(const std::vector<std::complex<double>>& roots) {
    std::vector<std::complex<long double>> p{1.0L};
    for (const std::complex<double> r : roots) {
        std::vector<std::complex<long double>> q(p.size() + 1, 0.0L);
        const std::complex<long double> z(r.real(), r.imag());
        for (std::size_t i = 0; i < p.size(); ++i) {
            q[i + 1] += p[i];
            q[i] -= z * p[i];
        }
        p = q;
    }
    std::vector<double> coefficients;
    for (const auto& c : p)
        coefficients.push_back(static_cast<double>(c.real()));
    return coefficients;
}

}  // namespace corvane::test
