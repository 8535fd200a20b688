// Writing the result files of a run as one set: every file is written to a temporary
// file beside it first, and only when all are written, flushed and closed do they take
// their final names. A failure leaves the previous set as it was.
#pragma once

#include <string>
#include <vector>

#include "polynomial.h"

namespace corvane {

enum class SaveStatus {
    Saved,
    /// A file could not be created (no folder, no permission).
    CannotCreate,
    /// Writing, closing or putting a file in place failed (a full disk, a folder in the
    /// way).
    WriteFailed,
};

struct ResultToSave {
    std::string path;
    const Polynomial* polynomial;
};

struct SetSaveResult {
    SaveStatus status = SaveStatus::Saved;
    /// The file that failed, when one did.
    std::string failedPath;
};

/// Writes every polynomial of `files` to its path, all or none. Temporary files are named
/// after the first path's file name, cut short, so that they fit in a folder entry, and
/// temporaries that a killed run of the same stem left behind are removed first.
SetSaveResult saveResultSet(const std::vector<ResultToSave>& files);

/// The prefix of the temporary files of `path`'s stem (file name only): a hidden name
/// that holds at most 32 bytes of the stem and a hash of the whole of it.
std::string temporaryPrefix(const std::string& path);

}  // namespace corvane
