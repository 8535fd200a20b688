// Output files (tables, images) written whole or not at all.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

namespace corvane {

/// Writes the file `path` through a new file in the same folder: `write` fills it (and
/// returns false when a write failed), it is flushed, synced and closed, and only then
/// takes the final name. On any failure the new file is removed and `path` is left as it
/// was; returns false. The new file's name is short, so a long final name still works.
bool replaceFile(const std::string& path, const std::function<bool(std::FILE*)>& write);

}  // namespace corvane
