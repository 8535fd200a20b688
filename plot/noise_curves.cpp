#include "noise_curves.h"

#include <algorithm>
#include <cctype>

#include "noise_density.h"
#include "noise_file.h"

namespace corvane {

namespace {

bool endsWithExtension(const std::string& text) {
    const std::string extension = NoiseFileExtension;
    if (text.size() <= extension.size()) return false;
    std::string end = text.substr(text.size() - extension.size());
    std::transform(end.begin(), end.end(), end.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return end == extension;
}

// |c·p(jω)|², c the constant, as the noise itself evaluates it.
long double squaredMagnitude(const Polynomial& p, double omega) {
    const long double c = p.constant;
    return noise::squaredMagnitudeAt(p, omega) * c * c;
}

std::string unitOfDensity(const PlotCurve& curve) { return curve.unit + "/√Hz"; }

}  // namespace

std::optional<NoiseLine> noiseLineOf(const std::string& line) {
    if (endsWithExtension(line)) return NoiseLine{line, std::nullopt};
    const std::size_t mark = line.rfind('#');
    if (mark == std::string::npos || mark + 1 == line.size()) return std::nullopt;
    const std::string path = line.substr(0, mark);
    if (!endsWithExtension(path)) return std::nullopt;
    return NoiseLine{path, line.substr(mark + 1)};
}

PlotCurve noiseDensityCurve(const noise::NoiseFunctions& functions, const std::string& outputName,
                            const std::string& unit, std::optional<std::size_t> source) {
    PlotCurve curve;
    curve.kind = CurveKind::NoiseDensity;
    curve.denominator = functions.denominator;
    curve.denominator.constant = 1.0;
    curve.numerator = Polynomial{};
    for (std::size_t k = 0; k < functions.sources.size(); ++k) {
        if (source && *source != k) continue;
        DensityTerm term{functions.transfers[k], functions.sources[k].density};
        term.numerator.constant = 1.0;
        curve.terms.push_back(term);
    }
    curve.title = source ? "ruído de " + functions.sources[*source].element + " em " + outputName
                         : "ruído em " + outputName;
    curve.unit = unit;
    return curve;
}

bool readNoiseLine(const NoiseLine& line, PlotCurve& curve, AnalysisLog& log) {
    if (line.element) {
        log.print("Lendo o ruído de %s em %s", line.element->c_str(), line.path.c_str());
    } else {
        log.print("Lendo o ruído de %s", line.path.c_str());
    }
    const noise::NoiseFileRead read = noise::readNoiseFile(line.path);
    if (!read.file) {
        log.print("%s", read.error.c_str());
        return false;
    }
    std::optional<std::size_t> source;
    if (line.element) {
        source = noise::findSource(*read.file, *line.element);
        if (!source) {
            log.print("O elemento %s não faz ruído em %s", line.element->c_str(), line.path.c_str());
            return false;
        }
    }
    curve = noiseDensityCurve(read.file->functions, read.file->outputName, read.file->unit, source);
    return true;
}

std::optional<std::vector<std::string>> noiseListLines(const std::string& path,
                                                       std::size_t contributors,
                                                       AnalysisLog& log) {
    const noise::NoiseFileRead read = noise::readNoiseFile(path);
    if (!read.file) {
        log.print("%s", read.error.c_str());
        return std::nullopt;
    }
    std::vector<std::string> lines{path};
    const noise::NoiseFunctions& functions = read.file->functions;
    // The file keeps the sources largest first; one that never reaches the output (an
    // op-amp's output drives the node) has nothing to draw.
    for (std::size_t k = 0; k < functions.sources.size() && lines.size() <= contributors; ++k) {
        if (functions.transfers[k].trimmedDegree() == 0 && functions.transfers[k].coef[0] == 0.0)
            continue;
        lines.push_back(path + "#" + functions.sources[k].element);
    }
    return lines;
}

double densityAt(const PlotCurve& curve, double omega) {
    long double sum = 0.0L;
    for (const DensityTerm& term : curve.terms)
        sum += squaredMagnitude(term.numerator, omega) * term.density;
    return static_cast<double>(sum / squaredMagnitude(curve.denominator, omega));
}

std::string densityLegend(const PlotCurve& curve) {
    return curve.title + ", dB re 1 " + unitOfDensity(curve);
}

bool refuseDensityLines(const PlotCurves& curves, int count,
                        const std::array<std::string, MaxCurves + 1>& lines, const char* why,
                        AnalysisLog& log) {
    for (int k = 1; k <= count; ++k) {
        const auto slot = static_cast<std::size_t>(k);
        if (curves[slot].kind != CurveKind::NoiseDensity) continue;
        log.print("A linha %s é uma densidade de ruído, %s", lines[slot].c_str(), why);
        return false;
    }
    return true;
}

}  // namespace corvane
