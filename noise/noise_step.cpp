#include "noise_step.h"

#include <cmath>

#include <nlohmann/json.hpp>

#include "exact_module_loader.h"
#include "mna.h"
#include "noise_file.h"
#include "noise_symbolic.h"
#include "result_file_names.h"

namespace corvane::noise {

namespace {

// "<base>.ruido" of the run, written with its result files; none, with a line saying so,
// when a function is not finite and cannot be written.
std::optional<CompanionFile> noiseFileOf(const NoiseReport& report, double celsius,
                                         const ListingContext& context) {
    const std::string path = ResultFileNames(context.run.netlistFileName).noiseDensities();
    std::optional<std::string> text = noiseFileText(report, celsius);
    if (!text) {
        context.log.print("Ruído: as funções do ruído não são finitas; o arquivo %s não é gravado",
                          path.c_str());
        return std::nullopt;
    }
    return CompanionFile{path, "arquivo de ruído",
                         [text = std::move(*text)](const RunWarnings&) { return text; }};
}

}  // namespace

ListingOutcome NoiseStep::afterListing(const ListingContext& context) {
    report_.reset();
    symbolic_.reset();
    noiseFile_.reset();
    if (!context.options.noise.enabled) return ListingOutcome::Done;
    // The noise is expanded by cofactors, in a system of the expansion's size.
    if (context.run.variableCount > MaxVariables) {
        context.log.print("Análise de ruído não feita: o circuito tem %d variáveis (máximo %d)",
                          context.run.variableCount, MaxVariables);
        return ListingOutcome::Done;
    }
    options_ = context.options.noise;
    // The run keeps no system past its expansion; assembling it again is a small part of
    // the noise's own expansion.
    SystemMatrix system;
    AnalysisLog quiet([](std::string_view) {});
    assembleSystem(context.run, system, quiet, false);
    report_ = analyseNoise(context.run, system, options_, context.log, context.host, context.engine);
    if (!report_) {
        return context.host.cancelRequested() ? ListingOutcome::Cancelled : ListingOutcome::Failed;
    }
    listNoiseReport(*report_, options_, context.log);
    noiseFile_ = noiseFileOf(*report_, options_.celsius, context);
    if (!context.options.symbolic.enabled) return ListingOutcome::Done;
    symbolic::SymbolicOptions symbolicOptions;
    symbolicOptions.symbols = context.options.symbolic.symbols;
    symbolicOptions.termLimit = context.options.symbolic.termLimit;
    symbolicOptions.memoryLimitBytes = context.engine.cacheLimitBytes;
    try {
        symbolic_ = exactModule().symbolicNoise(context.run, *report_, options_, symbolicOptions,
                                                context.log, &context.host);
    } catch (const ExactModuleUnavailable& unavailable) {
        context.log.print("%s", unavailable.what());
        return ListingOutcome::Failed;
    }
    return symbolic_->outcome;
}

std::vector<CompanionFile> NoiseStep::companionFiles() const {
    if (!noiseFile_) return {};
    return {*noiseFile_};
}

void NoiseStep::addToDocument(nlohmann::ordered_json& document) const {
    if (!report_) return;
    const NoiseFunctions& functions = report_->functions;
    nlohmann::ordered_json noise;
    noise["saida"] = report_->outputName;
    noise["unidade"] = report_->unit;
    noise["temperatura_c"] = options_.celsius;
    noise["frequencia_hz"] = options_.hertz;
    noise["densidade_saida"] = std::sqrt(report_->outputDensity);
    if (report_->inputDensity) {
        noise["entrada"] = options_.input;
        noise["densidade_entrada"] = std::sqrt(*report_->inputDensity);
    }
    if (options_.band) {
        noise["faixa_hz"] = {options_.band->first, options_.band->second};
    } else {
        noise["faixa_hz"] = nullptr;
    }
    noise["rms"] = report_->integral ? nlohmann::ordered_json(std::sqrt(report_->integral->value))
                                     : nlohmann::ordered_json(nullptr);
    noise["contribuicoes"] = nlohmann::ordered_json::array();
    for (const Contribution& c : report_->contributions) {
        noise["contribuicoes"].push_back(
            {{"elemento", functions.sources[c.source].element},
             {"densidade", std::sqrt(c.density)},
             {"rms", c.power ? nlohmann::ordered_json(std::sqrt(*c.power))
                             : nlohmann::ordered_json(nullptr)}});
    }
    // The module that listed it is loaded.
    if (symbolic_) noise["simbolica"] = exactModule().symbolicNoiseDocument(*symbolic_);
    document["ruido"] = noise;
}

}  // namespace corvane::noise
