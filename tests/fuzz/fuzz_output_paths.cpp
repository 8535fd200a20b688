// Fuzz target: the output path checks and the set writer. The input lays out a small
// folder of path shapes (files, read-only files, folders, relative and absolute links,
// links in chains and loops, dangling links, hard links), then writes a set of up to four
// outputs among them. Whatever the shapes, the writer must leave no temporary, keep every
// link a link, leave every file as it was when the set fails, and put each output's text
// where its path leads when the set succeeds; sameFile must be symmetric.
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "output_target.h"
#include "result_set.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* Names[] = {"a.d", "b.n1", "c.json", "sub/d.csv", "sub/e", "f"};
constexpr std::size_t NameCount = std::size(Names);

// Bytes read one at a time, zero past the end.
class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t next() { return at_ < size_ ? data_[at_++] : 0; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

void require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "fuzz_output_paths: %s\n", what);
    std::abort();
}

std::string contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void makeShape(const std::string& folder, std::size_t i, Bytes& bytes) {
    const fs::path path = folder + "/" + Names[i];
    const std::string other = Names[bytes.next() % NameCount];
    std::error_code ignored;
    switch (bytes.next() % 8) {
        case 0:
            break;
        case 1:
            std::ofstream(path, std::ios::binary) << "antigo " << i << "\n";
            break;
        case 2:
            std::ofstream(path, std::ios::binary) << "protegido " << i << "\n";
            fs::permissions(path, fs::perms::owner_read, ignored);
            break;
        case 3:
            fs::create_directory(path, ignored);
            break;
        case 4:
            // Relative to the link's own folder, worked out from the names alone: the
            // target may itself be a loop of links.
            fs::create_symlink((path.parent_path() == fs::path(folder) ? "" : "../") + other,
                               path, ignored);
            break;
        case 5:
            fs::create_symlink(folder + "/" + other, path, ignored);
            break;
        case 6:
            fs::create_hard_link(folder + "/" + other, path, ignored);
            break;
        default:
            fs::create_symlink(folder + "/nada", path, ignored);
            break;
    }
}

struct Snapshot {
    std::map<std::string, std::string> files;  // regular files (not through links)
    std::map<std::string, std::string> links;  // link → its text
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(const std::string& folder) {
    Snapshot s;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = entry.path().string();
        require(entry.path().filename().string()[0] != '.', "a temporary was left behind");
        if (entry.is_symlink()) {
            s.links[name] = fs::read_symlink(entry.path()).string();
        } else if (entry.is_regular_file()) {
            s.files[name] = contents(entry.path());
        }
    }
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace corvane;
    std::string folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm/corvane-saida-XXXXXX"
                                                       : "/tmp/corvane-saida-XXXXXX";
    if (!mkdtemp(folder.data())) return 0;
    fs::create_directory(folder + "/sub");
    Bytes bytes(data, size);
    for (std::size_t i = 0; i < NameCount; ++i) makeShape(folder, i, bytes);

    std::vector<ResultToSave> set;
    std::vector<std::string> texts;
    const std::size_t count = 1 + bytes.next() % 4;
    for (std::size_t k = 0; k < count; ++k) {
        const std::string path = folder + "/" + Names[bytes.next() % NameCount];
        texts.push_back("novo " + std::to_string(k) + "\n");
        set.push_back({path, nullptr, [text = texts.back()](std::FILE* file) {
                           return std::fwrite(text.data(), 1, text.size(), file) == text.size();
                       }});
    }
    for (const ResultToSave& a : set) {
        for (const ResultToSave& b : set)
            require(sameFile(a.path, b.path) == sameFile(b.path, a.path), "sameFile not symmetric");
    }

    const Snapshot before = snapshot(folder);
    const SetSaveResult saved = saveResultSet(set);
    const Snapshot after = snapshot(folder);
    require(after.links == before.links, "a link was replaced");
    if (saved.status != SaveStatus::Saved) {
        require(after == before, "a failed set changed a file");
    } else {
        for (std::size_t k = 0; k < count; ++k) {
            bool replacedLater = false;
            for (std::size_t j = k + 1; j < count; ++j)
                replacedLater = replacedLater || resolveOutput(set[j].path).path ==
                                                     resolveOutput(set[k].path).path;
            if (!replacedLater) require(contents(set[k].path) == texts[k], "an output was lost");
        }
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return 0;
}
