#include "loop_command.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <optional>
#include <string>

#include "analysis_log.h"
#include "c_locale.h"
#include "command_arguments.h"
#include "command_line.h"
#include "command_outputs.h"
#include "console_host.h"
#include "fitted_ranges.h"
#include "floating_point.h"
#include "image_builds.h"
#include "loop_file.h"
#include "loop_step.h"
#include "netlist_reader.h"
#include "noise_analysis.h"
#include "output_target.h"
#include "plot_console.h"
#include "polynomial_roots.h"
#include "replace_file.h"
#include "results_json.h"

namespace corvane::cli {

const char LoopUsage[] =
    "calcula exatamente o ganho de malha T(s) da fonte controlada (E, F, G, H) ou do\n"
    "amplificador operacional com ganho finito FONTE do NETLIST, o ganho assintótico A∞ e a\n"
    "transmissão direta ρ de cada variável (H = A∞·T/(1 + T) + ρ/(1 + T)), as margens de\n"
    "fase e de ganho e a estabilidade em malha fechada.\n"
    "\n"
    "  --fonte NOME          a fonte (obrigatória)\n"
    "  --saida VARIÁVEL      lista A∞ e ρ só dessa variável, pelo nome ou pelo número\n"
    "  --polos-zeros         lista também os polos e zeros\n"
    "  --tabela ARQUIVO      grava em CSV |T| em dB e a fase de T em 200 frequências\n"
    "  --imagem ARQUIVO      desenha em PNG ou SVG |T| e a fase de T\n"
    "  --json ARQUIVO        grava o ganho de malha e as margens em JSON\n";

namespace {

struct LoopCommand {
    std::string source;
    std::string output;
    bool polesAndZeros = false;
    std::string netlist;
    std::string table;
    std::string image;
    std::string json;
};

LoopCommand parseLoop(const std::vector<std::string_view>& list) {
    LoopCommand command;
    Arguments args(list, "só um netlist por vez: ", "falta o NETLIST");
    bool haveSource = false;
    while (args.next()) {
        const std::string_view arg = args.current();
        if (arg == "--fonte") {
            command.source = args.value();
            haveSource = true;
        } else if (arg == "--saida") {
            command.output = args.value();
        } else if (arg == "--polos-zeros") {
            command.polesAndZeros = true;
        } else if (arg == "--tabela") {
            command.table = args.value();
        } else if (arg == "--imagem") {
            command.image = args.value();
            checkImagePath(command.image);
        } else if (arg == "--json") {
            command.json = args.value();
        } else {
            args.takePositional(command.netlist);
        }
    }
    args.requirePositional();
    if (!haveSource) throw UsageError("falta a opção --fonte");
    return command;
}

// From a decade below the lowest non-zero pole, zero or crossover of T to a decade above
// the highest, in rad/s.
std::pair<double, double> frequencyRange(const loop::LoopReport& report) {
    double lowest = std::numeric_limits<double>::infinity();
    double highest = 0.0;
    const auto take = [&](double omega) {
        if (!(omega > 0.0) || !std::isfinite(omega)) return;
        lowest = std::min(lowest, omega);
        highest = std::max(highest, omega);
    };
    for (const Polynomial* p :
         {&report.gain.loopGain.numerator, &report.gain.loopGain.denominator}) {
        const PolynomialRoots roots = findRoots(*p);
        for (const PolynomialRoot& root : roots.roots)
            take(std::abs(root.value));
    }
    for (const loop::GainCrossover& c : report.margins.gainCrossovers)
        take(c.omega);
    for (const loop::PhaseCrossover& c : report.margins.phaseCrossovers)
        take(c.omega);
    if (highest == 0.0) return {0.1, 10.0};
    return {lowest / 10.0, highest * 10.0};
}

std::complex<double> loopGainAt(const loop::Ratio& t, double omega) {
    const std::complex<double> s(0.0, omega);
    std::complex<double> n = 0.0;
    std::complex<double> d = 0.0;
    const auto nc = t.numerator.coefficients();
    const auto dc = t.denominator.coefficients();
    for (auto it = nc.rbegin(); it != nc.rend(); ++it)
        n = n * s + *it;
    for (auto it = dc.rbegin(); it != dc.rend(); ++it)
        d = d * s + *it;
    return t.numerator.constant * n / (t.denominator.constant * d);
}

// Nothing non-finite is written: a point where T cannot be evaluated (a pole on the axis)
// leaves its columns empty.
std::string tableText(const loop::LoopReport& report) {
    constexpr int Points = 200;
    const auto [low, high] = frequencyRange(report);
    std::string text = "frequencia_hz,ganho_db,fase_graus\n";
    char line[128];
    for (int i = 0; i < Points; ++i) {
        const double omega = low * std::pow(high / low, i / double(Points - 1));
        const std::complex<double> t = loopGainAt(report.gain.loopGain, omega);
        const double db = 20.0 * std::log10(std::abs(t));
        const double degrees = std::arg(t) * 180.0 / std::numbers::pi;
        if (std::isfinite(db) && std::isfinite(degrees)) {
            std::snprintf(line, sizeof line, "%.17g,%.17g,%.17g\n",
                          omega / (2.0 * std::numbers::pi), db, degrees);
        } else {
            std::snprintf(line, sizeof line, "%.17g,,\n", omega / (2.0 * std::numbers::pi));
        }
        text += line;
    }
    return text;
}

bool saveLoopImage(const loop::LoopReport& report, const std::string& path, std::FILE* err) {
    PlotCurves curves{};
    curves[1] = PlotCurve(report.gain.loopGain.numerator, report.gain.loopGain.denominator);
    const auto [low, high] = frequencyRange(report);
    PlotParameters parameters = frequencyImageRanges(
        curves, 1, low / (2.0 * std::numbers::pi), high / (2.0 * std::numbers::pi));
    // The crossover of 0 dB is what one looks for on a loop gain: it stays in view.
    parameters.gmin = std::min(parameters.gmin, -20.0);
    parameters.gmax = std::max(parameters.gmax, 20.0);
    PlotOptions options;
    options.hz = true;
    for (std::size_t q = 0; q < PlotQuantityCount; ++q)
        options.shown[q] = PlotQuantities[q].quantity != PlotQuantity::Delay;
    std::array<std::string, MaxCurves + 1> lines{};
    lines[1] = "T de " + report.gain.source;
    return saveFrequencyImage(parameters, curves, 1, lines, options, path, err);
}

// No output may be the netlist, nor two outputs one file.
bool outputsSpareNetlist(const LoopCommand& command, std::FILE* err) {
    const std::pair<const char*, const std::string*> outputs[] = {
        {"--tabela", &command.table}, {"--imagem", &command.image}, {"--json", &command.json}};
    for (std::size_t i = 0; i < std::size(outputs); ++i) {
        const std::string& path = *outputs[i].second;
        if (path.empty()) continue;
        if (sameFile(path, command.netlist)) {
            std::fprintf(err, "corvane-cli: %s %s seria gravada sobre o netlist\n",
                         outputs[i].first, path.c_str());
            return false;
        }
        for (std::size_t j = i + 1; j < std::size(outputs); ++j) {
            const std::string& other = *outputs[j].second;
            if (!other.empty() && sameFile(path, other)) {
                std::fprintf(err, "corvane-cli: %s e %s são o mesmo arquivo: %s\n",
                             outputs[i].first, outputs[j].first, path.c_str());
                return false;
            }
        }
    }
    return true;
}

std::optional<std::vector<int>> chosenVariables(const LoopCommand& command, const RunState& run,
                                                AnalysisLog& log) {
    std::vector<int> variables;
    if (command.output.empty()) {
        for (int k = 1; k <= run.variableCount; ++k)
            variables.push_back(k);
        return variables;
    }
    const int k = noise::findOutputVariable(run, command.output);
    if (k == 0) {
        log.print("Malha: a saída %s não é uma variável do circuito", command.output.c_str());
        return std::nullopt;
    }
    variables.push_back(k);
    return variables;
}

int runLoop(const LoopCommand& command, std::FILE* out, std::FILE* err) {
    if (!outputsSpareNetlist(command, err)) return ExitFailure;
    ScopedCLocale locale;
    AnalysisLog log(linesTo(out));
    RunState run;
    run.VariableNames[0] = VariableName{'0'};
    if (!readNetlist(run, log, command.netlist)) return ExitFailure;
    const std::optional<std::vector<int>> variables = chosenVariables(command, run, log);
    if (!variables) return ExitFailure;
    const InterruptCatcher interrupts;
    ConsoleHost host(ConsoleOptions{}, err);
    bool failed = false;
    bool cancelled = false;
    std::optional<loop::LoopReport> report;
    try {
        report =
            loop::analyseLoop(run, command.source, host, EngineOptions{}, log, failed, cancelled);
    } catch (const FloatingPointFault& fault) {
        log.print("%s", fault.what());
        return ExitFloatingPointFault;
    }
    if (cancelled) {
        log.print("Análise cancelada.");
        return ExitInterrupted;
    }
    if (failed) return ExitFailure;
    // A loop gain that is identically zero has nothing to tabulate or draw.
    if (!report) return ExitSuccess;
    loop::listLoopReport(*report, run, *variables, command.polesAndZeros, log);
    if (!command.table.empty() && !saveOutput(command.table, tableText(*report), "a tabela", err))
        return ExitFailure;
    if (!command.json.empty()) {
        const std::optional<std::string> text = loop::loopFileText(*report, run, *variables);
        if (!text) {
            log.print("Malha: o ganho de malha não é finito; o JSON %s não é gravado",
                      command.json.c_str());
            return ExitFailure;
        }
        if (!saveOutput(command.json, *text, "o JSON", err)) return ExitFailure;
    }
    if (!command.image.empty()) {
        if (!saveLoopImage(*report, command.image, err)) return ExitFailure;
    }
    return ExitSuccess;
}

}  // namespace

int runLoopCommand(const std::vector<std::string_view>& args, std::FILE* out, std::FILE* err) {
    const LoopCommand command = parseLoop(args);
    return runWhereImagesAreDrawn("malha", args, command.image, out, err,
                                  [&] { return runLoop(command, out, err); });
}

}  // namespace corvane::cli
