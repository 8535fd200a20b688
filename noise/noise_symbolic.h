// The output noise density as an exact expression in the element names and the
// temperature, when the symbolic analysis is on as well:
//     S(ω) = 4·k·T·( |N_R1(jω)|²/R1 + ... ) / |D(jω)|²
// As in the numeric noise, a source's numerator is C(a,o) − C(b,o), the cofactors of the
// output's column o; they are the Cramer numerators of the transposed symbolic system
// excited by a unit at row o, so one symbolic expansion of that system, its minors shared
// by every numerator, gives them all.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "analysis_host.h"
#include "analysis_log.h"
#include "noise_analysis.h"
#include "symbolic_analysis.h"

namespace corvane::noise {

/// The symbolic transfers of every noise source to one output.
class SymbolicNoiseFunctions {
public:
    /// `output` is the variable (1..n); `sources` the noise sources of `run`.
    SymbolicNoiseFunctions(const RunState& run, const symbolic::SymbolicOptions& options,
                           int output, std::vector<NoiseSource> sources);

    /// Names of the symbols that name nothing in the circuit.
    const std::vector<std::string>& unknownNames() const { return system_.unknownNames; }

    /// Expands the determinant and the numerators. False when the term or memory limit
    /// stopped it (limitMessage() says where, as the symbolic analysis says it); `look`
    /// is called often with how far it is (0 to 1) and may throw to cancel.
    bool compute(const std::function<void(double)>& look = {});
    const std::string& limitMessage() const { return limitMessage_; }

    const std::vector<symbolic::Symbol>& symbols() const { return system_.symbols; }
    const std::vector<NoiseSource>& sources() const { return sources_; }
    /// D(s) and N_k(s) for source k, reduced together: no monomial or integer factor
    /// common to all, resistors in resistances, D's first term positive. Empty until
    /// compute() succeeded.
    const std::optional<symbolic::ExactPolynomial>& denominator() const { return denominator_; }
    const std::vector<symbolic::ExactPolynomial>& numerators() const { return numerators_; }

    /// The name of source k's resistance in the expression: its symbol, or its value
    /// when the resistor was left numeric.
    std::string resistanceText(std::size_t k) const;
    symbolic::FunctionText write(const symbolic::ExactPolynomial& p) const;

    /// "Verificação do ruído simbólico: ok" when every N_k/D, the numeric values
    /// substituted, equals the numeric transfer at two values of s; otherwise a line
    /// naming the first source that differs.
    std::string verify(const NoiseFunctions& numeric) const;

private:
    std::string nodeNumeratorName(int node) const;

    const RunState& run_;
    /// The transposed system, owning the ring of every polynomial here.
    symbolic::SymbolicSystem system_;
    /// The multiples the rows of the circuit's own system were taken by.
    std::vector<symbolic::Integer> rowScale_;
    std::vector<NoiseSource> sources_;
    long termLimit_;
    std::size_t memoryLimit_;
    std::optional<symbolic::ExactPolynomial> denominator_;
    std::vector<symbolic::ExactPolynomial> numerators_;
    std::string limitMessage_;
};

struct SymbolicNoiseTerm {
    std::string element;
    /// The resistance it is divided by: the symbol, or the value.
    std::string resistance;
    symbolic::FunctionText numerator;
};

/// What the listing showed, for the JSON document.
struct SymbolicNoiseListing {
    /// Set when the expansion completed; otherwise `stopped` says why it did not.
    std::optional<std::string> density;
    double kelvin = 0.0;
    std::optional<symbolic::FunctionText> denominator;
    std::vector<SymbolicNoiseTerm> terms;
    std::string verification;
    std::string stopped;
    /// Cancelled when the user stopped it: the run then saves nothing.
    ListingOutcome outcome = ListingOutcome::Done;
};

/// The symbolic density's lines, after the noise report of `report`: the expression, k and
/// T, D(s) and every N_k(s), and the check against the numeric transfers; or where a term
/// or memory limit stopped it. Never throws; with a `host`, a long expansion shows its
/// progress there and stops when the host asks (outcome Cancelled).
SymbolicNoiseListing listSymbolicNoise(const RunState& run, const NoiseReport& report,
                                       const NoiseOptions& options,
                                       const symbolic::SymbolicOptions& symbolicOptions,
                                       AnalysisLog& log, AnalysisHost* host = nullptr);

/// The "simbolica" member of "ruido".
nlohmann::ordered_json symbolicNoiseDocument(const SymbolicNoiseListing& listing);

}  // namespace corvane::noise
