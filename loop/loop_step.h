// The loop gain as a step of an analysis run: after the numeric listing, when the options
// name a source, its loop gain, asymptotic gain and direct transmission, the margins and
// the closed-loop stability, and a "malha" member in the JSON document.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "listing_step.h"
#include "loop_listing.h"

namespace corvane::loop {

/// Runs the engine for the source `name` of `run` and builds its report. Logs why not (and
/// returns none) when the name is no such source, the loop gain is identically zero or a
/// cancel stopped it (`cancelled` then set).
std::optional<LoopReport> analyseLoop(const RunState& run, const std::string& name,
                                      AnalysisHost& host, const EngineOptions& engine,
                                      AnalysisLog& log, bool& failed, bool& cancelled);

class LoopStep : public ListingStep {
public:
    ListingOutcome afterListing(const ListingContext& context) override;
    void addToDocument(nlohmann::ordered_json& document) const override;
    std::vector<CompanionFile> companionFiles() const override;

private:
    std::optional<LoopReport> report_;
    // "<base>.malha" of the run, with the text to write there.
    std::optional<CompanionFile> loopFile_;
    std::string source_;
    std::vector<int> variables_;
    const RunState* run_ = nullptr;
};

}  // namespace corvane::loop
