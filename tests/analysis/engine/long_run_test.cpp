// Covers what a long analysis shows and how it stops: the warning that the memory for
// minors ran out (once, with its size, the results unchanged), a cache that grows with
// use, the progress shown to the host, and a run cancelled from the progress or by a
// request (nothing saved, the previous result files whole, the next run normal).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <numeric>
#include <string>
#include <vector>

#include "minor_cache.h"
#include "memory_size.h"
#include "dense_netlist.h"
#include "determinant.h"
#include "recording_host.h"
#include "temp_dir.h"

namespace corvane {
namespace {

using Lines = std::vector<std::string>;

const std::string FullCacheWarning40KiB =
    "Aviso: a memória para menores (40 KiB) se esgotou; a análise continua sem guardá-los e "
    "pode demorar muito.";

long fixedClock() {
    return 0;
}

std::size_t countOf(const Lines& lines, const std::string& line) {
    return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
}

bool sameBits(const Polynomial& a, const Polynomial& b) {
    return a.degree == b.degree &&
           std::memcmp(a.coef.data(), b.coef.data(), sizeof(double) * (a.degree + 1)) == 0;
}

std::vector<std::string> resultFiles(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().extension() != ".net") names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(LongRunTest, FormatsMemorySizesAsTheWarningShowsThem) {
    EXPECT_EQ(formatMemorySize(std::size_t{2048} << 20), "2048 MiB");
    EXPECT_EQ(formatMemorySize(std::size_t{1} << 20), "1 MiB");
    EXPECT_EQ(formatMemorySize(std::size_t{40} << 10), "40 KiB");
    EXPECT_EQ(formatMemorySize(100), "100 bytes");
    EXPECT_EQ(formatMemorySize(0), "0 MiB");
}

TEST(LongRunTest, AFullCacheIsReportedOnceWithItsSizeAndChangesNoResult) {
    test::TempDir dir;
    const std::string path = dir.write("densa.net", test::denseRcNetlist(9));

    test::AnalysisFixture plain;
    plain.host.details = true;
    plain.analysis.setEngineOptions({ExpansionMethod::Plain, fixedClock});
    const Lines reference = plain.run(path);
    ASSERT_EQ(plain.outcome, RunOutcome::Succeeded);
    EXPECT_EQ(countOf(reference, FullCacheWarning40KiB), 0u);

    test::AnalysisFixture small;
    small.host.details = true;
    small.analysis.setEngineOptions({ExpansionMethod::Memoised, fixedClock, std::size_t{40} << 10});
    const Lines lines = small.run(path);
    ASSERT_EQ(small.outcome, RunOutcome::Succeeded);
    EXPECT_TRUE(small.analysis.lastCounts().cacheFull);
    EXPECT_EQ(countOf(lines, FullCacheWarning40KiB), 1u);
    // Apart from the warning, the log is the plain expansion's, counts included.
    Lines withoutWarning = lines;
    std::erase(withoutWarning, FullCacheWarning40KiB);
    EXPECT_EQ(withoutWarning, reference);
    const int n = small.analysis.runState().variableCount;
    EXPECT_TRUE(sameBits(small.analysis.networkFunctions().denominator,
                         plain.analysis.networkFunctions().denominator));
    for (int k = 1; k <= n; ++k) {
        EXPECT_TRUE(sameBits(small.analysis.networkFunctions().numerator[k],
                             plain.analysis.networkFunctions().numerator[k]))
            << k;
    }
    // The warning comes right before the count of the determinant that filled the cache.
    const auto warning = std::find(lines.begin(), lines.end(), FullCacheWarning40KiB);
    ASSERT_NE(warning + 1, lines.end());
    EXPECT_NE((warning + 1)->find("Multiplicações no cálculo do"), std::string::npos);
}

TEST(LongRunTest, EnoughMemoryGivesNoWarning) {
    test::TempDir dir;
    test::AnalysisFixture f;
    const Lines lines = f.run(dir.write("densa.net", test::denseRcNetlist(9)));
    ASSERT_EQ(f.outcome, RunOutcome::Succeeded);
    EXPECT_FALSE(f.analysis.lastCounts().cacheFull);
    for (const std::string& line : lines)
        EXPECT_EQ(line.find("Aviso: a memória"), std::string::npos) << line;
}

TEST(LongRunTest, TheCacheGrowsWithUse) {
    // A limit of 2 GiB sets up a table of half a megabyte and no record block.
    const MinorCache cache(DefaultCacheLimitBytes);
    EXPECT_LE(cache.bytes(), std::size_t{512} << 10);
    EXPECT_EQ(cache.entries(), 0u);
    // A small circuit's whole run holds a few hundred kilobytes of minors.
    test::TempDir dir;
    test::AnalysisFixture f;
    f.run(dir.write("densa.net", test::denseRcNetlist(8)));
    ASSERT_EQ(f.outcome, RunOutcome::Succeeded);
    EXPECT_GT(f.analysis.lastCounts().cachedMinors, 0u);
    EXPECT_LE(f.analysis.lastCounts().cacheBytes, std::size_t{1} << 20);
}

EngineOptions showAtOnce(ExpansionMethod method = ExpansionMethod::Memoised) {
    EngineOptions options;
    options.method = method;
    options.clock = fixedClock;
    options.progressDelay = std::chrono::milliseconds{0};
    options.progressInterval = std::chrono::milliseconds{0};
    return options;
}

TEST(LongRunTest, ProgressGrowsFromZeroToOneAndEndsOnce) {
    test::TempDir dir;
    test::AnalysisFixture f;
    f.analysis.setEngineOptions(showAtOnce());
    f.run(dir.write("densa.net", test::denseRcNetlist(13)));
    ASSERT_EQ(f.outcome, RunOutcome::Succeeded);
    // A dense network: every determinant computed level by level.
    EXPECT_EQ(f.analysis.lastCounts().levelDeterminants, f.analysis.runState().variableCount + 1);
    const std::vector<double>& shown = f.host.progress;
    ASSERT_GE(shown.size(), 2u);
    EXPECT_GE(shown.front(), 0.0);
    EXPECT_LE(shown.back(), 1.0);
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()));
    EXPECT_EQ(f.host.progressEnded, 1);
    // The denominator computes the numerators as it goes: the bar follows the work, not
    // the share of the determinants already given back, and never leaps across the run.
    std::vector<double> steps(shown.size());
    std::adjacent_difference(shown.begin(), shown.end(), steps.begin());
    EXPECT_LT(*std::max_element(steps.begin() + 1, steps.end()), 0.25);
}

