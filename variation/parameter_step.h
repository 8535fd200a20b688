// A parameter step: one element's value run over a list of values, each value's network
// functions computed exactly by a whole analysis of the circuit with that value.
#pragma once

#include <complex>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "circuit_figures.h"
#include "network_functions.h"
#include "root_locus.h"
#include "run_state.h"

namespace corvane::variation {

/// The most values one step takes.
inline constexpr int MaxStepValues = MaxLocusPoints;

/// One value of the step.
struct StepSample {
    double value = 0.0;
    /// False when the analysis at that value failed (a zero resistance, say).
    bool computed = false;
    /// Integrated and normalised, as the result files hold them: the denominator and the
    /// numerators of the step's variables (the others are left zero).
    NetworkFunctions functions;
    std::vector<std::complex<double>> poles;
    CircuitFigures figures;
};

struct ParameterStep {
    int element = 0;
    std::vector<StepSample> samples;
};

/// Called after each value with the fraction done; returning false stops the step.
using StepProgress = std::function<bool(double fraction)>;

/// The step of element `element` of `run` over `values`, with the figures of `variables`
/// at `omega` (rad/s). No value when `progress` or `stop` stopped it.
std::optional<ParameterStep> computeStep(const RunState& run, int element,
                                         std::span<const double> values,
                                         std::span<const int> variables, double omega,
                                         const StepProgress& progress = {},
                                         const std::function<bool()>& stop = {});

/// The step's poles as a root locus (the traces matched from value to value), for the
/// pole-zero map.
RootLocus stepLocus(const RunState& run, const ParameterStep& step);

/// A value of the step as the legends write it, with "," for the decimal point and the
/// unit of its kind: "4,7 kΩ", "10 nF", "2" for a gain.
std::string stepValueText(double value, char kind);

/// "R2 = 4,7 kΩ".
std::string stepLegend(std::string_view element, double value, char kind);

}  // namespace corvane::variation
