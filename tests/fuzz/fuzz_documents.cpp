// Fuzz target: the documents a run writes beside its result files and the plot list names
// by one line: a loop gain (".malha"), a noise density (".ruido", whole or one source's
// share), a run's JSON document ("doc.json#1") and a parameter step's ("doc.json#1@2").
// The first byte picks the kind, the options and the keys; the rest is the document,
// read by "Plotar" and then painted, and by what "Adicionar" asks of it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "plot_fuzz_support.h"
#include "results_json_reader.h"

namespace {

struct Kind {
    const char* file;
    const char* lineSuffix;
};

constexpr Kind Kinds[] = {
    {"f.malha", ""},
    {"f.ruido", ""},
    {"f.ruido", "#R1"},
    {"f.json", "#1"},
    {"f.json", "#out"},
    {"f.json", "#1@1"},
    {"f.json", "#2@3"},
    {"f.json", ""},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    using corvane::fuzz::workFile;
    const std::uint8_t choice = data[0];
    const Kind& kind = Kinds[choice & 7];
    const std::string path = workFile(kind.file);
    corvane::fuzz::writeFile(path, std::string(reinterpret_cast<const char*>(data + 1), size - 1));

    if (std::string(kind.file) == "f.json") {
        std::string error;
        (void)corvane::documentVariables(path, error);
        (void)corvane::documentSources(path, error);
        (void)corvane::stepContents(path, error);
        (void)corvane::isStepDocument(path);
    }
    corvane::cli::PlotOptions options;
    options.hz = choice & 8;
    options.logarithmic = !(choice & 16);
    corvane::fuzz::plotAndPaint(options, path + kind.lineSuffix, static_cast<std::uint8_t>(choice >> 5));
    return 0;
}
