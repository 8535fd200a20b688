// The parts of a path that the writers and readers of files need, by the last '/' only:
// no lookup, so they hold for paths that do not exist yet.
#pragma once

#include <string>

namespace corvane {

/// The folder of `path`: "." for a bare file name, "/" for a file of the root.
inline std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

/// The file name of `path`, after its last '/'.
inline std::string fileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace corvane
