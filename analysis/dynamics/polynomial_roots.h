// The roots of a network function's polynomial: poles of the denominator, zeros of the
// numerators, each distinct root once with its multiplicity. Used by the results listing,
// the scripts' output and the time responses.
#pragma once

#include <complex>
#include <span>
#include <vector>

#include "polynomial.h"

namespace corvane {

struct PolynomialRoot {
    /// In rad/s. Real roots have an imaginary part of exactly zero; complex roots come
    /// in exact conjugate pairs.
    std::complex<double> value;
    int multiplicity = 1;
};

enum class RootsStatus {
    Found,
    /// Every coefficient is zero: every s is a root, none is listed.
    ZeroPolynomial,
    /// A coefficient is infinite or not a number.
    NotFinite,
    /// The solver gave up; no root is listed.
    SolverFailed,
    /// A network function past MaxDegree (a circuit analysed without the size limits): its
    /// coefficients, each the double nearest an exact value, no longer determine its roots
    /// (a ladder of 300 sections has coefficients from 1 to 1e123 and roots that move by
    /// their own size at a relative change of 1e-16), so none is listed.
    DegreeTooHigh,
};

struct PolynomialRoots {
    RootsStatus status = RootsStatus::Found;
    /// Distinct roots by ascending magnitude; a complex root with positive imaginary part
    /// comes right before its conjugate. The multiplicities add up to `degree`.
    std::vector<PolynomialRoot> roots;
    /// The degree once leading zero coefficients are dropped.
    int degree = 0;
    /// The coefficient of s^degree (the polynomial's constant factor not included).
    double leadingCoefficient = 0.0;
    /// The solver worked on the polynomial in u = s / 2^scaleExponent, the power of two
    /// nearest the polynomial's own frequency scale, so that coefficients from 1e-300 to
    /// 1e300 stay in range and the scaling itself is exact.
    int scaleExponent = 0;
};

/// The roots of coefficients[0] + coefficients[1]·s + … (any degree; 50 and more is
/// fine). Roots that the coefficients cannot tell apart at a relative uncertainty of
/// `RootTolerance` form one root with its multiplicity, placed at their common centre.
PolynomialRoots findRoots(std::span<const double> coefficients);

/// The roots of p's coefficient polynomial (its `constant` only scales it), a network
/// function; none past MaxDegree (`DegreeTooHigh`).
PolynomialRoots findRoots(const Polynomial& p);

/// The relative uncertainty assumed of every coefficient: the expansion of the
/// determinant sums many rounded products, so a few tens of units in the last place.
inline constexpr double RootTolerance = 1e-13;

}  // namespace corvane
