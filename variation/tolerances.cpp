#include "tolerances.h"

#include <cctype>
#include <cmath>

#include "element_value.h"
#include "number_text.h"

namespace corvane::variation {

namespace {

std::vector<std::string_view> entriesOf(std::string_view list) {
    const char separator = list.find(';') != std::string_view::npos ? ';' : ',';
    std::vector<std::string_view> entries;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(separator, start);
        if (end == std::string_view::npos) end = list.size();
        entries.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return entries;
}

std::string upper(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

bool isKindLetter(const std::string& target) {
    return target.size() == 1 && kindHasValue(target[0]);
}

}  // namespace

std::optional<std::vector<ToleranceRule>> parseTolerances(std::string_view list,
                                                          std::string& error) {
    std::vector<ToleranceRule> rules;
    for (const std::string_view entry : entriesOf(list)) {
        const std::size_t equals = entry.find('=');
        if (equals == std::string_view::npos || equals == 0) {
            error = "escreva cada tolerância como ELEMENTO=PORCENTAGEM ou TIPO=PORCENTAGEM: ";
            error += entry;
            return std::nullopt;
        }
        ToleranceRule rule;
        rule.target = upper(entry.substr(0, equals));
        rule.text = std::string(entry.substr(equals + 1));
        std::string_view number = entry.substr(equals + 1);
        if (!number.empty() && number.back() == '%') number.remove_suffix(1);
        const std::optional<double> percent = parseBoxNumber(number);
        if (!percent || number.empty()) {
            error = "tolerância inválida em " + rule.target + ": " + rule.text;
            return std::nullopt;
        }
        if (*percent < 0.0) {
            error = "tolerância negativa em " + rule.target + ": " + rule.text;
            return std::nullopt;
        }
        if (*percent >= 100.0) {
            error = "tolerância de 100% ou mais em " + rule.target + ": " + rule.text;
            return std::nullopt;
        }
        rule.fraction = *percent / 100.0;
        rules.push_back(std::move(rule));
    }
    return rules;
}

std::optional<std::vector<ElementTolerance>> resolveTolerances(
    const RunState& run, const std::vector<ToleranceRule>& rules, std::string& error) {
    std::vector<double> fraction(static_cast<std::size_t>(run.elementCount) + 1, -1.0);
    // Kinds first, so that an element's own rule, wherever it stands, has the last word.
    for (const ToleranceRule& rule : rules) {
        if (!isKindLetter(rule.target)) continue;
        bool found = false;
        for (int i = 1; i <= run.elementCount; ++i) {
            if (run.ElementTable[static_cast<std::size_t>(i)].kind() != rule.target[0]) continue;
            fraction[static_cast<std::size_t>(i)] = rule.fraction;
            found = true;
        }
        if (!found) {
            error = "o circuito não tem elementos do tipo " + rule.target;
            return std::nullopt;
        }
    }
    for (const ToleranceRule& rule : rules) {
        if (isKindLetter(rule.target)) continue;
        const int element = findElementNamed(run, rule.target);
        if (element == 0) {
            error = "o elemento " + rule.target + " não existe no circuito";
            return std::nullopt;
        }
        if (!kindHasValue(run.ElementTable[static_cast<std::size_t>(element)].kind())) {
            error = "o elemento " + rule.target + " não tem valor";
            return std::nullopt;
        }
        fraction[static_cast<std::size_t>(element)] = rule.fraction;
    }
    std::vector<ElementTolerance> tolerances;
    for (int i = 1; i <= run.elementCount; ++i) {
        const double f = fraction[static_cast<std::size_t>(i)];
        if (f > 0.0) tolerances.push_back({i, f});
    }
    return tolerances;
}

}  // namespace corvane::variation
