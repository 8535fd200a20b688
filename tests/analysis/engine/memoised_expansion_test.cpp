// Covers the memoised expansion against the plain one: the same polynomials bit for bit
// and the same product counts, on every test circuit and example and on seeded random
// sparse and dense systems; the fallback when the cache is full; counts beyond 64 bits;
// and dense systems computed level by level, against the plain expansion and the
// recursion, with the excitation in various rows, and their fallback to the recursion
// when the limit or the system refuses the memory for the levels.
#include "plain_expansion.h"
#include "memoised_expansion.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cfenv>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "determinant.h"
#include "recording_host.h"
#include "temp_dir.h"

namespace corvane {
namespace {

// Same degree and the same bits in every coefficient of the value.
::testing::AssertionResult sameBits(const Polynomial& a, const Polynomial& b) {
    if (a.degree != b.degree) {
        return ::testing::AssertionFailure() << "degree " << a.degree << " != " << b.degree;
    }
    for (int i = 0; i <= a.degree; ++i) {
        if (std::memcmp(&a.coef[i], &b.coef[i], sizeof(double)) != 0) {
            return ::testing::AssertionFailure()
                   << "coef[" << i << "] " << a.coef[i] << " != " << b.coef[i];
        }
    }
    if (std::memcmp(&a.constant, &b.constant, sizeof(double)) != 0) {
        return ::testing::AssertionFailure() << "constant " << a.constant << " != " << b.constant;
    }
    return ::testing::AssertionSuccess();
}

struct Computed {
    NetworkFunctions functions;
    ExpansionCounts counts;
};

Computed compute(const SystemMatrix& m, int n, ExpansionMethod method,
                 std::size_t cacheLimit = DefaultCacheLimitBytes) {
    Computed c;
    test::RecordingHost host;
    AnalysisLog quiet;
    c.counts = computeNetworkFunctions(m, n, c.functions, quiet, host,
                                       {method, wallClockSeconds, cacheLimit});
    return c;
}

void expectSameResults(const SystemMatrix& m, int n,
                       std::size_t cacheLimit = DefaultCacheLimitBytes) {
    const Computed plain = compute(m, n, ExpansionMethod::Plain);
    const Computed memo = compute(m, n, ExpansionMethod::Memoised, cacheLimit);
    EXPECT_TRUE(sameBits(plain.functions.denominator, memo.functions.denominator));
    EXPECT_EQ(formatCount(plain.counts.denominator), formatCount(memo.counts.denominator));
    for (int k = 1; k <= n; ++k) {
        EXPECT_TRUE(sameBits(plain.functions.numerator[k], memo.functions.numerator[k])) << k;
        EXPECT_EQ(formatCount(plain.counts.numerator[k]), formatCount(memo.counts.numerator[k]))
            << k;
    }
}

// Every determinant of `m` in the order a run takes them, by the memoised expansion
// alone, with or without whole levels.
struct Expanded {
    NetworkFunctions functions;
    std::array<ProductCount, MaxVariables + 1> counts{};  // 0: the denominator
    int levelDeterminants = 0;
    std::size_t peakBytes = 0;
    int reusedLevels = 0;
    std::array<bool, MaxVariables + 1> overflowed{};  // the flag, determinant by determinant
};

Expanded expandEvery(const SystemMatrix& m, int n, bool levels,
                     std::size_t limit = DefaultCacheLimitBytes) {
    Expanded e;
    MinorCache cache(limit);
    MemoisedExpansion expansion(m, n, cache);
    expansion.setLevelsAllowed(levels);
    std::array<int, SystemColumns> columns{};
    for (int i = 1; i <= n; ++i)
        columns[i] = i;
    std::feclearexcept(FE_ALL_EXCEPT);
    expansion.expandDeterminant(e.functions.denominator, columns, 0);
    e.overflowed[0] = std::fetestexcept(FE_OVERFLOW) != 0;
    e.counts[0] = expansion.multiplicationCount;
    for (int k = 1; k <= n; ++k) {
        columns[k - 1] = k - 1;
        columns[k] = n + 1;
        expansion.multiplicationCount = 0;
        e.functions.numerator[k].constant = 1.0;  // as a run sets it
        std::feclearexcept(FE_ALL_EXCEPT);
        expansion.expandDeterminant(e.functions.numerator[k], columns, k);
        e.overflowed[static_cast<std::size_t>(k)] = std::fetestexcept(FE_OVERFLOW) != 0;
        e.counts[k] = expansion.multiplicationCount;
    }
    e.levelDeterminants = expansion.levelDeterminants();
    e.peakBytes = cache.peakBytes();
    e.reusedLevels = cache.reusedLevels();
    return e;
}

void expectSameExpansions(const Expanded& a, const Expanded& b, int n) {
    EXPECT_TRUE(sameBits(a.functions.denominator, b.functions.denominator));
    EXPECT_EQ(formatCount(a.counts[0]), formatCount(b.counts[0]));
    for (int k = 1; k <= n; ++k) {
        EXPECT_TRUE(sameBits(a.functions.numerator[k], b.functions.numerator[k])) << k;
        EXPECT_EQ(formatCount(a.counts[k]), formatCount(b.counts[k])) << k;
    }
}

std::vector<std::filesystem::path> netlists() {
    std::vector<std::filesystem::path> files;
    for (const char* dir : {CORVANE_TEST_DATA_DIR, CORVANE_EXAMPLES_DIR}) {
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            if (entry.path().extension() == ".net") files.push_back(entry.path());
        }
    }
    return files;
}

TEST(MemoisedExpansionTest, MatchesThePlainExpansionOnEveryCircuit) {
    const auto files = netlists();
    ASSERT_GE(files.size(), 10u);
    for (const auto& file : files) {
        SCOPED_TRACE(file.string());
        test::TempDir dir;
        std::filesystem::copy_file(file, dir.file("c.net"));
        test::AnalysisFixture fixture;
        fixture.host.cancelWait = false;
        fixture.analysis.setEngineOptions({ExpansionMethod::Plain, wallClockSeconds});
        fixture.run(dir.file("c.net"));
        const SystemMatrix matrix = fixture.analysis.systemMatrix();
        expectSameResults(matrix, fixture.analysis.runState().variableCount);
    }
}

// Seeds come from CORVANE_SEED when set, so a failure can be replayed.
unsigned testSeed(unsigned fallback) {
    const char* text = std::getenv("CORVANE_SEED");
    return text ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : fallback;
}

// A random system of order n with the excitation in column n+1: each entry is non-zero
// with probability `density`, of degree 0 or 1, with small integers and fractions so
// that cancellations happen too.
SystemMatrix randomSystem(std::mt19937& random, int n, double density) {
    SystemMatrix m;
    std::bernoulli_distribution present(density);
    std::uniform_int_distribution<int> value(-4, 4);
    std::bernoulli_distribution dynamic(0.3);
    for (int r = 1; r <= n; ++r) {
        for (int c = 1; c <= n + 1; ++c) {
            MnaEntry& e = m.at(r, c);
            e = MnaEntry{};
            if (!present(random) && r != c) continue;
            e.s0 = value(random) / 4.0 + (r == c ? 2.0 : 0.0);
            if (dynamic(random)) e.s1 = value(random) * 0.37;
            e.degree = e.s1 != 0.0 ? 1 : 0;
        }
    }
    return m;
}

TEST(MemoisedExpansionTest, MatchesThePlainExpansionOnRandomSystems) {
    const unsigned seed = testSeed(20261208);
    std::mt19937 random(seed);
    SCOPED_TRACE("CORVANE_SEED=" + std::to_string(seed));
    struct Size {
        int n;
        double density;
        int count;
    };
    for (const Size size : {Size{2, 0.9, 20}, Size{3, 0.8, 20}, Size{5, 0.6, 20}, Size{8, 0.4, 10},
                            Size{12, 0.25, 6}, Size{14, 0.2, 3}, Size{18, 0.16, 2},
                            Size{20, 0.14, 2}, Size{7, 1.0, 2}, Size{8, 1.0, 1}, Size{9, 1.0, 1}}) {
        for (int i = 0; i < size.count; ++i) {
            SCOPED_TRACE("n = " + std::to_string(size.n) + ", density " +
                         std::to_string(size.density));
            expectSameResults(randomSystem(random, size.n, size.density), size.n);
        }
    }
}

TEST(MemoisedExpansionTest, AFullCacheGivesTheSameBits) {
    std::mt19937 random(testSeed(7));
    // No memory at all; room for the table only. (Room for part of the minors: below.)
    for (const std::size_t limit : {std::size_t{0}, std::size_t{40} << 10}) {
        const SystemMatrix m = randomSystem(random, 10, 0.5);
        expectSameResults(m, 10, limit);
        const Computed memo = compute(m, 10, ExpansionMethod::Memoised, limit);
        EXPECT_TRUE(memo.counts.cacheFull) << limit;
        EXPECT_LE(memo.counts.cacheBytes, limit);
    }
}

// Memory short of what storing every minor takes: the dead minors of finished
// determinants go first, then whole orders of minors; whatever is let go, the bits and
// the counts are the plain expansion's, and the memory never passes the limit. Both ways
// of making room must have been taken somewhere in the table, or it tests nothing.
TEST(MemoisedExpansionTest, ShortMemoryGivesTheSameBits) {
    std::mt19937 random(testSeed(18));
    struct Workload {
        const char* name;
        SystemMatrix matrix;
        int n;
    };
    const std::vector<Workload> workloads = {
        {"sem zeros, 9", randomSystem(random, 9, 1.0), 9},
        {"densidade 0,5, 12", randomSystem(random, 12, 0.5), 12},
        {"densidade 0,3, 15", randomSystem(random, 15, 0.3), 15},
    };
    int reclaimed = 0;
    int ordersGivenUp = 0;
    for (const Workload& w : workloads) {
        const std::size_t whole = compute(w.matrix, w.n, ExpansionMethod::Memoised).counts.cacheWholeRunBytes;
        const Computed plain = compute(w.matrix, w.n, ExpansionMethod::Plain);
        for (const double share : {1.0, 0.9, 0.5, 0.25, 0.1, 0.03}) {
            const auto limit = static_cast<std::size_t>(share * static_cast<double>(whole));
            SCOPED_TRACE(std::string(w.name) + ", " + std::to_string(limit) + " bytes");
            const Computed memo = compute(w.matrix, w.n, ExpansionMethod::Memoised, limit);
            EXPECT_TRUE(sameBits(plain.functions.denominator, memo.functions.denominator));
            EXPECT_EQ(formatCount(plain.counts.denominator), formatCount(memo.counts.denominator));
            for (int k = 1; k <= w.n; ++k) {
                EXPECT_TRUE(sameBits(plain.functions.numerator[k], memo.functions.numerator[k])) << k;
                EXPECT_EQ(formatCount(plain.counts.numerator[k]),
                          formatCount(memo.counts.numerator[k])) << k;
            }
            EXPECT_LE(memo.counts.cacheBytes, limit);
            reclaimed += memo.counts.cacheCompactions - memo.counts.cacheOrdersGivenUp;
            ordersGivenUp += memo.counts.cacheOrdersGivenUp;
        }
    }
    EXPECT_GT(reclaimed, 0);
    EXPECT_GT(ordersGivenUp, 0);
}

// Kibibytes of a field of /proc/self/status ("VmRSS:", "VmHWM:"), or -1.
long statusKiB(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) return std::strtol(line.c_str() + std::strlen(field), nullptr, 10);
    }
    return -1;
}

