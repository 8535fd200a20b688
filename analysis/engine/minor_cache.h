// Minors of the cofactor expansion, remembered between the determinants of one run.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "expansion_counts.h"
#include "page_buffer.h"
#include "polynomial.h"

namespace corvane {

/// A table from a minor's key to its polynomial, stored at its own degree, and the
/// products counted in the subtree that computed it. Memory is bounded: the table and its
/// records never pass the limit. Memory comes in large blocks, never per minor.
///
/// When the memory runs out, the cache gives up whole orders of minors, the ones whose
/// loss costs the least work per byte, and keeps storing the others: a minor that is not
/// stored is expanded again from its children, which stay stored, so a cache somewhat too
/// small costs a bounded factor instead of expanding whole subtrees again and again. A
/// minor given up is gone from the table; every pointer handed out before then is stale,
/// which `generation` tells.
class MinorCache {
public:
    /// Minors below this order cost less to expand again than to look up in a large
    /// table, and they are the most numerous: they are expanded directly, never stored.
    static constexpr int SmallestStoredOrder = 4;

    /// The limit is held below 32 GiB, what the table's record numbers can address.
    explicit MinorCache(std::size_t limitBytes);

    /// A stored minor where it lies. Filled by find; left uninitialised otherwise, since
    /// arrays of them sit on the hot path of the expansion. Its fields are read only when
    /// the minor is used, so that the memory loads of the records found together overlap.
    class Entry {
    public:
        ProductCount count() const {
            return static_cast<ProductCount>(record_[1] >> 8 & CountHighMask) << 64 | record_[0];
        }
        int degree() const { return static_cast<int>(record_[1] & 0xff); }
        const double* coef() const {
            return reinterpret_cast<const double*>(record_ + RecordHeaderWords);
        }

    private:
        friend class MinorCache;
        const std::uint64_t* record_;
    };

    /// Finds the minor stored under `key` (any value below 2^30).
    bool find(std::uint32_t key, Entry& entry) const;
    /// Starts loading the table slot of `key`, so that a find soon after does not wait for
    /// memory.
    void prefetch(std::uint32_t key) const {
        if (slotCount_ != 0) __builtin_prefetch(&slotArray()[slotIndex(key)]);
    }
    /// Stores a minor of order `order` that is not in the table yet, unless its order is
    /// no longer stored or the memory cannot be made to hold it.
    void insert(std::uint32_t key, int order, const Polynomial& minor, ProductCount count);

    /// Says that the determinant about to be expanded asks only for minors of list `list`
    /// (0 for the denominator, k for numerator k) and of the shared list 0 up to order
    /// `largestSharedOrder`, and that the determinants after it ask for no others. The
    /// rest is dead weight from now on: in the table it stays findable, but is the first
    /// to go when memory is needed; flat levels (below) let it go at once. Every order may
    /// be stored again: what this determinant needs is judged afresh.
    void startDeterminant(int list, int largestSharedOrder);

    /// A whole level of minors (one column list, one order) may be kept in a flat array
    /// instead of the table: every set of `order` rows out of 1..rowCount has its place, at
    /// the set's rank among those sets (the combinatorial number system), so finding a
    /// minor costs one load and no search. It pays where nearly every set of rows is a
    /// minor asked for, as in dense systems; the array is counted whole against the limit.
    /// Flat levels are never looked for in the table, nor the table's minors in them.
    ///
    /// The memory of a closed level is kept for the next levels, instead of mapping fresh
    /// pages that the system must zero first: a level takes the smallest that holds it,
    /// or else the largest, grown, so that only the part beyond it is fresh. Such memory
    /// is counted against the limit, and it is the first to go whenever room is needed, so
    /// that every decision of the limit is the one taken without it.
    ///
    /// Opens the flat level of (`list`, `order`) with `places` places (C(rowCount, order),
    /// or fewer when the caller numbers only some of the sets), each with room for a
    /// polynomial of degree `largestDegree`, and returns its number; -1 when the array
    /// would not fit in the limit (after letting the dead minors go) or the level is open
    /// already.
    int openFlatLevel(int list, int order, std::size_t places, int largestDegree);
    /// The bytes that a flat level of `places` places for polynomials up to degree
    /// `largestDegree` takes from the limit.
    static std::size_t flatLevelBytes(std::size_t places, int largestDegree);
    /// Whether `more` bytes fit in the limit beside what is held now, the memory kept for
    /// reuse apart (it would make room).
    bool hasRoomFor(std::size_t more) const {
        const std::size_t held = bytes() - reusableBytes();
        return more <= limitBytes_ - std::min(limitBytes_, held);
    }
    /// Lets the flat level of (`list`, `order`) go, if there is one; its memory is kept
    /// for the levels after it.
    void closeFlatLevel(int list, int order);
    /// The flat level of (`list`, `order`), or -1. A number stays valid while no level is
    /// closed and `generation` does not change.
    int flatLevel(int list, int order) const { return flatIndex_[list][order]; }
    /// The records of a flat level, read in place by rank.
    class FlatView {
    public:
        /// The minor of rank `rank`.
        Entry operator[](std::uint32_t rank) const {
            Entry entry;
            entry.record_ = first_ + rank * stride_;
            return entry;
        }

