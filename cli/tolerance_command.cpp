#include "tolerance_command.h"

#include <cmath>
#include <complex>
#include <memory>
#include <numbers>
#include <optional>
#include <random>
#include <string>

#include "c_locale.h"
#include "command_line.h"
#include "image_builds.h"
#include "monte_carlo.h"
#include "results_json.h"
#include "sensitivity.h"
#include "spread_paint.h"
#include "tolerance_report.h"
#include "tolerances.h"
#include "variation_common.h"
#include "worst_case.h"

namespace corvane::cli {

const char ToleranceUsage[] =
    "dá a dispersão de ω0 e Q de cada par de polos, de cada polo real, da frequência de\n"
    "-3 dB e do ganho numa frequência quando os elementos do NETLIST têm tolerâncias: N\n"
    "circuitos de Monte Carlo analisados exatamente (média, desvio padrão e percentis 1,\n"
    "50 e 99) e o pior caso pelos sinais das sensibilidades, com os cantos analisados.\n"
    "\n"
    "  --tol LISTA           as tolerâncias por tipo ou por elemento, em %, como\n"
    "                        R=1%,C=5%,R2=0.5% (obrigatória; separe por ; para escrever a\n"
    "                        vírgula decimal)\n"
    "  --gauss               valores gaussianos com 3σ na tolerância (padrão: uniformes)\n"
    "  --n N                 quantos circuitos, de 1 a 100000 (padrão 1000)\n"
    "  --semente S           a semente do sorteio, de 0 a 18446744073709551615 (padrão:\n"
    "                        uma nova a cada vez, escrita no log)\n"
    "  --variavel V[,V...]   as variáveis dos ganhos, pelo nome ou pelo número\n"
    "                        (padrão: só os polos)\n"
    "  --em F                a frequência do ganho, em Hz (padrão 1k)\n"
    "  --tabela ARQUIVO      grava em CSV as figuras de cada circuito\n"
    "  --json ARQUIVO        grava as estatísticas, os histogramas, o pior caso e o\n"
    "                        envelope do ganho em JSON\n"
    "  --imagem ARQUIVO      desenha em PNG ou SVG os histogramas e o envelope do ganho\n"
    "                        da primeira variável\n";

namespace {


struct ToleranceCommand {
    VariationCommon common;
    std::vector<variation::ToleranceRule> rules;
    variation::Distribution distribution = variation::Distribution::Uniform;
    int count = variation::DefaultMonteCarloCount;
    std::optional<std::uint64_t> seed;
};

int parseCount(std::string_view text) {
    const std::optional<int> count = variation::readCircuitCount(text);
    if (!count) {
        throw UsageError("a opção --n pede um número de 1 a " +
                         std::to_string(variation::MaxMonteCarloCount) + ": " + std::string(text));
    }
    return *count;
}

std::uint64_t parseSeed(std::string_view text) {
    const std::optional<std::uint64_t> seed = variation::readSeed(text);
    if (!seed) {
        throw UsageError("a opção --semente pede um número inteiro de 0 a 18446744073709551615: " +
                         std::string(text));
    }
    return *seed;
}

ToleranceCommand parseTolerance(const std::vector<std::string_view>& list) {
    ToleranceCommand command;
    Arguments args(list, "só um netlist por vez: ", "falta o NETLIST");
    bool haveTolerances = false;
    while (args.next()) {
        const std::string_view arg = args.current();
        if (takeVariationOption(args, command.common, true)) continue;
        if (arg == "--tol") {
            std::string error;
            std::optional<std::vector<variation::ToleranceRule>> rules =
                variation::parseTolerances(args.value(), error);
            if (!rules) throw UsageError("--tol: " + error);
            command.rules = std::move(*rules);
            haveTolerances = true;
        } else if (arg == "--gauss") {
            command.distribution = variation::Distribution::Gaussian;
        } else if (arg == "--n") {
            command.count = parseCount(args.value());
        } else if (arg == "--semente") {
            command.seed = parseSeed(args.value());
        } else {
            args.takePositional(command.common.netlist);
        }
    }
    args.requirePositional();
    if (!haveTolerances) throw UsageError("falta a opção --tol");
    return command;
}

struct ToleranceReport {
    RunState run;
    std::vector<variation::ElementTolerance> tolerances;
    std::vector<int> variables;
    std::uint64_t seed = 0;
    variation::MonteCarloResult monteCarlo;
    std::vector<variation::WorstCase> worst;
};

const char* elementName(const RunState& run, int element) {
    return run.ElementTable[static_cast<std::size_t>(element)].name.c_str();
}

// The spread's numbers in the units of its title (Hz for ω0 and the cutoff).
double inTitleUnits(const variation::FigureSpread& spread, double value) {
    return figureInOutputUnits(spread.figure, value);
}

nlohmann::ordered_json optionalNumber(const std::optional<double>& v) {
    if (!v || !std::isfinite(*v)) return nullptr;
    return *v;
}

nlohmann::ordered_json toleranceDocument(const ToleranceReport& report,
                                         const ToleranceCommand& command) {
    using nlohmann::ordered_json;
    ordered_json tolerances = ordered_json::array();
    for (const variation::ElementTolerance& t : report.tolerances)
        tolerances.push_back(
            {{"elemento", elementName(report.run, t.element)}, {"tolerancia", t.fraction}});
    ordered_json figures = ordered_json::array();
    for (const variation::FigureSpread& spread : report.monteCarlo.figures) {
        const auto units = [&](double v) { return inTitleUnits(spread, v); };
        ordered_json entry = {{"figura", variation::figureKey(spread.figure.figure)},
                              {"coluna", figureColumn(report.run, spread.figure)},
                              {"nominal", spread.nominal ? ordered_json(units(*spread.nominal))
                                                         : ordered_json(nullptr)},
                              {"circuitos", spread.statistics.count}};
        if (!spread.values.empty()) {
            const variation::Statistics& s = spread.statistics;
            entry["media"] = units(s.mean);
            entry["desvio"] = units(s.deviation);
            entry["minimo"] = units(s.minimum);
            entry["maximo"] = units(s.maximum);
            entry["p1"] = units(s.p1);
            entry["p50"] = units(s.p50);
            entry["p99"] = units(s.p99);
            entry["histograma"] = {{"de", units(spread.histogram.low)},
                                   {"ate", units(spread.histogram.high)},
                                   {"contagens", spread.histogram.counts}};
        }
        figures.push_back(entry);
    }
    ordered_json worst = ordered_json::array();
    for (const variation::WorstCase& c : report.worst) {
        const auto units = [&](const std::optional<double>& v) -> std::optional<double> {
            if (!v) return std::nullopt;
            return figureInOutputUnits(c.figure, *v);
        };
        worst.push_back({{"figura", variation::figureKey(c.figure.figure)},
                         {"coluna", figureColumn(report.run, c.figure)},
                         {"nominal", optionalNumber(units(c.nominal))},
                         {"maximo", optionalNumber(units(c.largest))},
                         {"minimo", optionalNumber(units(c.smallest))},
                         {"estimativa_maximo", optionalNumber(units(c.largestEstimate))},
                         {"estimativa_minimo", optionalNumber(units(c.smallestEstimate))}});
    }
    ordered_json document = {
        {"formato", "corvane-tolerancias"},
        {"versao", 1},
        {"netlist", command.common.netlist},
        {"distribuicao",
         command.distribution == variation::Distribution::Uniform ? "uniforme" : "gaussiana"},
        {"circuitos", report.monteCarlo.count},
        {"falhas", report.monteCarlo.failed},
        {"semente", report.seed},
        {"frequencia_hz", command.common.hertz},
        {"tolerancias", tolerances},
        {"figuras", figures},
        {"pior_caso", worst}};
    if (report.monteCarlo.envelope) {
        const variation::GainEnvelope& e = *report.monteCarlo.envelope;
        ordered_json points = ordered_json::array();
        for (std::size_t i = 0; i < e.omegas.size(); ++i) {
            points.push_back({{"f_hz", e.omegas[i] / (2.0 * std::numbers::pi)},
                              {"nominal_db", optionalNumber(e.nominal[i])},
                              {"minimo_db", optionalNumber(e.lowest[i])},
                              {"maximo_db", optionalNumber(e.highest[i])}});
        }
        document["envelope"] = {{"variavel", report.run.variableName(report.variables.front())},
                                {"pontos", points}};
    }
    return document;
}

// Every circuit's figures would need the values kept per circuit: the spreads keep them
// in the circuits' order, those without the figure left out, so the table holds one
// column per figure and a row per value index.
std::string tableText(const ToleranceReport& report) {
    const std::vector<variation::FigureSpread>& figures = report.monteCarlo.figures;
    std::string text = "circuito";
    std::size_t rows = 0;
    for (const variation::FigureSpread& spread : figures) {
        text += ",";
        text += figureColumn(report.run, spread.figure);
        rows = std::max(rows, spread.values.size());
    }
    text += "\n";
    char number[32];
    for (std::size_t i = 0; i < rows; ++i) {
        text += std::to_string(i + 1);
        for (const variation::FigureSpread& spread : figures) {
            text += ",";
            if (i >= spread.values.size()) continue;
            std::snprintf(number, sizeof number, "%.9g", inTitleUnits(spread, spread.values[i]));
            text += number;
        }
        text += "\n";
    }
    return text;
}

bool saveToleranceImage(const ToleranceReport& report, const ToleranceCommand& command,
                        std::FILE* err) {
    constexpr int Width = 800;
    constexpr int Height = 600;
    const std::vector<variation::HistogramPanel> panels =
        variation::histogramPanels(report.run, report.monteCarlo, command.common.hertz);
    const std::optional<variation::EnvelopePanel> envelope =
        report.variables.empty()
            ? std::nullopt
            : variation::envelopePanel(report.run, report.monteCarlo, report.variables.front());
    return savePaintedPicture(
        command.common.outputs.image, Width, Height, "Tolerâncias",
        [&](PlotCanvas& canvas) {
            variation::paintSpreads(canvas, Width, Height, panels, envelope);
        },
        err);
}

int runToleranceHere(const ToleranceCommand& command, std::FILE* out, std::FILE* err) {
    if (!outputsSpareNetlist(command.common, err)) return ExitFailure;
    AnalysisLog log(linesTo(out));
    auto report = std::make_unique<ToleranceReport>();
    RunState& run = report->run;
    if (!readVariationCircuit(command.common.netlist, run, log)) return ExitFailure;
    std::string error;
    std::optional<std::vector<variation::ElementTolerance>> tolerances =
        variation::resolveTolerances(run, command.rules, error);
    if (!tolerances) {
        std::fprintf(err, "corvane-cli: --tol: %s\n", error.c_str());
        return ExitUsage;
    }
    report->tolerances = std::move(*tolerances);
    const std::optional<std::vector<int>> variables =
        resolveVariables(run, command.common.variables, false, err);
    if (!variables) return ExitUsage;
    report->variables = *variables;
    report->seed = command.seed ? *command.seed : std::random_device{}();
    const double omega = 2.0 * std::numbers::pi * command.common.hertz;

    VariationProgress progress(err);
    const std::optional<variation::SensitivityReport> sensitivities =
        variation::computeSensitivities(run, report->variables, omega, progress.stop());
    if (!sensitivities) {
        progress.end();
        if (progress.stopRequested()) {
            log.print("Análise cancelada.");
            return ExitInterrupted;
        }
        log.print("O circuito não pôde ser analisado com os valores do netlist");
        return ExitFailure;
    }
    variation::MonteCarloRequest request;
    request.tolerances = report->tolerances;
    request.distribution = command.distribution;
    request.count = command.count;
    request.seed = report->seed;
    request.variables = report->variables;
    request.omega = omega;
    if (!report->variables.empty()) {
        request.envelopeVariable = report->variables.front();
        request.envelopeOmegas = variation::envelopeOmegas(sensitivities->nominal, omega);
    }
    std::optional<variation::MonteCarloResult> monteCarlo = variation::runMonteCarlo(
        run, request, [&progress](double f) { return progress(f); }, progress.stop());
    progress.end();
    if (!monteCarlo) {
        log.print("Análise cancelada.");
        return ExitInterrupted;
    }
    report->monteCarlo = std::move(*monteCarlo);
    report->worst =
        variation::worstCases(run, *sensitivities, report->tolerances, report->variables, omega);
    ScopedCLocale locale;
    variation::listTolerances(run, report->tolerances, command.distribution, log);
    variation::listMonteCarlo(run, report->monteCarlo, report->seed, command.common.hertz, log);
    variation::listWorstCase(run, report->worst, command.common.hertz, log);
    const VariationOutputs& outputs = command.common.outputs;
    if (!saveTextOutputs(
            outputs, [&] { return tableText(*report); },
            [&] { return jsonText(toleranceDocument(*report, command)); }, err))
        return ExitFailure;
    if (!outputs.image.empty()) {
        if (!saveToleranceImage(*report, command, err)) return ExitFailure;
    }
    return ExitSuccess;
}

}  // namespace

int runToleranceCommand(const std::vector<std::string_view>& args, std::FILE* out, std::FILE* err) {
    const ToleranceCommand command = parseTolerance(args);
    return runWhereImagesAreDrawn("tolerancia", args, command.common.outputs.image, out, err,
                                  [&] { return runToleranceHere(command, out, err); });
}

}  // namespace corvane::cli
