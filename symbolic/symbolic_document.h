// The "simbolica" part of the JSON document of analisar --simbolica: the functions in the
// names of the elements as the log listed them, each also as a SymPy expression and in
// LaTeX, for scripts.
#pragma once

#include <nlohmann/json.hpp>

#include "symbolic_analysis.h"

namespace corvane::symbolic {

/// The symbols, their definitions and, when the analysis got that far, the denominator,
/// the numerators, the functions and their check; else where it stopped.
nlohmann::ordered_json symbolicDocument(const SymbolicListing& listing);

}  // namespace corvane::symbolic
