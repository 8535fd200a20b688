// A polynomial in s with a constant factor: the form of every network function, of the
// result files and of the plotter's curves.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <initializer_list>
#include <span>
#include <vector>

namespace corvane {

/// The highest degree a circuit within the default limits reaches (25 variables, one more
/// power of s from the integration step, with room to spare), and the degree the
/// coefficients hold without allocating.
inline constexpr int MaxDegree = 30;

/// The highest degree of any polynomial of the program: a circuit of 1000 variables (the
/// lifted limits) and the integration step's one more power of s.
inline constexpr int MaxLiftedDegree = 1001;

/// The coefficients s^0, s^1, …: 31 of them held in place, which is all a circuit within
/// the default limits needs and costs the expansion no allocation, and more on the heap
/// when a larger circuit asks for them (`reserveDegree`). Always contiguous; every slot
/// not yet written is zero.
class PolynomialCoefficients {
public:
    PolynomialCoefficients() = default;
    PolynomialCoefficients(const PolynomialCoefficients& other) { *this = other; }
    PolynomialCoefficients& operator=(const PolynomialCoefficients& other) {
        if (this == &other) return *this;
        local_ = other.local_;
        wide_ = other.wide_;
        return *this;
    }
    PolynomialCoefficients(PolynomialCoefficients&& other) noexcept
        : local_(other.local_), wide_(std::move(other.wide_)) {}
    PolynomialCoefficients& operator=(PolynomialCoefficients&& other) noexcept {
        local_ = other.local_;
        wide_ = std::move(other.wide_);
        return *this;
    }

    /// The first coefficients from a list, every later one zero (as for an array).
    PolynomialCoefficients& operator=(std::initializer_list<double> values) {
        wide_.clear();
        local_.fill(0.0);
        reserveDegree(static_cast<int>(values.size()) - 1);
        std::copy(values.begin(), values.end(), data());
        return *this;
    }

    /// Makes room for coefficients 0..degree; those already held keep their values.
    void reserveDegree(int degree) {
        const std::size_t wanted = static_cast<std::size_t>(std::max(degree, 0)) + 1;
        if (wanted <= size()) return;
        if (wide_.empty()) wide_.assign(local_.begin(), local_.end());
        wide_.resize(wanted, 0.0);
    }

    std::size_t size() const { return wide_.empty() ? local_.size() : wide_.size(); }
    double* data() { return wide_.empty() ? local_.data() : wide_.data(); }
    const double* data() const { return wide_.empty() ? local_.data() : wide_.data(); }
    double& operator[](std::size_t i) { return data()[i]; }
    const double& operator[](std::size_t i) const { return data()[i]; }
    double* begin() { return data(); }
    double* end() { return data() + size(); }
    const double* begin() const { return data(); }
    const double* end() const { return data() + size(); }

    /// Every slot equal, those above any degree too.
    bool operator==(const PolynomialCoefficients& other) const {
        return std::equal(begin(), end(), other.begin(), other.end());
    }

private:
    std::array<double, MaxDegree + 1> local_{};
    std::vector<double> wide_;  // empty, or every coefficient when more than 31 are needed
};

/// Value: constant × (coef[0] + coef[1]·s + … + coef[degree]·s^degree). PolynomialCoefficients above
/// `degree` are not part of the value. The canonical zero has degree 0 and coef[0] = 0.
/// The determinant never trims: `degree` may exceed the true degree when leading terms
/// cancel. A default record is all zeros. Whoever raises `degree` past what `coef` holds
/// makes room first (`setDegree` does both).
struct Polynomial {
    PolynomialCoefficients coef;
    int degree = 0;
    double constant = 0.0;

    bool isZero() const { return degree == 0 && coef[0] == 0.0; }

    /// Sets the degree, with room for its coefficients.
    void setDegree(int d) {
        coef.reserveDegree(d);
        degree = d;
    }

    /// The highest degree `coef` holds now.
    int capacityDegree() const { return static_cast<int>(coef.size()) - 1; }

    /// coef[0..degree], the degree taken within what `coef` holds.
    std::span<const double> coefficients() const {
        return {coef.data(), static_cast<std::size_t>(std::clamp(degree, 0, capacityDegree())) + 1};
    }

    /// The degree without the leading zero coefficients (0 for the zero polynomial), the
    /// degree taken within what `coef` holds.
    int trimmedDegree() const {
        int d = std::clamp(degree, 0, capacityDegree());
        while (d > 0 && coef[static_cast<std::size_t>(d)] == 0.0)
            --d;
        return d;
    }

    /// Drops the leading zero coefficients from the degree.
    void trimDegree() { degree = trimmedDegree(); }

    /// The same value written the same way: degree, constant and coefficients 0..degree
    /// equal as numbers (0.0 equals −0.0; a NaN equals nothing). PolynomialCoefficients above the
    /// degree are not compared.
    bool operator==(const Polynomial& other) const {
        if (degree != other.degree || constant != other.constant) return false;
        const std::span<const double> mine = coefficients();
        const std::span<const double> theirs = other.coefficients();
        return std::equal(mine.begin(), mine.end(), theirs.begin(), theirs.end());
    }
};

}  // namespace corvane
