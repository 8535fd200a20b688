// What an expansion cost: its products, the memory its minors took, and how counts are
// written.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "run_state.h"

namespace corvane {

/// Products of an entry by a minor spent on one determinant. The plain expansion of a
/// dense 25 × 25 system needs about 2.7e25 of them, beyond any 64-bit integer.
using ProductCount = unsigned __int128;

/// What one computeNetworkFunctions spent.
struct ExpansionCounts {
    ProductCount denominator = 0;
    std::array<ProductCount, MaxVariables + 1> numerator{};
    std::size_t cachedMinors = 0;
    /// The most memory the minors held at once.
    std::size_t cacheBytes = 0;
    /// The memory that storing every minor of the run would have taken.
    std::size_t cacheWholeRunBytes = 0;
    /// Orders of minors given up for want of memory, and compactions of the records.
    int cacheOrdersGivenUp = 0;
    int cacheCompactions = 0;
    bool cacheFull = false;
    /// Determinants computed level by level, the whole levels of minors in flat arrays.
    int levelDeterminants = 0;
    /// The user stopped the run: the functions are incomplete and nothing else was logged.
    bool cancelled = false;
};

/// The exact decimal digits of a count.
std::string formatCount(ProductCount count);

}  // namespace corvane
