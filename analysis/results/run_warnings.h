// The warnings of an analysis run about its results: each is a line of the log and, for the
// outputs that outlive the log (the JSON document, the result files read back by the
// plotter), a record of what it concerns. A run with any of them does not end "com sucesso".
#pragma once

#include <string>
#include <vector>

#include "analysis_log.h"

namespace corvane {

enum class WarningSubject {
    Denominator,
    /// Numerator `variable`.
    Numerator,
    /// The result file `file`.
    File,
};

struct RunWarning {
    std::string text;
    WarningSubject subject = WarningSubject::Denominator;
    int variable = 0;
    std::string file;
};

class RunWarnings {
public:
    /// Prints `warning.text` as a line of the log and keeps the warning.
    void add(AnalysisLog& log, RunWarning warning) {
        log.print("%s", warning.text.c_str());
        warnings_.push_back(std::move(warning));
    }
    void clear() { warnings_.clear(); }
    bool empty() const { return warnings_.empty(); }
    const std::vector<RunWarning>& all() const { return warnings_; }

private:
    std::vector<RunWarning> warnings_;
};

}  // namespace corvane
