// The noise as a step of an analysis run: after the numeric listing, when the options ask
// for it, the densities, the shares and the rms at the chosen output, and a "ruido"
// member in the JSON document, and the noise file beside the result files (noise_file.h);
// with the symbolic analysis on too, the density as an exact expression.
#pragma once

#include <optional>

#include "listing_step.h"
#include "noise_analysis.h"
#include "noise_symbolic.h"

namespace corvane::noise {

class NoiseStep : public ListingStep {
public:
    ListingOutcome afterListing(const ListingContext& context) override;
    void addToDocument(nlohmann::ordered_json& document) const override;
    std::vector<CompanionFile> companionFiles() const override;

private:
    // "<base>.ruido" of the run, with the text to write there; empty without the noise.
    std::optional<CompanionFile> noiseFile_;
    std::optional<NoiseReport> report_;
    NoiseOptions options_;
    /// With the symbolic analysis on, the density as an expression.
    std::optional<SymbolicNoiseListing> symbolic_;
};

}  // namespace corvane::noise
