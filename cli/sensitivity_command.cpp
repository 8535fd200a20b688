#include "sensitivity_command.h"

#include <cmath>
#include <numbers>
#include <optional>
#include <string>

#include "c_locale.h"
#include "command_line.h"
#include "results_json.h"
#include "sensitivity.h"
#include "sensitivity_listing.h"
#include "variation_common.h"

namespace corvane::cli {

const char SensitivityUsage[] =
    "calcula exatamente as sensibilidades normalizadas S = (x/y)·∂y/∂x de ω0 e Q de cada\n"
    "par de polos, de cada polo real e dos ganhos em s = 0 e numa frequência, ao valor x\n"
    "de cada elemento do NETLIST, da maior para a menor.\n"
    "\n"
    "  --variavel V[,V...]   as variáveis dos ganhos, pelo nome ou pelo número\n"
    "                        (padrão: todas)\n"
    "  --em F                a frequência do ganho, em Hz (padrão 1k)\n"
    "  --tabela ARQUIVO      grava as sensibilidades em CSV\n"
    "  --json ARQUIVO        grava as figuras e as sensibilidades em JSON\n";

namespace {

VariationCommon parseSensitivity(const std::vector<std::string_view>& list) {
    VariationCommon common;
    Arguments args(list, "só um netlist por vez: ", "falta o NETLIST");
    while (args.next()) {
        if (!takeVariationOption(args, common, false)) args.takePositional(common.netlist);
    }
    args.requirePositional();
    return common;
}

const char* elementName(const RunState& run, int element) {
    return run.ElementTable[static_cast<std::size_t>(element)].name.c_str();
}

std::string tableText(const RunState& run, const variation::SensitivityReport& report) {
    std::string text = "figura,elemento,sensibilidade\n";
    char number[32];
    for (const variation::Sensitivity& row : report.rows) {
        std::snprintf(number, sizeof number, "%.9g", row.value);
        text += figureColumn(run, row.figure) + "," + elementName(run, row.element) + "," + number +
                "\n";
    }
    return text;
}

nlohmann::ordered_json sensitivityDocument(const RunState& run,
                                           const variation::SensitivityReport& report,
                                           const VariationCommon& common) {
    nlohmann::ordered_json document = {{"formato", "corvane-sensibilidades"},
                                       {"versao", 1},
                                       {"netlist", common.netlist}};
    document.update(variation::sensitivityMembers(run, report, common.hertz));
    return document;
}

int runSensitivity(const VariationCommon& common, std::FILE* out, std::FILE* err) {
    if (!outputsSpareNetlist(common, err)) return ExitFailure;
    AnalysisLog log(linesTo(out));
    auto run = std::make_unique<RunState>();
    if (!readVariationCircuit(common.netlist, *run, log)) return ExitFailure;
    const std::optional<std::vector<int>> variables =
        resolveVariables(*run, common.variables, true, err);
    if (!variables) return ExitUsage;
    VariationProgress progress(err);
    const double omega = 2.0 * std::numbers::pi * common.hertz;
    const std::optional<variation::SensitivityReport> report = variation::computeSensitivities(
        *run, *variables, omega, progress.stop(), [&progress](double f) { progress(f); });
    progress.end();
    if (!report) {
        if (progress.stopRequested()) {
            log.print("Análise cancelada.");
            return ExitInterrupted;
        }
        log.print("O circuito não pôde ser analisado com os valores do netlist");
        return ExitFailure;
    }
    ScopedCLocale locale;
    variation::listSensitivities(*run, *report, common.hertz, log);
    if (!saveTextOutputs(
            common.outputs, [&] { return tableText(*run, *report); },
            [&] { return jsonText(sensitivityDocument(*run, *report, common)); }, err))
        return ExitFailure;
    return ExitSuccess;
}

}  // namespace

int runSensitivityCommand(const std::vector<std::string_view>& args, std::FILE* out,
                          std::FILE* err) {
    return runSensitivity(parseSensitivity(args), out, err);
}

}  // namespace corvane::cli
