// The log sink through which every message of the analysis and of the plotter passes.
#pragma once

#include <functional>
#include <string_view>

namespace corvane {

class AnalysisLog {
public:
    /// Receives one finished line, without a line end.
    using LineConsumer = std::function<void(std::string_view)>;

    AnalysisLog() = default;
    explicit AnalysisLog(LineConsumer consumer) : consumer_(std::move(consumer)) {}

    /// Connects the log to its destination (the main window's log, the console, a test).
    void connect(LineConsumer consumer) { consumer_ = std::move(consumer); }

    /// Formats one line printf-style and appends it to the log. Lines of up to 1999
    /// characters are formatted in a fixed buffer; a longer one is kept whole.
    void print(const char* format, ...) __attribute__((format(printf, 2, 3)));

private:
    LineConsumer consumer_;
};

}  // namespace corvane
