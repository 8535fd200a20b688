#include "parameter_step.h"

#include <algorithm>

#include "element_value.h"
#include "engineering_text.h"
#include "floating_point.h"
#include "polynomial_roots.h"
#include "quiet_analysis.h"

namespace corvane::variation {

namespace {

std::vector<std::complex<double>> polesOf(const NetworkFunctions& functions) {
    std::vector<std::complex<double>> poles;
    const PolynomialRoots roots = findRoots(networkDenominator(functions));
    if (roots.status != RootsStatus::Found) return poles;
    for (const PolynomialRoot& root : roots.roots)
        poles.insert(poles.end(), static_cast<std::size_t>(root.multiplicity), root.value);
    return poles;
}

StepSample sampleAt(const RunState& run, int element, double value,
                    std::span<const int> variables, double omega,
                    const std::function<bool()>& stop) {
    StepSample sample;
    sample.value = value;
    std::optional<QuietAnalysis> analysis;
    try {
        analysis = analyseQuietly(withElementValue(run, element, value), stop);
    } catch (const FloatingPointFault&) {
        return sample;
    }
    if (!analysis) return sample;
    std::optional<CircuitFigures> figures = figuresOf(analysis->functions, variables, omega);
    if (!figures) return sample;
    sample.computed = true;
    sample.functions = analysis->functions;
    sample.poles = polesOf(analysis->functions);
    sample.figures = std::move(*figures);
    return sample;
}

}  // namespace

std::optional<ParameterStep> computeStep(const RunState& run, int element,
                                         std::span<const double> values,
                                         std::span<const int> variables, double omega,
                                         const StepProgress& progress,
                                         const std::function<bool()>& stop) {
    ParameterStep step;
    step.element = element;
    step.samples.reserve(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (stop && stop()) return std::nullopt;
        step.samples.push_back(sampleAt(run, element, values[i], variables, omega, stop));
        if (stop && stop()) return std::nullopt;
        if (progress && !progress(static_cast<double>(i + 1) / static_cast<double>(values.size())))
            return std::nullopt;
    }
    return step;
}

RootLocus stepLocus(const RunState& run, const ParameterStep& step) {
    const Element& e = run.ElementTable[static_cast<std::size_t>(step.element)];
    RootLocus locus;
    locus.element = e.name;
    locus.kind = e.kind();
    locus.nominal = e.value;
    if (std::optional<QuietAnalysis> nominal = analyseQuietly(run))
        locus.nominalPoles = polesOf(nominal->functions);
    for (const StepSample& sample : step.samples) {
        locus.samples.push_back({sample.value, sample.computed, sample.poles});
        if (!sample.computed) ++locus.failedSamples;
    }
    locus.traces = matchTraces(locus.samples);
    return locus;
}

std::string stepValueText(double value, char kind) {
    const EngineeringParts parts = engineeringParts(value, 4);
    std::string text = parts.mantissa;
    std::replace(text.begin(), text.end(), '.', ',');
    const std::string_view unit = valueUnit(kind);
    if (!parts.prefix.empty() || !unit.empty()) text += ' ';
    text += parts.prefix;
    text += unit;
    return text;
}

std::string stepLegend(std::string_view element, double value, char kind) {
    std::string text(element);
    text += " = ";
    text += stepValueText(value, kind);
    return text;
}

}  // namespace corvane::variation
