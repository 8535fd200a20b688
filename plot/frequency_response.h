// Gain, phase and group delay of a transfer function on the jω axis, evaluated exactly
// from its polynomials by complex Horner schemes, and the table that caches them for
// every curve and grid point.
#pragma once

#include <array>

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
/// else in rad/s.
CurveResponse evaluateCurve(const PlotCurve& curve, double w, bool hz);

/// The responses of every curve at every grid point of the last refresh, as computed
/// (not clipped to any axis range). Curve k is row k; row 0 stays unused.
struct ResponseTable {
    template <class T>
    using Rows = std::array<std::array<T, MaxPoints>, MaxCurves + 1>;

    Rows<double> gain{};
    Rows<double> phase{};
    Rows<double> delay{};
    /// The grid value w of each point, in the unit of the axis when it was refreshed.
    std::array<double, MaxPoints> frequency{};
};

/// Refreshes grid point `i` (0 .. MaxSegments) at grid value `w` for curves
/// 1 .. `curveCount`, in ascending order.
void refreshResponsePoint(ResponseTable& table, const PlotCurves& curves, int curveCount, int i,
                          double w, bool hz);

}  // namespace corvane
