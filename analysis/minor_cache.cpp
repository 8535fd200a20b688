#include "minor_cache.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace corvane {

namespace {
constexpr int InitialSlotBits = 12;
// A record number holds 12 bits of block and 20 of word.
constexpr std::size_t MaxBlocks = 4096;
constexpr std::size_t AddressableBytes = (std::size_t{1} << 32) * sizeof(std::uint64_t);
}  // namespace

MinorCache::MinorCache(std::size_t limitBytes)
    : limitBytes_(std::min(limitBytes, AddressableBytes)) {
    if (sizeof(Slot) << InitialSlotBits <= limitBytes_) {
        slots_.resize(std::size_t{1} << InitialSlotBits);
        shift_ = 64 - InitialSlotBits;
    }
}

std::size_t MinorCache::bytes() const {
    return slots_.size() * sizeof(Slot) + blockBytes_;
}

std::size_t MinorCache::slotIndex(std::uint32_t key) const {
    return static_cast<std::size_t>((key * 0x9e3779b97f4a7c15ull) >> shift_);
}

bool MinorCache::find(std::uint32_t key, Entry& entry) const {
    if (slots_.empty()) return false;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = slotIndex(key);; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.key == EmptyKey) return false;
        if (slot.key != key) continue;
        const std::uint64_t* record = recordAt(slot.record);
        entry.count = (static_cast<ProductCount>(record[1]) << 64) | record[0];
        entry.degree = static_cast<int>(record[2]);
        entry.coef = reinterpret_cast<const double*>(record + RecordHeaderWords);
        return true;
    }
}

// Doubles the table when the limit allows the old and the new table side by side.
bool MinorCache::growTable() {
    const std::size_t newSize = slots_.size() * 2;
    if (bytes() + newSize * sizeof(Slot) > limitBytes_) return false;
    std::vector<Slot> old(newSize);
    old.swap(slots_);
    --shift_;
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.key == EmptyKey) continue;
        std::size_t i = slotIndex(slot.key);
        while (slots_[i].key != EmptyKey)
            i = (i + 1) & mask;
        slots_[i] = slot;
    }
    return true;
}

std::uint64_t* MinorCache::reserveRecord(std::size_t words, std::uint32_t& record) {
    if (usedInLastBlock_ + words > lastBlockWords_) {
        const std::size_t size =
            std::clamp(lastBlockWords_ * 2, SmallestBlockWords, LargestBlockWords);
        if (blocks_.size() == MaxBlocks) return nullptr;
        if (bytes() + size * sizeof(std::uint64_t) > limitBytes_) return nullptr;
        blocks_.push_back(std::make_unique_for_overwrite<std::uint64_t[]>(size));
        blockBytes_ += size * sizeof(std::uint64_t);
        lastBlockWords_ = size;
        usedInLastBlock_ = 0;
    }
    record = static_cast<std::uint32_t>(((blocks_.size() - 1) << BlockBits) | usedInLastBlock_);
    std::uint64_t* words_ = blocks_.back().get() + usedInLastBlock_;
    usedInLastBlock_ += words;
    return words_;
}

void MinorCache::insert(std::uint32_t key, const Polynomial& minor, ProductCount count) {
    if (slots_.empty() || ((entries_ + 1) * 2 > slots_.size() && !growTable())) {
        refused_ = true;
        return;
    }
    std::uint32_t record = 0;
    const std::size_t coefficients = static_cast<std::size_t>(minor.degree) + 1;
    std::uint64_t* words = reserveRecord(RecordHeaderWords + coefficients, record);
    if (!words) {
        refused_ = true;
        return;
    }
    words[0] = static_cast<std::uint64_t>(count);
    words[1] = static_cast<std::uint64_t>(count >> 64);
    words[2] = static_cast<std::uint64_t>(minor.degree);
    std::memcpy(words + RecordHeaderWords, minor.coef.data(), coefficients * sizeof(double));

    const std::size_t mask = slots_.size() - 1;
    std::size_t i = slotIndex(key);
    while (slots_[i].key != EmptyKey)
        i = (i + 1) & mask;
    slots_[i] = Slot{key, record};
    ++entries_;
}

}  // namespace corvane
