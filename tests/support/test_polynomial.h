// A Polynomial from its coefficients, s^0 first, for tests.
#pragma once

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

}  // namespace corvane::test
