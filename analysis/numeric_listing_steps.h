// The steps of the listing that need only the numeric functions: the poles and zeros, and
// the measures of the frequency responses, in the order their lines appear.
#pragma once

#include <memory>
#include <vector>

#include "listing_step.h"

namespace corvane {

std::vector<std::unique_ptr<ListingStep>> numericListingSteps();

}  // namespace corvane
