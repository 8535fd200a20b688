// The outputs that the analysis commands malha, ruido and varrer write the same way: a
// text file saved whole, and the frequency-response picture of --imagem, drawn as the plot
// window draws it at 680 × 442, in Hz, over a band the command picks around the circuit's
// poles with the levels fitted as "Ajustar" fits them.
#pragma once

#include <array>
#include <cstdio>
#include <string>

#include "plot_console.h"
#include "plot_data.h"

namespace corvane::cli {

/// Saves `text` whole at `path`; false, with "não foi possível gravar `what` `path`" on
/// `err`, when it could not be saved.
bool saveOutput(const std::string& path, const std::string& text, const char* what,
                std::FILE* err);

/// The ranges of a picture from `lowHz` rounded down to `highHz` rounded up (on the 1-2-5
/// steps), the levels fitted to the first `count` of `curves`.
PlotParameters frequencyImageRanges(const PlotCurves& curves, int count, double lowHz,
                                    double highHz);

/// In Hz, only the gain, each curve in its own colour: a family of gains.
PlotOptions gainFamilyOptions();

/// The first `count` of `curves`, named by `lines` in the legend, drawn over `parameters`
/// with `options` and saved to `path`. False, with the reason on `err`, when it could not be
/// saved.
bool saveFrequencyImage(const PlotParameters& parameters, const PlotCurves& curves, int count,
                        const std::array<std::string, MaxCurves + 1>& lines,
                        const PlotOptions& options, const std::string& path, std::FILE* err);

}  // namespace corvane::cli
