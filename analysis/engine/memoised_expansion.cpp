#include "memoised_expansion.h"

#include <bit>

#include "entry_arithmetic.h"
#include "plain_expansion.h"

namespace corvane {

namespace {

constexpr int SmallestStoredOrder = MinorCache::SmallestStoredOrder;

// The sign of the term of `row` in an expansion over `rows`: the rows alternate +, −, +, …
// in ascending order, whether their terms are skipped or not.
// (The parity is folded by hand: without an instruction set beyond the x86-64 baseline,
// std::popcount becomes a library call, and this is the innermost loop.)
int signOfTerm(std::uint32_t rows, int row) {
    std::uint32_t below = rows & ((std::uint32_t{1} << row) - 1);
    below ^= below >> 16;
    below ^= below >> 8;
    below ^= below >> 4;
    below ^= below >> 2;
    below ^= below >> 1;
    return (below & 1) == 0 ? 1 : -1;
}

bool atLeastTwo(std::uint32_t bits) {
    return (bits & (bits - 1)) != 0;
}

// Positions depth+1..n as a mask.
std::uint32_t positionsFrom(int depth, int n) {
    const std::uint32_t upToN = n >= 31 ? 0xffffffffu : (std::uint32_t{2} << n) - 1;
    const std::uint32_t upToDepth = (std::uint32_t{2} << depth) - 1;
    return upToN & ~upToDepth;
}

}  // namespace

MemoisedExpansion::MemoisedExpansion(const SystemMatrix& matrix, int n, MinorCache& cache)
    : matrix_(matrix), n_(n), cache_(cache) {
    for (int column = 1; column <= n + 1 && column < SystemColumns; ++column) {
        for (int row = 1; row <= n; ++row) {
            if (!isZero(matrix.at(row, column))) rowsOfColumn_[column] |= Mask{1} << row;
        }
    }
}

// A minor at `depth` is the child of a parent one level up that had one more row, one of
// the rows already removed, with a non-zero entry in the parent's expansion column. A minor
// that at most one parent can reach (in any of the determinants that share it) is never
// asked for twice: storing it would only cost memory.
bool MemoisedExpansion::reachableTwice(int depth, Mask rows) const {
    const Mask removed = positionsFrom(0, n_) & ~rows;
    const Mask parents = removed & rowsOfColumn_[depth];
    if (atLeastTwo(parents)) return true;
    // A minor of the shared list is also the child of numerator `depth`'s expansion along
    // the excitation column.
    if (replacedPosition_ > depth) return false;
    const Mask excitationParents = removed & rowsOfColumn_[n_ + 1];
    return atLeastTwo(excitationParents) || (parents != 0 && excitationParents != 0);
}

std::uint32_t MemoisedExpansion::keyOf(int depth, Mask rows) const {
    // The column list of a minor at `depth` is positions depth+1..n; it holds the
    // excitation only while the replaced position is among them.
    const std::uint32_t list = replacedPosition_ > depth ? replacedPosition_ : 0;
    return (rows >> 1) | (list << MaxVariables);
}

// Kuhn's augmenting path from a free row, over the positions in `positions`, to one of
// the `free` positions. A free position the row reaches directly is taken before any
// longer path is searched: in the dense systems where the matchings cost most, it is
// nearly always there.
bool MemoisedExpansion::augment(int row, Mask positions, Mask free, Mask& visited,
                                Matching& m) const {
    Mask candidates = nonZeroPositions_[row] & positions & ~visited;
    const Mask direct = candidates & free;
    if (direct) {
        const int p = std::countr_zero(direct);
        m.rowOfPosition[p] = static_cast<std::int8_t>(row);
        m.positionOfRow[row] = static_cast<std::int8_t>(p);
        return true;
    }
    while (candidates) {
        const int p = std::countr_zero(candidates);
        candidates &= candidates - 1;
        visited |= Mask{1} << p;
        if (augment(m.rowOfPosition[p], positions, free, visited, m)) {
            m.rowOfPosition[p] = static_cast<std::int8_t>(row);
            m.positionOfRow[row] = static_cast<std::int8_t>(p);
            return true;
        }
    }
    return false;
}

bool MemoisedExpansion::matchFromScratch(Matching& matching) const {
    matching = Matching{};
    const Mask positions = positionsFrom(0, n_);
    Mask free = positions;
    for (int row = 1; row <= n_; ++row) {
        Mask visited = 0;
        if (!augment(row, positions, free, visited, matching)) return false;
        for (Mask taken = free; taken; taken &= taken - 1) {
            const int p = std::countr_zero(taken);
            if (matching.rowOfPosition[p] != 0) free &= ~(Mask{1} << p);
        }
    }
    return true;
}

// The minor without `removedRow` and without position depth+1 has a perfect matching
// exactly when the parent's matching, less its two pairs, can be completed by one
// augmenting path from the row left free to the position left free.
bool MemoisedExpansion::matchWithoutRow(int depth, const Matching& parent, Mask childRows,
                                        int removedRow, Matching& child) const {
    child = parent;
    const int firstPosition = depth + 1;
    const int freedRow = parent.rowOfPosition[firstPosition];
    const int freedPosition = parent.positionOfRow[removedRow];
    child.rowOfPosition[firstPosition] = 0;
    child.positionOfRow[removedRow] = 0;
    if (freedRow == removedRow) return true;
    child.rowOfPosition[freedPosition] = 0;
    child.positionOfRow[freedRow] = 0;
    // A position that no remaining row reaches (the excitation's, once its one row is
    // gone) ends the search at once, which would otherwise try every path first.
    if ((childRows & nonZeroRows_[freedPosition]) == 0) return false;
    Mask visited = 0;
    return augment(freedRow, positionsFrom(firstPosition, n_), Mask{1} << freedPosition, visited,
                   child);
}

void MemoisedExpansion::expand(int depth, Mask rows, const Matching& matching, Polynomial& result,
                               ProductCount& count) {
    const int m = n_ - depth;
    for (int i = 0; i <= m; ++i)
        result.coef[i] = 0.0;
    result.degree = 0;
    const int position = depth + 1;
    // Only the rows with a non-zero entry in the expansion column make terms.
    const Mask terms = rows & nonZeroRows_[position];
    if (watch_) watch_->step();
    if (depth < 2) {
        progressTerms_[depth] = terms;
        progressCurrent_[depth] = 0;
    }

    // The minors of this level are found in the table first, all of them, so that their
    // memory loads overlap instead of following one another. (Expanding one minor stores
    // minors of deeper levels only; should the cache give minors up to make room, what
    // was found is looked up again.)
    Frame& frame = frames_[depth];
    const bool childrenStored = m - 1 >= SmallestStoredOrder;
    const bool childrenLookedUp = childrenStored && cache_.storesOrder(m - 1);
    Mask stored = 0;
    Mask found = 0;
    std::uint64_t generation = cache_.generation();
    if (childrenLookedUp) {
        stored = storedChildren(depth, rows, terms);
        found = findChildren(depth, rows, stored, frame.cached);
    }

    Polynomial& minor = frame.minor;
    Matching& childMatching = frame.childMatching;
    for (Mask remaining = terms; remaining; remaining &= remaining - 1) {
        const int row = std::countr_zero(remaining);
        const Mask bit = Mask{1} << row;
        const Mask childRows = rows & ~bit;
        if (depth < 2) {
            progressCurrent_[depth] = bit;
            if (depth == 0) progressTerms_[1] = 0;
        }
        if (!childrenStored) {
            expandDirectly(depth + 1, childRows, minor, count);
        } else if (found & bit) {
            // A stored minor is used where it lies.
            const MinorCache::Entry& hit = frame.cached[row];
            count += hit.count();
            if (hit.degree() > 0 || hit.coef()[0] != 0.0) {
                addProduct(signOfTerm(rows, row), entry(row, position), hit.coef(), hit.degree(),
                           result);
                ++count;
            }
            continue;
        } else {
            // No transversal: the minor is zero and costs the plain expansion nothing.
            if (!matchWithoutRow(depth, matching, childRows, row, childMatching)) continue;
            ProductCount childCount = 0;
            expand(depth + 1, childRows, childMatching, minor, childCount);
            count += childCount;
            if (stored & bit) cache_.insert(keyOf(depth + 1, childRows), m - 1, minor, childCount);
            if (cache_.generation() != generation) {
                generation = cache_.generation();
                const Mask later = remaining & (remaining - 1);
                stored &= cache_.storesOrder(m - 1) ? ~Mask{0} : 0;
                found = findChildren(depth, rows, found & later & stored, frame.cached);
            }
        }
        if (minor.degree > 0 || minor.coef[0] != 0.0) {
            addProduct(signOfTerm(rows, row), entry(row, position), minor, result);
            ++count;
        }
    }
}

// The terms whose minors are worth storing: those another parent can reach too.
MemoisedExpansion::Mask MemoisedExpansion::storedChildren(int depth, Mask rows, Mask terms) const {
    Mask stored = 0;
    for (Mask remaining = terms; remaining; remaining &= remaining - 1) {
        const Mask bit = remaining & -remaining;
        if (!reachableTwice(depth + 1, rows & ~bit)) continue;
        stored |= bit;
        cache_.prefetch(keyOf(depth + 1, rows & ~bit));
    }
    return stored;
}

// Looks up the minors of the terms in `candidates`; returns those found, with their
// entries in `cached`.
MemoisedExpansion::Mask MemoisedExpansion::findChildren(
    int depth, Mask rows, Mask candidates, std::array<MinorCache::Entry, SystemRows>& cached) {
    Mask found = 0;
    std::uint64_t hits = 0;
    for (Mask remaining = candidates; remaining; remaining &= remaining - 1) {
        const int row = std::countr_zero(remaining);
        if (cache_.find(keyOf(depth + 1, rows & ~(Mask{1} << row)), cached[row])) {
            found |= Mask{1} << row;
            ++hits;
        }
    }
    if (hits != 0) cache_.noteHits(n_ - depth - 1, hits);
    return found;
}

// The plain recursion itself, on a row set.
void MemoisedExpansion::expandDirectly(int depth, Mask rows, Polynomial& result,
                                       ProductCount& count) {
    const int m = n_ - depth;
    const int position = depth + 1;
    if (m == 1) {
        copyEntry(entry(std::countr_zero(rows), position), result);
        return;
    }
    for (int i = 0; i <= m; ++i)
        result.coef[i] = 0.0;
    result.degree = 0;
    Polynomial& minor = frames_[depth].minor;
    for (Mask remaining = rows & nonZeroRows_[position]; remaining; remaining &= remaining - 1) {
        const int row = std::countr_zero(remaining);
        expandDirectly(depth + 1, rows & ~(Mask{1} << row), minor, count);
        if (minor.degree > 0 || minor.coef[0] != 0.0) {
            addProduct(signOfTerm(rows, row), entry(row, position), minor, result);
            ++count;
        }
    }
}

double MemoisedExpansion::progress() const {
    // The share of a level's terms before the one under way.
    auto before = [this](int depth) {
        const Mask terms = progressTerms_[depth];
        const Mask current = progressCurrent_[depth];
        if (terms == 0 || current == 0) return 0.0;
        const Mask done = terms & (current - 1);
        return static_cast<double>(std::popcount(done)) / std::popcount(terms);
    };
    const Mask topTerms = progressTerms_[0];
    if (topTerms == 0) return 0.0;
    const double share = 1.0 / std::popcount(topTerms);
    return before(0) + share * before(1);
}

void MemoisedExpansion::expandDeterminant(Polynomial& result,
                                          const std::array<int, SystemColumns>& columns,
                                          int replacedPosition) {
    columns_ = columns;
    replacedPosition_ = replacedPosition;
    // Numerator k asks for shared minors from depth k on only, and the numerators after
    // it from deeper still.
    cache_.startDeterminant(replacedPosition, n_ - replacedPosition);
    progressTerms_.fill(0);
    progressCurrent_.fill(0);
    if (n_ <= 1) {
        PlainExpansion plain(matrix_);
        IndexList rows{};
        rows[1] = 1;
        plain.expandDeterminant(n_, result, columns, rows);
        return;
    }
    nonZeroRows_.fill(0);
    for (int row = 1; row <= n_; ++row) {
        Mask positions = 0;
        for (int p = 1; p <= n_; ++p) {
            if (isZero(entry(row, p))) continue;
            positions |= Mask{1} << p;
            nonZeroRows_[p] |= Mask{1} << row;
        }
        nonZeroPositions_[row] = positions;
    }
    ProductCount count = 0;
    if (n_ < SmallestStoredOrder + 1) {
        expandDirectly(0, positionsFrom(0, n_), result, count);
        multiplicationCount += count;
        return;
    }
    Matching matching;
    if (!matchFromScratch(matching)) {
        // Every term meets a zero: the expansion ends with the zero polynomial.
        for (int i = 0; i <= n_; ++i)
            result.coef[i] = 0.0;
        result.degree = 0;
        return;
    }
    expand(0, positionsFrom(0, n_), matching, result, count);
    multiplicationCount += count;
}

}  // namespace corvane
