#include "engineering_text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>

namespace corvane {

namespace {

constexpr std::array<const char*, 9> Prefixes{"p", "n", "µ", "m", "", "k", "M", "G", "T"};
constexpr int Unprefixed = 4;
constexpr int LeastDigits = 3;
constexpr int MostDigits = 6;

std::string significant(double value, int digits) {
    char text[64];
    const int length = std::snprintf(text, sizeof text, "%.*g", digits, value);
    if (length < 0) return {};
    return std::string(text, static_cast<std::size_t>(std::min<int>(length, sizeof text - 1)));
}

// The power of a thousand whose prefix the value takes; none past the prefixes.
std::optional<int> thousandsPower(double value, int digits) {
    if (value == 0.0 || !std::isfinite(value)) return 0;
    int power = static_cast<int>(std::floor(std::log10(std::fabs(value)) / 3.0));
    // Rounding to the digits may carry into the next prefix: 999.7 µ reads "1 m".
    const double mantissa = std::fabs(value) / std::pow(1000.0, power);
    if (std::fabs(std::strtod(significant(mantissa, digits).c_str(), nullptr)) >= 1000.0) ++power;
    if (power < -Unprefixed || power >= static_cast<int>(Prefixes.size()) - Unprefixed)
        return std::nullopt;
    return power;
}

// What the text of `value` at `digits` reads back as.
double readBack(double value, int digits) {
    const std::optional<int> power = thousandsPower(value, digits);
    if (!power) return std::strtod(significant(value, digits).c_str(), nullptr);
    const double scale = std::pow(1000.0, *power);
    return std::strtod(significant(value / scale, digits).c_str(), nullptr) * scale;
}

}  // namespace

EngineeringParts engineeringParts(double value, int digits) {
    const std::optional<int> power = thousandsPower(value, digits);
    if (!power) return {significant(value, digits), ""};
    return {significant(value / std::pow(1000.0, *power), digits),
            Prefixes[static_cast<std::size_t>(*power + Unprefixed)]};
}

std::string engineeringText(double value, int digits) {
    EngineeringParts parts = engineeringParts(value, digits);
    if (parts.prefix.empty()) return parts.mantissa;
    return parts.mantissa + " " + parts.prefix;
}

std::vector<std::string> axisValueTexts(std::span<const double> values, double span,
                                        std::string_view unit) {
    const double tolerance = std::fabs(span) * 1e-4;
    int digits = LeastDigits;
    for (; digits < MostDigits; ++digits) {
        const bool close = std::all_of(values.begin(), values.end(), [&](double v) {
            return !std::isfinite(v) || std::fabs(readBack(v, digits) - v) <= tolerance;
        });
        if (close) break;
    }
    std::vector<std::string> texts;
    texts.reserve(values.size());
    for (const double v : values) {
        const EngineeringParts parts = engineeringParts(v, digits);
        std::string text = parts.mantissa;
        if (!parts.prefix.empty() || !unit.empty()) text += ' ';
        text += parts.prefix;
        text += unit;
        texts.push_back(std::move(text));
    }
    return texts;
}

}  // namespace corvane
