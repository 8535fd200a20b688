#include "scale_suffix.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <string>

namespace corvane {

namespace {

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

constexpr double MilInMetres = 25.4e-6;

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

// A number written in plain decimal digits with no exponent of its own can take the
// suffix as an exponent, so "4.7u" reads exactly as "4.7e-6" does.
bool isPlainDecimal(std::string_view number) {
    for (const char c : number) {
        if (!((c >= '0' && c <= '9') || c == '.' || c == '+' || c == '-')) return false;
    }
    return true;
}

}  // namespace

bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

const ScaleSuffix* scaleSuffixAt(std::string_view text) {
    for (const ScaleSuffix& suffix : Suffixes) {
        if (startsWithIgnoringCase(text, suffix.letters)) return &suffix;
    }
    return nullptr;
}

double scaledBy(std::string_view number, double value, const ScaleSuffix& suffix) {
    if (suffix.letters == "MIL") return value * MilInMetres;
    if (isPlainDecimal(number)) {
        std::string withExponent(number);
        withExponent += 'e';
        withExponent += std::to_string(suffix.exponent);
        return std::strtod(withExponent.c_str(), nullptr);
    }
    return value * std::pow(10.0, suffix.exponent);
}

}  // namespace corvane
