// The exact sensitivities as a step of an analysis run: after the numeric listing, when the
// options ask for them, the log gets the table `sensibilidade` lists, and the run's JSON
// document a member "sensibilidades" with the figures and every sensitivity, largest first.
#pragma once

#include <optional>

#include <nlohmann/json.hpp>

#include "analysis_log.h"
#include "listing_step.h"
#include "sensitivity.h"

namespace corvane::variation {

/// "Figuras com os valores do netlist:" and each figure, then "Sensibilidades S = …" and
/// one line per sensitivity, largest first; the gains at a frequency are at `hertz`.
void listSensitivities(const RunState& run, const SensitivityReport& report, double hertz,
                       AnalysisLog& log);

/// The figures and the sensitivities as JSON: {frequencia_hz, figuras, sensibilidades:
/// [{figura, coluna, elemento, s}]}.
nlohmann::ordered_json sensitivityMembers(const RunState& run, const SensitivityReport& report,
                                          double hertz);

class SensitivityListing : public ListingStep {
public:
    ListingOutcome afterListing(const ListingContext& context) override;
    void addToDocument(nlohmann::ordered_json& document) const override;

private:
    std::optional<nlohmann::ordered_json> members_;
};

}  // namespace corvane::variation
