#include "plot_list.h"

#include "result_file_names.h"

namespace corvane {

std::vector<std::string> splitListLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end == std::string_view::npos) end = text.size();
        if (end > start && text[end - 1] == '\r' && end < text.size()) --end;
        lines.emplace_back(text.substr(start, end - start));
        start = next;
    }
    return lines;
}

std::string listHeader(std::string_view text) {
    std::string header;
    for (const std::string& line : splitListLines(text)) {
        if (!isCommentLine(line)) break;
        header += line;
        header += '\n';
    }
    return header;
}

std::optional<std::string> denominatorFileName(std::string_view path) {
    return ResultFileNames::denominatorFor(path);
}

std::optional<ListedPair> listedPairOf(std::string_view path) {
    // A name that cannot be one line of the list could never be read back by "Plotar".
    if (path.find_first_of("\r\n") != std::string_view::npos) return std::nullopt;
    std::optional<std::string> denominator = denominatorFileName(path);
    if (!denominator) return std::nullopt;
    return ListedPair{std::string(path), std::move(*denominator)};
}

}  // namespace corvane
