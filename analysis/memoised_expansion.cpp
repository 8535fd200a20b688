#include "memoised_expansion.h"

#include <bit>

#include "determinant.h"

namespace corvane {

namespace {

bool isZero(const MnaEntry& e) {
    return e.s0 == 0.0 && e.s1 == 0.0;
}

// Positions depth+1..n as a mask.
std::uint32_t positionsFrom(int depth, int n) {
    const std::uint32_t upToN = n >= 31 ? 0xffffffffu : (std::uint32_t{2} << n) - 1;
    const std::uint32_t upToDepth = (std::uint32_t{2} << depth) - 1;
    return upToN & ~upToDepth;
}

}  // namespace

MemoisedExpansion::MemoisedExpansion(const SystemMatrix& matrix, int n, MinorCache& cache)
    : matrix_(matrix), n_(n), cache_(cache) {}

std::uint32_t MemoisedExpansion::keyOf(int depth, Mask rows) const {
    // The column list of a minor at `depth` is positions depth+1..n; it holds the
    // excitation only while the replaced position is among them.
    const std::uint32_t list = replacedPosition_ > depth ? replacedPosition_ : 0;
    return (rows >> 1) | (list << MaxVariables);
}

// Kuhn's augmenting path from a free row, over the positions in `positions`.
bool MemoisedExpansion::augment(int row, Mask positions, Mask& visited, Matching& m) const {
    Mask candidates = nonZeroPositions_[row] & positions & ~visited;
    while (candidates) {
        const int p = std::countr_zero(candidates);
        candidates &= candidates - 1;
        visited |= Mask{1} << p;
        const int holder = m.rowOfPosition[p];
        if (holder == 0 || augment(holder, positions, visited, m)) {
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
    for (int row = 1; row <= n_; ++row) {
        Mask visited = 0;
        if (!augment(row, positions, visited, matching)) return false;
    }
    return true;
}

// The minor without `removedRow` and without position depth+1 has a perfect matching
// exactly when the parent's matching, less its two pairs, can be completed by one
// augmenting path from the row left free to the position left free.
bool MemoisedExpansion::matchWithoutRow(int depth, const Matching& parent, int removedRow,
                                        Matching& child) const {
    child = parent;
    const int firstPosition = depth + 1;
    const int freedRow = parent.rowOfPosition[firstPosition];
    const int freedPosition = parent.positionOfRow[removedRow];
    child.rowOfPosition[firstPosition] = 0;
    child.positionOfRow[removedRow] = 0;
    if (freedRow == removedRow) return true;
    child.rowOfPosition[freedPosition] = 0;
    child.positionOfRow[freedRow] = 0;
    Mask visited = 0;
    return augment(freedRow, positionsFrom(firstPosition, n_), visited, child);
}

void MemoisedExpansion::expand(int depth, Mask rows, const Matching& matching, Polynomial& result,
                               ProductCount& count) {
    const int m = n_ - depth;
    for (int i = 0; i <= m; ++i)
        result.coef[i] = 0.0;
    result.degree = 0;
    const int position = depth + 1;

    // The minors of this level are found in the table first, all of them, so that their
    // memory loads overlap instead of following one another. (Expanding one minor only
    // stores minors of deeper levels, so what is found here stays true below.)
    std::array<MinorCache::Entry, SystemRows> cached;
    std::array<bool, SystemRows> found{};
    if (m > 2) {
        for (Mask remaining = rows; remaining; remaining &= remaining - 1) {
            const int row = std::countr_zero(remaining);
            if (!isZero(entry(row, position)))
                cache_.prefetch(keyOf(depth + 1, rows & ~(Mask{1} << row)));
        }
        for (Mask remaining = rows; remaining; remaining &= remaining - 1) {
            const int row = std::countr_zero(remaining);
            if (isZero(entry(row, position))) continue;
            found[row] = cache_.find(keyOf(depth + 1, rows & ~(Mask{1} << row)), cached[row]);
            if (found[row]) __builtin_prefetch(cached[row].coef);
        }
    }

    Polynomial minor;
    Polynomial product;
    Matching childMatching;
    int sign = 1;
    for (Mask remaining = rows; remaining; remaining &= remaining - 1, sign = -sign) {
        const int row = std::countr_zero(remaining);
        const MnaEntry& e = entry(row, position);
        if (isZero(e)) continue;
        const Mask childRows = rows & ~(Mask{1} << row);
        if (m == 2) {
            // The base case: a single entry, never counted.
            const MnaEntry& last = entry(std::countr_zero(childRows), position + 1);
            minor.coef[0] = last.s0;
            minor.coef[1] = last.s1;
            minor.degree = last.degree;
        } else if (found[row]) {
            const MinorCache::Entry& hit = cached[row];
            for (int i = 0; i <= hit.degree; ++i)
                minor.coef[i] = hit.coef[i];
            minor.degree = hit.degree;
            count += hit.count;
        } else {
            // No transversal: the minor is zero and costs the plain expansion nothing.
            if (!matchWithoutRow(depth, matching, row, childMatching)) continue;
            ProductCount childCount = 0;
            expand(depth + 1, childRows, childMatching, minor, childCount);
            count += childCount;
            cache_.insert(keyOf(depth + 1, childRows), minor, childCount);
        }
        if (minor.degree > 0 || minor.coef[0] != 0.0) {
            multiplyEntry(e, minor, product);
            ++count;
            addScaled(sign, product, result);
        }
    }
}

void MemoisedExpansion::expandDeterminant(Polynomial& result,
                                          const std::array<int, SystemColumns>& columns,
                                          int replacedPosition) {
    columns_ = columns;
    replacedPosition_ = replacedPosition;
    if (n_ <= 1) {
        PlainExpansion plain(matrix_);
        IndexList rows{};
        rows[1] = 1;
        plain.expandDeterminant(n_, result, columns, rows);
        return;
    }
    for (int row = 1; row <= n_; ++row) {
        Mask positions = 0;
        for (int p = 1; p <= n_; ++p) {
            if (!isZero(entry(row, p))) positions |= Mask{1} << p;
        }
        nonZeroPositions_[row] = positions;
    }
    Matching matching;
    if (!matchFromScratch(matching)) {
        // Every term meets a zero: the expansion ends with the zero polynomial.
        for (int i = 0; i <= n_; ++i)
            result.coef[i] = 0.0;
        result.degree = 0;
        return;
    }
    ProductCount count = 0;
    expand(0, positionsFrom(0, n_), matching, result, count);
    multiplicationCount += count;
}

}  // namespace corvane
