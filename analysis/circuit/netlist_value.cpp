#include "netlist_value.h"

#include <cstdlib>
#include <string>

#include "scale_suffix.h"

namespace corvane {

namespace {

bool onlyLetters(std::string_view text) {
    for (const char c : text) {
        if (!isAsciiLetter(c)) return false;
    }
    return true;
}

}  // namespace

std::optional<double> parseValue(std::string_view text) {
    const std::string copy(text);
    if (copy.empty() || copy[0] == ' ' || copy[0] == '\t') return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(copy.c_str(), &end);
    const std::size_t used = static_cast<std::size_t>(end - copy.c_str());
    if (used == 0) return std::nullopt;
    const std::string_view number = text.substr(0, used);
    std::string_view rest = text.substr(used);
    if (rest.empty()) return value;
    const ScaleSuffix* suffix = scaleSuffixAt(rest);
    if (!suffix) return std::nullopt;
    rest.remove_prefix(suffix->letters.size());
    if (!onlyLetters(rest)) return std::nullopt;
    return scaledBy(number, value, *suffix);
}

}  // namespace corvane
