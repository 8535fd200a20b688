#include "pole_zero_listing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>

#include "listing_numbers.h"

namespace corvane {

namespace {

// Which roots the listing names: the denominator's poles, which may make the network
// unstable, or a numerator's zeros.
struct RootKind {
    const char* heading;   // "Polos" or "Zeros"
    const char* symbol;    // "p" or "z"
    bool marksUnstable;
};

constexpr RootKind Poles{"Polos", "p", true};
constexpr RootKind Zeros{"Zeros", "z", false};

std::string format(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

std::string suffixes(const PolynomialRoot& root, const RootKind& kind) {
    std::string text;
    if (root.multiplicity > 1) text += ", ordem " + std::to_string(root.multiplicity);
    if (kind.marksUnstable && root.value.real() > 0.0) text += ", instável";
    return text;
}

void listRealRoot(AnalysisLog& log, const PolynomialRoot& root, const RootKind& kind) {
    const double value = withoutNegativeZero(root.value.real());
    if (value == 0.0) {
        log.print("%s = 0%s", kind.symbol, suffixes(root, kind).c_str());
        return;
    }
    log.print("%s = %.6g rad/s (%.6g Hz)%s", kind.symbol, value, hertz(std::fabs(value)),
              suffixes(root, kind).c_str());
}

void listComplexPair(AnalysisLog& log, const PolynomialRoot& root, const RootKind& kind) {
    const double real = withoutNegativeZero(root.value.real());
    const double omega0 = std::abs(root.value);
    const std::string quality =
        real == 0.0 ? "Q infinito" : format("Q = %.6g", omega0 / (2.0 * std::fabs(real)));
    log.print("%s = %.6g ± j%.6g rad/s: ω0 = %.6g rad/s (%.6g Hz), %s%s", kind.symbol, real,
              std::fabs(root.value.imag()), omega0, hertz(omega0), quality.c_str(),
              suffixes(root, kind).c_str());
}

// The roots under their heading; a pair is listed once, by its upper member.
void listRoots(AnalysisLog& log, const PolynomialRoots& roots, const RootKind& kind) {
    switch (roots.status) {
        case RootsStatus::Found:
            break;
        case RootsStatus::ZeroPolynomial:
            log.print("%s: nenhum (polinômio nulo)", kind.heading);
            return;
        case RootsStatus::NotFinite:
        case RootsStatus::SolverFailed:
            log.print("%s: não foi possível calcular as raízes", kind.heading);
            return;
        case RootsStatus::DegreeTooHigh:
            log.print("%s: não calculados (grau %d; acima do grau %d os coeficientes em ponto "
                      "flutuante não determinam as raízes)",
                      kind.heading, roots.degree, MaxDegree);
            return;
    }
    if (roots.degree == 0) {
        log.print("%s: nenhum (grau 0)", kind.heading);
        return;
    }
    log.print("%s:", kind.heading);
    for (const PolynomialRoot& root : roots.roots) {
        if (root.value.imag() == 0.0) {
            listRealRoot(log, root, kind);
        } else if (root.value.imag() > 0.0) {
            listComplexPair(log, root, kind);
        }
    }
}

const char* stabilityLine(Stability stability) {
    switch (stability) {
        case Stability::Stable:
            return "Rede estável";
        case Stability::Marginal:
            return "Rede marginalmente estável";
        case Stability::Unstable:
            return "Rede instável";
    }
    return "";
}

double leadingCoefficient(const Polynomial& p) {
    for (int i = std::min(p.degree, p.capacityDegree()); i >= 0; --i) {
        if (p.coef[i] != 0.0) return p.coef[i];
    }
    return 0.0;
}

}  // namespace

const char* stabilityKey(Stability stability) {
    switch (stability) {
        case Stability::Stable:
            return "estavel";
        case Stability::Marginal:
            return "marginal";
        case Stability::Unstable:
            return "instavel";
    }
    return "";
}

Stability stabilityOf(const PolynomialRoots& poles, bool excitationPoleAtZero) {
    Stability stability = Stability::Stable;
    for (const PolynomialRoot& pole : poles.roots) {
        int multiplicity = pole.multiplicity;
        if (excitationPoleAtZero && pole.value == 0.0) --multiplicity;
        if (multiplicity == 0 || pole.value.real() < 0.0) continue;
        if (pole.value.real() > 0.0 || multiplicity > 1) return Stability::Unstable;
        stability = Stability::Marginal;
    }
    return stability;
}

double zeroPoleGain(const Polynomial& numerator, const Polynomial& denominator) {
    const double d = leadingCoefficient(denominator) * denominator.constant;
    if (d == 0.0) return 0.0;
    return numerator.constant * leadingCoefficient(numerator) / d;
}

void listPoles(AnalysisLog& log, const NetworkFunctions& functions) {
    const PolynomialRoots poles = findRoots(functions.denominator);
    listRoots(log, poles, Poles);
    if (poles.status != RootsStatus::Found) return;
    const bool stepPole = functions.denominatorRaised;
    const char* line = stabilityLine(stabilityOf(poles, stepPole));
    const bool hasStepPole = stepPole && !poles.roots.empty() && poles.roots.front().value == 0.0;
    if (hasStepPole) {
        log.print("%s; o polo em 0 vem do degrau.", line);
    } else {
        log.print("%s.", line);
    }
}

void listRootsOf(AnalysisLog& log, const Polynomial& p, bool poles) {
    listRoots(log, findRoots(p), poles ? Poles : Zeros);
}

void listZeros(AnalysisLog& log, const NetworkFunctions& functions, int k) {
    const Polynomial& numerator = functions.numerator[k];
    listRoots(log, findRoots(numerator), Zeros);
    log.print("K: %.6g", withoutNegativeZero(zeroPoleGain(numerator, functions.denominator)));
}

}  // namespace corvane
