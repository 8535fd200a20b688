// The outputs that the analysis commands malha, ruido and varrer write the same way: a
// text file saved whole, and the frequency-response picture of --imagem, drawn as the plot
// window draws it at 680 × 442, in Hz, over a band the command picks around the circuit's
// poles with the levels fitted as "Ajustar" fits them.
#pragma once

#include <array>
#include <cstdio>
#include <initializer_list>
#include <string>

#include "plot_console.h"
#include "plot_data.h"

namespace corvane::cli {

/// An output file a command may be asked to write.
struct CommandOutput {
    /// Empty when the user did not ask for it.
    const std::string& path;
    /// What the messages call it: "a tabela".
    const char* what;
    /// Its option: "--tabela".
    const char* option;
};

/// No output may be the netlist ("a tabela T seria o próprio netlist"), nor two outputs one
/// file ("--tabela e --imagem são o mesmo arquivo: I", naming the later one's path); false,
/// with the message on `err`, otherwise.
bool outputsSpareNetlist(const std::string& netlist, std::initializer_list<CommandOutput> outputs,
                         std::FILE* err);

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