    private:
        friend class MinorCache;
        const std::uint64_t* first_ = nullptr;
        std::size_t stride_ = 0;
    };
    /// Gives `view` the records of flat level `level`, if every place of it is stored: a
    /// level is filled in the order of its ranks, so its count alone tells, whatever an
    /// earlier level left in its memory. The view stays valid while the level is open.
    bool completeFlatLevel(int level, FlatView& view) const {
        const FlatLevel& flat = flatLevels_[static_cast<std::size_t>(level)];
        if (flat.entries != flat.places) return false;
        view.first_ = static_cast<const std::uint64_t*>(flat.memory.data());
        view.stride_ = flat.stride;
        return true;
    }
    /// Stores the minor of the next rank of flat level `level` (the number of minors it
    /// holds); false when it does not fit in its place (a count or a degree beyond what
    /// the level was opened for) or the level is full.
    bool appendFlat(int level, const Polynomial& minor, ProductCount count);

    /// Whether minors of this order are stored (and so worth looking up).
    bool storesOrder(int order) const { return (storedOrders_ >> order & 1) != 0; }
    /// Found minors of this order, counted by the caller, for the choice of what to give
    /// up when the memory runs out.
    void noteHits(int order, std::uint64_t hits) { levels_[order].hits += hits; }
    /// Changes whenever stored minors are given up: entries found before are then stale.
    std::uint64_t generation() const { return generation_; }

    std::size_t entries() const { return entries_ + flatEntries_; }
    /// Bytes held by the table, the record blocks and the flat levels, and the memory of
    /// closed levels kept for reuse.
    std::size_t bytes() const;
    /// The most bytes they held at any time.
    std::size_t peakBytes() const { return peakBytes_; }
    /// Whether the memory ran out: minors that may still be asked for were given up or
    /// refused.
    bool full() const { return full_; }
    /// How many orders of minors were given up to make room, over the run.
    int ordersGivenUp() const { return ordersGivenUp_; }
    /// How many times the records were compacted: dead minors let go, or an order given up.
    int compactions() const { return compactions_; }
    /// How many flat levels were opened on the memory of a closed one.
    int reusedLevels() const { return reusedLevels_; }
    /// The bytes that storing every minor of the run, none ever let go, would have taken.
    std::size_t wholeRunBytes() const;

private:
    // The table is small and dense, so a lookup touches one slot and then one record. A
    // slot holds its key plus one, so that the zeroed memory of a new table is all empty.
    struct Slot {
        std::uint32_t keyPlusOne;
        std::uint32_t record;  // block number << BlockBits | word within the block
    };
    // A record: the count's low word; then the degree in 8 bits, the count's high bits in
    // the next 24 and the key in the upper half (so that records can be moved and the table
    // made anew from them; a flat level's records, found by rank, leave it zero); then the
    // coefficients. (A subtree of a 25 × 25 system counts below 2^85 products.)
    static constexpr int RecordHeaderWords = 2;
    // Blocks start small, for the many small circuits, and double up to 8 MiB.
    static constexpr int BlockBits = 20;
    static constexpr std::size_t LargestBlockWords = std::size_t{1} << BlockBits;
    static constexpr std::size_t SmallestBlockWords = std::size_t{1} << 13;
    static constexpr int Orders = 32;
    static constexpr int CountHighBits = 24;
    static constexpr std::uint64_t CountHighMask = (std::uint64_t{1} << CountHighBits) - 1;

