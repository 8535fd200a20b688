// The exact module's side of exact_module.h: the only symbol it exports.
#include <cstring>

#include <nlohmann/json.hpp>

#include "corvane_version.h"
#include "exact_module.h"
#include "exact_run.h"
#include "exact_polynomial.h"
#include "noise_symbolic.h"
#include "symbolic_step.h"
#include "symbolic_system.h"

namespace corvane {

namespace {

class ExactModuleImplementation : public ExactModule {
public:
    std::unique_ptr<ListingStep> symbolicStep() const override {
        return std::make_unique<symbolic::SymbolicStep>();
    }
    LargeEngineOutcome networkFunctions(const RunState& run, NetworkFunctions& functions,
                                        AnalysisLog& log, AnalysisHost& host,
                                        bool listDetails) const override {
        return exact::exactNetworkFunctions(run, functions, log, host, listDetails);
    }
    noise::SymbolicNoiseListing symbolicNoise(const RunState& run, const noise::NoiseReport& report,
                                              const NoiseSettings& options,
                                              const symbolic::SymbolicOptions& symbolic,
                                              AnalysisLog& log, AnalysisHost* host) const override {
        return noise::listSymbolicNoise(run, report, options, symbolic, log, host);
    }
    nlohmann::ordered_json symbolicNoiseDocument(
        const noise::SymbolicNoiseListing& listing) const override {
        return noise::symbolicNoiseDocument(listing);
    }
    std::vector<std::string> unknownSymbolNames(const RunState& run,
                                                const std::vector<std::string>& names) const override {
        return symbolic::assembleSymbolicSystem(run, symbolic::SymbolSelection{names}).unknownNames;
    }
};

}  // namespace

}  // namespace corvane

extern "C" __attribute__((visibility("default"))) const corvane::ExactModule* corvane_exact_module(
    const char* programVersion) {
    if (programVersion == nullptr || std::strcmp(programVersion, corvane::ProgramVersion) != 0)
        return nullptr;
    // Before FLINT or this module's GMP make any object.
    corvane::symbolic::fenceFlintAborts();
    static const corvane::ExactModuleImplementation module;
    return &module;
}
