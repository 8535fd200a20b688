#include "plot_console.h"

#include <cstdio>

#include "c_locale.h"

namespace corvane::cli {

bool writeResponseTable(const Plotter& plotter, const std::string& path) {
    ScopedCLocale locale;
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file) return false;
    bool ok = std::fputs("curva,ponto,frequencia,ganho_db,fase_graus,atraso_s\n", file) >= 0;
    const ResponseTable& table = plotter.responseTable();
    const int points = plotter.plotParameters().segmentos + 1;
    for (int k = 1; k <= plotter.curveCount(); ++k) {
        for (int i = 0; i < points; ++i) {
            ok = std::fprintf(file, "%d,%d,%.17g,%.17g,%.17g,%.17g\n", k, i, table.frequency[i],
                              table.gain[k][i], table.phase[k][i], table.delay[k][i]) >= 0 &&
                 ok;
        }
    }
    ok = std::ferror(file) == 0 && ok;
    return std::fclose(file) == 0 && ok;
}

}  // namespace corvane::cli
