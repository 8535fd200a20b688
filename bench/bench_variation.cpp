// The two speed targets of the variation commands: 1000 Monte Carlo circuits of a
// 10-unknown filter (a fourth-order Sallen-Key cascade), with ω0 and Q of each pole pair
// and the −3 dB frequency of its output for each; and a step of 50 values of one resistor
// of a 25-unknown RC mesh, with the poles and the gains of one output at each value.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "element_value.h"
#include "monte_carlo.h"
#include "netlist_reader.h"
#include "parameter_step.h"
#include "tolerances.h"
#include "workloads.h"

namespace corvane::bench {
namespace {

// Two unity-gain Sallen-Key stages of a 1 kHz Butterworth low-pass: Q 0.54 and 1.31.
const char* const SallenKeyCascade =
    "Sallen-Key de quarta ordem, dois estágios\n"
    "V1 in 0 1 DEGRAU\n"
    "R1 in a1 10k\n"
    "R2 a1 b1 10k\n"
    "C1 a1 o1 17n\n"
    "C2 b1 0 14.7n\n"
    "O1 o1 0 b1 o1\n"
    "R3 o1 a2 10k\n"
    "R4 a2 b2 10k\n"
    "C3 a2 out 41n\n"
    "C4 b2 0 6n\n"
    "O2 out 0 b2 out\n";

RunState readText(const std::string& text, const char* name) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("corvane-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / name).string();
    std::ofstream(path) << text;
    RunState run;
    run.VariableNames[0] = VariableName{'0'};
    AnalysisLog log([](std::string_view) {});
    const bool read = readNetlist(run, log, path);
    std::filesystem::remove_all(dir);
    if (!read) run.elementCount = 0;
    return run;
}

int variableNamed(const RunState& run, const std::string& name) {
    for (int k = 1; k <= run.variableCount; ++k) {
        if (name == run.variableName(k)) return k;
    }
    return 0;
}

void BM_MonteCarlo1000(benchmark::State& state) {
    const RunState run = readText(SallenKeyCascade, "sk4.net");
    if (run.elementCount == 0) return state.SkipWithError("o filtro não foi lido");
    std::string error;
    const auto rules = variation::parseTolerances("R=1%,C=5%", error);
    variation::MonteCarloRequest request;
    request.tolerances = *variation::resolveTolerances(run, *rules, error);
    request.count = 1000;
    request.seed = 1;
    request.variables = {variableNamed(run, "out")};
    request.omega = 2 * M_PI * 1000;
    for (auto _ : state) {
        const auto result = variation::runMonteCarlo(run, request);
        if (!result || result->failed != 0) return state.SkipWithError("falhou");
        benchmark::DoNotOptimize(result);
    }
    state.counters["incognitas"] = run.variableCount;
}

void BM_Step50Of25Unknowns(benchmark::State& state) {
    const RunState run = readText(rcMesh(4, 6), "malha.net");
    if (run.elementCount == 0) return state.SkipWithError("a malha não foi lida");
    const int element = findElementNamed(run, "R1");
    const std::vector<double> values = locusValues(100, 10e3, 50, LocusScale::Logarithmic);
    const std::vector<int> variables{variableNamed(run, test::numbered("n", 23))};
    for (auto _ : state) {
        const auto step = variation::computeStep(run, element, values, variables, 2 * M_PI * 1000);
        if (!step) return state.SkipWithError("falhou");
        benchmark::DoNotOptimize(step);
    }
    state.counters["incognitas"] = run.variableCount;
}

BENCHMARK(BM_MonteCarlo1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Step50Of25Unknowns)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvane::bench

BENCHMARK_MAIN();
