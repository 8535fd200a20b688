#include "post_process.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>

#include "floating_point.h"

namespace corvane {

namespace {

// Multiplying by s gains one power; dividing numerators by s loses one. The stored
// excitation is s times the true one, so every computed numerator is s times the true
// numerator: dividing all numerators by s is exact when none has a constant term, and
// otherwise the denominator is multiplied by s instead.
void integrate(NetworkFunctions& functions, int n, AnalysisLog& log) {
    functions.denominatorRaised = false;
    bool constantTerm = false;
    for (int k = 1; k <= n; ++k)
        constantTerm = constantTerm || functions.numerator[k].coef[0] != 0.0;
    if (constantTerm) {
        Polynomial& d = functions.denominator;
        for (int i = d.degree; i >= 0; --i)
            d.coef[i + 1] = d.coef[i];
        d.coef[0] = 0.0;
        ++d.degree;
        functions.denominatorRaised = true;
        log.print("Integração: Grau do denominador aumentado para %d", d.degree);
        return;
    }
    for (int k = 1; k <= n; ++k) {
        Polynomial& p = functions.numerator[k];
        if (p.degree == 0) continue;
        for (int i = 0; i < p.degree; ++i)
            p.coef[i] = p.coef[i + 1];
        --p.degree;
    }
    log.print("Integração: Graus dos numeradores reduzidos");
}

// log10 |c|·ω0^i of coefficient i, where ω0 = (|c_lo| / |c_hi|)^(1/(hi − lo)) is the scale
// at which the lowest and highest non-zero coefficients weigh the same. Comparing
// coefficients of different powers of s only means something at such a scale.
class FrequencyScale {
public:
    explicit FrequencyScale(const Polynomial& p) {
        int lo = -1;
        int hi = -1;
        for (int i = 0; i <= p.degree; ++i) {
            if (p.coef[i] == 0.0) continue;
            if (lo < 0) lo = i;
            hi = i;
        }
        if (lo >= 0 && hi > lo) {
            logScale_ =
                (std::log10(std::fabs(p.coef[lo])) - std::log10(std::fabs(p.coef[hi]))) / (hi - lo);
        }
    }
    double weight(const Polynomial& p, int i) const {
        return std::log10(std::fabs(p.coef[i])) + i * logScale_;
    }

private:
    double logScale_ = 0.0;  // log10 ω0; ω0 = 1 when there is at most one coefficient
};

double largestMagnitude(const Polynomial& p) {
    double largest = 0.0;
    for (int i = 0; i <= p.degree; ++i) {
        if (std::fabs(p.coef[i]) > largest) largest = std::fabs(p.coef[i]);
    }
    return largest;
}

bool isZero(const Polynomial& p) {
    for (int i = 0; i <= p.degree && i <= MaxDegree; ++i) {
        if (p.coef[i] != 0.0) return false;
    }
    return true;
}

}  // namespace

std::optional<int> sufficientDispersionExponent(const Polynomial& p, double dispersion) {
    const int largest = std::numeric_limits<double>::max_exponent10;
    const int first = dispersion > 1.0 ? static_cast<int>(std::ceil(std::log10(dispersion))) : 0;
    for (int exponent = std::max(first, 0); exponent <= largest; ++exponent) {
        if (!clearsSignificantCoefficients(p, std::pow(10.0, exponent))) return exponent;
    }
    return std::nullopt;
}

void cleanPolynomial(Polynomial& p, double dispersion) {
    const double threshold = largestMagnitude(p) / dispersion;
    for (int i = 0; i <= p.degree; ++i) {
        if (std::fabs(p.coef[i]) < threshold) p.coef[i] = 0.0;
    }
    while (p.degree > 0 && p.coef[p.degree] == 0.0)
        --p.degree;
    p.constant = p.coef[p.degree];
    if (p.constant != 0.0) {
        for (int i = 0; i <= p.degree; ++i)
            p.coef[i] /= p.constant;
    } else {
        p.constant = 1.0;
    }
}

bool clearsSignificantCoefficients(const Polynomial& p, double dispersion) {
    const double threshold = largestMagnitude(p) / dispersion;
    const FrequencyScale scale(p);
    double heaviest = -std::numeric_limits<double>::infinity();
    for (int i = 0; i <= p.degree; ++i) {
        if (p.coef[i] != 0.0) heaviest = std::fmax(heaviest, scale.weight(p, i));
    }
    const double lightestSignificant = heaviest - std::log10(dispersion);
    for (int i = 0; i <= p.degree; ++i) {
        const bool cleared = p.coef[i] != 0.0 && std::fabs(p.coef[i]) < threshold;
        if (cleared && scale.weight(p, i) >= lightestSignificant) return true;
    }
    return false;
}

namespace {

void warnAboutClearedCoefficients(AnalysisLog& log, const char* polynomial,
                                  std::optional<int> sufficientExponent) {
    if (sufficientExponent) {
        log.print(
            "Aviso: a normalização anulou coeficientes significativos do %s; "
            "aumente a dispersão para 1e%d ou mais.",
            polynomial, *sufficientExponent);
        return;
    }
    log.print(
        "Aviso: a normalização anulou coeficientes significativos do %s; "
        "aumente a dispersão.",
        polynomial);
}

// Normalises one polynomial, warning when that cleared a coefficient that matters.
void normalize(Polynomial& p, double dispersion, AnalysisLog& log, const char* name) {
    const Polynomial original = p;
    checkFloatingPoint([&] { cleanPolynomial(p, dispersion); });
    if (clearsSignificantCoefficients(original, dispersion))
        warnAboutClearedCoefficients(log, name, sufficientDispersionExponent(original, dispersion));
}

}  // namespace

bool postProcess(NetworkFunctions& functions, int n, bool normalize, double dispersion,
                 AnalysisLog& log) {
    integrate(functions, n, log);
    if (normalize) {
        Polynomial& d = functions.denominator;
        corvane::normalize(d, dispersion, log, "denominador");
        for (int k = 1; k <= n; ++k) {
            Polynomial& p = functions.numerator[k];
            char name[32];
            std::snprintf(name, sizeof name, "numerador %d", k);
            corvane::normalize(p, dispersion, log, name);
            checkFloatingPoint([&] { p.constant /= d.constant; });
        }
    }
    functions.denominator.constant = 1.0;
    // Without normalisation the degree is not trimmed: every coefficient must be looked at.
    if (isZero(functions.denominator)) {
        log.print("Circuito sem solução");
        return false;
    }
    return true;
}

}  // namespace corvane
