// How the determinants are expanded: the method, the memory for minors, the clock and the
// pace of the progress.
#pragma once

#include <chrono>
#include <cstddef>

namespace corvane {

enum class ExpansionMethod {
    /// The plain recursion, the reference.
    Plain,
    /// The same expansion with memoised minors: the same bits and counts, far faster.
    Memoised,
};

inline constexpr std::size_t DefaultCacheLimitBytes = std::size_t{2} << 30;
/// The least memory for minors the front ends accept. Below it the engine gives up so
/// many orders of minors that a network of 16 to 20 nodes, a fraction of a second or a
/// few seconds with enough memory, runs for minutes (and the symbolic analysis, bounded
/// by the same memory, stops at once).
inline constexpr std::size_t SmallestCacheLimitBytes = std::size_t{64} << 20;

/// Reads a wall clock in whole seconds.
using WallClock = long (*)();
long wallClockSeconds();

struct EngineOptions {
    ExpansionMethod method = ExpansionMethod::Memoised;
    WallClock clock = wallClockSeconds;
    /// Memory for the memoised minors.
    std::size_t cacheLimitBytes = DefaultCacheLimitBytes;
    /// How long the expansion runs before the host is shown its progress.
    std::chrono::milliseconds progressDelay{500};
    /// The least time between two showings of the progress.
    std::chrono::milliseconds progressInterval{40};
};

}  // namespace corvane
