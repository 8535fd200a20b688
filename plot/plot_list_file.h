// A plot list kept in a file, as plotar and tempo read it: bounded, so that a wrong file
// (a huge log, a device that never ends) is refused instead of filling the memory.
#pragma once

#include <cstddef>
#include <string>

namespace corvane {

/// The largest plot list accepted: far more than MaxCurves pairs of file names with
/// comments around them.
inline constexpr std::size_t MaxListFileBytes = std::size_t{1} << 20;
inline constexpr std::size_t MaxListFileLines = 10000;

enum class ListFileStatus { Read, Missing, Folder, Unreadable, TooLong };

struct ListFile {
    ListFileStatus status = ListFileStatus::Missing;
    /// The whole text, when read.
    std::string text;
    /// Why it could not be read, in Portuguese, for Unreadable.
    std::string reason;
};

/// Reads the plot list at `path`, refusing a folder and a list longer than
/// MaxListFileBytes or MaxListFileLines.
ListFile readPlotListFile(const std::string& path);

/// Why the list at `path` could not be read, in Portuguese, for every command that reads
/// lists ("a lista x é uma pasta").
std::string listFileProblem(const std::string& path, const ListFile& list);

}  // namespace corvane
