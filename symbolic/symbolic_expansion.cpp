#include "symbolic_expansion.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace corvane::symbolic {

TermLimitExceeded largestCoefficient(const ExactPolynomial& p) {
    TermLimitExceeded largest;
    const long length = p.length();
    long i = 0;
    // The ring's order keeps the terms of one power of s together.
    while (i < length) {
        const ulong power = p.termExponent(i, 0);
        long end = i + 1;
        while (end < length && p.termExponent(end, 0) == power)
            ++end;
        if (end - i > largest.terms) largest = {static_cast<long>(power), end - i};
        i = end;
    }
    return largest;
}

// Fibonacci hashing: the keys are row masks, whose low bits alone would crowd the slots.
std::size_t MinorTable::home(std::uint64_t key) const {
    const int bits = std::countr_zero(slots_.size());
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ULL) >> (64 - bits));
}

const ExactPolynomial* MinorTable::find(std::uint64_t key) const {
    if (slots_.empty()) return nullptr;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = home(key);; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.key == key) return &minors_[slot.index];
        if (slot.key == 0) return nullptr;
    }
}

// At most half the slots are taken, so that a search ends soon at an empty one.
void MinorTable::grow() {
    std::vector<Slot> old(slots_.empty() ? 1024 : 2 * slots_.size());
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.key == 0) continue;
        std::size_t i = home(slot.key);
        while (slots_[i].key != 0)
            i = (i + 1) & mask;
        slots_[i] = slot;
    }
}

const ExactPolynomial& MinorTable::insert(std::uint64_t key, ExactPolynomial minor) {
    if (2 * (minors_.size() + 1) > slots_.size()) grow();
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = home(key);
    while (slots_[i].key != 0)
        i = (i + 1) & mask;
    minors_.push_back(std::move(minor));
    slots_[i] = {key, minors_.size() - 1};
    return minors_.back();
}

SymbolicExpansion::SymbolicExpansion(const SymbolicSystem& system, long termLimit,
                                     std::size_t memoryLimitBytes, std::function<void()> look)
    : system_(system),
      termLimit_(termLimit),
      memoryLimit_(memoryLimitBytes),
      look_(std::move(look)),
      one_(*system.ring, 1),
      zero_(*system.ring),
      unshared_(static_cast<std::size_t>(system.n + 1), ExactPolynomial(*system.ring)) {
    for (int c = 1; c <= system.n + 1; ++c) {
        for (int r = 1; r <= system.n; ++r) {
            if (!system.at(r, c).isZero()) rowsOfColumn_[c] |= Mask{1} << r;
        }
    }
}

// A minor at `depth` is the child of a parent one level up that had one more row, one of
// the rows already removed, with a non-zero entry in the parent's expansion column. A
// minor that at most one parent can reach (in any of the determinants that share it) is
// never asked for twice: storing it would only cost memory.
bool SymbolicExpansion::reachableTwice(int depth, Mask rows) const {
    const auto atLeastTwo = [](Mask bits) { return (bits & (bits - 1)) != 0; };
    Mask all = 0;
    for (int r = 1; r <= system_.n; ++r)
        all |= Mask{1} << r;
    const Mask removed = all & ~rows;
    const Mask parents = removed & rowsOfColumn_[depth];
    if (atLeastTwo(parents)) return true;
    // A minor of the shared list is also the child of numerator `depth`'s expansion along
    // the excitation column.
    if (replacedPosition_ > depth) return false;
    const Mask excitationParents = removed & rowsOfColumn_[system_.n + 1];
    return atLeastTwo(excitationParents) || (parents != 0 && excitationParents != 0);
}

ExactPolynomial SymbolicExpansion::determinant(int replacedPosition) {
    replacedPosition_ = replacedPosition;
    if (system_.n == 0) return ExactPolynomial(*system_.ring);
    for (int p = 1; p <= system_.n; ++p) {
        const int column = p == replacedPosition ? system_.n + 1 : p;
        rowsAtPosition_[p] = 0;
        for (int r = 1; r <= system_.n; ++r) {
            if (!system_.at(r, column).isZero()) rowsAtPosition_[p] |= Mask{1} << r;
        }
    }
    Mask all = 0;
    for (int r = 1; r <= system_.n; ++r)
        all |= Mask{1} << r;
    return minor(0, all);
}

void SymbolicExpansion::checkTerms(const ExactPolynomial& p) {
    if (p.length() <= termLimit_) return;
    const TermLimitExceeded largest = largestCoefficient(p);
    if (largest.terms > termLimit_) throw largest;
}

