#include "minor_cache.h"

namespace corvane {

namespace {
constexpr int InitialSlotBits = 12;
}

MinorCache::MinorCache(std::size_t limitBytes) : limitBytes_(limitBytes) {
    if (sizeof(Slot) << InitialSlotBits <= limitBytes_) {
        slots_.resize(std::size_t{1} << InitialSlotBits);
        shift_ = 64 - InitialSlotBits;
    }
}

std::size_t MinorCache::bytes() const {
    return slots_.size() * sizeof(Slot) + blocks_.size() * BlockDoubles * sizeof(double);
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
        if (slot.key == key) {
            entry.coef = blocks_[slot.offset / BlockDoubles].get() + slot.offset % BlockDoubles;
            entry.degree = slot.degree;
            entry.count = slot.count;
            return true;
        }
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
        while (slots_[i].key != EmptyKey) i = (i + 1) & mask;
        slots_[i] = slot;
    }
    return true;
}

double* MinorCache::reserveCoefficients(int count, std::uint64_t& offset) {
    if (usedInLastBlock_ + static_cast<std::size_t>(count) > BlockDoubles) {
        if (bytes() + BlockDoubles * sizeof(double) > limitBytes_) return nullptr;
        blocks_.push_back(std::make_unique<double[]>(BlockDoubles));
        usedInLastBlock_ = 0;
    }
    offset = (blocks_.size() - 1) * BlockDoubles + usedInLastBlock_;
    double* coefficients = blocks_.back().get() + usedInLastBlock_;
    usedInLastBlock_ += static_cast<std::size_t>(count);
    return coefficients;
}

void MinorCache::insert(std::uint32_t key, const Polynomial& minor, ProductCount count) {
    if (slots_.empty() || ((entries_ + 1) * 2 > slots_.size() && !growTable())) {
        refused_ = true;
        return;
    }
    std::uint64_t offset = 0;
    double* coefficients = reserveCoefficients(minor.degree + 1, offset);
    if (!coefficients) {
        refused_ = true;
        return;
    }
    for (int i = 0; i <= minor.degree; ++i) coefficients[i] = minor.coef[i];
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = slotIndex(key);
    while (slots_[i].key != EmptyKey) i = (i + 1) & mask;
    slots_[i] = Slot{count, offset, key, minor.degree};
    ++entries_;
}

}  // namespace corvane
