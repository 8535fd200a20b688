#include "number_text.h"

#include <charconv>
#include <cmath>
#include <string>

#include "netlist_value.h"

namespace corvane {

namespace {

std::string_view trimBlanks(std::string_view text) {
    constexpr std::string_view Blanks = " \t";
    const std::size_t first = text.find_first_not_of(Blanks);
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(Blanks);
    return text.substr(first, last - first + 1);
}

// from_chars takes a leading '-' but no '+'.
std::string_view withoutPlusSign(std::string_view text) {
    if (text.size() > 1 && text[0] == '+' && text[1] != '-' && text[1] != '+') {
        return text.substr(1);
    }
    return text;
}

bool onlyNumberCharacters(std::string_view text) {
    return text.find_first_not_of("0123456789+-.eE") == std::string_view::npos;
}

}  // namespace

std::optional<double> parseDecimalNumber(std::string_view text) {
    std::string number(withoutPlusSign(trimBlanks(text)));
    const std::size_t comma = number.find(',');
    if (comma != std::string::npos) {
        // One separator only: "1,234.5" is refused rather than guessed at.
        if (number.find_first_of(",.", comma + 1) != std::string::npos) return std::nullopt;
        if (number.find('.') != std::string::npos) return std::nullopt;
        number[comma] = '.';
    }
    // Keeps out "nan", "inf" and hexadecimal forms, which from_chars would take.
    if (number.empty() || !onlyNumberCharacters(number)) return std::nullopt;
    double value = 0.0;
    const char* end = number.data() + number.size();
    const auto [stop, error] = std::from_chars(number.data(), end, value);
    if (error != std::errc() || stop != end || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<double> parseBoxNumber(std::string_view text) {
    if (const std::optional<double> plain = parseDecimalNumber(text)) return plain;
    std::string number(trimBlanks(text));
    const std::size_t comma = number.find(',');
    if (comma != std::string::npos) {
        if (number.find_first_of(",.", comma + 1) != std::string::npos) return std::nullopt;
        if (number.find('.') != std::string::npos) return std::nullopt;
        number[comma] = '.';
    }
    // The netlist reader takes what strtod takes, hexadecimal forms too; a box does not.
    const std::size_t digits = number.find_first_not_of("+-");
    if (digits != std::string::npos && number.compare(digits, 2, "0x") == 0) return std::nullopt;
    if (digits != std::string::npos && number.compare(digits, 2, "0X") == 0) return std::nullopt;
    const std::optional<double> value = parseValue(number);
    if (!value || !std::isfinite(*value)) return std::nullopt;
    return value;
}

std::optional<long long> parseWholeNumber(std::string_view text) {
    const std::string_view number = withoutPlusSign(trimBlanks(text));
    if (number.empty()) return std::nullopt;
    long long value = 0;
    const char* end = number.data() + number.size();
    const auto [stop, error] = std::from_chars(number.data(), end, value);
    if (error != std::errc() || stop != end) return std::nullopt;
    return value;
}

std::optional<double> parseDispersion(std::string_view text) {
    const std::optional<double> value = parseDecimalNumber(text);
    if (!value || *value == 0.0) return std::nullopt;
    return value;
}

}  // namespace corvane
