#include "listed_curves.h"

#include <string>

#include "input_file.h"
#include "plot_list.h"
#include "result_file.h"

namespace corvane {

namespace {

// A line names a file only when it fits the line buffer and holds no NUL, which would
// silently name another file.
InputFile openListedFile(const std::string& line) {
    if (line.size() > static_cast<std::size_t>(MaxListLineLength)) return nullptr;
    if (line.find('\0') != std::string::npos) return nullptr;
    return openForReading(line.c_str());
}

}  // namespace

// Any line that cannot be read stops the whole list, so a curve is never drawn with a
// polynomial left over from an earlier list.
std::optional<int> readListedCurves(std::string_view listText, PlotCurves& curves,
                                    AnalysisLog& log) {
    int curveCount = 0;
    bool denominatorDue = false;
    std::string numeratorLine;
    for (const std::string& line : splitListLines(listText)) {
        if (isCommentLine(line)) continue;
        const InputFile file = openListedFile(line);
        if (!file) {
            log.print("Arquivo %s não encontrado.", line.c_str());
            return std::nullopt;
        }
        log.print("Lendo arquivo %s", line.c_str());
        Polynomial* target = nullptr;
        if (denominatorDue) {
            target = &curves[curveCount].denominator;
            denominatorDue = false;
        } else {
            if (curveCount == MaxCurves) {
                log.print("Número excessivo de curvas");
                return std::nullopt;
            }
            ++curveCount;
            target = &curves[curveCount].numerator;
            denominatorDue = true;
            numeratorLine = line;
        }
        if (readPolynomial(file.get(), *target, log) != ReadStatus::Complete) {
            log.print("Arquivo %s inválido.", line.c_str());
            return std::nullopt;
        }
    }
    if (denominatorDue) {
        log.print("Falta o denominador do arquivo %s", numeratorLine.c_str());
        return std::nullopt;
    }
    return curveCount;
}

}  // namespace corvane
