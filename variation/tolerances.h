// The tolerances of a circuit's elements, per kind ("R=1%") or per element ("R2=0,5%"),
// as the command line and the options window take them, resolved against a circuit.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "run_state.h"

namespace corvane::variation {

/// The spread of a value around its nominal: uniform within ± the tolerance, or Gaussian
/// with three standard deviations at the tolerance.
enum class Distribution { Uniform, Gaussian };

/// One entry of a tolerance list: a kind's letter or an element's name, and the tolerance
/// as a fraction (0.01 for 1%).
struct ToleranceRule {
    std::string target;
    double fraction = 0.0;
    /// The text after "=", for the messages.
    std::string text;
};

/// The entries of `list`, "R=1%,C=5%,R2=0.5%" (separated by "," or, where the numbers
/// take "," for the decimal point, ";"), each a percentage with the "%" optional. No value,
/// with `error` set in Portuguese, for an entry that is not NAME=NUMBER%, a tolerance
/// that is negative, not finite, or of 100% or more, or an empty list.
std::optional<std::vector<ToleranceRule>> parseTolerances(std::string_view list,
                                                          std::string& error);

/// One toleranced element of a circuit.
struct ElementTolerance {
    int element = 0;
    double fraction = 0.0;
};

/// The tolerance of each element of `run` that a rule names, an element's own rule
/// before its kind's. No value, with `error` set, when a rule names no element of the
/// circuit, or an element (or a kind) that has no value.
std::optional<std::vector<ElementTolerance>> resolveTolerances(
    const RunState& run, const std::vector<ToleranceRule>& rules, std::string& error);

}  // namespace corvane::variation
