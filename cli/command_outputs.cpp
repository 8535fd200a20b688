#include "command_outputs.h"

#include "analysis_log.h"
#include "output_target.h"
#include "fitted_ranges.h"
#include "image_builds.h"
#include "plotter.h"
#include "replace_file.h"

namespace corvane::cli {

namespace {

constexpr int ImageWidth = 680;
constexpr int ImageHeight = 442;

}  // namespace

bool outputsSpareNetlist(const std::string& netlist, std::initializer_list<CommandOutput> outputs,
                         std::FILE* err) {
    for (const CommandOutput& o : outputs) {
        if (!o.path.empty() && sameFile(o.path, netlist)) {
            std::fprintf(err, "corvane-cli: %s %s seria o próprio netlist\n", o.what,
                         o.path.c_str());
            return false;
        }
    }
    for (auto a = outputs.begin(); a != outputs.end(); ++a) {
        for (auto b = a + 1; b != outputs.end(); ++b) {
            if (a->path.empty() || b->path.empty()) continue;
            if (!sameFile(a->path, b->path)) continue;
            std::fprintf(err, "corvane-cli: %s e %s são o mesmo arquivo: %s\n", a->option,
                         b->option, b->path.c_str());
            return false;
        }
    }
    return true;
}

bool saveOutput(const std::string& path, const std::string& text, const char* what,
                std::FILE* err) {
    if (saveWholeFile(path, text) == WholeFileStatus::Saved) return true;
    std::fprintf(err, "corvane-cli: não foi possível gravar %s %s\n", what, path.c_str());
    return false;
}

PlotParameters frequencyImageRanges(const PlotCurves& curves, int count, double lowHz,
                                    double highHz) {
    PlotParameters around;
    around.wmin = roundDownTo125(lowHz);
    around.wmax = roundUpTo125(highHz);
    around.segmentos = MaxSegments;
    // The phase and delay axes may be hidden, but the frame still divides by their spans.
    around.fmin = -180.0;
    around.fmax = 180.0;
    around.amin = 0.0;
    around.amax = 1.0;
    PlotParameters parameters = fitPlotRanges(curves, count, around, true, false);
    parameters.wmin = around.wmin;
    parameters.wmax = around.wmax;
    return parameters;
}

PlotOptions gainFamilyOptions() {
    PlotOptions options;
    options.hz = true;
    options.coloursPerCurve = true;
    for (std::size_t q = 0; q < PlotQuantityCount; ++q)
        options.shown[q] = PlotQuantities[q].quantity == PlotQuantity::Gain;
    return options;
}

bool saveFrequencyImage(const PlotParameters& parameters, const PlotCurves& curves, int count,
                        const std::array<std::string, MaxCurves + 1>& lines,
                        const PlotOptions& options, const std::string& path, std::FILE* err) {
    AnalysisLog quiet([](std::string_view) {});
    Plotter plotter(quiet);
    plotter.plotCurves(parameters, curves, count, lines);
    ConsoleCheckBoxes boxes(options);
    return savePlotPicture(plotter, boxes, path, ImageWidth, ImageHeight, err);
}

}  // namespace corvane::cli
