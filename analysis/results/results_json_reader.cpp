#include "results_json_reader.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include <nlohmann/json.hpp>

#include "bounded_file.h"

namespace corvane {

namespace {

using json = nlohmann::json;

// A member of an object, or null: reading a missing key of a constant document through
// operator[] is undefined.
const json& member(const json& object, const char* key) {
    static const json absent;
    if (!object.is_object()) return absent;
    const auto found = object.find(key);
    return found == object.end() ? absent : *found;
}

struct Document {
    std::optional<json> value;
    std::string error;
};

// The whole file, refused when it is not a regular file or passes the bound: a read of
// a device or a folder ends at once with a message.
Document parseDocument(const std::string& path) {
    const BoundedText read = readBoundedFile(path, MaxResultsDocumentBytes, "o documento");
    if (!read.text) return {std::nullopt, read.error};
    json value = json::parse(*read.text, nullptr, false);
    if (value.is_discarded() || !value.is_object() ||
        member(value, "formato") != "corvane-resultados") {
        return {std::nullopt, "O documento " + path + " não é um documento de resultados do Corvane."};
    }
    if (!member(value, "versao").is_number_integer() || member(value, "versao").get<int>() != 1) {
        return {std::nullopt, "O documento " + path + " é de uma versão que este programa não lê."};
    }
    return {std::move(value), ""};
}

// { grau, coeficientes, constante } with a degree of 0..MaxLiftedDegree, grau + 1 finite coefficients and
// a finite constant.
std::optional<Polynomial> polynomialFrom(const json& object) {
    if (!object.is_object()) return std::nullopt;
    const json& degree = member(object, "grau");
    const json& coefficients = member(object, "coeficientes");
    const json& constant = member(object, "constante");
    if (!degree.is_number_integer() || !coefficients.is_array() || !constant.is_number()) {
        return std::nullopt;
    }
    const long long n = degree.get<long long>();
    if (n < 0 || n > MaxLiftedDegree || coefficients.size() != static_cast<std::size_t>(n) + 1) {
        return std::nullopt;
    }
    Polynomial p;
    p.setDegree(static_cast<int>(n));
    for (std::size_t i = 0; i < coefficients.size(); ++i) {
        if (!coefficients[i].is_number()) return std::nullopt;
        p.coef[i] = coefficients[i].get<double>();
        if (!std::isfinite(p.coef[i])) return std::nullopt;
    }
    p.constant = constant.get<double>();
    if (!std::isfinite(p.constant)) return std::nullopt;
    return p;
}

bool sameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool isNumber(const std::string& text) {
    return !text.empty() && text.size() < 4 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

const json* findVariable(const json& variables, const std::string& wanted) {
    for (const json& variable : variables) {
        if (!variable.is_object()) continue;
        const json& number = member(variable, "numero");
        const json& name = member(variable, "nome");
        if (isNumber(wanted) && number.is_number_integer() &&
            number.get<long long>() == std::stoll(wanted)) {
            return &variable;
        }
        if (name.is_string() && sameName(name.get<std::string>(), wanted)) return &variable;
    }
    return nullptr;
}

std::vector<std::string> warningsAbout(const json& document, int number) {
    std::vector<std::string> texts;
    const json& warnings = member(document, "avisos");
    if (!warnings.is_array()) return texts;
    for (const json& warning : warnings) {
        if (!member(warning, "texto").is_string()) continue;
        const json& subject = member(warning, "sobre");
        const bool aboutDenominator = subject == "denominador";
        const bool aboutThisNumerator = subject == "numerador" && member(warning, "numero") == number;
        if (aboutDenominator || aboutThisNumerator) texts.push_back(member(warning, "texto").get<std::string>());
    }
    return texts;
}

std::optional<SourceKind> sourceKindNamed(const json& name) {
    if (name == "impulso") return SourceKind::Impulse;
    if (name == "degrau") return SourceKind::Step;
    if (name == "condicao_inicial") return SourceKind::InitialCondition;
    return std::nullopt;
}

// A step document as `corvane-cli varrer --json` writes it: format, version and the list of
// values. A file cut short is told from another kind of document, since a step that was
// still being written is the likely cause.
Document parseStepDocument(const std::string& path) {
    const BoundedText read = readBoundedFile(path, MaxResultsDocumentBytes, "o documento");
    if (!read.text) return {std::nullopt, read.error};
    json value = json::parse(*read.text, nullptr, false);
    if (value.is_discarded()) {
        return {std::nullopt, "O documento " + path + " está incompleto ou não é JSON."};
    }
    if (!value.is_object() || member(value, "formato") != "corvane-varredura") {
        return {std::nullopt, "O documento " + path + " não é um documento de varredura do Corvane."};
    }
    if (!member(value, "versao").is_number_integer() || member(value, "versao").get<int>() != 1) {
        return {std::nullopt, "O documento " + path + " é de uma versão que este programa não lê."};
    }
    if (!member(value, "valores").is_array()) {
        return {std::nullopt, "O documento " + path + " é inválido."};
    }
    return {std::move(value), ""};
}

}  // namespace

StepFunctionRead readStepFunction(const std::string& path, const std::string& variable, int value) {
    Document document = parseStepDocument(path);
    if (!document.value) return {std::nullopt, "", document.error};
    const json& values = member(*document.value, "valores");
    const std::string invalid = "O documento " + path + " é inválido.";
    if (value < 1 || static_cast<std::size_t>(value) > values.size()) {
        return {std::nullopt, "",
                "O documento " + path + " tem " + std::to_string(values.size()) +
                    " valores; não tem o valor " + std::to_string(value) + "."};
    }
    const json& entry = values[static_cast<std::size_t>(value - 1)];
    const json& legend = member(entry, "legenda");
    const json& computed = member(entry, "calculado");
    if (!legend.is_string() || !computed.is_boolean()) return {std::nullopt, "", invalid};
    if (!computed.get<bool>()) {
        std::string error = "O documento " + path + " não tem as funções do valor ";
        error += std::to_string(value);
        error += " (";
        error += legend.get<std::string>();
        error += "): o circuito não pôde ser analisado com ele.";
        return {std::nullopt, legend.get<std::string>(), error};
    }
    const std::optional<Polynomial> denominator = polynomialFrom(member(entry, "denominador"));
    if (!denominator || !member(entry, "numeradores").is_array()) return {std::nullopt, "", invalid};
    const json* found = findVariable(member(entry, "numeradores"), variable);
    if (!found) {
        return {std::nullopt, "", "O documento " + path + " não tem a variável " + variable + "."};
    }
    const std::optional<Polynomial> numerator = polynomialFrom(member(*found, "numerador"));
    if (!numerator || !member(*found, "numero").is_number_integer() ||
        !member(*found, "nome").is_string()) {
        return {std::nullopt, "", invalid};
    }
    DocumentFunction function;
    function.number = member(*found, "numero").get<int>();
    function.name = member(*found, "nome").get<std::string>();
    function.numerator = *numerator;
    function.denominator = *denominator;
    return {std::move(function), legend.get<std::string>(), ""};
}

std::optional<StepContents> stepContents(const std::string& path, std::string& error) {
    Document document = parseStepDocument(path);
    if (!document.value) {
        error = document.error;
        return std::nullopt;
    }
    StepContents contents;
    const json& values = member(*document.value, "valores");
    contents.values = static_cast<int>(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (member(values[i], "calculado") == true) contents.computed.push_back(static_cast<int>(i) + 1);
    }
    for (const json& entry : values) {
        const json& numerators = member(entry, "numeradores");
        if (!numerators.is_array()) continue;
        for (const json& variable : numerators) {
            if (!member(variable, "nome").is_string()) {
                error = "O documento " + path + " é inválido.";
                return std::nullopt;
            }
            contents.variables.push_back(member(variable, "nome").get<std::string>());
        }
        break;
    }
    return contents;
}

bool isStepDocument(const std::string& path) {
    const BoundedText read = readBoundedFile(path, MaxResultsDocumentBytes, "o documento");
    if (!read.text) return false;
    const json value = json::parse(*read.text, nullptr, false);
    return !value.is_discarded() && member(value, "formato") == "corvane-varredura";
}

DocumentRead readDocumentFunction(const std::string& path, const std::string& variable) {
    Document document = parseDocument(path);
    if (!document.value) return {std::nullopt, document.error};
    const json& d = *document.value;
    const std::string invalid = "O documento " + path + " é inválido.";
    const std::optional<Polynomial> denominator = polynomialFrom(member(d, "denominador"));
    if (!denominator || !member(d, "variaveis").is_array()) return {std::nullopt, invalid};
    const json* found = findVariable(member(d, "variaveis"), variable);
    if (!found) {
        return {std::nullopt, "O documento " + path + " não tem a variável " + variable + "."};
    }
    const std::optional<Polynomial> numerator = polynomialFrom(member((*found), "numerador"));
    if (!numerator || !member((*found), "numero").is_number_integer() || !member((*found), "nome").is_string()) {
        return {std::nullopt, invalid};
    }
    DocumentFunction function;
    function.number = member((*found), "numero").get<int>();
    function.name = member((*found), "nome").get<std::string>();
    function.numerator = *numerator;
    function.denominator = *denominator;
    function.warnings = warningsAbout(d, function.number);
    return {std::move(function), ""};
}

std::vector<std::string> documentVariables(const std::string& path, std::string& error) {
    Document document = parseDocument(path);
    std::vector<std::string> names;
    if (!document.value) {
        error = document.error;
        return names;
    }
    const json& variables = member((*document.value), "variaveis");
    if (!variables.is_array()) {
        error = "O documento " + path + " é inválido.";
        return names;
    }
    for (const json& variable : variables) {
        if (!variable.is_object() || !member(variable, "nome").is_string()) {
            error = "O documento " + path + " é inválido.";
            return {};
        }
        names.push_back(member(variable, "nome").get<std::string>());
    }
    return names;
}

std::optional<std::vector<RunSource>> documentSources(const std::string& path, std::string& error) {
    Document document = parseDocument(path);
    if (!document.value) {
        error = document.error;
        return std::nullopt;
    }
    const json& entries = member(*document.value, "fontes");
    error = "O documento " + path + " não lista as fontes da análise.";
    if (!entries.is_array()) return std::nullopt;
    std::vector<RunSource> sources;
    for (const json& entry : entries) {
        const json& name = member(entry, "nome");
        const std::optional<SourceKind> kind = sourceKindNamed(member(entry, "tipo"));
        if (!name.is_string() || !kind) return std::nullopt;
        sources.push_back({name.get<std::string>(), *kind});
    }
    error.clear();
    return sources;
}

}  // namespace corvane
