#include "plotter.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <cstdio>
#include <string>
#include <utility>

#include "c_locale.h"
#include "fitted_ranges.h"
#include "listed_curves.h"
#include "results_json_reader.h"
#include "floating_point.h"
#include "plot_frame.h"
#include "loop_curves.h"
#include "noise_curves.h"
#include "number_text.h"
#include "plot_list.h"
#include "plot_paint.h"
#include "plot_quantities.h"
#include "remembered_line.h"
#include "result_file_names.h"
#include "run_state.h"

namespace corvane {

namespace {

constexpr int DefaultSegments = 300;

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
    if (isLoopLine(*numerator)) {
        window.appendListLine(*numerator);
        return;
    }
    if (noiseLineOf(*numerator)) {
        // The total and its largest contributors, each a whole curve.
        constexpr std::size_t Contributors = 3;
        const std::optional<std::vector<std::string>> lines =
            noiseListLines(*numerator, Contributors, log_);
        if (!lines) return;
        for (const std::string& line : *lines) window.appendListLine(line);
        return;
    }
    if (isStepDocument(*numerator)) {
        addStepFamily(*numerator, window);
        return;
    }
    // The dialog offers only numerator files, but a name can be typed: a netlist or a
    // denominator would fail only at "Plotar".
    if (!ResultFileNames::isNumeratorFile(*numerator)) {
        std::string line = "* Não é um arquivo de numerador (nome.n1 a nome.n";
        line += std::to_string(ResultFileNames::HighestNumerator);
        line += "): ";
        line += *numerator;
        window.appendListLine(line);
        return;
    }
    const std::optional<ListedPair> pair = listedPairOf(*numerator);
    if (!pair) {
        window.appendListLine("* Arquivo com nome inválido.");
        return;
    }
    window.appendListLine(pair->numerator);
    window.appendListLine(pair->denominator);
}

// The family of the document's first variable: one line per value computed, as many as
// one plot draws.
void Plotter::addStepFamily(const std::string& path, PlotListHost& window) {
    std::string error;
    const std::optional<StepContents> contents = stepContents(path, error);
    if (!contents) {
        std::string line = "* ";
        line += error;
        window.appendListLine(line);
        return;
    }
    if (contents->computed.empty()) {
        std::string line = "* O documento ";
        line += path;
        line += " não tem nenhum valor calculado.";
        window.appendListLine(line);
        return;
    }
    if (contents->variables.empty()) {
        std::string line = "* O documento ";
        line += path;
        line += " não tem numeradores: grave a varredura com --variavel.";
        window.appendListLine(line);
        return;
    }
    const std::size_t shown = std::min(contents->computed.size(), static_cast<std::size_t>(MaxCurves));
    for (std::size_t i = 0; i < shown; ++i)
        window.appendListLine(stepListLine(path, contents->variables.front(), contents->computed[i]));
    if (shown < contents->computed.size()) {
        std::string line = "* Só os primeiros ";
        line += std::to_string(MaxCurves);
        line += " valores calculados do documento cabem num gráfico.";
        window.appendListLine(line);
    }
}

bool Plotter::plot(PlotListHost& window) {
    ScopedCLocale locale;
    // A box whose text is not a number stops "Plotar" before it changes anything.
    // What stops "Plotar" is shown in the list window too, which may cover the log.
    std::string boxMessage;
    AnalysisLog boxLog = rememberingLastLine(log_, boxMessage);
    const std::optional<PlotParameters> parameters = readParameters(window, boxLog);
    if (!parameters) {
        window.showMessage(boxMessage);
        return false;
    }
    // A list that fails, like a box that does, leaves the last plot as it was.
    PlotCurves curves{};
    std::array<std::string, MaxCurves + 1> files{};
    std::string listMessage;
    AnalysisLog listLog = rememberingLastLine(log_, listMessage);
    const std::optional<int> count = readListedCurves(window.listText(), curves, listLog, &files);
    if (!count) {
        window.showMessage(listMessage);
        return false;
    }
    // Empty, or the segment count that was replaced by the default.
    window.showMessage(boxMessage);
    window.hidePlotWindow();
    plotParameters_ = *parameters;
    curves_ = curves;
    numeratorFiles_ = std::move(files);
    curveCount_ = *count;
    labels_ = corvane::curveLabels(numeratorFiles_, curveCount_);
    log_.print("Lidas %d funções", curveCount_);
    refused_ = convertCurves(window, curves_, curveCount_, numeratorFiles_);
    markers_.clear();
    curvesStale_ = true;
    plotReady_ = true;
    window.showPlotWindow();
    return true;
}

void Plotter::plotCurves(const PlotParameters& parameters, const PlotCurves& curves, int count,
                         const std::array<std::string, MaxCurves + 1>& lines) {
    plotParameters_ = parameters;
    curves_ = curves;
    curveCount_ = std::clamp(count, 0, MaxCurves);
    numeratorFiles_ = lines;
    labels_ = corvane::curveLabels(numeratorFiles_, curveCount_);
    markers_.clear();
    curvesStale_ = true;
    plotReady_ = true;
}

std::optional<std::array<std::string, PlotEditBoxCount>> Plotter::fittedRanges(
    const PlotListHost& window, const PlotCheckBoxes& checkBoxes) {
    ScopedCLocale locale;
    PlotCurves curves{};
    std::array<std::string, MaxCurves + 1> lines{};
    std::string listMessage;
    AnalysisLog listLog = rememberingLastLine(log_, listMessage);
    const std::optional<int> count = readListedCurves(window.listText(), curves, listLog, &lines);
    window.showMessage(count ? std::string() : listMessage);
    if (!count) return std::nullopt;
    convertCurves(window, curves, *count, lines);
    PlotParameters current;
    current.wmin = parseBoxNumber(window.editText(PlotEditBox::Ewmin)).value_or(0.0);
    current.wmax = parseBoxNumber(window.editText(PlotEditBox::Ewmax)).value_or(0.0);
    for (const PlotQuantityRow& q : PlotQuantities) {
        current.*q.minBox.parameter = parseBoxNumber(window.editText(q.minBox.box)).value_or(0.0);
        current.*q.maxBox.parameter = parseBoxNumber(window.editText(q.maxBox.box)).value_or(0.0);
    }
    const PlotParameters fitted = fitPlotRanges(curves, *count, current, checkBoxes.hz(),
                                                checkBoxes.continuousPhase());
    return fittedEditTexts(fitted, window.editText(PlotEditBox::Esegmentos));
}

CurveMask Plotter::convertCurves(const PlotListHost& window, PlotCurves& curves, int count,
                                 const std::array<std::string, MaxCurves + 1>& lines) {
    if (!window.withoutStep()) return {};
    const CurveMask refused =
        convertListedCurves(curves, count, lines, ResponseChoice::TransferFunction, log_);
    for (int k = 1; k <= count; ++k) {
        const auto slot = static_cast<std::size_t>(k);
        if (refused[slot]) curves[slot].numerator = Polynomial{};
    }
    return refused;
}

std::optional<PlotParameters> Plotter::readParameters(const PlotListHost& window,
                                                      AnalysisLog& log) {
    PlotParameters p;
    for (const PlotEditBoxRow& box : PlotEditBoxes) {
        const std::string text = window.editText(box.box);
        if (box.parameter) {
            const std::optional<double> value = parseBoxNumber(text);
            if (!value) {
                log.print("Valor inválido em \"%s\": %s", box.caption, text.c_str());
                return std::nullopt;
            }
            p.*box.parameter = *value;
            continue;
        }
        const std::optional<long long> segments = parseWholeNumber(text);
        if (!segments) {
            log.print("Valor inválido em \"%s\": %s", box.caption, text.c_str());
            return std::nullopt;
        }
        if (*segments < 1 || *segments > MaxSegments) {
            log.print("Número inválido de segmentos");
            p.segmentos = DefaultSegments;
        } else {
            p.segmentos = static_cast<int>(*segments);
        }
    }
    return p;
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

// Both work on u = ln w (logarithmic) or u = w (linear), where the frame is linear.
void Plotter::zoomFrequencyAt(double fraction, int steps, const PlotCheckBoxes& checkBoxes) {
    const bool logarithmic = checkBoxes.logarithmic();
    PlotParameters next = plotParameters_;
    checkFloatingPoint([&] {
        const double low = logarithmic ? std::log(next.wmin) : next.wmin;
        const double high = logarithmic ? std::log(next.wmax) : next.wmax;
        const double pointer = low + fraction * (high - low);
        const double span = (high - low) * std::pow(0.5, steps);
        const double newLow = pointer - fraction * span;
        const double newHigh = newLow + span;
        next.wmin = logarithmic ? std::exp(newLow) : newLow;
        next.wmax = logarithmic ? std::exp(newHigh) : newHigh;
    });
    plotParameters_ = next;
    curvesStale_ = true;
}

void Plotter::panFrequency(double fraction, const PlotCheckBoxes& checkBoxes) {
    const bool logarithmic = checkBoxes.logarithmic();
    PlotParameters next = plotParameters_;
    checkFloatingPoint([&] {
        if (logarithmic) {
            const double factor = std::pow(next.wmax / next.wmin, -fraction);
            next.wmin *= factor;
            next.wmax *= factor;
        } else {
            const double shift = -fraction * (next.wmax - next.wmin);
            next.wmin += shift;
            next.wmax += shift;
        }
    });
    plotParameters_ = next;
    curvesStale_ = true;
}

void Plotter::paint(PlotCanvas& canvas, int width, int height, PlotCheckBoxes& checkBoxes) {
    ScopedCLocale locale;
    canvas.fillRectangle(0, 0, width, height, Black);
    if (!plotReady_) return;

    const PlotParameters& p = plotParameters_;
    if (!(p.wmin > 0) || !(p.wmax > 0)) checkBoxes.uncheckLogarithmic();
    const bool logarithmic = checkBoxes.logarithmic();
    PlotFrame frame;
    checkFloatingPoint([&] { frame = makePlotFrame(width, height, p, logarithmic); });

    if (checkBoxes.grid()) drawGrid(canvas, frame, p);
    canvas.drawOutline(frame.x0, frame.y0, frame.x1, frame.y1 + 1, White);
    drawLabels(canvas, frame, p, checkBoxes);
    // The table holds the grid of one axis: a toggle of the units or the scale since it
    // was filled makes it stale, like a move of the range.
    const bool hz = checkBoxes.hz();
    if (hz != tableHz_ || logarithmic != tableLogarithmic_) curvesStale_ = true;
    // A stale table is refreshed point by point just before the point is drawn.
    const bool refreshing = curvesStale_;
    drawCurves(canvas, frame, p, checkBoxes, responseTable_, curveCount_, [&](int i, double w) {
        if (!curvesStale_) return;
        refreshResponsePoint(responseTable_, curves_, curveCount_, i, w, hz);
    });
    if (refreshing) logCurveGaps(p.segmentos + 1, hz);
    drawMarkers(canvas, frame, p, curves_, markers_, hz, checkBoxes.coloursPerCurve());
    if (checkBoxes.legend()) {
        drawLegend(canvas, frame, p, responseTable_, curves_, labels_, curveCount_,
                   checkBoxes.coloursPerCurve());
    }
    curvesStale_ = false;
    tableHz_ = hz;
    tableLogarithmic_ = logarithmic;
}

}  // namespace corvane

namespace corvane {

void Plotter::logCurveGaps(int points, bool hz) {
    const char* name = hz ? "f" : "ω";
    const char* unit = hz ? "Hz" : "rad/s";
    for (int k = 1; k <= curveCount_; ++k) {
        const CurveGaps& gaps = responseTable_.gaps[static_cast<std::size_t>(k)];
        if (gaps.count == 0 || refused_[static_cast<std::size_t>(k)]) continue;
        const PlotCurve& curve = curves_[static_cast<std::size_t>(k)];
        // A density's numerator is unused, and zero.
        if (gaps.count == points && curve.kind == CurveKind::Transfer && curve.numerator.isZero()) {
            log_.print("Curva %d: o numerador é zero: não há ganho, fase nem atraso a desenhar; "
                       "curva omitida.",
                       k);
        } else if (gaps.count == points) {
            log_.print("Curva %d: não pode ser calculada em nenhum ponto de %s = %.6g a %.6g %s "
                       "(%s); curva omitida.",
                       k, name, gaps.first, gaps.last, unit, gaps.fault.c_str());
        } else if (gaps.count == 1) {
            log_.print("Curva %d: não pode ser calculada em %s = %.6g %s (%s); a curva fica "
                       "interrompida aí.",
                       k, name, gaps.first, unit, gaps.fault.c_str());
        } else {
            log_.print("Curva %d: não pode ser calculada em %d pontos, de %s = %.6g a %.6g %s "
                       "(%s); a curva fica interrompida neles.",
                       k, gaps.count, name, gaps.first, gaps.last, unit, gaps.fault.c_str());
        }
    }
}

bool Plotter::curveOmitted() const {
    const int points = plotParameters_.segmentos + 1;
    for (int k = 1; k <= curveCount_; ++k) {
        if (responseTable_.gaps[static_cast<std::size_t>(k)].count == points) return true;
    }
    return false;
}

std::optional<CursorReading> Plotter::cursorAt(double x, double y, int width, int height,
                                               const PlotCheckBoxes& checkBoxes) const {
    if (!plotReady_) return std::nullopt;
    PlotFrame frame;
    try {
        checkFloatingPoint(
            [&] { frame = makePlotFrame(width, height, plotParameters_, checkBoxes.logarithmic()); });
    } catch (const FloatingPointFault&) {
        return std::nullopt;
    }
    return readCursor(frame, curves_, curveCount_, x, y, checkBoxes.hz());
}

std::optional<std::string> Plotter::cursorLine(double x, double y, int width, int height,
                                               const PlotCheckBoxes& checkBoxes) const {
    ScopedCLocale locale;
    const std::optional<CursorReading> reading = cursorAt(x, y, width, height, checkBoxes);
    if (!reading) return std::nullopt;
    return cursorText(*reading, labels_);
}

bool Plotter::placeMarker(double x, double y, int width, int height,
                          const PlotCheckBoxes& checkBoxes) {
    ScopedCLocale locale;
    const std::optional<CursorReading> reading = cursorAt(x, y, width, height, checkBoxes);
    if (!reading) return false;
    if (markers_.size() == MaxMarkers) markers_.erase(markers_.begin());
    const double omega = reading->hz ? 2 * std::numbers::pi * reading->frequency : reading->frequency;
    markers_.push_back({reading->curve, omega});
    log_.print("Marcador: %s", cursorText(*reading, labels_).c_str());
    return true;
}

}  // namespace corvane
