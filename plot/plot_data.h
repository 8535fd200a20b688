// The plot's data as "Plotar" leaves it: the ranges and segment count of the plot and the
// transfer functions read from the listed result files.
#pragma once

#include <array>

#include "polynomial.h"

namespace corvane {

/// At most this many transfer functions are plotted; curve numbers run from 1.
inline constexpr int MaxCurves = 20;
/// The frequency axis is cut into 1 .. MaxSegments segments, so at most 601 grid points.
inline constexpr int MaxSegments = 600;
inline constexpr int MaxPoints = MaxSegments + 1;

struct PlotParameters {
    /// Frequency range, in Hz when CBhz is checked, else in rad/s.
    double wmin = 0.0;
    double wmax = 0.0;
    /// Gain axis, dB.
    double gmin = 0.0;
    double gmax = 0.0;
    /// Phase axis, degrees.
    double fmin = 0.0;
    double fmax = 0.0;
    /// Group-delay axis, seconds.
    double amin = 0.0;
    double amax = 0.0;
    /// Number of frequency segments, 1 .. MaxSegments once "Plotar" has checked it.
    int segmentos = 0;
};

/// One transfer function H(s) = numerator(s) / denominator(s), constants included.
struct PlotCurve {
    Polynomial numerator;
    Polynomial denominator;
};

/// Curve k lives in slot k; slot 0 stays unused.
using PlotCurves = std::array<PlotCurve, MaxCurves + 1>;

}  // namespace corvane
