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
