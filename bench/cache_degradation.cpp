// How the memoised expansion degrades when its memory for minors is short. For each
// workload: one run with the default memory gives the time, the bytes that storing every
// minor of the run would take and the most the cache held (it lets go of the minors no
// later determinant asks for); then runs with 90 %, 50 %, 25 % and 10 % of the first. Each run is
// a child process, so that its peak resident memory is its own; a run is cut after
// CORVANE_LIMITE seconds (default 60). Prints a Markdown table.
//
//   build/bench/cache_degradation [workload ...]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "determinant.h"
#include "quiet_host.h"
#include "workloads.h"

namespace corvane::bench {
namespace {

using Clock = std::chrono::steady_clock;

// Says to stop once the run has taken its time.
class DeadlineHost : public QuietHost {
public:
    explicit DeadlineHost(Clock::time_point deadline) : deadline_(deadline) {}
    bool cancelRequested() const override { return Clock::now() > deadline_; }

private:
    Clock::time_point deadline_;
};

struct Workload {
    std::string name;
    SystemMatrix matrix;
    int n;
};

std::vector<Workload> workloads() {
    std::vector<Workload> list;
    for (const int n : {14, 16, 18}) {
        list.push_back({"densa_" + std::to_string(n), denseSystem(static_cast<unsigned>(n), n), n});
    }
    for (const unsigned seed : {1u, 2u, 3u}) {
        list.push_back({"mna_25x25_125nz_semente" + std::to_string(seed),
                        mnaLikeSystem(seed, 25, 125), 25});
    }
    return list;
}

struct RunResult {
    double seconds = 0.0;
    std::size_t cacheBytes = 0;
    std::size_t wholeRunBytes = 0;
    int ordersGivenUp = 0;
    bool cancelled = false;
    bool full = false;
    long peakKiB = 0;
};

// One analysis in a child process: its time, what it stored, and its peak memory.
RunResult runInChild(const Workload& w, std::size_t limitBytes, double limitSeconds) {
    int channel[2];
    if (pipe(channel) != 0) std::exit(2);
    const pid_t child = fork();
    if (child < 0) std::exit(2);
    if (child == 0) {
        close(channel[0]);
        const Clock::time_point start = Clock::now();
        DeadlineHost host(start + std::chrono::duration_cast<Clock::duration>(
                                      std::chrono::duration<double>(limitSeconds)));
        AnalysisLog log;
        NetworkFunctions functions;
        EngineOptions options;
        options.cacheLimitBytes = limitBytes;
        const ExpansionCounts counts = computeNetworkFunctions(w.matrix, w.n, functions, log, host, options);
        RunResult r;
        r.seconds = std::chrono::duration<double>(Clock::now() - start).count();
        r.cacheBytes = counts.cacheBytes;
        r.wholeRunBytes = counts.cacheWholeRunBytes;
        r.ordersGivenUp = counts.cacheOrdersGivenUp;
        r.cancelled = counts.cancelled;
        r.full = counts.cacheFull;
        const bool written = write(channel[1], &r, sizeof r) == static_cast<ssize_t>(sizeof r);
        _exit(written ? 0 : 1);
    }
    close(channel[1]);
    RunResult r;
    const bool read_ = read(channel[0], &r, sizeof r) == static_cast<ssize_t>(sizeof r);
    close(channel[0]);
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child || !read_ || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s: o processo filho falhou\n", w.name.c_str());
        std::exit(1);
    }
    r.peakKiB = usage.ru_maxrss;
    return r;
}

std::string mebibytes(std::size_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MiB", static_cast<double>(bytes) / (1 << 20));
    return text;
}

// Time, its ratio to the reference, the peak resident memory of the whole process and
// the orders of minors given up.
std::string cell(const RunResult& r, double reference) {
    char text[96];
    if (r.cancelled) {
        std::snprintf(text, sizeof text, "> %.0f s", r.seconds);
    } else {
        std::snprintf(text, sizeof text, "%.3f s (%.1f×), %ld MiB, %d", r.seconds,
                      r.seconds / reference, r.peakKiB / 1024, r.ordersGivenUp);
    }
    return text;
}

}  // namespace
}  // namespace corvane::bench

int main(int argc, char** argv) {
    using namespace corvane;
    using namespace corvane::bench;
    const char* limitText = std::getenv("CORVANE_LIMITE");
    const double limitSeconds = limitText ? std::atof(limitText) : 60.0;
    std::vector<Workload> chosen;
    for (Workload& w : workloads()) {
        bool wanted = argc == 1;
        for (int i = 1; i < argc; ++i) wanted = wanted || w.name == argv[i];
        if (wanted) chosen.push_back(std::move(w));
    }
    std::printf("| workload | para guardar tudo | pico | 100 %% | 90 %% | 50 %% | 25 %% | 10 %% |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const Workload& w : chosen) {
        const RunResult whole = runInChild(w, DefaultCacheLimitBytes, limitSeconds);
        std::string line = "| " + w.name + " | " + mebibytes(whole.wholeRunBytes) + " | " +
                           mebibytes(whole.cacheBytes) + " | " + cell(whole, whole.seconds);
        for (const double share : {0.9, 0.5, 0.25, 0.1}) {
            const auto limit =
                static_cast<std::size_t>(share * static_cast<double>(whole.wholeRunBytes));
            line += " | " + cell(runInChild(w, limit, limitSeconds), whole.seconds);
            std::printf("%s\r", line.c_str());
            std::fflush(stdout);
        }
        std::printf("%s |\n", line.c_str());
        std::fflush(stdout);
    }
}
