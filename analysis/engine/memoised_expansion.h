// The cofactor expansion with memoised minors. It performs, in effect, the same
// recursion as the plain expansion: along the first column of the list, rows in order,
// the same two prunings. At a given depth the column list is fixed, so a minor is a
// function of the set of rows that remain: computed once, it is stored with the number
// of products its subtree counted, and every later use adds that number. The results
// and the counts are therefore the plain expansion's, bit for bit.
//
// A minor whose pattern of non-zero entries has no perfect matching is zero, and the
// plain expansion reaches that zero without a single counted product: such minors are
// recognised by a matching repaired from the parent's and skipped without caching.
//
// A dense system reaches nearly every set of rows at every depth. There the determinants
// are computed level by level instead, from the minors of order 1 up: every minor of an
// order, in the order of the ranks of their sets of rows, each from its children in the
// level below, kept in flat arrays of the cache. A minor's value and count depend only on
// its set of rows and its column list, and each is formed by the same products summed in
// the same order as in the recursion; but a level is read in long runs instead of one
// hash search per use, and only two levels of a numerator's own are held at a time.
//
// Numerator k starts from the shared level of order n − k alone. Each numerator is
// therefore computed as soon as the denominator has made its level, and the shared level
// below let go: the run holds two shared levels at a time instead of all of them. Its
// result, count and floating-point flags wait until it is asked for, so that the caller
// sees each determinant as if computed in turn.
#pragma once

#include <array>
#include <cstdint>

#include "expansion_watch.h"
#include "minor_cache.h"
#include "mna.h"
#include "polynomial.h"

namespace corvane {

class MemoisedExpansion {
public:
    /// Expands determinants of order n of `matrix`, sharing `cache` between them.
    MemoisedExpansion(const SystemMatrix& matrix, int n, MinorCache& cache);

    /// result = the determinant of the n × n matrix with rows 1..n and, at position p,
    /// the column columns[p]. `replacedPosition` is 0 for the identity list, or k when
    /// position k holds the excitation column instead of column k: it tells which minors
    /// can be shared. Adds the products of the plain expansion to multiplicationCount.
    void expandDeterminant(Polynomial& result, const std::array<int, SystemColumns>& columns,
                           int replacedPosition);

    ProductCount multiplicationCount = 0;

    /// Whether dense systems may be computed level by level (the default); when not, every
    /// determinant goes through the recursion and the table.
    void setLevelsAllowed(bool allowed) { levelsAllowed_ = allowed; }

    /// Looked at on the way down the recursion; nothing when null.
    void setWatch(ExpansionWatch* watch) { watch_ = watch; }
    /// How far the determinant under way is, from 0 to 1, judged by the terms of the top
    /// two levels already done.
    double progress() const;
    /// How far the whole run is, from 0 to 1, when the determinants are computed level by
    /// level, the numerators ahead of their turn; false otherwise, when progress() is what
    /// tells.
    bool runProgress(double& fraction) const;
    /// How many determinants were computed level by level, whole levels of minors at a
    /// time, instead of by the recursion.
    int levelDeterminants() const { return levelDeterminants_; }

private:
    using Mask = std::uint32_t;  // bit r for row r, or bit p for position p (1..25)
    /// A perfect matching between a set of rows and the positions depth+1..n.
    struct Matching {
        std::array<std::int8_t, SystemColumns> rowOfPosition{};
        std::array<std::int8_t, SystemColumns> positionOfRow{};
    };

    void expand(int depth, Mask rows, const Matching& matching, Polynomial& result,
                ProductCount& count);
    Mask storedChildren(int depth, Mask rows, Mask terms) const;
    Mask findChildren(int depth, Mask rows, Mask candidates,
                      std::array<MinorCache::Entry, SystemRows>& cached);
    void expandDirectly(int depth, Mask rows, Polynomial& result, ProductCount& count);
    bool matchWithoutRow(int depth, const Matching& parent, Mask childRows, int removedRow,
                         Matching& child) const;
    bool augment(int row, Mask positions, Mask free, Mask& visited, Matching& matching) const;
    bool matchFromScratch(Matching& matching) const;
    bool matchRows(Mask rows, Mask positions, Matching& matching) const;
    bool mostlyReached(int depth) const;

    /// A level of minors computed whole: its column list and order, the row that each of
    /// its minors holds (0 for none), and the same for the level below.
    struct LevelShape {
        int list;
        int order;
        int required;
        int belowRequired;
    };
    bool expandByLevels(Polynomial& result, ProductCount& count);
    bool expandAhead(int list);
    bool takeAhead(Polynomial& result, const std::array<int, SystemColumns>& columns, int list);
    std::array<int, SystemColumns> numeratorColumns(int list) const;
    std::size_t determinantPlaces(int list) const;
    bool fillLevel(const LevelShape& shape, int below, Polynomial* top, ProductCount& topCount);
    int soleExcitationRow() const;
    std::uint32_t levelPlaces(bool own, int order) const;
    bool levelsFit() const;
    void closeLevels(int list, int first);
    std::uint32_t keyOf(int depth, Mask rows) const;
    bool reachableTwice(int depth, Mask rows) const;
    const MnaEntry& entry(int row, int position) const {
        return matrix_.at(row, columns_[position]);
    }

    /// The working storage of one level of the recursion, kept here so that no call sets
    /// up (or zeroes) its own.
    struct Frame {
        Polynomial minor;
        Matching childMatching;
        std::array<MinorCache::Entry, SystemRows> cached;
    };

    const SystemMatrix& matrix_;
    const int n_;
    MinorCache& cache_;
    std::array<int, SystemColumns> columns_{};
    int replacedPosition_ = 0;
    /// Positions (bit p) where row r holds a non-zero entry, for the current column list.
    std::array<Mask, SystemRows> nonZeroPositions_{};
    /// Rows (bit r) that hold a non-zero entry at position p.
    std::array<Mask, SystemColumns> nonZeroRows_{};
    /// Rows (bit r) that hold a non-zero entry in column c of the matrix.
    std::array<Mask, SystemColumns> rowsOfColumn_{};
    std::array<Frame, SystemColumns> frames_;
    ExpansionWatch* watch_ = nullptr;
    /// The most a minor's degree can reach, by order: the sum of the largest degrees of
    /// that many rows.
    std::array<int, SystemColumns> largestDegree_{};
    /// Whether the determinants are computed level by level: judged on the denominator,
    /// given up for the rest of the run when its levels do not fit in memory.
    enum class ByLevels { Unjudged, Yes, No };
    ByLevels byLevels_ = ByLevels::Unjudged;
    /// The one row with a non-zero entry in the excitation column, or 0 (see
    /// soleExcitationRow).
    int excitationRow_ = 0;
    int levelDeterminants_ = 0;
    bool levelsAllowed_ = true;
    /// Minors of the levels of the determinant under way, done and in all, for progress.
    std::size_t levelMinorsDone_ = 0;
    std::size_t levelMinorsTotal_ = 0;
    /// The same over the whole run, while the numerators are computed ahead (0: not).
    std::size_t runMinorsDone_ = 0;
    std::size_t runMinorsTotal_ = 0;
    /// A numerator computed ahead of its turn, by its replaced position.
    struct Ahead {
        bool ready = false;
        Polynomial result;
        ProductCount count = 0;
        int raised = 0;  // the floating-point flags it raised
    };
    std::array<Ahead, SystemColumns> ahead_{};
    /// The terms of the top two levels, and the one under way (a single bit), for progress.
    std::array<Mask, 2> progressTerms_{};
    std::array<Mask, 2> progressCurrent_{};
};

}  // namespace corvane
