// Covers the flat levels of the minor cache on reused memory: the memory of a closed level
// serves the next level that fits, counted against the limit all the while; a level on
// such memory holds nothing until it is filled, whatever the earlier level left there, and
// reads back exactly what was stored; and when room is needed the kept memory goes first,
// so that a limit which holds the levels alone still holds them; a level larger than any
// kept region grows the largest.
#include "minor_cache.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "determinant.h"
#include "page_buffer.h"

namespace corvane {
namespace {

// Two levels of every size below are well under 2 MiB (no rounding to huge pages) and
// their limits over 2 MiB (the table at its first size).
struct LevelSize {
    std::size_t places;
    int degree;
    std::size_t bytes() const { return MinorCache::flatLevelBytes(places, degree); }
};
constexpr LevelSize Large{20000, 8};
constexpr LevelSize Medium{15000, 8};
constexpr LevelSize Small{20000, 4};

// The minor stored at `rank` of a level filled by `fill`, told apart by `seed`: degree
// `rank % (largest + 1)`, coefficients and a count past 64 bits that name the rank.
Polynomial minorAt(std::size_t rank, int largest, double seed) {
    Polynomial p;
    p.degree = static_cast<int>(rank % static_cast<std::size_t>(largest + 1));
    for (int i = 0; i <= p.degree; ++i)
        p.coef[i] = seed + static_cast<double>(rank) + 0.125 * i;
    return p;
}
ProductCount countAt(std::size_t rank) {
    return ProductCount{rank} << 70 | (rank * 3 + 1);
}

void fill(MinorCache& cache, int level, const LevelSize& size, double seed) {
    for (std::size_t rank = 0; rank < size.places; ++rank)
        ASSERT_TRUE(cache.appendFlat(level, minorAt(rank, size.degree, seed), countAt(rank)));
}

// A large level filled and closed: its memory kept for the levels after it.
void keepClosedLargeLevel(MinorCache& cache, double seed) {
    const int large = cache.openFlatLevel(1, 5, Large.places, Large.degree);
    ASSERT_GE(large, 0);
    fill(cache, large, Large, seed);
    cache.closeFlatLevel(1, 5);
}

// Whether every place of `level` reads back what `fill` stored there.
::testing::AssertionResult holdsWhatWasFilled(const MinorCache& cache, int level,
                                              const LevelSize& size, double seed) {
    MinorCache::FlatView view;
    if (!cache.completeFlatLevel(level, view)) return ::testing::AssertionFailure() << "incomplete";
    for (std::size_t rank = 0; rank < size.places; ++rank) {
        const MinorCache::Entry entry = view[static_cast<std::uint32_t>(rank)];
        const Polynomial expected = minorAt(rank, size.degree, seed);
        if (entry.degree() != expected.degree || entry.count() != countAt(rank) ||
            std::memcmp(entry.coef(), expected.coef.data(),
                        static_cast<std::size_t>(expected.degree + 1) * sizeof(double)) != 0) {
            return ::testing::AssertionFailure() << "rank " << rank;
        }
    }
    return ::testing::AssertionSuccess();
}

// A level opened on a closed level's memory: it reads as empty until filled (whatever the
// old records left there is no minor of it), then holds what was filled.
void expectEmptyUntilFilled(MinorCache& cache, int level, const LevelSize& size, double seed) {
    MinorCache::FlatView view;
    EXPECT_FALSE(cache.completeFlatLevel(level, view));
    fill(cache, level, size, seed);
    EXPECT_TRUE(holdsWhatWasFilled(cache, level, size, seed));
}

// What a cache holds before any minor: its table, at the size any of the limits below gives.
std::size_t emptyCacheBytes() {
    return MinorCache(DefaultCacheLimitBytes).bytes();
}

TEST(MinorCacheTest, AClosedLevelsMemoryServesTheNextAndStaysCounted) {
    MinorCache cache(DefaultCacheLimitBytes);
    const std::size_t table = cache.bytes();
    const int large = cache.openFlatLevel(1, 5, Large.places, Large.degree);
    ASSERT_GE(large, 0);
    fill(cache, large, Large, 1000.0);
    EXPECT_EQ(cache.bytes(), table + Large.bytes());
    cache.closeFlatLevel(1, 5);
    EXPECT_EQ(cache.flatLevel(1, 5), -1);
    // Kept for reuse, so still resident and counted, but no obstacle to what needs room.
    EXPECT_EQ(cache.bytes(), table + Large.bytes());
    EXPECT_TRUE(cache.hasRoomFor(DefaultCacheLimitBytes - table));

    // Another stride over the large level's records: none of them is a minor of the new one.
    const int small = cache.openFlatLevel(1, 6, Small.places, Small.degree);
    ASSERT_GE(small, 0);
    EXPECT_EQ(cache.reusedLevels(), 1);
    EXPECT_EQ(cache.bytes(), table + Large.bytes());
    expectEmptyUntilFilled(cache, small, Small, -7.0);
    // Full: no place past the last.
    EXPECT_FALSE(cache.appendFlat(small, minorAt(0, Small.degree, 0.0), 1));
}

// A level larger than every kept region takes the largest, grown: only the part beyond it
// is new, and what it held before is no minor of the new level.
TEST(MinorCacheTest, ALevelLargerThanTheKeptMemoryGrowsIt) {
    constexpr LevelSize Larger{60000, 8};
    MinorCache cache(DefaultCacheLimitBytes);
    const std::size_t table = cache.bytes();
    keepClosedLargeLevel(cache, 1000.0);
    const int larger = cache.openFlatLevel(1, 6, Larger.places, Larger.degree);
    ASSERT_GE(larger, 0);
    EXPECT_EQ(cache.reusedLevels(), 1);
    EXPECT_EQ(cache.bytes(), table + Larger.bytes());
    expectEmptyUntilFilled(cache, larger, Larger, 3.0);
}

// Growing keeps every byte the region held and gives zeroes after them, from nothing, from
// a few pages, and from whole huge pages to more of them.
TEST(PageBufferTest, GrowingKeepsTheContentsAndZeroesTheRest) {
    constexpr std::size_t MiB = std::size_t{1} << 20;
    const struct {
        std::size_t from;
        std::size_t to;
    } cases[] = {{0, MiB}, {64 << 10, 3 * MiB}, {2 * MiB, 6 * MiB}, {4 * MiB, 4 * MiB}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + " -> " + std::to_string(c.to));
        PageBuffer buffer(c.from);
        auto* bytes = static_cast<unsigned char*>(buffer.data());
        for (std::size_t i = 0; i < c.from; ++i)
            bytes[i] = static_cast<unsigned char>(i * 7 + 1);
        ASSERT_TRUE(buffer.grow(c.to));
        ASSERT_EQ(buffer.size(), c.to);
        bytes = static_cast<unsigned char*>(buffer.data());
        std::size_t wrong = 0;
        for (std::size_t i = 0; i < c.to; ++i)
            wrong += bytes[i] != (i < c.from ? static_cast<unsigned char>(i * 7 + 1) : 0);
        EXPECT_EQ(wrong, 0u);
    }
}

TEST(MinorCacheTest, KeptMemoryGoesFirstWhenALevelNeedsRoom) {
    const std::size_t table = emptyCacheBytes();
    // Room for one small and one large level: not while a closed small one is kept too.
    const std::size_t limit = table + Small.bytes() + Large.bytes();
    MinorCache cache(limit);
    ASSERT_EQ(cache.bytes(), table);
    const int first = cache.openFlatLevel(1, 4, Small.places, Small.degree);
    ASSERT_GE(first, 0);
    fill(cache, first, Small, 1.0);
    const int second = cache.openFlatLevel(1, 5, Small.places, Small.degree);
    ASSERT_GE(second, 0);
    fill(cache, second, Small, 2.0);
    cache.closeFlatLevel(1, 4);
    EXPECT_EQ(cache.bytes(), table + 2 * Small.bytes());
    EXPECT_TRUE(cache.hasRoomFor(Large.bytes()));

    const int large = cache.openFlatLevel(1, 6, Large.places, Large.degree);
    ASSERT_GE(large, 0);
    EXPECT_EQ(cache.bytes(), table + Small.bytes() + Large.bytes());
    EXPECT_LE(cache.peakBytes(), limit);
    EXPECT_TRUE(holdsWhatWasFilled(cache, cache.flatLevel(1, 5), Small, 2.0));
    EXPECT_FALSE(cache.full());
}

// A small level on a large level's memory counts the large one's pages; when room is
// needed, those beyond its own are given back and its minors stay.
TEST(MinorCacheTest, PagesBeyondALevelsOwnGoWhenRoomIsNeeded) {
    const std::size_t table = emptyCacheBytes();
    const std::size_t limit = table + Small.bytes() + Medium.bytes();
    ASSERT_GT(Large.bytes(), Small.bytes());
    ASSERT_LE(Large.bytes(), Small.bytes() + Medium.bytes());
    MinorCache cache(limit);
    ASSERT_EQ(cache.bytes(), table);
    keepClosedLargeLevel(cache, 3.0);
    const int small = cache.openFlatLevel(1, 6, Small.places, Small.degree);
    ASSERT_GE(small, 0);
    EXPECT_EQ(cache.bytes(), table + Large.bytes());
    fill(cache, small, Small, 4.0);

    const int medium = cache.openFlatLevel(1, 7, Medium.places, Medium.degree);
    ASSERT_GE(medium, 0);
    EXPECT_EQ(cache.bytes(), table + Small.bytes() + Medium.bytes());
    EXPECT_LE(cache.peakBytes(), limit);
    EXPECT_TRUE(holdsWhatWasFilled(cache, cache.flatLevel(1, 6), Small, 4.0));
    fill(cache, medium, Medium, 5.0);
    EXPECT_TRUE(holdsWhatWasFilled(cache, medium, Medium, 5.0));
}

// The table's records need room too: the kept memory goes before any minor is refused.
TEST(MinorCacheTest, KeptMemoryGoesFirstWhenTheTableNeedsRoom) {
    const std::size_t table = emptyCacheBytes();
    // Less than the first block of records beside the kept level.
    const std::size_t limit = table + Large.bytes() + (16 << 10);
    MinorCache cache(limit);
    ASSERT_EQ(cache.bytes(), table);
    keepClosedLargeLevel(cache, 6.0);

    const Polynomial minor = minorAt(5, 6, 0.5);
    cache.insert(0x1f, 5, minor, countAt(5));
    MinorCache::Entry entry;
    ASSERT_TRUE(cache.find(0x1f, entry));
    EXPECT_EQ(entry.degree(), minor.degree);
    EXPECT_EQ(entry.count(), countAt(5));
    EXPECT_FALSE(cache.full());
    EXPECT_LE(cache.peakBytes(), limit);
    EXPECT_LT(cache.bytes(), table + Large.bytes());
}

}  // namespace
}  // namespace corvane
