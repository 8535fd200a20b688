// A reader of a FIFO that never blocks: tests write to a FIFO without a second thread.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <string>

namespace corvane::test {

// Opened for reading and writing, a FIFO blocks neither its writer's open nor its own
// reads: what the writer put in it, or nothing, without waiting.
class FifoReader {
public:
    explicit FifoReader(const std::string& path) : fd_(open(path.c_str(), O_RDWR | O_NONBLOCK)) {}
    ~FifoReader() {
        if (fd_ >= 0) close(fd_);
    }
    FifoReader(const FifoReader&) = delete;
    FifoReader& operator=(const FifoReader&) = delete;
    bool opened() const { return fd_ >= 0; }
    std::string text() const {
        std::string text;
        char buffer[4096];
        ssize_t got = 0;
        while ((got = read(fd_, buffer, sizeof buffer)) > 0)
            text.append(buffer, static_cast<std::size_t>(got));
        return text;
    }

private:
    int fd_;
};

}  // namespace corvane::test
