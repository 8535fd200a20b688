#include "root_locus.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "analysis_host.h"
#include "analysis_log.h"
#include "c_locale.h"
#include "element_value.h"
#include "floating_point.h"
#include "netlist_reader.h"
#include "netlist_value.h"
#include "number_text.h"
#include "polynomial_roots.h"
#include "quiet_analysis.h"

namespace corvane {

namespace {

std::vector<std::complex<double>> expanded(const PolynomialRoots& roots) {
    std::vector<std::complex<double>> poles;
    for (const PolynomialRoot& root : roots.roots)
        poles.insert(poles.end(), static_cast<std::size_t>(root.multiplicity), root.value);
    return poles;
}

}  // namespace

LocusRangeProblem checkLocusRange(double from, double to, long long points, LocusScale scale) {
    if (points < MinLocusPoints || points > MaxLocusPoints) return LocusRangeProblem::PointCount;
    if (scale == LocusScale::Logarithmic && !(from > 0.0)) return LocusRangeProblem::NotPositive;
    if (!(from < to)) return LocusRangeProblem::NotIncreasing;
    return LocusRangeProblem::None;
}

std::vector<double> locusValues(double from, double to, int points, LocusScale scale) {
    std::vector<double> values(static_cast<std::size_t>(points));
    const double last = points - 1;
    for (int i = 0; i < points; ++i) {
        const double t = i / last;
        values[static_cast<std::size_t>(i)] = scale == LocusScale::Linear
                                                  ? from + (to - from) * t
                                                  : from * std::exp(std::log(to / from) * t);
    }
    values.front() = from;
    values.back() = to;
    return values;
}

std::optional<double> parseLocusValue(std::string_view text) {
    return parseBoxNumber(text);
}

std::string_view valueUnit(char kind) {
    switch (kind) {
        case 'R':
        case 'H':
            return "Ω";
        case 'C':
            return "F";
        case 'L':
            return "H";
        case 'G':
            return "S";
        default:
            return "";
    }
}

std::optional<LocusCircuit> readLocusCircuit(const std::string& netlistPath,
                                             const std::string& elementName, std::string& error) {
    std::string lastLine;
    AnalysisLog quiet([&lastLine](std::string_view line) { lastLine = line; });
    auto circuit = std::make_unique<LocusCircuit>();
    RunState& run = circuit->run;
    run.VariableNames[0] = VariableName{'0'};
    ScopedCLocale locale;
    bool read = false;
    try {
        read = readNetlist(run, quiet, netlistPath);
    } catch (const FloatingPointFault& fault) {
        lastLine = fault.what();
    }
    if (!read) {
        error = "o netlist " + netlistPath + " não pôde ser lido: " + lastLine;
        return std::nullopt;
    }
    for (int i = 1; i <= run.elementCount; ++i) {
        if (elementName == run.ElementTable[static_cast<std::size_t>(i)].name) circuit->element = i;
    }
    if (circuit->element == 0) {
        error = "o elemento " + elementName + " não existe no netlist " + netlistPath;
        return std::nullopt;
    }
    if (!valueMovesPoles(circuit->varied().kind())) {
        error = "o valor do elemento " + elementName +
                " não muda os polos (é uma fonte ou um "
                "amplificador operacional)";
        return std::nullopt;
    }
    return std::move(*circuit);
}

std::optional<std::vector<std::complex<double>>> polesWithValue(const LocusCircuit& circuit,
                                                                double value,
                                                                const std::function<bool()>& stop) {
    std::optional<QuietAnalysis> analysis;
    try {
        analysis = analyseQuietly(withElementValue(circuit.run, circuit.element, value), stop);
    } catch (const FloatingPointFault&) {
        return std::nullopt;
    }
    if (!analysis) return std::nullopt;
    const PolynomialRoots roots = findRoots(analysis->functions.denominator);
    if (roots.status != RootsStatus::Found) return std::nullopt;
    return expanded(roots);
}

std::vector<LocusTrace> matchTraces(const std::vector<LocusSample>& samples) {
    std::vector<LocusTrace> traces;
    std::vector<std::size_t> open;  // the trace of each pole of the previous sample
    const LocusSample* previous = nullptr;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const LocusSample& sample = samples[i];
        const int index = static_cast<int>(i);
        if (!sample.computed) {
            previous = nullptr;
            continue;
        }
        const std::size_t n = sample.poles.size();
        std::vector<std::size_t> current(n);
        if (!previous || previous->poles.size() != n) {
            for (std::size_t p = 0; p < n; ++p) {
                current[p] = traces.size();
                traces.push_back({{index}, {sample.poles[p]}});
            }
        } else {
            // Nearest pairs first: a pole goes on with the closest pole of the next value
            // that no nearer pair has taken.
            struct Pair {
                double distance;
                std::size_t from;
                std::size_t to;
            };
            std::vector<Pair> pairs;
            pairs.reserve(n * n);
            for (std::size_t a = 0; a < n; ++a) {
                for (std::size_t b = 0; b < n; ++b)
                    pairs.push_back({std::abs(previous->poles[a] - sample.poles[b]), a, b});
            }
            std::stable_sort(pairs.begin(), pairs.end(),
                             [](const Pair& x, const Pair& y) { return x.distance < y.distance; });
            std::vector<bool> fromTaken(n, false);
            std::vector<bool> toTaken(n, false);
            for (const Pair& pair : pairs) {
                if (fromTaken[pair.from] || toTaken[pair.to]) continue;
                fromTaken[pair.from] = toTaken[pair.to] = true;
                current[pair.to] = open[pair.from];
                LocusTrace& trace = traces[open[pair.from]];
                trace.samples.push_back(index);
                trace.points.push_back(sample.poles[pair.to]);
            }
        }
        open = std::move(current);
        previous = &sample;
    }
    return traces;
}

std::optional<RootLocus> computeRootLocus(const LocusCircuit& circuit,
                                          const std::vector<double>& values,
                                          const LocusProgress& progress,
                                          const std::function<bool()>& stop) {
    RootLocus locus;
    locus.element = circuit.varied().name;
    locus.kind = circuit.varied().kind();
    locus.nominal = circuit.varied().value;
    locus.nominalPoles =
        polesWithValue(circuit, locus.nominal, stop).value_or(std::vector<std::complex<double>>{});
    for (std::size_t i = 0; i < values.size(); ++i) {
        LocusSample sample;
        sample.value = values[i];
        if (stop && stop()) return std::nullopt;
        if (auto poles = polesWithValue(circuit, values[i], stop)) {
            sample.computed = true;
            sample.poles = std::move(*poles);
        } else {
            ++locus.failedSamples;
        }
        locus.samples.push_back(std::move(sample));
        if (progress && !progress(static_cast<double>(i + 1) / static_cast<double>(values.size())))
            return std::nullopt;
    }
    locus.traces = matchTraces(locus.samples);
    return locus;
}

}  // namespace corvane
