#include "root_locus.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "analysis_host.h"
#include "analysis_log.h"
#include "c_locale.h"
#include "determinant.h"
#include "floating_point.h"
#include "mna.h"
#include "netlist_reader.h"
#include "netlist_value.h"
#include "network_functions.h"
#include "number_text.h"
#include "polynomial_roots.h"
#include "post_process.h"
#include "quiet_host.h"
#include "run_warnings.h"

namespace corvane {

namespace {

// The dispersion a run uses unless told otherwise, so the nominal poles of the locus are
// those of the result files written with the default options.
constexpr double RunDispersion = 1e9;

// Kinds whose value enters the system matrix: sources drive the circuit without moving its
// poles, and the ideal operational amplifier has no value.
bool valueMovesPoles(char kind) {
    return std::string_view("RCLGEFHK").find(kind) != std::string_view::npos;
}

// The run with the element's value replaced; a coupling of a changed inductor follows.
RunState withValue(const LocusCircuit& circuit, double value) {
    RunState run = circuit.run;
    Element& varied = run.ElementTable[static_cast<std::size_t>(circuit.element)];
    varied.value = value;
    for (int i = 1; i <= run.elementCount; ++i) {
        Element& k = run.ElementTable[static_cast<std::size_t>(i)];
        if (k.kind() != 'K') continue;
        if (i != circuit.element && k.firstInductor() != circuit.element &&
            k.secondInductor() != circuit.element)
            continue;
        const double l1 = run.ElementTable[static_cast<std::size_t>(k.firstInductor())].value;
        const double l2 = run.ElementTable[static_cast<std::size_t>(k.secondInductor())].value;
        checkFloatingPoint([&] { k.value2 = std::sqrt(l1 * l2) * k.value; });
    }
    return run;
}

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
    AnalysisLog quiet([](std::string_view) {});
    QuietHost host(stop);
    ScopedCLocale locale;
    auto run = std::make_unique<RunState>();
    auto matrix = std::make_unique<SystemMatrix>();
    auto functions = std::make_unique<NetworkFunctions>();
    try {
        *run = withValue(circuit, value);
        const int n = run->variableCount;
        assembleSystem(*run, *matrix, quiet, false);
        const ExpansionCounts counts = computeNetworkFunctions(*matrix, n, *functions, quiet, host);
        if (counts.cancelled) return std::nullopt;
        RunWarnings warnings;
        if (!postProcess(*functions, n, true, RunDispersion, quiet, warnings)) return std::nullopt;
    } catch (const FloatingPointFault&) {
        return std::nullopt;
    }
    const PolynomialRoots roots = findRoots(functions->denominator);
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
