// Ctrl-C to a child program, as a person at the terminal would press it: the child is
// started with its standard output in a file, given SIGINT once its handler is in place,
// and waited for with a generous limit.
#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace corvane::test {

// Whether process `pid` catches SIGINT, from the SigCgt mask of /proc.
inline bool catchesInterrupt(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("SigCgt:", 0) != 0) continue;
        const unsigned long long mask = std::stoull(line.substr(7), nullptr, 16);
        return (mask >> (SIGINT - 1) & 1) != 0;
    }
    return false;
}

// Waits for the child with a generous limit; kills it past the limit and gives -1.
inline int waitFor(pid_t pid, std::chrono::seconds limit) {
    using namespace std::chrono_literals;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(10ms);
    }
    return status;
}

// Starts `program` with `args` (its name first), its standard output to the file `out`;
// sends SIGINT once it catches it, and sets `status` to what waitpid says of its end.
// Call it through ASSERT_NO_FATAL_FAILURE.
inline void interruptChild(const char* program, std::vector<const char*> args,
                           const std::string& out, int& status) {
    using namespace std::chrono_literals;
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    ASSERT_EQ(posix_spawn_file_actions_init(&actions), 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program, &actions, nullptr,
                                    const_cast<char* const*>(args.data()), environ);
    posix_spawn_file_actions_destroy(&actions);
    ASSERT_EQ(spawned, 0);

    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (!catchesInterrupt(pid) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
    ASSERT_TRUE(catchesInterrupt(pid));
    ASSERT_EQ(kill(pid, SIGINT), 0);
    status = waitFor(pid, 60s);
}

}  // namespace corvane::test