// How far the resident memory of a child process grows above where it stood while it
// computes every network function of `m` with `limit` bytes for minors, whole levels
// allowed or not; -1 on failure.
long residentGrowthKiB(const SystemMatrix& m, int n, std::size_t limit, bool levels) {
    int channel[2];
    if (pipe(channel) != 0) return -1;
    const pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        close(channel[0]);
        long growth = -1;
        // Writing 5 sets the peak back to the present size.
        std::ofstream("/proc/self/clear_refs") << "5";
        const long before = statusKiB("VmRSS:");
        if (before >= 0) {
            expandEvery(m, n, levels, limit);
            const long peak = statusKiB("VmHWM:");
            if (peak >= 0) growth = peak - before;
        }
        const bool written = write(channel[1], &growth, sizeof growth) == sizeof growth;
        _exit(written ? 0 : 1);
    }
    close(channel[1]);
    long growth = -1;
    const bool read_ = read(channel[0], &growth, sizeof growth) == sizeof growth;
    close(channel[0]);
    int status = 0;
    if (waitpid(child, &status, 0) != child || !read_ || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        return -1;
    }
    return growth;
}

// The limit holds for the memory the process really takes, not only for what the cache
// counts: a system that takes 24 MiB at ease by the recursion (and would take 80 MiB
// storing every minor) stays within 8 and 4 MiB plus the fixed overhead of the expansion,
// whole levels allowed (they do not fit: the recursion takes over).
TEST(MemoisedExpansionTest, ResidentMemoryStaysWithinTheLimit) {
    std::mt19937 random(testSeed(16));
    const int n = 16;
    const SystemMatrix m = randomSystem(random, n, 1.0);
    constexpr long OverheadKiB = 4 << 10;
    const long unbounded = residentGrowthKiB(m, n, DefaultCacheLimitBytes, false);
    ASSERT_GT(unbounded, 8 * 1024 + 2 * OverheadKiB) << "the workload is too small to tell";
    for (const std::size_t limit : {std::size_t{8} << 20, std::size_t{4} << 20}) {
        const long growth = residentGrowthKiB(m, n, limit, true);
        ASSERT_GE(growth, 0);
        EXPECT_LE(growth, static_cast<long>(limit >> 10) + OverheadKiB) << limit;
    }
}

