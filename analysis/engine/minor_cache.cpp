#include "minor_cache.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

#include "run_state.h"

namespace corvane {

namespace {
constexpr int InitialSlotBits = 16;
constexpr int SmallestSlotBits = 8;
// A record number holds 12 bits of block and 20 of word.
constexpr std::size_t MaxBlocks = 4096;
constexpr std::size_t AddressableBytes = (std::size_t{1} << 32) * sizeof(std::uint64_t);

// The rows of a key are its low bits, one per variable; the column list is above them.
int orderOfKey(std::uint32_t key) {
    return std::popcount(key & ((std::uint32_t{1} << MaxVariables) - 1));
}
int listOfKey(std::uint32_t key) {
    return static_cast<int>(key >> MaxVariables);
}

// `bytes` rounded up to whole 2 MiB pages from 2 MiB on (which PageBuffer then maps as such).
std::size_t wholeHugePages(std::size_t bytes) {
    constexpr std::size_t HugePage = std::size_t{2} << 20;
    return bytes < HugePage ? bytes : (bytes + HugePage - 1) / HugePage * HugePage;
}
}  // namespace

MinorCache::MinorCache(std::size_t limitBytes)
    : limitBytes_(std::min(limitBytes, AddressableBytes)) {
    indexFlatLevels();
    // A small limit starts with a small table, so that the records keep most of it.
    int slotBits = InitialSlotBits;
    while (slotBits > SmallestSlotBits && sizeof(Slot) << (slotBits + 2) > limitBytes_)
        --slotBits;
    if (sizeof(Slot) << (slotBits + 1) > limitBytes_) return;
    table_ = PageBuffer(sizeof(Slot) << slotBits);
    if (!table_) return;
    slotCount_ = std::size_t{1} << slotBits;
    shift_ = 64 - slotBits;
    notePeak();
}

std::size_t MinorCache::bytes() const {
    return slotCount_ * sizeof(Slot) + blockBytes_ + flatBytes_ + spareBytes_;
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
        entry.record_ = recordAt(slot.record);
        __builtin_prefetch(entry.record_);
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
    PageBuffer old = std::exchange(table_, std::move(larger));
    const Slot* oldSlots = static_cast<const Slot*>(old.data());
    const std::size_t oldCount = slotCount_;
    slotCount_ = newCount;
    shift_ -= 2;
    notePeak();
    for (std::size_t j = 0; j < oldCount; ++j) {
        if (oldSlots[j].keyPlusOne != 0) placeInTable(oldSlots[j].keyPlusOne - 1, oldSlots[j].record);
    }
    return true;
}

void MinorCache::placeInTable(std::uint32_t key, std::uint32_t record) {
    const std::size_t mask = slotCount_ - 1;
    Slot* table = slotArray();
    std::size_t i = slotIndex(key);
    while (table[i].keyPlusOne != 0)
        i = (i + 1) & mask;
    table[i] = Slot{key + 1, record};
}

std::uint64_t* MinorCache::reserveRecord(std::size_t words, std::uint32_t& record) {
    for (;;) {
        if (currentBlock_ < blocks_.size()) {
            const std::size_t capacity = blocks_[currentBlock_].size() / sizeof(std::uint64_t);
            if (usedWords_[currentBlock_] + words <= capacity) break;
            if (currentBlock_ + 1 < blocks_.size()) {
                ++currentBlock_;
                continue;
            }
        }
        const std::size_t lastWords =
            blocks_.empty() ? 0 : blocks_.back().size() / sizeof(std::uint64_t);
        const std::size_t size = std::clamp(lastWords * 2, SmallestBlockWords, LargestBlockWords);
        if (blocks_.size() == MaxBlocks) return nullptr;
        if (bytes() + size * sizeof(std::uint64_t) > limitBytes_) return nullptr;
        // Memory already mapped and warm serves better than fresh pages, which cost a
        // fault each: the dead minors make room first once they are half of the records.
        if (deadOutweighLive()) return nullptr;
        PageBuffer block(size * sizeof(std::uint64_t));
        if (!block) return nullptr;
        blocks_.push_back(std::move(block));
        usedWords_.push_back(0);
        blockBytes_ += size * sizeof(std::uint64_t);
        currentBlock_ = blocks_.size() - 1;
        notePeak();
    }
    std::size_t& used = usedWords_[currentBlock_];
    record = static_cast<std::uint32_t>((currentBlock_ << BlockBits) | used);
    std::uint64_t* start = static_cast<std::uint64_t*>(blocks_[currentBlock_].data()) + used;
    used += words;
    return start;
}

void MinorCache::insert(std::uint32_t key, int order, const Polynomial& minor, ProductCount count) {
    if (count >> (64 + CountHighBits) != 0) return;  // beyond what a record holds
    const std::size_t words = RecordHeaderWords + static_cast<std::size_t>(minor.degree) + 1;
    std::uint32_t record = 0;
    std::uint64_t* start = nullptr;
    for (;;) {
        if (!storesOrder(order)) return;
        const bool tableHasRoom =
            slotCount_ != 0 && ((entries_ + 1) * 2 <= slotCount_ || growTable());
        if (tableHasRoom) start = reserveRecord(words, record);
        if (start) break;
        if (!makeRoom()) {
            full_ = true;
            return;
        }
    }
    start[0] = static_cast<std::uint64_t>(count);
    start[1] = static_cast<std::uint64_t>(key) << 32 |
               static_cast<std::uint64_t>(count >> 64) << 8 |
               static_cast<std::uint64_t>(minor.degree);
    std::memcpy(start + RecordHeaderWords, minor.coef.data(),
                (words - RecordHeaderWords) * sizeof(double));
    placeInTable(key, record);
    countRecord(listOfKey(key), order, words);
    ++insertedEntries_;
    insertedWords_ += words;
}

// Lets go the flat levels for which `unwanted` holds, their memory kept for reuse or given
// back; says whether there were any.
template <class Unwanted>
bool MinorCache::releaseFlatLevels(Unwanted unwanted, bool keepMemory) {
    const std::size_t before = flatLevels_.size();
    if (keepMemory) {
        for (FlatLevel& flat : flatLevels_) {
            if (unwanted(flat)) keepSpare(std::move(flat));
        }
        // What was kept left an empty buffer behind.
        std::erase_if(flatLevels_, [](const FlatLevel& flat) { return !flat.memory; });
    } else {
        std::erase_if(flatLevels_, unwanted);
    }
    if (flatLevels_.size() == before) return false;
    indexFlatLevels();
    return true;
}

// Keeps the memory of a closed level for the levels after it. Beyond a few regions the
// smallest goes, which the fewest levels could use.
void MinorCache::keepSpare(FlatLevel&& flat) {
    spareBytes_ += flat.extent;
    spare_.push_back(SpareMemory{std::move(flat.memory), flat.extent});
    if (spare_.size() <= MaxSpareRegions) return;
    const auto smallest = std::min_element(spare_.begin(), spare_.end(), [](const auto& a, const auto& b) {
        return a.memory.size() < b.memory.size();
    });
    spareBytes_ -= smallest->extent;
    spare_.erase(smallest);
}

// Gives `flat` the smallest spare region that holds `levelBytes`, if the limit allows the
// part of it not yet resident.
bool MinorCache::takeSpare(std::size_t levelBytes, FlatLevel& flat) {
    auto best = spare_.end();
    for (auto it = spare_.begin(); it != spare_.end(); ++it) {
        if (it->memory.size() < levelBytes) continue;
        if (best == spare_.end() || it->memory.size() < best->memory.size()) best = it;
    }
    if (best == spare_.end()) return false;
    const std::size_t extent = std::max(best->extent, levelBytes);
    if (bytes() - best->extent + extent > limitBytes_) return false;
    spareBytes_ -= best->extent;
    flat.memory = std::move(best->memory);
    flat.extent = extent;
    spare_.erase(best);
    ++reusedLevels_;
    return true;
}

// Gives `flat` the largest spare region, grown to the level's size: its pages serve again
// and only the rest is fresh. Levels grow toward the middle order, so that a closed level
// seldom holds the next one whole. Within the limit as takeSpare is.
bool MinorCache::growSpare(FlatLevel& flat) {
    const auto largest = std::max_element(spare_.begin(), spare_.end(), [](const auto& a, const auto& b) {
        return a.memory.size() < b.memory.size();
    });
    if (largest == spare_.end()) return false;
    if (bytes() - largest->extent + flat.bytes > limitBytes_) return false;
    if (!largest->memory.grow(flat.bytes)) return false;
    spareBytes_ -= largest->extent;
    flat.memory = std::move(largest->memory);
    flat.extent = flat.bytes;
    spare_.erase(largest);
    ++reusedLevels_;
    return true;
}

// Gives `flat` fresh memory of its own size, within the limit, making room as a level
// without reuse would; false when the limit or the system refuses it.
bool MinorCache::mapFreshLevel(FlatLevel& flat) {
    if (bytes() + flat.bytes > limitBytes_) {
        releaseReusable();
        if (bytes() + flat.bytes > limitBytes_) {
            // The dead minors of the table make room; live ones are never given up for a
            // flat level, which its caller can do without.
            if (deadWords() == 0) return false;
            ++generation_;
            compactRecords();
            rebuildTable();
            if (bytes() + flat.bytes > limitBytes_) return false;
        }
    }
    PageBuffer memory(flat.bytes);
    // The address space may lack room that the memory kept for reuse takes.
    if (!memory && releaseReusable()) memory = PageBuffer(flat.bytes);
    if (!memory) return false;
    flat.memory = std::move(memory);
    flat.extent = flat.bytes;
    return true;
}

// Lets go the memory kept for reuse, and the pages of open levels beyond their own, so
// that what is held is what the levels, the table and its records take; says whether
// anything went.
bool MinorCache::releaseReusable() {
    const std::size_t before = reusableBytes();
    if (before == 0) return false;
    spare_.clear();
    spareBytes_ = 0;
    for (FlatLevel& flat : flatLevels_) {
        if (flat.extent > flat.bytes && flat.memory.discardFrom(flat.bytes)) flat.extent = flat.bytes;
    }
    indexFlatLevels();
    // Pages the system would not take back are still held: no room was made by them.
    return reusableBytes() < before;
}

void MinorCache::startDeterminant(int list, int largestSharedOrder) {
    deadLists_ = ~((std::uint32_t{1} << list) | 1u);
    largestLiveSharedOrder_ = largestSharedOrder;
    storedOrders_ = ~std::uint32_t{0};
    // A flat level goes as a whole, no reason to wait; its memory serves the levels of
    // this determinant.
    releaseDeadFlatLevels(true);
}

int MinorCache::openFlatLevel(int list, int order, std::size_t places, int largestDegree) {
    if (list < 0 || list >= Orders || order < 1 || order >= Orders || places == 0 ||
        places > UINT32_MAX || largestDegree < 0 || largestDegree > 0xff ||
        flatIndex_[list][order] >= 0 || flatLevels_.size() >= static_cast<std::size_t>(INT8_MAX)) {
        return -1;
    }
    FlatLevel flat;
    flat.stride = RecordHeaderWords + static_cast<std::size_t>(largestDegree) + 1;
    flat.list = list;
    flat.order = order;
    flat.places = places;
    flat.bytes = flatLevelBytes(places, largestDegree);
    if (!takeSpare(flat.bytes, flat) && !growSpare(flat) && !mapFreshLevel(flat)) return -1;
    flatLevels_.push_back(std::move(flat));
    indexFlatLevels();
    notePeak();
    return flatIndex_[list][order];
}

std::size_t MinorCache::flatLevelBytes(std::size_t places, int largestDegree) {
    const std::size_t stride = RecordHeaderWords + static_cast<std::size_t>(largestDegree) + 1;
    // A level is read at many places across its whole length at once: whole huge pages
    // spare a page walk at nearly every read.
    return wholeHugePages(places * stride * sizeof(std::uint64_t));
}

void MinorCache::closeFlatLevel(int list, int order) {
    releaseFlatLevels(
        [&](const FlatLevel& flat) { return flat.list == list && flat.order == order; }, true);
}

bool MinorCache::appendFlat(int level, const Polynomial& minor, ProductCount count) {
    if (count >> (64 + CountHighBits) != 0) return false;  // beyond what a record holds
    FlatLevel& flat = flatLevels_[static_cast<std::size_t>(level)];
    const std::size_t words = RecordHeaderWords + static_cast<std::size_t>(minor.degree) + 1;
    if (minor.degree < 0 || words > flat.stride || flat.entries >= flat.places) return false;
    std::uint64_t* start =
        static_cast<std::uint64_t*>(flat.memory.data()) + flat.entries * flat.stride;
    // Which places are taken is told by the count of entries, never by the memory, which
    // may hold an earlier level's records: a mark there could be met by chance in a count
    // or a coefficient left at another stride.
    start[0] = static_cast<std::uint64_t>(count);
    start[1] = static_cast<std::uint64_t>(count >> 64) << 8 | static_cast<std::uint64_t>(minor.degree);
    std::memcpy(start + RecordHeaderWords, minor.coef.data(),
                (words - RecordHeaderWords) * sizeof(double));
    ++flat.entries;
    ++flatEntries_;
    ++levels_[flat.order].flatEntries;
    ++insertedEntries_;
    insertedWords_ += words;
    return true;
}

bool MinorCache::releaseDeadFlatLevels(bool keepMemory) {
    return releaseFlatLevels([this](const FlatLevel& flat) { return isDead(flat.list, flat.order); },
                             keepMemory);
}

// Numbers the flat levels afresh and counts what they hold.
void MinorCache::indexFlatLevels() {
    for (auto& orders : flatIndex_)
        orders.fill(-1);
    flatBytes_ = 0;
    flatEntries_ = 0;
    flatSurplus_ = 0;
    for (Level& level : levels_) {
        level.flatBytes = 0;
        level.flatEntries = 0;
    }
    for (std::size_t i = 0; i < flatLevels_.size(); ++i) {
        const FlatLevel& flat = flatLevels_[i];
        flatIndex_[flat.list][flat.order] = static_cast<std::int8_t>(i);
        flatBytes_ += flat.extent;
        flatEntries_ += flat.entries;
        flatSurplus_ += flat.extent - flat.bytes;
        levels_[flat.order].flatBytes += flat.extent;
        levels_[flat.order].flatEntries += flat.entries;
    }
}

std::size_t MinorCache::wholeRunBytes() const {
    std::size_t slots = std::size_t{1} << InitialSlotBits;
    while (insertedEntries_ * 2 > slots)
        slots *= 4;
    return slots * sizeof(Slot) + insertedWords_ * sizeof(std::uint64_t);
}

void MinorCache::countRecord(int list, int order, std::size_t words) {
    ++entries_;
    levels_[order].entries += 1;
    levels_[order].words += words;
    listWords_[list] += words;
    if (list == 0) sharedWords_[order] += words;
}

std::size_t MinorCache::deadWords() const {
    std::size_t dead = 0;
    for (int list = 1; list < Orders; ++list) {
        if (isDead(list, 0)) dead += listWords_[list];
    }
    for (int order = 0; order < Orders; ++order) {
        if (isDead(0, order)) dead += sharedWords_[order];
    }
    return dead;
}

bool MinorCache::deadOutweighLive() const {
    const std::size_t dead = deadWords();
    std::size_t all = 0;
    for (const Level& level : levels_)
        all += level.words;
    return dead > 0 && 2 * dead >= all;
}

// First the memory kept for reuse, then the minors that nobody will ask for again; then a
// whole order of minors.
bool MinorCache::makeRoom() {
    if (releaseReusable()) return true;
    if (releaseDeadFlatLevels(false)) {
        ++generation_;
        return true;
    }
    if (deadWords() != 0) {
        ++generation_;
        compactRecords();
        rebuildTable();
        return true;
    }
    return giveUpAnOrder();
}

// The work, in products, of expanding one minor of order m once: its m terms each need
// the minor one order down, found in the table when that order is stored, or expanded in
// turn. (A system without zeros is assumed: it is the dense systems that fill the memory.)
double MinorCache::expansionWork(int order) const {
    double work = 1.0;
    for (int m = 2; m <= order; ++m) {
        const bool belowFound = m - 1 >= SmallestStoredOrder && storesOrder(m - 1);
        work = m * (belowFound ? 1.0 : 1.0 + work);
    }
    return work;
}

// The order whose minors, if expanded again at every later use instead of stored, cost
// the least work per byte they free. Orders next to one given up already are taken only
// when no other is left: two orders given up in a row multiply each other's work.
int MinorCache::cheapestOrderToGiveUp() const {
    auto isolated = [this](int m) {
        const bool below = m - 1 < SmallestStoredOrder || storesOrder(m - 1);
        const bool above = m + 1 >= Orders || storesOrder(m + 1);
        return below && above;
    };
    int best = -1;
    double bestCost = 0.0;
    bool bestIsolated = false;
    for (int m = 0; m < Orders; ++m) {
        const Level& level = levels_[m];
        if (!storesOrder(m) || level.entries + level.flatEntries == 0) continue;
        const double freed = static_cast<double>(level.words * sizeof(std::uint64_t) +
                                                 2 * level.entries * sizeof(Slot) + level.flatBytes);
        const double cost = static_cast<double>(level.hits + 1) * expansionWork(m) / freed;
        const bool alone = isolated(m);
        if (best < 0 || (alone && !bestIsolated) || (alone == bestIsolated && cost < bestCost)) {
            best = m;
            bestCost = cost;
            bestIsolated = alone;
        }
    }
    return best;
}

bool MinorCache::giveUpAnOrder() {
    const int order = cheapestOrderToGiveUp();
    if (order < 0) return false;
    storedOrders_ &= ~(std::uint32_t{1} << order);
    full_ = true;
    ++ordersGivenUp_;
    ++generation_;
    releaseFlatLevels([this](const FlatLevel& flat) { return !storesOrder(flat.order); }, false);
    compactRecords();
    rebuildTable();
    return true;
}

// Slides the records of the orders still stored towards the first block, in place (a
// record never moves past where it was), and lets the blocks left empty go.
void MinorCache::compactRecords() {
    ++compactions_;
    for (Level& level : levels_) {
        level.entries = 0;
        level.words = 0;
    }
    listWords_.fill(0);
    sharedWords_.fill(0);
    entries_ = 0;
    std::size_t toBlock = 0;
    std::size_t toWord = 0;
    for (std::size_t b = 0; b < blocks_.size(); ++b) {
        std::uint64_t* const from = static_cast<std::uint64_t*>(blocks_[b].data());
        const std::size_t used = usedWords_[b];
        for (std::size_t w = 0; w < used;) {
            const std::uint64_t header = from[w + 1];
            const std::size_t words = RecordHeaderWords + (header & 0xff) + 1;
            const auto key = static_cast<std::uint32_t>(header >> 32);
            const int order = orderOfKey(key);
            const int list = listOfKey(key);
            if (storesOrder(order) && !isDead(list, order)) {
                countRecord(list, order, words);
                if (toWord + words > blocks_[toBlock].size() / sizeof(std::uint64_t)) {
                    usedWords_[toBlock] = toWord;
                    ++toBlock;
                    toWord = 0;
                }
                std::uint64_t* const to = static_cast<std::uint64_t*>(blocks_[toBlock].data());
                std::memmove(to + toWord, from + w, words * sizeof(std::uint64_t));
                toWord += words;
            }
            w += words;
        }
    }
    if (!blocks_.empty()) usedWords_[toBlock] = toWord;
    const std::size_t kept = blocks_.empty() ? 0 : toBlock + 1;
    while (blocks_.size() > kept) {
        blockBytes_ -= blocks_.back().size();
        blocks_.pop_back();
        usedWords_.pop_back();
    }
    currentBlock_ = kept == 0 ? 0 : kept - 1;
}

void MinorCache::rebuildTable() {
    std::memset(table_.data(), 0, slotCount_ * sizeof(Slot));
    for (std::size_t b = 0; b < blocks_.size(); ++b) {
        const std::uint64_t* const words = static_cast<const std::uint64_t*>(blocks_[b].data());
        for (std::size_t w = 0; w < usedWords_[b];) {
            const std::uint64_t header = words[w + 1];
            placeInTable(static_cast<std::uint32_t>(header >> 32),
                         static_cast<std::uint32_t>((b << BlockBits) | w));
            w += RecordHeaderWords + (header & 0xff) + 1;
        }
    }
}

}  // namespace corvane
