// The network functions as exact polynomials in s: the denominator is the determinant of
// the system, the numerator of variable k the determinant with column k replaced by the
// excitation (Cramer's rule), each by recursive cofactor (Laplace) expansion.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>

#include "analysis_host.h"
#include "analysis_log.h"
#include "expansion_watch.h"
#include "minor_cache.h"
#include "mna.h"
#include "polynomial.h"

namespace corvane {

struct NetworkFunctions {
    Polynomial denominator;
    /// Indexed by variable 1..n; entry 0 (ground) is never computed.
    std::array<Polynomial, MaxVariables + 1> numerator{};
    /// Set by the integration step when it multiplied the denominator by s: one of the
    /// denominator's roots at s = 0 is then the step excitation's 1/s, not the circuit's.
    bool denominatorRaised = false;
};

/// The exact decimal digits of a count.
std::string formatCount(ProductCount count);

/// out = e as a polynomial: s0 + s1·s, of the entry's own degree (the base case of the
/// expansion, never counted).
void copyEntry(const MnaEntry& e, Polynomial& out);

/// out = e × p.
void multiplyEntry(const MnaEntry& e, const Polynomial& p, Polynomial& out);

/// acc = acc + sign × p; the result's degree is the larger of the two, untrimmed.
void addScaled(int sign, const Polynomial& p, Polynomial& acc);

/// acc = acc + sign × (e × p): addScaled of multiplyEntry's product, in one pass, with the
/// same operations in the same order, so the same bits.
void addProduct(int sign, const MnaEntry& e, const Polynomial& p, Polynomial& acc);
/// The same, for a polynomial given by its coefficients 0..degree.
void addProduct(int sign, const MnaEntry& e, const double* coef, int degree, Polynomial& acc);

/// Lists of matrix rows or columns, used from index 1.
using IndexList = std::array<int, SystemColumns>;

/// The plain recursive expansion along the first column of the list, with its two
/// prunings: a zero entry skips its whole subtree, a zero minor skips its product.
class PlainExpansion {
public:
    explicit PlainExpansion(const SystemMatrix& matrix) : matrix_(matrix) {}

    /// result = the determinant of the m × m matrix whose element (i, j) is the system
    /// entry in row rows[i] and column columns[j]; zero for m = 0. Adds the products it
    /// performs to multiplicationCount.
    void expandDeterminant(int m, Polynomial& result, const IndexList& columns,
                           const IndexList& rows);

    ProductCount multiplicationCount = 0;

    /// Looked at on the way down the recursion; nothing when null.
    void setWatch(ExpansionWatch* watch) { watch_ = watch; }

private:
    const SystemMatrix& matrix_;
    ExpansionWatch* watch_ = nullptr;
};

/// E(n) = n·(E(n−1) + 1), E(1) = 0: the products of the plain expansion of a matrix
/// without zero entries, in extended precision.
long double expectedMultiplications(int n);

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

/// What one computeNetworkFunctions spent.
struct ExpansionCounts {
    ProductCount denominator = 0;
    std::array<ProductCount, MaxVariables + 1> numerator{};
    std::size_t cachedMinors = 0;
    /// The most memory the minors held at once.
    std::size_t cacheBytes = 0;
    /// The memory that storing every minor of the run would have taken.
    std::size_t cacheWholeRunBytes = 0;
    /// Orders of minors given up for want of memory, and compactions of the records.
    int cacheOrdersGivenUp = 0;
    int cacheCompactions = 0;
    bool cacheFull = false;
    /// The user stopped the run: the functions are incomplete and nothing else was logged.
    bool cancelled = false;
};

/// A size of memory as the log shows it: "2048 MiB", "40 KiB", "100 bytes".
std::string formatMemorySize(std::size_t bytes);

/// Fills the denominator and numerators 1..n from the system (n = variableCount) and sets
/// every numerator's constant to 1. Logs the products counted for each determinant with
/// `listDetails`, then the time used; says once when the memory for minors runs
/// out. From options.progressDelay on, shows the host its progress; when the host asks to
/// stop, returns at once with `cancelled` set and logs nothing more. An overflow or
/// invalid operation in an expansion throws FloatingPointFault.
ExpansionCounts computeNetworkFunctions(const SystemMatrix& matrix, int n,
                                        NetworkFunctions& functions, AnalysisLog& log,
                                        AnalysisHost& host, const EngineOptions& options = {},
                                        bool listDetails = false);

}  // namespace corvane
