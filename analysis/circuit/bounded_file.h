// A whole text file read into memory, for the readers of documents a run wrote: only a
// regular file (a device or a FIFO could never end) and only up to a bound, so that a wrong
// file is refused instead of filling the memory.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace corvane {

struct BoundedText {
    /// The whole text, when read.
    std::optional<std::string> text;
    /// Why not, in Portuguese, naming the file as `what` said: "O documento x passa de
    /// 64 MiB.".
    std::string error;
};

/// Reads the regular file at `path` whole, refusing it past `maxBytes` (a whole number of
/// mebibytes). `what` names the kind of file with its article, in lower case: "o
/// documento", "o arquivo de ruído".
BoundedText readBoundedFile(const std::string& path, std::size_t maxBytes, std::string_view what);

}  // namespace corvane
