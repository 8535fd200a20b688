#include "spice_value.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <string>

namespace corvane {

namespace {

struct ScaleFactor {
    std::string_view letters;  // upper case
    /// Written as an exponent, so that "4.7u" reads exactly as "4.7e-6" does; MIL has none.
    int exponent;
};

// Longer factors first: "MEG" and "MIL" begin like "M".
constexpr std::array<ScaleFactor, 10> Factors{{{"MEG", 6},
                                               {"MIL", 0},
                                               {"T", 12},
                                               {"G", 9},
                                               {"K", 3},
                                               {"M", -3},
                                               {"U", -6},
                                               {"N", -9},
                                               {"P", -12},
                                               {"F", -15}}};

constexpr double MilInMetres = 25.4e-6;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (upper(text[i]) != prefix[i]) return false;
    }
    return true;
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
    const std::string_view rest = text.substr(length);
    for (const ScaleFactor& factor : Factors) {
        if (!startsWithIgnoringCase(rest, factor.letters)) continue;
        if (factor.letters == "MIL") {
            value *= MilInMetres;
        } else if (number.find_first_of("eE") == std::string::npos) {
            const std::string withExponent = number + "e" + std::to_string(factor.exponent);
            value = std::strtod(withExponent.c_str(), nullptr);
        } else {
            value *= std::pow(10.0, factor.exponent);
        }
        used += factor.letters.size();
        break;
    }
    while (used < text.size() && isLetter(text[used])) ++used;
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