TEST(MemoisedExpansionTest, SkipsStructurallySingularMinorsWithoutCaching) {
    // Rows 2 and 3 only reach column 3: every minor keeping both is singular.
    SystemMatrix m;
    const int n = 4;
    auto set = [&](int r, int c, double v) {
        m.at(r, c).s0 = v;
        m.at(r, c).degree = 0;
    };
    for (int c = 1; c <= n + 1; ++c)
        set(1, c, c);
    set(2, 3, 1);
    set(3, 3, 2);
    for (int c = 1; c <= n + 1; ++c)
        set(4, c, 1.0 / c);
    expectSameResults(m, n);
    const Computed memo = compute(m, n, ExpansionMethod::Memoised);
    EXPECT_TRUE(memo.functions.denominator.isZero());
    EXPECT_EQ(formatCount(memo.counts.denominator), "0");
}

TEST(MemoisedExpansionTest, CountsBeyondSixtyFourBitsExactly) {
    // A 21 × 21 matrix without zero entries costs the plain expansion E(21) products.
    const int n = 21;
    SystemMatrix m;
    std::mt19937 random(testSeed(21));
    std::uniform_real_distribution<double> value(0.5, 1.5);
    for (int r = 1; r <= n; ++r) {
        for (int c = 1; c <= n; ++c)
            m.at(r, c) = MnaEntry{value(random), 0.0, 0};
    }
    MinorCache cache(DefaultCacheLimitBytes);
    MemoisedExpansion expansion(m, n, cache);
    std::array<int, SystemColumns> columns{};
    for (int i = 1; i <= n; ++i)
        columns[i] = i;
    Polynomial d;
    expansion.expandDeterminant(d, columns, 0);

    ProductCount e = 0;
    for (int i = 2; i <= n; ++i)
        e = e * i + i;
    EXPECT_EQ(formatCount(expansion.multiplicationCount), formatCount(e));
    EXPECT_EQ(formatCount(e), "87788637532500240021");
    EXPECT_GT(expansion.multiplicationCount, static_cast<ProductCount>(INT64_MAX));
    char estimate[32];
    std::snprintf(estimate, sizeof estimate, "%Lg", expectedMultiplications(n));
    EXPECT_STREQ(estimate, "8.77886e+19");
}

