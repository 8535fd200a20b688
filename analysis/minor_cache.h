// Minors of the cofactor expansion, remembered between the determinants of one run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "polynomial.h"

namespace corvane {

/// Products of an entry by a minor spent on one determinant. The plain expansion of a
/// dense 25 × 25 system needs about 2.7e25 of them, beyond any 64-bit integer.
using ProductCount = unsigned __int128;

/// A table from a minor's key to its polynomial, stored at its own degree, and the
/// products counted in the subtree that computed it. Memory is bounded: once the table
/// and its coefficient blocks reach the limit, lookups go on working and new minors are
/// refused. Memory comes in large blocks, never per minor.
class MinorCache {
public:
    explicit MinorCache(std::size_t limitBytes);

    struct Entry {
        const double* coef = nullptr;
        int degree = 0;
        ProductCount count = 0;
    };

    /// Finds the minor stored under `key`.
    bool find(std::uint32_t key, Entry& entry) const;
    /// Stores a minor that is not in the table yet, unless the memory limit forbids it.
    void insert(std::uint32_t key, const Polynomial& minor, ProductCount count);

    std::size_t entries() const { return entries_; }
    /// Bytes held by the table and the coefficient blocks.
    std::size_t bytes() const;
    /// Whether a minor was refused for lack of memory.
    bool full() const { return refused_; }

private:
    struct Slot {
        ProductCount count = 0;
        std::uint64_t offset = 0;  // of the coefficients in the blocks
        std::uint32_t key = EmptyKey;
        std::int32_t degree = 0;
    };
    static constexpr std::uint32_t EmptyKey = 0xffffffffu;
    static constexpr std::size_t BlockDoubles = std::size_t{1} << 20;  // 8 MiB per block

    std::size_t slotIndex(std::uint32_t key) const;
    bool growTable();
    double* reserveCoefficients(int count, std::uint64_t& offset);

    std::size_t limitBytes_;
    std::vector<Slot> slots_;
    std::size_t entries_ = 0;
    int shift_ = 0;
    std::vector<std::unique_ptr<double[]>> blocks_;
    std::size_t usedInLastBlock_ = BlockDoubles;
    bool refused_ = false;
};

}  // namespace corvane
