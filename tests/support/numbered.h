// Names such as "R12" or "n3" for generated netlists.
#pragma once

#include <string>
#include <string_view>

namespace corvane::test {

/// `prefix` followed by `number`. Built by appending: GCC 12 at -O2 and above warns
/// falsely (-Wrestrict) inside `"R" + std::to_string(i)`.
inline std::string numbered(std::string_view prefix, int number) {
    std::string name(prefix);
    name += std::to_string(number);
    return name;
}

}  // namespace corvane::test
