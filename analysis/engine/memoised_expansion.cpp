#include "memoised_expansion.h"

#include <algorithm>
#include <bit>
#include <cfenv>
#include <functional>
#include <random>

#include "entry_arithmetic.h"
#include "plain_expansion.h"

namespace corvane {

namespace {

constexpr int SmallestStoredOrder = MinorCache::SmallestStoredOrder;
// Below this order the recursion is quick whatever the system: its determinants are
// never computed level by level.
constexpr int SmallestOrderByLevels = 10;

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

using Binomials = std::array<std::array<std::uint32_t, SystemColumns + 1>, SystemColumns>;

// C(i, k) for every i and k that a rank of a set of rows needs.
constexpr Binomials binomials = [] {
    Binomials c{};
    for (int i = 0; i < SystemColumns; ++i) {
        c[i][0] = 1;
        for (int k = 1; k <= i; ++k)
            c[i][k] = c[i - 1][k - 1] + c[i - 1][k];
    }
    return c;
}();

// The rank of each set `rows` less one row, by that row. Row r counts as r − 1, and a set
// {c0 < c1 < …} ranks Σ C(ck, k + 1) among the sets of its size; without cj, the rows
// below it keep their places and those above move one place down.
void rankChildren(std::uint32_t rows, std::array<std::uint32_t, SystemRows>& rank) {
    std::uint32_t above = 0;
    int k = 0;
    for (std::uint32_t r = rows; r; r &= r - 1, ++k)
        above += binomials[std::countr_zero(r) - 1][k];
    std::uint32_t below = 0;
    k = 0;
    for (std::uint32_t r = rows; r; r &= r - 1, ++k) {
        const int row = std::countr_zero(r);
        above -= binomials[row - 1][k];
        rank[row] = below + above;
        below += binomials[row - 1][k + 1];
    }
}

// The next set of rows of the same size in the order of the ranks, which is the order of
// the masks as numbers. (The rows are bits 1..n: the bits shift down one for the step,
// which packs the lowest ones from bit 0.)
std::uint32_t nextSetOfSameSize(std::uint32_t rows) {
    const std::uint32_t set = rows >> 1;
    const std::uint32_t lowest = set & -set;
    const std::uint32_t ripple = set + lowest;
    return (ripple | (((set ^ ripple) >> 2) / lowest)) << 1;
}

// `rows` without row `required`, the rows above it moved one place down; and back.
std::uint32_t withoutRow(std::uint32_t rows, int required) {
    const std::uint32_t below = (std::uint32_t{1} << required) - 1;
    const std::uint32_t others = rows & ~(std::uint32_t{1} << required);
    return (others & below) | ((others >> 1) & ~below);
}
std::uint32_t withRow(std::uint32_t rows, int required) {
    const std::uint32_t below = (std::uint32_t{1} << required) - 1;
    return (rows & below) | ((rows & ~below) << 1) | (std::uint32_t{1} << required);
}

}  // namespace

MemoisedExpansion::MemoisedExpansion(const SystemMatrix& matrix, int n, MinorCache& cache)
    : matrix_(matrix), n_(n), cache_(cache) {
    std::array<int, SystemRows> rowDegrees{};
    for (int column = 1; column <= n + 1 && column < SystemColumns; ++column) {
        for (int row = 1; row <= n; ++row) {
            if (!isZero(matrix.at(row, column))) rowsOfColumn_[column] |= Mask{1} << row;
            // Zero entries too: an expansion's last step copies whatever entry it meets.
            rowDegrees[row - 1] = std::max(rowDegrees[row - 1], matrix.at(row, column).degree);
        }
    }
    excitationRow_ = soleExcitationRow();
    std::sort(rowDegrees.begin(), rowDegrees.end(), std::greater<>());
    for (int order = 1; order <= n && order < SystemColumns; ++order)
        largestDegree_[order] = largestDegree_[order - 1] + rowDegrees[order - 1];
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
    return matchRows(positionsFrom(0, n_), positionsFrom(0, n_), matching);
}

// A perfect matching between `rows` and `positions`, two sets of the same size.
bool MemoisedExpansion::matchRows(Mask rows, Mask positions, Matching& matching) const {
    matching = Matching{};
    Mask free = positions;
    for (Mask left = rows; left; left &= left - 1) {
        const int row = std::countr_zero(left);
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

// The one row with a non-zero entry in the excitation column, or 0. When there is one,
// a minor whose column list still holds the excitation is zero without that row, and
// costs no product: provided that the last step of an expansion, copying the entry it
// meets, copies a zero of degree 0 there too.
int MemoisedExpansion::soleExcitationRow() const {
    const int column = n_ + 1;
    if (n_ < 1 || column >= SystemColumns) return 0;
    const Mask rows = rowsOfColumn_[column];
    if (rows == 0 || (rows & (rows - 1)) != 0) return 0;
    for (int row = 1; row <= n_; ++row) {
        if (matrix_.at(row, column).degree != 0 && isZero(matrix_.at(row, column))) return 0;
    }
    return std::countr_zero(rows);
}

// Whether nearly every set of rows at `depth` is a minor that the recursion would reach,
// judged on a fixed draw of sets: one whose rows gone can be matched to positions
// 1..depth and whose rows left can be matched to the others. Computing a level whole
// spends work on the sets that are not.
bool MemoisedExpansion::mostlyReached(int depth) const {
    constexpr int Draws = 64;
    std::minstd_rand draw(static_cast<std::minstd_rand::result_type>(depth + 1));
    const Mask all = positionsFrom(0, n_);
    int reached = 0;
    Matching matching;
    for (int i = 0; i < Draws; ++i) {
        Mask rows = all;
        for (int gone = 0; gone < depth;) {
            const Mask bit = Mask{1} << (1 + draw() % static_cast<unsigned>(n_));
            if ((rows & bit) == 0) continue;
            rows &= ~bit;
            ++gone;
        }
        if (matchRows(all & ~rows, positionsFrom(0, depth), matching) &&
            matchRows(rows, positionsFrom(depth, n_), matching)) {
            ++reached;
        }
    }
    return 4 * reached >= 3 * Draws;
}

// The places of a level of minors of `order`: every set of rows, or for a numerator's own
// levels those that hold the excitation's one row.
std::uint32_t MemoisedExpansion::levelPlaces(bool own, int order) const {
    return own && excitationRow_ != 0 ? binomials[n_ - 1][order - 1] : binomials[n_][order];
}

// Whether the memory holds every level the run keeps at once, judged before the first is
// made: the shared levels of the denominator, and two levels of a numerator's own.
bool MemoisedExpansion::levelsFit() const {
    std::size_t shared = 0;
    std::size_t ownPair = 0;
    for (int order = 1; order < n_; ++order) {
        shared += MinorCache::flatLevelBytes(levelPlaces(false, order), largestDegree_[order]);
        if (order == 1) continue;
        const std::size_t pair =
            MinorCache::flatLevelBytes(levelPlaces(true, order - 1), largestDegree_[order - 1]) +
            MinorCache::flatLevelBytes(levelPlaces(true, order), largestDegree_[order]);
        ownPair = std::max(ownPair, pair);
    }
    return cache_.hasRoomFor(shared + ownPair);
}

// The determinant under way, level by level. Numerator k shares the levels of order up to
// n − k (positions past k) with the denominator; its own levels above are let go as soon
// as the next one is done. The denominator computes numerator k ahead as soon as its level
// n − k is done, and lets each shared level go once the level above and that numerator no
// longer need it. False, with nothing counted and the levels of this determinant let go,
// when a level does not fit in memory.
bool MemoisedExpansion::expandByLevels(Polynomial& result, ProductCount& count) {
    const int list = replacedPosition_;
    int first = 1;
    int below = -1;
    if (list != 0 && n_ - list >= 1) {
        below = cache_.flatLevel(0, n_ - list);
        if (below < 0) return false;
        first = n_ - list + 1;
    }
    levelMinorsDone_ = 0;
    levelMinorsTotal_ = determinantPlaces(list);
    // A numerator's own minors all hold the excitation's row, when it has only one: they
    // are numbered without it, and the sets of rows without it are never visited.
    const int required = list != 0 ? excitationRow_ : 0;
    int belowRequired = 0;
    ProductCount levelCount = 0;
    for (int order = first; order < n_; ++order) {
        const LevelShape shape{list, order, required, belowRequired};
        if (!fillLevel(shape, below, nullptr, levelCount)) {
            closeLevels(list, first);
            return false;
        }
        if (order > first) cache_.closeFlatLevel(list, order - 1);
        if (list == 0 && !expandAhead(n_ - order)) {
            closeLevels(list, first);
            return false;
        }
        // Closing levels renumbers those left.
        below = cache_.flatLevel(list, order);
        belowRequired = required;
    }
    if (!fillLevel(LevelShape{list, n_, required, belowRequired}, below, &result, levelCount)) {
        closeLevels(list, first);
        return false;
    }
    closeLevels(list, first);
    count += levelCount;
    return true;
}

// The column list of numerator `list`: the excitation at position `list`.
std::array<int, SystemColumns> MemoisedExpansion::numeratorColumns(int list) const {
    std::array<int, SystemColumns> columns{};
    for (int p = 1; p <= n_; ++p)
        columns[p] = p;
    columns[list] = n_ + 1;
    return columns;
}

// Computes numerator `list` from the shared level it starts from, and keeps its result,
// count and the floating-point flags it raised for when it is asked for; the flags raised
// so far by the denominator stay as they were. False when a level does not fit.
bool MemoisedExpansion::expandAhead(int list) {
    struct Restore {
        MemoisedExpansion& self;
        std::array<int, SystemColumns> columns;
        int replaced;
        std::size_t done;
        std::size_t total;
        ~Restore() {
            self.columns_ = columns;
            self.replacedPosition_ = replaced;
            self.levelMinorsDone_ = done;
            self.levelMinorsTotal_ = total;
        }
    } restore{*this, columns_, replacedPosition_, levelMinorsDone_, levelMinorsTotal_};
    columns_ = numeratorColumns(list);
    replacedPosition_ = list;
    cache_.startDeterminant(list, n_ - list);
    Ahead& ahead = ahead_[list];
    ahead.count = 0;
    ahead.result = Polynomial{};
    ahead.result.coef.reserveDegree(std::max(n_, largestDegree_[n_]));
    std::fexcept_t denominatorFlags;
    std::fegetexceptflag(&denominatorFlags, FE_ALL_EXCEPT);
    std::feclearexcept(FE_ALL_EXCEPT);
    const bool done = expandByLevels(ahead.result, ahead.count);
    ahead.raised = std::fetestexcept(FE_ALL_EXCEPT);
    std::fesetexceptflag(&denominatorFlags, FE_ALL_EXCEPT);
    cache_.startDeterminant(0, n_);
    ahead.ready = done;
    return done;
}

// Gives numerator `list` computed ahead, if it was and for this column list, with its count
// and flags as if computed now.
bool MemoisedExpansion::takeAhead(Polynomial& result, const std::array<int, SystemColumns>& columns,
                                  int list) {
    if (list <= 0 || list >= SystemColumns) return false;
    Ahead& ahead = ahead_[list];
    if (!ahead.ready) return false;
    ahead.ready = false;
    const std::array<int, SystemColumns> expected = numeratorColumns(list);
    if (!std::equal(columns.begin() + 1, columns.begin() + n_ + 1, expected.begin() + 1))
        return false;
    // The coefficients and the degree, as the expansion itself writes them: the result's
    // other fields are the caller's.
    const int written = std::max(n_, ahead.result.degree);
    result.coef.reserveDegree(written);
    std::copy_n(ahead.result.coef.data(), written + 1, result.coef.data());
    result.degree = ahead.result.degree;
    multiplicationCount += ahead.count;
    ++levelDeterminants_;
    if (ahead.raised != 0) std::feraiseexcept(ahead.raised);
    return true;
}

// The minors a determinant computed level by level forms: every place of its levels, and
// the determinant itself.
std::size_t MemoisedExpansion::determinantPlaces(int list) const {
    const int first = list != 0 && n_ - list >= 1 ? n_ - list + 1 : 1;
    std::size_t places = 1;
    for (int order = first; order < n_; ++order)
        places += levelPlaces(list != 0, order);
    return places;
}

// Computes every minor of the level `shape` (the expansion column at position
// n − order + 1) from the flat level `below` of order one less, and stores them in a new
// flat level; or, for the order n, the determinant itself into `top`, its count added to
// `topCount`. Each minor is formed as the recursion forms it: along its first column, rows
// in ascending order, signs alternating over all its rows, terms with a zero entry or a
// zero minor skipped.
bool MemoisedExpansion::fillLevel(const LevelShape& shape, int below, Polynomial* top,
                                  ProductCount& topCount) {
    const int order = shape.order;
    const int position = n_ - order + 1;
    // The sets are numbered without the required row, if any.
    const int freeRows = shape.required != 0 ? n_ - 1 : n_;
    const int freeOrder = shape.required != 0 ? order - 1 : order;
    const std::uint32_t places = binomials[freeRows][freeOrder];

    int level = -1;
    if (!top) {
        level = cache_.openFlatLevel(shape.list, order, places, largestDegree_[order]);
        if (level < 0) return false;
    }
    // Every minor below is stored before this level reads them.
    MinorCache::FlatView children;
    if (order > 1 && !cache_.completeFlatLevel(below, children)) return false;
    Polynomial& minor = top ? *top : frames_[0].minor;
    std::array<std::uint32_t, SystemRows> childRank{};
    Mask numbered = ((Mask{1} << freeOrder) - 1) << 1;
    for (std::uint32_t rank = 0; rank < places; ++rank) {
        const Mask rows = shape.required != 0 ? withRow(numbered, shape.required) : numbered;
        if (rank + 1 < places) numbered = nextSetOfSameSize(numbered);
        ProductCount minorCount = 0;
        if (order == 1) {
            copyEntry(entry(std::countr_zero(rows), position), minor);
        } else {
            if (watch_ && order > SmallestStoredOrder) watch_->step();
            for (int i = 0; i <= order; ++i)
                minor.coef[i] = 0.0;
            minor.degree = 0;
            const int belowRequired = shape.belowRequired;
            rankChildren(belowRequired != 0 ? withoutRow(rows, belowRequired) : rows, childRank);
            int sign = 1;
            for (Mask left = rows; left; left &= left - 1, sign = -sign) {
                const int row = std::countr_zero(left);
                const MnaEntry& e = entry(row, position);
                if (isZero(e) || row == belowRequired) continue;
                const int place = belowRequired != 0 && row > belowRequired ? row - 1 : row;
                const MinorCache::Entry child = children[childRank[place]];
                minorCount += child.count();
                if (child.degree() > 0 || child.coef()[0] != 0.0) {
                    addProduct(sign, e, child.coef(), child.degree(), minor);
                    ++minorCount;
                }
            }
        }
        ++levelMinorsDone_;
        ++runMinorsDone_;
        if (top) {
            topCount += minorCount;
            return true;
        }
        if (!cache_.appendFlat(level, minor, minorCount)) return false;
    }
    return true;
}

void MemoisedExpansion::closeLevels(int list, int first) {
    for (int order = first; order < n_; ++order)
        cache_.closeFlatLevel(list, order);
}

bool MemoisedExpansion::runProgress(double& fraction) const {
    if (runMinorsTotal_ == 0) return false;
    fraction = static_cast<double>(std::min(runMinorsDone_, runMinorsTotal_)) /
               static_cast<double>(runMinorsTotal_);
    return true;
}

double MemoisedExpansion::progress() const {
    if (levelMinorsTotal_ != 0) {
        return static_cast<double>(levelMinorsDone_) / static_cast<double>(levelMinorsTotal_);
    }
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
    levelMinorsTotal_ = 0;
    if (takeAhead(result, columns, replacedPosition)) return;
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
    if (byLevels_ == ByLevels::Unjudged && replacedPosition == 0) {
        const bool dense = levelsAllowed_ && n_ >= SmallestOrderByLevels &&
                           mostlyReached(n_ / 2) && levelsFit();
        byLevels_ = dense ? ByLevels::Yes : ByLevels::No;
    }
    if (byLevels_ == ByLevels::Yes) {
        if (replacedPosition == 0) {
            runMinorsDone_ = 0;
            runMinorsTotal_ = 0;
            for (int list = 0; list <= n_; ++list)
                runMinorsTotal_ += determinantPlaces(list);
        }
        if (expandByLevels(result, count)) {
            multiplicationCount += count;
            ++levelDeterminants_;
            return;
        }
        // Out of memory for whole levels: the recursion and its table from here on, with
        // the room the shared levels took. Numerators already computed ahead stand.
        byLevels_ = ByLevels::No;
        levelMinorsTotal_ = 0;
        runMinorsTotal_ = 0;
        closeLevels(0, 1);
    }
    expand(0, positionsFrom(0, n_), matching, result, count);
    multiplicationCount += count;
}

}  // namespace corvane
