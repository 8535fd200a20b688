// The table that caches the response of every curve at every grid point of the plot, and
// its refresh, point by point, from the curves' polynomials.
#pragma once

#include <array>
#include <string>

#include "plot_data.h"

namespace corvane {

/// The grid points of one curve that could not be evaluated in the last refresh (a pole
/// hit on the axis, a zero numerator, a polynomial too small or too large for a double):
/// their quantities are NaN in the table, so the curve is drawn broken there.
struct CurveGaps {
    int count = 0;
    /// The grid values of the first and the last such point.
    double first = 0.0;
    double last = 0.0;
    /// The first point's fault ("Divisão por zero em ponto flutuante").
    std::string fault;
};

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
    /// Row k: the points of curve k left out since point 0 was last refreshed.
    std::array<CurveGaps, MaxCurves + 1> gaps{};
};

/// Refreshes grid point `i` (0 .. MaxSegments) at grid value `w` for curves
/// 1 .. `curveCount`, in ascending order; point 0 starts the gaps afresh. Each curve is
/// evaluated between its own clear and test of the floating-point flags, so a fault
/// leaves a gap in that curve alone and no flag raised for the caller.
void refreshResponsePoint(ResponseTable& table, const PlotCurves& curves, int curveCount, int i,
                          double w, bool hz);

}  // namespace corvane
