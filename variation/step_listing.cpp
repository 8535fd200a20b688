#include "step_listing.h"

#include <numbers>

#include "element_value.h"
#include "host_progress.h"
#include "parameter_step.h"
#include "result_file_names.h"
#include "results_json.h"
#include "step_report.h"

namespace corvane::variation {

ListingOutcome StepListing::afterListing(const ListingContext& context) {
    document_.reset();
    const StepSettings& settings = context.options.step;
    if (!settings.enabled) return ListingOutcome::Done;
    // The window checked the element against this circuit before the run went on.
    const int element = findElementNamed(context.run, settings.element);
    if (element == 0) {
        context.log.print("Varredura não feita: o elemento %s não existe no circuito",
                          settings.element.c_str());
        return ListingOutcome::Done;
    }
    const std::vector<int>& variables = context.options.selectedVariables;
    std::optional<ParameterStep> step;
    {
        HostProgress progress(context.host);
        step = computeStep(
            context.run, element, settings.values, variables,
            2.0 * std::numbers::pi * DefaultStepHertz,
            [&progress](double fraction) { return progress(fraction); },
            [&progress] { return progress.stopRequested(); });
    }
    if (!step) return ListingOutcome::Cancelled;
    listStep(context.run, *step, DefaultStepHertz, context.log);
    const std::string path = ResultFileNames(context.run.netlistFileName).stepDocument();
    std::string text = jsonText(stepDocument(context.run, *step, variables,
                                             context.run.netlistFileName, DefaultStepHertz));
    document_ = CompanionFile{path, "documento da varredura",
                              [text = std::move(text)](const RunWarnings&) { return text; }};
    return ListingOutcome::Done;
}

std::vector<CompanionFile> StepListing::companionFiles() const {
    if (!document_) return {};
    return {*document_};
}

}  // namespace corvane::variation
