// The step of one value as a step of an analysis run: after the numeric listing, when the
// options ask for it, the circuit is analysed again at each value, the log gets varrer's
// lines, and the step's document ("<base>.varredura.json") is written with the result
// files, for the plot list to draw the family from.
#pragma once

#include <optional>

#include "listing_step.h"

namespace corvane::variation {

class StepListing : public ListingStep {
public:
    ListingOutcome afterListing(const ListingContext& context) override;
    std::vector<CompanionFile> companionFiles() const override;

private:
    std::optional<CompanionFile> document_;
};

}  // namespace corvane::variation
