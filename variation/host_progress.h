// The progress of a variation run inside an analysis, on the run's host: shown from half
// a second on at intervals of a few tens of milliseconds, as the expansion shows its own,
// and the host's cancel asked after each circuit.
#pragma once

#include <chrono>

#include "analysis_host.h"

namespace corvane::variation {

class HostProgress {
public:
    explicit HostProgress(AnalysisHost& host)
        : host_(host), start_(std::chrono::steady_clock::now()), lastShown_(start_) {}
    ~HostProgress() {
        if (shown_) host_.endProgress();
    }
    HostProgress(const HostProgress&) = delete;
    HostProgress& operator=(const HostProgress&) = delete;

    /// After each circuit: shows the fraction when due; false once the user asked to stop.
    bool operator()(double fraction) {
        using namespace std::chrono_literals;
        if (host_.cancelRequested()) return false;
        const auto now = std::chrono::steady_clock::now();
        if (now - start_ < 500ms || (shown_ && now - lastShown_ < 40ms)) return true;
        shown_ = true;
        lastShown_ = now;
        return host_.showProgress(fraction) == ProgressStatus::Continue;
    }
    bool stopRequested() const { return host_.cancelRequested(); }

private:
    AnalysisHost& host_;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastShown_;
    bool shown_ = false;
};

}  // namespace corvane::variation
