// The root locus: the poles of a circuit's network function as one element's value runs
// over a range. Each value is a whole new analysis of the circuit with that value (the
// system, the determinant, the post-processing of a run), so the locus is exact for any
// element: a resistor, a capacitor, an inductor, a coupling, a controlled source's gain.
// The run is quiet: no log line, no file written.
#pragma once

#include <complex>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "run_state.h"

namespace corvane {

enum class LocusScale { Linear, Logarithmic };

inline constexpr int MinLocusPoints = 2;
inline constexpr int MaxLocusPoints = 1000;
inline constexpr int DefaultLocusPoints = 50;

/// What is wrong with a range of values, for each front end to name its own option or box.
enum class LocusRangeProblem {
    None,
    /// The first value is not below the last.
    NotIncreasing,
    /// A logarithmic range with a first value of zero or less.
    NotPositive,
    /// Fewer than MinLocusPoints or more than MaxLocusPoints values.
    PointCount,
};

LocusRangeProblem checkLocusRange(double from, double to, long long points, LocusScale scale);

/// The `points` values from `from` to `to`, both included exactly, evenly spaced or evenly
/// spaced in their logarithm. The range must pass checkLocusRange.
std::vector<double> locusValues(double from, double to, int points, LocusScale scale);

/// An element value as the user types it: a number with "." or "," and an optional suffix
/// of the netlist (1k, 2.5MEG, 10n); negative values too (a gain). No value for anything
/// else.
std::optional<double> parseLocusValue(std::string_view text);

/// The circuit of a netlist, read once, and the element whose value runs.
struct LocusCircuit {
    RunState run;
    int element = 0;

    const Element& varied() const { return run.ElementTable[static_cast<std::size_t>(element)]; }
};

/// Reads the netlist at `netlistPath` without logging and finds `elementName` in it, named
/// exactly as the netlist names it. No value, with `error` set in Portuguese, when the
/// netlist does not read, has no such element, or the element has no value that moves the
/// poles (a source, an operational amplifier).
std::optional<LocusCircuit> readLocusCircuit(const std::string& netlistPath,
                                             const std::string& elementName, std::string& error);

/// The unit of the varied element's value, for the values written on the locus: "Ω", "F",
/// "H", "S", or empty for a gain or a coupling.
std::string_view valueUnit(char kind);

/// One value of the range and the poles of the network function there, each repeated as
/// many times as its multiplicity; `computed` false when the analysis at that value
/// failed (a zero resistance, say).
struct LocusSample {
    double value = 0.0;
    bool computed = false;
    std::vector<std::complex<double>> poles;
};

/// One pole followed from value to value: the samples it passes through, in order.
struct LocusTrace {
    std::vector<int> samples;
    std::vector<std::complex<double>> points;
};

struct RootLocus {
    std::string element;
    char kind = 'R';
    double nominal = 0.0;
    /// The poles at the netlist's own value.
    std::vector<std::complex<double>> nominalPoles;
    std::vector<LocusSample> samples;
    std::vector<LocusTrace> traces;
    /// The values at which no poles could be computed.
    int failedSamples = 0;
};

/// The poles of the circuit with the varied element set to `value`; no value when the
/// analysis fails there. `stop` is asked during long expansions.
std::optional<std::vector<std::complex<double>>> polesWithValue(
    const LocusCircuit& circuit, double value, const std::function<bool()>& stop = {});

/// Called after each value with the fraction done; returning false stops the locus.
using LocusProgress = std::function<bool(double fraction)>;

/// The locus over `values`; no value when `progress` stopped it, or `stop` (asked during
/// each value's expansion, a flag such as Ctrl-C's) did.
std::optional<RootLocus> computeRootLocus(const LocusCircuit& circuit,
                                          const std::vector<double>& values,
                                          const LocusProgress& progress = {},
                                          const std::function<bool()>& stop = {});

/// The poles of neighbouring samples matched into traces: each pole goes on with the
/// nearest one of the next sample. A sample with another number of poles, or none, starts
/// new traces.
std::vector<LocusTrace> matchTraces(const std::vector<LocusSample>& samples);

}  // namespace corvane
