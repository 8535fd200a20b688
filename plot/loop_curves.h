// Loop gains as curves of the frequency plot: a list line "amp.malha" names the loop gain
// file of a run and stands for the whole curve T(jω), a transfer function like any other
// (its gain, phase and delay; as a network function, the response to an impulse).
#pragma once

#include <optional>
#include <string>

#include "analysis_log.h"
#include "plot_data.h"

namespace corvane {

/// The extension of a loop gain file, as the list lines carry it.
inline constexpr const char* LoopFileExtension = ".malha";

/// Whether the list line names a loop gain file: "<file>.malha", the extension in any case.
bool isLoopLine(const std::string& line);

/// Reads T of the loop gain file `path` into `curve`, logging "Lendo o ganho de malha de
/// ..." and, when it cannot be read, why. False then.
bool readLoopLine(const std::string& path, PlotCurve& curve, AnalysisLog& log);

}  // namespace corvane
