#include "loop_gain.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string_view>
#include <vector>

#include "analysis_log.h"
#include "determinant.h"
#include "element_table.h"
#include "mna.h"
#include "post_process.h"

namespace corvane::loop {

namespace {

// The dispersion of the default options: what it clears is the residue of cancellations.
constexpr double ResidueDispersion = 1e9;

// The element's kind letter is stored in upper case; the rest of the name must match as
// written.
bool sameName(std::string_view element, std::string_view name) {
    if (name.empty() || element.size() != name.size()) return false;
    if (std::toupper(static_cast<unsigned char>(name[0])) != element[0]) return false;
    return name.substr(1) == element.substr(1);
}

bool hasLoopGain(const Element& e) {
    switch (e.kind()) {
        case 'E':
        case 'F':
        case 'G':
        case 'H':
            return true;
        case 'O':
            return e.hasFiniteGain();
        default:
            return false;
    }
}

void setDegrees(SystemMatrix& m, int n) {
    for (int row = 1; row <= n; ++row) {
        for (int column = 1; column <= n + 1; ++column) {
            MnaEntry& e = m.at(row, column);
            e.degree = e.s1 != 0.0 ? 1 : 0;
        }
    }
}

double& part(MnaEntry& entry, int power) {
    return power == 0 ? entry.s0 : entry.s1;
}

// ∂M/∂k: the terms of the element that carry its value, per unit of it.
SystemMatrix gainDerivative(const RunState& run, int element) {
    SystemMatrix derivative;
    for (const PlacedTerm& term : placedStamp(run, element)) {
        if (term.factor != StampFactor::Value || term.row == 0 || term.column == 0) continue;
        part(derivative.at(term.row, term.column), term.power) += term.sign;
    }
    return derivative;
}

bool rowIsZero(const SystemMatrix& m, int row, int n) {
    for (int column = 1; column <= n + 1; ++column) {
        if (!isZero(m.at(row, column))) return false;
    }
    return true;
}

// c with row q = c·row r of ∂M, when there is one.
std::optional<double> rowRatio(const SystemMatrix& d, int q, int r, int n) {
    std::optional<double> ratio;
    for (int column = 1; column <= n; ++column) {
        for (int power = 0; power <= 1; ++power) {
            const double a = power == 0 ? d.at(q, column).s0 : d.at(q, column).s1;
            const double b = power == 0 ? d.at(r, column).s0 : d.at(r, column).s1;
            if (b == 0.0) {
                if (a != 0.0) return std::nullopt;
                continue;
            }
            if (ratio && *ratio != a / b) return std::nullopt;
            ratio = a / b;
        }
    }
    return ratio;
}

// The matrix whose determinant is D1 and whose Cramer numerators are N1. The element's
// terms are of rank one (a row, a column or the quartet of a transconductance): after
// subtracting from every other row that holds them a multiple of the last such row r, k is
// left in row r alone, the determinant unchanged; D(k) is then linear in row r, and D1 is
// the determinant with row r replaced by its part in k (with no excitation).
std::optional<SystemMatrix> gainPartSystem(const SystemMatrix& withoutGain,
                                           const SystemMatrix& derivative, int n) {
    int pivot = 0;
    for (int row = 1; row <= n; ++row) {
        if (!rowIsZero(derivative, row, n)) pivot = row;
    }
    if (pivot == 0) return std::nullopt;
    SystemMatrix m = withoutGain;
    for (int row = 1; row < pivot; ++row) {
        if (rowIsZero(derivative, row, n)) continue;
        const std::optional<double> ratio = rowRatio(derivative, row, pivot, n);
        if (!ratio) return std::nullopt;
        for (int column = 1; column <= n + 1; ++column) {
            m.at(row, column).s0 -= *ratio * withoutGain.at(pivot, column).s0;
            m.at(row, column).s1 -= *ratio * withoutGain.at(pivot, column).s1;
        }
    }
    for (int column = 1; column <= n; ++column)
        m.at(pivot, column) = derivative.at(pivot, column);
    m.at(pivot, n + 1) = MnaEntry{};
    setDegrees(m, n);
    return m;
}

bool expand(const SystemMatrix& m, int n, NetworkFunctions& functions, AnalysisHost& host,
            const EngineOptions& engine) {
    AnalysisLog quiet([](std::string_view) {});
    const ExpansionCounts counts = computeNetworkFunctions(m, n, functions, quiet, host, engine);
    functions.denominator.constant = 1.0;
    return !counts.cancelled;
}

Polynomial scaled(const Polynomial& p, double factor) {
    Polynomial out = p;
    for (int i = 0; i <= out.degree; ++i)
        out.coef[static_cast<std::size_t>(i)] *= factor;
    return out;
}

int lowestPower(const Polynomial& p) {
    int i = 0;
    while (i < p.degree && p.coef[static_cast<std::size_t>(i)] == 0.0)
        ++i;
    return i;
}

// Divides both by s^m, their common power of s: an impulse source puts one s in every
// numerator. Shifting the coefficients changes no digit.
void cancelCommonPowerOfS(Polynomial& a, Polynomial& b) {
    if (a.isZero() || b.isZero()) return;
    const int m = std::min(lowestPower(a), lowestPower(b));
    for (Polynomial* p : {&a, &b}) {
        for (int i = 0; i <= p->degree; ++i) {
            const int from = i + m;
            p->coef[static_cast<std::size_t>(i)] =
                from <= p->degree ? p->coef[static_cast<std::size_t>(from)] : 0.0;
        }
        p->degree -= m;
    }
}

// The engine's numerators hold the excitation times s (see the integration of the
// results): the function is N/(s·D), written N'/D when N has no constant term.
void divideBySource(Polynomial& numerator, Polynomial& denominator) {
    if (numerator.coef[0] == 0.0 && numerator.degree > 0) {
        for (int i = 0; i < numerator.degree; ++i)
            numerator.coef[static_cast<std::size_t>(i)] =
                numerator.coef[static_cast<std::size_t>(i) + 1];
        numerator.coef[static_cast<std::size_t>(numerator.degree)] = 0.0;
        --numerator.degree;
        return;
    }
    if (numerator.isZero() || denominator.degree >= MaxLiftedDegree) return;
    denominator.coef.reserveDegree(denominator.degree + 1);
    for (int i = denominator.degree; i >= 0; --i)
        denominator.coef[static_cast<std::size_t>(i) + 1] =
            denominator.coef[static_cast<std::size_t>(i)];
    denominator.coef[0] = 0.0;
    ++denominator.degree;
}

Ratio ratioOf(const Polynomial& numerator, const Polynomial& denominator);

Ratio variableRatio(Polynomial numerator, Polynomial denominator) {
    divideBySource(numerator, denominator);
    return ratioOf(numerator, denominator);
}

// N/D with both cleaned and monic, the ratio of their leading coefficients in the
// numerator's constant and the denominator's constant 1.
Ratio ratioOf(const Polynomial& numerator, const Polynomial& denominator) {
    Ratio r{numerator, denominator};
    r.numerator.constant = 1.0;
    r.denominator.constant = 1.0;
    cleanPolynomial(r.numerator, ResidueDispersion);
    cleanPolynomial(r.denominator, ResidueDispersion);
    cancelCommonPowerOfS(r.numerator, r.denominator);
    if (r.denominator.constant != 0.0 && !r.numerator.isZero()) {
        r.numerator.constant /= r.denominator.constant;
    } else if (r.numerator.isZero()) {
        r.numerator.constant = 0.0;
    }
    r.denominator.constant = 1.0;
    return r;
}

bool allZero(const Polynomial& p) {
    for (const double c : p.coefficients()) {
        if (c != 0.0) return false;
    }
    return true;
}

}  // namespace

LoopSource findLoopSource(const RunState& run, const std::string& name) {
    for (int i = 1; i <= run.elementCount; ++i) {
        const Element& e = run.ElementTable[static_cast<std::size_t>(i)];
        if (!sameName(e.name, name)) continue;
        if (hasLoopGain(e)) return {i, ""};
        return {0,
                std::string(e.name) +
                    " não é uma fonte controlada nem um amplificador operacional com ganho finito"};
    }
    return {0, "Fonte " + name + " inexistente"};
}

LoopFunctions computeLoopFunctions(const RunState& run, int element, AnalysisHost& host,
                                   const EngineOptions& engine) {
    const int n = run.variableCount;
    LoopFunctions out;
    out.gain = run.ElementTable[static_cast<std::size_t>(element)].value;
    AnalysisLog quiet([](std::string_view) {});
    SystemMatrix closed;
    assembleSystem(run, closed, quiet, false);
    RunState opened = run;
    opened.ElementTable[static_cast<std::size_t>(element)].value = 0.0;
    SystemMatrix withoutGain;
    assembleSystem(opened, withoutGain, quiet, false);
    const std::optional<SystemMatrix> parts =
        gainPartSystem(withoutGain, gainDerivative(run, element), n);
    if (!expand(closed, n, out.closedLoop, host, engine) ||
        !expand(withoutGain, n, out.withoutGain, host, engine)) {
        out.cancelled = true;
        return out;
    }
    // An element whose terms all fall on ground has no part in k: D1 and N1 are zero.
    if (parts && !expand(*parts, n, out.gainParts, host, engine)) out.cancelled = true;
    if (!parts) out.gainParts.denominator.constant = 1.0;
    return out;
}

std::optional<std::string> loopGainProblem(const LoopFunctions& functions,
                                           const std::string& source) {
    if (allZero(functions.gainParts.denominator) || functions.gain == 0.0) {
        return "O ganho de malha de " + source + " é identicamente nulo";
    }
    if (allZero(functions.withoutGain.denominator)) {
        return "O ganho de malha de " + source + " não é definido: o circuito com " + source +
               " anulado não tem solução";
    }
    for (const double c : functions.gainParts.denominator.coefficients()) {
        if (!std::isfinite(c)) return "O ganho de malha de " + source + " não é finito";
    }
    return std::nullopt;
}

LoopGain loopGainOf(const LoopFunctions& functions, const std::string& source, int variables) {
    LoopGain out;
    out.source = source;
    const Polynomial& d0 = functions.withoutGain.denominator;
    const Polynomial& d1 = functions.gainParts.denominator;
    out.loopGain = ratioOf(scaled(d1, functions.gain), d0);
    out.closedLoopDenominator = functions.closedLoop.denominator;
    out.closedLoopDenominator.constant = 1.0;
    cleanPolynomial(out.closedLoopDenominator, ResidueDispersion);
    for (int k = 1; k <= variables; ++k) {
        const auto slot = static_cast<std::size_t>(k);
        out.asymptotic[slot] = variableRatio(functions.gainParts.numerator[slot], d1);
        out.direct[slot] = variableRatio(functions.withoutGain.numerator[slot], d0);
    }
    return out;
}

}  // namespace corvane::loop
