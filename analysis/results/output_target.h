// Where an output file really goes, and whether two paths name the same file. Every
// writer of output files (result sets, JSON, tables, images) asks these, so that a link,
// a device or a read-only file is treated alike by each of them.
#pragma once

#include <string>

namespace corvane {

enum class OutputKind {
    /// A regular file, or no file yet: written through a temporary beside it and a rename.
    Regular,
    /// A device, a FIFO, a socket or a descriptor of /proc (/dev/stdout): written
    /// directly, since a rename would put a regular file in its place.
    Direct,
    /// A folder: nothing can be written there.
    Folder,
};

struct OutputTarget {
    /// The name that is replaced: for a link, the file it leads to (through every link of
    /// the chain), so the link stays and its target gets the new contents.
    std::string path;
    OutputKind kind = OutputKind::Regular;
    /// A regular file marked read-only (no write bit at all): a run refuses it rather than
    /// put a new file in its place.
    bool readOnly = false;
};

/// Follows the links of `path` to the file it names.
OutputTarget resolveOutput(const std::string& path);

/// Whether `a` and `b` name one file: the same device and inode when both exist (so hard
/// and symbolic links count), else the same final name once links are followed.
bool sameFile(const std::string& a, const std::string& b);

}  // namespace corvane
