// Numbers as SPICE writes them: a decimal number, an optional scale factor (T G MEG K M U N
// P F MIL, in any case; M is milli) and letters after it that name a unit and are ignored
// ("1kOhm", "10uF", "2.2MEG", "5V").
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace corvane {

/// A number at the start of `text` with its scale factor and unit letters.
struct SpiceNumber {
    double value = 0.0;
    /// How many characters of `text` it took.
    std::size_t length = 0;
};

/// Reads the number that starts `text`, with its scale factor and the letters after it;
/// no value when `text` does not start with a digit or a '.' followed by one, or the number
/// is not finite. A sign is not part of it.
std::optional<SpiceNumber> readSpiceNumber(std::string_view text);

/// The whole of `text` as one SPICE number, with an optional leading sign; no value when
/// anything else is left ("1k2", "1e", "10%") or the number is not finite.
std::optional<double> parseSpiceValue(std::string_view text);

}  // namespace corvane
