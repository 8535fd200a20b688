// The symbolic analysis of a run: the network functions in the elements' symbols, their
// listing after the numeric one, and the check that substituting the numeric values
// gives the numeric functions.
#pragma once

#include <complex>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis_host.h"
#include "analysis_log.h"
#include "determinant.h"
#include "run_state.h"
#include "symbolic_expansion.h"
#include "symbolic_system.h"

namespace corvane::symbolic {

struct SymbolicOptions {
    /// The names kept symbolic; empty keeps every element symbolic. Matched as the netlist
    /// matches element names: "r1" is R1.
    std::vector<std::string> symbols;
    long termLimit = DefaultTermLimit;
    /// The memory the expansion may take: the memory for minors of the numeric engine
    /// (--memoria-cache, CORVANE_MEMORIA_CACHE).
    std::size_t memoryLimitBytes = DefaultCacheLimitBytes;
};

/// Which forms of a polynomial to write: a listing for people needs the text alone, and a
/// function of a large circuit takes as long to write as to compute, once per form.
enum class Forms { TextOnly, All };

/// One polynomial written for people, for SymPy's sympify and for LaTeX (the last two
/// empty when written as Forms::TextOnly).
struct FunctionText {
    std::string text;
    std::string sympy;
    std::string latex;
};

/// The network function of one variable, reduced: numerator / denominator.
struct SymbolicFunction {
    int variable = 0;
    std::string name;
    FunctionText numerator;
    FunctionText denominator;
};

class SymbolicAnalysis {
public:
    SymbolicAnalysis(const RunState& run, const SymbolicOptions& options);

    /// Expands the determinant and every numerator, and reduces the functions of
    /// `variables`. False when the term or memory limit stopped it: limitMessage() says
    /// where. `look` is called often with how far the expansion is (0 to 1); whatever it
    /// throws (ExpansionCancelled) ends the computation and passes on.
    bool compute(const std::vector<int>& variables, const std::function<void(double)>& look = {});
    const std::string& limitMessage() const { return limitMessage_; }

    const std::vector<Symbol>& symbols() const { return system_.symbols; }
    const std::vector<std::string>& unknownNames() const { return system_.unknownNames; }

    /// The denominator common to every function, after the same integration as the
    /// numeric results (s times the determinant when a numerator keeps a constant term),
    /// without common monomial factors, in resistances.
    FunctionText denominator(Forms forms = Forms::All) const;
    /// The terms of that denominator, and of its largest coefficient of one power of s.
    long denominatorTerms() const { return denominator_ ? denominator_->length() : 0; }
    long largestDenominatorCoefficient() const {
        return denominator_ ? largestCoefficient(*denominator_).terms : 0;
    }
    /// Numerator k over that same denominator.
    FunctionText numerator(int k, Forms forms = Forms::All) const;
    /// The functions of the variables given to compute, each reduced by the greatest
    /// common divisor of its numerator and denominator.
    std::vector<SymbolicFunction> functions(Forms forms = Forms::All) const;

    /// "Verificação simbólica: ok" when every numerator over the common denominator and
    /// every reduced function, with the numeric values substituted, equal the numeric
    /// functions at two values of s; otherwise a line naming the first that differs.
    std::string verify(const NetworkFunctions& numeric) const;

private:
    struct Reduced {
        int variable = 0;
        ExactPolynomial numerator;
        ExactPolynomial denominator;
    };

    FunctionText write(const ExactPolynomial& p, Forms forms) const;

    const RunState& run_;
    SymbolicSystem system_;
    long termLimit_;
    std::size_t memoryLimit_;
    std::optional<ExactPolynomial> denominator_;
    std::vector<ExactPolynomial> numerators_;  // index k = variable k; entry 0 unused
    std::vector<Reduced> reduced_;
    std::string limitMessage_;
};

// Shared with the noise's symbolic density, which expands another system of the same
// circuit and must list, stop and check it as the symbolic analysis does.

/// "Limite de termos: no cálculo do <polynomial>, ..." for a term limit of `termLimit`.
std::string describeTermLimit(const TermLimitExceeded& limit, long termLimit,
                              const std::string& polynomial);
/// "Limite de memória: no cálculo do <polynomial>, ...".
std::string describeMemoryLimit(const MemoryLimitExceeded& limit, const std::string& polynomial);
/// The line that follows a limit's message.
inline constexpr const char* MixedAnalysisAdvice =
    "Use a análise mista: deixe simbólicos só alguns elementos (Símbolos, ou --simbolos na "
    "linha de comando).";
inline constexpr const char* OutOfMemoryMessage =
    "Análise simbólica interrompida: memória insuficiente; use a análise mista.";

/// Rewrites the resistors' variables from conductances to resistances in every polynomial
/// of `group` (one function, or the denominator with its numerators): G^e becomes
/// R^(d − e), d the highest power of that G in the group, which multiplies the whole group
/// by the same R^d, as designers write their formulas.
void toResistances(std::vector<ExactPolynomial*> group, const std::vector<Symbol>& symbols);
/// Makes the first term of the denominator (in its highest power of s) positive, changing
/// the sign of the whole group.
void makeDenominatorPositive(const ExactPolynomial& denominator,
                             std::vector<ExactPolynomial*> group);

using Complex = std::complex<long double>;
/// The value of `p` with variable v (0 = s) set to values[v].
Complex evaluate(const ExactPolynomial& p, const std::vector<Complex>& values);
/// The value of a numeric polynomial at `s`.
Complex evaluate(const Polynomial& p, Complex s);
/// The frequency at which the lowest and highest coefficients of `p` weigh the same:
/// where a function with that denominator has its features.
long double frequencyScale(const Polynomial& p);
/// Whether two values of one function agree to 1e-6 relative.
bool agree(Complex a, Complex b);
/// "re+imj", as the verification lines write a point or a value.
std::string formatComplex(Complex z);

/// What the listing showed, for the machine-readable results.
struct SymbolicListing {
    std::vector<std::string> symbols;
    std::vector<std::string> definitions;
    /// Set when the analysis completed; otherwise `stopped` says why it did not.
    std::optional<FunctionText> denominator;
    std::vector<std::pair<int, FunctionText>> numerators;
    std::vector<SymbolicFunction> functions;
    std::string verification;
    std::string stopped;
    /// The completed analysis, so that the machine-readable results can write the SymPy
    /// and LaTeX forms the listing did not need.
    std::shared_ptr<const SymbolicAnalysis> analysis;
    /// Failed when a name of the symbols names nothing (the run's failure line), Cancelled
    /// when the user stopped it: the run then saves nothing.
    ListingOutcome outcome = ListingOutcome::Done;
};

/// The symbolic part of a run's log, after the numeric listing: the symbols and their
/// definitions, the denominator, the numerators of the selected variables and their
/// reduced functions, and the verification; or where a term or memory limit stopped it.
/// Never throws: a failure of the computation becomes a log line, so the numeric results
/// are still saved. A name of the symbols that names nothing ends the run instead
/// (outcome Failed). With a `host`, a long expansion shows its progress there and stops
/// when the host asks (outcome Cancelled).
SymbolicListing listSymbolicAnalysis(const RunState& run, const NetworkFunctions& numeric,
                                     const SymbolicOptions& options,
                                     const std::function<bool(int)>& selected, AnalysisLog& log,
                                     AnalysisHost* host = nullptr);

}  // namespace corvane::symbolic
