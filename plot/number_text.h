// The numbers a user types into the boxes of the plot list window or gives on the command
// line: the whole text must be the number, so nothing typed is silently dropped.
#pragma once

#include <optional>
#include <string_view>

namespace corvane {

/// A finite decimal number with "." or "," as its decimal separator, an optional sign and
/// exponent, and blanks around it ("2,5e6", " -60 ", ".5"). No value for anything else:
/// an empty text, other characters, "nan", "inf", or a value too large for a double.
std::optional<double> parseDecimalNumber(std::string_view text);

/// A number typed into a box: read as parseDecimalNumber reads it or, when that takes no
/// value, as a netlist value with its scale suffix and unit letters ("2m", "10k",
/// "2.2MEG", "4,7uF"), with "," as the decimal separator as well. No value for anything
/// else: a hexadecimal form, a value that is not finite, text after the suffix ("1k2").
std::optional<double> parseBoxNumber(std::string_view text);

/// A whole number: digits with an optional sign and blanks around them. No value for
/// anything else, nor for a value that does not fit in a long long.
std::optional<long long> parseWholeNumber(std::string_view text);

/// The dispersion of coefficients of the normalisation, as "Dispersão de coeficientes"
/// and --dispersao take it: a number read whole by parseDecimalNumber, and not zero,
/// which would divide by zero. A negative one is kept: it clears nothing.
std::optional<double> parseDispersion(std::string_view text);

}  // namespace corvane