// The excitation column of a random system, remade: non-zero in the given rows only.
void setExcitation(SystemMatrix& m, int n, const std::vector<int>& rows) {
    if (rows.empty()) return;
    for (int r = 1; r <= n; ++r)
        m.at(r, n + 1) = MnaEntry{};
    double value = 1.0;
    for (const int r : rows) {
        m.at(r, n + 1) = MnaEntry{value, 0.0, 0};
        value = -value * 0.5;
    }
}

struct DenseCase {
    const char* name;
    int n;
    double density;
    std::vector<int> excitationRows;  // empty: the random column as drawn
    bool levels;                      // whether the denominator must go level by level
};

// Dense systems go level by level; the bits and the counts are still the plain
// expansion's, whatever row or rows the excitation reaches (the numerators' own levels
// hold only the sets of rows with that row, when it is the only one).
TEST(MemoisedExpansionTest, LevelByLevelMatchesThePlainExpansion) {
    const unsigned seed = testSeed(20261209);
    std::mt19937 random(seed);
    SCOPED_TRACE("CORVANE_SEED=" + std::to_string(seed));
    const std::vector<DenseCase> cases = {
        {"sem zeros, excitação na linha 1", 10, 1.0, {1}, true},
        {"sem zeros, excitação na última linha", 10, 1.0, {10}, true},
        {"sem zeros, excitação em duas linhas", 10, 1.0, {2, 9}, true},
        {"densidade 0,75, excitação sorteada", 10, 0.75, {}, true},
    };
    for (const DenseCase& c : cases) {
        SCOPED_TRACE(c.name);
        SystemMatrix m = randomSystem(random, c.n, c.density);
        setExcitation(m, c.n, c.excitationRows);
        const Computed plain = compute(m, c.n, ExpansionMethod::Plain);
        const Computed memo = compute(m, c.n, ExpansionMethod::Memoised);
        EXPECT_EQ(memo.counts.levelDeterminants, c.levels ? c.n + 1 : 0);
        EXPECT_TRUE(sameBits(plain.functions.denominator, memo.functions.denominator));
        EXPECT_EQ(formatCount(plain.counts.denominator), formatCount(memo.counts.denominator));
        for (int k = 1; k <= c.n; ++k) {
            EXPECT_TRUE(sameBits(plain.functions.numerator[k], memo.functions.numerator[k])) << k;
            EXPECT_EQ(formatCount(plain.counts.numerator[k]), formatCount(memo.counts.numerator[k]))
                << k;
        }
    }
}

