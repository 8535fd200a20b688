#include "plot_list_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "input_file.h"

namespace corvane {

namespace {

std::string reasonOf(int error) {
    if (error == EACCES || error == EPERM) return "sem permissão de leitura";
    return std::strerror(error);
}

ListFile failure(ListFileStatus status, int error = 0) {
    ListFile list;
    list.status = status;
    if (error != 0) list.reason = reasonOf(error);
    return list;
}

}  // namespace

ListFile readPlotListFile(const std::string& path) {
    errno = 0;
    const InputFile file = openForReading(path.c_str());
    if (!file) {
        return errno == ENOENT ? failure(ListFileStatus::Missing)
                               : failure(ListFileStatus::Unreadable, errno);
    }
    struct stat status {};
    if (fstat(fileno(file.get()), &status) == 0 && S_ISDIR(status.st_mode)) {
        return failure(ListFileStatus::Folder);
    }
    ListFile list;
    char buffer[65536];
    std::size_t lines = 0;
    // One byte past the limit is enough to know the list is too long.
    while (list.text.size() <= MaxListFileBytes) {
        const std::size_t wanted = std::min(sizeof buffer, MaxListFileBytes + 1 - list.text.size());
        const std::size_t got = std::fread(buffer, 1, wanted, file.get());
        lines += static_cast<std::size_t>(std::count(buffer, buffer + got, '\n'));
        list.text.append(buffer, got);
        if (lines > MaxListFileLines) return failure(ListFileStatus::TooLong);
        if (got < wanted) break;
    }
    if (std::ferror(file.get())) {
        // A folder opened on a system that lets fopen succeed fails here with EISDIR.
        return errno == EISDIR ? failure(ListFileStatus::Folder)
                               : failure(ListFileStatus::Unreadable, errno);
    }
    if (list.text.size() > MaxListFileBytes) return failure(ListFileStatus::TooLong);
    // A last line without its line end is a line too.
    if (lines == MaxListFileLines && !list.text.empty() && list.text.back() != '\n') {
        return failure(ListFileStatus::TooLong);
    }
    list.status = ListFileStatus::Read;
    return list;
}

std::string listFileProblem(const std::string& path, const ListFile& list) {
    switch (list.status) {
        case ListFileStatus::Folder:
            return "a lista " + path + " é uma pasta";
        case ListFileStatus::Unreadable:
            return "não foi possível ler a lista " + path + ": " + list.reason;
        case ListFileStatus::TooLong:
            return "a lista " + path + " passa de 1 MiB ou de " + std::to_string(MaxListFileLines) +
                   " linhas";
        default:
            return "não foi possível ler a lista " + path;
    }
}

}  // namespace corvane
