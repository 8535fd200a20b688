#include "console_host.h"

#include <string>

#include "c_locale.h"

namespace corvane::cli {

bool ConsoleHost::selects(const std::string& entry, int k) const {
    if (entry == "todas") return true;
    return entry == variables_[static_cast<std::size_t>(k - 1)] || entry == std::to_string(k);
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
    if (analysis_) analysis_->applyParameters(textToDouble(options_.dispersionText.c_str()));
    return analysis_ ? WaitStatus::Waiting : WaitStatus::Cancelled;
}

void ConsoleHost::afterNumericListing(const RunState& run, const NetworkFunctions& functions,
                                      AnalysisLog& log) const {
    if (!options_.symbolic) return;
    symbolic::listSymbolicAnalysis(run, functions, options_.symbolicOptions,
                                   [this](int k) { return isSelected(k); }, log);
}

}  // namespace corvane::cli
