#include "step_report.h"

#include <cmath>
#include <optional>

#include "figure_texts.h"

namespace corvane::variation {

namespace {

const Element& elementOf(const RunState& run, const ParameterStep& step) {
    return run.ElementTable[static_cast<std::size_t>(step.element)];
}

std::string legendOf(const RunState& run, const ParameterStep& step, double value) {
    const Element& element = elementOf(run, step);
    return stepLegend(element.name, value, element.kind());
}

}  // namespace

void listStep(const RunState& run, const ParameterStep& step, double hertz, AnalysisLog& log) {
    log.print("Passo de %s: %zu valores", elementOf(run, step).name.c_str(), step.samples.size());
    for (const StepSample& sample : step.samples) {
        log.print("%s", legendOf(run, step, sample.value).c_str());
        if (!sample.computed) {
            log.print("  o circuito não pôde ser analisado com este valor");
            continue;
        }
        for (const FigureRef& ref : figureRefs(sample.figures)) {
            if (ref.figure == Figure::Q) continue;
            const std::optional<double> value = figureValue(sample.figures, ref);
            std::string line = "  " + figureLabel(run, ref, hertz);
            line += ": ";
            line += value ? figureValueText(ref, *value) : "—";
            if (ref.figure == Figure::Omega0) {
                const FigureRef q{Figure::Q, ref.index, 0};
                line += ", Q = " + numberText(figureValue(sample.figures, q).value_or(NAN));
            }
            log.print("%s", line.c_str());
        }
    }
}

nlohmann::ordered_json stepDocument(const RunState& run, const ParameterStep& step,
                                    std::span<const int> variables, const std::string& netlist,
                                    double hertz) {
    using nlohmann::ordered_json;
    ordered_json values = ordered_json::array();
    for (const StepSample& sample : step.samples) {
        ordered_json entry = {{"valor", sample.value},
                              {"legenda", legendOf(run, step, sample.value)},
                              {"calculado", sample.computed}};
        if (sample.computed) {
            entry["denominador"] = polynomialDocument(networkDenominator(sample.functions));
            ordered_json numerators = ordered_json::array();
            for (const int k : variables) {
                numerators.push_back(
                    {{"numero", k},
                     {"nome", run.variableName(k)},
                     {"numerador", polynomialDocument(
                                       sample.functions.numerator[static_cast<std::size_t>(k)])}});
            }
            entry["numeradores"] = numerators;
            entry["figuras"] = figuresDocument(run, sample.figures);
        }
        values.push_back(entry);
    }
    return {{"formato", "corvane-varredura"},
            {"versao", 1},
            {"netlist", netlist},
            {"elemento", elementOf(run, step).name},
            {"valor_nominal", elementOf(run, step).value},
            {"frequencia_hz", hertz},
            {"valores", values}};
}

}  // namespace corvane::variation
