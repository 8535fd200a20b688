#include "plot_command.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>

#include "analysis_log.h"
#include "command_arguments.h"
#include "command_line.h"
#include "document_curves.h"
#include "fitted_ranges.h"
#include "floating_point.h"
#include "image_builds.h"
#include "number_text.h"
#include "option_readers.h"
#include "plot_console.h"
#include "plotter.h"
#include "response_conversion.h"
#include "stability_images.h"
#include "value_at.h"

namespace corvane::cli {

const char PlotUsage[] =
    "calcula a resposta em frequência das funções da LISTA (pares de arquivos\n"
    "numerador e denominador, linhas com * são comentários) e a desenha sem janelas.\n"
    "\n"
    "  --wmin, --wmax TEXTO  frequências mínima e máxima (padrão 0.1 e 5)\n"
    "  --gmin, --gmax TEXTO  módulo mínimo e máximo em dB (padrão -60 e 20)\n"
    "  --fmin, --fmax TEXTO  fase mínima e máxima em graus (padrão -180 e 180)\n"
    "  --amin, --amax TEXTO  atraso de grupo mínimo e máximo em s (padrão -10 e 40)\n"
    "  --segmentos TEXTO     número de segmentos, 1 a 600 (padrão 300)\n"
    "  --hz                  frequências em Hz\n"
    "  --linear              frequências em escala linear\n"
    "  --sem-grade           sem grade\n"
    "  --sem-fase            sem as curvas de fase\n"
    "  --sem-atraso          sem as curvas de atraso de grupo\n"
    "  --fase-continua       fase contínua ao longo de cada curva, sem os saltos de 360°\n"
    "  --legenda, --sem-legenda\n"
    "                        com (padrão) ou sem a legenda das curvas\n"
    "  --cores-por-curva     cada curva na sua cor: ganho contínuo, fase tracejada,\n"
    "                        atraso pontilhado\n"
    "  --sem-degrau          as curvas de netlists com fonte de degrau sem o 1/s do\n"
    "                        degrau: s·X(s), a função de transferência\n"
    "  --ajustar             faixas tiradas dos polos e zeros e da resposta das curvas;\n"
    "                        as opções de faixa dadas valem sobre as ajustadas\n"
    "  --imagem ARQUIVO      grava o gráfico em ARQUIVO.png ou ARQUIVO.svg\n"
    "  --fundo-claro         as imagens em fundo branco, para relatórios (pede --imagem,\n"
    "                        --nyquist ou --nichols)\n"
    "  --nyquist ARQUIVO     grava o diagrama de Nyquist das curvas (ω > 0 e o espelho\n"
    "                        de ω < 0, o ponto -1, o círculo unitário) em ARQUIVO.png\n"
    "                        ou ARQUIVO.svg, na faixa de --wmin a --wmax\n"
    "  --sem-compressao      o Nyquist em escala linear, sem comprimir o raio\n"
    "                        (pede --nyquist)\n"
    "  --nichols ARQUIVO     grava a carta de Nichols das curvas (ganho em dB contra a\n"
    "                        fase, o ponto crítico, os círculos M) em ARQUIVO.png ou .svg\n"
    "  --largura N           largura do gráfico em pixels (padrão 680)\n"
    "  --altura N            altura do gráfico em pixels (padrão 442)\n"
    "  --tabela ARQUIVO      grava ganho, fase e atraso de cada ponto em CSV\n"
    "  --em F                escreve o ganho, a fase e o atraso exatos de cada curva\n"
    "                        na frequência F (rad/s, ou Hz com --hz; aceita 1k, 2.5MEG)\n"
    "  --json ARQUIVO        plota as funções do documento JSON de uma análise\n"
    "                        (analisar --json), com todos os algarismos; sem LISTA,\n"
    "                        ou depois das funções dela\n"
    "  --variaveis LISTA     variáveis do documento, nomes ou números separados por\n"
    "                        vírgulas (padrão: todas)\n";

namespace {

struct PlotCommand {
    PlotOptions options;
    std::string list;
    std::string image;
    /// --fundo-claro: the image on white.
    bool lightBackground = false;
    std::string table;
    /// --ajustar: ranges fitted to the curves, except those given by their own options.
    bool fitRanges = false;
    std::array<bool, PlotEditBoxCount> givenBoxes{};
    int width = 680;
    int height = 442;
    DocumentSelection document;
    /// --em: the frequency (rad/s, or Hz with --hz) at which every curve's values are printed.
    std::optional<double> at;
    /// --nyquist, --nichols.
    StabilityImages stability;
};

// The value of an option that stands for an edit box, refused here when "Plotar" could
// not take it, so a mistyped option never draws a plot of something else.
std::string checkedEditValue(const PlotEditBoxRow& box, std::string_view text) {
    if (box.parameter) {
        if (!parseBoxNumber(text)) {
            throw UsageError("a opção " + std::string(box.option) +
                             " pede um número finito (. ou , decimal, sufixo opcional como 1k): " +
                             std::string(text));
        }
    } else {
        const std::optional<long long> segments = parseWholeNumber(text);
        if (!segments || *segments < 1 || *segments > MaxSegments) {
            throw UsageError("a opção " + std::string(box.option) + " pede um número inteiro de 1 a " +
                             std::to_string(MaxSegments) + ": " + std::string(text));
        }
    }
    return std::string(text);
}

PlotCommand parsePlot(const std::vector<std::string_view>& list) {
    PlotCommand command;
    Arguments args(list, "só uma lista por vez: ", "falta a LISTA");
    while (args.next()) {
        const std::string_view arg = args.current();
        const auto edit = std::find_if(PlotEditBoxes.begin(), PlotEditBoxes.end(),
                                       [&](const PlotEditBoxRow& box) { return box.option == arg; });
        const auto hide = std::find_if(PlotQuantities.begin(), PlotQuantities.end(),
                                       [&](const PlotQuantityRow& q) {
                                           return q.checkBox && q.checkBox->hideOption == arg;
                                       });
        if (edit != PlotEditBoxes.end()) {
            command.options.editText(edit->box) = checkedEditValue(*edit, args.value());
            command.givenBoxes[static_cast<std::size_t>(edit->box)] = true;
        } else if (hide != PlotQuantities.end()) {
            command.options.shown[static_cast<std::size_t>(hide->quantity)] = false;
        } else if (arg == "--hz") {
            command.options.hz = true;
        } else if (arg == "--linear") {
            command.options.logarithmic = false;
        } else if (arg == "--sem-grade") {
            command.options.grid = false;
        } else if (arg == "--legenda" || arg == "--sem-legenda") {
            command.options.legend = arg == "--legenda";
        } else if (arg == "--cores-por-curva") {
            command.options.coloursPerCurve = true;
        } else if (arg == "--sem-degrau") {
            command.options.withoutStep = true;
        } else if (arg == "--ajustar") {
            command.fitRanges = true;
        } else if (arg == "--fase-continua") {
            command.options.continuousPhase = true;
        } else if (arg == "--imagem") {
            command.image = args.value();
            checkImagePath(command.image);
        } else if (arg == "--fundo-claro") {
            command.lightBackground = true;
        } else if (arg == "--largura") {
            command.width = parseExtent(arg, args.value());
        } else if (arg == "--altura") {
            command.height = parseExtent(arg, args.value());
        } else if (arg == "--tabela") {
            command.table = args.value();
        } else if (arg == "--em") {
            const std::string_view text = args.value();
            command.at = parseFrequency(text);
            if (!command.at) {
                throw UsageError("a opção --em pede uma frequência (número com . ou , e "
                                 "sufixo opcional, como 1k ou 2.5MEG): " +
                                 std::string(text));
            }
        } else if (takeStabilityOption(args, command.stability)) {
            continue;
        } else if (!takeDocumentOption(args, command.document)) {
            args.takePositional(command.list);
        }
    }
    requireListOrDocument(args, command.document);
    checkStabilityOptions(command.stability);
    if (command.image.empty() && !command.stability.any())
        checkLightBackground(command.lightBackground, command.image);
    return command;
}

// Paints as the plot window would: on the image when one is asked for, else on nothing,
// which still fills the response table.
bool paintPlot(const PlotCommand& command, Plotter& plotter, PlotCheckBoxes& boxes,
               std::FILE* err) {
    if (command.image.empty()) {
        NullCanvas canvas;
        plotter.paint(canvas, command.width, command.height, boxes);
        return true;
    }
    return savePlotPicture(plotter, boxes, command.image, command.width, command.height, err,
                           command.lightBackground);
}

// "Ajustar" of the plot list window: the fitted ranges go into the options the window
// reads, save those the user gave, and are listed so they can be given again by hand.
bool applyFittedRanges(const PlotCommand& command, Plotter& plotter, const PlotListHost& window,
                   const PlotCheckBoxes& boxes, PlotOptions& options, std::FILE* out) {
    const auto fitted = plotter.fittedRanges(window, boxes);
    if (!fitted) return false;
    const std::array<std::string, PlotEditBoxCount> texts =
        keepGivenLimits(*fitted, options.editTexts, command.givenBoxes, boxes.logarithmic());
    std::string line = "Faixas ajustadas:";
    for (std::size_t i = 0; i < PlotEditBoxCount; ++i) {
        if (!PlotEditBoxes[i].parameter) continue;
        options.editTexts[i] = texts[i];
        line += std::string(" ") + PlotEditBoxes[i].option + " " + options.editTexts[i];
    }
    std::fprintf(out, "%s\n", line.c_str());
    return true;
}

int runPlot(const PlotCommand& command, std::FILE* out, std::FILE* err) {
    const std::optional<std::string> listText = listWithDocument(command.list, command.document, err);
    if (!listText) return ExitFailure;
    // Without the step's 1/s the netlists beside the result files are read as well.
    const std::string inputs = command.options.withoutStep
                                   ? *listText + "\n" + netlistsReadForList(*listText)
                                   : *listText;
    if (!outputsSpareInputs({{"--imagem", command.image},
                             {"--tabela", command.table},
                             {"--nyquist", command.stability.nyquist},
                             {"--nichols", command.stability.nichols}},
                            command.list, inputs, err)) {
        return ExitFailure;
    }
    AnalysisLog log(linesTo(out));
    Plotter plotter(log);
    PlotOptions options = command.options;
    ConsolePlotList window(options, *listText);
    ConsoleCheckBoxes boxes(options);
    if (command.fitRanges && !applyFittedRanges(command, plotter, window, boxes, options, out)) {
        std::fflush(out);
        return ExitFailure;
    }
    const bool ready = plotter.plot(window);
    // The stability views are read before any output is written: a refusal leaves them all.
    std::optional<StabilityCurves> stability;
    if (ready && command.stability.any()) {
        stability = stabilityCurvesOfPlot(command.stability, plotter, window, options.hz, log);
    }
    std::fflush(out);
    if (!ready || (command.stability.any() && !stability)) return ExitFailure;
    try {
        if (!paintPlot(command, plotter, boxes, err)) return ExitFailure;
    } catch (const FloatingPointFault& fault) {
        std::fprintf(err, "%s\n", fault.what());
        return ExitFloatingPointFault;
    }
    if (!command.table.empty() && !writeResponseTable(plotter, command.table)) {
        std::fprintf(err, "corvane-cli: não foi possível gravar a tabela %s\n",
                     command.table.c_str());
        return ExitFailure;
    }
    if (stability && !saveStabilityImages(command.stability, *stability, command.width,
                                          command.height, command.lightBackground, err)) {
        return ExitFailure;
    }
    bool everyValue = true;
    if (command.at) {
        for (int k = 1; k <= plotter.curveCount(); ++k) {
            // A refused curve was named in the log with the reason.
            if (plotter.curveRefused(k)) {
                everyValue = false;
                continue;
            }
            const std::string line = valueAtLine(k, plotter.curves()[static_cast<std::size_t>(k)],
                                                 *command.at, options.hz);
            everyValue = everyValue && line.find("não pode ser calculada") == std::string::npos;
            std::fprintf(out, "%s\n", line.c_str());
        }
    }
    // A curve with no point at all is missing from the result, as in tempo.
    return plotter.curveOmitted() || !everyValue ? ExitFailure : ExitSuccess;
}

}  // namespace

// The image is drawn by the companion program where there is one, with the same command line.
int runPlotCommand(const std::vector<std::string_view>& args, std::FILE* out, std::FILE* err) {
    const PlotCommand command = parsePlot(args);
    const std::string& image = !command.image.empty()             ? command.image
                               : !command.stability.nyquist.empty() ? command.stability.nyquist
                                                                    : command.stability.nichols;
    return runWhereImagesAreDrawn("plotar", args, image, out, err,
                                  [&] { return runPlot(command, out, err); });
}

}  // namespace corvane::cli
