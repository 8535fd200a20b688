// Numbers as the axes and the cursor write them: engineering notation, a mantissa from 1
// to 999 followed by the SI prefix of its power of a thousand ("10 k", "500 µ", "-60").
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

/// `value` to `digits` significant digits with the SI prefix of its power of a thousand,
/// after a blank: "10 k", "500 µ", "2.5 m", "-60", "0". A value past the prefixes (beyond
/// 999 T or below 1 p) or not finite is written as "%g" writes it ("1e+300").
std::string engineeringText(double value, int digits = 3);

/// The prefix alone, for a value written with its unit: "k" for 10000, "" for 60; and the
/// mantissa that goes before it.
struct EngineeringParts {
    std::string mantissa;
    std::string prefix;
};
EngineeringParts engineeringParts(double value, int digits = 3);

/// The texts of the values of one axis, all with the same number of significant digits
/// (from 3 up to 6): the fewest with which each text reads back within a ten-thousandth of
/// `span` of its value, so round grid values read "1 k", "2 k" and the values 1001 .. 1003
/// of a narrow range read "1.001 k" .. "1.003 k". A `unit` follows the prefix ("500 µs")
/// or, without one, a blank ("60 s").
std::vector<std::string> axisValueTexts(std::span<const double> values, double span,
                                        std::string_view unit = {});

}  // namespace corvane
