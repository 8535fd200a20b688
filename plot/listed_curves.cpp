#include "listed_curves.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "coefficient_margins.h"
#include "input_file.h"
#include "loop_curves.h"
#include "noise_curves.h"
#include "plot_list.h"
#include "result_file.h"
#include "result_warnings_file.h"
#include "results_json_reader.h"

namespace corvane {

std::optional<DocumentLine> documentLineOf(const std::string& line) {
    const std::size_t mark = line.rfind('#');
    if (mark == std::string::npos || mark < 5 || mark + 1 == line.size()) return std::nullopt;
    std::string extension = line.substr(mark - 5, 5);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension != ".json") return std::nullopt;
    return DocumentLine{line.substr(0, mark), line.substr(mark + 1)};
}

// The value's number is short: a step holds a few hundred values at most.
std::optional<StepLine> stepLineOf(const std::string& line) {
    const std::optional<DocumentLine> document = documentLineOf(line);
    if (!document) return std::nullopt;
    const std::size_t at = document->variable.rfind('@');
    if (at == std::string::npos || at == 0) return std::nullopt;
    const std::string number = document->variable.substr(at + 1);
    constexpr std::size_t LongestNumber = 4;
    if (number.empty() || number.size() > LongestNumber ||
        number.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    return StepLine{document->path, document->variable.substr(0, at), std::stoi(number)};
}

std::string stepListLine(const std::string& path, const std::string& variable, int value) {
    std::string line = path;
    line += '#';
    line += variable;
    line += '@';
    line += std::to_string(value);
    return line;
}

namespace {

// A line names a file only when it fits the line buffer and holds no NUL, which would
// silently name another file.
InputFile openListedFile(const std::string& line) {
    if (line.size() > static_cast<std::size_t>(MaxListLineLength)) return nullptr;
    if (line.find('\0') != std::string::npos) return nullptr;
    return openForReading(line.c_str());
}

// The next blank-separated word of `file`; no value at its end. A word longer than any
// number counts as one that is not a number.
std::optional<std::string> nextWord(std::FILE* file) {
    constexpr std::size_t LongestWord = 4096;
    int c = std::getc(file);
    while (c != EOF && std::isspace(c)) c = std::getc(file);
    if (c == EOF) return std::nullopt;
    std::string word;
    while (c != EOF && !std::isspace(c)) {
        if (word.size() < LongestWord) word.push_back(static_cast<char>(c));
        c = std::getc(file);
    }
    return word;
}

bool isDegree(const std::string& word) {
    std::size_t start = word.size() > 1 && word[0] == '+' ? 1 : 0;
    if (start == word.size() || word.find_first_not_of("0123456789", start) != std::string::npos)
        return false;
    while (start + 1 < word.size() && word[start] == '0') ++start;
    const std::string digits = word.substr(start);
    const std::string largest = std::to_string(std::numeric_limits<int>::max());
    return digits.size() < largest.size() || (digits.size() == largest.size() && digits <= largest);
}

bool isFiniteNumber(const std::string& word) {
    char* end = nullptr;
    const double value = std::strtod(word.c_str(), &end);
    return end == word.c_str() + word.size() && std::isfinite(value);
}

// The words the reader of result files takes must each be whole: a degree that is a
// whole number 0 .. INT_MAX, then finite numbers. The formatted reader alone would wrap
// an overlong degree, cut "1.5" into two fields, and take "inf" or "nan" as a value.
// A file that ends early is left for the reader to report.
bool holdsWholeFields(std::FILE* file) {
    const std::optional<std::string> degree = nextWord(file);
    if (!degree) return true;
    if (!isDegree(*degree)) return false;
    const int fields = std::min(std::stoi(*degree), MaxLiftedDegree) + 2;
    for (int i = 0; i < fields; ++i) {
        const std::optional<std::string> word = nextWord(file);
        if (!word) return true;
        if (!isFiniteNumber(*word)) return false;
    }
    return true;
}

ReadStatus readResultFile(std::FILE* file, Polynomial& p, AnalysisLog& log) {
    if (!holdsWholeFields(file) || std::fseek(file, 0, SEEK_SET) != 0) {
        return ReadStatus::NotANumber;
    }
    return readPolynomial(file, p, log);
}

// The digits of `value` that "%15.12f" keeps: twelve decimals, and the places before the
// point.
int keptDigits(double value) {
    return 12 + static_cast<int>(std::floor(std::log10(std::fabs(value)))) + 1;
}

// A result file keeps twelve decimals: a coefficient that matters but is written with few
// of its digits (a polynomial that was not normalised, at practical element values) gives
// another curve than the run computed. Said once per file, with the worst coefficient.
void warnAboutLostDigits(const std::string& path, const Polynomial& p, AnalysisLog& log) {
    constexpr int FewestDigits = 6;
    const CoefficientMargins margins = coefficientMargins(p);
    int worst = -1;
    int worstDigits = FewestDigits;
    for (int i = 0; i <= std::clamp(p.degree, 0, p.capacityDegree()); ++i) {
        const auto& margin = margins[static_cast<std::size_t>(i)];
        const bool matters = !margin || *margin < SignificantMarginDecades;
        if (p.coef[i] == 0.0 || !matters) continue;
        const int digits = keptDigits(p.coef[i]);
        if (digits < worstDigits) {
            worst = i;
            worstDigits = digits;
        }
    }
    if (worst >= 0) {
        log.print("Aviso: o arquivo %s guarda só %d algarismos significativos do coeficiente "
                  "a%d; use a normalização ou o documento JSON da análise (--json).",
                  path.c_str(), std::max(worstDigits, 0), worst);
    } else if (p.constant != 0.0 && keptDigits(p.constant) < FewestDigits) {
        log.print("Aviso: o arquivo %s guarda só %d algarismos significativos da constante; "
                  "use o documento JSON da análise (--json).",
                  path.c_str(), std::max(keptDigits(p.constant), 0));
    }
}

bool readDocumentLine(const DocumentLine& line, PlotCurve& curve, AnalysisLog& log) {
    log.print("Lendo a variável %s de %s", line.variable.c_str(), line.path.c_str());
    const DocumentRead read = readDocumentFunction(line.path, line.variable);
    if (!read.function) {
        log.print("%s", read.error.c_str());
        return false;
    }
    curve.numerator = read.function->numerator;
    curve.denominator = read.function->denominator;
    for (const std::string& warning : read.function->warnings)
        log.print("Aviso: %s foi gravado com o aviso \"%s\"", line.path.c_str(), warning.c_str());
    return true;
}

bool readStepLine(const StepLine& line, PlotCurve& curve, AnalysisLog& log) {
    log.print("Lendo o valor %d da variável %s de %s", line.value, line.variable.c_str(),
              line.path.c_str());
    const StepFunctionRead read = readStepFunction(line.path, line.variable, line.value);
    if (!read.function) {
        log.print("%s", read.error.c_str());
        return false;
    }
    curve.numerator = read.function->numerator;
    curve.denominator = read.function->denominator;
    return true;
}

}  // namespace

// Any line that cannot be read stops the whole list, so a curve is never drawn with a
// polynomial left over from an earlier list.
std::optional<int> readListedCurves(std::string_view listText, PlotCurves& curves,
                                    AnalysisLog& log,
                                    std::array<std::string, MaxCurves + 1>* numeratorFiles) {
    int curveCount = 0;
    bool denominatorDue = false;
    std::string numeratorLine;
    for (const std::string& line : splitListLines(listText)) {
        if (isCommentLine(line)) continue;
        if (const auto step = stepLineOf(line); step && !denominatorDue) {
            if (curveCount == MaxCurves) {
                log.print("Número excessivo de curvas");
                return std::nullopt;
            }
            ++curveCount;
            curves[curveCount] = PlotCurve{};
            if (numeratorFiles) (*numeratorFiles)[curveCount] = line;
            if (!readStepLine(*step, curves[curveCount], log)) return std::nullopt;
            continue;
        }
        if (const auto document = documentLineOf(line); document && !denominatorDue) {
            if (curveCount == MaxCurves) {
                log.print("Número excessivo de curvas");
                return std::nullopt;
            }
            ++curveCount;
            curves[curveCount] = PlotCurve{};
            if (numeratorFiles) (*numeratorFiles)[curveCount] = line;
            if (!readDocumentLine(*document, curves[curveCount], log)) return std::nullopt;
            continue;
        }
        if (isLoopLine(line) && !denominatorDue) {
            if (curveCount == MaxCurves) {
                log.print("Número excessivo de curvas");
                return std::nullopt;
            }
            ++curveCount;
            if (numeratorFiles) (*numeratorFiles)[curveCount] = line;
            if (!readLoopLine(line, curves[curveCount], log)) return std::nullopt;
            continue;
        }
        if (const auto noise = noiseLineOf(line); noise && !denominatorDue) {
            if (curveCount == MaxCurves) {
                log.print("Número excessivo de curvas");
                return std::nullopt;
            }
            ++curveCount;
            if (numeratorFiles) (*numeratorFiles)[curveCount] = line;
            if (!readNoiseLine(*noise, curves[curveCount], log)) return std::nullopt;
            continue;
        }
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
            curves[curveCount] = PlotCurve{};
            target = &curves[curveCount].numerator;
            denominatorDue = true;
            numeratorLine = line;
            if (numeratorFiles) (*numeratorFiles)[curveCount] = line;
        }
        if (readResultFile(file.get(), *target, log) != ReadStatus::Complete) {
            log.print("Arquivo %s inválido.", line.c_str());
            return std::nullopt;
        }
        for (const std::string& warning : warningsAboutResultFile(line))
            log.print("Aviso: %s foi gravado com o aviso \"%s\"", line.c_str(), warning.c_str());
        warnAboutLostDigits(line, *target, log);
    }
    if (denominatorDue) {
        log.print("Falta o denominador do arquivo %s", numeratorLine.c_str());
        return std::nullopt;
    }
    return curveCount;
}

std::vector<std::vector<std::size_t>> listedCurveLines(std::string_view listText) {
    std::vector<std::vector<std::size_t>> curves;
    bool denominatorDue = false;
    const std::vector<std::string> lines = splitListLines(listText);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (isCommentLine(line)) continue;
        if (denominatorDue) {
            curves.back().push_back(i);
            denominatorDue = false;
            continue;
        }
        curves.push_back({i});
        denominatorDue = !documentLineOf(line) && !noiseLineOf(line) && !isLoopLine(line);
    }
    return curves;
}

}  // namespace corvane
