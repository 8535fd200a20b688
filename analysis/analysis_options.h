// What the user chooses for one analysis run, as one value: the options window's check
// boxes and the variables list in the windows, the options of `analisar` on the command
// line. A front end fills it; the run reads it and nothing else of the front end.
#pragma once

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace corvane {

/// The largest number of terms one coefficient of a symbolic polynomial may reach before
/// the symbolic analysis stops.
inline constexpr long DefaultSymbolicTermLimit = 100000;

struct SymbolicSettings {
    /// "Análise simbólica", --simbolica.
    bool enabled = false;
    /// The element names kept symbolic; empty keeps every element symbolic.
    std::vector<std::string> symbols;
    long termLimit = DefaultSymbolicTermLimit;
};

/// The temperature SPICE and most data sheets assume, 27 °C.
inline constexpr double DefaultNoiseCelsius = 27.0;

/// The thermal noise of the resistors at one output.
struct NoiseSettings {
    /// --ruido.
    bool enabled = false;
    /// The output variable, by name as the variables list shows it or by number.
    std::string output;
    /// The independent source the noise is referred to; empty for none.
    std::string input;
    double celsius = DefaultNoiseCelsius;
    /// Where the densities and the ranking at one frequency are given, in Hz.
    double hertz = 1000.0;
    /// The band of the integrated noise, in Hz; without one, all frequencies.
    std::optional<std::pair<double, double>> band;
};

/// The loop gain of one controlled source or op-amp with finite gain.
struct LoopSettings {
    /// --malha.
    bool enabled = false;
    /// The element's name, as the netlist writes it (the kind letter in either case).
    std::string source;
};

struct AnalysisOptions {
    /// CBestampas: list the system after each element's stamp.
    bool listStamps = false;
    /// CBnorm: normalise the polynomials.
    bool normalize = true;
    /// CBdetalhes: list the multiplication counts and one line per saved file.
    bool listDetails = false;
    /// CBpolos: list the roots of every polynomial listed.
    bool listPolesAndZeros = false;
    /// CBmedidas: list the measures of each selected variable's frequency response.
    bool listMeasures = false;
    /// CBsemlimites / --sem-limites: read circuits up to LiftedRunLimits, and solve those
    /// past the cofactor expansion's size with the exact engine.
    bool sizeLimitsLifted = false;
    /// The variables whose numerators are listed, by number (1 for the first).
    std::vector<int> selectedVariables;
    SymbolicSettings symbolic;
    NoiseSettings noise;
    LoopSettings loop;

    bool selects(int k) const {
        return std::find(selectedVariables.begin(), selectedVariables.end(), k) !=
               selectedVariables.end();
    }
};

}  // namespace corvane
