#include "plot_list.h"

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

std::optional<std::string> denominatorFileName(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    std::size_t cut = path.find(".n", nameStart);
    if (cut == std::string_view::npos) cut = path.find(".N", nameStart);
    if (cut == std::string_view::npos) return std::nullopt;
    return std::string(path.substr(0, cut)) + ".d";
}

}  // namespace corvane
