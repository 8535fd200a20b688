// Monte Carlo runs of a circuit whose elements have tolerances: N copies with their
// values drawn from a seeded std::mt19937_64, each analysed exactly, and the spread of
// their figures: ω0 and Q of each pole pair, each real pole, the −3 dB frequency and the
// gain at a frequency of each output, with the envelope of one output's gain curves.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <span>
#include <string_view>
#include <vector>

#include "circuit_figures.h"
#include "run_state.h"
#include "tolerances.h"

namespace corvane::variation {

inline constexpr int DefaultMonteCarloCount = 1000;
inline constexpr int MaxMonteCarloCount = 100000;
inline constexpr int HistogramBins = 20;

struct MonteCarloRequest {
    std::vector<ElementTolerance> tolerances;
    Distribution distribution = Distribution::Uniform;
    int count = DefaultMonteCarloCount;
    std::uint64_t seed = 1;
    std::vector<int> variables;
    /// The frequency of the gains, rad/s.
    double omega = 0.0;
    /// The output whose gain curves make the envelope, 0 for none, at these frequencies
    /// (rad/s).
    int envelopeVariable = 0;
    std::vector<double> envelopeOmegas;
};

/// The factors 1 + δ of the values, drawn in a fixed order from one seeded generator: the
/// same seed gives the same circuits. A Gaussian δ (σ a third of the tolerance) that would
/// make the value change sign is drawn again.
class ValueDraws {
public:
    ValueDraws(std::uint64_t seed, Distribution distribution)
        : engine_(seed), distribution_(distribution) {}

    /// 1 + δ for an element of tolerance `fraction`.
    double factor(double fraction);

private:
    std::mt19937_64 engine_;
    Distribution distribution_;
};

struct Statistics {
    int count = 0;
    double mean = 0.0;
    /// With n − 1 in the denominator; 0 for fewer than two values.
    double deviation = 0.0;
    double minimum = 0.0;
    double maximum = 0.0;
    /// Percentiles by linear interpolation between the sorted values (position q·(n − 1)).
    double p1 = 0.0;
    double p50 = 0.0;
    double p99 = 0.0;
};

/// The statistics of `values`, which must not be empty.
Statistics statisticsOf(std::vector<double> values);

struct Histogram {
    double low = 0.0;
    double high = 0.0;
    /// HistogramBins equal bins from low to high, the last one closed.
    std::vector<int> counts;
};

Histogram histogramOf(std::span<const double> values, int bins = HistogramBins);

/// One figure over the runs; the gain at the frequency in dB, the others as figureValue
/// gives them.
struct FigureSpread {
    FigureRef figure;
    std::optional<double> nominal;
    /// Of the circuits that have the figure (a pair that turned into two real poles does
    /// not count).
    std::vector<double> values;
    Statistics statistics;
    Histogram histogram;
};

/// The lowest and highest gain (dB) of the runs at each frequency, and the nominal one.
struct GainEnvelope {
    std::vector<double> omegas;
    std::vector<double> nominal;
    std::vector<double> lowest;
    std::vector<double> highest;
};

struct MonteCarloResult {
    int count = 0;
    /// Circuits whose analysis failed, left out of every figure.
    int failed = 0;
    std::vector<FigureSpread> figures;
    std::optional<GainEnvelope> envelope;
};

/// Called after each circuit with the fraction done; returning false stops the runs.
using MonteCarloProgress = std::function<bool(double fraction)>;

/// The runs; no value when the nominal circuit cannot be analysed, or `progress` or `stop`
/// stopped them.
/// A count of circuits as the user writes it, digits only, from 1 to MaxMonteCarloCount;
/// none otherwise.
std::optional<int> readCircuitCount(std::string_view text);

/// A seed as the user writes it, digits only, from 0 to 18446744073709551615; none
/// otherwise.
std::optional<std::uint64_t> readSeed(std::string_view text);

std::optional<MonteCarloResult> runMonteCarlo(const RunState& run, const MonteCarloRequest& request,
                                              const MonteCarloProgress& progress = {},
                                              const std::function<bool()>& stop = {});

}  // namespace corvane::variation
