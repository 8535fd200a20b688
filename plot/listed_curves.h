// The transfer functions of a plot list: every window that draws the listed curves (the
// frequency response, and any other view of the same list) reads them through here.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis_log.h"
#include "plot_data.h"

namespace corvane {

/// A list line is handled in a buffer of this many characters, its end included.
inline constexpr int MaxListLineLength = 1999;

/// A list line "<document>.json#<variable>": one whole function of a run's JSON document.
struct DocumentLine {
    std::string path;
    std::string variable;
};
/// The document and variable of such a line; no value for a line that names a file.
std::optional<DocumentLine> documentLineOf(const std::string& line);

/// A list line "<document>.json#<variable>@<n>": the function of one variable at value n
/// (1 for the first) of a parameter step's document (`corvane-cli varrer --json`); its
/// legend is the value's ("R1 = 4,7 kΩ").
struct StepLine {
    std::string path;
    std::string variable;
    int value = 0;
};
/// The document, variable and value of such a line; no value for any other line.
std::optional<StepLine> stepLineOf(const std::string& line);

/// The line that lists value `value` of variable `variable` of the step document at `path`.
std::string stepListLine(const std::string& path, const std::string& variable, int value);

/// Reads the result files named by the lines of `listText` into curves 1, 2, ... of
/// `curves`, logging "Lendo arquivo %s" for each. Lines pair up in order: numerator, then
/// denominator, comments skipped wherever they are. A line "<document>.json#<variable>"
/// stands for both: the function of that variable (name or number) in a run's JSON
/// document, with every bit the run computed; the document's warnings about it are logged.
/// A line "<document>.json#<variable>@<n>" stands for one value's function of a step.
/// A line "<run>.ruido" or "<run>.ruido#<element>" stands for a whole density curve too
/// (noise_curves.h), and a line "<run>.malha" for the loop gain T of a run (loop_curves.h).
/// A result file that keeps too few digits of a coefficient that matters is warned about. Returns the number of curves read, or
/// no value when a message of the log stopped the list (a file missing or invalid, too
/// many curves, a numerator without its denominator); the slots then hold no complete list.
/// When `numeratorFiles` is given, slot k receives the list line of curve k's numerator.
std::optional<int> readListedCurves(std::string_view listText, PlotCurves& curves,
                                    AnalysisLog& log,
                                    std::array<std::string, MaxCurves + 1>* numeratorFiles = nullptr);

/// The lines (numbered from 0, as splitListLines gives them) of each curve of the list, in
/// the pairing readListedCurves uses: a numerator and the denominator that follows it, or a
/// line that stands for a whole function; comments belong to no curve.
std::vector<std::vector<std::size_t>> listedCurveLines(std::string_view listText);

}  // namespace corvane
