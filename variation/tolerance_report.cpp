#include "tolerance_report.h"

#include <numbers>

#include <complex>

#include <cmath>

#include <algorithm>

#include <optional>

#include "figure_texts.h"

namespace corvane::variation {

namespace {

const char* elementName(const RunState& run, int element) {
    return run.ElementTable[static_cast<std::size_t>(element)].name.c_str();
}

}  // namespace

std::string spreadTitle(const RunState& run, const FigureSpread& spread, double hertz) {
    std::string title = figureLabel(run, spread.figure, hertz);
    switch (spread.figure.figure) {
        case Figure::Omega0:
        case Figure::Cutoff:
            return title + " [Hz]";
        case Figure::GainAt:
            return title + " [dB]";
        case Figure::RealPole:
            return title + " [rad/s]";
        default:
            return title;
    }
}

std::vector<HistogramPanel> histogramPanels(const RunState& run, const MonteCarloResult& monteCarlo,
                                            double hertz) {
    std::vector<HistogramPanel> panels;
    for (const FigureSpread& spread : monteCarlo.figures) {
        if (spread.values.empty()) continue;
        const auto units = [&spread](double v) { return figureInOutputUnits(spread.figure, v); };
        HistogramPanel panel;
        panel.title = spreadTitle(run, spread, hertz);
        panel.histogram = spread.histogram;
        panel.histogram.low = units(panel.histogram.low);
        panel.histogram.high = units(panel.histogram.high);
        if (spread.nominal) panel.nominal = units(*spread.nominal);
        panels.push_back(panel);
    }
    return panels;
}

void listTolerances(const RunState& run, std::span<const ElementTolerance> tolerances,
                    Distribution distribution, AnalysisLog& log) {
    std::string line = "Tolerâncias:";
    for (std::size_t i = 0; i < tolerances.size(); ++i) {
        line += i == 0 ? " " : ", ";
        line += elementName(run, tolerances[i].element);
        line += " ";
        line += numberText(tolerances[i].fraction * 100.0);
        line += "%";
    }
    line += distribution == Distribution::Uniform ? " (uniformes)" : " (gaussianas, 3σ)";
    log.print("%s", line.c_str());
}

void listMonteCarlo(const RunState& run, const MonteCarloResult& mc, std::uint64_t seed,
                    double hertz, AnalysisLog& log) {
    log.print("Monte Carlo: %d circuitos, semente %llu", mc.count,
              static_cast<unsigned long long>(seed));
    if (mc.failed > 0) log.print("  %d circuitos não puderam ser analisados", mc.failed);
    for (const FigureSpread& spread : mc.figures) {
        const std::string title = spreadTitle(run, spread, hertz);
        if (spread.values.empty()) {
            log.print("  %s: nenhum circuito tem esta figura", title.c_str());
            continue;
        }
        const Statistics& s = spread.statistics;
        // In the units of the title (Hz for ω0 and the cutoff).
        const auto text = [&](double v) { return numberText(figureInOutputUnits(spread.figure, v)); };
        std::string line = "  " + title + ": ";
        if (spread.nominal) line += "nominal " + text(*spread.nominal) + ", ";
        line += "média " + text(s.mean) + ", desvio " + text(s.deviation) + ", 1% " + text(s.p1) +
                ", 50% " + text(s.p50) + ", 99% " + text(s.p99);
        if (s.count != mc.count - mc.failed) line += " (" + std::to_string(s.count) + " circuitos)";
        log.print("%s", line.c_str());
    }
}

void listWorstCase(const RunState& run, std::span<const WorstCase> worst, double hertz,
                   AnalysisLog& log) {
    log.print(
        "Pior caso pelos sinais das sensibilidades (os cantos analisados; a estimativa de "
        "primeira ordem entre parênteses):");
    for (const WorstCase& c : worst) {
        const std::string label = figureLabel(run, c.figure, hertz);
        const auto text = [&](const std::optional<double>& v) {
            return v ? figureValueText(c.figure, *v) : std::string("—");
        };
        const std::string line = "  " + label + ": nominal " + text(c.nominal) + "; |máximo| " +
                                 text(c.largest) + " (" + text(c.largestEstimate) + "); |mínimo| " +
                                 text(c.smallest) + " (" + text(c.smallestEstimate) + ")";
        log.print("%s", line.c_str());
    }
}

std::vector<double> envelopeOmegas(const CircuitFigures& nominal, double omega) {
    constexpr int EnvelopePoints = 200;
    double lowest = INFINITY;
    double highest = 0.0;
    for (const std::complex<double> p : polesOf(nominal)) {
        if (std::abs(p) == 0.0) continue;
        lowest = std::min(lowest, std::abs(p));
        highest = std::max(highest, std::abs(p));
    }
    if (!(highest > 0.0)) lowest = highest = omega > 0.0 ? omega : 2.0 * std::numbers::pi * 1000.0;
    const double from = lowest / 10.0;
    const double to = highest * 10.0;
    std::vector<double> omegas;
    for (int i = 0; i < EnvelopePoints; ++i)
        omegas.push_back(from * std::pow(to / from, i / double(EnvelopePoints - 1)));
    return omegas;
}

std::optional<EnvelopePanel> envelopePanel(const RunState& run, const MonteCarloResult& monteCarlo,
                                           int variable) {
    if (!monteCarlo.envelope) return std::nullopt;
    std::string title = "ganho de ";
    title += run.variableName(variable);
    title += " [dB]";
    EnvelopePanel panel{std::move(title), *monteCarlo.envelope};
    for (double& omega : panel.envelope.omegas)
        omega /= 2.0 * std::numbers::pi;
    return panel;
}

}  // namespace corvane::variation
