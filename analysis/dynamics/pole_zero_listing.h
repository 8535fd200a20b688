// The poles and zeros of the network functions in the results listing: after the
// denominator its poles and whether the network is stable, after each numerator its zeros
// and the constant K of the zero-pole-gain form.
#pragma once

#include "analysis_log.h"
#include "determinant.h"
#include "polynomial_roots.h"

namespace corvane {

enum class Stability {
    Stable,
    /// Simple poles on the imaginary axis, none to the right of it.
    Marginal,
    Unstable,
};

/// The network's stability from the denominator's roots. When `excitationPoleAtZero`,
/// one root at s = 0 belongs to the step excitation and does not count.
Stability stabilityOf(const PolynomialRoots& poles, bool excitationPoleAtZero);

/// The name the JSON documents give it: "estavel", "marginal", "instavel".
const char* stabilityKey(Stability stability);

/// K of H(s) = K·∏(s − z)/∏(s − p): the numerator's constant times the ratio of the
/// leading coefficients of the numerator and the denominator.
double zeroPoleGain(const Polynomial& numerator, const Polynomial& denominator);

/// "Polos:", one line per distinct pole, then the stability line.
void listPoles(AnalysisLog& log, const NetworkFunctions& functions);

/// "Polos:" (or "Zeros:") and one line per distinct root of `p`, with no stability line.
void listRootsOf(AnalysisLog& log, const Polynomial& p, bool poles);

/// "Zeros:", one line per distinct zero of numerator k, then "K: …".
void listZeros(AnalysisLog& log, const NetworkFunctions& functions, int k);

}  // namespace corvane
