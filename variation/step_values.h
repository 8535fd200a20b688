// The values of a parameter step as the user writes them, in `varrer`'s options and in the
// options window's boxes alike: a list "1k,4.7k,10k" (";" between values where "," is the
// decimal point), or a range and a count of points, linear or logarithmic. Each front end
// words the problem for its own place (the option, the box).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::variation {

/// The values of a list, or the first entry that is not a value (as the netlist writes
/// values: 4.7k, 4,7k), or the count past MaxStepValues.
struct ValueList {
    std::vector<double> values;
    /// The entry that is not a value; empty when every one is.
    std::optional<std::string> badEntry;
    bool tooMany = false;
};
ValueList readValueList(std::string_view text);

/// A count of points, digits only, from MinLocusPoints to MaxStepValues; none otherwise.
std::optional<int> readStepPoints(std::string_view text);

}  // namespace corvane::variation
