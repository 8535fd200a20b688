// Fuzz target: the whole analysis of a netlist (reading, numbering, assembly,
// determinants, post-processing, listing and result files) through a host that stands
// for the windows. The first byte picks the options; the rest is the netlist. Circuits
// of more than 12 unknowns are read and numbered but not computed, so that every input
// stays fast. Only the analysis's own floating-point fault may escape a run.
#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "analysis.h"
#include "floating_point.h"

namespace {

using corvane::Analysis;
using corvane::AnalysisHost;
using corvane::WaitStatus;

constexpr int LargestComputedCircuit = 12;
const double Dispersions[] = {1e9, 0.0, -1.0, 1e12, 1e-3, HUGE_VAL};

class FuzzHost : public AnalysisHost {
public:
    explicit FuzzHost(std::uint8_t options) : options_(options) {}
    Analysis* analysis = nullptr;

    corvane::AnalysisOptions options() const override {
        corvane::AnalysisOptions options;
        options.listStamps = options_ & 1;
        options.normalize = !(options_ & 2);
        options.listDetails = options_ & 4;
        // Every selected variable is also measured.
        options.listMeasures = (options_ >> 3) & 1;
        if (options.listMeasures) {
            for (int k = 1; k <= variables_; ++k) options.selectedVariables.push_back(k);
        }
        return options;
    }
    void clearVariableList() override { variables_ = 0; }
    void addVariable(std::string_view) override { ++variables_; }
    void enableListResults(bool) override {}
    void enableVariablesMenu() override {}
    void showParameterWindows() override {}
    WaitStatus processPendingEvents() override {
        if (analysis->runState().variableCount > LargestComputedCircuit)
            return WaitStatus::Cancelled;
        analysis->applyParameters(Dispersions[(options_ >> 4) % std::size(Dispersions)]);
        return WaitStatus::Waiting;
    }

private:
    std::uint8_t options_;
    int variables_ = 0;
};

std::string makeWorkFolder() {
    std::string pattern =
        access("/dev/shm", W_OK) == 0 ? "/dev/shm/corvane-fuzz-XXXXXX" : "/tmp/corvane-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data())) std::abort();
    return pattern;
}

void removeWorkFolder();

// One folder for the whole fuzzing session: the netlist and its result files, in memory
// when the system offers a memory file system. It is removed at exit, before the name
// itself is destroyed (handlers run in the reverse order of their registration).
const std::string& workFolder() {
    static const std::string folder = makeWorkFolder();
    static const bool removedAtExit = std::atexit(removeWorkFolder) == 0;
    (void)removedAtExit;
    return folder;
}

void removeWorkFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(workFolder(), ignored);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string netlist = workFolder() + "/f.net";
    std::FILE* file = std::fopen(netlist.c_str(), "wb");
    if (!file) std::abort();
    std::fwrite(data + 1, 1, size - 1, file);
    std::fclose(file);

    FuzzHost host(data[0]);
    std::size_t printed = 0;
    corvane::AnalysisLog log([&printed](std::string_view line) { printed += line.size(); });
    Analysis analysis(host, log);
    host.analysis = &analysis;
    analysis.setEngineOptions(
        {corvane::ExpansionMethod::Memoised, corvane::wallClockSeconds, std::size_t{64} << 20});
    try {
        analysis.runAnalysis(netlist);
        analysis.listResults();
    } catch (const corvane::FloatingPointFault&) {
    }
    return 0;
}
