#include "loop_curves.h"

#include <algorithm>
#include <cctype>

#include "loop_file.h"

namespace corvane {

bool isLoopLine(const std::string& line) {
    const std::string extension = LoopFileExtension;
    if (line.size() <= extension.size()) return false;
    std::string end = line.substr(line.size() - extension.size());
    std::transform(end.begin(), end.end(), end.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return end == extension;
}

bool readLoopLine(const std::string& path, PlotCurve& curve, AnalysisLog& log) {
    log.print("Lendo o ganho de malha de %s", path.c_str());
    const loop::LoopFileRead read = loop::readLoopFile(path);
    if (!read.loopGain) {
        log.print("%s", read.error.c_str());
        return false;
    }
    curve = PlotCurve(read.loopGain->numerator, read.loopGain->denominator);
    return true;
}

}  // namespace corvane
