// Sparse elimination of the system modulo one word-size prime at many points s = x at
// once: the determinant and the Cramer numerators there. The pivot order is chosen once,
// by Markowitz's rule at a random point, and then followed at every other point and
// prime, so that each evaluation touches only the entries that fill in. The points of a
// batch are eliminated side by side: one inverse serves a whole batch, and the innermost
// loop runs over contiguous values.
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

/// The work space of the evaluations, kept between batches.
struct EliminationScratch {
    std::vector<ulong> table;
    std::vector<ulong> inverses;
    std::vector<ulong> factors;
    std::vector<ulong> solution;
    std::vector<ulong> prefix;
};

class EliminationPlan {
public:
    /// Markowitz's order for the system at s = x; empty when the system is singular there.
    static std::optional<EliminationPlan> choose(int n, const std::vector<IntegerEntry>& entries,
                                                 const ModularEntries& residues, ulong x);

    /// At each of the points xs: the determinant (values[0 · P + j], P = xs.size()) and the
    /// numerator of every variable k (values[k · P + j], 1..n); usable[j] is false where a
    /// pivot of the plan vanishes at xs[j] (its values are then meaningless).
    void evaluate(const ModularEntries& residues, const std::vector<ulong>& xs,
                  EliminationScratch& scratch, std::vector<ulong>& values,
                  std::vector<char>& usable) const;

    /// The products one evaluation makes: the cost of a point.
    std::size_t productsPerPoint() const { return products_; }
    /// The entries the elimination writes, the original ones included.
    std::size_t filledEntries() const { return slots_; }

private:
    int n_ = 0;
    std::size_t slots_ = 0;
    /// Where each entry of the system is kept.
    std::vector<std::size_t> entrySlot_;
    std::vector<int> pivotColumn_;
    std::vector<std::size_t> pivotSlot_;
    /// Step k: the pivot row's entries right of the pivot, as columns and slots, in
    /// upper_[upperStart_[k] .. upperStart_[k + 1]); the rows below, as the slots of their
    /// entries in the pivot column, in lower_[lowerStart_[k] ..); and for each such row, in
    /// order, the slots its entries take in the pivot row's columns, in targets_.
    std::vector<std::size_t> upperStart_;
    std::vector<int> upperColumn_;
    std::vector<std::size_t> upperSlot_;
    std::vector<std::size_t> lowerStart_;
    std::vector<std::size_t> lower_;
    std::vector<std::size_t> targetStart_;
    std::vector<std::size_t> targets_;
    bool negative_ = false;
    std::size_t products_ = 0;
};

}  // namespace corvane::exact
