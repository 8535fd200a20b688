#include "loop_step.h"

#include "loop_file.h"
#include "result_file_names.h"

namespace corvane::loop {

std::optional<LoopReport> analyseLoop(const RunState& run, const std::string& name,
                                      AnalysisHost& host, const EngineOptions& engine,
                                      AnalysisLog& log, bool& failed, bool& cancelled) {
    failed = false;
    cancelled = false;
    const LoopSource source = findLoopSource(run, name);
    if (source.element == 0) {
        log.print("%s", source.problem.c_str());
        failed = true;
        return std::nullopt;
    }
    const std::string sourceName = run.ElementTable[static_cast<std::size_t>(source.element)].name;
    const LoopFunctions functions = computeLoopFunctions(run, source.element, host, engine);
    if (functions.cancelled) {
        cancelled = true;
        return std::nullopt;
    }
    if (const std::optional<std::string> problem = loopGainProblem(functions, sourceName)) {
        log.print("%s", problem->c_str());
        return std::nullopt;
    }
    return loopReport(loopGainOf(functions, sourceName, run.variableCount));
}

ListingOutcome LoopStep::afterListing(const ListingContext& context) {
    report_.reset();
    loopFile_.reset();
    source_.clear();
    run_ = &context.run;
    if (!context.options.loop.enabled) return ListingOutcome::Done;
    source_ = context.options.loop.source;
    variables_ = context.options.selectedVariables;
    bool failed = false;
    bool cancelled = false;
    report_ = analyseLoop(context.run, source_, context.host, context.engine, context.log, failed,
                          cancelled);
    if (cancelled) return ListingOutcome::Cancelled;
    if (failed) return ListingOutcome::Failed;
    if (report_) {
        source_ = report_->gain.source;
        listLoopReport(*report_, context.run, variables_, context.options.listPolesAndZeros,
                       context.log);
        const std::string path = ResultFileNames(context.run.netlistFileName).loopGain();
        std::optional<std::string> text = loopFileText(*report_, context.run, variables_);
        if (text) {
            loopFile_ =
                CompanionFile{path, "arquivo de malha",
                              [text = std::move(*text)](const RunWarnings&) { return text; }};
        } else {
            context.log.print("Malha: o ganho de malha não é finito; o arquivo %s não é gravado",
                              path.c_str());
        }
    }
    return ListingOutcome::Done;
}

std::vector<CompanionFile> LoopStep::companionFiles() const {
    if (!loopFile_) return {};
    return {*loopFile_};
}

void LoopStep::addToDocument(nlohmann::ordered_json& document) const {
    if (source_.empty() || run_ == nullptr) return;
    if (!report_) {
        document["malha"] = {{"fonte", source_}, {"situacao", "identicamente_nulo"}};
        return;
    }
    nlohmann::ordered_json loop = {{"situacao", "calculado"}};
    loop.update(loopDocument(*report_, *run_, variables_));
    document["malha"] = loop;
}

}  // namespace corvane::loop
