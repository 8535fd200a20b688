#include "loop_listing.h"

#include "listing_numbers.h"
#include "polynomial_roots.h"
#include "results.h"

namespace corvane::loop {

namespace {

using json = nlohmann::ordered_json;

void listRatio(AnalysisLog& log, const Ratio& r, bool polesAndZeros) {
    log.print("Numerador:");
    listPolynomial(log, r.numerator);
    if (polesAndZeros) listRootsOf(log, r.numerator, false);
    log.print("Denominador:");
    listPolynomial(log, r.denominator);
    if (polesAndZeros) listRootsOf(log, r.denominator, true);
}

std::string frequencyText(double omega) {
    char text[96];
    std::snprintf(text, sizeof text, "ω = %.6g rad/s (%.6g Hz)", omega, hertz(omega));
    return text;
}

std::string stabilityText(const ClosedLoopStability& s) {
    if (!s.computed) return "Estabilidade em malha fechada: não foi possível calcular os polos";
    switch (s.stability) {
        case Stability::Stable:
            return "Estável em malha fechada";
        case Stability::Marginal:
            return "Marginalmente estável em malha fechada: polos no eixo imaginário";
        case Stability::Unstable:
            break;
    }
    if (s.rightHalfPlanePoles == 0) {
        return "Instável em malha fechada: polos múltiplos no eixo imaginário";
    }
    std::string text = "Instável em malha fechada: ";
    text += std::to_string(s.rightHalfPlanePoles);
    text +=
        s.rightHalfPlanePoles == 1 ? " polo no semiplano direito" : " polos no semiplano direito";
    return text;
}

const char* stabilityName(const ClosedLoopStability& s) {
    return s.computed ? stabilityKey(s.stability) : "nao_calculada";
}

json polynomialObject(const Polynomial& p) {
    json coefficients = json::array();
    for (const double c : p.coefficients())
        coefficients.push_back(c);
    return {{"grau", p.degree}, {"coeficientes", coefficients}, {"constante", p.constant}};
}

json ratioObject(const Ratio& r) {
    return {{"numerador", polynomialObject(r.numerator)},
            {"denominador", polynomialObject(r.denominator)}};
}

}  // namespace

ClosedLoopStability closedLoopStability(const Polynomial& closedLoopDenominator) {
    ClosedLoopStability out;
    const PolynomialRoots poles = findRoots(closedLoopDenominator);
    if (poles.status != RootsStatus::Found) return out;
    out.computed = true;
    out.stability = stabilityOf(poles, false);
    for (const PolynomialRoot& pole : poles.roots) {
        if (pole.value.real() > 0.0) out.rightHalfPlanePoles += pole.multiplicity;
    }
    return out;
}

LoopReport loopReport(const LoopGain& gain) {
    return {gain, loopMargins(gain.loopGain.numerator, gain.loopGain.denominator),
            closedLoopStability(gain.closedLoopDenominator)};
}

void listMargins(const LoopReport& report, AnalysisLog& log) {
    const LoopMargins& m = report.margins;
    if (!m.computed) {
        log.print("Margens: não foi possível calcular");
    } else {
        if (m.unitGainEverywhere) {
            log.print("|T(jω)| = 1 em todas as frequências: margem de fase indefinida");
        } else if (m.gainCrossovers.empty()) {
            log.print("Sem cruzamento de 0 dB: margem de fase indefinida");
        }
        for (const GainCrossover& c : m.gainCrossovers) {
            log.print("Margem de fase: %.4f° em %s", withoutNegativeZero(c.phaseMarginDegrees),
                      frequencyText(c.omega).c_str());
        }
        if (m.phaseCrossovers.empty()) {
            log.print("Sem cruzamento de -180°: margem de ganho infinita");
        }
        for (const PhaseCrossover& c : m.phaseCrossovers) {
            log.print("Margem de ganho: %.4f dB (%.6g) em %s",
                      withoutNegativeZero(c.gainMarginDecibels), c.gainMargin,
                      frequencyText(c.omega).c_str());
        }
    }
    log.print("%s.", stabilityText(report.stability).c_str());
}

void listLoopReport(const LoopReport& report, const RunState& run,
                    const std::vector<int>& variables, bool polesAndZeros, AnalysisLog& log) {
    const LoopGain& g = report.gain;
    log.print("Ganho de malha de %s:", g.source.c_str());
    log.print("T(s) = D(s)/D0(s) - 1, D0 com o ganho de %s nulo", g.source.c_str());
    listRatio(log, g.loopGain, polesAndZeros);
    if (polesAndZeros) {
        log.print("Malha fechada, raízes de D(s):");
        listRootsOf(log, g.closedLoopDenominator, true);
    }
    if (!variables.empty()) {
        log.print("Cada função: H = A∞·T/(1 + T) + ρ/(1 + T)");
    }
    for (const int k : variables) {
        const auto slot = static_cast<std::size_t>(k);
        log.print("Ganho assintótico A∞ %d (%s), com o ganho de %s infinito:", k,
                  run.variableName(k), g.source.c_str());
        listRatio(log, g.asymptotic[slot], polesAndZeros);
        log.print("Transmissão direta ρ %d (%s), com o ganho de %s nulo:", k, run.variableName(k),
                  g.source.c_str());
        listRatio(log, g.direct[slot], polesAndZeros);
    }
    listMargins(report, log);
}

json loopDocument(const LoopReport& report, const RunState& run,
                  const std::vector<int>& variables) {
    const LoopGain& g = report.gain;
    json loop;
    loop["fonte"] = g.source;
    loop["ganho_de_malha"] = ratioObject(g.loopGain);
    loop["denominador_malha_fechada"] = polynomialObject(g.closedLoopDenominator);
    json phase = json::array();
    json gain = json::array();
    for (const GainCrossover& c : report.margins.gainCrossovers)
        phase.push_back({{"omega", c.omega}, {"margem_graus", c.phaseMarginDegrees}});
    for (const PhaseCrossover& c : report.margins.phaseCrossovers) {
        gain.push_back(
            {{"omega", c.omega}, {"margem", c.gainMargin}, {"margem_db", c.gainMarginDecibels}});
    }
    loop["margens"] = {{"calculadas", report.margins.computed}, {"fase", phase}, {"ganho", gain}};
    loop["estabilidade_malha_fechada"] = stabilityName(report.stability);
    loop["polos_semiplano_direito"] = report.stability.rightHalfPlanePoles;
    json list = json::array();
    for (const int k : variables) {
        const auto slot = static_cast<std::size_t>(k);
        list.push_back({{"numero", k},
                        {"nome", run.variableName(k)},
                        {"assintotico", ratioObject(g.asymptotic[slot])},
                        {"direto", ratioObject(g.direct[slot])}});
    }
    loop["variaveis"] = list;
    return loop;
}

}  // namespace corvane::loop
