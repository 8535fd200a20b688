// The response in time behind a network function: x(t), the inverse Laplace transform of
// X(s) = Cte·N(s)/D(s), exactly from the poles with their multiplicities and the residues,
// and a second, independent evaluation (the fixed Talbot contour) that checks it.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "polynomial.h"
#include "polynomial_roots.h"

namespace corvane {

/// One real term of x(t): t^power · e^(sigma·t) · (a·cos(omega·t) + b·sin(omega·t)); a
/// complex pair of poles makes one such term with omega > 0.
struct TimeTerm {
    double sigma = 0.0;
    double omega = 0.0;
    int power = 0;
    double a = 0.0;
    double b = 0.0;
};

enum class TimeResponseStatus {
    Ready,
    /// The denominator is zero: there is no function to invert.
    ZeroDenominator,
    /// The poles could not be found (a coefficient not finite, the solver gave up).
    PolesNotFound,
};

struct TimeResponse {
    TimeResponseStatus status = TimeResponseStatus::Ready;
    /// Areas of δ(t), δ'(t), δ''(t)… at t = 0: the part of an improper function (degree of
    /// N at least that of D) that no curve can show.
    std::vector<double> impulses;
    /// The regular part, for t ≥ 0; none when the proper part of N/D is zero.
    std::vector<TimeTerm> terms;
    /// The denominator's roots the terms came from.
    PolynomialRoots poles;

    /// x(t) without the impulses.
    double valueAt(double t) const;
    /// False when x(t) is its impulses alone (or zero): there is no curve to check.
    bool hasRegularPart() const { return !terms.empty(); }
};

/// x(t) of constant·N(s) / (denominator.constant·D(s)).
TimeResponse inverseLaplace(const Polynomial& numerator, const Polynomial& denominator);

/// The same with the denominator's roots already found (curves that share a denominator
/// share its roots).
TimeResponse inverseLaplace(const Polynomial& numerator, const Polynomial& denominator,
                            const PolynomialRoots& poles);

/// The regular part of x(t) at t > 0 by the fixed Talbot method with `nodes` points on the
/// contour, shifted right of every pole of `x`: an evaluation of N/D along the contour
/// that shares nothing with the partial fractions but the impulses it subtracts. Reliable
/// to about 1e-9 of the curve's size while |p|·t stays below about `nodes` / 3.
double talbotValueAt(const Polynomial& numerator, const Polynomial& denominator,
                     const TimeResponse& x, double t, int nodes = 40);

/// The automatic end of the time range of these curves: five times the slowest time
/// constant 1/|Re p| of the stable poles, at least five periods of the slowest undamped
/// oscillation, or, with an unstable pole, the time in which the fastest growth
/// multiplies a curve by 1e3. One second when no pole sets a scale.
double automaticEndTime(std::span<const TimeResponse> curves);

/// The largest difference, relative to `peak`, between x(t) and the Talbot inversion at a
/// few times in (0, tEnd] where the contour is reliable.
double verificationError(const Polynomial& numerator, const Polynomial& denominator,
                         const TimeResponse& x, double tEnd, double peak);

/// "0.5·δ(t) + 2·δ'(t)": the impulses at t = 0, or nothing when there are none.
std::string impulseText(const std::vector<double>& impulses);

}  // namespace corvane
