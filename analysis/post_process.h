// From raw determinants to network functions: the excitation's factor s is divided out,
// the polynomials are cleaned and made monic on request, and a zero denominator ends the
// run.
#pragma once

#include <optional>

#include "analysis_log.h"
#include "determinant.h"

namespace corvane {

/// Clears every coefficient of `p` below 1/dispersion of the largest one, trims the
/// degree and moves the leading coefficient into `constant`, so the polynomial becomes
/// monic (a zero polynomial keeps degree 0 and constant 1).
void cleanPolynomial(Polynomial& p, double dispersion);

/// Whether cleanPolynomial(p, dispersion) clears a coefficient that is significant at the
/// polynomial's own frequency scale ω0 = (|c_lo| / |c_hi|)^(1/(hi − lo)): one whose
/// |c_i|·ω0^i is within `dispersion` of the largest |c_j|·ω0^j. Clearing by magnitude
/// alone compares coefficients of different powers of s, which can silently lower the
/// order of a filter at practical element values.
bool clearsSignificantCoefficients(const Polynomial& p, double dispersion);

/// The exponent of the smallest power of ten, not below `dispersion`, at which
/// cleanPolynomial clears no significant coefficient of `p`; none when even 1e308 does.
std::optional<int> sufficientDispersionExponent(const Polynomial& p, double dispersion);

/// Integration, normalisation (when `normalize`), the denominator's constant set to 1,
/// and the check for a zero denominator. Returns false when the run must end ("Circuito
/// sem solução"). A division by zero (dispersion 0) throws FloatingPointFault.
bool postProcess(NetworkFunctions& functions, int n, bool normalize, double dispersion,
                 AnalysisLog& log);

}  // namespace corvane
