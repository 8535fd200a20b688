// The noise of a 25-unknown RC mesh with 40 resistors: the ordinary analysis's expansion
// (the denominator and every numerator of the system) beside the noise functions of one
// output (the same expansion on the transposed system), and the output density at 1000
// frequencies on a logarithmic grid.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "determinant.h"
#include "mna.h"
#include "netlist_reader.h"
#include "noise_analysis.h"
#include "quiet_host.h"
#include "workloads.h"

namespace corvane::bench {
namespace {

constexpr int MeshRows = 4;
constexpr int MeshColumns = 6;
// The far corner, where the load is.
const std::string Output = test::numbered("n", MeshRows * MeshColumns - 1);

struct Circuit {
    RunState run;
    SystemMatrix system;
    bool read = false;
};

// The mesh read and assembled as the analysis does it.
const Circuit& mesh() {
    static const Circuit circuit = [] {
        Circuit c;
        const auto dir = std::filesystem::temp_directory_path() /
                         ("corvane-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        const std::string path = (dir / "malha.net").string();
        std::ofstream(path) << rcMesh(MeshRows, MeshColumns);
        c.run.VariableNames[0] = VariableName{'0'};
        AnalysisLog log;
        c.read = readNetlist(c.run, log, path);
        if (c.read) assembleSystem(c.run, c.system, log, false);
        std::filesystem::remove_all(dir);
        return c;
    }();
    return circuit;
}

int resistorCount(const RunState& run) {
    int count = 0;
    for (int i = 1; i <= run.elementCount; ++i)
        count += run.ElementTable[static_cast<std::size_t>(i)].kind() == 'R' ? 1 : 0;
    return count;
}

void describe(benchmark::State& state, const RunState& run) {
    state.counters["incognitas"] = run.variableCount;
    state.counters["resistores"] = resistorCount(run);
}

noise::NoiseFunctions noiseFunctions(const Circuit& c, QuietHost& host) {
    const int output = noise::findOutputVariable(c.run, Output);
    return noise::computeNoiseFunctions(c.run, c.system, output, 0,
                                        noise::thermalNoiseSources(c.run, 300.15), host,
                                        EngineOptions{});
}

// The denominator and every numerator, as an analysis computes them.
void BM_OrdinaryAnalysis(benchmark::State& state) {
    const Circuit& c = mesh();
    if (!c.read) return state.SkipWithError("a malha não foi lida");
    QuietHost host;
    AnalysisLog log;
    NetworkFunctions functions;
    for (auto _ : state) {
        computeNetworkFunctions(c.system, c.run.variableCount, functions, log, host,
                                EngineOptions{});
        benchmark::DoNotOptimize(functions);
    }
    describe(state, c.run);
}

// Every resistor's transfer to the output, from the transposed system.
void BM_NoiseFunctions(benchmark::State& state) {
    const Circuit& c = mesh();
    if (!c.read) return state.SkipWithError("a malha não foi lida");
    QuietHost host;
    for (auto _ : state) {
        noise::NoiseFunctions functions = noiseFunctions(c, host);
        if (functions.transfers.empty()) return state.SkipWithError("sem funções de ruído");
        benchmark::DoNotOptimize(functions);
    }
    describe(state, c.run);
}

// The table of `corvane-cli ruido --tabela`: the output density at 1000 frequencies, 1 Hz
// to 1 GHz, from the functions already computed.
void BM_DensityAt1000Frequencies(benchmark::State& state) {
    const Circuit& c = mesh();
    if (!c.read) return state.SkipWithError("a malha não foi lida");
    QuietHost host;
    const noise::NoiseFunctions functions = noiseFunctions(c, host);
    constexpr int Points = 1000;
    for (auto _ : state) {
        double sum = 0.0;
        for (int i = 0; i < Points; ++i)
            sum += noise::outputDensity(functions, std::pow(10.0, 9.0 * i / (Points - 1)));
        benchmark::DoNotOptimize(sum);
    }
    describe(state, c.run);
    state.counters["frequencias"] = Points;
}

BENCHMARK(BM_OrdinaryAnalysis)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NoiseFunctions)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DensityAt1000Frequencies)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvane::bench

BENCHMARK_MAIN();
