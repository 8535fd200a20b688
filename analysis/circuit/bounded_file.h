// A whole text file read into memory, for the readers of documents a run wrote: only a
// regular file (a device or a FIFO could never end) and only up to a bound, so that a wrong
// file is refused instead of filling the memory.
#pragma once

#include <cstddef>
#include <string>

namespace corvane {

enum class BoundedReadStatus { Read, Missing, NotRegular, TooLong, Failed };

struct BoundedText {
    BoundedReadStatus status = BoundedReadStatus::Missing;
    /// The whole text, when read.
    std::string text;
};

/// Reads the regular file at `path` whole, refusing it past `maxBytes`.
BoundedText readBoundedFile(const std::string& path, std::size_t maxBytes);

}  // namespace corvane
