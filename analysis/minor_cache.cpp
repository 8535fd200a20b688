#include "minor_cache.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

namespace corvane {

namespace {
constexpr int InitialSlotBits = 16;
// A record number holds 12 bits of block and 20 of word.
constexpr std::size_t MaxBlocks = 4096;
constexpr std::size_t AddressableBytes = (std::size_t{1} << 32) * sizeof(std::uint64_t);
}  // namespace

MinorCache::MinorCache(std::size_t limitBytes)
    : limitBytes_(std::min(limitBytes, AddressableBytes)) {
    if (sizeof(Slot) << InitialSlotBits > limitBytes_) return;
    table_ = PageBuffer(sizeof(Slot) << InitialSlotBits);
    if (!table_) return;
    slotCount_ = std::size_t{1} << InitialSlotBits;
    shift_ = 64 - InitialSlotBits;
}

std::size_t MinorCache::bytes() const {
    return slotCount_ * sizeof(Slot) + blockBytes_;
}

std::size_t MinorCache::slotIndex(std::uint32_t key) const {
    return static_cast<std::size_t>((key * 0x9e3779b97f4a7c15ull) >> shift_);
}

bool MinorCache::find(std::uint32_t key, Entry& entry) const {
    if (slotCount_ == 0) return false;
    const std::size_t mask = slotCount_ - 1;
    const Slot* table = slotArray();
    for (std::size_t i = slotIndex(key);; i = (i + 1) & mask) {
        const Slot& slot = table[i];
        if (slot.keyPlusOne == 0) return false;
        if (slot.keyPlusOne != key + 1) continue;
        const std::uint64_t* record = recordAt(slot.record);
        entry.count = (static_cast<ProductCount>(record[1] >> 8) << 64) | record[0];
        entry.degree = static_cast<int>(record[1] & 0xff);
        entry.coef = reinterpret_cast<const double*>(record + RecordHeaderWords);
        return true;
    }
}

// Makes the table four times larger when the limit allows the old and the new table side
// by side.
bool MinorCache::growTable() {
    const std::size_t newCount = slotCount_ * 4;
    if (bytes() + newCount * sizeof(Slot) > limitBytes_) return false;
    PageBuffer larger(newCount * sizeof(Slot));
    if (!larger) return false;
    Slot* fresh = static_cast<Slot*>(larger.data());
    const Slot* old = slotArray();
    const int newShift = shift_ - 2;
    const std::size_t mask = newCount - 1;
    for (std::size_t j = 0; j < slotCount_; ++j) {
        if (old[j].keyPlusOne == 0) continue;
        const std::uint64_t hash = ((old[j].keyPlusOne - 1) * 0x9e3779b97f4a7c15ull) >> newShift;
        std::size_t i = static_cast<std::size_t>(hash);
        while (fresh[i].keyPlusOne != 0)
            i = (i + 1) & mask;
        fresh[i] = old[j];
    }
    table_ = std::move(larger);
    slotCount_ = newCount;
    shift_ = newShift;
    return true;
}

std::uint64_t* MinorCache::reserveRecord(std::size_t words, std::uint32_t& record) {
    if (usedInLastBlock_ + words > lastBlockWords_) {
        const std::size_t size =
            std::clamp(lastBlockWords_ * 2, SmallestBlockWords, LargestBlockWords);
        if (blocks_.size() == MaxBlocks) return nullptr;
        if (bytes() + size * sizeof(std::uint64_t) > limitBytes_) return nullptr;
        PageBuffer block(size * sizeof(std::uint64_t));
        if (!block) return nullptr;
        blocks_.push_back(std::move(block));
        blockBytes_ += size * sizeof(std::uint64_t);
        lastBlockWords_ = size;
        usedInLastBlock_ = 0;
    }
    record = static_cast<std::uint32_t>(((blocks_.size() - 1) << BlockBits) | usedInLastBlock_);
    std::uint64_t* start = static_cast<std::uint64_t*>(blocks_.back().data()) + usedInLastBlock_;
    usedInLastBlock_ += words;
    return start;
}

void MinorCache::insert(std::uint32_t key, const Polynomial& minor, ProductCount count) {
    if (count >> 120 != 0) return;  // beyond what a record holds; never for 25 unknowns
    if (slotCount_ == 0 || ((entries_ + 1) * 2 > slotCount_ && !growTable())) {
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
    words[1] =
        static_cast<std::uint64_t>(count >> 64) << 8 | static_cast<std::uint64_t>(minor.degree);
    std::memcpy(words + RecordHeaderWords, minor.coef.data(), coefficients * sizeof(double));

    const std::size_t mask = slotCount_ - 1;
    Slot* table = slotArray();
    std::size_t i = slotIndex(key);
    while (table[i].keyPlusOne != 0)
        i = (i + 1) & mask;
    table[i] = Slot{key + 1, record};
    ++entries_;
}

}  // namespace corvane