TEST(LongRunTest, ShortRunsShowNoProgress) {
    test::TempDir dir;
    test::AnalysisFixture f;
    f.run(dir.write("densa.net", test::denseRcNetlist(6)));
    ASSERT_EQ(f.outcome, RunOutcome::Succeeded);
    EXPECT_TRUE(f.host.progress.empty());
    EXPECT_EQ(f.host.progressEnded, 0);
}

struct CancelCase {
    const char* name;
    ExpansionMethod method;
    bool fromProgress;  // else by a request, as Ctrl-C makes one
};

class CancelTest : public ::testing::TestWithParam<CancelCase> {};

TEST_P(CancelTest, ACancelledRunSavesNothingAndTheNextRunIsNormal) {
    const CancelCase c = GetParam();
    test::TempDir dir;
    const std::string path = dir.write("densa.net", test::denseRcNetlist(13));
    test::AnalysisFixture f;
    f.host.selected = {1};
    f.analysis.setEngineOptions(showAtOnce(ExpansionMethod::Memoised));
    f.run(path);
    ASSERT_EQ(f.outcome, RunOutcome::Succeeded);
    const std::vector<std::string> files = resultFiles(dir.path());
    ASSERT_FALSE(files.empty());
    std::vector<std::string> contents;
    for (const std::string& name : files)
        contents.push_back(test::readFile(dir.file(name)));

    f.analysis.setEngineOptions(showAtOnce(c.method));
    f.host.progress.clear();
    f.host.progressEnded = 0;
    if (c.fromProgress) {
        f.host.cancelAtShowing = 2;
    } else {
        f.host.stopRequested = true;
    }
    const Lines lines = f.run(path);
    EXPECT_EQ(f.outcome, RunOutcome::Cancelled);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "Análise cancelada.");
    EXPECT_EQ(countOf(lines, "Tempo usado: 0 s"), 0u);
    EXPECT_EQ(f.host.progressEnded, c.fromProgress ? 1 : 0);
    EXPECT_FALSE(f.host.listResultsEnabled);
    EXPECT_FALSE(f.analysis.running());
    // The previous run's files, untouched, and no other.
    EXPECT_EQ(resultFiles(dir.path()), files);
    for (std::size_t i = 0; i < files.size(); ++i)
        EXPECT_EQ(test::readFile(dir.file(files[i])), contents[i]) << files[i];

    f.host.cancelAtShowing = 0;
    f.host.stopRequested = false;
    f.analysis.setEngineOptions(showAtOnce(ExpansionMethod::Memoised));
    f.run(path);
    EXPECT_EQ(f.outcome, RunOutcome::Succeeded);
    EXPECT_EQ(f.lines.back(), "Análise terminada com sucesso.");
    EXPECT_EQ(resultFiles(dir.path()), files);
}

INSTANTIATE_TEST_SUITE_P(
    LongRunTest, CancelTest,
    ::testing::Values(CancelCase{"memoised_from_progress", ExpansionMethod::Memoised, true},
                      CancelCase{"memoised_by_request", ExpansionMethod::Memoised, false},
                      CancelCase{"plain_from_progress", ExpansionMethod::Plain, true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace corvane
