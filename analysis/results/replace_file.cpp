#include "replace_file.h"

#include "result_set.h"

namespace corvane {

WholeFileStatus replaceFileWith(const std::string& path,
                                const std::function<bool(std::FILE*)>& write) {
    // One file is a set of one: links, devices, read-only files and Ctrl-C are handled
    // as for the result files.
    switch (saveResultSet({{path, nullptr, write}}).status) {
        case SaveStatus::Saved:
            return WholeFileStatus::Saved;
        case SaveStatus::CannotCreate:
        case SaveStatus::ReadOnly:
            return WholeFileStatus::CannotCreate;
        case SaveStatus::WriteFailed:
        case SaveStatus::Interrupted:
            return WholeFileStatus::WriteFailed;
    }
    return WholeFileStatus::WriteFailed;
}

bool replaceFile(const std::string& path, const std::function<bool(std::FILE*)>& write) {
    return replaceFileWith(path, write) == WholeFileStatus::Saved;
}

WholeFileStatus saveWholeFile(const std::string& path, std::string_view text) {
    return replaceFileWith(path, [text](std::FILE* file) {
        return std::fwrite(text.data(), 1, text.size(), file) == text.size();
    });
}

}  // namespace corvane