    // What the minors of one order hold and how often they were found again: in the
    // table's records, and in flat levels (counted apart, since compacting the records
    // leaves the flat levels where they are).
    struct Level {
        std::size_t entries = 0;
        std::size_t words = 0;
        std::uint64_t hits = 0;
        std::size_t flatEntries = 0;
        std::size_t flatBytes = 0;
    };
    struct FlatLevel {
        PageBuffer memory;
        std::size_t stride = 0;  // words per place
        int list = 0;
        int order = 0;
        std::size_t entries = 0;
        std::size_t places = 0;
        std::size_t bytes = 0;   // what the level takes: flatLevelBytes
        // The bytes of `memory` that may be resident: the level's own, or more when the
        // memory held a larger level before.
        std::size_t extent = 0;
    };
    // The memory of a closed level, kept for the next level that fits in it.
    struct SpareMemory {
        PageBuffer memory;
        std::size_t extent = 0;
    };
    // More spare regions than levels a numerator holds at once would be memory never used.
    static constexpr std::size_t MaxSpareRegions = Orders;

    std::size_t slotIndex(std::uint32_t key) const;
    bool growTable();
    std::uint64_t* reserveRecord(std::size_t words, std::uint32_t& record);
    bool makeRoom();
    bool deadOutweighLive() const;
    bool isDead(int list, int order) const {
        return (deadLists_ >> list & 1) != 0 || (list == 0 && order > largestLiveSharedOrder_);
    }
    std::size_t deadWords() const;
    void countRecord(int list, int order, std::size_t words);
    void notePeak() { peakBytes_ = std::max(peakBytes_, bytes()); }
    bool giveUpAnOrder();
    int cheapestOrderToGiveUp() const;
    double expansionWork(int order) const;
    void compactRecords();
    void rebuildTable();
    void placeInTable(std::uint32_t key, std::uint32_t record);
    const std::uint64_t* recordAt(std::uint32_t record) const {
        return static_cast<const std::uint64_t*>(blocks_[record >> BlockBits].data()) +
               (record & (LargestBlockWords - 1));
    }
    Slot* slotArray() const { return static_cast<Slot*>(table_.data()); }
    template <class Unwanted>
    bool releaseFlatLevels(Unwanted unwanted, bool keepMemory);
    bool releaseDeadFlatLevels(bool keepMemory);
    void indexFlatLevels();
    void keepSpare(FlatLevel&& flat);
    bool takeSpare(std::size_t levelBytes, FlatLevel& flat);
    bool growSpare(FlatLevel& flat);
    bool mapFreshLevel(FlatLevel& flat);
    std::size_t reusableBytes() const { return spareBytes_ + flatSurplus_; }
    bool releaseReusable();

    std::size_t limitBytes_;
    PageBuffer table_;
    std::size_t slotCount_ = 0;
    std::size_t entries_ = 0;
    int shift_ = 0;
    std::vector<PageBuffer> blocks_;
    /// Words in use in each block; records are appended to block currentBlock_.
    std::vector<std::size_t> usedWords_;
    std::size_t currentBlock_ = 0;
    std::size_t blockBytes_ = 0;
    std::array<Level, Orders> levels_{};
    std::uint32_t storedOrders_ = ~std::uint32_t{0};
    /// Lists (bit l: minors whose column list holds the excitation at position l, or the
    /// shared list for l = 0) that no determinant still to come asks for.
    std::uint32_t deadLists_ = 0;
    /// Minors of the shared list above this order are dead.
    int largestLiveSharedOrder_ = Orders;
    /// Record words of each list, and of the shared list by order.
    std::array<std::size_t, Orders> listWords_{};
    std::array<std::size_t, Orders> sharedWords_{};
    std::uint64_t generation_ = 0;
    std::size_t peakBytes_ = 0;
    std::vector<FlatLevel> flatLevels_;
    /// The number of the flat level of each (list, order), or -1.
    std::array<std::array<std::int8_t, Orders>, Orders> flatIndex_{};
    std::size_t flatBytes_ = 0;
    std::size_t flatEntries_ = 0;
    /// The bytes of the open flat levels beyond their own, from larger levels before.
    std::size_t flatSurplus_ = 0;
    std::vector<SpareMemory> spare_;
    std::size_t spareBytes_ = 0;
    int ordersGivenUp_ = 0;
    int compactions_ = 0;
    int reusedLevels_ = 0;
    std::size_t insertedEntries_ = 0;
    std::size_t insertedWords_ = 0;
    bool full_ = false;
};

}  // namespace corvane
