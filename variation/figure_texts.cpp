#include "figure_texts.h"

#include <cmath>
#include <cstdio>
#include <numbers>
#include <optional>

namespace corvane::variation {

namespace {

double hertzOf(double omega) {
    return omega / (2.0 * std::numbers::pi);
}

}  // namespace

std::string numberText(double value) {
    if (!std::isfinite(value)) return "—";
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value == 0.0 ? 0.0 : value);
    return text;
}

double figureInOutputUnits(const FigureRef& figure, double value) {
    if (figure.figure == Figure::Omega0 || figure.figure == Figure::Cutoff) return hertzOf(value);
    return value;
}

std::string figureValueText(const FigureRef& figure, double value) {
    switch (figure.figure) {
        case Figure::Omega0:
        case Figure::Cutoff:
            return numberText(hertzOf(value)) + " Hz";
        case Figure::RealPole:
            return numberText(value) + " rad/s";
        case Figure::DcGain:
        case Figure::GainAt: {
            double decibels = 20.0 * std::log10(std::fabs(value));
            // A gain of one that rounding took a few units of the last place away from.
            if (std::fabs(decibels) < 1e-9) decibels = 0.0;
            return numberText(value) + " (" + numberText(decibels) + " dB)";
        }
        case Figure::Q:
            break;
    }
    return numberText(value);
}

std::string figureLabel(const RunState& run, const FigureRef& figure, double hertz) {
    if (figure.figure == Figure::Omega0) return "f0 do par " + std::to_string(figure.index + 1);
    const std::string variable = figure.variable > 0 ? run.variableName(figure.variable) : "";
    if (figure.figure == Figure::GainAt)
        return "ganho de " + variable + " em " + numberText(hertz) + " Hz";
    return figureName(figure, variable);
}

std::string figureColumn(const RunState& run, const FigureRef& figure) {
    const std::string number = std::to_string(figure.index + 1);
    const std::string variable = figure.variable > 0 ? run.variableName(figure.variable) : "";
    switch (figure.figure) {
        case Figure::Omega0:
            return "par" + number + "_f0_hz";
        case Figure::Q:
            return "par" + number + "_q";
        case Figure::RealPole:
            return "polo_real" + number;
        case Figure::DcGain:
            return "ganho_s0_" + variable;
        case Figure::GainAt:
            return "ganho_em_" + variable;
        case Figure::Cutoff:
            return "corte_hz_" + variable;
    }
    return {};
}

nlohmann::ordered_json polynomialDocument(const Polynomial& p) {
    nlohmann::ordered_json coefficients = nlohmann::ordered_json::array();
    for (const double c : p.coefficients())
        coefficients.push_back(c);
    return {{"grau", p.degree}, {"coeficientes", coefficients}, {"constante", p.constant}};
}

nlohmann::ordered_json figuresDocument(const RunState& run,
                                       const CircuitFigures& figures) {
    using nlohmann::ordered_json;
    const auto optional = [](const std::optional<double>& v) -> ordered_json {
        if (!v || !std::isfinite(*v)) return nullptr;
        return *v;
    };
    ordered_json pairs = ordered_json::array();
    for (const PolePair& pair : figures.pairs) {
        pairs.push_back({{"f0_hz", hertzOf(pair.omega0)},
                         {"q", pair.q},
                         {"real", pair.pole.real()},
                         {"imag", pair.pole.imag()}});
    }
    ordered_json realPoles = ordered_json::array();
    for (const double p : figures.realPoles)
        realPoles.push_back(p);
    ordered_json variables = ordered_json::array();
    for (const VariableFigures& v : figures.variables) {
        std::optional<double> decibels;
        if (v.gainAt && *v.gainAt > 0.0) decibels = 20.0 * std::log10(*v.gainAt);
        std::optional<double> cutoff;
        if (v.cutoff) cutoff = hertzOf(*v.cutoff);
        variables.push_back({{"numero", v.variable},
                             {"nome", run.variableName(v.variable)},
                             {"ganho_s0", optional(v.dcGain)},
                             {"ganho_em", optional(v.gainAt)},
                             {"ganho_em_db", optional(decibels)},
                             {"corte_hz", optional(cutoff)}});
    }
    return {{"pares", pairs}, {"polos_reais", realPoles}, {"variaveis", variables}};
}

}  // namespace corvane::variation
