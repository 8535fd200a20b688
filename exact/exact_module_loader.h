// Finds and loads the exact module (exact_module.h) on first use.
//
// Where: a program inside the build tree it was built in (the command line, the windows,
// the tests, the benchmarks) takes the module from that tree's exact/ folder; any other
// program, installed, takes it from the installed ${CMAKE_INSTALL_LIBDIR}/corvane, found
// from the program's own folder (/proc/self/exe) by the paths fixed at configure time from
// the folder of the programs and from the companion's libexec folder. So an installed
// program never reads a build tree, whatever path it was built in, and nothing in the
// environment moves the lookup.
#pragma once

#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "exact_module.h"

namespace corvane {

/// The module could not be loaded; `what()` names the file and says why, in Portuguese.
class ExactModuleUnavailable : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ExactModuleLoader {
public:
    /// Looks in the first of `folders` that holds the module file (the first folder, to be
    /// named in the message, when none does).
    explicit ExactModuleLoader(std::vector<std::filesystem::path> folders);

    /// The module, loaded on the first call and kept to the end of the process. Throws
    /// ExactModuleUnavailable when it cannot be loaded; the next call tries again.
    const ExactModule& module();

private:
    std::vector<std::filesystem::path> folders_;
    std::mutex mutex_;
    const ExactModule* module_ = nullptr;
};

/// The folders a program looks in, as said above.
std::vector<std::filesystem::path> exactModuleFolders();

/// The process's module, loaded from exactModuleFolders() on first use.
const ExactModule& exactModule();

}  // namespace corvane
