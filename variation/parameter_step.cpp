#include "parameter_step.h"

#include <algorithm>
#include <cmath>

#include "element_value.h"
#include "engineering_text.h"
#include "floating_point.h"
#include "polynomial_roots.h"
#include "quiet_analysis.h"
#include "stamp_family.h"

namespace corvane::variation {

namespace {

StepSample sampleFrom(const std::optional<QuietAnalysis>& analysis, double value,
                      std::span<const int> variables, double omega) {
    StepSample sample;
    sample.value = value;
    if (!analysis) return sample;
    std::optional<CircuitFigures> figures = figuresOf(analysis->functions, variables, omega);
    if (!figures) return sample;
    sample.computed = true;
    sample.functions = analysis->functions;
    sample.poles = polesOf(*figures);
    sample.figures = std::move(*figures);
    return sample;
}

StepSample sampleAt(const RunState& run, int element, double value, std::span<const int> variables,
                    double omega, const std::function<bool()>& stop) {
    std::optional<QuietAnalysis> analysis;
    try {
        analysis = analyseVariablesQuietly(withElementValue(run, element, value), variables, stop);
    } catch (const FloatingPointFault&) {
        analysis.reset();
    }
    return sampleFrom(analysis, value, variables, omega);
}

// An inductor with couplings moves their mutual inductances as √L: not a polynomial in its
// stamp. An element of value zero has no stamp to scale.
bool followsStampFamily(const RunState& run, int element) {
    const Element& e = run.ElementTable[static_cast<std::size_t>(element)];
    if (e.value == 0.0 || !std::isfinite(e.value)) return false;
    if (e.kind() != 'L') return true;
    for (int i = 1; i <= run.elementCount; ++i) {
        const Element& k = run.ElementTable[static_cast<std::size_t>(i)];
        if (k.kind() == 'K' && (k.firstInductor() == element || k.secondInductor() == element))
            return false;
    }
    return true;
}

// The factor on the stamped value that makes the element's value `value`.
double stampFactor(const Element& e, double value) {
    return e.kind() == 'R' ? e.value / value : value / e.value;
}

StepSample sampleOfFamily(const StampFamily& family, const RunState& run, int element, double value,
                          std::span<const int> variables, double omega) {
    const double t = stampFactor(run.ElementTable[static_cast<std::size_t>(element)], value);
    std::optional<QuietAnalysis> analysis;
    if (std::isfinite(t)) {
        try {
            RawFunctions raw;
            checkFloatingPoint([&] { raw = family.at(t); });
            analysis = processQuietly(asNetworkFunctions(raw), run.variableCount, variables);
        } catch (const FloatingPointFault&) {
            analysis.reset();
        }
    }
    return sampleFrom(analysis, value, variables, omega);
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
    // Two or three expansions make every value's functions; only an element that is no
    // polynomial in its stamp needs one expansion per value.
    std::optional<StampFamily> family;
    if (followsStampFamily(run, element)) {
        const std::optional<NetworkFunctions> nominal = expandQuietly(run, stop);
        if (nominal)
            family =
                StampFamily::of(run, rawFunctionsOf(*nominal, run.variableCount), element, stop);
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (stop && stop()) return std::nullopt;
        step.samples.push_back(
            family ? sampleOfFamily(*family, run, element, values[i], variables, omega)
                   : sampleAt(run, element, values[i], variables, omega, stop));
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
    if (const std::optional<QuietAnalysis> nominal = analyseQuietly(run)) {
        if (const std::optional<CircuitFigures> figures = figuresOf(nominal->functions, {}, 0.0))
            locus.nominalPoles = polesOf(*figures);
    }
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
