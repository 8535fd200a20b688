// Runs corvane-cli in the test's own process and captures what it prints.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "command_line.h"

namespace corvane::test {

// A stream whose text stays in memory.
class MemoryStream {
public:
    MemoryStream() : file_(open_memstream(&buffer_, &size_)) {}
    ~MemoryStream() {
        if (file_) std::fclose(file_);
        std::free(buffer_);
    }
    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;

    std::FILE* file() const { return file_; }
    std::string text() {
        std::fflush(file_);
        return std::string(buffer_, size_);
    }

private:
    char* buffer_ = nullptr;
    std::size_t size_ = 0;
    std::FILE* file_;
};

struct CliResult {
    int status;
    std::string out;
    std::string err;
};

/// Runs corvane-cli with `args` (without the program name).
inline CliResult runCli(std::vector<const char*> args) {
    args.insert(args.begin(), "corvane-cli");
    MemoryStream out;
    MemoryStream err;
    const int status =
        cli::runCommandLine(static_cast<int>(args.size()), args.data(), out.file(), err.file());
    return {status, out.text(), err.text()};
}

/// The same, for arguments held as strings.
inline CliResult runCliWith(const std::vector<std::string>& args) {
    std::vector<const char*> pointers;
    for (const std::string& arg : args)
        pointers.push_back(arg.c_str());
    return runCli(pointers);
}

/// The last line of a text, without its line end.
inline std::string lastLine(const std::string& text) {
    if (text.empty()) return "";
    const std::size_t end = text.back() == '\n' ? text.size() - 1 : text.size();
    const std::size_t start = end == 0 ? std::string::npos : text.rfind('\n', end - 1);
    const std::size_t from = start == std::string::npos ? 0 : start + 1;
    return text.substr(from, end - from);
}

}  // namespace corvane::test
