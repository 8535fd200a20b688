#include "bounded_file.h"

#include <sys/stat.h>

#include "input_file.h"

namespace corvane {

BoundedText readBoundedFile(const std::string& path, std::size_t maxBytes) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) return {BoundedReadStatus::Missing, {}};
    if (!S_ISREG(status.st_mode)) return {BoundedReadStatus::NotRegular, {}};
    const InputFile file = openForReading(path.c_str());
    if (!file) return {BoundedReadStatus::Missing, {}};
    BoundedText read{BoundedReadStatus::Read, {}};
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        read.text.append(buffer, got);
        if (read.text.size() > maxBytes) return {BoundedReadStatus::TooLong, {}};
    }
    if (std::ferror(file.get())) return {BoundedReadStatus::Failed, {}};
    return read;
}

}  // namespace corvane
