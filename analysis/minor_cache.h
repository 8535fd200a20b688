// Minors of the cofactor expansion, remembered between the determinants of one run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "page_buffer.h"
#include "polynomial.h"

namespace corvane {

/// Products of an entry by a minor spent on one determinant. The plain expansion of a
/// dense 25 × 25 system needs about 2.7e25 of them, beyond any 64-bit integer.
using ProductCount = unsigned __int128;

/// A table from a minor's key to its polynomial, stored at its own degree, and the
/// products counted in the subtree that computed it. Memory is bounded: once the table
/// and its records reach the limit, lookups go on working and new minors are refused.
/// Memory comes in large blocks, never per minor.
class MinorCache {
public:
    /// The limit is held below 32 GiB, what the table's record numbers can address.
    explicit MinorCache(std::size_t limitBytes);

    /// Filled by find; left uninitialised otherwise, since arrays of them sit on the hot
    /// path of the expansion.
    struct Entry {
        const double* coef;
        int degree;
        ProductCount count;
    };

    /// Finds the minor stored under `key` (any value below 2^31).
    bool find(std::uint32_t key, Entry& entry) const;
    /// Starts loading the table slot of `key`, so that a find soon after does not wait for
    /// memory.
    void prefetch(std::uint32_t key) const {
        if (slotCount_ != 0) __builtin_prefetch(&slotArray()[slotIndex(key)]);
    }
    /// Stores a minor that is not in the table yet, unless the memory limit forbids it.
    void insert(std::uint32_t key, const Polynomial& minor, ProductCount count);

    std::size_t entries() const { return entries_; }
    /// Bytes held by the table and the record blocks.
    std::size_t bytes() const;
    /// Whether a minor was refused for lack of memory.
    bool full() const { return refused_; }

private:
    // The table is small and dense, so a lookup touches one slot and then one record. A
    // slot holds its key plus one, so that the zeroed memory of a new table is all empty.
    struct Slot {
        std::uint32_t keyPlusOne;
        std::uint32_t record;  // block number << BlockBits | word within the block
    };
    // A record: the count's low word, then its high bits above the degree's 8 bits, then
    // the coefficients. (A subtree of a 25 × 25 system counts below 2^85 products.)
    static constexpr int RecordHeaderWords = 2;
    // Blocks start small, for the many small circuits, and double up to 8 MiB.
    static constexpr int BlockBits = 20;
    static constexpr std::size_t LargestBlockWords = std::size_t{1} << BlockBits;
    static constexpr std::size_t SmallestBlockWords = std::size_t{1} << 13;

    std::size_t slotIndex(std::uint32_t key) const;
    bool growTable();
    std::uint64_t* reserveRecord(std::size_t words, std::uint32_t& record);
    const std::uint64_t* recordAt(std::uint32_t record) const {
        return static_cast<const std::uint64_t*>(blocks_[record >> BlockBits].data()) +
               (record & (LargestBlockWords - 1));
    }
    Slot* slotArray() const { return static_cast<Slot*>(table_.data()); }

    std::size_t limitBytes_;
    PageBuffer table_;
    std::size_t slotCount_ = 0;
    std::size_t entries_ = 0;
    int shift_ = 0;
    std::vector<PageBuffer> blocks_;
    std::size_t blockBytes_ = 0;
    std::size_t lastBlockWords_ = 0;
    std::size_t usedInLastBlock_ = 0;
    bool refused_ = false;
};

}  // namespace corvane
