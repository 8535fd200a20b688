// The analyses that compute with FLINT's exact numbers (the symbolic analysis, the
// symbolic noise density, the exact engine past MaxVariables unknowns) live in a module,
// corvane-exato.so, loaded the first time a run needs one: a numeric run never loads
// FLINT, NTL, GF2X nor MPFR, whose relocations alone took longer than the whole analysis of
// a small circuit. This is all the programs see of it; exact_module_loader.h finds and
// loads it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "analysis.h"
#include "analysis_options.h"
#include "listing_step.h"

namespace corvane {

namespace noise {
struct NoiseReport;
struct SymbolicNoiseListing;
}  // namespace noise
namespace symbolic {
struct SymbolicOptions;
}  // namespace symbolic

class ExactModule {
public:
    virtual ~ExactModule() = default;

    /// The symbolic analysis as a step of the listing (symbolic_step.h).
    virtual std::unique_ptr<ListingStep> symbolicStep() const = 0;
    /// The exact engine, a LargeCircuitEngine (exact_run.h).
    virtual LargeEngineOutcome networkFunctions(const RunState& run, NetworkFunctions& functions,
                                                AnalysisLog& log, AnalysisHost& host,
                                                bool listDetails) const = 0;
    /// The noise density in the symbols, and its part of the JSON document
    /// (noise_symbolic.h).
    virtual noise::SymbolicNoiseListing symbolicNoise(const RunState& run,
                                                      const noise::NoiseReport& report,
                                                      const NoiseSettings& options,
                                                      const symbolic::SymbolicOptions& symbolic,
                                                      AnalysisLog& log,
                                                      AnalysisHost* host) const = 0;
    virtual nlohmann::ordered_json symbolicNoiseDocument(
        const noise::SymbolicNoiseListing& listing) const = 0;
    /// The names of `names` that no element or symbol of the circuit read into `run` has.
    virtual std::vector<std::string> unknownSymbolNames(
        const RunState& run, const std::vector<std::string>& names) const = 0;
};

/// The module's file name, and its one exported function: given the version of the
/// program, the module's interface, or null when the module belongs to another version
/// (whose interface may differ). The module has fenced FLINT's and its GMP's aborts
/// (gmp_fence.h) before it returns.
inline constexpr const char* ExactModuleFileName = "corvane-exato.so";
inline constexpr const char* ExactModuleEntryName = "corvane_exact_module";
extern "C" {
using ExactModuleEntry = const ExactModule* (*)(const char* programVersion);
}

}  // namespace corvane
