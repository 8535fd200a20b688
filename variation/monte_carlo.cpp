#include "monte_carlo.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <numeric>

#include "element_value.h"
#include "floating_point.h"
#include "quiet_analysis.h"

namespace corvane::variation {

namespace {

double percentile(const std::vector<double>& sorted, double q) {
    const double position = q * static_cast<double>(sorted.size() - 1);
    const auto below = static_cast<std::size_t>(std::floor(position));
    const std::size_t above = std::min(below + 1, sorted.size() - 1);
    const double t = position - static_cast<double>(below);
    return sorted[below] + (sorted[above] - sorted[below]) * t;
}

// The figures the runs follow: ω0 and Q of every pair, every real pole, and per output the
// −3 dB frequency and the gain at the frequency asked for.
std::vector<FigureRef> followedFigures(const CircuitFigures& nominal) {
    std::vector<FigureRef> refs;
    for (const FigureRef& ref : figureRefs(nominal)) {
        if (ref.figure != Figure::DcGain) refs.push_back(ref);
    }
    return refs;
}

double gainDecibels(const NetworkFunctions& functions, const Polynomial& denominator, int k,
                    double omega) {
    const Polynomial& n = functions.numerator[static_cast<std::size_t>(k)];
    const std::complex<double> s(0.0, omega);
    const double magnitude =
        std::abs(coefficientsAt(n, s)) * std::fabs(n.constant) /
        (std::abs(coefficientsAt(denominator, s)) * std::fabs(denominator.constant));
    return 20.0 * std::log10(magnitude);
}

std::vector<double> gainCurve(const NetworkFunctions& functions, int k,
                              std::span<const double> omegas) {
    const Polynomial denominator = networkDenominator(functions);
    std::vector<double> gains;
    gains.reserve(omegas.size());
    for (const double omega : omegas)
        gains.push_back(gainDecibels(functions, denominator, k, omega));
    return gains;
}

// The gain is spread in decibels, as a person reads it.
std::optional<double> spreadValue(const FigureRef& ref, std::optional<double> value) {
    if (!value || ref.figure != Figure::GainAt) return value;
    if (!(*value > 0.0)) return std::nullopt;
    return 20.0 * std::log10(*value);
}

// A pair's figures follow the pair that moved from the nominal one; a circuit with another
// number of pairs or real poles has none of them.
std::optional<double> sampleFigure(const CircuitFigures& nominal, const CircuitFigures& sample,
                                   const FigureRef& ref) {
    if (ref.figure == Figure::Omega0 || ref.figure == Figure::Q || ref.figure == Figure::RealPole) {
        const std::optional<CircuitFigures> aligned = alignedTo(sample, nominal);
        if (!aligned) return std::nullopt;
        return figureValue(*aligned, ref);
    }
    return spreadValue(ref, figureValue(sample, ref));
}

void widen(GainEnvelope& envelope, const std::vector<double>& gains) {
    for (std::size_t i = 0; i < gains.size(); ++i) {
        if (!std::isfinite(gains[i])) continue;
        envelope.lowest[i] = std::min(envelope.lowest[i], gains[i]);
        envelope.highest[i] = std::max(envelope.highest[i], gains[i]);
    }
}

}  // namespace

double ValueDraws::factor(double fraction) {
    if (distribution_ == Distribution::Uniform) {
        std::uniform_real_distribution<double> uniform(-fraction, fraction);
        return 1.0 + uniform(engine_);
    }
    std::normal_distribution<double> gaussian(0.0, fraction / 3.0);
    for (;;) {
        const double f = 1.0 + gaussian(engine_);
        if (f > 0.0) return f;
    }
}

Statistics statisticsOf(std::vector<double> values) {
    Statistics s;
    s.count = static_cast<int>(values.size());
    std::sort(values.begin(), values.end());
    const double n = static_cast<double>(values.size());
    s.mean = std::accumulate(values.begin(), values.end(), 0.0) / n;
    double squares = 0.0;
    for (const double v : values)
        squares += (v - s.mean) * (v - s.mean);
    s.deviation = values.size() > 1 ? std::sqrt(squares / (n - 1.0)) : 0.0;
    s.minimum = values.front();
    s.maximum = values.back();
    s.p1 = percentile(values, 0.01);
    s.p50 = percentile(values, 0.50);
    s.p99 = percentile(values, 0.99);
    return s;
}

Histogram histogramOf(std::span<const double> values, int bins) {
    Histogram h;
    h.counts.assign(static_cast<std::size_t>(bins), 0);
    if (values.empty()) return h;
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    h.low = *low;
    h.high = *high;
    const double width = (h.high - h.low) / bins;
    for (const double v : values) {
        int bin = width > 0.0 ? static_cast<int>((v - h.low) / width) : 0;
        bin = std::clamp(bin, 0, bins - 1);
        ++h.counts[static_cast<std::size_t>(bin)];
    }
    return h;
}

std::optional<MonteCarloResult> runMonteCarlo(const RunState& run, const MonteCarloRequest& request,
                                              const MonteCarloProgress& progress,
                                              const std::function<bool()>& stop) {
    const std::optional<QuietAnalysis> nominalAnalysis = analyseQuietly(run, stop);
    if (!nominalAnalysis) return std::nullopt;
    const std::optional<CircuitFigures> nominal =
        figuresOf(nominalAnalysis->functions, request.variables, request.omega);
    if (!nominal) return std::nullopt;

    MonteCarloResult result;
    result.count = request.count;
    for (const FigureRef& ref : followedFigures(*nominal))
        result.figures.push_back({ref, spreadValue(ref, figureValue(*nominal, ref)), {}, {}, {}});
    if (request.envelopeVariable != 0) {
        GainEnvelope envelope;
        envelope.omegas = request.envelopeOmegas;
        envelope.nominal =
            gainCurve(nominalAnalysis->functions, request.envelopeVariable, envelope.omegas);
        envelope.lowest.assign(envelope.omegas.size(), std::numeric_limits<double>::infinity());
        envelope.highest.assign(envelope.omegas.size(), -std::numeric_limits<double>::infinity());
        result.envelope = std::move(envelope);
    }

    ValueDraws draws(request.seed, request.distribution);
    auto circuit = std::make_unique<RunState>(run);
    for (int i = 0; i < request.count; ++i) {
        if (stop && stop()) return std::nullopt;
        *circuit = run;
        std::optional<QuietAnalysis> analysis;
        try {
            for (const ElementTolerance& t : request.tolerances) {
                const double nominalValue =
                    run.ElementTable[static_cast<std::size_t>(t.element)].value;
                setElementValue(*circuit, t.element, nominalValue * draws.factor(t.fraction));
            }
            analysis = analyseVariablesQuietly(*circuit, request.variables, stop);
        } catch (const FloatingPointFault&) {
            analysis.reset();
        }
        std::optional<CircuitFigures> figures;
        if (analysis)
            figures = figuresOf(analysis->functions, request.variables, request.omega, &*nominal);
        if (!figures) {
            if (stop && stop()) return std::nullopt;
            ++result.failed;
        } else {
            for (FigureSpread& spread : result.figures) {
                const std::optional<double> v = sampleFigure(*nominal, *figures, spread.figure);
                if (v && std::isfinite(*v)) spread.values.push_back(*v);
            }
            if (result.envelope)
                widen(*result.envelope, gainCurve(analysis->functions, request.envelopeVariable,
                                                  result.envelope->omegas));
        }
        if (progress && !progress(static_cast<double>(i + 1) / request.count)) return std::nullopt;
    }
    for (FigureSpread& spread : result.figures) {
        if (spread.values.empty()) continue;
        spread.statistics = statisticsOf(spread.values);
        spread.histogram = histogramOf(spread.values);
    }
    return result;
}

std::optional<int> readCircuitCount(std::string_view text) {
    long value = 0;
    bool valid = !text.empty() && text.size() <= 6;
    for (const char c : text) {
        valid = valid && c >= '0' && c <= '9';
        if (valid) value = value * 10 + (c - '0');
    }
    if (!valid || value < 1 || value > MaxMonteCarloCount) return std::nullopt;
    return static_cast<int>(value);
}

std::optional<std::uint64_t> readSeed(std::string_view text) {
    std::uint64_t value = 0;
    bool valid = !text.empty() && text.size() <= 20;
    for (const char c : text) {
        valid = valid && c >= '0' && c <= '9';
        if (!valid) break;
        const std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
        valid = value <= (UINT64_MAX - digit) / 10;
        value = value * 10 + digit;
    }
    if (!valid) return std::nullopt;
    return value;
}

}  // namespace corvane::variation
