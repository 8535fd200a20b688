#include "step_command.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <optional>
#include <string>

#include "c_locale.h"
#include "command_line.h"
#include "command_outputs.h"
#include "fitted_ranges.h"
#include "image_builds.h"
#include "number_text.h"
#include "option_readers.h"
#include "parameter_step.h"
#include "step_report.h"
#include "step_values.h"
#include "plot_console.h"
#include "pole_zero_map.h"
#include "pole_zero_paint.h"
#include "quiet_analysis.h"
#include "curve_labels.h"
#include "results_json.h"
#include "variation_common.h"

namespace corvane::cli {

const char StepUsage[] =
    "analisa exatamente o circuito do NETLIST para cada valor de um elemento (R, G, C, L,\n"
    "K, E, F, H ou o valor de uma fonte): os polos, ω0 e Q de cada par, e os ganhos das\n"
    "variáveis pedidas. Nada é gravado além dos arquivos que se pedem.\n"
    "\n"
    "  --elemento NOME       o elemento que varia (obrigatória)\n"
    "  --valores V1,V2,...   os valores, com os sufixos do netlist (4.7k); separe por ;\n"
    "                        para escrever a vírgula decimal (4,7k;10k)\n"
    "  --de V --ate V        uma faixa de valores, em vez de --valores\n"
    "  --pontos N            quantos valores na faixa, de 2 a 1000 (padrão 10)\n"
    "  --log                 valores igualmente espaçados no logaritmo\n"
    "  --variavel V[,V...]   as variáveis dos ganhos, pelo nome ou pelo número\n"
    "                        (padrão: só os polos)\n"
    "  --em F                a frequência do ganho, em Hz (padrão 1k)\n"
    "  --tabela ARQUIVO      grava em CSV os números de cada valor\n"
    "  --json ARQUIVO        grava as funções e os números de cada valor em JSON\n"
    "  --imagem ARQUIVO      desenha em PNG ou SVG as curvas de ganho da primeira\n"
    "                        variável, uma por valor (até 20), com a legenda \"R2 = 4,7 kΩ\"\n"
    "  --mapa ARQUIVO        desenha em PNG ou SVG o lugar das raízes no plano s: os\n"
    "                        polos de cada valor, ligados de valor a valor\n";

namespace {

constexpr int DefaultStepPoints = 10;

struct StepCommand {
    VariationCommon common;
    std::string element;
    std::vector<double> values;
    std::optional<double> from;
    std::optional<double> to;
    int points = DefaultStepPoints;
    bool logarithmic = false;
    bool havePoints = false;
};

double parseStepValue(std::string_view option, std::string_view text) {
    const std::optional<double> value = parseBoxNumber(text);
    if (!value) {
        throw UsageError(
            "a opção " + std::string(option) +
            " pede valores (número com . ou , e sufixo opcional, como 4.7k): " + std::string(text));
    }
    return *value;
}

std::vector<double> parseValueList(std::string_view text) {
    variation::ValueList list = variation::readValueList(text);
    if (list.badEntry) parseStepValue("--valores", *list.badEntry);
    if (list.tooMany) {
        throw UsageError("a opção --valores aceita até " +
                         std::to_string(variation::MaxStepValues) + " valores");
    }
    return std::move(list.values);
}

int parseStepPoints(std::string_view text) {
    const std::optional<int> points = variation::readStepPoints(text);
    if (!points) {
        throw UsageError("a opção --pontos pede um número de 2 a " +
                         std::to_string(variation::MaxStepValues) + ": " + std::string(text));
    }
    return *points;
}

void checkRange(StepCommand& command, const std::string& fromText, const std::string& toText) {
    const bool range = command.from || command.to;
    if (!command.values.empty() && range)
        throw UsageError("a opção --valores não se usa com --de e --ate");
    if (command.values.empty() && !range) throw UsageError("varrer pede --valores ou --de e --ate");
    if (command.from && !command.to) throw UsageError("a opção --de pede --ate");
    if (command.to && !command.from) throw UsageError("a opção --ate pede --de");
    if (!range && (command.logarithmic || command.havePoints))
        throw UsageError(std::string("a opção ") + (command.logarithmic ? "--log" : "--pontos") +
                         " pede --de e --ate");
    if (!range) return;
    const LocusScale scale = command.logarithmic ? LocusScale::Logarithmic : LocusScale::Linear;
    switch (checkLocusRange(*command.from, *command.to, command.points, scale)) {
        case LocusRangeProblem::NotPositive:
            throw UsageError("uma faixa logarítmica (--log) pede --de maior que zero: " + fromText);
        case LocusRangeProblem::NotIncreasing:
            throw UsageError("a faixa deve ir de um valor a outro maior: " + fromText + " a " +
                             toText);
        default:
            break;
    }
    command.values = locusValues(*command.from, *command.to, command.points, scale);
}

StepCommand parseStep(const std::vector<std::string_view>& list) {
    StepCommand command;
    Arguments args(list, "só um netlist por vez: ", "falta o NETLIST");
    std::string fromText;
    std::string toText;
    while (args.next()) {
        const std::string_view arg = args.current();
        if (takeVariationOption(args, command.common, true)) continue;
        if (arg == "--elemento") {
            command.element = args.value();
            if (command.element.empty()) throw UsageError("a opção --elemento precisa de um nome");
        } else if (arg == "--valores") {
            command.values = parseValueList(args.value());
        } else if (arg == "--de") {
            fromText = args.value();
            command.from = parseStepValue(arg, fromText);
        } else if (arg == "--ate") {
            toText = args.value();
            command.to = parseStepValue(arg, toText);
        } else if (arg == "--pontos") {
            command.points = parseStepPoints(args.value());
            command.havePoints = true;
        } else if (arg == "--log") {
            command.logarithmic = true;
        } else if (arg == "--mapa") {
            command.common.outputs.locus = args.value();
            checkImagePath(command.common.outputs.locus);
        } else {
            args.takePositional(command.common.netlist);
        }
    }
    args.requirePositional();
    if (command.element.empty()) throw UsageError("falta a opção --elemento");
    checkRange(command, fromText, toText);
    if (!command.common.outputs.image.empty() && command.common.variables.empty())
        throw UsageError("a opção --imagem pede --variavel");
    return command;
}

struct StepReport {
    RunState run;
    int element = 0;
    std::vector<int> variables;
    variation::ParameterStep step;
};

const Element& elementOf(const StepReport& report) {
    return report.run.ElementTable[static_cast<std::size_t>(report.element)];
}

std::string legendOf(const StepReport& report, double value) {
    return variation::stepLegend(elementOf(report).name, value, elementOf(report).kind());
}

// Every figure any value has, in the order of the first value that has it.
std::vector<variation::FigureRef> tableColumns(const StepReport& report) {
    std::vector<variation::FigureRef> columns;
    for (const variation::StepSample& sample : report.step.samples) {
        for (const variation::FigureRef& ref : variation::figureRefs(sample.figures)) {
            if (std::find(columns.begin(), columns.end(), ref) == columns.end())
                columns.push_back(ref);
        }
    }
    return columns;
}

std::string tableText(const StepReport& report) {
    const std::vector<variation::FigureRef> columns = tableColumns(report);
    std::string text = "valor";
    for (const variation::FigureRef& ref : columns) {
        text += ',';
        text += figureColumn(report.run, ref);
    }
    text += "\n";
    char number[32];
    for (const variation::StepSample& sample : report.step.samples) {
        std::snprintf(number, sizeof number, "%.9g", sample.value);
        text += number;
        for (const variation::FigureRef& ref : columns) {
            text += ",";
            const std::optional<double> v =
                sample.computed ? variation::figureValue(sample.figures, ref) : std::nullopt;
            if (!v || !std::isfinite(*v)) continue;
            std::snprintf(number, sizeof number, "%.9g", figureInOutputUnits(ref, *v));
            text += number;
        }
        text += "\n";
    }
    return text;
}

// The family of gain curves of the first variable, one per computed value (at most the
// plot's curves), with the value as the legend.
bool saveStepImage(const StepReport& report, const std::string& path, std::FILE* err) {
    PlotCurves curves{};
    std::array<std::string, MaxCurves + 1> lines{};
    int count = 0;
    const int k = report.variables.front();
    double lowest = INFINITY;
    double highest = 0.0;
    for (const variation::StepSample& sample : report.step.samples) {
        if (!sample.computed || count == MaxCurves) continue;
        ++count;
        curves[static_cast<std::size_t>(count)] =
            PlotCurve(sample.functions.numerator[static_cast<std::size_t>(k)],
                      variation::networkDenominator(sample.functions));
        lines[static_cast<std::size_t>(count)] = legendOf(report, sample.value);
        for (const std::complex<double> p : sample.poles) {
            if (std::abs(p) == 0.0) continue;
            lowest = std::min(lowest, std::abs(p));
            highest = std::max(highest, std::abs(p));
        }
    }
    if (count == 0) {
        std::fprintf(
            err,
            "corvane-cli: nenhum valor do passo pôde ser analisado: não há curva a desenhar\n");
        return false;
    }
    if (!(highest > 0.0)) lowest = highest = 2.0 * std::numbers::pi * 1000.0;
    return saveFrequencyImage(
        frequencyImageRanges(curves, count, lowest / (20.0 * std::numbers::pi),
                             highest * 10.0 / (2.0 * std::numbers::pi)),
        curves, count, lines, gainFamilyOptions(), path, err);
}

// The poles of every value as a root locus on the s-plane, the nominal poles marked; with
// a variable, its nominal poles and zeros as the map's curve.
bool saveLocusImage(const StepReport& report, const std::string& path, std::FILE* err) {
    constexpr int Width = 680;
    constexpr int Height = 520;
    const RootLocus locus = variation::stepLocus(report.run, report.step);
    auto curves = std::make_unique<PlotCurves>();
    int count = 0;
    CurveLabels labels{};
    if (!report.variables.empty()) {
        if (const std::optional<QuietAnalysis> nominal = analyseQuietly(report.run)) {
            const int k = report.variables.front();
            count = 1;
            (*curves)[1] = PlotCurve(nominal->functions.numerator[static_cast<std::size_t>(k)],
                                     variation::networkDenominator(nominal->functions));
            labels[1] = report.run.variableName(k);
        }
    }
    const PoleZeroMap map = mapOfCurves(*curves, count);
    PlanePicture picture;
    picture.map = &map;
    picture.curveLabels = &labels;
    picture.locus = &locus;
    std::vector<std::complex<double>> shown = rootValues(map);
    for (const LocusSample& sample : locus.samples)
        shown.insert(shown.end(), sample.poles.begin(), sample.poles.end());
    picture.region = fittedRegion(shown);
    return savePaintedPicture(
        path, Width, Height, "Lugar das raízes",
        [&picture](PlotCanvas& canvas) { drawPoleZeroPlane(canvas, Width, Height, picture); },
        err);
}

int runStep(const StepCommand& command, std::FILE* out, std::FILE* err) {
    if (!outputsSpareNetlist(command.common, err)) return ExitFailure;
    AnalysisLog log(linesTo(out));
    auto report = std::make_unique<StepReport>();
    if (!readVariationCircuit(command.common.netlist, report->run, log)) return ExitFailure;
    report->element = resolveElement(report->run, command.element, err);
    if (report->element == 0) return ExitUsage;
    const std::optional<std::vector<int>> variables =
        resolveVariables(report->run, command.common.variables, false, err);
    if (!variables) return ExitUsage;
    report->variables = *variables;
    VariationProgress progress(err);
    const double omega = 2.0 * std::numbers::pi * command.common.hertz;
    std::optional<variation::ParameterStep> step = variation::computeStep(
        report->run, report->element, command.values, report->variables, omega,
        [&progress](double f) { return progress(f); }, progress.stop());
    progress.end();
    if (!step) {
        log.print("Análise cancelada.");
        return ExitInterrupted;
    }
    report->step = std::move(*step);
    ScopedCLocale locale;
    variation::listStep(report->run, report->step, command.common.hertz, log);
    const VariationOutputs& outputs = command.common.outputs;
    if (!saveTextOutputs(
            outputs, [&] { return tableText(*report); },
            [&] { return jsonText(variation::stepDocument(report->run, report->step, report->variables,
                                                             command.common.netlist,
                                                             command.common.hertz)); }, err))
        return ExitFailure;
    if (!outputs.image.empty() && !saveStepImage(*report, outputs.image, err)) return ExitFailure;
    if (!outputs.locus.empty() && !saveLocusImage(*report, outputs.locus, err)) return ExitFailure;
    return ExitSuccess;
}

}  // namespace

int runStepCommand(const std::vector<std::string_view>& args, std::FILE* out, std::FILE* err) {
    const StepCommand command = parseStep(args);
    // Either picture needs the painter: the command goes where images are drawn.
    const std::string& image = command.common.outputs.image.empty() ? command.common.outputs.locus
                                                                    : command.common.outputs.image;
    return runWhereImagesAreDrawn("varrer", args, image, out, err,
                                  [&] { return runStep(command, out, err); });
}

}  // namespace corvane::cli
