// A size in mebibytes as the user types it, in an option or an environment variable. Both
// front ends read it here, so that a value one takes the other takes too; each says in
// its own words what it refused.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace corvane {

/// The bytes of `text` read as a whole number of MiB: digits only, with no sign, blank,
/// decimal separator or suffix. None when the text is empty, holds anything else, or
/// names more than `largestMebibytes` (at most what a size in bytes can hold).
std::optional<std::size_t> readMebibytes(std::string_view text, std::size_t largestMebibytes);

}  // namespace corvane
