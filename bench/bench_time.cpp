// The roots and the time responses: the root finder on polynomials of growing degree, and
// 20 curves × 1000 points of degree 25 (the roots, the partial fractions, the points and
// the Talbot check), sharing one denominator as the curves of one circuit do, or each with
// its own.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <complex>
#include <numbers>
#include <random>
#include <vector>

#include "polynomial_roots.h"
#include "analysis_log.h"
#include "time_curves.h"
#include "time_response.h"

namespace corvane::bench {
namespace {

using Complex = std::complex<double>;

// A stable polynomial of the given degree with well-separated poles from 1e2 to 1e6 rad/s.
Polynomial stablePolynomial(int degree, std::mt19937& random) {
    std::uniform_real_distribution<double> decade(2.0, 6.0);
    std::uniform_real_distribution<double> angle(0.1, std::numbers::pi / 2 - 0.1);
    std::vector<Complex> roots;
    while (static_cast<int>(roots.size()) < degree) {
        const double magnitude = std::pow(10.0, decade(random));
        if (static_cast<int>(roots.size()) + 1 == degree) {
            roots.emplace_back(-magnitude, 0.0);
        } else {
            const Complex r = std::polar(magnitude, std::numbers::pi - angle(random));
            roots.push_back(r);
            roots.push_back(std::conj(r));
        }
    }
    std::vector<Complex> c{1.0};
    for (const Complex r : roots) {
        std::vector<Complex> next(c.size() + 1, 0.0);
        for (std::size_t i = 0; i < c.size(); ++i) {
            next[i + 1] += c[i];
            next[i] -= r * c[i];
        }
        c = next;
    }
    Polynomial p;
    p.degree = degree;
    p.constant = 1.0;
    for (int i = 0; i <= degree; ++i)
        p.coef[i] = c[static_cast<std::size_t>(i)].real();
    return p;
}

void BM_FindRoots(benchmark::State& state) {
    std::mt19937 random(7);
    const Polynomial p = stablePolynomial(static_cast<int>(state.range(0)), random);
    for (auto _ : state)
        benchmark::DoNotOptimize(findRoots(p));
}
BENCHMARK(BM_FindRoots)->Arg(5)->Arg(10)->Arg(25)->Unit(benchmark::kMillisecond);

// 20 curves × 1000 points of degree 25; range(0) = 1: one shared denominator.
void BM_TimeResponses(benchmark::State& state) {
    const bool shared = state.range(0) == 1;
    std::mt19937 random(11);
    std::vector<Polynomial> numerators;
    std::vector<Polynomial> denominators;
    const Polynomial common = stablePolynomial(25, random);
    for (int k = 0; k < 20; ++k) {
        numerators.push_back(stablePolynomial(10 + k % 10, random));
        denominators.push_back(shared ? common : stablePolynomial(25, random));
    }
    for (auto _ : state) {
        std::vector<TimeResponse> curves;
        for (int k = 0; k < 20; ++k) {
            curves.push_back(k > 0 && shared
                                 ? inverseLaplace(numerators[k], denominators[k], curves[0].poles)
                                 : inverseLaplace(numerators[k], denominators[k]));
        }
        const double tEnd = automaticEndTime(curves);
        for (int k = 0; k < 20; ++k) {
            double peak = 0.0;
            for (int i = 0; i < 1000; ++i)
                peak = std::fmax(peak, std::fabs(curves[k].valueAt(tEnd * i / 999)));
            benchmark::DoNotOptimize(
                verificationError(numerators[k], denominators[k], curves[k], tEnd, peak));
        }
    }
}
BENCHMARK(BM_TimeResponses)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// The same 20 curves through the path `tempo` and the time window take: the curves of
// different circuits are computed side by side on the machine's cores.
void BM_ListedTimeResponses(benchmark::State& state) {
    const bool shared = state.range(0) == 1;
    std::mt19937 random(11);
    PlotCurves functions{};
    std::array<std::string, MaxCurves + 1> files{};
    const std::array<bool, MaxCurves + 1> omitted{};
    const Polynomial common = stablePolynomial(25, random);
    for (int k = 1; k <= 20; ++k) {
        functions[static_cast<std::size_t>(k)] = PlotCurve(
            stablePolynomial(10 + (k - 1) % 10, random), shared ? common : stablePolynomial(25, random));
        char file[24];
        std::snprintf(file, sizeof file, "c%d.n1", k);
        files[static_cast<std::size_t>(k)] = file;
    }
    AnalysisLog log([](std::string_view) {});
    for (auto _ : state)
        benchmark::DoNotOptimize(computeListedTimeResponses(functions, 20, files, log, omitted));
}
BENCHMARK(BM_ListedTimeResponses)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace corvane::bench

BENCHMARK_MAIN();
