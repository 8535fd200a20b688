#include "result_file_names.h"

#include <sys/stat.h>

#include "run_state.h"

namespace corvane {

static_assert(ResultFileNames::HighestNumerator == LiftedRunLimits.variables);

namespace {

std::size_t fileNameStart(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? 0 : slash + 1;
}

// The last occurrence of `what` that starts inside the file name, or npos.
std::size_t lastInFileName(std::string_view path, std::string_view what) {
    const std::size_t found = path.rfind(what);
    return found == std::string_view::npos || found < fileNameStart(path) ? std::string_view::npos
                                                                          : found;
}

}  // namespace

ResultFileNames::ResultFileNames(std::string_view path) : netlist_(path) {
    std::size_t dot = lastInFileName(path, ".");
    if (dot == std::string_view::npos) {
        dot = path.size();
        netlist_ += NetlistSuffix;
    }
    baseName_ = std::string(path.substr(0, dot));
}

std::string ResultFileNames::netlistOfResults(std::string_view stem) {
    std::string netlist(stem);
    netlist += NetlistSuffix;
    struct stat status {};
    if (stat(netlist.c_str(), &status) == 0) return netlist;
    for (const char* suffix : SpiceSuffixes) {
        std::string spice(stem);
        spice += suffix;
        if (stat(spice.c_str(), &status) == 0) return spice;
    }
    return netlist;
}

std::optional<std::string> ResultFileNames::denominatorFor(std::string_view numeratorPath) {
    const std::size_t lower = lastInFileName(numeratorPath, ".n");
    const std::size_t upper = lastInFileName(numeratorPath, ".N");
    std::size_t cut = lower;
    if (cut == std::string_view::npos || (upper != std::string_view::npos && upper > cut)) {
        cut = upper;
    }
    if (cut == std::string_view::npos) return std::nullopt;
    return std::string(numeratorPath.substr(0, cut)) + ".d";
}

bool ResultFileNames::isNumeratorFile(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot + 2 >= name.size()) return false;
    if (name[dot + 1] != 'n' && name[dot + 1] != 'N') return false;
    const std::string_view digits = name.substr(dot + 2);
    if (digits.size() > 4 || digits[0] == '0') return false;
    int number = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return false;
        number = number * 10 + (c - '0');
    }
    return number <= HighestNumerator;
}

}  // namespace corvane
