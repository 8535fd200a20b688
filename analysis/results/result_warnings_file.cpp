#include "result_warnings_file.h"

#include <sys/stat.h>

#include "input_file.h"
#include "path_parts.h"

namespace corvane {

namespace {

constexpr const char* Extension = ".avisos";
// Far more than the warnings of 25 variables; a larger file is not ours.
constexpr std::size_t MaxBytes = std::size_t{1} << 20;

// The path of a result file cut at the last '.' of its file name: its run's base name.
std::string baseOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path;
    return path.substr(0, dot);
}

std::string fileConcerned(const RunWarning& warning, const ResultFileNames& names) {
    switch (warning.subject) {
        case WarningSubject::Denominator:
            return fileNameOf(names.denominator());
        case WarningSubject::Numerator:
            return fileNameOf(names.numerator(warning.variable));
        case WarningSubject::File:
            return fileNameOf(warning.file);
    }
    return {};
}

}  // namespace

std::string warningsFilePath(const ResultFileNames& names) {
    return names.baseName() + Extension;
}

std::string warningsFileText(const RunWarnings& warnings, const ResultFileNames& names) {
    std::string text;
    for (const RunWarning& warning : warnings.all())
        text += fileConcerned(warning, names) + "\t" + warning.text + "\n";
    return text;
}

std::vector<std::string> warningsAboutResultFile(const std::string& path) {
    std::vector<std::string> texts;
    const std::string warningsPath = baseOf(path) + Extension;
    struct stat status {};
    if (stat(warningsPath.c_str(), &status) != 0 || !S_ISREG(status.st_mode) ||
        static_cast<std::size_t>(status.st_size) > MaxBytes) {
        return texts;
    }
    const InputFile file = openForReading(warningsPath.c_str());
    if (!file) return texts;
    const std::string name = fileNameOf(path);
    std::string line;
    int c = 0;
    std::size_t read = 0;
    while ((c = std::getc(file.get())) != EOF && ++read <= MaxBytes) {
        if (c != '\n') {
            line.push_back(static_cast<char>(c));
            continue;
        }
        const std::size_t tab = line.find('\t');
        if (tab != std::string::npos && line.compare(0, tab, name) == 0 && tab == name.size())
            texts.push_back(line.substr(tab + 1));
        line.clear();
    }
    return texts;
}

}  // namespace corvane
