// The noise as a step of an analysis run: after the numeric listing, when the options ask
// for it, the densities, the shares and the rms at the chosen output, and a "ruido"
// member in the JSON document.
#pragma once

#include <optional>

#include "listing_step.h"
#include "noise_analysis.h"

namespace corvane::noise {

class NoiseStep : public ListingStep {
public:
    ListingOutcome afterListing(const ListingContext& context) override;
    void addToDocument(nlohmann::ordered_json& document) const override;

private:
    std::optional<NoiseReport> report_;
    NoiseOptions options_;
};

}  // namespace corvane::noise
