// The scale suffixes that netlist values and SPICE numbers share: T G MEG K M U N P F MIL,
// in any case, with M for milli and MEG for mega.
#pragma once

#include <string_view>

namespace corvane {

struct ScaleSuffix {
    std::string_view letters;  // upper case
    int exponent;              // the scale is 10^exponent; MIL has its own
};

bool isAsciiLetter(char c);

/// The suffix that begins `text`, the longest that fits ("MEG" before "M"); null if none.
const ScaleSuffix* scaleSuffixAt(std::string_view text);

/// `value`, read from the characters `number`, times the suffix's scale.
double scaledBy(std::string_view number, double value, const ScaleSuffix& suffix);

}  // namespace corvane
