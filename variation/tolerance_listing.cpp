#include "tolerance_listing.h"

#include <numbers>
#include <random>
#include <string>

#include "host_progress.h"
#include "sensitivity.h"
#include "tolerance_report.h"
#include "tolerances.h"
#include "worst_case.h"

namespace corvane::variation {

namespace {

// The rules were checked by the window against this circuit; a problem here is logged.
std::optional<std::vector<ElementTolerance>> tolerancesOf(const ListingContext& context) {
    std::string error;
    const std::optional<std::vector<ToleranceRule>> rules =
        parseTolerances(context.options.tolerance.rules, error);
    if (!rules) {
        context.log.print("Tolerâncias não analisadas: %s", error.c_str());
        return std::nullopt;
    }
    std::optional<std::vector<ElementTolerance>> tolerances =
        resolveTolerances(context.run, *rules, error);
    if (!tolerances) context.log.print("Tolerâncias não analisadas: %s", error.c_str());
    return tolerances;
}

}  // namespace

ListingOutcome ToleranceListing::afterListing(const ListingContext& context) {
    outcome_.reset();
    const ToleranceSettings& settings = context.options.tolerance;
    if (!settings.enabled) return ListingOutcome::Done;
    const std::optional<std::vector<ElementTolerance>> tolerances = tolerancesOf(context);
    if (!tolerances) return ListingOutcome::Done;
    HostProgress progress(context.host);
    const auto stop = [&progress] { return progress.stopRequested(); };
    const std::vector<int>& variables = context.options.selectedVariables;
    const double omega = 2.0 * std::numbers::pi * DefaultStepHertz;
    const std::optional<SensitivityReport> sensitivities =
        computeSensitivities(context.run, variables, omega, stop);
    if (!sensitivities) {
        if (progress.stopRequested()) return ListingOutcome::Cancelled;
        context.log.print("Tolerâncias não analisadas: o circuito não pôde ser analisado com os "
                          "valores do netlist");
        return ListingOutcome::Done;
    }
    ToleranceOutcome outcome;
    outcome.seed = settings.seed ? *settings.seed : std::random_device{}();
    MonteCarloRequest request;
    request.tolerances = *tolerances;
    request.distribution = settings.gaussian ? Distribution::Gaussian : Distribution::Uniform;
    request.count = settings.circuits;
    request.seed = outcome.seed;
    request.variables = variables;
    request.omega = omega;
    if (!variables.empty()) {
        request.envelopeVariable = variables.front();
        request.envelopeOmegas = envelopeOmegas(sensitivities->nominal, omega);
    }
    std::optional<MonteCarloResult> monteCarlo = runMonteCarlo(
        context.run, request, [&progress](double fraction) { return progress(fraction); }, stop);
    if (!monteCarlo) return ListingOutcome::Cancelled;
    outcome.monteCarlo = std::move(*monteCarlo);
    outcome.envelopeVariable = request.envelopeVariable;
    const std::vector<WorstCase> worst =
        worstCases(context.run, *sensitivities, *tolerances, variables, omega);
    listTolerances(context.run, *tolerances, request.distribution, context.log);
    listMonteCarlo(context.run, outcome.monteCarlo, outcome.seed, DefaultStepHertz, context.log);
    listWorstCase(context.run, worst, DefaultStepHertz, context.log);
    outcome_ = std::move(outcome);
    return ListingOutcome::Done;
}

}  // namespace corvane::variation
