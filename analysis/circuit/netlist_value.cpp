#include "netlist_value.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <string>

namespace corvane {

namespace {

struct ScaleSuffix {
    std::string_view letters;  // upper case
    int exponent;              // the scale is 10^exponent, or 25.4e-6 for MIL
};

// Longer suffixes first: "MEG" and "MIL" begin like "M".
constexpr std::array<ScaleSuffix, 10> Suffixes{{{"MEG", 6},
                                                {"MIL", 0},
                                                {"T", 12},
                                                {"G", 9},
                                                {"K", 3},
                                                {"M", -3},
                                                {"U", -6},
                                                {"N", -9},
                                                {"P", -12},
                                                {"F", -15}}};

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

const ScaleSuffix* suffixAt(std::string_view text) {
    for (const ScaleSuffix& suffix : Suffixes) {
        if (startsWithIgnoringCase(text, suffix.letters)) return &suffix;
    }
    return nullptr;
}

bool onlyLetters(std::string_view text) {
    for (const char c : text) {
        if (!isLetter(c)) return false;
    }
    return true;
}

// A number written in plain decimal digits with no exponent of its own can take the
// suffix as an exponent, so "4.7u" reads exactly as "4.7e-6" does.
bool isPlainDecimal(std::string_view number) {
    for (const char c : number) {
        if (!((c >= '0' && c <= '9') || c == '.' || c == '+' || c == '-')) return false;
    }
    return true;
}

double scaled(std::string_view number, double value, const ScaleSuffix& suffix) {
    if (suffix.letters == "MIL") return value * 25.4e-6;
    if (isPlainDecimal(number)) {
        const std::string withExponent =
            std::string(number) + "e" + std::to_string(suffix.exponent);
        return std::strtod(withExponent.c_str(), nullptr);
    }
    return value * std::pow(10.0, suffix.exponent);
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
    const ScaleSuffix* suffix = suffixAt(rest);
    if (!suffix) return std::nullopt;
    rest.remove_prefix(suffix->letters.size());
    if (!onlyLetters(rest)) return std::nullopt;
    return scaled(number, value, *suffix);
}

}  // namespace corvane
