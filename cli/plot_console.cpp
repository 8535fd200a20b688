#include "plot_console.h"

#include <cmath>
#include <cstdio>

#include "c_locale.h"
#include "output_target.h"
#include "plot_list.h"
#include "replace_file.h"

namespace corvane::cli {

namespace {

// A density curve's gain column holds its level in dB re 1 V/√Hz (or A), which a comment
// above the header says; it has no phase or delay.
bool writeDensityNotes(const Plotter& plotter, std::FILE* file) {
    bool ok = true;
    for (int k = 1; k <= plotter.curveCount(); ++k) {
        const PlotCurve& curve = plotter.curves()[static_cast<std::size_t>(k)];
        if (curve.kind != CurveKind::NoiseDensity) continue;
        ok = std::fprintf(file, "# curva %d: %s: ganho_db é a densidade em dB re 1 %s/√Hz, sem fase "
                                "nem atraso\n",
                          k, curve.title.c_str(), curve.unit.c_str()) >= 0 &&
             ok;
    }
    return ok;
}

bool writeRows(const Plotter& plotter, std::FILE* file) {
    bool ok = writeDensityNotes(plotter, file);
    ok = std::fputs("curva,ponto,frequencia", file) >= 0 && ok;
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
            for (const PlotQuantityRow& q : PlotQuantities) {
                const double value = (table.*q.rows)[k][i];
                ok = (std::isfinite(value) ? std::fprintf(file, ",%.17g", value)
                                           : std::fprintf(file, ",")) >= 0 &&
                     ok;
            }
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

bool outputsSpareInputs(const std::vector<NamedOutput>& outputs, const std::string& listPath,
                        std::string_view listText, std::FILE* err) {
    std::vector<std::string> inputs;
    if (!listPath.empty()) inputs.push_back(listPath);
    for (const std::string& line : splitListLines(listText)) {
        if (isCommentLine(line) || line.empty()) continue;
        inputs.push_back(line);
        // "<document>.json#<variable>" reads the document.
        const std::size_t mark = line.rfind('#');
        if (mark != std::string::npos && mark > 0) inputs.push_back(line.substr(0, mark));
    }
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        const NamedOutput& output = outputs[i];
        if (output.path.empty()) continue;
        for (const std::string& input : inputs) {
            if (!sameFile(output.path, input)) continue;
            std::fprintf(err, "corvane-cli: %s %s seria gravada sobre o arquivo lido %s\n",
                         output.option, output.path.c_str(), input.c_str());
            return false;
        }
        for (std::size_t j = 0; j < i; ++j) {
            if (outputs[j].path.empty() || !sameFile(output.path, outputs[j].path)) continue;
            std::fprintf(err, "corvane-cli: %s e %s são o mesmo arquivo: %s\n", outputs[j].option,
                         output.option, output.path.c_str());
            return false;
        }
    }
    return true;
}

}  // namespace corvane::cli
