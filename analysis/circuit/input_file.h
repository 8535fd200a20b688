// A text file open for reading, closed when it goes out of scope, on every path.
#pragma once

#include <cstdio>
#include <memory>

namespace corvane {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

using InputFile = std::unique_ptr<std::FILE, FileCloser>;

inline InputFile openForReading(const char* path) {
    return InputFile(std::fopen(path, "r"));
}

}  // namespace corvane
