#include "whole_file.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace corvane {

namespace {

struct TemporaryFile {
    std::string path;
    std::FILE* file = nullptr;
};

// A new file beside `path` that no one else uses; its permissions follow the process's
// umask, as the final file's would.
TemporaryFile createBeside(const std::string& path) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        TemporaryFile temporary;
        temporary.path = path + ".~" + std::to_string(getpid()) + "-" + std::to_string(attempt);
        const int fd = open(temporary.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return {};
        }
        temporary.file = fdopen(fd, "w");
        if (!temporary.file) {
            close(fd);
            unlink(temporary.path.c_str());
            return {};
        }
        return temporary;
    }
    return {};
}

}  // namespace

WholeFileStatus saveWholeFile(const std::string& path, std::string_view text) {
    TemporaryFile temporary = createBeside(path);
    if (!temporary.file) return WholeFileStatus::CannotCreate;
    bool ok = std::fwrite(text.data(), 1, text.size(), temporary.file) == text.size();
    ok = std::fflush(temporary.file) == 0 && ok;
    ok = std::ferror(temporary.file) == 0 && ok;
    ok = std::fclose(temporary.file) == 0 && ok;
    ok = ok && std::rename(temporary.path.c_str(), path.c_str()) == 0;
    if (!ok) {
        unlink(temporary.path.c_str());
        return WholeFileStatus::WriteFailed;
    }
    return WholeFileStatus::Saved;
}

}  // namespace corvane
