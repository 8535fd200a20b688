#include "console_host.h"

#include <unistd.h>

#include <csignal>
#include <string>

namespace corvane::cli {

namespace {

// A signal handler can do no more than set a flag of this type, and it reaches only
// objects of static duration: the one piece of state shared this way.
volatile std::sig_atomic_t interruptRequested = 0;

extern "C" void noteInterrupt(int) {
    interruptRequested = 1;
}

// The width of the progress line, so that erasing it leaves no trace.
constexpr int ProgressLineWidth = 60;

}  // namespace

InterruptCatcher::InterruptCatcher() {
    interruptRequested = 0;
    struct sigaction action {};
    action.sa_handler = noteInterrupt;
    sigemptyset(&action.sa_mask);
    if (sigaction(SIGINT, &action, &previous_) != 0) {
        // Without the handler, Ctrl-C still ends the process, as it always did.
        sigaction(SIGINT, nullptr, &previous_);
    }
}

InterruptCatcher::~InterruptCatcher() {
    sigaction(SIGINT, &previous_, nullptr);
    interruptRequested = 0;
}

bool ConsoleHost::cancelRequested() const {
    return interruptRequested != 0;
}

ProgressStatus ConsoleHost::showProgress(double fraction) {
    if (cancelRequested()) return ProgressStatus::Cancel;
    if (!isatty(fileno(err_))) return ProgressStatus::Continue;
    const int percent = static_cast<int>(fraction * 100.0);
    std::fprintf(err_, "\rCalculando os determinantes: %3d %% (Ctrl-C cancela)", percent);
    std::fflush(err_);
    progressShown_ = true;
    return ProgressStatus::Continue;
}

void ConsoleHost::endProgress() {
    if (!progressShown_) return;
    std::fprintf(err_, "\r%*s\r", ProgressLineWidth, "");
    std::fflush(err_);
    progressShown_ = false;
}

bool ConsoleHost::selects(const std::string& entry, int k) const {
    if (entry == "todas") return true;
    return entry == variables_[static_cast<std::size_t>(k - 1)] || entry == std::to_string(k);
}

AnalysisOptions ConsoleHost::options() const {
    AnalysisOptions options = options_.analysis;
    for (int k = 1; k <= static_cast<int>(variables_.size()); ++k) {
        if (isSelected(k)) options.selectedVariables.push_back(k);
    }
    return options;
}

bool ConsoleHost::isSelected(int k) const {
    if (k < 1 || k > static_cast<int>(variables_.size())) return false;
    for (const std::string& entry : options_.selection) {
        if (selects(entry, k)) return true;
    }
    return false;
}

void ConsoleHost::warnAboutUnknownSelections() const {
    for (const std::string& entry : options_.selection) {
        bool known = entry == "todas";
        for (int k = 1; k <= static_cast<int>(variables_.size()) && !known; ++k) {
            known = selects(entry, k);
        }
        if (!known) std::fprintf(err_, "corvane-cli: variável desconhecida: %s\n", entry.c_str());
    }
}

WaitStatus ConsoleHost::processPendingEvents() {
    warnAboutUnknownSelections();
    if (analysis_) analysis_->applyParameters(options_.dispersion);
    return analysis_ ? WaitStatus::Waiting : WaitStatus::Cancelled;
}

}  // namespace corvane::cli
