// What the noise functions say at a frequency and over a band: densities (one-sided, per
// hertz) at the output, referred to the input, and per source, and their integrals.
#pragma once

#include <functional>
#include <optional>

#include "noise_functions.h"

namespace corvane::noise {

/// |p(jω)|² of the coefficients of `p` (its constant left out), at ω in rad/s.
long double squaredMagnitudeAt(const Polynomial& p, long double omega);

/// The output's noise density from source `k` alone at `hertz`, in V²/Hz (A²/Hz for a
/// current output).
double sourceOutputDensity(const NoiseFunctions& functions, std::size_t k, double hertz);
/// The sum over all sources: the sources are independent, so their powers add.
double outputDensity(const NoiseFunctions& functions, double hertz);
/// The output density divided by the squared gain from the input source; empty without an
/// input, infinite where the gain is zero.
std::optional<double> inputReferredDensity(const NoiseFunctions& functions, double hertz);

struct NoiseIntegral {
    /// The integral of the density over the band (V², or A²).
    double value = 0.0;
    /// A bound on the quadrature's error, from the difference of the Gauss and Kronrod
    /// rules summed over the intervals, plus the error of the tail when the band is open.
    double errorBound = 0.0;
};

/// The frequencies where the circuit's poles lie, in Hz: the smallest and largest nonzero
/// pole magnitude / 2π (1 Hz for both without poles). They set where the quadrature looks.
struct PoleSpan {
    double lowest = 1.0;
    double highest = 1.0;
};
PoleSpan poleSpan(const NoiseFunctions& functions);

/// ∫ density(f) df from f1 to f2 (f2 may be infinite), to a relative error of about 1e-10;
/// empty when the integral does not converge (the density does not fall faster than 1/f
/// at the open end, or it is not finite in the band).
std::optional<NoiseIntegral> integrateDensity(const std::function<double(double)>& density,
                                              double f1, double f2, const PoleSpan& span);

}  // namespace corvane::noise
