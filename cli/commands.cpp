#include "commands.h"

#include <algorithm>
#include <iterator>

#include "analyze_command.h"
#include "loop_command.h"
#include "noise_command.h"
#include "plot_command.h"
#include "pole_zero_command.h"
#include "sensitivity_command.h"
#include "step_command.h"
#include "time_command.h"
#include "tolerance_command.h"

namespace corvane::cli {

namespace {

const Command CommandTable[] = {
    {"analisar", "[opções] NETLIST", AnalyzeUsage, runAnalyzeCommand},
    {"plotar", "[opções] LISTA", PlotUsage, runPlotCommand},
    {"tempo", "[opções] LISTA", TimeUsage, runTimeCommand},
    {"polos", "[opções] LISTA", PoleZeroUsage, runPoleZeroCommand},
    {"ruido", "--saida VARIÁVEL [opções] NETLIST", NoiseUsage, runNoiseCommand},
    {"malha", "--fonte NOME [opções] NETLIST", LoopUsage, runLoopCommand},
    {"varrer", "--elemento NOME (--valores LISTA | --de V --ate V) [opções] NETLIST", StepUsage,
     runStepCommand},
    {"sensibilidade", "[opções] NETLIST", SensitivityUsage, runSensitivityCommand},
    {"tolerancia", "--tol LISTA [opções] NETLIST", ToleranceUsage, runToleranceCommand},
};

constexpr const char* CommonUsage =
    "  -h, --help            mostra esta ajuda\n"
    "  --version             mostra a versão\n"
    "\n"
    "Saída: 0 sucesso; 1 a análise ou o plotar parou numa falha do log, uma curva do\n"
    "plotar não tem ponto algum, uma curva do tempo não pôde ser calculada, conferida\n"
    "ou levada até o fim, ou um arquivo não pôde ser lido ou gravado; 2 erro de uso;\n"
    "3 erro de ponto flutuante; 4 a análise gravou os resultados mas terminou com\n"
    "avisos sobre eles (veja as linhas \"Aviso\" do log);\n"
    "130 análise interrompida por Ctrl-C (nenhum arquivo gravado).\n";

}  // namespace

std::span<const Command> commands() {
    return CommandTable;
}

const Command* findCommand(std::string_view name) {
    const auto found = std::find_if(std::begin(CommandTable), std::end(CommandTable),
                                    [name](const Command& c) { return c.name == name; });
    return found == std::end(CommandTable) ? nullptr : &*found;
}

std::string usageText() {
    std::string text = "Uso: ";
    for (const Command& c : CommandTable) {
        if (&c != &CommandTable[0]) text += "     ";
        text += std::string("corvane-cli ") + c.name + " " + c.synopsis + "\n";
    }
    for (const Command& c : CommandTable) text += std::string("\n") + c.name + ": " + c.usage;
    return text + "\n" + CommonUsage;
}

}  // namespace corvane::cli
