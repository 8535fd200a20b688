#include "image_format.h"

#include <algorithm>
#include <cctype>

namespace corvane::render {

namespace {

bool endsWithIgnoringCase(std::string_view text, std::string_view suffix) {
    if (text.size() < suffix.size()) return false;
    return std::equal(suffix.begin(), suffix.end(), text.end() - suffix.size(),
                      [](char a, char b) { return std::tolower(a) == std::tolower(b); });
}

}  // namespace

std::optional<ImageFormat> imageFormatOf(std::string_view path) {
    if (endsWithIgnoringCase(path, ".png")) return ImageFormat::Png;
    if (endsWithIgnoringCase(path, ".svg")) return ImageFormat::Svg;
    return std::nullopt;
}

}  // namespace corvane::render
