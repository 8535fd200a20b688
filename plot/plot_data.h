// The plot's data as "Plotar" leaves it: the ranges and segment count of the plot and the
// transfer functions read from the listed result files.
#pragma once

#include <array>
#include <string>
#include <vector>

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

/// What a curve draws: a transfer function's gain, phase and delay, or the density of a
/// noise, whose "gain" is 10·log10 of the density in dB re 1 V/√Hz (or 1 A/√Hz) and which
/// has no phase or delay.
enum class CurveKind { Transfer, NoiseDensity };

/// One white source of a density curve: `density`·|numerator(jω)|² over |D(jω)|².
struct DensityTerm {
    Polynomial numerator;
    /// A²/Hz.
    double density = 0.0;
};

/// One transfer function H(s) = numerator(s) / denominator(s), constants included; or,
/// for a noise density, S(ω) = Σ density·|N(jω)|² / |D(jω)|² over `terms`, D being the
/// denominator (the numerator is then zero and unused).
struct PlotCurve {
    PlotCurve() = default;
    /// A transfer function, as the lists and the tests write one: {numerator, denominator}.
    PlotCurve(const Polynomial& n, const Polynomial& d) : numerator(n), denominator(d) {}

    Polynomial numerator;
    Polynomial denominator;
    CurveKind kind = CurveKind::Transfer;
    std::vector<DensityTerm> terms;
    /// Of a density: what it is ("ruído de R1 em out") and its unit ("V").
    std::string title;
    std::string unit;
};

/// Curve k lives in slot k; slot 0 stays unused.
using PlotCurves = std::array<PlotCurve, MaxCurves + 1>;

}  // namespace corvane
