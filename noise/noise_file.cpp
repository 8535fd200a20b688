#include "noise_file.h"

#include <cctype>
#include <cmath>
#include <cstdio>

#include <nlohmann/json.hpp>

#include "bounded_file.h"

namespace corvane::noise {

namespace {

using json = nlohmann::json;
using ordered_json = nlohmann::ordered_json;

constexpr const char* Format = "corvane-ruido";
constexpr int Version = 1;

bool allFinite(const Polynomial& p) {
    for (const double c : p.coefficients()) {
        if (!std::isfinite(c)) return false;
    }
    return true;
}

ordered_json coefficientsOf(const Polynomial& p) {
    ordered_json list = ordered_json::array();
    for (const double c : p.coefficients()) list.push_back(c);
    return list;
}

// A member of an object, or null: reading a missing key of a constant document through
// operator[] is undefined.
const json& member(const json& object, const char* key) {
    static const json absent;
    if (!object.is_object()) return absent;
    const auto found = object.find(key);
    return found == object.end() ? absent : *found;
}

// [c0 .. cn] with 1 .. MaxDegree + 1 finite numbers, constant 1.
std::optional<Polynomial> polynomialFrom(const json& list) {
    if (!list.is_array() || list.empty() || list.size() > static_cast<std::size_t>(MaxDegree) + 1)
        return std::nullopt;
    Polynomial p;
    p.degree = static_cast<int>(list.size()) - 1;
    p.constant = 1.0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (!list[i].is_number()) return std::nullopt;
        const double c = list[i].get<double>();
        if (!std::isfinite(c)) return std::nullopt;
        p.coef[i] = c;
    }
    return p;
}

// What is wrong with the source `source` (number `index` from 1), or empty.
std::string sourceFault(const json& source, std::size_t index, NoiseFunctions& functions) {
    const json& element = member(source, "elemento");
    if (!element.is_string() || element.get<std::string>().empty())
        return "a fonte " + std::to_string(index) + " não tem elemento";
    const std::string name = element.get<std::string>();
    const json& density = member(source, "densidade");
    if (!density.is_number() || !(density.get<double>() > 0.0) ||
        !std::isfinite(density.get<double>()))
        return "a densidade de " + name + " não é um número positivo e finito";
    const std::optional<Polynomial> numerator = polynomialFrom(member(source, "numerador"));
    if (!numerator) return "o numerador de " + name + " não é uma lista de 1 a 31 números finitos";
    NoiseSource added;
    added.element = name;
    added.density = density.get<double>();
    functions.sources.push_back(added);
    functions.transfers.push_back(*numerator);
    return {};
}

// What is wrong with the document's contents, or empty.
std::string contentFault(const json& document, NoiseFile& file) {
    const json& output = member(document, "saida");
    if (!output.is_string() || output.get<std::string>().empty()) return "a saída não tem nome";
    file.outputName = output.get<std::string>();
    const json& unit = member(document, "unidade");
    if (unit != "V" && unit != "A") return "a unidade não é V nem A";
    file.unit = unit.get<std::string>();
    const json& celsius = member(document, "temperatura_c");
    if (!celsius.is_number() || !std::isfinite(celsius.get<double>()))
        return "a temperatura não é um número finito";
    file.celsius = celsius.get<double>();
    const std::optional<Polynomial> denominator = polynomialFrom(member(document, "denominador"));
    if (!denominator) return "o denominador não é uma lista de 1 a 31 números finitos";
    if (denominator->trimmedDegree() == 0 && denominator->coef[0] == 0.0)
        return "o denominador é zero";
    file.functions.denominator = *denominator;
    const json& sources = member(document, "fontes");
    if (!sources.is_array() || sources.empty()) return "não há fontes";
    for (std::size_t i = 0; i < sources.size(); ++i) {
        std::string fault = sourceFault(sources[i], i + 1, file.functions);
        if (!fault.empty()) return fault;
    }
    return {};
}

}  // namespace

std::optional<std::string> noiseFileText(const NoiseReport& report, double celsius) {
    const NoiseFunctions& functions = report.functions;
    if (!allFinite(functions.denominator)) return std::nullopt;
    ordered_json document;
    document["formato"] = Format;
    document["versao"] = Version;
    document["saida"] = report.outputName;
    document["unidade"] = report.unit;
    document["temperatura_c"] = celsius;
    document["denominador"] = coefficientsOf(functions.denominator);
    document["fontes"] = ordered_json::array();
    for (const Contribution& c : report.contributions) {
        const NoiseSource& source = functions.sources[c.source];
        const Polynomial& transfer = functions.transfers[c.source];
        if (!allFinite(transfer) || !std::isfinite(source.density)) return std::nullopt;
        document["fontes"].push_back({{"elemento", source.element},
                                      {"densidade", source.density},
                                      {"numerador", coefficientsOf(transfer)}});
    }
    return document.dump() + "\n";
}

NoiseFileRead readNoiseFile(const std::string& path) {
    // Refused when it is not a regular file or passes the bound: a read of a device or a
    // folder ends at once with a message.
    const BoundedText text = readBoundedFile(path, MaxNoiseFileBytes, "o arquivo de ruído");
    if (!text.text) return {std::nullopt, text.error};
    const json document = json::parse(*text.text, nullptr, false);
    if (document.is_discarded()) {
        return {std::nullopt, "O arquivo de ruído " + path + " não é um documento JSON válido."};
    }
    if (!document.is_object() || member(document, "formato") != Format) {
        return {std::nullopt, "O arquivo " + path + " não é um arquivo de ruído do Corvane."};
    }
    const json& version = member(document, "versao");
    if (!version.is_number_integer() || version.get<long long>() != Version) {
        return {std::nullopt,
                "O arquivo de ruído " + path + " é de uma versão que este programa não lê."};
    }
    NoiseFile file;
    const std::string fault = contentFault(document, file);
    if (!fault.empty()) {
        return {std::nullopt, "O arquivo de ruído " + path + " é inválido: " + fault + "."};
    }
    return {std::move(file), ""};
}

std::optional<std::size_t> findSource(const NoiseFile& file, std::string_view element) {
    const auto same = [element](const std::string& name) {
        if (name.size() != element.size()) return false;
        for (std::size_t i = 0; i < name.size(); ++i) {
            if (std::toupper(static_cast<unsigned char>(name[i])) !=
                std::toupper(static_cast<unsigned char>(element[i])))
                return false;
        }
        return true;
    };
    const std::vector<NoiseSource>& sources = file.functions.sources;
    for (std::size_t k = 0; k < sources.size(); ++k) {
        if (same(sources[k].element)) return k;
    }
    return std::nullopt;
}

}  // namespace corvane::noise
