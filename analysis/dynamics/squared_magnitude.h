// The real polynomials in x = ω² that answer questions about a function on the jω axis
// (where |H| has a value, where it is stationary), and their positive roots, found by the
// root finder and polished in extended precision. The band measures and the loop margins
// both ask such questions.
#pragma once

#include <optional>
#include <vector>

namespace corvane {

/// Coefficients from x⁰ up, in extended precision.
using WideCoefficients = std::vector<long double>;

/// |p(jω)|² as a polynomial in x = ω², p given by its coefficients from s⁰ up: p(s)·p(−s)
/// holds only even powers, and s² = −x. Empty for an empty p.
WideCoefficients squaredMagnitude(const WideCoefficients& p);

/// c(x), by Horner's rule.
long double evaluate(const WideCoefficients& c, long double x);
/// c'(x).
long double derivativeAt(const WideCoefficients& c, long double x);

/// The distinct positive real roots of c, ascending, each improved by Newton's method (at
/// most `newtonSteps`, kept while the value shrinks); nothing when the root finder fails,
/// none for the zero polynomial.
std::optional<std::vector<long double>> positiveRoots(const WideCoefficients& c,
                                                      int newtonSteps);

}  // namespace corvane
