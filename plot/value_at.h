// The exact gain, phase and group delay of a curve at one frequency the user names, for
// reading a value without nudging a cursor: `plotar --em` prints them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "plot_data.h"

namespace corvane {

/// A frequency as the user types it: a number with "." or "," and an optional suffix of the
/// netlist (1k, 2.5MEG, 10m), finite and not negative. No value for anything else.
std::optional<double> parseFrequency(std::string_view text);

/// "Curva k em ω = … rad/s (… Hz): ganho … dB (…), fase … graus, atraso … s", the frequency
/// `w` taken in Hz when `hz` is set; a curve that cannot be evaluated there is named with
/// the fault instead. Every number with nine significant digits. A noise density reads
/// "Curva k em ω = …: ruído em out, densidade … V/√Hz (… dB re 1 V/√Hz)".
std::string valueAtLine(int k, const PlotCurve& curve, double w, bool hz);

}  // namespace corvane
