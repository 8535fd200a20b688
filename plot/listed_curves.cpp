#include "listed_curves.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>
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
    const int fields = std::min(std::stoi(*degree), MaxDegree) + 2;
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
            if (numeratorFiles) (*numeratorFiles)[curveCount] = line;
        }
        if (readResultFile(file.get(), *target, log) != ReadStatus::Complete) {
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
