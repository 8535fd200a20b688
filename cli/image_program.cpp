#include "image_program.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

extern char** environ;

namespace corvane::cli {

namespace {

// A file descriptor closed when it goes out of scope.
class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        if (this != &other) {
            close();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { close(); }

    int get() const { return fd_; }
    void close() {
        if (fd_ >= 0) ::close(std::exchange(fd_, -1));
    }

private:
    int fd_ = -1;
};

struct Pipe {
    Descriptor read;
    Descriptor write;
};

bool openPipe(Pipe& pipe) {
    int ends[2];
    // Close-on-exec: the child gets only the copies made on its standard streams.
    if (::pipe2(ends, O_CLOEXEC) != 0) return false;
    pipe.read = Descriptor(ends[0]);
    pipe.write = Descriptor(ends[1]);
    return true;
}

// The spawn's file actions, destroyed with the object.
class FileActions {
public:
    FileActions() { ok_ = posix_spawn_file_actions_init(&actions_) == 0; }
    ~FileActions() {
        if (ok_) posix_spawn_file_actions_destroy(&actions_);
    }
    FileActions(const FileActions&) = delete;
    FileActions& operator=(const FileActions&) = delete;

    bool redirect(int from, int to) {
        ok_ = ok_ && posix_spawn_file_actions_adddup2(&actions_, from, to) == 0;
        return ok_;
    }
    const posix_spawn_file_actions_t* get() const { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
    bool ok_ = false;
};

// Copies both pipes to their streams until the child has closed both.
void relay(Descriptor& output, std::FILE* out, Descriptor& errors, std::FILE* err) {
    std::array<pollfd, 2> watched{pollfd{output.get(), POLLIN, 0}, pollfd{errors.get(), POLLIN, 0}};
    const std::array<std::FILE*, 2> streams{out, err};
    std::array<char, 4096> buffer;
    int open = 2;
    while (open > 0) {
        if (::poll(watched.data(), watched.size(), -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        for (std::size_t i = 0; i < watched.size(); ++i) {
            if (watched[i].fd < 0 || watched[i].revents == 0) continue;
            const ssize_t count = ::read(watched[i].fd, buffer.data(), buffer.size());
            if (count < 0 && errno == EINTR) continue;
            if (count <= 0) {
                watched[i].fd = -1;
                --open;
                continue;
            }
            std::fwrite(buffer.data(), 1, static_cast<std::size_t>(count), streams[i]);
        }
    }
    std::fflush(out);
    std::fflush(err);
}

int waitForExit(pid_t child, std::FILE* err) {
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            std::fprintf(err, "corvane-cli: %s se perdeu: %s\n", ImageProgramName,
                         std::strerror(errno));
            return -1;
        }
    }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    std::fprintf(err, "corvane-cli: %s terminou pelo sinal %d\n", ImageProgramName,
                 WTERMSIG(status));
    return -1;
}

bool isExecutable(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error) && ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::string findImageProgram(std::string_view fromBinDir) {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return {};
    const std::filesystem::path folder = self.parent_path();
    for (const std::filesystem::path& candidate :
         {folder / ImageProgramName, folder / fromBinDir / ImageProgramName}) {
        if (isExecutable(candidate)) return candidate.lexically_normal().string();
    }
    return {};
}

int runImageProgram(const std::string& program, const std::vector<std::string_view>& args,
                    std::FILE* out, std::FILE* err) {
    std::vector<std::string> owned{program};
    owned.insert(owned.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : owned)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    Pipe output;
    Pipe errors;
    FileActions actions;
    if (!openPipe(output) || !openPipe(errors) ||
        !actions.redirect(output.write.get(), STDOUT_FILENO) ||
        !actions.redirect(errors.write.get(), STDERR_FILENO)) {
        std::fprintf(err, "corvane-cli: não foi possível iniciar %s: %s\n", program.c_str(),
                     std::strerror(errno));
        return -1;
    }
    pid_t child = 0;
    const int failure =
        ::posix_spawn(&child, program.c_str(), actions.get(), nullptr, argv.data(), environ);
    output.write.close();
    errors.write.close();
    if (failure != 0) {
        std::fprintf(err, "corvane-cli: não foi possível iniciar %s: %s\n", program.c_str(),
                     std::strerror(failure));
        return -1;
    }
    relay(output.read, out, errors.read, err);
    return waitForExit(child, err);
}

}  // namespace corvane::cli
