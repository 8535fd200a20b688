#include "response_table.h"

#include <limits>

#include "floating_point.h"
#include "frequency_response.h"
#include "plot_quantities.h"

namespace corvane {

void refreshResponsePoint(ResponseTable& table, const PlotCurves& curves, int curveCount, int i,
                          double w, bool hz) {
    table.frequency[i] = w;
    for (int k = 1; k <= curveCount; ++k) {
        CurveGaps& gaps = table.gaps[static_cast<std::size_t>(k)];
        if (i == 0) gaps = {};
        CurveResponse r;
        try {
            checkFloatingPoint([&] { r = evaluateCurve(curves[k], w, hz); });
        } catch (const FloatingPointFault& fault) {
            constexpr double Missing = std::numeric_limits<double>::quiet_NaN();
            r = {Missing, Missing, Missing};
            if (gaps.count == 0) {
                gaps.first = w;
                gaps.fault = fault.what();
            }
            gaps.last = w;
            ++gaps.count;
        }
        for (const PlotQuantityRow& q : PlotQuantities)
            (table.*q.rows)[k][i] = r.*q.response;
    }
}

}  // namespace corvane
