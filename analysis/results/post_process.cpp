#include "post_process.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>
#include <optional>

#include "coefficient_margins.h"
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
        d.coef.reserveDegree(d.degree + 1);
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

bool isZero(const Polynomial& p) {
    for (int i = 0; i <= p.degree && i <= p.capacityDegree(); ++i) {
        if (p.coef[i] != 0.0) return false;
    }
    return true;
}

bool clearsSignificant(const std::vector<ClearedTerm>& cleared) {
    return std::any_of(cleared.begin(), cleared.end(), [](const ClearedTerm& term) {
        return term.margin < SignificantMarginDecades;
    });
}

}  // namespace

int sufficientDispersionExponent(const Polynomial& p, double dispersion,
                                 const std::optional<FrequencyBand>& band) {
    int exponent = dispersion > 1.0 ? static_cast<int>(std::ceil(std::log10(dispersion))) : 0;
    const int largest = std::numeric_limits<double>::max_exponent10;
    while (exponent < largest &&
           clearsSignificant(termsToClear(p, std::pow(10.0, exponent), band))) {
        ++exponent;
    }
    return exponent;
}

void cleanPolynomial(Polynomial& p, double dispersion, const std::optional<FrequencyBand>& band) {
    for (const ClearedTerm& term : termsToClear(p, dispersion, band))
        p.coef[static_cast<std::size_t>(term.power)] = 0.0;
    // A zero the expansion left negative counts as cleared too, so that it ends with the
    // sign of the leading coefficient, as every cleared term does.
    if (dispersion > 0.0 && !isZero(p)) {
        for (int i = 0; i <= p.degree && i <= p.capacityDegree(); ++i) {
            if (p.coef[i] == 0.0) p.coef[i] = 0.0;
        }
    }
    p.trimDegree();
    p.constant = p.coef[p.degree];
    if (p.constant != 0.0) {
        for (int i = 0; i <= p.degree; ++i)
            p.coef[i] /= p.constant;
    } else {
        p.constant = 1.0;
    }
}

bool clearsSignificantCoefficients(const Polynomial& p, double dispersion,
                                   const std::optional<FrequencyBand>& band) {
    return clearsSignificant(termsToClear(p, dispersion, band));
}

namespace {

std::string clearedCoefficientsWarning(const char* polynomial, int sufficientExponent) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "Aviso: a normalização anulou coeficientes significativos do %s; "
                  "aumente a dispersão para 1e%d ou mais.",
                  polynomial, sufficientExponent);
    return text;
}

// Normalises one polynomial, warning when that cleared a coefficient that matters.
void normalize(Polynomial& p, double dispersion, const std::optional<FrequencyBand>& band,
               AnalysisLog& log, RunWarnings& warnings, RunWarning about) {
    const Polynomial original = p;
    checkFloatingPoint([&] { cleanPolynomial(p, dispersion, band); });
    if (!clearsSignificantCoefficients(original, dispersion, band)) return;
    const std::string name = about.subject == WarningSubject::Denominator
                                 ? std::string("denominador")
                                 : "numerador " + std::to_string(about.variable);
    about.text = clearedCoefficientsWarning(name.c_str(),
                                            sufficientDispersionExponent(original, dispersion, band));
    warnings.add(log, std::move(about));
}

}  // namespace

bool postProcess(NetworkFunctions& functions, int n, bool normalize, double dispersion,
                 AnalysisLog& log, RunWarnings& warnings) {
    integrate(functions, n, log);
    if (normalize) {
        Polynomial& d = functions.denominator;
        corvane::normalize(d, dispersion, std::nullopt, log, warnings,
                           {"", WarningSubject::Denominator, 0, ""});
        // The numerators are measured against the circuit's own frequencies too: those of
        // its poles.
        const std::optional<FrequencyBand> band = rootBand(d);
        for (int k = 1; k <= n; ++k) {
            Polynomial& p = functions.numerator[k];
            corvane::normalize(p, dispersion, band, log, warnings,
                               {"", WarningSubject::Numerator, k, ""});
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
