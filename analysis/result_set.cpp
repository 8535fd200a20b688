#include "result_set.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "result_file.h"

namespace corvane {

namespace {

constexpr std::size_t KeptStemBytes = 32;

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string fileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

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
    std::string target;   // its final name
    std::string backup;   // a second name of the file it replaces, while the set is put in place
};

bool isFolder(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// Creates and fills one temporary; false with `status` set when that failed.
bool writeTemporary(const std::string& path, const Polynomial& p, SaveStatus& status) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
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
    bool ok = writePolynomial(file, p);
    ok = std::fflush(file) == 0 && ok;
    ok = std::ferror(file) == 0 && ok;
    ok = std::fclose(file) == 0 && ok;
    if (!ok) status = SaveStatus::WriteFailed;
    return ok;
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

SetSaveResult saveResultSet(const std::vector<ResultToSave>& files) {
    if (files.empty()) return {};
    const std::string folder = folderOf(files.front().path);
    const std::string prefix = temporaryPrefix(files.front().path);
    removeStaleTemporaries(folder, prefix);

    // A folder in the way of one name would fail only when the set is put in place.
    for (const ResultToSave& file : files) {
        if (isFolder(file.path)) return {SaveStatus::WriteFailed, file.path};
    }
    std::vector<Temporary> temporaries;
    const std::string ownPrefix = prefix + std::to_string(getpid()) + ".";
    for (const ResultToSave& file : files) {
        Temporary t;
        t.path = inFolder(folderOf(file.path), ownPrefix + std::to_string(temporaries.size()));
        t.target = file.path;
        SaveStatus status = SaveStatus::Saved;
        if (!writeTemporary(t.path, *file.polynomial, status)) {
            if (status == SaveStatus::WriteFailed) unlink(t.path.c_str());
            removeAll(temporaries);
            return {status, file.path};
        }
        temporaries.push_back(t);
    }
    const std::size_t failed = putInPlace(temporaries);
    if (failed < temporaries.size()) {
        removeAll(temporaries);
        return {SaveStatus::WriteFailed, temporaries[failed].target};
    }
    return {};
}

}  // namespace corvane
