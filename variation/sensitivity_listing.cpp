#include "sensitivity_listing.h"

#include <numbers>
#include <string>

#include "c_locale.h"
#include "figure_texts.h"
#include "host_progress.h"

namespace corvane::variation {

namespace {

const std::string& elementName(const RunState& run, int element) {
    return run.ElementTable[static_cast<std::size_t>(element)].name;
}

void listNominal(const RunState& run, const CircuitFigures& figures, double hertz,
                 AnalysisLog& log) {
    log.print("Figuras com os valores do netlist:");
    for (const FigureRef& ref : figureRefs(figures)) {
        const std::optional<double> value = figureValue(figures, ref);
        std::string line = "  ";
        line += figureLabel(run, ref, hertz);
        line += ": ";
        line += value ? figureValueText(ref, *value) : std::string("—");
        log.print("%s", line.c_str());
    }
}

}  // namespace

void listSensitivities(const RunState& run, const SensitivityReport& report, double hertz,
                       AnalysisLog& log) {
    listNominal(run, report.nominal, hertz, log);
    log.print("Sensibilidades S = (x/y)·∂y/∂x, exatas, da maior para a menor:");
    for (const Sensitivity& row : report.rows) {
        std::string line = "  S(";
        line += figureLabel(run, row.figure, hertz);
        line += ", ";
        line += elementName(run, row.element);
        line += ") = ";
        line += numberText(row.value);
        log.print("%s", line.c_str());
    }
}

nlohmann::ordered_json sensitivityMembers(const RunState& run, const SensitivityReport& report,
                                          double hertz) {
    using nlohmann::ordered_json;
    ordered_json rows = ordered_json::array();
    for (const Sensitivity& row : report.rows) {
        rows.push_back({{"figura", figureKey(row.figure.figure)},
                        {"coluna", figureColumn(run, row.figure)},
                        {"elemento", elementName(run, row.element)},
                        {"s", row.value}});
    }
    return {{"frequencia_hz", hertz},
            {"figuras", figuresDocument(run, report.nominal)},
            {"sensibilidades", rows}};
}

ListingOutcome SensitivityListing::afterListing(const ListingContext& context) {
    members_.reset();
    const SensitivitySettings& settings = context.options.sensitivity;
    if (!settings.enabled) return ListingOutcome::Done;
    HostProgress progress(context.host);
    const double omega = 2.0 * std::numbers::pi * settings.hertz;
    const std::optional<SensitivityReport> report = computeSensitivities(
        context.run, context.options.selectedVariables, omega,
        [&progress] { return progress.stopRequested(); },
        [&progress](double fraction) { progress(fraction); });
    if (!report) {
        if (progress.stopRequested()) return ListingOutcome::Cancelled;
        context.log.print("Sensibilidades não calculadas: o circuito não pôde ser analisado com "
                          "os valores do netlist");
        return ListingOutcome::Done;
    }
    const ScopedCLocale locale;
    listSensitivities(context.run, *report, settings.hertz, context.log);
    members_ = sensitivityMembers(context.run, *report, settings.hertz);
    return ListingOutcome::Done;
}

void SensitivityListing::addToDocument(nlohmann::ordered_json& document) const {
    if (members_) document["sensibilidades"] = *members_;
}

}  // namespace corvane::variation
