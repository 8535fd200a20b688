#include "plot_console.h"

#include <cstdio>

#include "c_locale.h"

namespace corvane::cli {

bool writeResponseTable(const Plotter& plotter, const std::string& path) {
    ScopedCLocale locale;
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file) return false;
    bool ok = std::fputs("curva,ponto,frequencia", file) >= 0;
    for (const PlotQuantitySpec& q : PlotQuantities)
        ok = std::fprintf(file, ",%s", q.csvColumn) >= 0 && ok;
    ok = std::fputc('\n', file) != EOF && ok;
    const ResponseTable& table = plotter.responseTable();
    const int points = plotter.plotParameters().segmentos + 1;
    for (int k = 1; k <= plotter.curveCount(); ++k) {
        for (int i = 0; i < points; ++i) {
            ok = std::fprintf(file, "%d,%d,%.17g", k, i, table.frequency[i]) >= 0 && ok;
            for (const PlotQuantitySpec& q : PlotQuantities)
                ok = std::fprintf(file, ",%.17g", (table.*q.rows)[k][i]) >= 0 && ok;
            ok = std::fputc('\n', file) != EOF && ok;
        }
    }
    ok = std::ferror(file) == 0 && ok;
    return std::fclose(file) == 0 && ok;
}

}  // namespace corvane::cli
