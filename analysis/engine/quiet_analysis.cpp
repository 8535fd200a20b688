#include "quiet_analysis.h"

#include <memory>

#include "analysis_log.h"
#include "c_locale.h"
#include "determinant.h"
#include "floating_point.h"
#include "mna.h"
#include "post_process.h"
#include "quiet_host.h"
#include "run_warnings.h"

namespace corvane {

std::optional<NetworkFunctions> expandQuietly(const RunState& run,
                                              const std::function<bool()>& stop) {
    AnalysisLog quiet([](std::string_view) {});
    QuietHost host(stop);
    ScopedCLocale locale;
    // The system and the functions are a few tens of kilobytes: kept off the stack.
    auto matrix = std::make_unique<SystemMatrix>();
    auto functions = std::make_unique<NetworkFunctions>();
    try {
        assembleSystem(run, *matrix, quiet, false);
        const ExpansionCounts counts =
            computeNetworkFunctions(*matrix, run.variableCount, *functions, quiet, host);
        if (counts.cancelled) return std::nullopt;
    } catch (const FloatingPointFault&) {
        return std::nullopt;
    }
    return *functions;
}

std::optional<QuietAnalysis> analyseQuietly(const RunState& run,
                                            const std::function<bool()>& stop) {
    std::optional<NetworkFunctions> raw = expandQuietly(run, stop);
    if (!raw) return std::nullopt;
    auto result = std::make_unique<QuietAnalysis>();
    result->raw = *raw;
    result->functions = *raw;
    AnalysisLog quiet([](std::string_view) {});
    ScopedCLocale locale;
    try {
        RunWarnings warnings;
        if (!postProcess(result->functions, run.variableCount, true, DefaultRunDispersion, quiet,
                         warnings))
            return std::nullopt;
    } catch (const FloatingPointFault&) {
        return std::nullopt;
    }
    return std::move(*result);
}

std::optional<QuietAnalysis> analyseVariablesQuietly(const RunState& run,
                                                     std::span<const int> variables,
                                                     const std::function<bool()>& stop) {
    const std::optional<NetworkFunctions> raw = expandQuietly(run, stop);
    if (!raw) return std::nullopt;
    return processQuietly(*raw, run.variableCount, variables);
}

std::optional<QuietAnalysis> processQuietly(const NetworkFunctions& raw, int n,
                                            std::span<const int> variables) {
    // The few numerators asked for, and one with a constant term when any has one: that is
    // what makes the integration raise the denominator instead of lowering the numerators.
    auto chosen = std::make_unique<NetworkFunctions>();
    chosen->denominator = raw.denominator;
    int count = 0;
    for (const int k : variables)
        chosen->numerator[static_cast<std::size_t>(++count)] =
            raw.numerator[static_cast<std::size_t>(k)];
    for (int k = 1; k <= n; ++k) {
        if (raw.numerator[static_cast<std::size_t>(k)].coef[0] == 0.0) continue;
        chosen->numerator[static_cast<std::size_t>(++count)] =
            raw.numerator[static_cast<std::size_t>(k)];
        break;
    }
    AnalysisLog quiet([](std::string_view) {});
    ScopedCLocale locale;
    try {
        RunWarnings warnings;
        if (!postProcess(*chosen, count, true, DefaultRunDispersion, quiet, warnings))
            return std::nullopt;
    } catch (const FloatingPointFault&) {
        return std::nullopt;
    }
    auto result = std::make_unique<QuietAnalysis>();
    result->raw = raw;
    result->functions.denominator = chosen->denominator;
    result->functions.denominatorRaised = chosen->denominatorRaised;
    int slot = 0;
    for (const int k : variables)
        result->functions.numerator[static_cast<std::size_t>(k)] =
            chosen->numerator[static_cast<std::size_t>(++slot)];
    return std::move(*result);
}

}  // namespace corvane
