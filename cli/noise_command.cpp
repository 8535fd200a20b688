#include "noise_command.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "analysis_log.h"
#include "c_locale.h"
#include "command_arguments.h"
#include "command_line.h"
#include "command_outputs.h"
#include "console_host.h"
#include "fitted_ranges.h"
#include "image_builds.h"
#include "mna.h"
#include "netlist_reader.h"
#include "noise_analysis.h"
#include "noise_curves.h"
#include "output_target.h"
#include "plot_console.h"
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
    "  --tabela ARQUIVO      grava em CSV as densidades de 200 frequências\n"
    "  --imagem ARQUIVO      desenha em PNG ou SVG a densidade na saída e as três maiores\n"
    "                        partes, de uma década abaixo do polo mais baixo a uma acima\n"
    "                        do mais alto\n";

namespace {

struct NoiseCommand {
    noise::NoiseOptions options;
    std::string netlist;
    std::string table;
    std::string image;
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
        } else if (arg == "--imagem") {
            command.image = args.value();
            checkImagePath(command.image);
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

// The plot of the noise: the total and the largest contributors as density curves, from a
// decade below the lowest pole to a decade above the highest, the level axis fitted to them.
constexpr std::size_t ImageContributors = 3;

// Curve 1 the total, then the largest contributors; returns the number of curves.
int noiseImageCurves(const noise::NoiseReport& report, PlotCurves& curves) {
    curves[1] = noiseDensityCurve(report.functions, report.outputName, report.unit, std::nullopt);
    int count = 1;
    for (const noise::Contribution& c : report.contributions) {
        if (static_cast<std::size_t>(count) > ImageContributors) break;
        // A source that never reaches the output has nothing to draw.
        const Polynomial& transfer = report.functions.transfers[c.source];
        if (transfer.trimmedDegree() == 0 && transfer.coef[0] == 0.0) continue;
        ++count;
        curves[static_cast<std::size_t>(count)] =
            noiseDensityCurve(report.functions, report.outputName, report.unit, c.source);
    }
    return count;
}

// In Hz, around the circuit's poles; the level fitted as "Ajustar" fits it.
bool saveNoiseImage(const noise::NoiseReport& report, const std::string& path, std::FILE* err) {
    PlotCurves curves{};
    const int count = noiseImageCurves(report, curves);
    const noise::PoleSpan span = noise::poleSpan(report.functions);
    // The legend names a density by what it is, not by a list line.
    return saveFrequencyImage(
        frequencyImageRanges(curves, count, span.lowest / 10.0, span.highest * 10.0), curves,
        count, {}, gainFamilyOptions(), path, err);
}

// No output may be the netlist, nor both outputs one file.
bool outputsSpareNetlist(const NoiseCommand& command, std::FILE* err) {
    return cli::outputsSpareNetlist(command.netlist,
                                    {{command.table, "a tabela", "--tabela"},
                                     {command.image, "a imagem", "--imagem"}},
                                    err);
}

int runNoise(const NoiseCommand& command, std::FILE* out, std::FILE* err) {
    if (!outputsSpareNetlist(command, err)) return ExitFailure;
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
        !saveOutput(command.table, tableText(*report, command.options), "a tabela", err))
        return ExitFailure;
    if (!command.image.empty()) {
        if (!saveNoiseImage(*report, command.image, err)) return ExitFailure;
    }
    return ExitSuccess;
}

}  // namespace

// The image is drawn by the companion program where there is one, with the same command line.
int runNoiseCommand(const std::vector<std::string_view>& args, std::FILE* out, std::FILE* err) {
    const NoiseCommand command = parseNoise(args);
    return runWhereImagesAreDrawn("ruido", args, command.image, out, err,
                                  [&] { return runNoise(command, out, err); });
}

}  // namespace corvane::cli
