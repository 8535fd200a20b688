#include "spice_value.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "scale_suffix.h"

namespace corvane {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t digitsFrom(std::string_view text, std::size_t i) {
    while (i < text.size() && isDigit(text[i])) ++i;
    return i;
}

// Digits, an optional fraction and an optional exponent, whose 'e' belongs to it only when
// digits follow ("1e" is 1 followed by the unit letter "e").
std::size_t plainNumberLength(std::string_view text) {
    std::size_t i = digitsFrom(text, 0);
    const bool integerDigits = i > 0;
    if (i < text.size() && text[i] == '.') {
        const std::size_t after = digitsFrom(text, i + 1);
        if (!integerDigits && after == i + 1) return 0;
        i = after;
    }
    if (i == 0) return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        const std::size_t end = digitsFrom(text, j);
        if (end > j) i = end;
    }
    return i;
}

}  // namespace

std::optional<SpiceNumber> readSpiceNumber(std::string_view text) {
    const std::size_t length = plainNumberLength(text);
    if (length == 0) return std::nullopt;
    const std::string number(text.substr(0, length));
    double value = std::strtod(number.c_str(), nullptr);
    std::size_t used = length;
    if (const ScaleSuffix* suffix = scaleSuffixAt(text.substr(length))) {
        value = scaledBy(number, value, *suffix);
        used += suffix->letters.size();
    }
    while (used < text.size() && isAsciiLetter(text[used])) ++used;
    if (!std::isfinite(value)) return std::nullopt;
    return SpiceNumber{value, used};
}

std::optional<double> parseSpiceValue(std::string_view text) {
    double sign = 1.0;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        sign = text[0] == '-' ? -1.0 : 1.0;
        text.remove_prefix(1);
    }
    const std::optional<SpiceNumber> number = readSpiceNumber(text);
    if (!number || number->length != text.size()) return std::nullopt;
    return sign * number->value;
}

}  // namespace corvane
