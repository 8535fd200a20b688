#include "result_set.h"

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string_view>

#include "output_target.h"
#include "path_parts.h"
#include "result_file.h"

namespace corvane {

namespace {

constexpr std::size_t KeptStemBytes = 32;

// The file name up to its last '.', the same for every file of a set.
std::string stemOf(const std::string& path) {
    const std::string name = fileNameOf(path);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::uint64_t fnv1a(std::string_view text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

std::string cutAtCharacter(const std::string& text, std::size_t bytes) {
    if (text.size() <= bytes) return text;
    std::size_t cut = bytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return text.substr(0, cut);
}

std::string inFolder(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

// A process that still runs may still be writing its temporaries.
bool processRuns(long pid) {
    return pid > 0 && (kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

// Removes the temporaries of `prefix` whose writer no longer runs. Their names are
// "<prefix><pid>.<index>".
void removeStaleTemporaries(const std::string& folder, const std::string& prefix) {
    DIR* listing = opendir(folder.c_str());
    if (!listing) return;
    while (const dirent* entry = readdir(listing)) {
        const std::string_view name(entry->d_name);
        if (name.substr(0, prefix.size()) != prefix) continue;
        const std::string rest(name.substr(prefix.size()));
        char* end = nullptr;
        const long pid = std::strtol(rest.c_str(), &end, 10);
        if (end == rest.c_str() || *end != '.' || processRuns(pid)) continue;
        unlink(inFolder(folder, std::string(name)).c_str());
    }
    closedir(listing);
}

struct Temporary {
    std::string path;     // the temporary file
    std::string target;   // its final name (the file a link leads to)
    std::string backup;   // a second name of the file it replaces, while the set is put in place
    std::string named;    // the path as the run named it, for its messages
};

bool writeContents(std::FILE* file, const ResultToSave& contents) {
    if (contents.polynomial) return writePolynomial(file, *contents.polynomial);
    return contents.write && contents.write(file);
}

// Flushes, checks and closes `file`, syncing it first when asked (a full disk may only
// show when the data reaches it); false when any of it failed.
bool finish(std::FILE* file, bool ok, bool sync) {
    ok = std::fflush(file) == 0 && ok;
    ok = std::ferror(file) == 0 && ok;
    if (sync) ok = ok && fsync(fileno(file)) == 0;
    return std::fclose(file) == 0 && ok;
}

// Writes `contents` through the descriptor `fd` (-1 when it could not be opened), which it
// closes; false with `status` set when that failed. `sync` waits for the disk.
bool writeThrough(int fd, const ResultToSave& contents, bool sync, SaveStatus& status) {
    if (fd < 0) {
        status = SaveStatus::CannotCreate;
        return false;
    }
    std::FILE* file = fdopen(fd, "w");
    if (!file) {
        close(fd);
        status = SaveStatus::CannotCreate;
        return false;
    }
    const bool ok = finish(file, writeContents(file, contents), sync);
    if (!ok) status = SaveStatus::WriteFailed;
    return ok;
}

// Creates and fills one temporary; false with `status` set when that failed.
bool writeTemporary(const std::string& path, const ResultToSave& contents, SaveStatus& status) {
    return writeThrough(open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666), contents,
                        true, status);
}

// The descriptor number of "/proc/<this process>/fd/<n>", or -1.
int ownDescriptor(const std::string& path) {
    std::string own = "/proc/" + std::to_string(getpid()) + "/fd/";
    if (path.rfind(own, 0) != 0) own = "/proc/self/fd/";
    if (path.rfind(own, 0) != 0) return -1;
    const std::string number = path.substr(own.size());
    char* end = nullptr;
    const long fd = std::strtol(number.c_str(), &end, 10);
    if (number.empty() || *end != '\0' || fd < 0 || fd > INT_MAX) return -1;
    return static_cast<int>(fd);
}

// A device, a FIFO or standard output keeps its nature: it is opened and written, never
// replaced. One of this process's own descriptors (/dev/stdout) is written where it
// stands, so a log appended to stays whole.
bool writeDirectly(const std::string& path, const ResultToSave& contents, SaveStatus& status) {
    const int own = ownDescriptor(path);
    const int fd = own >= 0 ? fcntl(own, F_DUPFD_CLOEXEC, 0)
                            : open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    return writeThrough(fd, contents, false, status);
}

void removeAll(const std::vector<Temporary>& temporaries) {
    for (const Temporary& t : temporaries) {
        unlink(t.path.c_str());
        if (!t.backup.empty()) unlink(t.backup.c_str());
    }
}

// Gives every temporary its final name. The files replaced keep a second name until the
// end, so that a failing rename can put the whole previous set back. Returns the index of
// the file that could not take its name, or the size when all did.
std::size_t putInPlace(std::vector<Temporary>& temporaries) {
    for (Temporary& t : temporaries) {
        const std::string backup = t.path + "b";
        if (link(t.target.c_str(), backup.c_str()) == 0) t.backup = backup;
    }
    for (std::size_t i = 0; i < temporaries.size(); ++i) {
        if (std::rename(temporaries[i].path.c_str(), temporaries[i].target.c_str()) == 0) continue;
        for (std::size_t j = 0; j < i; ++j) {
            const Temporary& done = temporaries[j];
            if (!done.backup.empty()) {
                std::rename(done.backup.c_str(), done.target.c_str());
            } else {
                unlink(done.target.c_str());
            }
        }
        return i;
    }
    for (Temporary& t : temporaries) {
        if (!t.backup.empty()) unlink(t.backup.c_str());
        t.backup.clear();
    }
    return temporaries.size();
}

// The signals that stop a run from a terminal or a session: held back while temporaries
// exist, so that none is left behind, and delivered when the holder goes away.
class StopSignalsHeld {
public:
    StopSignalsHeld() {
        sigemptyset(&stops_);
        for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&stops_, signal);
        held_ = pthread_sigmask(SIG_BLOCK, &stops_, &previous_) == 0;
    }
    ~StopSignalsHeld() {
        if (held_) pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }
    StopSignalsHeld(const StopSignalsHeld&) = delete;
    StopSignalsHeld& operator=(const StopSignalsHeld&) = delete;

    /// Whether a stop signal arrived since the holder was made. A blocked signal stays
    /// pending even when ignored: one the process ignores stops nothing.
    bool stopAsked() const {
        sigset_t pending;
        if (sigpending(&pending) != 0) return false;
        for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
            if (sigismember(&pending, signal) != 1 || sigismember(&previous_, signal) == 1)
                continue;
            struct sigaction action {};
            if (sigaction(signal, nullptr, &action) == 0 && action.sa_handler == SIG_IGN) continue;
            return true;
        }
        return false;
    }

private:
    sigset_t stops_;
    sigset_t previous_;
    bool held_ = false;
};

// An exclusive flock on a folder for the lifetime of the object. A folder that cannot be
// opened (no read permission) is not locked: the set is then put in place as before.
class FolderLock {
public:
    explicit FolderLock(const std::string& folder)
        : fd_(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (fd_ < 0) return;
        while (flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~FolderLock() {
        if (fd_ >= 0) close(fd_);
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int fd_;
};

// A folder or a read-only file in the way stops the set before anything is written.
SetSaveResult refusedTarget(const std::vector<ResultToSave>& files,
                            const std::vector<OutputTarget>& targets) {
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (targets[i].kind == OutputKind::Folder) return {SaveStatus::WriteFailed, files[i].path};
        if (targets[i].readOnly) return {SaveStatus::ReadOnly, files[i].path};
    }
    return {};
}

void removeStaleTemporariesBeside(const std::vector<OutputTarget>& targets,
                                  const std::string& prefix) {
    std::set<std::string> folders;
    for (const OutputTarget& target : targets) {
        if (target.kind == OutputKind::Regular) folders.insert(folderOf(target.path));
    }
    for (const std::string& folder : folders) removeStaleTemporaries(folder, prefix);
}

// Writes the temporary of every regular target, beside the file it replaces; stops at the
// first failure or stop signal. `temporaries` holds those written, for removal.
SetSaveResult writeTemporaries(const std::vector<ResultToSave>& files,
                               const std::vector<OutputTarget>& targets,
                               const StopSignalsHeld& signals,
                               std::vector<Temporary>& temporaries) {
    const std::string prefix = temporaryPrefix(files.front().path);
    removeStaleTemporariesBeside(targets, prefix);
    const std::string ownPrefix = prefix + std::to_string(getpid()) + ".";
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (targets[i].kind != OutputKind::Regular) continue;
        Temporary t;
        t.path = inFolder(folderOf(targets[i].path), ownPrefix + std::to_string(i));
        t.target = targets[i].path;
        t.named = files[i].path;
        SaveStatus status = SaveStatus::Saved;
        if (!writeTemporary(t.path, files[i], status)) {
            if (status == SaveStatus::WriteFailed) unlink(t.path.c_str());
            return {status, files[i].path};
        }
        temporaries.push_back(t);
        if (signals.stopAsked()) return {SaveStatus::Interrupted, files[i].path};
    }
    return {};
}

// Writes every target that is no regular file, once all temporaries are whole.
SetSaveResult writeDirectTargets(const std::vector<ResultToSave>& files,
                                 const std::vector<OutputTarget>& targets,
                                 const StopSignalsHeld& signals) {
    const bool any = std::any_of(targets.begin(), targets.end(), [](const OutputTarget& t) {
        return t.kind == OutputKind::Direct;
    });
    if (!any) return {};
    // What the program printed so far comes before what goes to standard output here.
    std::fflush(nullptr);
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (targets[i].kind != OutputKind::Direct) continue;
        if (signals.stopAsked()) return {SaveStatus::Interrupted, files[i].path};
        SaveStatus status = SaveStatus::Saved;
        if (!writeDirectly(targets[i].path, files[i], status)) return {status, files[i].path};
    }
    return {};
}

}  // namespace

std::string temporaryPrefix(const std::string& path) {
    const std::string stem = stemOf(path);
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(fnv1a(stem)));
    // Built by appending: GCC 12 warns falsely (-Wrestrict) on "." + std::string at -O3.
    std::string prefix = ".";
    prefix += cutAtCharacter(stem, KeptStemBytes);
    prefix += '~';
    prefix += hash;
    prefix += '~';
    return prefix;
}

SetSaveResult saveResultSet(const std::vector<ResultToSave>& files,
                            const std::vector<std::string>& obsolete) {
    if (files.empty()) return {};
    std::vector<OutputTarget> targets;
    for (const ResultToSave& file : files) targets.push_back(resolveOutput(file.path));
    if (const SetSaveResult refused = refusedTarget(files, targets);
        refused.status != SaveStatus::Saved)
        return refused;

    const StopSignalsHeld signals;
    std::vector<Temporary> temporaries;
    SetSaveResult result = writeTemporaries(files, targets, signals, temporaries);
    if (result.status == SaveStatus::Saved) result = writeDirectTargets(files, targets, signals);
    if (result.status != SaveStatus::Saved) {
        removeAll(temporaries);
        return result;
    }

    const FolderLock lock(folderOf(files.front().path));
    if (signals.stopAsked()) {
        removeAll(temporaries);
        return {SaveStatus::Interrupted, files.front().path};
    }
    const std::size_t failed = putInPlace(temporaries);
    if (failed < temporaries.size()) {
        removeAll(temporaries);
        return {SaveStatus::WriteFailed, temporaries[failed].named};
    }
    // Still under the lock, so that no other run's set loses a file of its own.
    for (const std::string& path : obsolete) {
        struct stat status {};
        if (lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode)) unlink(path.c_str());
    }
    return {};
}

}  // namespace corvane
