// A text file written whole or not at all: the text goes to a new file beside the final
// one, which then takes its name, so a failure midway never leaves half a file there.
#pragma once

#include <string>
#include <string_view>

namespace corvane {

enum class WholeFileStatus {
    Saved,
    /// The file could not be created (no folder, no permission).
    CannotCreate,
    /// Writing, closing or putting the file in place failed (a full disk, say).
    WriteFailed,
};

WholeFileStatus saveWholeFile(const std::string& path, std::string_view text);

}  // namespace corvane