// The numerators' own levels are made on the memory of levels closed before them (the
// shared levels that have died, the previous numerator's own), at other strides (every row
// holds an entry of degree 1 somewhere, so the largest degree grows with the order), so
// over records that are no minors of theirs: the bits and the counts are still the plain
// expansion's.
TEST(MemoisedExpansionTest, LevelsOnTheMemoryOfClosedLevelsMatchThePlainExpansion) {
    const unsigned seed = testSeed(20261210);
    std::mt19937 random(seed);
    SCOPED_TRACE("CORVANE_SEED=" + std::to_string(seed));
    const std::vector<DenseCase> cases = {
        {"sem zeros, excitação na linha 1", 10, 1.0, {1}, true},
        {"sem zeros, excitação na linha 6", 10, 1.0, {6}, true},
        {"sem zeros, excitação em duas linhas", 10, 1.0, {3, 10}, true},
        {"densidade 0,8, excitação na última linha", 10, 0.8, {10}, true},
    };
    for (const DenseCase& c : cases) {
        SCOPED_TRACE(c.name);
        SystemMatrix m = randomSystem(random, c.n, c.density);
        setExcitation(m, c.n, c.excitationRows);
        const Computed plain = compute(m, c.n, ExpansionMethod::Plain);
        const Expanded levels = expandEvery(m, c.n, true);
        ASSERT_EQ(levels.levelDeterminants, c.n + 1);
        // Numerator k has k − 1 levels of its own, and the shared levels die as the run
        // goes: at least as many levels as the numerators have are on reused memory.
        EXPECT_GE(levels.reusedLevels, c.n * (c.n - 1) / 2);
        EXPECT_TRUE(sameBits(plain.functions.denominator, levels.functions.denominator));
        EXPECT_EQ(formatCount(plain.counts.denominator), formatCount(levels.counts[0]));
        for (int k = 1; k <= c.n; ++k) {
            EXPECT_TRUE(sameBits(plain.functions.numerator[k], levels.functions.numerator[k])) << k;
            EXPECT_EQ(formatCount(plain.counts.numerator[k]), formatCount(levels.counts[k])) << k;
        }
    }
}

