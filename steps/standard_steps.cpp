#include "standard_steps.h"

#include <memory>

#include "exact_run.h"
#include "loop_step.h"
#include "noise_step.h"
#include "sensitivity_listing.h"
#include "step_listing.h"
#include "tolerance_listing.h"
#include "symbolic_step.h"

namespace corvane {

void addStandardListingSteps(Analysis& analysis) {
    analysis.addListingStep(std::make_unique<symbolic::SymbolicStep>());
    analysis.addListingStep(std::make_unique<noise::NoiseStep>());
    analysis.addListingStep(std::make_unique<loop::LoopStep>());
    analysis.addListingStep(std::make_unique<variation::StepListing>());
    analysis.addListingStep(std::make_unique<variation::ToleranceListing>());
    analysis.addListingStep(std::make_unique<variation::SensitivityListing>());
    analysis.setLargeCircuitEngine(exact::exactNetworkFunctions);
}

}  // namespace corvane
