// How a long symbolic expansion shows itself to the host: shared by the symbolic analysis
// and by the noise's symbolic density, so that both look and stop alike.
#pragma once

#include <chrono>

#include "analysis_host.h"
#include "expansion_watch.h"

namespace corvane::symbolic {

// The host's view of a long symbolic expansion, as of the numeric one: a cancel is seen
// at once, the progress from half a second on and at most ten times a second.
class ProgressLook {
public:
    explicit ProgressLook(AnalysisHost* host) : host_(host), start_(Clock::now()) {}

    void look(double fraction) {
        if (!host_) return;
        if (host_->cancelRequested()) throw ExpansionCancelled{};
        const Clock::time_point now = Clock::now();
        if (now - start_ < Delay || (shown_ && now - lastShown_ < Interval)) return;
        shown_ = true;
        lastShown_ = now;
        if (host_->showProgress(fraction) == ProgressStatus::Cancel) throw ExpansionCancelled{};
    }

    void end() {
        if (shown_) host_->endProgress();
        shown_ = false;
    }

private:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds Delay{500};
    static constexpr std::chrono::milliseconds Interval{100};

    AnalysisHost* host_;
    Clock::time_point start_;
    Clock::time_point lastShown_{};
    bool shown_ = false;
};

}  // namespace corvane::symbolic