std::size_t binomial(int n, int k) {
    std::size_t c = 1;
    for (int i = 1; i <= k; ++i)
        c = c * static_cast<std::size_t>(n - k + i) / static_cast<std::size_t>(i);
    return c;
}

// The denominator computes each numerator as soon as the shared level it starts from is
// made; a numerator whose excitation overflows every product must still raise its flag in
// its own turn, and none in the denominator's, as the recursion does determinant by
// determinant.
TEST(MemoisedExpansionTest, NumeratorsComputedAheadKeepTheirFlagsForTheirTurn) {
    std::mt19937 random(testSeed(1210));
    const int n = 14;
    SystemMatrix m = randomSystem(random, n, 1.0);
    setExcitation(m, n, {5});
    m.at(5, n + 1).s0 = 1e306;  // times any minor above a few hundred: past DBL_MAX
    const Expanded recursion = expandEvery(m, n, false);
    const Expanded levels = expandEvery(m, n, true);
    ASSERT_EQ(levels.levelDeterminants, n + 1);
    EXPECT_FALSE(recursion.overflowed[0]);
    for (int k = 0; k <= n; ++k)
        EXPECT_EQ(levels.overflowed[static_cast<std::size_t>(k)],
                  recursion.overflowed[static_cast<std::size_t>(k)])
            << k;
    EXPECT_GT(std::count(levels.overflowed.begin(), levels.overflowed.end(), true), n / 2);
}

TEST(MemoisedExpansionTest, ADenseRunHoldsTwoSharedLevelsAtATime) {
    std::mt19937 random(testSeed(1211));
    const int n = 16;
    const Expanded e = expandEvery(randomSystem(random, n, 1.0), n, true);
    ASSERT_EQ(e.levelDeterminants, n + 1);
    std::size_t allShared = 0;
    for (int order = 1; order < n; ++order)
        allShared += MinorCache::flatLevelBytes(binomial(n, order), order);
    // Two shared levels, a numerator's pair, the memory kept for reuse and the table: about
    // two thirds of what every shared level at once would take, without the rest.
    EXPECT_LT(e.peakBytes, allShared * 3 / 4);
}

// Dense in its first `denseColumns` columns, tridiagonal in the others: the levels near
// the top are dense, those near the bottom sparse.
SystemMatrix partlyDenseSystem(std::mt19937& random, int n, int denseColumns) {
    SystemMatrix m = randomSystem(random, n, 1.0);
    for (int r = 1; r <= n; ++r) {
        for (int c = denseColumns + 1; c <= n; ++c) {
            if (r - c > 1 || c - r > 1) m.at(r, c) = MnaEntry{};
        }
    }
    return m;
}

TEST(MemoisedExpansionTest, PartlyDenseSystemsMatchThePlainExpansion) {
    std::mt19937 random(testSeed(612));
    for (const int denseColumns : {4, 7}) {
        SCOPED_TRACE(denseColumns);
        const SystemMatrix m = partlyDenseSystem(random, 10, denseColumns);
        expectSameResults(m, 10);
        expectSameExpansions(expandEvery(m, 10, true), expandEvery(m, 10, false), 10);
    }
}

// Past the sizes the plain expansion can take, against the recursion, which the tests
// above hold to the plain expansion.
TEST(MemoisedExpansionTest, LevelByLevelMatchesTheRecursionOnLargerSystems) {
    const unsigned seed = testSeed(1416);
    std::mt19937 random(seed);
    SCOPED_TRACE("CORVANE_SEED=" + std::to_string(seed));
    enum Levels { Never, Always, Either };
    struct Case {
        const char* name;
        SystemMatrix matrix;
        int n;
        Levels levels;
    };
    auto withExcitation = [](SystemMatrix m, int n, const std::vector<int>& rows) {
        setExcitation(m, n, rows);
        return m;
    };
    const std::vector<Case> cases = {
        {"sem zeros, 14, linha 1", withExcitation(randomSystem(random, 14, 1.0), 14, {1}), 14, Always},
        {"sem zeros, 16, linha 8", withExcitation(randomSystem(random, 16, 1.0), 16, {8}), 16, Always},
        {"sem zeros, 15, duas linhas", withExcitation(randomSystem(random, 15, 1.0), 15, {4, 15}), 15,
         Always},
        {"densidade 0,6, 14", randomSystem(random, 14, 0.6), 14, Either},
        {"metade densa, 14", partlyDenseSystem(random, 14, 7), 14, Either},
        {"densidade 0,2, 16", randomSystem(random, 16, 0.2), 16, Never},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Expanded byLevels = expandEvery(c.matrix, c.n, true);
        const Expanded recursion = expandEvery(c.matrix, c.n, false);
        EXPECT_EQ(recursion.levelDeterminants, 0);
        if (c.levels != Either) {
            EXPECT_EQ(byLevels.levelDeterminants, c.levels == Always ? c.n + 1 : 0);
        }
        expectSameExpansions(byLevels, recursion, c.n);
    }
}

