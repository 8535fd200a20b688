#include "measurements.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>
#include <optional>
#include <string>

#include "listing_numbers.h"
#include "polynomial_roots.h"
#include "squared_magnitude.h"

namespace corvane {

namespace {

using Coefficients = std::vector<double>;

constexpr double Infinity = std::numeric_limits<double>::infinity();

// Gains that differ by less than this are the same gain: the maximum then stays at the
// lower frequency, so a flat band-stop reads as a low-pass-like band from ω = 0.
constexpr long double SameGain = 1e-12L;

// A root of |N(jω)|² within this of zero, relative to the size of its terms, cancels the
// root of |D(jω)|² at the same place.
constexpr long double CancelledPole = 1e-9L;

// At most this many Newton steps polish a root of the solver.
constexpr int NewtonSteps = 10;

// The coefficients 0..degree without the leading zeros (the determinant never trims);
// empty for the zero polynomial.
Coefficients trimmed(const Polynomial& p, double scale) {
    Coefficients c;
    for (const double coefficient : p.coefficients())
        c.push_back(coefficient * scale);
    while (!c.empty() && c.back() == 0.0)
        c.pop_back();
    return c;
}

int lowestPower(const Coefficients& c) {
    int i = 0;
    while (i < static_cast<int>(c.size()) && c[static_cast<std::size_t>(i)] == 0.0)
        ++i;
    return i;
}

void dropLowestPowers(Coefficients& c, int count) {
    c.erase(c.begin(), c.begin() + std::min(count, static_cast<int>(c.size())));
}

bool allFinite(const Coefficients& c) {
    return std::all_of(c.begin(), c.end(), [](double x) { return std::isfinite(x); });
}

double at(const Coefficients& c, int i) {
    return i < static_cast<int>(c.size()) ? c[static_cast<std::size_t>(i)] : 0.0;
}

// |p(jω)|² in x = ω²; the zero polynomial's is the constant 0.
WideCoefficients squaredMagnitudeOf(const Coefficients& p) {
    const WideCoefficients square = squaredMagnitude(WideCoefficients(p.begin(), p.end()));
    return square.empty() ? WideCoefficients{0.0L} : square;
}

// The sum of the terms' magnitudes: the scale against which a value counts as zero.
long double magnitudeAt(const WideCoefficients& c, long double x) {
    long double value = 0.0L;
    for (auto it = c.rbegin(); it != c.rend(); ++it)
        value = value * x + std::fabs(*it);
    return value;
}

// P'·Q − P·Q': where the ratio P/Q is stationary. Each pair of terms is combined
// before rounding, so equal leading powers cancel exactly.
WideCoefficients stationaryNumerator(const WideCoefficients& p, const WideCoefficients& q) {
    const std::size_t size = p.size() + q.size();
    WideCoefficients out(size, 0.0L);
    for (std::size_t i = 0; i < p.size(); ++i) {
        for (std::size_t j = 0; j < q.size(); ++j) {
            if (i + j == 0) continue;
            const long double weight = static_cast<long double>(i) - static_cast<long double>(j);
            out[i + j - 1] += weight * p[i] * q[j];
        }
    }
    return out;
}

// P − level·Q: zero where the ratio P/Q equals `level`.
WideCoefficients levelCrossing(const WideCoefficients& p, const WideCoefficients& q,
                               long double level) {
    WideCoefficients out(std::max(p.size(), q.size()), 0.0L);
    for (std::size_t i = 0; i < p.size(); ++i)
        out[i] += p[i];
    for (std::size_t i = 0; i < q.size(); ++i)
        out[i] -= level * q[i];
    return out;
}

bool isZero(const WideCoefficients& c) {
    return std::all_of(c.begin(), c.end(), [](long double x) { return x == 0.0L; });
}

// The gain of a limit (s → 0 or s → ∞) from the powers of the two terms that dominate.
Gain limitGain(int numeratorPower, double numeratorCoefficient, int denominatorPower,
               double denominatorCoefficient, bool towardsZero) {
    if (numeratorPower == denominatorPower) return {numeratorCoefficient / denominatorCoefficient};
    const bool numeratorWins = towardsZero ? numeratorPower < denominatorPower
                                           : numeratorPower > denominatorPower;
    return numeratorWins ? Gain{0.0, true} : Gain{0.0};
}

struct Candidate {
    long double x;
    long double squaredGain;
    bool highFrequency;
};

// The frequency where the gain is unbounded, lowest first: a pole at s = 0, a pole on
// the imaginary axis that no zero cancels, or an improper function.
std::optional<Candidate> infiniteGain(const FrequencyMeasures& m, const WideCoefficients& p,
                                      const std::vector<long double>& axisPoles) {
    if (m.dcGain.infinite) return Candidate{0.0L, 0.0L, false};
    for (const long double x : axisPoles) {
        if (std::fabs(evaluate(p, x)) > CancelledPole * magnitudeAt(p, x))
            return Candidate{x, 0.0L, false};
    }
    if (m.highFrequencyGain.infinite) return Candidate{0.0L, 0.0L, true};
    return std::nullopt;
}

// The intervals where the gain is at least the maximum over √2, from the crossings of
// that level: the gain is tried between each two crossings, so a root where it only
// touches the level does not split a band.
std::vector<PassBand> bandsFrom(const std::vector<long double>& crossings,
                                const WideCoefficients& p, const WideCoefficients& q,
                                long double halfSquared) {
    std::vector<long double> edges{0.0L};
    edges.insert(edges.end(), crossings.begin(), crossings.end());
    std::vector<PassBand> bands;
    bool open = false;
    for (std::size_t i = 0; i < edges.size(); ++i) {
        const bool last = i + 1 == edges.size();
        const long double probe = last ? (edges[i] > 0.0L ? 2.0L * edges[i] : 1.0L)
                                  : edges[i] > 0.0L ? std::sqrt(edges[i] * edges[i + 1])
                                                    : edges[i + 1] / 2.0L;
        const bool passes = evaluate(p, probe) >= halfSquared * evaluate(q, probe);
        const double omega = static_cast<double>(std::sqrt(edges[i]));
        if (passes && !open) {
            bands.push_back({omega, Infinity});
            open = true;
        } else if (!passes && open) {
            bands.back().upper = omega;
            open = false;
        }
    }
    return bands;
}

// A number that came out of range (a gain beyond 1e308, say) is never listed.
bool allNumbersFinite(const FrequencyMeasures& m) {
    const auto finiteGain = [](const Gain& g) { return g.infinite || std::isfinite(g.value); };
    const bool bandsFinite = std::all_of(m.bands.begin(), m.bands.end(), [](const PassBand& b) {
        return std::isfinite(b.lower) && !std::isnan(b.upper);
    });
    return finiteGain(m.dcGain) && finiteGain(m.highFrequencyGain) &&
           finiteGain(m.maximumGain) && std::isfinite(m.dcGroupDelay) && bandsFinite;
}

FrequencyMeasures notComputable() {
    FrequencyMeasures m;
    m.status = MeasuresStatus::NotComputable;
    return m;
}

}  // namespace

double decibels(const Gain& gain) {
    return 20.0 * std::log10(std::fabs(gain.value));
}

double qualityFactor(const FrequencyMeasures& measures) {
    if (measures.bands.size() != 1) return 0.0;
    const PassBand& band = measures.bands.front();
    if (!(band.lower > 0.0) || !std::isfinite(band.upper)) return 0.0;
    if (measures.maximumPlace != MaximumPlace::AtFrequency) return 0.0;
    return measures.maximumOmega / (band.upper - band.lower);
}

FrequencyMeasures measureFrequencyResponse(const Polynomial& numerator,
                                           const Polynomial& denominator) {
    Coefficients n = trimmed(numerator, numerator.constant / denominator.constant);
    Coefficients d = trimmed(denominator, 1.0);
    if (!allFinite(n) || !allFinite(d) || d.empty()) return notComputable();
    FrequencyMeasures m;
    if (n.empty()) {
        m.status = MeasuresStatus::ZeroFunction;
        return m;
    }
    // A factor s common to both changes neither the gain nor the delay.
    const int common = std::min(lowestPower(n), lowestPower(d));
    dropLowestPowers(n, common);
    dropLowestPowers(d, common);

    const int a = lowestPower(n);
    const int b = lowestPower(d);
    const int degreeN = static_cast<int>(n.size()) - 1;
    const int degreeD = static_cast<int>(d.size()) - 1;
    m.dcGain = limitGain(a, at(n, a), b, at(d, b), true);
    m.highFrequencyGain = limitGain(degreeN, n.back(), degreeD, d.back(), false);
    // arg H(jω) = arg N(jω) − arg D(jω), and arg(c0 + c1·jω + …) grows as ω·c1/c0.
    m.dcGroupDelay = at(d, b + 1) / at(d, b) - at(n, a + 1) / at(n, a);

    // Past MaxDegree the doubles no more determine where |H| peaks or crosses a level than
    // they determine the roots.
    if (degreeN > MaxDegree || degreeD > MaxDegree) return notComputable();
    const WideCoefficients p = squaredMagnitudeOf(n);
    const WideCoefficients q = squaredMagnitudeOf(d);
    const auto axisPoles = positiveRoots(q, NewtonSteps);
    if (!axisPoles) return notComputable();
    if (const auto unbounded = infiniteGain(m, p, *axisPoles)) {
        m.maximumGain = {0.0, true};
        m.maximumPlace = unbounded->highFrequency ? MaximumPlace::HighFrequency
                                                  : MaximumPlace::AtFrequency;
        m.maximumOmega = unbounded->highFrequency ? Infinity
                                                  : static_cast<double>(std::sqrt(unbounded->x));
        return allNumbersFinite(m) ? m : notComputable();
    }

    const WideCoefficients slope = stationaryNumerator(p, q);
    Candidate best{0.0L, evaluate(p, 0.0L) / evaluate(q, 0.0L), false};
    if (isZero(slope)) {
        m.maximumPlace = MaximumPlace::Everywhere;
    } else {
        const auto stationary = positiveRoots(slope, NewtonSteps);
        if (!stationary) return notComputable();
        std::vector<Candidate> candidates;
        for (const long double x : *stationary)
            candidates.push_back({x, evaluate(p, x) / evaluate(q, x), false});
        const long double h = m.highFrequencyGain.value;
        candidates.push_back({0.0L, h * h, true});
        long double lowest = best.squaredGain;
        for (const Candidate& c : candidates) {
            if (c.squaredGain > best.squaredGain * (1.0L + SameGain)) best = c;
            lowest = std::min(lowest, c.squaredGain);
        }
        m.maximumPlace = best.highFrequency ? MaximumPlace::HighFrequency
                                            : MaximumPlace::AtFrequency;
        m.maximumOmega = best.highFrequency ? Infinity : static_cast<double>(std::sqrt(best.x));
        // The extremes of a gain lie at its stationary points or at the ends: when all of
        // them agree the gain is flat, whatever rounding left in the slope's coefficients.
        if (best.squaredGain - lowest <= best.squaredGain * SameGain) {
            m.maximumPlace = MaximumPlace::Everywhere;
            m.maximumOmega = 0.0;
        }
    }
    m.maximumGain = {static_cast<double>(std::sqrt(best.squaredGain))};

    const long double halfSquared = best.squaredGain / 2.0L;
    const auto crossings = positiveRoots(levelCrossing(p, q, halfSquared), NewtonSteps);
    if (!crossings) return notComputable();
    m.bands = bandsFrom(*crossings, p, q, halfSquared);
    return allNumbersFinite(m) ? m : notComputable();
}

FrequencyMeasures measureFrequencyResponse(const NetworkFunctions& functions, int k) {
    Polynomial denominator = functions.denominator;
    if (functions.denominatorRaised && denominator.coef[0] == 0.0 && denominator.degree > 0) {
        for (int i = 0; i < denominator.degree; ++i)
            denominator.coef[i] = denominator.coef[i + 1];
        denominator.coef[denominator.degree] = 0.0;
        --denominator.degree;
    }
    return measureFrequencyResponse(functions.numerator[k], denominator);
}

// ---------------------------------------------------------------------------------------
// The listing.

namespace {

std::string format(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, withoutNegativeZero(value));
    return text;
}

std::string gainText(const Gain& gain) {
    if (gain.infinite) return "infinito";
    if (gain.isZero()) return "0 (zero)";
    return format("%.6g", gain.value) + " (" + format("%.6g", decibels(gain)) + " dB)";
}

std::string frequencyText(double omega) {
    if (omega == 0.0) return "ω = 0";
    return "ω = " + format("%.6g", omega) + " rad/s (" + format("%.6g", hertz(omega)) + " Hz)";
}

std::string maximumPlaceText(const FrequencyMeasures& m) {
    switch (m.maximumPlace) {
        case MaximumPlace::AtFrequency:
            return "em " + frequencyText(m.maximumOmega);
        case MaximumPlace::HighFrequency:
            return "em alta frequência";
        case MaximumPlace::Everywhere:
            return "em todas as frequências";
    }
    return "";
}

std::string bandText(const PassBand& band) {
    if (band.lower == 0.0 && !std::isfinite(band.upper)) return "todas as frequências";
    if (!std::isfinite(band.upper)) {
        return "acima de " + format("%.6g", band.lower) + " rad/s (" +
               format("%.6g", hertz(band.lower)) + " Hz)";
    }
    return "de " + format("%.6g", band.lower) + " a " + format("%.6g", band.upper) +
           " rad/s (" + format("%.6g", hertz(band.lower)) + " a " +
           format("%.6g", hertz(band.upper)) + " Hz)";
}

void listBands(AnalysisLog& log, const FrequencyMeasures& m) {
    if (m.maximumGain.infinite) {
        log.print("Banda de -3 dB: não se aplica (ganho máximo infinito)");
        return;
    }
    for (const PassBand& band : m.bands)
        log.print("Banda de -3 dB: %s", bandText(band).c_str());
    const double q = qualityFactor(m);
    if (q > 0.0) {
        const double width = m.bands.front().upper - m.bands.front().lower;
        log.print("Largura de banda: %.6g rad/s (%.6g Hz), Q = %.6g", width, hertz(width), q);
    }
}

}  // namespace

void listMeasures(AnalysisLog& log, const NetworkFunctions& functions, int k) {
    const FrequencyMeasures m = measureFrequencyResponse(functions, k);
    switch (m.status) {
        case MeasuresStatus::Measured:
            break;
        case MeasuresStatus::ZeroFunction:
            log.print("Medidas: nenhuma (função nula)");
            return;
        case MeasuresStatus::NotComputable:
            log.print("Medidas: não foi possível calcular");
            return;
    }
    if (functions.denominatorRaised) {
        log.print("Medidas (com D(s)/s: o polo em 0 vem do degrau):");
    } else {
        log.print("Medidas:");
    }
    log.print("Ganho em s = 0: %s", gainText(m.dcGain).c_str());
    log.print("Ganho em alta frequência: %s", gainText(m.highFrequencyGain).c_str());
    log.print("Ganho máximo: %s %s", gainText(m.maximumGain).c_str(),
              maximumPlaceText(m).c_str());
    listBands(log, m);
    log.print("Atraso de grupo em s = 0: %.6g s", withoutNegativeZero(m.dcGroupDelay));
}

}  // namespace corvane
