#include "numeric_listing_steps.h"

#include "measurements.h"
#include "pole_zero_listing.h"

namespace corvane {

namespace {

class PolesAndZerosStep : public ListingStep {
public:
    void listAfterDenominator(const ListingContext& context) override {
        if (context.options.listPolesAndZeros) listPoles(context.log, context.functions);
    }
    void listAfterNumerator(const ListingContext& context, int k) override {
        if (context.options.listPolesAndZeros) listZeros(context.log, context.functions, k);
    }
};

class MeasuresStep : public ListingStep {
public:
    void listAfterNumerator(const ListingContext& context, int k) override {
        if (context.options.listMeasures) listMeasures(context.log, context.functions, k);
    }
};

}  // namespace

std::vector<std::unique_ptr<ListingStep>> numericListingSteps() {
    std::vector<std::unique_ptr<ListingStep>> steps;
    steps.push_back(std::make_unique<PolesAndZerosStep>());
    steps.push_back(std::make_unique<MeasuresStep>());
    return steps;
}

}  // namespace corvane
