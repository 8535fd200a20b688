// A log that passes its lines on and keeps the last one, so that a window can show the
// message that stopped a command beside the boxes it came from, as well as in the log.
#pragma once

#include <string>
#include <string_view>

#include "analysis_log.h"

namespace corvane {

/// A log whose every line goes on to `log` unchanged and is kept in `last`, which must
/// outlive it.
inline AnalysisLog rememberingLastLine(AnalysisLog& log, std::string& last) {
    return AnalysisLog([&log, &last](std::string_view line) {
        last = line;
        log.print("%s", last.c_str());
    });
}

}  // namespace corvane
