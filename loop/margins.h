// The stability margins of a loop gain T(s) = N(s)/D(s), exactly from the polynomials:
// |T(jω)| = 1 where |N(jω)|² − |D(jω)|² = 0, and T(jω) is real where
// Im(N(jω)·conj D(jω)) = ω·(No·De − Ne·Do)(ω²) = 0 (Ne, No the even and odd parts), both
// polynomials in x = ω² whose positive real roots are every crossing.
#pragma once

#include <vector>

#include "polynomial.h"

namespace corvane::loop {

/// Where |T(jω)| = 1.
struct GainCrossover {
    /// rad/s.
    double omega = 0.0;
    /// 180° + arg T(jω), taken in (−180°, 180°].
    double phaseMarginDegrees = 0.0;
};

/// Where T(jω) is real and negative (its phase −180°), ω = 0 included.
struct PhaseCrossover {
    /// rad/s.
    double omega = 0.0;
    /// 1/|T(jω)|, and in dB.
    double gainMargin = 0.0;
    double gainMarginDecibels = 0.0;
};

struct LoopMargins {
    /// False when a polynomial is not finite or the root finder gave up.
    bool computed = true;
    /// |T(jω)| = 1 at every frequency: no crossover stands out.
    bool unitGainEverywhere = false;
    /// Ascending in ω.
    std::vector<GainCrossover> gainCrossovers;
    std::vector<PhaseCrossover> phaseCrossovers;
};

/// The margins of T = numerator/denominator (constants included).
LoopMargins loopMargins(const Polynomial& numerator, const Polynomial& denominator);

/// The polynomials in x = ω² whose positive roots are the crossings, lowest power first,
/// in extended precision: |N|² − |D|², and No·De − Ne·Do.
std::vector<long double> unitGainPolynomial(const Polynomial& numerator,
                                            const Polynomial& denominator);
std::vector<long double> realValuePolynomial(const Polynomial& numerator,
                                             const Polynomial& denominator);

}  // namespace corvane::loop
