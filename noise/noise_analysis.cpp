#include "noise_analysis.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <string_view>

namespace corvane::noise {

namespace {

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// The band the totals and the shares are taken over: the user's, or every frequency.
std::pair<double, double> bandOf(const NoiseOptions& options) {
    return options.band.value_or(std::pair{0.0, std::numeric_limits<double>::infinity()});
}

std::string bandText(const NoiseOptions& options) {
    if (!options.band) return "em todas as frequências";
    char text[96];
    std::snprintf(text, sizeof text, "de %g Hz a %g Hz", options.band->first, options.band->second);
    return text;
}

}  // namespace

int findInputSource(const RunState& run, const std::string& name) {
    for (int i = 1; i <= run.elementCount; ++i) {
        const Element& e = run.ElementTable[static_cast<std::size_t>(i)];
        if ((e.kind() == 'V' || e.kind() == 'I') && sameName(e.name, name)) return i;
    }
    return 0;
}

std::optional<std::string> noiseOptionsProblem(const RunState& run, const NoiseOptions& options) {
    if (findOutputVariable(run, options.output) == 0) {
        std::string problem = "Ruído: a saída ";
        problem += options.output;
        problem += " não é uma variável do circuito";
        return problem;
    }
    if (!options.input.empty() && findInputSource(run, options.input) == 0) {
        std::string problem = "Ruído: a entrada ";
        problem += options.input;
        problem += " não é uma fonte independente do circuito";
        return problem;
    }
    if (thermalNoiseSources(run, ZeroCelsiusInKelvin).empty())
        return std::string("Ruído: o circuito não tem resistores, e só eles fazem ruído");
    return std::nullopt;
}

std::optional<NoiseReport> analyseNoise(const RunState& run, const SystemMatrix& system,
                                        const NoiseOptions& options, AnalysisLog& log,
                                        AnalysisHost& host, const EngineOptions& engine) {
    if (const std::optional<std::string> problem = noiseOptionsProblem(run, options)) {
        log.print("%s", problem->c_str());
        return std::nullopt;
    }
    const int output = findOutputVariable(run, options.output);
    const int input = options.input.empty() ? 0 : findInputSource(run, options.input);
    std::vector<NoiseSource> sources =
        thermalNoiseSources(run, options.celsius + ZeroCelsiusInKelvin);
    NoiseReport report;
    // Built, then moved in: GCC 12 at -O2 takes an assignment from a literal for an
    // overlapping copy (-Wrestrict).
    report.outputName = std::string(run.variableName(output));
    report.unit = std::string(1, output <= run.nodeCount ? 'V' : 'A');
    report.functions =
        computeNoiseFunctions(run, system, output, input, std::move(sources), host, engine);
    if (report.functions.cancelled) return std::nullopt;
    if (report.functions.denominator.isZero()) {
        log.print("Ruído: o sistema do circuito é singular");
        return std::nullopt;
    }
    const NoiseFunctions& functions = report.functions;
    report.outputDensity = outputDensity(functions, options.hertz);
    report.inputDensity = inputReferredDensity(functions, options.hertz);
    const auto [low, high] = bandOf(options);
    const PoleSpan span = poleSpan(functions);
    report.integral = integrateDensity(
        [&functions](double f) { return outputDensity(functions, f); }, low, high, span);
    for (std::size_t k = 0; k < functions.sources.size(); ++k) {
        Contribution c;
        c.source = k;
        c.density = sourceOutputDensity(functions, k, options.hertz);
        if (report.integral) {
            const auto part = integrateDensity(
                [&functions, k](double f) { return sourceOutputDensity(functions, k, f); }, low,
                high, span);
            if (part) c.power = part->value;
        }
        report.contributions.push_back(c);
    }
    std::stable_sort(report.contributions.begin(), report.contributions.end(),
                     [](const Contribution& a, const Contribution& b) {
                         if (a.power && b.power) return *a.power > *b.power;
                         return a.density > b.density;
                     });
    return report;
}

void listNoiseReport(const NoiseReport& report, const NoiseOptions& options, AnalysisLog& log) {
    const char* unit = report.unit.c_str();
    const NoiseFunctions& functions = report.functions;
    log.print("Análise de ruído: saída %s, %g °C", report.outputName.c_str(), options.celsius);
    log.print("Densidade na saída em %g Hz: %.6g %s/√Hz", options.hertz,
              std::sqrt(report.outputDensity), unit);
    if (report.inputDensity) {
        const bool current = functions.inputGain && !options.input.empty() &&
                             std::toupper(static_cast<unsigned char>(options.input[0])) == 'I';
        log.print("Densidade referida à entrada %s em %g Hz: %.6g %s/√Hz", options.input.c_str(),
                  options.hertz, std::sqrt(*report.inputDensity), current ? "A" : "V");
    }
    log.print("Contribuições em %g Hz:", options.hertz);
    for (const Contribution& c : report.contributions) {
        const double share = report.outputDensity > 0.0 ? 100.0 * c.density / report.outputDensity : 0.0;
        log.print("  %s: %.6g %s/√Hz (%.1f %%)", functions.sources[c.source].element.c_str(),
                  std::sqrt(c.density), unit, share);
    }
    const std::string band = bandText(options);
    if (!report.integral) {
        log.print("Ruído integrado %s: não converge", band.c_str());
        return;
    }
    log.print("Ruído integrado %s: %.6g %s rms", band.c_str(), std::sqrt(report.integral->value),
              unit);
    log.print("Contribuições %s:", band.c_str());
    for (const Contribution& c : report.contributions) {
        if (!c.power) continue;
        const double share = report.integral->value > 0.0 ? 100.0 * *c.power / report.integral->value : 0.0;
        log.print("  %s: %.6g %s rms (%.1f %%)", functions.sources[c.source].element.c_str(),
                  std::sqrt(*c.power), unit, share);
    }
}

}  // namespace corvane::noise
