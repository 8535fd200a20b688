// Noise densities as curves of the frequency plot: the list lines that name a run's noise
// file ("amp.ruido" for the total at its output, "amp.ruido#R1" for the share of R1), the
// curves they stand for, and their evaluation. A density has no phase, no delay and no
// time response: the views that need those refuse its line.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "analysis_log.h"
#include "noise_functions.h"
#include "plot_data.h"

namespace corvane {

/// The extension of a noise file, as the list lines carry it.
inline constexpr const char* NoiseFileExtension = ".ruido";

/// A list line of a noise file: the file, and the element whose share it is (none: the
/// total).
struct NoiseLine {
    std::string path;
    std::optional<std::string> element;
};

/// The noise file and element a list line names: "<file>.ruido" or "<file>.ruido#<element>"
/// (the extension in any case); none for any other line.
std::optional<NoiseLine> noiseLineOf(const std::string& line);

/// The density curve of `functions` at output `outputName` of unit `unit`: the sum over
/// every source, or the share of source `source` alone.
PlotCurve noiseDensityCurve(const noise::NoiseFunctions& functions, const std::string& outputName,
                            const std::string& unit, std::optional<std::size_t> source);

/// Reads the curve of a noise line, logging "Lendo o ruído ..." and, when it cannot be
/// read, why. False then.
bool readNoiseLine(const NoiseLine& line, PlotCurve& curve, AnalysisLog& log);

/// The lines "Adicionar" puts in the list for the noise file at `path`: the total and the
/// shares of its `contributors` largest sources that reach the output at all. None, with
/// the reason logged, when the file cannot be read.
std::optional<std::vector<std::string>> noiseListLines(const std::string& path,
                                                       std::size_t contributors,
                                                       AnalysisLog& log);

/// The density of `curve` at ω (rad/s), in V²/Hz or A²/Hz. A pole on the axis divides by
/// zero and raises the flag for the caller's checkpoint.
double densityAt(const PlotCurve& curve, double omega);

/// "ruído em out" / "ruído de R1 em out" with the unit of its axis: "…, dB re 1 V/√Hz".
std::string densityLegend(const PlotCurve& curve);

/// For views that cannot show a density (the time responses, the pole-zero map): logs
/// "A linha <line> é uma densidade de ruído, <why>" for the first density curve of
/// 1 .. `count` and returns false; true when there is none.
inline constexpr const char* NoTimeResponse = "que não tem resposta no tempo";
inline constexpr const char* NoPoleZeroMap = "que não se mostra no mapa de polos e zeros";
bool refuseDensityLines(const PlotCurves& curves, int count,
                        const std::array<std::string, MaxCurves + 1>& lines, const char* why,
                        AnalysisLog& log);

}  // namespace corvane
