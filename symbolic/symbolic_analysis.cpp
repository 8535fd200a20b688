#include "memory_size.h"
#include "symbolic_analysis.h"

#include <algorithm>
#include <cfenv>
#include <chrono>
#include <cmath>
#include <complex>
#include <exception>
#include <new>

#include "expansion_watch.h"
#include "parallel_tasks.h"
#include "progress_look.h"
#include "symbolic_text.h"

namespace corvane::symbolic {

namespace {

bool hasConstantTerm(const ExactPolynomial& p) {
    return !p.isZero() && p.termExponent(p.length() - 1, 0) == 0;
}

}  // namespace

long double frequencyScale(const Polynomial& p) {
    int lo = -1;
    int hi = -1;
    for (int i = 0; i <= std::min(p.degree, p.capacityDegree()); ++i) {
        if (p.coef[i] == 0.0) continue;
        if (lo < 0) lo = i;
        hi = i;
    }
    if (lo < 0 || hi == lo) return 1.0L;
    const long double ratio = std::fabs(static_cast<long double>(p.coef[lo]) / p.coef[hi]);
    return std::pow(ratio, 1.0L / (hi - lo));
}

bool agree(Complex a, Complex b) {
    const long double scale = std::max(std::abs(a), std::abs(b));
    if (!std::isfinite(static_cast<double>(scale))) return false;
    return std::abs(a - b) <= 1e-6L * scale || scale < 1e-300L;
}

std::string formatComplex(Complex z) {
    char text[96];
    std::snprintf(text, sizeof text, "%.9Lg%+.9Lgj", z.real(), z.imag());
    return text;
}

// The polynomials of a group are rewritten independently, side by side on the cores.
void toResistances(std::vector<ExactPolynomial*> group, const std::vector<Symbol>& symbols) {
    const std::size_t variables = symbols.size() + 1;
    Exponents highest(variables, 0);
    std::vector<bool> reflected(variables, false);
    for (std::size_t v = 0; v < symbols.size(); ++v)
        reflected[v + 1] = symbols[v].resistance;
    for (const ExactPolynomial* p : group) {
        if (p->isZero()) continue;
        const std::vector<long> degrees = p->degrees();
        for (std::size_t v = 1; v < variables; ++v) {
            if (reflected[v])
                highest[v] = std::max<ulong>(highest[v], static_cast<ulong>(degrees[v]));
        }
    }
    if (std::all_of(highest.begin(), highest.end(), [](ulong d) { return d == 0; })) return;
    runInParallel(static_cast<int>(group.size()), [&](int i) {
        group[static_cast<std::size_t>(i)]->reflectExponents(highest, reflected);
    });
}

void makeDenominatorPositive(const ExactPolynomial& denominator,
                             std::vector<ExactPolynomial*> group) {
    if (denominator.isZero() || denominator.termSign(0) > 0) return;
    for (ExactPolynomial* p : group)
        *p = -*p;
}

// A polynomial of the size of a ladder's determinant has a hundred thousand terms, each a
// product of a few dozen powers: the powers are taken from a table made once, and each
// term's coefficient and exponents are read where they lie, so that a term costs its
// multiplications only.
Complex evaluate(const ExactPolynomial& p, const std::vector<Complex>& values) {
    if (p.isZero()) return 0.0L;
    const std::vector<long> degrees = p.degrees();
    std::vector<std::vector<Complex>> powers(values.size());
    for (std::size_t v = 0; v < values.size(); ++v) {
        const long highest = std::max(0L, degrees[v]);
        powers[v].resize(static_cast<std::size_t>(highest) + 1);
        powers[v][0] = 1.0L;
        for (std::size_t e = 1; e < powers[v].size(); ++e)
            powers[v][e] = powers[v][e - 1] * values[v];
    }
    const fmpz_mpoly_struct* raw = p.raw();
    const mpoly_ctx_struct* monomials = p.ring().integers()->minfo;
    const slong words = mpoly_words_per_exp(raw->bits, monomials);
    Complex sum = 0.0L;
    Exponents exponents(static_cast<std::size_t>(p.ring().variableCount()));
    for (slong i = 0; i < raw->length; ++i) {
        slong exponent = 0;
        const double mantissa = fmpz_get_d_2exp(&exponent, raw->coeffs + i);
        Complex term = std::ldexp(static_cast<long double>(mantissa), static_cast<int>(exponent));
        mpoly_get_monomial_ui(exponents.data(), raw->exps + words * i, raw->bits, monomials);
        for (std::size_t v = 0; v < exponents.size(); ++v) {
            if (exponents[v] != 0) term *= powers[v][exponents[v]];
        }
        sum += term;
    }
    return sum;
}

Complex evaluate(const Polynomial& p, Complex s) {
    Complex sum = 0.0L;
    for (int i = std::min(p.degree, p.capacityDegree()); i >= 0; --i)
        sum = sum * s + static_cast<long double>(p.coef[i]);
    return sum * static_cast<long double>(p.constant);
}

SymbolicAnalysis::SymbolicAnalysis(const RunState& run, const SymbolicOptions& options)
    : run_(run),
      system_(assembleSymbolicSystem(run, SymbolSelection{options.symbols})),
      termLimit_(options.termLimit),
      memoryLimit_(options.memoryLimitBytes) {}

std::string describeTermLimit(const TermLimitExceeded& limit, long termLimit,
                              const std::string& polynomial) {
    char text[256];
    if (limit.power < 0) {
        std::snprintf(text, sizeof text,
                      "Limite de termos: no cálculo do %s, os menores guardados passaram de %ld "
                      "termos.",
                      polynomial.c_str(), SymbolicExpansion::StoredTermsPerLimit * termLimit);
    } else {
        std::snprintf(text, sizeof text,
                      "Limite de termos: no cálculo do %s, o coeficiente de s^%ld passou de %ld "
                      "termos (%ld).",
                      polynomial.c_str(), limit.power, termLimit, limit.terms);
    }
    return text;
}

std::string describeMemoryLimit(const MemoryLimitExceeded& limit, const std::string& polynomial) {
    std::string text = "Limite de memória: no cálculo do ";
    text += polynomial;
    text += ", a análise simbólica passaria de ";
    text += formatMemorySize(limit.limitBytes);
    text += ".";
    return text;
}

bool SymbolicAnalysis::compute(const std::vector<int>& variables,
                               const std::function<void(double)>& look) {
    const int n = system_.n;
    const PolynomialRing& ring = *system_.ring;
    int determinant = 0;
    const auto lookAtDeterminant = [&] {
        if (look) look(static_cast<double>(determinant) / (n + 1));
    };
    SymbolicExpansion expansion(system_, termLimit_, memoryLimit_, lookAtDeterminant);
    std::string current = "denominador";
    try {
        denominator_ = expansion.determinant(0);
        expansion.countKeptBytes(denominator_->bytes());
        numerators_.assign(1, ExactPolynomial(ring));
        for (int k = 1; k <= n; ++k) {
            determinant = k;
            current = "numerador " + std::to_string(k) + " (" + run_.variableName(k) + ")";
            numerators_.push_back(expansion.determinant(k));
            expansion.countKeptBytes(numerators_.back().bytes());
        }
    } catch (const TermLimitExceeded& limit) {
        denominator_.reset();
        numerators_.clear();
        limitMessage_ = describeTermLimit(limit, termLimit_, current);
        return false;
    } catch (const MemoryLimitExceeded& limit) {
        denominator_.reset();
        numerators_.clear();
        limitMessage_ = describeMemoryLimit(limit, current);
        return false;
    }

    // Each function is s·x_k(s) = numerator_k / determinant, the excitation having been
    // stored times s: x_k = numerator_k / (s · determinant), then reduced.
    const ExactPolynomial s = ExactPolynomial::variable(ring, 0);
    for (const int k : variables) {
        if (k < 1 || k > n) continue;
        Reduced f{k, numerators_[k], s * *denominator_};
        if (f.numerator.isZero()) {
            f.denominator = ExactPolynomial(ring, 1);
        } else {
            f.numerator.cancelCommonFactor(f.denominator);
        }
        toResistances({&f.numerator, &f.denominator}, system_.symbols);
        makeDenominatorPositive(f.denominator, {&f.numerator, &f.denominator});
        reduced_.push_back(std::move(f));
    }

    // The common listing: the numeric results' integration, then the monomial and
    // integer factors common to all of them removed.
    const bool constantTerm =
        std::any_of(numerators_.begin() + 1, numerators_.end(), hasConstantTerm);
    if (constantTerm) {
        *denominator_ = s * *denominator_;
    } else {
        for (int k = 1; k <= n; ++k) {
            if (!numerators_[k].isZero()) numerators_[k] = numerators_[k].exactQuotient(s);
        }
    }
    ExactPolynomial content = denominator_->termContent();
    for (int k = 1; k <= n; ++k) {
        if (!numerators_[k].isZero()) content = content.gcd(numerators_[k].termContent());
    }
    std::vector<ExactPolynomial*> group{&*denominator_};
    for (int k = 1; k <= n; ++k)
        group.push_back(&numerators_[k]);
    // Dividing by 1 would copy every polynomial for nothing.
    if (!content.isZero() && !content.isOne()) {
        for (ExactPolynomial* p : group) {
            if (!p->isZero()) *p = p->exactQuotient(content);
        }
    }
    toResistances(group, system_.symbols);
    makeDenominatorPositive(*denominator_, group);
    return true;
}

FunctionText SymbolicAnalysis::write(const ExactPolynomial& p, Forms forms) const {
    FunctionText text{formatPolynomial(p, system_.symbols, Notation::Text), {}, {}};
    if (forms == Forms::All) {
        text.sympy = formatPolynomial(p, system_.symbols, Notation::SymPy);
        text.latex = formatPolynomial(p, system_.symbols, Notation::LaTeX);
    }
    return text;
}

FunctionText SymbolicAnalysis::denominator(Forms forms) const {
    return denominator_ ? write(*denominator_, forms) : FunctionText{};
}

FunctionText SymbolicAnalysis::numerator(int k, Forms forms) const {
    if (k < 1 || k >= static_cast<int>(numerators_.size())) return {};
    return write(numerators_[static_cast<std::size_t>(k)], forms);
}

std::vector<SymbolicFunction> SymbolicAnalysis::functions(Forms forms) const {
    std::vector<SymbolicFunction> out;
    for (const Reduced& f : reduced_) {
        out.push_back({f.variable, run_.variableName(f.variable), write(f.numerator, forms),
                       write(f.denominator, forms)});
    }
    return out;
}

namespace {

// The checks' values are computed side by side on the cores, each exactly as a loop would
// compute it; every task keeps the status flags its evaluation raised, so that the caller
// sees those of the evaluations a loop stopping at the first failure would have made.
struct EvaluatedValue {
    Complex value;
    int raised = 0;
};

std::vector<EvaluatedValue> evaluateAll(const std::vector<const ExactPolynomial*>& polynomials,
                                        const std::vector<Complex>& values) {
    std::vector<EvaluatedValue> results(polynomials.size());
    std::fexcept_t before;
    std::fegetexceptflag(&before, FE_ALL_EXCEPT);
    runInParallel(static_cast<int>(polynomials.size()), [&](int i) {
        const auto slot = static_cast<std::size_t>(i);
        std::feclearexcept(FE_ALL_EXCEPT);
        results[slot].value = evaluate(*polynomials[slot], values);
        results[slot].raised = std::fetestexcept(FE_ALL_EXCEPT);
    });
    std::fesetexceptflag(&before, FE_ALL_EXCEPT);
    return results;
}

}  // namespace

std::string SymbolicAnalysis::verify(const NetworkFunctions& numeric) const {
    if (!denominator_) return "Verificação simbólica: não feita (análise simbólica incompleta)";
    const long double scale = frequencyScale(numeric.denominator);
    const Complex points[] = {scale * Complex(0.3L, 0.8L), scale * Complex(1.2L, 0.5L)};
    std::vector<Complex> values(system_.symbols.size() + 1);
    for (std::size_t v = 0; v < system_.symbols.size(); ++v)
        values[v + 1] = static_cast<long double>(system_.symbols[v].value);
    // Every numerator over the common denominator, then every reduced function.
    struct Check {
        const char* what;
        int variable;
        std::size_t numerator;    // in `polynomials`
        std::size_t denominator;  // in `polynomials`; 0 is the common denominator
    };
    std::vector<const ExactPolynomial*> polynomials{&*denominator_};
    std::vector<Check> checks;
    for (int k = 1; k < static_cast<int>(numerators_.size()); ++k) {
        polynomials.push_back(&numerators_[static_cast<std::size_t>(k)]);
        checks.push_back({"no numerador", k, polynomials.size() - 1, 0});
    }
    for (const Reduced& f : reduced_) {
        polynomials.push_back(&f.numerator);
        polynomials.push_back(&f.denominator);
        checks.push_back({"na função", f.variable, polynomials.size() - 2, polynomials.size() - 1});
    }
    for (const Complex s : points) {
        values[0] = s;
        const std::vector<EvaluatedValue> evaluated = evaluateAll(polynomials, values);
        const auto valueOf = [&](std::size_t i) {
            std::feraiseexcept(evaluated[i].raised);
            return evaluated[i].value;
        };
        const Complex denominator = valueOf(0);
        for (const Check& check : checks) {
            const Complex symbolic = valueOf(check.numerator) /
                                     (check.denominator == 0 ? denominator
                                                             : valueOf(check.denominator));
            const Complex expected =
                evaluate(numeric.numerator[check.variable], s) / evaluate(numeric.denominator, s);
            if (!agree(symbolic, expected)) {
                return std::string("Verificação simbólica: falhou ") + check.what + " " +
                       std::to_string(check.variable) + " (" + run_.variableName(check.variable) +
                       ") em s = " + formatComplex(s) + ": simbólica " + formatComplex(symbolic) +
                       ", numérica " + formatComplex(expected);
            }
        }
    }
    return "Verificação simbólica: ok";
}

SymbolicListing listSymbolicAnalysis(const RunState& run, const NetworkFunctions& numeric,
                                     const SymbolicOptions& options,
                                     const std::function<bool(int)>& selected, AnalysisLog& log,
                                     AnalysisHost* host) {
    fenceFlintAborts();
    SymbolicListing listing;
    ProgressLook progress(host);
    try {
        const auto shared = std::make_shared<SymbolicAnalysis>(run, options);
        SymbolicAnalysis& analysis = *shared;
        log.print("Análise simbólica");
        // A name that names nothing would give another analysis than the one asked for.
        if (!analysis.unknownNames().empty()) {
            for (const std::string& unknown : analysis.unknownNames())
                log.print("Símbolos: nenhum valor do circuito se chama %s", unknown.c_str());
            listing.outcome = ListingOutcome::Failed;
            return listing;
        }
        std::string names;
        for (const Symbol& symbol : analysis.symbols()) {
            names += " " + symbol.name;
            listing.symbols.push_back(symbol.name);
        }
        log.print("Símbolos:%s", names.empty() ? " nenhum" : names.c_str());
        for (const Symbol& symbol : analysis.symbols()) {
            if (symbol.definition.empty()) continue;
            log.print("%s", symbol.definition.c_str());
            listing.definitions.push_back(symbol.definition);
        }
        std::vector<int> variables;
        for (int k = 1; k <= run.variableCount; ++k) {
            if (selected(k)) variables.push_back(k);
        }
        const bool computed = analysis.compute(variables, [&](double f) { progress.look(f); });
        progress.end();
        if (!computed) {
            log.print("%s", analysis.limitMessage().c_str());
            log.print("%s", MixedAnalysisAdvice);
            listing.stopped = analysis.limitMessage();
            return listing;
        }
        listing.denominator = analysis.denominator(Forms::TextOnly);
        log.print("Denominador simbólico: %s", listing.denominator->text.c_str());
        for (const int k : variables) {
            listing.numerators.emplace_back(k, analysis.numerator(k, Forms::TextOnly));
            log.print("Numerador simbólico %d (%s): %s", k, run.variableName(k),
                      listing.numerators.back().second.text.c_str());
        }
        listing.functions = analysis.functions(Forms::TextOnly);
        for (const SymbolicFunction& f : listing.functions) {
            log.print("Função %d (%s) reduzida: (%s) / (%s)", f.variable, f.name.c_str(),
                      f.numerator.text.c_str(), f.denominator.text.c_str());
        }
        listing.verification = analysis.verify(numeric);
        log.print("%s", listing.verification.c_str());
        listing.analysis = shared;
    } catch (const ExpansionCancelled&) {
        progress.end();
        listing = SymbolicListing{};
        listing.outcome = ListingOutcome::Cancelled;
    } catch (const std::bad_alloc&) {
        progress.end();
        listing.denominator.reset();
        listing.stopped = OutOfMemoryMessage;
        log.print("%s", listing.stopped.c_str());
    } catch (const std::exception& error) {
        progress.end();
        listing.denominator.reset();
        listing.stopped = std::string("Análise simbólica interrompida: ") + error.what();
        log.print("%s", listing.stopped.c_str());
    }
    return listing;
}

}  // namespace corvane::symbolic
