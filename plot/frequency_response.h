// Gain, phase and group delay of a transfer function on the jω axis, evaluated exactly
// from its polynomials by complex Horner schemes.
#pragma once

#include "plot_data.h"

namespace corvane {

/// The grid step: on the logarithmic axis the ratio (wmax / wmin)^(1 / segmentos) between
/// neighbouring points, on the linear axis the increment (wmax - wmin) / segmentos.
double frequencyStep(double wmin, double wmax, int segmentos, bool logarithmic);

struct ComplexValue {
    double re = 0.0;
    double im = 0.0;
};

/// (a + jb) / (c + jd). A zero divisor is not guarded: it raises the division-by-zero
/// flag (or the invalid flag for 0/0) for the caller's checkpoint.
ComplexValue complexDivide(double a, double b, double c, double d);

struct CurveResponse {
    double gain = 0.0;   ///< 20·log10|H(jω)|, dB
    double phase = 0.0;  ///< arg H(jω) in (-180°, +180°], degrees
    double delay = 0.0;  ///< -d arg H(jω) / dω, seconds
};

/// Evaluates `curve` at the grid frequency `w`, taken in Hz when `hz` is set (ω = 2π·w),
/// else in rad/s. A noise density's gain is 10·log10 of the density (dB re 1 V/√Hz or
/// 1 A/√Hz); its phase and delay are NaN, with no flag raised.
CurveResponse evaluateCurve(const PlotCurve& curve, double w, bool hz);

}  // namespace corvane
