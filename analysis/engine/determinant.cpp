#include "determinant.h"

#include <algorithm>
#include <ctime>

#include "floating_point.h"
#include "memoised_expansion.h"
#include "memory_size.h"
#include "plain_expansion.h"

namespace corvane {

namespace {

// One determinant of order n with the given column list, by the chosen method.
class Expander {
public:
    Expander(const SystemMatrix& matrix, int n, const EngineOptions& options, ExpansionWatch& watch)
        : method_(options.method),
          plain_(matrix),
          cache_(options.method == ExpansionMethod::Memoised ? options.cacheLimitBytes : 0),
          memoised_(matrix, n, cache_),
          n_(n) {
        for (int i = 1; i <= n; ++i)
            rows_[i] = i;
        plain_.setWatch(&watch);
        memoised_.setWatch(&watch);
    }

    ProductCount expand(Polynomial& result, const IndexList& columns, int replacedPosition) {
        if (method_ == ExpansionMethod::Plain) {
            plain_.multiplicationCount = 0;
            plain_.expandDeterminant(n_, result, columns, rows_);
            return plain_.multiplicationCount;
        }
        memoised_.multiplicationCount = 0;
        memoised_.expandDeterminant(result, columns, replacedPosition);
        return memoised_.multiplicationCount;
    }

    /// How far the run is, the determinant under way being `index` of `count`. (The plain
    /// expansion does not say how far it is within a determinant.)
    double progress(int index, int count) const {
        if (method_ == ExpansionMethod::Plain) return static_cast<double>(index) / count;
        double fraction = 0.0;
        if (memoised_.runProgress(fraction)) return fraction;
        return (index + memoised_.progress()) / count;
    }

    const MinorCache& cache() const { return cache_; }
    int levelDeterminants() const { return memoised_.levelDeterminants(); }

private:
    ExpansionMethod method_;
    PlainExpansion plain_;
    MinorCache cache_;
    MemoisedExpansion memoised_;
    IndexList rows_{};
    int n_;
};

// What the run shows while the determinants are expanded: the one warning that the memory
// for minors ran out, and from the delay on, the progress, at intervals short enough for
// the windows to stay responsive. The host's progress goes away with the monitor,
// whichever way the expansion ends.
class RunMonitor {
public:
    RunMonitor(AnalysisHost& host, AnalysisLog& log, const EngineOptions& options, int determinants)
        : host_(host),
          log_(log),
          cacheLimit_(options.cacheLimitBytes),
          delay_(options.progressDelay),
          interval_(options.progressInterval),
          determinants_(determinants),
          start_(Clock::now()) {}
    ~RunMonitor() {
        if (shown_) host_.endProgress();
    }
    RunMonitor(const RunMonitor&) = delete;
    RunMonitor& operator=(const RunMonitor&) = delete;

    void attach(const Expander& expander) { expander_ = &expander; }
    void startDeterminant(int index) { determinant_ = index; }

    /// Throws ExpansionCancelled when the host asks to stop.
    void look() {
        reportFullCache();
        if (host_.cancelRequested()) throw ExpansionCancelled{};
        const Clock::time_point now = Clock::now();
        if (now - start_ < delay_ || (shown_ && now - lastShown_ < interval_)) return;
        shown_ = true;
        lastShown_ = now;
        const double fraction = expander_ ? expander_->progress(determinant_, determinants_)
                                          : static_cast<double>(determinant_) / determinants_;
        if (host_.showProgress(fraction) == ProgressStatus::Cancel) {
            throw ExpansionCancelled{};
        }
    }

    /// Says once, at the first look after the cache refused a minor, that it is full.
    void reportFullCache() {
        if (fullReported_ || !expander_ || !expander_->cache().full()) return;
        fullReported_ = true;
        log_.print(
            "Aviso: a memória para menores (%s) se esgotou; a análise continua sem guardá-los "
            "e pode demorar muito.",
            formatMemorySize(cacheLimit_).c_str());
    }

private:
    using Clock = std::chrono::steady_clock;

    AnalysisHost& host_;
    AnalysisLog& log_;
    const Expander* expander_ = nullptr;
    std::size_t cacheLimit_;
    std::chrono::milliseconds delay_;
    std::chrono::milliseconds interval_;
    int determinants_;
    int determinant_ = 0;
    Clock::time_point start_;
    Clock::time_point lastShown_{};
    bool shown_ = false;
    bool fullReported_ = false;
};

// The denominator, then the numerators; each count line follows its determinant.
void expandAll(Expander& expander, RunMonitor& monitor, int n, NetworkFunctions& functions,
               ExpansionCounts& counts, AnalysisLog& log, bool listDetails) {
    IndexList columnList{};
    for (int i = 1; i <= n; ++i) {
        columnList[i] = i;
        functions.numerator[i].constant = 1.0;
    }
    checkFloatingPoint(
        [&] { counts.denominator = expander.expand(functions.denominator, columnList, 0); });
    monitor.reportFullCache();
    if (listDetails) {
        log.print("Denominador: Multiplicações no cálculo do denominador: %s",
                  formatCount(counts.denominator).c_str());
    }
    for (int k = 1; k <= n; ++k) {
        monitor.startDeterminant(k);
        // The excitation takes the place of column k at position k: no sign change.
        columnList[k - 1] = k - 1;
        columnList[k] = n + 1;
        checkFloatingPoint(
            [&] { counts.numerator[k] = expander.expand(functions.numerator[k], columnList, k); });
        monitor.reportFullCache();
        if (listDetails) {
            log.print("Multiplicações no cálculo do numerador %d: %s", k,
                      formatCount(counts.numerator[k]).c_str());
        }
    }
}

}  // namespace

ExpansionCounts computeNetworkFunctions(const SystemMatrix& matrix, int n,
                                        NetworkFunctions& functions, AnalysisLog& log,
                                        AnalysisHost& host, const EngineOptions& options,
                                        bool listDetails) {
    const long start = options.clock();
    ExpansionCounts counts;
    RunMonitor monitor(host, log, options, n + 1);
    ExpansionWatch watch([&monitor] { monitor.look(); });
    Expander expander(matrix, n, options, watch);
    monitor.attach(expander);
    try {
        expandAll(expander, monitor, n, functions, counts, log, listDetails);
    } catch (const ExpansionCancelled&) {
        counts.cancelled = true;
        return counts;
    }
    log.print("Tempo usado: %ld s", options.clock() - start);
    counts.cachedMinors = expander.cache().entries();
    counts.cacheBytes = expander.cache().peakBytes();
    counts.cacheWholeRunBytes = expander.cache().wholeRunBytes();
    counts.cacheOrdersGivenUp = expander.cache().ordersGivenUp();
    counts.cacheCompactions = expander.cache().compactions();
    counts.cacheFull = expander.cache().full();
    counts.levelDeterminants = expander.levelDeterminants();
    return counts;
}

}  // namespace corvane