// Levels are made only when the memory holds all the run keeps of them at once; short of
// that, the recursion and its table, within the limit.
TEST(MemoisedExpansionTest, LevelsThatDoNotFitLeaveItToTheRecursion) {
    std::mt19937 random(testSeed(1414));
    const int n = 12;
    const SystemMatrix m = randomSystem(random, n, 1.0);
    const Expanded reference = expandEvery(m, n, false);
    const Computed roomy = compute(m, n, ExpansionMethod::Memoised);
    ASSERT_EQ(roomy.counts.levelDeterminants, n + 1);
    for (const std::size_t limit : {roomy.counts.cacheBytes / 2, roomy.counts.cacheBytes / 4}) {
        SCOPED_TRACE(limit);
        const Computed memo = compute(m, n, ExpansionMethod::Memoised, limit);
        EXPECT_EQ(memo.counts.levelDeterminants, 0);
        EXPECT_LE(memo.counts.cacheBytes, limit);
        EXPECT_TRUE(sameBits(reference.functions.denominator, memo.functions.denominator));
        EXPECT_EQ(formatCount(reference.counts[0]), formatCount(memo.counts.denominator));
        for (int k = 1; k <= n; ++k) {
            EXPECT_TRUE(sameBits(reference.functions.numerator[k], memo.functions.numerator[k])) << k;
            EXPECT_EQ(formatCount(reference.counts[k]), formatCount(memo.counts.numerator[k])) << k;
        }
    }
}

// A level whose memory the system refuses, halfway through the denominator, although the
// limit allowed it: the levels made so far are let go and the recursion computes the
// same bits; the numerators computed ahead before it stand. (In a child process whose
// address space is held to a few megabytes more than it uses.)
TEST(MemoisedExpansionTest, ALevelTheSystemRefusesLeavesItToTheRecursion) {
    std::mt19937 random(testSeed(1616));
    const int n = 16;
    const SystemMatrix m = randomSystem(random, n, 1.0);
    const Expanded reference = expandEvery(m, n, false);
    int channel[2];
    ASSERT_EQ(pipe(channel), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(channel[0]);
        // 0: same results, a level refused; 1: no level refused; 2: different results;
        // 3: no limit.
        char verdict = 3;
        const long sizeKiB = statusKiB("VmSize:");
        const rlimit limit{static_cast<rlim_t>(sizeKiB + 3 * 1024) << 10,
                           static_cast<rlim_t>(sizeKiB + 3 * 1024) << 10};
        if (sizeKiB > 0 && setrlimit(RLIMIT_AS, &limit) == 0) {
            const Expanded e = expandEvery(m, n, true);
            bool same = sameBits(e.functions.denominator, reference.functions.denominator) &&
                        e.counts[0] == reference.counts[0];
            for (int k = 1; k <= n; ++k) {
                same = same && sameBits(e.functions.numerator[k], reference.functions.numerator[k]) &&
                       e.counts[k] == reference.counts[k];
            }
            verdict = !same ? 2 : e.levelDeterminants == n + 1 ? 1 : 0;
        }
        const bool written = write(channel[1], &verdict, 1) == 1;
        _exit(written ? 0 : 1);
    }
    close(channel[1]);
    char verdict = -1;
    const bool read_ = read(channel[0], &verdict, 1) == 1;
    close(channel[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(read_ && WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(verdict, 0);
}

}  // namespace
}  // namespace corvane
