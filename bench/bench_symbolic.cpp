// The symbolic analysis of the classic biquads and of ladders of growing size: the
// denominator and every numerator in the element symbols, each function reduced and
// written out ("simbolica/"), or the determinants and the common listing alone, no
// function reduced ("determinantes/"). Each benchmark reports the terms of the denominator
// ("termos") and of its largest coefficient of one power of s ("maior_coef").
//
//   bench_symbolic [Google Benchmark options]
//   bench_symbolic --matriz NOME     the symbolic MNA system of workload NOME, one entry
//                                    per line as "linha coluna texto-SymPy" (bench/sympy_det.py)
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "netlist_reader.h"
#include "symbolic_analysis.h"
#include "symbolic_text.h"
#include "symbolic_workloads.h"
#include "workloads.h"

namespace corvane::bench {
namespace {

using symbolic::SymbolicAnalysis;
using symbolic::SymbolicOptions;

// Every workload by name, in the order of the table.
std::vector<std::pair<std::string, std::string>> workloads() {
    std::vector<std::pair<std::string, std::string>> list{
        {"sallen_key", sallenKey()},
        {"tow_thomas", towThomas()},
        {"khn", khn()},
    };
    for (const int order : {3, 5, 7, 9, 11, 13, 15, 17, 19, 21, 23})
        list.emplace_back("escada_lc_ordem_" + std::to_string(order), lcLadder(order));
    for (const int sections : {3, 5, 8, 10, 12, 14, 16, 18, 20, 23})
        list.emplace_back("escada_rc_" + std::to_string(sections + 2), rcLadder(sections));
    return list;
}

// The circuit read as the analysis reads it.
RunState readCircuit(const std::string& name, const std::string& text) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("corvane-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / (name + ".net")).string();
    std::ofstream(path) << text;
    RunState run;
    run.VariableNames[0] = VariableName{'0'};
    AnalysisLog log;
    if (!readNetlist(run, log, path)) std::fprintf(stderr, "%s não foi lido\n", name.c_str());
    std::filesystem::remove_all(dir);
    return run;
}

// `reduce`: every function reduced and written out too, as when every variable is selected.
void analyse(benchmark::State& state, const RunState& run, const SymbolicOptions& options,
             bool reduce = true) {
    std::vector<int> all;
    for (int k = 1; k <= run.variableCount && reduce; ++k)
        all.push_back(k);
    long terms = 0;
    long largest = 0;
    for (auto _ : state) {
        SymbolicAnalysis analysis(run, options);
        if (!analysis.compute(all)) {
            state.SkipWithError(analysis.limitMessage().c_str());
            return;
        }
        benchmark::DoNotOptimize(analysis.functions());
        terms = analysis.denominatorTerms();
        largest = analysis.largestDenominatorCoefficient();
    }
    state.counters["incognitas"] = run.variableCount;
    state.counters["termos"] = static_cast<double>(terms);
    state.counters["maior_coef"] = static_cast<double>(largest);
}

void registerAll() {
    for (const auto& [name, text] : workloads()) {
        const RunState run = readCircuit(name, text);
        SymbolicOptions everything;
        everything.termLimit = 50'000'000;
        benchmark::RegisterBenchmark(("simbolica/" + name).c_str(), [run, everything](
                                                                        benchmark::State& s) {
            analyse(s, run, everything);
        })->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("determinantes/" + name).c_str(), [run, everything](
                                                                            benchmark::State& s) {
            analyse(s, run, everything, false);
        })->Unit(benchmark::kMillisecond);
    }
    // The 25-unknown ladders in mixed analysis: three elements symbolic, the rest numeric.
    for (const auto& [name, text, symbols] :
         std::vector<std::tuple<std::string, std::string, std::vector<std::string>>>{
             {"escada_rc_25", rcLadder(23), {"R1", "C1", "C23"}},
             {"escada_lc_ordem_23", lcLadder(23), {"Rs", "C1", "RL"}}}) {
        const RunState run = readCircuit(name, text);
        SymbolicOptions mixed;
        mixed.symbols = symbols;
        benchmark::RegisterBenchmark(("mista/" + name).c_str(), [run, mixed](benchmark::State& s) {
            analyse(s, run, mixed);
        })->Unit(benchmark::kMillisecond);
    }
}

// Prints the symbolic system of one workload for the SymPy comparison.
int printMatrix(const std::string& wanted) {
    for (const auto& [name, text] : workloads()) {
        if (name != wanted) continue;
        const RunState run = readCircuit(name, text);
        const symbolic::SymbolicSystem system = symbolic::assembleSymbolicSystem(run, {});
        std::printf("%d\n", system.n);
        for (int r = 1; r <= system.n; ++r) {
            for (int c = 1; c <= system.n; ++c) {
                if (system.at(r, c).isZero()) continue;
                std::printf("%d %d %s\n", r, c,
                            symbolic::formatPolynomial(system.at(r, c), system.symbols,
                                                       symbolic::Notation::SymPy)
                                .c_str());
            }
        }
        return 0;
    }
    std::fprintf(stderr, "carga desconhecida: %s\n", wanted.c_str());
    return 2;
}

}  // namespace
}  // namespace corvane::bench

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--matriz") == 0)
        return corvane::bench::printMatrix(argv[2]);
    benchmark::Initialize(&argc, argv);
    corvane::bench::registerAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
