#include "analyze_command.h"

#include <memory>
#include <string>

#include "analysis.h"
#include "analysis_log.h"
#include "command_arguments.h"
#include "command_line.h"
#include "console_host.h"
#include "floating_point.h"
#include "option_readers.h"
#include "output_target.h"
#include "result_file_names.h"
#include "results_json.h"
#include "standard_steps.h"
#include "symbol_list.h"

namespace corvane::cli {

const char AnalyzeUsage[] =
    "analisa o circuito do NETLIST e grava os resultados ao lado dele.\n"
    "\n"
    "  --listar-estampas     lista o sistema após a estampa de cada elemento\n"
    "  --nao-normalizar      não normaliza os polinômios\n"
    "  --listar-detalhes     lista as multiplicações e cada arquivo salvo\n"
    "  --sem-limites         aceita até 1000 variáveis e 10000 elementos; acima de 25\n"
    "                        variáveis, as funções são calculadas pelo motor exato\n"
    "  --dispersao TEXTO     dispersão de coeficientes (padrão 1e9)\n"
    "  --variaveis LISTA     variáveis a listar: números ou nomes separados por\n"
    "                        vírgulas, ou todas\n"
    "  --expansao-simples    calcula os determinantes pela expansão simples, sem\n"
    "                        memorizar menores (referência; lenta em circuitos grandes)\n"
    "  --memoria-cache MIB   memória para os menores memorizados e a análise simbólica\n"
    "                        (padrão 2048, mínimo 64); quando o log avisa que ela se\n"
    "                        esgotou, dê mais (por exemplo 4096) para que a análise não\n"
    "                        demore muito\n"
    "  --polos-zeros         lista os polos e zeros de cada polinômio listado\n"
    "  --medidas             lista os ganhos, a banda de -3 dB e o atraso de grupo de\n"
    "                        cada variável listada\n"
    "  --json ARQUIVO        grava também todos os resultados em ARQUIVO, em JSON\n"
    "  --simbolica           lista também as funções nos nomes dos elementos\n"
    "  --simbolos LISTA      elementos que ficam simbólicos, separados por vírgulas\n"
    "                        (padrão: todos); os demais entram com seus valores\n"
    "  --limite-termos N     termos por coeficiente na análise simbólica (padrão 100000)\n"
    "  --ruido VARIÁVEL      lista também o ruído térmico dos resistores nessa saída, como\n"
    "                        ruido, o põe no JSON e grava BASE.ruido, que o plotar desenha;\n"
    "                        com --entrada, --temperatura, --em e --faixa, como em ruido\n"
    "  --malha FONTE         lista também o ganho de malha da fonte controlada ou do\n"
    "                        amplificador operacional com ganho finito FONTE, como malha,\n"
    "                        o põe no JSON e grava BASE.malha, que o plotar desenha\n"
    "  --sensibilidades      lista também as sensibilidades exatas de ω0, Q e dos ganhos\n"
    "                        (em s = 0 e em 1 kHz) a cada elemento, como sensibilidade,\n"
    "                        e as põe no JSON\n";

namespace {

struct AnalyzeCommand {
    ConsoleOptions options;
    EngineOptions engine;
    std::string netlist;
    std::string json;
};

AnalyzeCommand parseAnalyze(const std::vector<std::string_view>& list) {
    AnalyzeCommand command;
    // Options of the symbolic analysis or of the noise given without it would be silently
    // ignored.
    std::string_view symbolicOnly;
    std::string_view noiseOnly;
    NoiseSettings& noise = command.options.analysis.noise;
    Arguments args(list, "só um netlist por vez: ", "falta o NETLIST");
    while (args.next()) {
        const std::string_view arg = args.current();
        if (arg == "--listar-estampas") {
            command.options.analysis.listStamps = true;
        } else if (arg == "--nao-normalizar") {
            command.options.analysis.normalize = false;
        } else if (arg == "--listar-detalhes") {
            command.options.analysis.listDetails = true;
        } else if (arg == "--sem-limites") {
            command.options.analysis.sizeLimitsLifted = true;
        } else if (arg == "--dispersao") {
            command.options.dispersion = parseDispersionOption(args.value());
        } else if (arg == "--variaveis") {
            command.options.selection = splitList(args.value());
        } else if (arg == "--expansao-simples") {
            command.engine.method = ExpansionMethod::Plain;
        } else if (arg == "--memoria-cache") {
            command.engine.cacheLimitBytes = parseMebibytes(args.value());
        } else if (arg == "--polos-zeros") {
            command.options.analysis.listPolesAndZeros = true;
        } else if (arg == "--medidas") {
            command.options.analysis.listMeasures = true;
        } else if (arg == "--json") {
            command.json = args.value();
        } else if (arg == "--simbolica") {
            command.options.analysis.symbolic.enabled = true;
        } else if (arg == "--simbolos") {
            command.options.analysis.symbolic.symbols =
                symbolic::splitSymbolList(std::string(args.value()));
            symbolicOnly = "--simbolos";
        } else if (arg == "--limite-termos") {
            command.options.analysis.symbolic.termLimit = parseTermLimit(args.value());
            symbolicOnly = "--limite-termos";
        } else if (arg == "--ruido") {
            noise.enabled = true;
            noise.output = args.value();
        } else if (arg == "--malha") {
            command.options.analysis.loop.enabled = true;
            command.options.analysis.loop.source = args.value();
        } else if (arg == "--sensibilidades") {
            command.options.analysis.sensitivity.enabled = true;
        } else if (arg == "--entrada") {
            noise.input = args.value();
            noiseOnly = "--entrada";
        } else if (arg == "--temperatura") {
            noise.celsius = parseCelsiusOption(args.value());
            noiseOnly = "--temperatura";
        } else if (arg == "--em") {
            noise.hertz = parseFrequencyOption(arg, args.value());
            noiseOnly = "--em";
        } else if (arg == "--faixa") {
            noise.band = parseBandOption(args);
            noiseOnly = "--faixa";
        } else {
            args.takePositional(command.netlist);
        }
    }
    args.requirePositional();
    if (!symbolicOnly.empty() && !command.options.analysis.symbolic.enabled) {
        throw UsageError("a opção " + std::string(symbolicOnly) + " precisa de --simbolica");
    }
    if (!noiseOnly.empty() && !noise.enabled) {
        throw UsageError("a opção " + std::string(noiseOnly) + " precisa de --ruido");
    }
    return command;
}

// The JSON document of the run, made when the result files are about to be written, so
// that it goes in place with them or not at all.
std::string resultsJsonText(const AnalyzeCommand& command, const Analysis& analysis,
                            const RunWarnings& warnings) {
    ResultsJsonOptions options;
    options.normalize = command.options.analysis.normalize;
    options.dispersion = analysis.dispersion();
    options.polesAndZeros = command.options.analysis.listPolesAndZeros;
    options.measures = command.options.analysis.listMeasures;
    nlohmann::ordered_json document =
        resultsDocument(analysis.runState(), analysis.networkFunctions(), options, warnings);
    for (const auto& step : analysis.listingSteps()) step->addToDocument(document);
    return jsonText(document);
}

int runAnalyze(const AnalyzeCommand& command, std::FILE* out, std::FILE* err) {
    AnalysisLog log(linesTo(out));
    ConsoleHost host(command.options, err);
    Analysis analysis(host, log);
    analysis.setEngineOptions(command.engine);
    host.attach(analysis);
    addStandardListingSteps(analysis);
    // Both in one set under one name: the set would keep either.
    const std::string noiseFile = ResultFileNames(command.netlist).noiseDensities();
    if (!command.json.empty() && command.options.analysis.noise.enabled &&
        sameFile(command.json, noiseFile)) {
        log.print("O arquivo de ruído %s seria substituído pelo JSON %s", noiseFile.c_str(),
                  command.json.c_str());
        return ExitFailure;
    }
    const std::string loopFile = ResultFileNames(command.netlist).loopGain();
    if (!command.json.empty() && command.options.analysis.loop.enabled &&
        sameFile(command.json, loopFile)) {
        log.print("O arquivo de malha %s seria substituído pelo JSON %s", loopFile.c_str(),
                  command.json.c_str());
        return ExitFailure;
    }
    if (!command.json.empty()) {
        auto document = std::make_unique<CompanionFilesStep>();
        document->add({command.json, "JSON",
                       [&command, &analysis](const RunWarnings& warnings) {
                           return resultsJsonText(command, analysis, warnings);
                       }});
        analysis.addListingStep(std::move(document));
    }
    const InterruptCatcher interrupts;
    try {
        const RunOutcome outcome = analysis.runAnalysis(command.netlist);
        std::fflush(out);
        if (outcome == RunOutcome::Cancelled) return ExitInterrupted;
        if (outcome != RunOutcome::Succeeded && outcome != RunOutcome::SucceededWithWarnings) {
            return ExitFailure;
        }
        return outcome == RunOutcome::Succeeded ? ExitSuccess : ExitWarnings;
    } catch (const FloatingPointFault& fault) {
        std::fflush(out);
        std::fprintf(err, "%s\n", fault.what());
        return ExitFloatingPointFault;
    }
}

}  // namespace

int runAnalyzeCommand(const std::vector<std::string_view>& args, std::FILE* out, std::FILE* err) {
    return runAnalyze(parseAnalyze(args), out, err);
}

}  // namespace corvane::cli
