// From raw determinants to network functions: the excitation's factor s is divided out,
// the polynomials are cleaned and made monic on request, and a zero denominator ends the
// run.
#pragma once

#include <optional>

#include "analysis_log.h"
#include "coefficient_margins.h"
#include "determinant.h"
#include "run_warnings.h"

namespace corvane {

/// Clears every coefficient of `p` whose term lies more than `dispersion` below the largest
/// of the other terms at every frequency of their band (see coefficientMargins), trims the
/// degree and moves the leading coefficient into `constant`, so the polynomial becomes monic
/// (a zero polynomial keeps degree 0 and constant 1). A dispersion of zero or less clears
/// nothing.
///
/// Comparing raw coefficients would compare different powers of s: at practical element
/// values a correct polynomial spans ω0^n, and its real terms would go. What this clears is
/// the residue of the expansion's cancellations, and terms that truly matter less than the
/// dispersion everywhere.
/// With `band` (the band of the circuit's poles), a term below the others by more than the
/// dispersion all across the band is cleared too (see termsToClear).
void cleanPolynomial(Polynomial& p, double dispersion,
                     const std::optional<FrequencyBand>& band = std::nullopt);

/// Whether cleanPolynomial(p, dispersion) clears a coefficient that may be real: one whose
/// margin is below SignificantMarginDecades, above what rounding residue can be.
bool clearsSignificantCoefficients(const Polynomial& p, double dispersion,
                                   const std::optional<FrequencyBand>& band = std::nullopt);

/// The exponent of the smallest power of ten, not below `dispersion` (nor below 1), at
/// which cleanPolynomial clears no significant coefficient of `p`.
int sufficientDispersionExponent(const Polynomial& p, double dispersion,
                                 const std::optional<FrequencyBand>& band = std::nullopt);

/// Integration, normalisation (when `normalize`), the denominator's constant set to 1,
/// and the check for a zero denominator. Returns false when the run must end ("Circuito
/// sem solução"). Warnings about cleared coefficients go to the log and to `warnings`.
bool postProcess(NetworkFunctions& functions, int n, bool normalize, double dispersion,
                 AnalysisLog& log, RunWarnings& warnings);

}  // namespace corvane
