#include "bounded_file.h"

#include <sys/stat.h>

#include "input_file.h"

namespace corvane {

namespace {

// "o documento" at the head of a sentence.
std::string capitalised(std::string_view what) {
    std::string text(what);
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

}  // namespace

BoundedText readBoundedFile(const std::string& path, std::size_t maxBytes, std::string_view what) {
    const auto refusal = [&](std::string error) { return BoundedText{std::nullopt, std::move(error)}; };
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) return refusal("Arquivo " + path + " não encontrado.");
    if (!S_ISREG(status.st_mode))
        return refusal(capitalised(what) + " " + path + " não é um arquivo comum.");
    const InputFile file = openForReading(path.c_str());
    if (!file) return refusal("Arquivo " + path + " não encontrado.");
    std::string text;
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        text.append(buffer, got);
        if (text.size() > maxBytes) {
            return refusal(capitalised(what) + " " + path + " passa de " +
                           std::to_string(maxBytes >> 20) + " MiB.");
        }
    }
    if (std::ferror(file.get())) return refusal("Erro ao ler " + std::string(what) + " " + path);
    return {std::move(text), {}};
}

}  // namespace corvane
