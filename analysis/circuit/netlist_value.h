// The numbers of a netlist line: a floating-point number, optionally followed, with no
// blank between, by a scale suffix and then by unit letters that are ignored.
#pragma once

#include <optional>
#include <string_view>

namespace corvane {

/// Reads `text` whole as a value: "1000", "1e-6", "1k", "10uF", "2.2MEG", "1kohm". The
/// suffixes, in any case: T 1e12, G 1e9, MEG 1e6, K 1e3, MIL 25.4e-6, M 1e-3, U 1e-6,
/// N 1e-9, P 1e-12, F 1e-15 (so M is milli, MEG is mega). Letters after a suffix are a unit;
/// anything else after the number ("1x", "12abc", "1k2") makes the text no value.
std::optional<double> parseValue(std::string_view text);

}  // namespace corvane
