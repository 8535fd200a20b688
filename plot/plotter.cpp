#include "plotter.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "c_locale.h"
#include "floating_point.h"
#include "input_file.h"
#include "plot_list.h"
#include "result_file.h"

namespace corvane {

namespace {

constexpr int DefaultSegments = 300;

// A line names a file only when it fits the line buffer and holds no NUL, which would
// silently name another file.
InputFile openListedFile(const std::string& line) {
    if (line.size() > static_cast<std::size_t>(MaxListLineLength)) return nullptr;
    if (line.find('\0') != std::string::npos) return nullptr;
    return openForReading(line.c_str());
}

// A name that cannot be one line of the list could never be read back by "Plotar".
bool fitsOnOneLine(std::string_view name) {
    return name.find_first_of("\r\n") == std::string_view::npos;
}

bool changesFrequencyWindow(int keyCode) {
    return keyCode == KeyLeft || keyCode == KeyRight || keyCode == KeyA || keyCode == KeyR;
}

bool changesGainWindow(int keyCode) {
    return keyCode == KeyUp || keyCode == KeyDown || keyCode == KeyKeypadPlus ||
           keyCode == KeyKeypadMinus;
}

// The arrows move a window by a quarter of its width (a quarter of its decades on the
// logarithmic axis) or half its height; A and R halve and double the frequency window,
// keypad plus and minus the gain window, each keeping its lower limit.
void applyKey(int keyCode, bool logarithmic, PlotParameters& p) {
    switch (keyCode) {
        case KeyLeft:
        case KeyRight: {
            if (logarithmic) {
                const double f = std::sqrt(std::sqrt(p.wmax / p.wmin));
                if (keyCode == KeyLeft) {
                    p.wmin = p.wmin / f;
                    p.wmax = p.wmax / f;
                } else {
                    p.wmin = p.wmin * f;
                    p.wmax = p.wmax * f;
                }
            } else {
                const double d = (p.wmax - p.wmin) * 0.25;
                p.wmin = keyCode == KeyLeft ? p.wmin - d : p.wmin + d;
                p.wmax = keyCode == KeyLeft ? p.wmax - d : p.wmax + d;
            }
            break;
        }
        case KeyA:
            p.wmax = logarithmic ? std::sqrt(p.wmax / p.wmin) * p.wmin
                                 : (p.wmax - p.wmin) * 0.5 + p.wmin;
            break;
        case KeyR:
            p.wmax = logarithmic ? (p.wmax * p.wmax) / (p.wmin * p.wmin) * p.wmin
                                 : (p.wmax - p.wmin) * 2 + p.wmin;
            break;
        case KeyUp:
        case KeyDown: {
            const double d = (p.gmax - p.gmin) * 0.5;
            p.gmin = keyCode == KeyUp ? p.gmin + d : p.gmin - d;
            p.gmax = keyCode == KeyUp ? p.gmax + d : p.gmax - d;
            break;
        }
        case KeyKeypadPlus:
            p.gmax = (p.gmax + p.gmin) * 0.5;
            break;
        case KeyKeypadMinus:
            p.gmax = p.gmax * 2 - p.gmin;
            break;
        default:
            break;
    }
}

}  // namespace

void Plotter::addNumeratorFile(PlotListHost& window) {
    const std::optional<std::string> numerator = window.chooseNumeratorFile();
    if (!numerator) return;
    const std::optional<std::string> denominator = denominatorFileName(*numerator);
    if (!denominator || !fitsOnOneLine(*numerator)) {
        window.appendListLine("* Arquivo com nome inválido.");
        return;
    }
    window.appendListLine(*numerator);
    window.appendListLine(*denominator);
}

bool Plotter::plot(PlotListHost& window) {
    ScopedCLocale locale;
    window.hidePlotWindow();
    plotReady_ = false;
    readParameters(window);
    if (!readListedFiles(window)) return false;
    log_.print("Lidas %d funções", curveCount_);
    curvesStale_ = true;
    plotReady_ = true;
    window.showPlotWindow();
    return true;
}

void Plotter::readParameters(const PlotListHost& window) {
    auto number = [&](PlotEditBox box) { return textToDouble(window.editText(box).c_str()); };
    PlotParameters& p = plotParameters_;
    p.wmin = number(PlotEditBox::Ewmin);
    p.wmax = number(PlotEditBox::Ewmax);
    p.gmin = number(PlotEditBox::Egmin);
    p.gmax = number(PlotEditBox::Egmax);
    p.fmin = number(PlotEditBox::Efmin);
    p.fmax = number(PlotEditBox::Efmax);
    p.amin = number(PlotEditBox::Eamin);
    p.amax = number(PlotEditBox::Eamax);
    p.segmentos = textToInt(window.editText(PlotEditBox::Esegmentos).c_str());
    if (p.segmentos < 1 || p.segmentos > MaxSegments) {
        log_.print("Número inválido de segmentos");
        p.segmentos = DefaultSegments;
    }
}

// Lines pair up in order: numerator, then denominator, comments skipped wherever they
// are. Any line that cannot be read stops the whole list, so a curve is never drawn
// with a polynomial left over from an earlier list.
bool Plotter::readListedFiles(const PlotListHost& window) {
    curveCount_ = 0;
    bool denominatorDue = false;
    std::string numeratorLine;
    for (const std::string& line : splitListLines(window.listText())) {
        if (isCommentLine(line)) continue;
        const InputFile file = openListedFile(line);
        if (!file) {
            log_.print("Arquivo %s não encontrado.", line.c_str());
            return false;
        }
        log_.print("Lendo arquivo %s", line.c_str());
        Polynomial* target = nullptr;
        if (denominatorDue) {
            target = &curves_[curveCount_].denominator;
            denominatorDue = false;
        } else {
            if (curveCount_ == MaxCurves) {
                log_.print("Número excessivo de curvas");
                return false;
            }
            ++curveCount_;
            target = &curves_[curveCount_].numerator;
            denominatorDue = true;
            numeratorLine = line;
        }
        if (readPolynomial(file.get(), *target, log_) != ReadStatus::Complete) {
            log_.print("Arquivo %s inválido.", line.c_str());
            return false;
        }
    }
    if (denominatorDue) {
        log_.print("Falta o denominador do arquivo %s", numeratorLine.c_str());
        return false;
    }
    return true;
}

bool Plotter::keyDown(int keyCode, const PlotCheckBoxes& checkBoxes) {
    const bool frequencyKey = changesFrequencyWindow(keyCode);
    if (!frequencyKey && !changesGainWindow(keyCode)) return false;
    const bool logarithmic = checkBoxes.logarithmic();
    PlotParameters next = plotParameters_;
    checkFloatingPoint([&] { applyKey(keyCode, logarithmic, next); });
    plotParameters_ = next;
    if (frequencyKey) curvesStale_ = true;
    return true;
}

}  // namespace corvane
