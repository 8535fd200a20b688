#include "exact_run.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <new>

#include "exact_engine.h"
#include "exact_rounding.h"

namespace corvane::exact {

namespace {

// The host's progress, shown from a second on and at most ten times a second; ended with
// the run whichever way it ends.
class HostProgress {
public:
    explicit HostProgress(AnalysisHost& host) : host_(host), start_(Clock::now()) {}
    ~HostProgress() {
        if (shown_) host_.endProgress();
    }
    HostProgress(const HostProgress&) = delete;
    HostProgress& operator=(const HostProgress&) = delete;

    bool keepGoing(double fraction) {
        if (host_.cancelRequested()) return false;
        const Clock::time_point now = Clock::now();
        if (now - start_ < std::chrono::seconds(1) || now - last_ < std::chrono::milliseconds(100))
            return true;
        last_ = now;
        shown_ = true;
        return host_.showProgress(fraction) != ProgressStatus::Cancel;
    }

private:
    using Clock = std::chrono::steady_clock;
    AnalysisHost& host_;
    Clock::time_point start_;
    Clock::time_point last_{};
    bool shown_ = false;
};

// The doubles nearest to the exact coefficients, or false (logged, naming the function)
// when one of them is not a finite double or the degree passes what the results hold.
bool rounded(const RationalPolynomial& exact, Polynomial& out, double constant, const char* what,
             int k, AnalysisLog& log) {
    // " 3" after "do numerador", nothing after "do denominador".
    char number[16] = "";
    if (k > 0) std::snprintf(number, sizeof number, " %d", k);
    if (exact.degree() > MaxLiftedDegree) {
        log.print("Grau %ld %s%s passa do máximo de %d dos resultados", exact.degree(), what,
                  number, MaxLiftedDegree);
        return false;
    }
    const std::vector<double> c = nearestCoefficients(exact);
    out = Polynomial{};
    out.setDegree(static_cast<int>(c.size()) - 1);
    out.constant = constant;
    for (std::size_t d = 0; d < c.size(); ++d) {
        if (!std::isfinite(c[d])) {
            log.print("Coeficiente de s^%zu %s%s fora do alcance de um double", d, what,
                      number);
            return false;
        }
        out.coef[d] = c[d];
    }
    return true;
}

}  // namespace

LargeEngineOutcome exactNetworkFunctions(const RunState& run, NetworkFunctions& functions,
                                         AnalysisLog& log, AnalysisHost& host, bool listDetails) {
    const int n = run.variableCount;
    log.print("Calculando...");
    log.print("Circuito de %d variáveis: funções exatas pelo motor de eliminação modular", n);
    const auto start = std::chrono::steady_clock::now();
    const ExactSystem system = exactSystemOf(run);
    HostProgress progress(host);
    ExactOptions options;
    options.keepGoing = [&progress](double fraction) { return progress.keepGoing(fraction); };
    options.degreeLimit = MaxLiftedDegree;
    ExactFunctions exact;
    try {
        exact = computeExactFunctions(system, options);
    } catch (const ExactCancelled&) {
        return LargeEngineOutcome::Cancelled;
    } catch (const ExactLimitReached& limit) {
        log.print("Limite do motor exato: %s", limit.what());
        return LargeEngineOutcome::Failed;
    } catch (const ExactDegreeReached& reached) {
        if (reached.function == 0) {
            log.print("Grau %ld do denominador passa do máximo de %d dos resultados", reached.degree,
                      MaxLiftedDegree);
        } else {
            log.print("Grau %ld do numerador %d passa do máximo de %d dos resultados",
                      reached.degree, reached.function, MaxLiftedDegree);
        }
        return LargeEngineOutcome::Failed;
    } catch (const std::bad_alloc&) {
        log.print("Memória insuficiente para o motor exato (%d variáveis)", n);
        return LargeEngineOutcome::Failed;
    }
    if (listDetails) {
        log.print("Motor exato: %d primos, %zu pontos por primo, %zu produtos por ponto, s = 10^%d·t",
                  exact.work.primes, exact.work.pointsPerPrime, exact.work.productsPerPoint,
                  exact.work.frequencyExponent);
    }
    // The denominator's constant is the post-processing's, as after the expansion; every
    // numerator's is 1.
    if (!rounded(exact.denominator, functions.denominator, functions.denominator.constant,
                 "do denominador", 0, log))
        return LargeEngineOutcome::Failed;
    for (int k = 1; k <= n; ++k) {
        if (!rounded(exact.numerators[static_cast<std::size_t>(k)],
                     functions.numerator[static_cast<std::size_t>(k)], 1.0, "do numerador", k, log))
            return LargeEngineOutcome::Failed;
    }
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::steady_clock::now() - start);
    log.print("Tempo usado: %ld s", static_cast<long>(seconds.count()));
    return LargeEngineOutcome::Done;
}

}  // namespace corvane::exact
