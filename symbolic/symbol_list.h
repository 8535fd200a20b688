// The names the options keep symbolic, as the user types them: read by the programs
// without the exact module, which only the analysis itself needs.
#pragma once

#include <string>
#include <vector>

namespace corvane::symbolic {

/// Splits a list of names separated by commas or blanks.
std::vector<std::string> splitSymbolList(const std::string& text);

}  // namespace corvane::symbolic
