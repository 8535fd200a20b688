#include "noise_command.h"

#include <cmath>
#include <optional>
#include <string>

#include "analysis_log.h"
#include "c_locale.h"
#include "command_arguments.h"
#include "command_line.h"
#include "console_host.h"
#include "mna.h"
#include "netlist_reader.h"
#include "noise_analysis.h"
#include "output_target.h"
#include "replace_file.h"
#include "option_readers.h"

namespace corvane::cli {

const char NoiseUsage[] =
    "calcula exatamente o ruído térmico dos resistores do NETLIST (4kT/R cada um) numa\n"
    "saída: a densidade numa frequência, a parte de cada resistor, o valor rms numa faixa\n"
    "e a densidade referida à entrada.\n"
    "\n"
    "  --saida VARIÁVEL      a variável de saída, pelo nome ou pelo número (obrigatória)\n"
    "  --entrada FONTE       a fonte independente a que o ruído é referido\n"
    "  --temperatura C       a temperatura em °C (padrão 27)\n"
    "  --em F                a frequência das densidades, em Hz (padrão 1k)\n"
    "  --faixa F1 F2         a faixa do ruído integrado, em Hz (padrão: todas)\n"
    "  --tabela ARQUIVO      grava em CSV as densidades de 200 frequências\n";

namespace {

struct NoiseCommand {
    noise::NoiseOptions options;
    std::string netlist;
    std::string table;
};

NoiseCommand parseNoise(const std::vector<std::string_view>& list) {
    NoiseCommand command;
    Arguments args(list, "só um netlist por vez: ", "falta o NETLIST");
    bool haveOutput = false;
    while (args.next()) {
        const std::string_view arg = args.current();
        if (arg == "--saida") {
            command.options.output = args.value();
            haveOutput = true;
        } else if (arg == "--entrada") {
            command.options.input = args.value();
        } else if (arg == "--temperatura") {
            command.options.celsius = parseCelsiusOption(args.value());
        } else if (arg == "--em") {
            command.options.hertz = parseFrequencyOption(arg, args.value());
        } else if (arg == "--faixa") {
            command.options.band = parseBandOption(args);
        } else if (arg == "--tabela") {
            command.table = args.value();
        } else {
            args.takePositional(command.netlist);
        }
    }
    args.requirePositional();
    if (!haveOutput) throw UsageError("falta a opção --saida");
    return command;
}

// Where the table looks: the user's band, or three decades around the circuit's poles.
std::pair<double, double> tableRange(const noise::NoiseReport& report,
                                     const noise::NoiseOptions& options) {
    if (options.band && options.band->first > 0.0) return *options.band;
    const noise::PoleSpan span = noise::poleSpan(report.functions);
    const double high = options.band ? options.band->second : 1e3 * span.highest;
    return {std::min(1e-3 * span.lowest, high / 1e6), high};
}

std::string tableText(const noise::NoiseReport& report, const noise::NoiseOptions& options) {
    constexpr int Points = 200;
    const noise::NoiseFunctions& functions = report.functions;
    std::string text = "frequencia_hz,saida";
    if (report.inputDensity) text += ",entrada";
    for (const noise::NoiseSource& source : functions.sources) text += "," + source.element;
    text += "\n";
    const auto [low, high] = tableRange(report, options);
    char number[32];
    const auto append = [&](double value) {
        std::snprintf(number, sizeof number, ",%.9g", value);
        text += number;
    };
    for (int i = 0; i < Points; ++i) {
        const double hertz = low * std::pow(high / low, i / double(Points - 1));
        std::snprintf(number, sizeof number, "%.9g", hertz);
        text += number;
        append(std::sqrt(noise::outputDensity(functions, hertz)));
        if (report.inputDensity) append(std::sqrt(*noise::inputReferredDensity(functions, hertz)));
        for (std::size_t k = 0; k < functions.sources.size(); ++k)
            append(std::sqrt(noise::sourceOutputDensity(functions, k, hertz)));
        text += "\n";
    }
    return text;
}

int runNoise(const NoiseCommand& command, std::FILE* out, std::FILE* err) {
    if (!command.table.empty() && sameFile(command.table, command.netlist)) {
        std::fprintf(err, "corvane-cli: a tabela %s seria o próprio netlist\n", command.table.c_str());
        return ExitFailure;
    }
    ScopedCLocale locale;
    AnalysisLog log(linesTo(out));
    RunState run;
    run.VariableNames[0] = VariableName{'0'};
    if (!readNetlist(run, log, command.netlist)) return ExitFailure;
    SystemMatrix system;
    assembleSystem(run, system, log, false);
    const InterruptCatcher interrupts;
    ConsoleHost host(ConsoleOptions{}, err);
    const std::optional<noise::NoiseReport> report =
        noise::analyseNoise(run, system, command.options, log, host, EngineOptions{});
    if (!report) {
        if (!host.cancelRequested()) return ExitFailure;
        log.print("Análise cancelada.");
        return ExitInterrupted;
    }
    noise::listNoiseReport(*report, command.options, log);
    if (!command.table.empty() &&
        saveWholeFile(command.table, tableText(*report, command.options)) != WholeFileStatus::Saved) {
        std::fprintf(err, "corvane-cli: não foi possível gravar a tabela %s\n", command.table.c_str());
        return ExitFailure;
    }
    return ExitSuccess;
}

}  // namespace

int runNoiseCommand(const std::vector<std::string_view>& args, std::FILE* out, std::FILE* err) {
    return runNoise(parseNoise(args), out, err);
}

}  // namespace corvane::cli
