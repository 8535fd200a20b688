// Sparse elimination of the system modulo one word-size prime at one point s = x: the
// determinant and the Cramer numerators there. The pivot order is chosen once, by
// Markowitz's rule at a random point, and then followed at every other point and prime,
// so that each evaluation touches only the entries that fill in.
#pragma once

#include <flint/nmod_vec.h>

#include <cstddef>
#include <optional>
#include <vector>

#include "exact_polynomial.h"

namespace corvane::exact {

/// One non-zero entry of the integer-scaled system; columns 0..n-1 are the variables,
/// column n the excitation. Rows 0..n-1.
struct IntegerEntry {
    int row;
    int column;
    symbolic::Integer g;
    symbolic::Integer c;
};

/// The entries' residues modulo one prime, in the order of the entry list.
struct ModularEntries {
    nmod_t mod;
    std::vector<ulong> g;
    std::vector<ulong> c;
};

ModularEntries reduceEntries(const std::vector<IntegerEntry>& entries, nmod_t mod);

/// The work space of one evaluation: an n × (n + 1) table of residues and the solution.
struct EliminationScratch {
    std::vector<ulong> table;
    std::vector<ulong> solution;
    std::vector<ulong> inverses;
};

class EliminationPlan {
public:
    /// Markowitz's order for the system at s = x; empty when the system is singular there.
    static std::optional<EliminationPlan> choose(int n, const std::vector<IntegerEntry>& entries,
                                                 const ModularEntries& residues, ulong x);

    /// The determinant (values[0]) and the numerator of every variable k (values[k], 1..n)
    /// at s = x; false when a pivot of the plan vanishes there (values then undefined).
    bool evaluate(const std::vector<IntegerEntry>& entries, const ModularEntries& residues,
                  ulong x, EliminationScratch& scratch, std::vector<ulong>& values) const;

    /// The products one evaluation makes: the cost of a point.
    std::size_t productsPerPoint() const { return products_; }
    /// The table positions the elimination fills, the original entries included.
    std::size_t filledEntries() const { return touched_.size(); }

private:
    int n_ = 0;
    std::vector<int> pivotRow_;
    std::vector<int> pivotColumn_;
    /// Step k eliminates rows lower_[lowerStart_[k] .. lowerStart_[k + 1]) with the columns
    /// upper_[upperStart_[k] .. upperStart_[k + 1]) of its pivot row (the excitation included).
    std::vector<std::size_t> lowerStart_;
    std::vector<int> lower_;
    std::vector<std::size_t> upperStart_;
    std::vector<int> upper_;
    /// Every table position the elimination writes, cleared before each evaluation.
    std::vector<std::size_t> touched_;
    bool negative_ = false;
    std::size_t products_ = 0;
};

}  // namespace corvane::exact
