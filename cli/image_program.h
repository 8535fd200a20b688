// The image export runs in a companion program, corvane-imagem, built with the window
// toolkit's painter: corvane-cli itself loads no Qt library, so an analysis or a plot
// without --imagem starts as fast as a plain program. plotar --imagem hands its whole
// command line to the companion and passes on what it prints and its exit status.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::cli {

/// The companion's file name.
inline constexpr const char* ImageProgramName = "corvane-imagem";

/// Where the companion is, found from the running program so that both the build tree
/// and the installed package work: beside it, or in the installed libexec folder
/// (`fromBinDir`, relative to the folder of the programs). Empty when it is in neither.
std::string findImageProgram(std::string_view fromBinDir);

/// Runs `program` with `args` (without the program name), copying its standard output to
/// `out` and its standard error to `err` as they come. Returns its exit status; when it
/// cannot be started or ends on a signal, says so on `err` and returns -1.
int runImageProgram(const std::string& program, const std::vector<std::string_view>& args,
                    std::FILE* out, std::FILE* err);

}  // namespace corvane::cli
