// A polynomial in s with a constant factor: the form of every network function, of the
// result files and of the plotter's curves.
#pragma once

#include <array>

namespace corvane {

inline constexpr int MaxDegree = 30;

/// Value: constant × (coef[0] + coef[1]·s + … + coef[degree]·s^degree). Coefficients above
/// `degree` are not part of the value. The canonical zero has degree 0 and coef[0] = 0.
/// The determinant never trims: `degree` may exceed the true degree when leading terms
/// cancel. A default record is all zeros.
struct Polynomial {
    std::array<double, MaxDegree + 1> coef{};
    int degree = 0;
    double constant = 0.0;

    bool isZero() const { return degree == 0 && coef[0] == 0.0; }
};

}  // namespace corvane
