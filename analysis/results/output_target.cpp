#include "output_target.h"

#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <memory>

#include "path_parts.h"

namespace corvane {

namespace {

// As the kernel's own limit on links followed in one lookup.
constexpr int MaxLinksFollowed = 40;

std::string canonicalFolder(const std::string& path) {
    const std::unique_ptr<char, decltype(&std::free)> real(realpath(folderOf(path).c_str(), nullptr),
                                                           &std::free);
    return real ? std::string(real.get()) : std::string();
}

std::string joined(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

// The descriptors of /proc (/dev/stdout, /dev/fd/3) stand for open files of a process:
// replacing the name would not reach them.
bool inProc(const std::string& canonical) {
    return canonical == "/proc" || canonical.rfind("/proc/", 0) == 0;
}

std::string linkText(const std::string& path) {
    std::array<char, PATH_MAX> text{};
    const ssize_t length = readlink(path.c_str(), text.data(), text.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= text.size()) return {};
    return std::string(text.data(), static_cast<std::size_t>(length));
}

// Marked read-only by its owner (chmod a-w): the same for root, who may write anything,
// and for a user who shares the folder with the file's owner.
bool markedReadOnly(const struct stat& status) {
    return (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

}  // namespace

OutputTarget resolveOutput(const std::string& path) {
    std::string current = path;
    for (int hop = 0; hop <= MaxLinksFollowed; ++hop) {
        const std::string folder = canonicalFolder(current);
        // A folder that does not exist: creating the file will say so.
        if (folder.empty()) return {current, OutputKind::Regular, false};
        const std::string canonical = joined(folder, fileNameOf(current));
        if (inProc(folder)) return {canonical, OutputKind::Direct, false};
        struct stat status {};
        if (lstat(canonical.c_str(), &status) != 0) return {canonical, OutputKind::Regular, false};
        if (S_ISLNK(status.st_mode)) {
            const std::string target = linkText(canonical);
            if (target.empty()) return {current, OutputKind::Direct, false};
            current = target[0] == '/' ? target : joined(folder, target);
            continue;
        }
        if (S_ISDIR(status.st_mode)) return {canonical, OutputKind::Folder, false};
        if (!S_ISREG(status.st_mode)) return {canonical, OutputKind::Direct, false};
        return {canonical, OutputKind::Regular, markedReadOnly(status)};
    }
    // A loop of links: opened, it fails (ELOOP) as any program's open would; a rename
    // would put a file in place of the link instead.
    return {path, OutputKind::Direct, false};
}

bool sameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    if (stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0) {
        return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
    }
    return resolveOutput(a).path == resolveOutput(b).path;
}

}  // namespace corvane
