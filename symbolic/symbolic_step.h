// The symbolic analysis as a step of the listing: it runs after the numeric listing while
// the options ask for it, and keeps what it listed for the documents written with the
// results.
#pragma once

#include <optional>

#include "listing_step.h"
#include "symbolic_analysis.h"

namespace corvane::symbolic {

class SymbolicStep : public ListingStep {
public:
    ListingOutcome afterListing(const ListingContext& context) override;
    /// "simbolica": the functions as the log listed them, for scripts.
    void addToDocument(nlohmann::ordered_json& document) const override;

    /// What the last run listed; empty when the options did not ask for it.
    const std::optional<SymbolicListing>& listing() const { return listing_; }

private:
    std::optional<SymbolicListing> listing_;
};

}  // namespace corvane::symbolic
