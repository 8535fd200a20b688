// The determinants of the symbolic system by cofactor expansion with memoised minors, as
// the numeric engine does it: along the first column of the list, rows in ascending
// order with alternating signs. At a given depth the column list is fixed, so a minor is
// a function of the rows that remain (and of whether the excitation column is still in
// the list): each one is expanded once and shared by the denominator and every numerator.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include "analysis_options.h"
#include "exact_polynomial.h"
#include "symbolic_system.h"

namespace corvane::symbolic {

inline constexpr long DefaultTermLimit = DefaultSymbolicTermLimit;

/// A coefficient (of one power of s) passed the term limit, or the stored minors
/// together passed their budget (`power` is then -1).
struct TermLimitExceeded {
    long power = 0;
    long terms = 0;
};

/// The stored minors by key. The ladders' determinants keep a few hundred thousand minors and
/// look them up millions of times: keys sit in one open-addressed array (a lookup is
/// usually one cache line), the minors in a deque, whose elements never move, so that a
/// parent may hold a reference to a child while its siblings are stored.
class MinorTable {
public:
    /// The minor stored under `key` (never 0), or null.
    const ExactPolynomial* find(std::uint64_t key) const;
    /// Stores `minor` under `key`, which must not be stored yet.
    const ExactPolynomial& insert(std::uint64_t key, ExactPolynomial minor);
    std::size_t size() const { return minors_.size(); }

private:
    struct Slot {
        std::uint64_t key = 0;  // 0: empty
        std::size_t index = 0;
    };
    std::size_t home(std::uint64_t key) const;
    void grow();

    std::vector<Slot> slots_;
    std::deque<ExactPolynomial> minors_;
};

/// The next product would take the expansion past its memory: thrown before it is
/// computed.
struct MemoryLimitExceeded {
    std::size_t limitBytes = 0;
};

class SymbolicExpansion {
public:
    /// `termLimit` bounds the terms of each power of s in every minor; the stored minors
    /// together may hold at most StoredTermsPerLimit times as many. `memoryLimitBytes`
    /// bounds what the stored minors, the minors under way and the next product take
    /// together. `look` is called before every minor expanded and after every product;
    /// it may throw (to cancel).
    SymbolicExpansion(const SymbolicSystem& system, long termLimit, std::size_t memoryLimitBytes,
                      std::function<void()> look = {});

    /// The determinant with, at position `replacedPosition` (0: none), the excitation
    /// column instead of that variable's column. Throws TermLimitExceeded or
    /// MemoryLimitExceeded, and whatever `look` throws.
    ExactPolynomial determinant(int replacedPosition);

    std::size_t storedMinors() const { return memo_.size(); }

    /// Counts `bytes` that the caller keeps (the determinants already expanded) against
    /// the memory limit.
    void countKeptBytes(std::size_t bytes) { storedBytes_ += bytes; }

    static constexpr long StoredTermsPerLimit = 20;

private:
    using Mask = std::uint32_t;  // bit r for row r (1..25)

    const ExactPolynomial& minor(int depth, Mask rows);
    void checkTerms(const ExactPolynomial& p);
    void reserveProduct(int depth, const ExactPolynomial& sum, const ExactPolynomial& entry,
                        const ExactPolynomial& child) const;
    std::size_t liveBytes() const;
    bool hasPerfectMatching(int depth, Mask rows) const;
    bool reachableTwice(int depth, Mask rows) const;
    bool augment(int position, Mask rows, Mask& visited, std::array<int, 32>& positionOfRow) const;

    const SymbolicSystem& system_;
    const long termLimit_;
    long storedTerms_ = 0;
    const std::size_t memoryLimit_;
    std::function<void()> look_;
    std::size_t storedBytes_ = 0;
    /// The memory of the minor kept in unshared_[depth], and of the sum under way at
    /// each depth of the recursion.
    std::array<std::size_t, 32> unsharedBytes_{};
    std::array<std::size_t, 32> partialBytes_{};
    int replacedPosition_ = 0;
    ExactPolynomial one_;
    ExactPolynomial zero_;
    /// Rows (bit r) with a non-zero entry at position p of the current column list.
    std::array<Mask, 32> rowsAtPosition_{};
    /// Rows (bit r) with a non-zero entry in column c of the system.
    std::array<Mask, 32> rowsOfColumn_{};
    /// Minors that no other parent can ask for again are kept here, one per depth, only
    /// until their parent has used them.
    std::vector<ExactPolynomial> unshared_;
    MinorTable memo_;
};

/// The power of s whose coefficient has the most terms, and how many.
TermLimitExceeded largestCoefficient(const ExactPolynomial& p);

}  // namespace corvane::symbolic
