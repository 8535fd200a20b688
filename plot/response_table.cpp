#include "response_table.h"

#include "frequency_response.h"
#include "plot_quantities.h"

namespace corvane {

void refreshResponsePoint(ResponseTable& table, const PlotCurves& curves, int curveCount, int i,
                          double w, bool hz) {
    table.frequency[i] = w;
    for (int k = 1; k <= curveCount; ++k) {
        const CurveResponse r = evaluateCurve(curves[k], w, hz);
        for (const PlotQuantityRow& q : PlotQuantities)
            (table.*q.rows)[k][i] = r.*q.response;
    }
}

}  // namespace corvane
