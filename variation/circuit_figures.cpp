#include "circuit_figures.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "measurements.h"
#include "polynomial_roots.h"

namespace corvane::variation {

namespace {

std::optional<double> finiteGain(const Gain& gain) {
    if (gain.infinite || gain.isZero()) return std::nullopt;
    return gain.value;
}

std::optional<double> cutoffOf(const FrequencyMeasures& measures) {
    if (measures.status != MeasuresStatus::Measured || measures.bands.size() != 1)
        return std::nullopt;
    const PassBand& band = measures.bands.front();
    if (std::isfinite(band.upper) && band.upper > 0.0) return band.upper;
    if (band.lower > 0.0) return band.lower;
    return std::nullopt;
}

std::optional<double> magnitudeAt(const Polynomial& numerator, const Polynomial& denominator,
                                  double omega) {
    const std::complex<double> s(0.0, omega);
    const double d = std::abs(coefficientsAt(denominator, s)) * std::fabs(denominator.constant);
    const double n = std::abs(coefficientsAt(numerator, s)) * std::fabs(numerator.constant);
    if (d == 0.0 || !std::isfinite(n / d)) return std::nullopt;
    return n / d;
}

// The order of `items` that puts each next to the nearest of `reference`, nearest pairs
// first.
template <class T, class Position>
std::vector<T> nearestOrder(const std::vector<T>& items, const std::vector<T>& reference,
                            Position position) {
    struct Pair {
        double distance;
        std::size_t from;
        std::size_t to;
    };
    std::vector<Pair> pairs;
    for (std::size_t a = 0; a < reference.size(); ++a) {
        for (std::size_t b = 0; b < items.size(); ++b)
            pairs.push_back({std::abs(position(reference[a]) - position(items[b])), a, b});
    }
    std::stable_sort(pairs.begin(), pairs.end(),
                     [](const Pair& x, const Pair& y) { return x.distance < y.distance; });
    std::vector<bool> fromTaken(reference.size(), false);
    std::vector<bool> toTaken(items.size(), false);
    std::vector<T> ordered(reference.size());
    for (const Pair& pair : pairs) {
        if (fromTaken[pair.from] || toTaken[pair.to]) continue;
        fromTaken[pair.from] = toTaken[pair.to] = true;
        ordered[pair.from] = items[pair.to];
    }
    return ordered;
}

}  // namespace

std::optional<CircuitFigures> alignedTo(const CircuitFigures& sample,
                                        const CircuitFigures& reference) {
    if (sample.pairs.size() != reference.pairs.size() ||
        sample.realPoles.size() != reference.realPoles.size())
        return std::nullopt;
    CircuitFigures aligned = sample;
    aligned.pairs =
        nearestOrder(sample.pairs, reference.pairs, [](const PolePair& p) { return p.pole; });
    aligned.realPoles = nearestOrder(sample.realPoles, reference.realPoles,
                                     [](double p) { return std::complex<double>(p); });
    return aligned;
}

std::complex<double> coefficientsAt(const Polynomial& p, std::complex<double> s) {
    std::complex<double> sum = 0.0;
    const std::span<const double> c = p.coefficients();
    for (std::size_t i = c.size(); i-- > 0;)
        sum = sum * s + c[i];
    return sum;
}

Polynomial derivativeOf(const Polynomial& p) {
    Polynomial d;
    d.constant = p.constant;
    const int degree = std::clamp(p.degree, 0, p.capacityDegree());
    d.degree = std::max(degree - 1, 0);
    for (int i = 1; i <= degree; ++i)
        d.coef[static_cast<std::size_t>(i - 1)] = i * p.coef[static_cast<std::size_t>(i)];
    return d;
}

Polynomial networkDenominator(const NetworkFunctions& functions) {
    Polynomial d = functions.denominator;
    if (functions.denominatorRaised && d.coef[0] == 0.0 && d.degree > 0) {
        for (int i = 0; i < d.degree; ++i)
            d.coef[static_cast<std::size_t>(i)] = d.coef[static_cast<std::size_t>(i + 1)];
        d.coef[static_cast<std::size_t>(d.degree)] = 0.0;
        --d.degree;
    }
    return d;
}

std::vector<std::complex<double>> polesOf(const CircuitFigures& figures) {
    std::vector<std::complex<double>> poles;
    for (const PolePair& pair : figures.pairs) {
        poles.push_back(pair.pole);
        poles.push_back(std::conj(pair.pole));
    }
    for (const double p : figures.realPoles)
        poles.emplace_back(p, 0.0);
    return poles;
}

std::optional<std::vector<std::complex<double>>> followedPoles(
    const Polynomial& denominator, const std::vector<std::complex<double>>& start) {
    constexpr int MaxSteps = 40;
    constexpr double Settled = 8 * std::numeric_limits<double>::epsilon();
    if (static_cast<int>(start.size()) != denominator.trimmedDegree()) return std::nullopt;
    const Polynomial slope = derivativeOf(denominator);
    std::vector<std::complex<double>> poles;
    for (std::size_t i = 0; i < start.size(); ++i) {
        const std::complex<double> first = start[i];
        // A conjugate follows its pair; a real pole stays on the axis.
        if (first.imag() < 0.0) {
            if (i == 0 || start[i - 1] != std::conj(first)) return std::nullopt;
            poles.push_back(std::conj(poles.back()));
            continue;
        }
        std::complex<double> p = first;
        bool settled = false;
        for (int step = 0; step < MaxSteps && !settled; ++step) {
            const std::complex<double> change =
                coefficientsAt(denominator, p) / coefficientsAt(slope, p);
            if (!std::isfinite(change.real()) || !std::isfinite(change.imag())) return std::nullopt;
            p -= first.imag() == 0.0 ? std::complex<double>(change.real(), 0.0) : change;
            settled = std::abs(change) <= Settled * std::abs(p);
        }
        if (!settled || (first.imag() > 0.0 && !(p.imag() > 0.0))) return std::nullopt;
        poles.push_back(p);
    }
    // Two starts that settled on one root leave another root unfound.
    for (std::size_t a = 0; a < poles.size(); ++a) {
        for (std::size_t b = a + 1; b < poles.size(); ++b) {
            if (std::abs(poles[a] - poles[b]) <=
                1e-6 * std::max(std::abs(poles[a]), std::abs(poles[b])))
                return std::nullopt;
        }
    }
    return poles;
}

std::optional<CircuitFigures> figuresOf(const NetworkFunctions& functions,
                                        std::span<const int> variables, double omega,
                                        const CircuitFigures* near) {
    const Polynomial denominator = networkDenominator(functions);
    std::vector<std::complex<double>> poles;
    std::optional<std::vector<std::complex<double>>> followed;
    if (near) followed = followedPoles(denominator, polesOf(*near));
    if (followed) {
        poles = std::move(*followed);
    } else {
        const PolynomialRoots roots = findRoots(denominator);
        if (roots.status != RootsStatus::Found) return std::nullopt;
        for (const PolynomialRoot& root : roots.roots)
            poles.insert(poles.end(), static_cast<std::size_t>(root.multiplicity), root.value);
    }
    CircuitFigures figures;
    for (const std::complex<double> p : poles) {
        if (p.imag() > 0.0) {
            const double omega0 = std::abs(p);
            figures.pairs.push_back({p, omega0, omega0 / (-2.0 * p.real())});
        } else if (p.imag() == 0.0) {
            figures.realPoles.push_back(p.real());
        }
    }
    std::stable_sort(figures.realPoles.begin(), figures.realPoles.end(),
                     [](double a, double b) { return std::fabs(a) < std::fabs(b); });
    std::stable_sort(figures.pairs.begin(), figures.pairs.end(),
                     [](const PolePair& a, const PolePair& b) { return a.omega0 < b.omega0; });
    for (const int k : variables) {
        VariableFigures v;
        v.variable = k;
        const FrequencyMeasures measures = measureFrequencyResponse(functions, k);
        if (measures.status == MeasuresStatus::Measured) v.dcGain = finiteGain(measures.dcGain);
        v.cutoff = cutoffOf(measures);
        v.gainAt =
            magnitudeAt(functions.numerator[static_cast<std::size_t>(k)], denominator, omega);
        figures.variables.push_back(v);
    }
    return figures;
}

std::optional<double> figureValue(const CircuitFigures& figures, const FigureRef& ref) {
    const auto index = static_cast<std::size_t>(ref.index);
    switch (ref.figure) {
        case Figure::Omega0:
            if (index >= figures.pairs.size()) return std::nullopt;
            return figures.pairs[index].omega0;
        case Figure::Q:
            if (index >= figures.pairs.size()) return std::nullopt;
            return figures.pairs[index].q;
        case Figure::RealPole:
            if (index >= figures.realPoles.size()) return std::nullopt;
            return figures.realPoles[index];
        default:
            break;
    }
    for (const VariableFigures& v : figures.variables) {
        if (v.variable != ref.variable) continue;
        if (ref.figure == Figure::DcGain) return v.dcGain;
        if (ref.figure == Figure::GainAt) return v.gainAt;
        return v.cutoff;
    }
    return std::nullopt;
}

std::string figureName(const FigureRef& ref, const std::string& variableName) {
    const std::string number = std::to_string(ref.index + 1);
    switch (ref.figure) {
        case Figure::Omega0:
            return "ω0 do par " + number;
        case Figure::Q:
            return "Q do par " + number;
        case Figure::RealPole:
            return "polo real " + number;
        case Figure::DcGain:
            return "ganho em s=0 de " + variableName;
        case Figure::GainAt:
            return "ganho em ω de " + variableName;
        case Figure::Cutoff:
            return "frequência de -3 dB de " + variableName;
    }
    return {};
}

const char* figureKey(Figure figure) {
    switch (figure) {
        case Figure::Omega0:
            return "omega0";
        case Figure::Q:
            return "q";
        case Figure::RealPole:
            return "polo_real";
        case Figure::DcGain:
            return "ganho_s0";
        case Figure::GainAt:
            return "ganho_em";
        case Figure::Cutoff:
            return "corte";
    }
    return "";
}

std::vector<FigureRef> figureRefs(const CircuitFigures& figures) {
    std::vector<FigureRef> refs;
    for (std::size_t i = 0; i < figures.pairs.size(); ++i) {
        refs.push_back({Figure::Omega0, static_cast<int>(i), 0});
        refs.push_back({Figure::Q, static_cast<int>(i), 0});
    }
    for (std::size_t i = 0; i < figures.realPoles.size(); ++i)
        refs.push_back({Figure::RealPole, static_cast<int>(i), 0});
    for (const VariableFigures& v : figures.variables) {
        refs.push_back({Figure::DcGain, 0, v.variable});
        refs.push_back({Figure::GainAt, 0, v.variable});
        refs.push_back({Figure::Cutoff, 0, v.variable});
    }
    return refs;
}

}  // namespace corvane::variation
