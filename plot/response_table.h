// The table that caches the response of every curve at every grid point of the plot, and
// its refresh, point by point, from the curves' polynomials.
#pragma once

#include <array>

#include "plot_data.h"

namespace corvane {

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
