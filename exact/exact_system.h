// The modified nodal system of a circuit with exact rational entries g + c·s, stored
// sparse, with the excitation (stored multiplied by s, as in the numeric system) as
// column n + 1.
#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "exact_polynomial.h"
#include "floating_point.h"
#include "run_state.h"

namespace corvane::exact {

using symbolic::Fraction;

/// One entry g + c·s.
struct ExactEntry {
    Fraction g;
    Fraction c;
};

/// Rows and columns 1..n; column n + 1 is the excitation. Entries never written are zero.
class ExactSystem {
public:
    explicit ExactSystem(int n);

    int size() const { return n_; }
    int excitationColumn() const { return n_ + 1; }

    /// entry(row, column) += sign · value · s^power; rows or columns of ground (0) or out of
    /// 1..n (n + 1 for columns) are dropped, as the stamps drop ground.
    void add(int row, int column, int sign, const Fraction& value, int power);

    /// The entries of row r (1..n) by column, zero entries included when terms cancelled.
    const std::map<int, ExactEntry>& row(int r) const { return rows_[static_cast<std::size_t>(r)]; }

    /// How many entries the n × (n + 1) system holds.
    std::size_t entryCount() const;

private:
    int n_;
    std::vector<std::map<int, ExactEntry>> rows_;
};

/// An element whose value has no exact fraction: not finite, or a resistor of value 0. It
/// is the fault the numeric system would raise for it, with its text.
class ExactValueError : public FloatingPointFault {
public:
    using FloatingPointFault::FloatingPointFault;
};

/// The system of the circuit read into `run`, with the stamps of the element table and
/// every value as the fraction of its shortest decimal (the symbolic analysis reads values
/// alike). Throws ExactValueError naming the element whose value cannot be taken.
ExactSystem exactSystemOf(const RunState& run);

}  // namespace corvane::exact
