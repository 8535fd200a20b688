#include "symbolic_step.h"

#include <nlohmann/json.hpp>

#include "symbolic_document.h"

namespace corvane::symbolic {

ListingOutcome SymbolicStep::afterListing(const ListingContext& context) {
    listing_.reset();
    const SymbolicSettings& settings = context.options.symbolic;
    if (!settings.enabled) return ListingOutcome::Done;
    // The symbolic expansion keeps the cofactor expansion's size.
    if (context.run.variableCount > MaxVariables) {
        context.log.print("Análise simbólica não feita: o circuito tem %d variáveis (máximo %d); "
                          "análise só numérica",
                          context.run.variableCount, MaxVariables);
        return ListingOutcome::Done;
    }
    SymbolicOptions options;
    options.symbols = settings.symbols;
    options.termLimit = settings.termLimit;
    // The symbolic expansion may take the memory the numeric one may.
    options.memoryLimitBytes = context.engine.cacheLimitBytes;
    const AnalysisOptions& selection = context.options;
    listing_ = listSymbolicAnalysis(
        context.run, context.functions, options, [&selection](int k) { return selection.selects(k); },
        context.log, &context.host);
    return listing_->outcome;
}

void SymbolicStep::addToDocument(nlohmann::ordered_json& document) const {
    if (listing_) document["simbolica"] = symbolicDocument(*listing_);
}

}  // namespace corvane::symbolic
