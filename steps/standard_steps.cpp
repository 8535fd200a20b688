#include "standard_steps.h"

#include <memory>

#include "exact_module_loader.h"
#include "loop_step.h"
#include "noise_step.h"
#include "sensitivity_listing.h"
#include "step_listing.h"
#include "tolerance_listing.h"

namespace corvane {

namespace {

// The symbolic analysis's step, made by the exact module the first time the options ask
// for it: a run without it never loads the module.
class SymbolicStepOnDemand : public ListingStep {
public:
    ListingOutcome afterListing(const ListingContext& context) override {
        if (!step_) {
            if (!context.options.symbolic.enabled) return ListingOutcome::Done;
            try {
                step_ = exactModule().symbolicStep();
            } catch (const ExactModuleUnavailable& unavailable) {
                context.log.print("%s", unavailable.what());
                return ListingOutcome::Failed;
            }
        }
        // Once made, it runs every time: it forgets the last run's listing when the
        // options no longer ask for one.
        return step_->afterListing(context);
    }
    void addToDocument(nlohmann::ordered_json& document) const override {
        if (step_) step_->addToDocument(document);
    }

private:
    std::unique_ptr<ListingStep> step_;
};

LargeEngineOutcome exactEngineOnDemand(const RunState& run, NetworkFunctions& functions,
                                       AnalysisLog& log, AnalysisHost& host, bool listDetails) {
    try {
        return exactModule().networkFunctions(run, functions, log, host, listDetails);
    } catch (const ExactModuleUnavailable& unavailable) {
        log.print("%s", unavailable.what());
        return LargeEngineOutcome::Failed;
    }
}

}  // namespace

void addStandardListingSteps(Analysis& analysis) {
    analysis.addListingStep(std::make_unique<SymbolicStepOnDemand>());
    analysis.addListingStep(std::make_unique<noise::NoiseStep>());
    analysis.addListingStep(std::make_unique<loop::LoopStep>());
    analysis.addListingStep(std::make_unique<variation::StepListing>());
    analysis.addListingStep(std::make_unique<variation::ToleranceListing>());
    analysis.addListingStep(std::make_unique<variation::SensitivityListing>());
    analysis.setLargeCircuitEngine(exactEngineOnDemand);
}

}  // namespace corvane
