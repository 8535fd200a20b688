// The whole analysis of the examples and of circuits of growing size, and the
// determinants of random MNA-like and dense systems, with both expansions. Each
// benchmark reports the products the plain expansion would count ("produtos") and the
// minors the memoised one kept ("menores").
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "analysis.h"
#include "determinant.h"
#include "quiet_host.h"
#include "workloads.h"

namespace corvane::bench {
namespace {

// A host with the default options that answers the parameter wait at once.
class SilentHost : public QuietHost {
public:
    Analysis* analysis = nullptr;
    WaitStatus processPendingEvents() override {
        analysis->applyParameters(1e9);
        return WaitStatus::Waiting;
    }
};

std::string writeNetlist(const std::string& name, const std::string& text) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("corvane-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / (name + ".net")).string();
    std::ofstream(path) << text;
    return path;
}

ProductCount totalProducts(const ExpansionCounts& counts) {
    ProductCount total = counts.denominator;
    for (const ProductCount c : counts.numerator)
        total += c;
    return total;
}

// The exact count goes into the label; the counters are doubles.
void report(benchmark::State& state, const ExpansionCounts& counts, int n) {
    state.counters["incognitas"] = n;
    state.counters["produtos"] = static_cast<double>(totalProducts(counts));
    state.counters["menores"] = static_cast<double>(counts.cachedMinors);
    state.SetLabel(formatCount(totalProducts(counts)));
}

void analyseNetlist(benchmark::State& state, const std::string& path, ExpansionMethod method) {
    SilentHost host;
    AnalysisLog log;
    Analysis analysis(host, log);
    host.analysis = &analysis;
    analysis.setEngineOptions({method, wallClockSeconds, DefaultCacheLimitBytes});
    for (auto _ : state) {
        if (analysis.runAnalysis(path) != RunOutcome::Succeeded) {
            state.SkipWithError("a análise falhou");
            return;
        }
    }
    report(state, analysis.lastCounts(), analysis.runState().variableCount);
}

void expandSystem(benchmark::State& state, const SystemMatrix& m, int n, ExpansionMethod method) {
    SilentHost host;
    AnalysisLog log;
    NetworkFunctions functions;
    ExpansionCounts counts;
    for (auto _ : state) {
        counts = computeNetworkFunctions(m, n, functions, log, host,
                                         {method, wallClockSeconds, DefaultCacheLimitBytes});
        benchmark::DoNotOptimize(functions);
    }
    report(state, counts, n);
}

void registerNetlist(const std::string& name, const std::string& text, bool plainToo) {
    const std::string path = writeNetlist(name, text);
    benchmark::RegisterBenchmark(("memo/" + name).c_str(), [path](benchmark::State& s) {
        analyseNetlist(s, path, ExpansionMethod::Memoised);
    })->Unit(benchmark::kMillisecond);
    if (plainToo) {
        benchmark::RegisterBenchmark(("plain/" + name).c_str(), [path](benchmark::State& s) {
            analyseNetlist(s, path, ExpansionMethod::Plain);
        })->Unit(benchmark::kMillisecond);
    }
}

void registerSystem(const std::string& name, const SystemMatrix& m, int n, bool plainToo) {
    benchmark::RegisterBenchmark(("memo/" + name).c_str(), [m, n](benchmark::State& s) {
        expandSystem(s, m, n, ExpansionMethod::Memoised);
    })->Unit(benchmark::kMillisecond);
    if (plainToo) {
        benchmark::RegisterBenchmark(
            ("plain/" + name).c_str(),
            [m, n](benchmark::State& s) { expandSystem(s, m, n, ExpansionMethod::Plain); })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
    }
}

void registerAll() {
    for (const char* example : {"rc", "sallen_key", "butterworth5", "transformer", "gyrator"}) {
        const std::string path = std::string(CORVANE_EXAMPLES_DIR) + "/" + example + ".net";
        std::ifstream in(path);
        const std::string text((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
        registerNetlist(std::string("exemplo_") + example, text, true);
    }
    for (const int sections : {3, 8, 13, 18, 23}) {
        registerNetlist("escada_rc_" + std::to_string(sections + 2), rcLadder(sections), true);
    }
    for (const int order : {3, 7, 11, 15, 19, 23}) {
        registerNetlist("escada_lc_ordem_" + std::to_string(order), lcLadder(order), order <= 15);
    }
    for (const int stages : {1, 3, 5}) {
        registerNetlist("cascata_sk_" + std::to_string(2 + 4 * stages), sallenKeyCascade(stages),
                        stages <= 3);
    }
    for (const unsigned seed : {1u, 2u, 3u}) {
        for (const int nonZeros : {100, 125}) {
            registerSystem(
                "mna_25x25_" + std::to_string(nonZeros) + "nz_semente" + std::to_string(seed),
                mnaLikeSystem(seed * 1000 + static_cast<unsigned>(nonZeros), 25, nonZeros), 25,
                false);
        }
    }
    for (const int n : {8, 9, 12, 14, 16}) {
        registerSystem("densa_" + std::to_string(n), denseSystem(static_cast<unsigned>(n), n), n,
                       n <= 9);
    }
}

}  // namespace
}  // namespace corvane::bench

int main(int argc, char** argv) {
    corvane::bench::registerAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
