// Output files (result documents, tables, images) written whole or not at all: the text
// goes to a new file beside the final one, which then takes its name, so a failure midway
// never leaves half a file there and the previous file stays as it was. A link is replaced
// through it; a device, a FIFO or standard output is written directly; a read-only file is
// refused (see result_set.h, which does the work).
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

namespace corvane {

enum class WholeFileStatus {
    Saved,
    /// The file could not be created (no folder, no permission, a read-only file).
    CannotCreate,
    /// Writing, closing or putting the file in place failed (a full disk, say).
    WriteFailed,
};

/// Writes the file `path` through a new file in the same folder: `write` fills it (and
/// returns false when a write failed), it is flushed, synced and closed, and only then
/// takes the final name. On any failure, or a Ctrl-C meanwhile, the new file is removed
/// and `path` is left as it was. The new file's name is short, so a long final name still
/// works. A target that is no regular file is written directly by `write`.
WholeFileStatus replaceFileWith(const std::string& path,
                                const std::function<bool(std::FILE*)>& write);

/// replaceFileWith, true when the file took its place.
bool replaceFile(const std::string& path, const std::function<bool(std::FILE*)>& write);

/// A text written whole or not at all.
WholeFileStatus saveWholeFile(const std::string& path, std::string_view text);

}  // namespace corvane
