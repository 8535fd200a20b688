// Writing the output files of a run as one set: every regular file is written to a
// temporary file beside it first, and only when all are written, flushed, synced and
// closed do they take their final names, together, under a lock on the folder of the
// first file. A failure leaves the previous set as it was.
//
// A file that is a link is replaced through it: the link stays and the file it leads to
// gets the new contents. A target that is no regular file (a device, a FIFO, standard
// output) is written directly, every write checked, before the regular files are put in
// place. A read-only regular file, or a folder, in the way of one name stops the whole set
// before anything is written.
//
// Concurrent runs: two runs that write the same set take turns while they put it in place
// (flock on the folder; a script that reads the set while holding the same lock sees one
// run's files). The lock is on the folder itself, so no lock file is ever left behind.
//
// Interruption: SIGINT, SIGTERM and SIGHUP are held back while temporaries exist; one that
// arrived meanwhile removes every temporary, nothing is put in place, and the signal is
// then delivered as usual once the call returns.
#pragma once

#include <cstdio>
#include <functional>
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
    /// A regular file of the set may not be written (no write bit): nothing was written.
    ReadOnly,
    /// A stop signal (Ctrl-C) arrived while the set was written: nothing was put in place.
    Interrupted,
};

struct ResultToSave {
    std::string path;
    /// The polynomial of a result file; null for a file of text.
    const Polynomial* polynomial = nullptr;
    /// Writes a file that is no result file (the JSON document of a run, a table); false
    /// when a write failed.
    std::function<bool(std::FILE*)> write;
};

struct SetSaveResult {
    SaveStatus status = SaveStatus::Saved;
    /// The file that failed, when one did.
    std::string failedPath;
};

/// Writes every file of `files` to its path, all or none. Temporary files are named
/// after the first path's file name, cut short, so that they fit in a folder entry, and
/// temporaries that a killed run of the same stem left behind are removed first.
/// The regular files of `obsolete` that exist (a warnings file that a clean run no
/// longer has) are removed under the same lock once the set is in place.
SetSaveResult saveResultSet(const std::vector<ResultToSave>& files,
                            const std::vector<std::string>& obsolete = {});

/// The prefix of the temporary files of `path`'s stem (file name only): a hidden name
/// that holds at most 32 bytes of the stem and a hash of the whole of it.
std::string temporaryPrefix(const std::string& path);

}  // namespace corvane
