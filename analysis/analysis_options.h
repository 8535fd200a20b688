// What the user chooses for one analysis run, as one value: the options window's check
// boxes and the variables list in the windows, the options of `analisar` on the command
// line. A front end fills it; the run reads it and nothing else of the front end.
#pragma once

#include <algorithm>
#include <cstdint>
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

/// The frequency of the gains a step lists, as `varrer` takes it by default.
inline constexpr double DefaultStepHertz = 1000.0;

/// One element's value stepped over a list of values after the analysis, each value's
/// functions written to the step's document beside the result files.
struct StepSettings {
    /// CBvarrer.
    bool enabled = false;
    /// The element's name, as the netlist writes it.
    std::string element;
    std::vector<double> values;
};

/// The number of Monte Carlo circuits the options window proposes, as `tolerancia` does.
inline constexpr int DefaultToleranceCircuits = 1000;

/// The tolerances of the elements, a Monte Carlo run over them and the worst case, after
/// the analysis.
struct ToleranceSettings {
    /// CBtolerancia.
    bool enabled = false;
    /// The rules as `tolerancia --tol` takes them, "R=1% C=5%", checked by the window.
    std::string rules;
    int circuits = DefaultToleranceCircuits;
    /// CBgauss: Gaussian values with 3σ at the tolerance; uniform within it otherwise.
    bool gaussian = false;
    /// None: a new seed each run, written in the log.
    std::optional<std::uint64_t> seed;
};

/// The exact normalised sensitivities of the circuit's figures to every element, after
/// the analysis.
struct SensitivitySettings {
    /// --sensibilidades.
    bool enabled = false;
    /// The frequency of the gains whose sensitivities are listed, in Hz.
    double hertz = DefaultStepHertz;
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
    StepSettings step;
    ToleranceSettings tolerance;
    SensitivitySettings sensitivity;

    bool selects(int k) const {
        return std::find(selectedVariables.begin(), selectedVariables.end(), k) !=
               selectedVariables.end();
    }
};

}  // namespace corvane
