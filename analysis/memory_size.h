// Sizes of memory as the log and the messages write them.
#pragma once

#include <cstddef>
#include <string>

namespace corvane {

/// A size of memory as the log shows it: "2048 MiB", "40 KiB", "100 bytes".
std::string formatMemorySize(std::size_t bytes);

}  // namespace corvane
