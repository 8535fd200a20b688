#include "replace_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace corvane {

namespace {

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// A hidden name of the process and an attempt number; O_EXCL keeps two runs apart.
// 0666 lets the umask decide, as it would for the final file.
std::FILE* createBeside(const std::string& path, std::string& temporary) {
    const std::string folder = folderOf(path);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = folder + "/.corvane-" + std::to_string(getpid()) + "-" +
                    std::to_string(attempt) + ".tmp";
        const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return nullptr;
        }
        std::FILE* file = fdopen(fd, "w");
        if (!file) {
            close(fd);
            unlink(temporary.c_str());
        }
        return file;
    }
    return nullptr;
}

}  // namespace

WholeFileStatus replaceFileWith(const std::string& path,
                                const std::function<bool(std::FILE*)>& write) {
    std::string temporary;
    std::FILE* file = createBeside(path, temporary);
    if (!file) return WholeFileStatus::CannotCreate;
    bool ok = write(file);
    ok = std::fflush(file) == 0 && ok;
    ok = std::ferror(file) == 0 && ok;
    // A full disk may only show when the data reaches it.
    ok = ok && fsync(fileno(file)) == 0;
    ok = std::fclose(file) == 0 && ok;
    ok = ok && std::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) {
        unlink(temporary.c_str());
        return WholeFileStatus::WriteFailed;
    }
    return WholeFileStatus::Saved;
}

bool replaceFile(const std::string& path, const std::function<bool(std::FILE*)>& write) {
    return replaceFileWith(path, write) == WholeFileStatus::Saved;
}

WholeFileStatus saveWholeFile(const std::string& path, std::string_view text) {
    return replaceFileWith(path, [text](std::FILE* file) {
        return std::fwrite(text.data(), 1, text.size(), file) == text.size();
    });
}

}  // namespace corvane