std::size_t SymbolicExpansion::liveBytes() const {
    std::size_t total = storedBytes_;
    for (std::size_t d = 0; d < unsharedBytes_.size(); ++d)
        total += unsharedBytes_[d] + partialBytes_[d];
    return total;
}

// FLINT aborts when an allocation fails, and the system may grant memory it cannot back:
// a product is computed only when what it can take at most fits. sum += entry·child holds
// the old sum, the product and the new sum at once.
void SymbolicExpansion::reserveProduct(int depth, const ExactPolynomial& sum,
                                       const ExactPolynomial& entry,
                                       const ExactPolynomial& child) const {
    const double productTerms = static_cast<double>(entry.length()) * child.length();
    const double perTerm = static_cast<double>(
        std::max({sum.bytesPerTerm(), entry.bytesPerTerm(), child.bytesPerTerm()}));
    const double peak = 2.0 * (static_cast<double>(sum.length()) + productTerms) * perTerm;
    const double others = static_cast<double>(liveBytes() - partialBytes_[depth]);
    if (others + peak > static_cast<double>(memoryLimit_)) throw MemoryLimitExceeded{memoryLimit_};
}

// Kuhn's augmenting path from `position` over the rows in `rows`.
bool SymbolicExpansion::augment(int position, Mask rows, Mask& visited,
                                std::array<int, 32>& positionOfRow) const {
    Mask candidates = rowsAtPosition_[position] & rows & ~visited;
    while (candidates != 0) {
        const int row = std::countr_zero(candidates);
        candidates &= candidates - 1;
        visited |= Mask{1} << row;
        const int owner = positionOfRow[row];
        if (owner == 0 || augment(owner, rows, visited, positionOfRow)) {
            positionOfRow[row] = position;
            return true;
        }
    }
    return false;
}

// Whether the pattern of non-zero entries lets the minor be non-zero at all. Most minors
// of a sparse system are structurally zero: recognised here, they are neither expanded
// nor stored.
bool SymbolicExpansion::hasPerfectMatching(int depth, Mask rows) const {
    std::array<int, 32> positionOfRow{};
    for (int p = depth + 1; p <= system_.n; ++p) {
        Mask visited = 0;
        if (!augment(p, rows, visited, positionOfRow)) return false;
    }
    return true;
}

// The determinant of rows `rows` and positions depth+1..n of the column list.
const ExactPolynomial& SymbolicExpansion::minor(int depth, Mask rows) {
    const int n = system_.n;
    if (depth == n) return one_;
    // Below the replaced position the list is the identity's, shared by every determinant.
    const std::uint64_t list = replacedPosition_ > depth ? replacedPosition_ : 0;
    const std::uint64_t key = (std::uint64_t{rows} >> 1) | (list << 32);
    if (const ExactPolynomial* found = memo_.find(key)) return *found;
    if (!hasPerfectMatching(depth, rows)) return zero_;

    if (look_) look_();
    const int column = depth + 1 == replacedPosition_ ? n + 1 : depth + 1;
    const std::size_t level = static_cast<std::size_t>(depth);
    ExactPolynomial result(*system_.ring);
    int sign = 1;
    for (int row = 1; row <= n; ++row) {
        if ((rows & (Mask{1} << row)) == 0) continue;
        const ExactPolynomial& entry = system_.at(row, column);
        if (!entry.isZero()) {
            const ExactPolynomial& child = minor(depth + 1, rows & ~(Mask{1} << row));
            if (!child.isZero()) {
                reserveProduct(depth, result, entry, child);
                result.addProduct(sign, entry, child);
                partialBytes_[level] = result.bytes();
                // Products of large minors take long: a cancel is seen between them too.
                if (look_) look_();
            }
        }
        sign = -sign;
    }
    partialBytes_[level] = 0;
    checkTerms(result);
    if (depth == 0 || !reachableTwice(depth, rows)) {
        ExactPolynomial& slot = unshared_[level];
        slot = std::move(result);
        unsharedBytes_[level] = slot.bytes();
        return slot;
    }
    storedTerms_ += result.length();
    if (storedTerms_ > StoredTermsPerLimit * termLimit_) throw TermLimitExceeded{-1, storedTerms_};
    storedBytes_ += result.bytes();
    return memo_.insert(key, std::move(result));
}

}  // namespace corvane::symbolic
