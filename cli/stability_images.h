// plotar --nyquist and --nichols: the Nyquist plot and the Nichols chart of the listed
// transfer functions, over the plot's frequency range, saved as images as --imagem saves
// the frequency plot.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "analysis_log.h"
#include "command_arguments.h"
#include "plot_hosts.h"
#include "plotter.h"
#include "stability_curves.h"

namespace corvane::cli {

struct StabilityImages {
    std::string nyquist;
    std::string nichols;
    /// --sem-compressao: the Nyquist plot on the linear plane.
    bool linear = false;

    bool any() const { return !nyquist.empty() || !nichols.empty(); }
};

/// Takes the current argument when it is one of the options above (with its value);
/// false for any other.
bool takeStabilityOption(Arguments& args, StabilityImages& images);

/// Refuses --sem-compressao without --nyquist.
void checkStabilityOptions(const StabilityImages& images);

/// The curves of the images, from the curves "Plotar" read into `plotter` and the range of
/// the plot's boxes; no value, with the reason in `log`, when there is nothing to draw.
/// Nothing is written here, so a refusal leaves every output as it was.
std::optional<StabilityCurves> stabilityCurvesOfPlot(const StabilityImages& images,
                                                     const Plotter& plotter,
                                                     const PlotListHost& window, bool hz,
                                                     AnalysisLog& log);

/// Saves the images asked for, `width` × `height`, on white with `lightBackground`. False,
/// with the reason on `err`, when one could not be saved.
bool saveStabilityImages(const StabilityImages& images, const StabilityCurves& curves, int width,
                         int height, bool lightBackground, std::FILE* err);

}  // namespace corvane::cli
