#include "results_json.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>

#include "c_locale.h"
#include "measurements.h"
#include "pole_zero_listing.h"
#include "polynomial_roots.h"
#include "replace_file.h"

namespace corvane {

namespace {

using json = nlohmann::ordered_json;

json rootsArray(const PolynomialRoots& roots) {
    json array = json::array();
    for (const PolynomialRoot& root : roots.roots) {
        array.push_back({{"real", root.value.real()},
                         {"imag", root.value.imag()},
                         {"multiplicidade", root.multiplicity}});
    }
    return array;
}

json polynomialObject(const Polynomial& p) {
    json coefficients = json::array();
    for (const double c : p.coefficients())
        coefficients.push_back(c);
    return {{"grau", p.degree}, {"coeficientes", coefficients}, {"constante", p.constant}};
}

json denominatorObject(const NetworkFunctions& functions, bool withRoots) {
    json object = polynomialObject(functions.denominator);
    if (!withRoots) return object;
    const PolynomialRoots poles = findRoots(functions.denominator);
    if (poles.status != RootsStatus::Found) return object;
    object["raizes"] = rootsArray(poles);
    object["estabilidade"] = stabilityKey(stabilityOf(poles, functions.denominatorRaised));
    return object;
}

constexpr double NoNumber = std::numeric_limits<double>::quiet_NaN();

json gainObject(const Gain& gain) {
    if (gain.infinite) return {{"tipo", "infinito"}, {"valor", NoNumber}, {"db", NoNumber}};
    if (gain.isZero()) return {{"tipo", "zero"}, {"valor", 0.0}, {"db", NoNumber}};
    return {{"tipo", "finito"}, {"valor", gain.value}, {"db", decibels(gain)}};
}

const char* maximumPlaceName(MaximumPlace place) {
    switch (place) {
        case MaximumPlace::AtFrequency:
            return "frequencia";
        case MaximumPlace::HighFrequency:
            return "alta_frequencia";
        case MaximumPlace::Everywhere:
            return "todas";
    }
    return "";
}

json measuresObject(const NetworkFunctions& functions, int k) {
    const FrequencyMeasures m = measureFrequencyResponse(functions, k);
    switch (m.status) {
        case MeasuresStatus::Measured:
            break;
        case MeasuresStatus::ZeroFunction:
            return {{"situacao", "funcao_nula"}};
        case MeasuresStatus::NotComputable:
            return {{"situacao", "nao_calculadas"}};
    }
    json maximum = gainObject(m.maximumGain);
    maximum["em"] = maximumPlaceName(m.maximumPlace);
    maximum["omega"] = m.maximumPlace == MaximumPlace::AtFrequency ? m.maximumOmega : NoNumber;
    json bands = json::array();
    for (const PassBand& band : m.bands)
        bands.push_back({{"inferior", band.lower}, {"superior", band.upper}});
    json object = {{"situacao", "calculadas"},
                   {"degrau_removido", functions.denominatorRaised},
                   {"ganho_s0", gainObject(m.dcGain)},
                   {"ganho_alta_frequencia", gainObject(m.highFrequencyGain)},
                   {"ganho_maximo", std::move(maximum)},
                   {"banda_3db", std::move(bands)}};
    if (const double q = qualityFactor(m); q > 0.0) object["Q"] = q;
    object["atraso_grupo_s0"] = m.dcGroupDelay;
    return object;
}

json variableObject(const RunState& run, const NetworkFunctions& functions, int k,
                    const ResultsJsonOptions& options) {
    const bool withRoots = options.polesAndZeros;
    json numerator = polynomialObject(functions.numerator[k]);
    json variable = {{"numero", k}, {"nome", run.variableName(k)}};
    if (withRoots) {
        const PolynomialRoots zeros = findRoots(functions.numerator[k]);
        if (zeros.status == RootsStatus::Found) numerator["raizes"] = rootsArray(zeros);
        variable["K"] = zeroPoleGain(functions.numerator[k], functions.denominator);
    }
    variable["numerador"] = std::move(numerator);
    if (options.measures) variable["medidas"] = measuresObject(functions, k);
    return variable;
}

// Independent sources and the initial conditions of capacitors and inductors: what
// drives the circuit.
json sourcesArray(const RunState& run) {
    json sources = json::array();
    for (int i = 1; i <= std::min(run.elementCount, MaxElements); ++i) {
        const Element& e = run.ElementTable[i];
        const char kind = e.kind();
        if (kind == 'V' || kind == 'I') {
            sources.push_back({{"nome", e.name},
                               {"tipo", e.y == 'D' ? "degrau" : "impulso"},
                               {"valor", e.value}});
        } else if ((kind == 'C' || kind == 'L') && e.value2 != 0.0) {
            sources.push_back(
                {{"nome", e.name}, {"tipo", "condicao_inicial"}, {"valor", e.value2}});
        }
    }
    return sources;
}

json warningsArray(const RunWarnings& warnings) {
    json array = json::array();
    for (const RunWarning& warning : warnings.all()) {
        json entry = {{"texto", warning.text}};
        switch (warning.subject) {
            case WarningSubject::Denominator:
                entry["sobre"] = "denominador";
                break;
            case WarningSubject::Numerator:
                entry["sobre"] = "numerador";
                entry["numero"] = warning.variable;
                break;
            case WarningSubject::File:
                entry["sobre"] = "arquivo";
                entry["arquivo"] = warning.file;
                break;
        }
        array.push_back(std::move(entry));
    }
    return array;
}

// The text of one scalar: strings escaped by the library (bytes that are not UTF-8
// replaced), floating-point numbers with every digit a double needs. A negative zero
// (0 divided by a negative leading coefficient) is "-0.0": readers take "-0" for the
// integer 0 and would lose its sign.
std::string scalarText(const json& value) {
    if (value.is_number_float()) {
        const double x = value.get<double>();
        if (!std::isfinite(x)) return "null";
        if (x == 0.0 && std::signbit(x)) return "-0.0";
        char text[32];
        std::snprintf(text, sizeof text, "%.17g", x);
        return text;
    }
    return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

bool holdsOnlyScalars(const json& value) {
    return std::none_of(value.begin(), value.end(),
                        [](const json& v) { return v.is_structured(); });
}

void appendValue(std::string& out, const json& value, int depth) {
    const std::string inner(static_cast<std::size_t>(depth + 1) * 2, ' ');
    const std::string outer(static_cast<std::size_t>(depth) * 2, ' ');
    if (value.is_object()) {
        if (value.empty() || holdsOnlyScalars(value)) {
            out += "{";
            bool first = true;
            for (auto it = value.begin(); it != value.end(); ++it) {
                if (!first) out += ", ";
                first = false;
                out += scalarText(it.key()) + ": " + scalarText(it.value());
            }
            out += "}";
            return;
        }
        out += "{\n";
        bool first = true;
        for (auto it = value.begin(); it != value.end(); ++it) {
            if (!first) out += ",\n";
            first = false;
            out += inner + scalarText(it.key()) + ": ";
            appendValue(out, it.value(), depth + 1);
        }
        out += "\n" + outer + "}";
    } else if (value.is_array()) {
        if (value.empty() || holdsOnlyScalars(value)) {
            out += "[";
            for (std::size_t i = 0; i < value.size(); ++i) {
                if (i > 0) out += ", ";
                out += scalarText(value[i]);
            }
            out += "]";
            return;
        }
        out += "[\n";
        for (std::size_t i = 0; i < value.size(); ++i) {
            if (i > 0) out += ",\n";
            out += inner;
            appendValue(out, value[i], depth + 1);
        }
        out += "\n" + outer + "]";
    } else {
        out += scalarText(value);
    }
}

}  // namespace

json resultsDocument(const RunState& run, const NetworkFunctions& functions,
                     const ResultsJsonOptions& options, const RunWarnings& warnings) {
    json variables = json::array();
    for (int k = 1; k <= run.variableCount; ++k)
        variables.push_back(variableObject(run, functions, k, options));
    return {
        {"formato", "corvane-resultados"},
        {"versao", ResultsJsonVersion},
        {"netlist", run.netlistFileName},
        {"opcoes",
         {{"normalizar", options.normalize},
          {"dispersao", options.dispersion},
          {"polos_zeros", options.polesAndZeros}}},
        {"fontes", sourcesArray(run)},
        {"denominador", denominatorObject(functions, options.polesAndZeros)},
        {"variaveis", std::move(variables)},
        {"avisos", warningsArray(warnings)},
    };
}

std::string jsonText(const json& document) {
    ScopedCLocale locale;
    std::string text;
    appendValue(text, document, 0);
    text += '\n';
    return text;
}

JsonSaveStatus saveJson(const std::string& path, const json& document) {
    switch (saveWholeFile(path, jsonText(document))) {
        case WholeFileStatus::Saved:
            return JsonSaveStatus::Saved;
        case WholeFileStatus::CannotCreate:
            return JsonSaveStatus::CannotCreate;
        case WholeFileStatus::WriteFailed:
            return JsonSaveStatus::WriteFailed;
    }
    return JsonSaveStatus::WriteFailed;
}

}  // namespace corvane
