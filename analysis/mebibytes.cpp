#include "mebibytes.h"

#include <algorithm>
#include <limits>

namespace corvane {

std::optional<std::size_t> readMebibytes(std::string_view text, std::size_t largestMebibytes) {
    const std::size_t largest =
        std::min(largestMebibytes, std::numeric_limits<std::size_t>::max() >> 20);
    if (text.empty()) return std::nullopt;
    std::size_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        const auto digit = static_cast<std::size_t>(c - '0');
        // Checked before each step, so that no string of digits wraps the value around.
        if (value > largest / 10) return std::nullopt;
        value *= 10;
        if (digit > largest - value) return std::nullopt;
        value += digit;
    }
    return value << 20;
}

}  // namespace corvane
