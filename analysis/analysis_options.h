// What the user chooses for one analysis run, as one value: the options window's check
// boxes and the variables list in the windows, the options of `analisar` on the command
// line. A front end fills it; the run reads it and nothing else of the front end.
#pragma once

#include <algorithm>
#include <string>
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
    /// The variables whose numerators are listed, by number (1 for the first).
    std::vector<int> selectedVariables;
    SymbolicSettings symbolic;

    bool selects(int k) const {
        return std::find(selectedVariables.begin(), selectedVariables.end(), k) !=
               selectedVariables.end();
    }
};

}  // namespace corvane
