#include "worst_case.h"

#include <cmath>
#include <memory>

#include "element_value.h"
#include "floating_point.h"
#include "quiet_analysis.h"

namespace corvane::variation {

namespace {

std::optional<double> figureAtCorner(const RunState& corner, const CircuitFigures& nominal,
                                     const FigureRef& figure, std::span<const int> variables,
                                     double omega) {
    std::optional<QuietAnalysis> analysis;
    try {
        analysis = analyseQuietly(corner);
    } catch (const FloatingPointFault&) {
        return std::nullopt;
    }
    if (!analysis) return std::nullopt;
    const std::optional<CircuitFigures> figures = figuresOf(analysis->functions, variables, omega);
    if (!figures) return std::nullopt;
    const std::optional<CircuitFigures> aligned = alignedTo(*figures, nominal);
    if (!aligned) return std::nullopt;
    return figureValue(*aligned, figure);
}

}  // namespace

RunState cornerCircuit(const RunState& run, const SensitivityReport& report,
                       std::span<const ElementTolerance> tolerances, const FigureRef& figure,
                       double sign) {
    RunState corner = run;
    for (const ElementTolerance& t : tolerances) {
        const std::optional<double> s = findSensitivity(report, figure, t.element);
        if (!s || *s == 0.0) continue;
        const double direction = *s > 0.0 ? sign : -sign;
        const double value = run.ElementTable[static_cast<std::size_t>(t.element)].value;
        setElementValue(corner, t.element, value * (1.0 + direction * t.fraction));
    }
    return corner;
}

std::vector<WorstCase> worstCases(const RunState& run, const SensitivityReport& report,
                                  std::span<const ElementTolerance> tolerances,
                                  std::span<const int> variables, double omega) {
    std::vector<WorstCase> cases;
    for (const FigureRef& figure : figureRefs(report.nominal)) {
        const std::optional<double> nominal = figureValue(report.nominal, figure);
        if (!nominal) continue;
        double spread = 0.0;
        bool sensitive = false;
        for (const ElementTolerance& t : tolerances) {
            if (const std::optional<double> s = findSensitivity(report, figure, t.element)) {
                spread += std::fabs(*s) * t.fraction;
                sensitive = sensitive || *s != 0.0;
            }
        }
        if (!sensitive) continue;
        WorstCase c;
        c.figure = figure;
        c.nominal = *nominal;
        c.largestEstimate = *nominal * (1.0 + spread);
        c.smallestEstimate = *nominal * (1.0 - spread);
        try {
            auto high =
                std::make_unique<RunState>(cornerCircuit(run, report, tolerances, figure, 1.0));
            c.largest = figureAtCorner(*high, report.nominal, figure, variables, omega);
            auto low =
                std::make_unique<RunState>(cornerCircuit(run, report, tolerances, figure, -1.0));
            c.smallest = figureAtCorner(*low, report.nominal, figure, variables, omega);
        } catch (const FloatingPointFault&) {
            // A coupling's product overflowed at a corner: that corner has no figure.
        }
        cases.push_back(c);
    }
    return cases;
}

}  // namespace corvane::variation
