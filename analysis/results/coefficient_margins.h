// How much each term of a polynomial matters: the decades by which c_i·s^i stays below the
// largest of the other terms, over the band of frequencies where the other terms have their
// roots. The normalisation clears a coefficient by this measure rather than by comparing raw
// coefficients of different powers of s, which at practical element values (ω0 of 1e3 to
// 1e7 rad/s) span ω0^n and would clear terms that decide the response.
#pragma once

#include <optional>
#include <vector>

#include "polynomial.h"

namespace corvane {

/// Per coefficient that `p` holds (0..p.capacityDegree()): the margin in decades, or none for a zero coefficient and
/// where the other non-zero coefficients are too few (fewer than two) to have roots.
///
/// In the plane of the points (i, log10|c_i|), the largest term at a frequency ω is the
/// point that maximises log10|c_i| + i·log10 ω, so the terms that dominate somewhere are the
/// vertices of the upper hull of the points, and the edges of that hull give the magnitudes
/// of the roots (Newton's polygon). The margin of coefficient i is the height of the hull of
/// the other points above it at i; beyond the others' first or last power, the hull's end
/// edge is extended, which is the frequency where the others' outermost root lies. A
/// negative margin means the term is the largest somewhere.
using CoefficientMargins = std::vector<std::optional<double>>;
CoefficientMargins coefficientMargins(const Polynomial& p);

/// The frequencies, as log10 of rad/s, between which the non-zero roots of `p` lie, from the
/// slopes of its Newton polygon; none when `p` has no non-zero root.
struct FrequencyBand {
    double low;
    double high;
};
std::optional<FrequencyBand> rootBand(const Polynomial& p);

/// Per coefficient: the decades by which its term stays below the largest of the other terms
/// at every frequency of `band` (negative where it is the largest somewhere in it); none for a
/// zero coefficient and where it is the only one.
CoefficientMargins bandMargins(const Polynomial& p, const FrequencyBand& band);

/// A coefficient that the normalisation clears, with its margin when it was cleared.
struct ClearedTerm {
    int power;
    double margin;
};

/// The coefficients that lie more than `dispersion` below the others at every frequency of
/// their band, cleared one at a time, the farthest below first, each time against the terms
/// still standing, so that of two clusters of roots farther apart than the dispersion only one
/// goes, not both. With `band`, the circuit's own frequencies (the band of its poles), a
/// term that lies more than `dispersion` below the others all across the band goes too: the
/// residue of a cancellation may come in pairs that hold each other up in the polynomial's
/// own plane, but at the circuit's frequencies it is nothing. A dispersion of zero or less,
/// or not a number, clears nothing.
std::vector<ClearedTerm> termsToClear(const Polynomial& p, double dispersion,
                                      const std::optional<FrequencyBand>& band = std::nullopt);

/// Below this margin a term is a real part of the polynomial: the rounding residue of the
/// expansion's cancellations lies thirteen or more decades under the terms that cancelled,
/// since a double carries sixteen digits.
inline constexpr double SignificantMarginDecades = 12.0;

}  // namespace corvane
