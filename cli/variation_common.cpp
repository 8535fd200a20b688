#include "variation_common.h"

#include <cmath>
#include <numbers>

#include "c_locale.h"
#include "command_outputs.h"
#include "element_value.h"
#include "image_builds.h"
#include "netlist_reader.h"
#include "option_readers.h"
#include "output_target.h"
#include "replace_file.h"
#include "result_set.h"

namespace corvane::cli {

namespace {

double hertzOf(double omega) {
    return omega / (2.0 * std::numbers::pi);
}

}  // namespace

bool takeVariationOption(Arguments& args, VariationCommon& common, bool drawsImages) {
    const std::string_view arg = args.current();
    if (arg == "--variavel") {
        common.variables = splitList(args.value());
        if (common.variables.empty()) throw UsageError("a opção --variavel precisa de nomes");
    } else if (arg == "--em") {
        common.hertz = parseFrequencyOption(arg, args.value());
    } else if (arg == "--tabela") {
        common.outputs.table = args.value();
        if (common.outputs.table.empty())
            throw UsageError("a opção --tabela precisa de um arquivo");
    } else if (arg == "--json") {
        common.outputs.json = args.value();
        if (common.outputs.json.empty()) throw UsageError("a opção --json precisa de um arquivo");
    } else if (arg == "--imagem" && drawsImages) {
        common.outputs.image = args.value();
        checkImagePath(common.outputs.image);
    } else {
        return false;
    }
    return true;
}

bool outputsSpareNetlist(const VariationCommon& common, std::FILE* err) {
    return cli::outputsSpareNetlist(common.netlist,
                                    {{common.outputs.table, "a tabela", "--tabela"},
                                     {common.outputs.image, "a imagem", "--imagem"},
                                     {common.outputs.locus, "o mapa", "--mapa"},
                                     {common.outputs.json, "o documento JSON", "--json"}},
                                    err);
}

bool readVariationCircuit(const std::string& netlist, RunState& run, AnalysisLog& log) {
    run.VariableNames[0] = VariableName{'0'};
    ScopedCLocale locale;
    return readNetlist(run, log, netlist);
}

std::optional<std::vector<int>> resolveVariables(const RunState& run,
                                                 const std::vector<std::string>& names,
                                                 bool allByDefault, std::FILE* err) {
    std::vector<int> variables;
    if (names.empty() && allByDefault) {
        for (int k = 1; k <= run.variableCount; ++k)
            variables.push_back(k);
    }
    for (const std::string& name : names) {
        int found = 0;
        for (int k = 1; k <= run.variableCount && found == 0; ++k) {
            if (name == run.variableName(k) || name == std::to_string(k)) found = k;
        }
        if (found == 0) {
            std::fprintf(err, "corvane-cli: --variavel: a variável %s não existe no circuito\n",
                         name.c_str());
            return std::nullopt;
        }
        variables.push_back(found);
    }
    return variables;
}

int resolveElement(const RunState& run, const std::string& name, std::FILE* err) {
    const int element = findElementNamed(run, name);
    if (element == 0) {
        std::fprintf(err, "corvane-cli: --elemento: o elemento %s não existe no circuito\n",
                     name.c_str());
        return 0;
    }
    if (!kindHasValue(run.ElementTable[static_cast<std::size_t>(element)].kind())) {
        std::fprintf(err, "corvane-cli: --elemento: o elemento %s não tem valor\n", name.c_str());
        return 0;
    }
    return element;
}

VariationProgress::VariationProgress(std::FILE* err)
    : host_(ConsoleOptions{}, err), start_(std::chrono::steady_clock::now()), lastShown_(start_) {}

bool VariationProgress::operator()(double fraction) {
    using namespace std::chrono_literals;
    if (host_.cancelRequested()) return false;
    const auto now = std::chrono::steady_clock::now();
    if (now - start_ < 500ms || now - lastShown_ < 40ms) return true;
    lastShown_ = now;
    return host_.showProgress(fraction) == ProgressStatus::Continue;
}

std::string numberText(double value) {
    if (!std::isfinite(value)) return "—";
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value == 0.0 ? 0.0 : value);
    return text;
}

double figureInOutputUnits(const variation::FigureRef& figure, double value) {
    using variation::Figure;
    if (figure.figure == Figure::Omega0 || figure.figure == Figure::Cutoff) return hertzOf(value);
    return value;
}

std::string figureValueText(const variation::FigureRef& figure, double value) {
    using variation::Figure;
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

std::string figureLabel(const RunState& run, const variation::FigureRef& figure, double hertz) {
    using variation::Figure;
    if (figure.figure == Figure::Omega0) return "f0 do par " + std::to_string(figure.index + 1);
    const std::string variable = figure.variable > 0 ? run.variableName(figure.variable) : "";
    if (figure.figure == Figure::GainAt)
        return "ganho de " + variable + " em " + numberText(hertz) + " Hz";
    return variation::figureName(figure, variable);
}

std::string figureColumn(const RunState& run, const variation::FigureRef& figure) {
    using variation::Figure;
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
                                       const variation::CircuitFigures& figures) {
    using nlohmann::ordered_json;
    const auto optional = [](const std::optional<double>& v) -> ordered_json {
        if (!v || !std::isfinite(*v)) return nullptr;
        return *v;
    };
    ordered_json pairs = ordered_json::array();
    for (const variation::PolePair& pair : figures.pairs) {
        pairs.push_back({{"f0_hz", hertzOf(pair.omega0)},
                         {"q", pair.q},
                         {"real", pair.pole.real()},
                         {"imag", pair.pole.imag()}});
    }
    ordered_json realPoles = ordered_json::array();
    for (const double p : figures.realPoles)
        realPoles.push_back(p);
    ordered_json variables = ordered_json::array();
    for (const variation::VariableFigures& v : figures.variables) {
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

bool saveTextOutputs(const VariationOutputs& outputs, const std::function<std::string()>& table,
                     const std::function<std::string()>& json, std::FILE* err) {
    std::vector<ResultToSave> files;
    const auto add = [&files](const std::string& path, std::string text) {
        if (path.empty()) return;
        files.push_back({path, nullptr, [text = std::move(text)](std::FILE* file) {
                             return std::fwrite(text.data(), 1, text.size(), file) == text.size();
                         }});
    };
    add(outputs.table, outputs.table.empty() ? std::string() : table());
    add(outputs.json, outputs.json.empty() ? std::string() : json());
    if (files.empty()) return true;
    const SetSaveResult saved = saveResultSet(files);
    if (saved.status == SaveStatus::Saved) return true;
    std::fprintf(err, "corvane-cli: não foi possível gravar %s\n", saved.failedPath.c_str());
    return false;
}

}  // namespace corvane::cli
