// A polynomial in s with a constant factor: the form of every network function, of the
// result files and of the plotter's curves.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>

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

    /// coef[0..degree], the degree taken within 0..MaxDegree.
    std::span<const double> coefficients() const {
        return {coef.data(), static_cast<std::size_t>(std::clamp(degree, 0, MaxDegree)) + 1};
    }

    /// The degree without the leading zero coefficients (0 for the zero polynomial), the
    /// degree taken within 0..MaxDegree.
    int trimmedDegree() const {
        int d = std::clamp(degree, 0, MaxDegree);
        while (d > 0 && coef[static_cast<std::size_t>(d)] == 0.0)
            --d;
        return d;
    }

    /// Drops the leading zero coefficients from the degree.
    void trimDegree() { degree = trimmedDegree(); }

    /// The same value written the same way: degree, constant and coefficients 0..degree
    /// equal as numbers (0.0 equals −0.0; a NaN equals nothing). Coefficients above the
    /// degree are not compared.
    bool operator==(const Polynomial& other) const {
        if (degree != other.degree || constant != other.constant) return false;
        const std::span<const double> mine = coefficients();
        const std::span<const double> theirs = other.coefficients();
        return std::equal(mine.begin(), mine.end(), theirs.begin(), theirs.end());
    }
};

}  // namespace corvane
