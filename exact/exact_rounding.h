// The exact results rounded to doubles, once, at the end.
#pragma once

#include <vector>

#include "exact_engine.h"

namespace corvane::exact {

/// The double nearest to the fraction (ties to even); ±infinity past the largest double,
/// and a denormal or zero below the smallest normal one.
double nearestDouble(const Fraction& value);

/// Coefficients 0..degree of `p`, each the double nearest to it; one zero for the zero
/// polynomial.
std::vector<double> nearestCoefficients(const RationalPolynomial& p);

}  // namespace corvane::exact
