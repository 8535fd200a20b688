#include "loop_file.h"

#include <cmath>

#include <nlohmann/json.hpp>

#include "bounded_file.h"
#include "results_json.h"

namespace corvane::loop {

namespace {

using json = nlohmann::json;

constexpr const char* Format = "corvane-malha";
constexpr int Version = 1;

bool allFinite(const Polynomial& p) {
    for (const double c : p.coefficients()) {
        if (!std::isfinite(c)) return false;
    }
    return std::isfinite(p.constant);
}

const json& member(const json& object, const char* key) {
    static const json absent;
    if (!object.is_object()) return absent;
    const auto found = object.find(key);
    return found == object.end() ? absent : *found;
}

// {"grau": n, "coeficientes": [c0 .. cn], "constante": c}, 0 ≤ n ≤ MaxDegree, every number
// finite.
std::optional<Polynomial> polynomialFrom(const json& object) {
    const json& degree = member(object, "grau");
    const json& list = member(object, "coeficientes");
    const json& constant = member(object, "constante");
    if (!degree.is_number_integer() || !list.is_array() || !constant.is_number())
        return std::nullopt;
    const long long n = degree.get<long long>();
    if (n < 0 || n > MaxDegree || list.size() != static_cast<std::size_t>(n) + 1)
        return std::nullopt;
    Polynomial p;
    p.degree = static_cast<int>(n);
    p.constant = constant.get<double>();
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (!list[i].is_number()) return std::nullopt;
        p.coef[i] = list[i].get<double>();
    }
    if (!allFinite(p)) return std::nullopt;
    return p;
}

}  // namespace

std::optional<std::string> loopFileText(const LoopReport& report, const RunState& run,
                                        const std::vector<int>& variables) {
    if (!allFinite(report.gain.loopGain.numerator) || !allFinite(report.gain.loopGain.denominator))
        return std::nullopt;
    nlohmann::ordered_json document = {{"formato", Format},
                                       {"versao", Version},
                                       {"netlist", run.netlistFileName},
                                       {"situacao", "calculado"}};
    document.update(loopDocument(report, run, variables));
    return jsonText(document);
}

LoopFileRead readLoopFile(const std::string& path) {
    const BoundedText text = readBoundedFile(path, MaxLoopFileBytes, "o arquivo de malha");
    if (!text.text) return {"", std::nullopt, text.error};
    const json document = json::parse(*text.text, nullptr, false);
    if (document.is_discarded()) {
        return {"", std::nullopt,
                "O arquivo de malha " + path + " não é um documento JSON válido."};
    }
    if (!document.is_object() || member(document, "formato") != Format) {
        return {"", std::nullopt, "O arquivo " + path + " não é um arquivo de malha do Corvane."};
    }
    const json& version = member(document, "versao");
    if (!version.is_number_integer() || version.get<long long>() != Version) {
        return {"", std::nullopt,
                "O arquivo de malha " + path + " é de uma versão que este programa não lê."};
    }
    const auto invalid = [&](const char* why) {
        return LoopFileRead{"", std::nullopt,
                            "O arquivo de malha " + path + " é inválido: " + why + "."};
    };
    const json& source = member(document, "fonte");
    if (!source.is_string() || source.get<std::string>().empty())
        return invalid("a fonte não tem nome");
    const json& t = member(document, "ganho_de_malha");
    const std::optional<Polynomial> numerator = polynomialFrom(member(t, "numerador"));
    const std::optional<Polynomial> denominator = polynomialFrom(member(t, "denominador"));
    if (!numerator || !denominator) {
        return invalid(
            "o ganho de malha não tem numerador e denominador de grau 0 a 30 e "
            "números finitos");
    }
    if (denominator->trimmedDegree() == 0 &&
        (denominator->coef[0] == 0.0 || denominator->constant == 0.0))
        return invalid("o denominador é zero");
    return {source.get<std::string>(), Ratio{*numerator, *denominator}, ""};
}

}  // namespace corvane::loop
