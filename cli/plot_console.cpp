#include "plot_console.h"

#include <cmath>
#include <cstdio>

#include "c_locale.h"
#include "replace_file.h"

namespace corvane::cli {

namespace {

bool writeRows(const Plotter& plotter, std::FILE* file) {
    bool ok = std::fputs("curva,ponto,frequencia", file) >= 0;
    for (const PlotQuantityRow& q : PlotQuantities)
        ok = std::fprintf(file, ",%s", q.csvColumn) >= 0 && ok;
    ok = std::fputc('\n', file) != EOF && ok;
    const ResponseTable& table = plotter.responseTable();
    const int points = plotter.plotParameters().segmentos + 1;
    for (int k = 1; k <= plotter.curveCount(); ++k) {
        for (int i = 0; i < points; ++i) {
            // A point the curve could not be evaluated at (the log names it) has no row.
            if (!std::isfinite(table.gain[k][i])) continue;
            ok = std::fprintf(file, "%d,%d,%.17g", k, i, table.frequency[i]) >= 0 && ok;
            for (const PlotQuantityRow& q : PlotQuantities)
                ok = std::fprintf(file, ",%.17g", (table.*q.rows)[k][i]) >= 0 && ok;
            ok = std::fputc('\n', file) != EOF && ok;
        }
    }
    return ok;
}

}  // namespace

bool writeResponseTable(const Plotter& plotter, const std::string& path) {
    ScopedCLocale locale;
    return replaceFile(path, [&](std::FILE* file) { return writeRows(plotter, file); });
}

}  // namespace corvane::cli
