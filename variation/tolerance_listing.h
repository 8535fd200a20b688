// The tolerances as a step of an analysis run: after the numeric listing, when the options
// ask for them, a Monte Carlo run over the toleranced values and the worst case, listed in
// the log as `tolerancia` lists them, with the progress and the cancel of the analysis.
#pragma once

#include <cstdint>
#include <optional>

#include "listing_step.h"
#include "monte_carlo.h"

namespace corvane::variation {

/// What the last run's Monte Carlo found, for the windows that draw it.
struct ToleranceOutcome {
    std::uint64_t seed = 0;
    MonteCarloResult monteCarlo;
    /// The variable of the gain envelope; 0 when no variable was selected.
    int envelopeVariable = 0;
};

class ToleranceListing : public ListingStep {
public:
    ListingOutcome afterListing(const ListingContext& context) override;
    /// The last run's Monte Carlo; none when it had no tolerances.
    const std::optional<ToleranceOutcome>& outcome() const { return outcome_; }

private:
    std::optional<ToleranceOutcome> outcome_;
};

}  // namespace corvane::variation
