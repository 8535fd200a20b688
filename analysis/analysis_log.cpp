#include "analysis_log.h"

#include <cstdarg>
#include <cstdio>
#include <string>

namespace corvane {

namespace {
constexpr int LineBufferSize = 2000;
}

void AnalysisLog::print(const char* format, ...) {
    char buffer[LineBufferSize];
    va_list args;
    va_start(args, format);
    va_list retry;
    va_copy(retry, args);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);

    std::string_view line;
    std::string longLine;
    if (length < 0) {
        line = {};
    } else if (length < LineBufferSize) {
        line = std::string_view(buffer, static_cast<std::size_t>(length));
    } else {
        longLine.resize(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(longLine.data(), longLine.size(), format, retry);
        longLine.resize(static_cast<std::size_t>(length));
        line = longLine;
    }
    va_end(retry);
    if (consumer_) consumer_(line);
}

}  // namespace corvane
