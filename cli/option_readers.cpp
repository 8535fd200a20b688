#include "option_readers.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

#include "determinant.h"
#include "mebibytes.h"
#include "memory_size.h"
#include "netlist_value.h"
#include "noise_sources.h"
#include "number_text.h"
#include "value_at.h"

namespace corvane::cli {

std::vector<std::string> splitList(std::string_view list) {
    std::vector<std::string> entries;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        if (comma > start) entries.emplace_back(list.substr(start, comma - start));
        start = comma + 1;
    }
    return entries;
}

std::size_t parseMebibytes(std::string_view text) {
    // No machine has 1 EiB, so a larger size is held there; the option takes one digit
    // more than that before it calls the text no number at all.
    constexpr std::size_t HeldMebibytes = std::size_t{1} << 40;
    constexpr std::size_t LargestMebibytes = HeldMebibytes * 10 + 9;
    if (text.empty()) throw UsageError("--memoria-cache precisa de um número de MiB");
    const std::optional<std::size_t> bytes = readMebibytes(text, LargestMebibytes);
    if (!bytes) {
        throw UsageError("--memoria-cache precisa de um número de MiB: " + std::string(text));
    }
    if (*bytes < SmallestCacheLimitBytes) {
        throw UsageError("a opção --memoria-cache pede pelo menos " +
                         formatMemorySize(SmallestCacheLimitBytes) + ": " + std::string(text));
    }
    return std::min(*bytes, HeldMebibytes << 20);
}

long parseTermLimit(std::string_view text) {
    const std::string message = "--limite-termos precisa de um número inteiro positivo";
    long value = 0;
    if (text.empty()) throw UsageError(message);
    for (const char c : text) {
        if (c < '0' || c > '9' || value > 1'000'000'000'000L) {
            throw UsageError(message + ": " + std::string(text));
        }
        value = value * 10 + (c - '0');
    }
    if (value < 1) throw UsageError(message + ": " + std::string(text));
    return value;
}

// Read as the options window reads Edisp, so that a mistyped value never runs with
// another dispersion.
double parseDispersionOption(std::string_view text) {
    const std::optional<double> value = parseDispersion(text);
    if (!value) {
        const std::string message =
            "a opção --dispersao pede um número finito diferente de zero (. ou , decimal): ";
        throw UsageError(message + std::string(text));
    }
    return *value;
}

// Read as the boxes of the time window read them: "." or "," and the netlist's suffixes.
double parseSeconds(std::string_view option, std::string_view text) {
    const std::optional<double> value = parseBoxNumber(text);
    if (!value || *value < 0) {
        throw UsageError("a opção " + std::string(option) + " pede um tempo em segundos: " +
                         std::string(text));
    }
    return *value;
}

int parsePoints(std::string_view text) {
    int value = 0;
    bool valid = !text.empty() && text.size() <= 7;
    for (const char c : text) {
        valid = valid && c >= '0' && c <= '9';
        if (valid) value = value * 10 + (c - '0');
    }
    if (!valid || value < 2 || value > 1000000) {
        throw UsageError("a opção --pontos pede um número de 2 a 1000000: " + std::string(text));
    }
    return value;
}

int parseExtent(std::string_view option, std::string_view text) {
    int value = 0;
    bool valid = !text.empty() && text.size() <= 5;
    for (const char c : text) {
        valid = valid && c >= '0' && c <= '9';
        if (valid) value = value * 10 + (c - '0');
    }
    if (!valid || value < 1 || value > MaxImageExtent) {
        throw UsageError("a opção " + std::string(option) + " pede um número de 1 a " +
                         std::to_string(MaxImageExtent) + ": " + std::string(text));
    }
    return value;
}

bool takeDocumentOption(Arguments& args, DocumentSelection& document) {
    if (args.current() == "--json") {
        document.path = args.value();
        if (document.path.empty()) throw UsageError("a opção --json precisa de um arquivo");
        return true;
    }
    if (args.current() == "--variaveis") {
        document.variables = splitList(args.value());
        if (document.variables.empty()) throw UsageError("a opção --variaveis precisa de nomes");
        return true;
    }
    return false;
}

void requireListOrDocument(const Arguments& args, const DocumentSelection& document) {
    if (!document.variables.empty() && document.path.empty()) {
        throw UsageError("a opção --variaveis pede --json");
    }
    if (document.path.empty()) args.requirePositional();
}

double parseFrequencyOption(std::string_view option, std::string_view text) {
    const std::optional<double> value = parseFrequency(text);
    if (!value || *value < 0.0) {
        throw UsageError("a opção " + std::string(option) +
                         " pede uma frequência (número com . ou , e sufixo opcional, como 1k "
                         "ou 2.5MEG): " +
                         std::string(text));
    }
    return *value;
}

// Read as the boxes read numbers: "." or ",".
double parseCelsiusOption(std::string_view text) {
    std::string number(text);
    std::replace(number.begin(), number.end(), ',', '.');
    const std::optional<double> value = parseValue(number);
    if (!value) {
        throw UsageError("a opção --temperatura pede um número de graus Celsius: " +
                         std::string(text));
    }
    if (*value <= -noise::ZeroCelsiusInKelvin) {
        throw UsageError("a temperatura deve ficar acima do zero absoluto (-273.15 °C): " +
                         std::string(text));
    }
    return *value;
}

std::pair<double, double> parseBandOption(Arguments& args) {
    const double low = parseFrequencyOption("--faixa", args.value());
    const double high = parseFrequencyOption("--faixa", args.value());
    if (!(low < high)) throw UsageError("a faixa deve ir de uma frequência a outra maior");
    return {low, high};
}

}  // namespace corvane::cli
