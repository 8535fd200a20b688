#include "pole_zero_command.h"

#include <array>
#include <functional>
#include <optional>

#include "analysis_log.h"
#include "command_arguments.h"
#include "command_line.h"
#include "console_host.h"
#include "curve_labels.h"
#include "document_curves.h"
#include "floating_point.h"
#include "image_builds.h"
#include "listed_curves.h"
#include "noise_curves.h"
#include "number_text.h"
#include "output_target.h"
#include "plot_console.h"
#include "pole_zero_map.h"
#include "pole_zero_paint.h"
#include "pole_zero_table.h"
#include "replace_file.h"
#include "result_file_names.h"
#include "result_variables.h"
#include "root_locus.h"

namespace corvane::cli {

const char PoleZeroUsage[] =
    "desenha ou tabela os polos e zeros das funções da LISTA (como em plotar)\n"
    "e, com --lugar, o lugar das raízes dos polos da primeira função.\n"
    "\n"
    "  --imagem ARQUIVO      grava o mapa em ARQUIVO.png ou ARQUIVO.svg (680 x 442)\n"
    "  --fundo-claro         a imagem em fundo branco, para relatórios (pede --imagem)\n"
    "  --tabela ARQUIVO      grava curva,tipo,real,imag,multiplicidade de cada raiz em CSV\n"
    "  --lugar ELEMENTO      lugar das raízes: os polos da curva 1 com cada valor do\n"
    "                        ELEMENTO, calculados do netlist ao lado dos arquivos dela\n"
    "  --de V1, --ate V2     primeiro e último valor do elemento (aceitam 1k, 10n)\n"
    "  --pontos N            número de valores, 2 a 1000 (padrão 50)\n"
    "  --log                 valores em escala logarítmica (V1 e V2 positivos)\n";

namespace {

constexpr int ImageWidth = 680;
constexpr int ImageHeight = 442;

struct PoleZeroOptions {
    std::string list;
    std::string image;
    /// --fundo-claro: the image on white.
    bool lightBackground = false;
    std::string table;
    std::string element;
    std::optional<double> from;
    std::optional<double> to;
    std::optional<long long> points;
    bool logarithmic = false;
    // The first option of the locus given, for the message when --lugar is missing.
    std::string locusOption;
};

double locusValue(std::string_view option, std::string_view text) {
    const std::optional<double> value = parseLocusValue(text);
    if (!value) {
        throw UsageError{"a opção " + std::string(option) +
                           " pede um valor (número com . ou , e sufixo opcional, como 1k ou "
                           "10n): " +
                           std::string(text)};
    }
    return *value;
}

void checkLocusOptions(const PoleZeroOptions& options) {
    if (options.element.empty()) {
        if (!options.locusOption.empty())
            throw UsageError{"a opção " + options.locusOption + " pede --lugar"};
        return;
    }
    if (!options.from || !options.to) throw UsageError{"a opção --lugar pede --de e --ate"};
    const LocusScale scale = options.logarithmic ? LocusScale::Logarithmic : LocusScale::Linear;
    const long long points = options.points.value_or(DefaultLocusPoints);
    switch (checkLocusRange(*options.from, *options.to, points, scale)) {
        case LocusRangeProblem::None:
            return;
        case LocusRangeProblem::NotIncreasing:
            throw UsageError{"o valor de --de deve ser menor que o de --ate"};
        case LocusRangeProblem::NotPositive:
            throw UsageError{"a opção --log pede valores positivos em --de e --ate"};
        case LocusRangeProblem::PointCount:
            break;
    }
    throw UsageError{"a opção --pontos pede um número de " + std::to_string(MinLocusPoints) +
                       " a " + std::to_string(MaxLocusPoints)};
}

std::string_view valueOf(const std::vector<std::string_view>& args, std::size_t& i) {
    if (i + 1 >= args.size())
        throw UsageError{"a opção " + std::string(args[i]) + " precisa de um valor"};
    return args[++i];
}

PoleZeroOptions parsePoleZero(const std::vector<std::string_view>& args) {
    PoleZeroOptions options;
    bool havePositional = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--imagem") {
            options.image = valueOf(args, i);
            checkImagePath(options.image);
        } else if (arg == "--fundo-claro") {
            options.lightBackground = true;
        } else if (arg == "--tabela") {
            options.table = valueOf(args, i);
        } else if (arg == "--lugar") {
            options.element = valueOf(args, i);
            if (options.element.empty())
                throw UsageError{"a opção --lugar precisa de um elemento"};
        } else if (arg == "--de" || arg == "--ate") {
            (arg == "--de" ? options.from : options.to) = locusValue(arg, valueOf(args, i));
            if (options.locusOption.empty()) options.locusOption = arg;
        } else if (arg == "--pontos") {
            const std::string_view text = valueOf(args, i);
            options.points = parseWholeNumber(text);
            if (!options.points || *options.points < MinLocusPoints ||
                *options.points > MaxLocusPoints) {
                throw UsageError{"a opção --pontos pede um número de " +
                                   std::to_string(MinLocusPoints) + " a " +
                                   std::to_string(MaxLocusPoints) + ": " + std::string(text)};
            }
            if (options.locusOption.empty()) options.locusOption = arg;
        } else if (arg == "--log") {
            options.logarithmic = true;
            if (options.locusOption.empty()) options.locusOption = arg;
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError{"opção desconhecida: " + std::string(arg)};
        } else if (havePositional) {
            throw UsageError{"só uma lista por vez: " + std::string(arg)};
        } else {
            options.list = arg;
            havePositional = true;
        }
    }
    if (!havePositional) throw UsageError{"falta a LISTA"};
    checkLocusOptions(options);
    checkLightBackground(options.lightBackground, options.image);
    return options;
}

// The netlist of curve 1, found beside its result files as their variable names are.
std::string locusNetlist(const std::string& numeratorLine) {
    const std::optional<NumeratorFileName> name = parseNumeratorFileName(numeratorLine);
    if (!name || !variablesOfResults(name->stem)) {
        throw UsageError{
            "a opção --lugar pede o netlist dos arquivos de resultados da curva 1 "
            "ao lado deles, sem mudanças desde a análise: " +
            (name ? ResultFileNames::netlistOfResults(name->stem) : numeratorLine)};
    }
    return ResultFileNames::netlistOfResults(name->stem);
}

void printRoots(const PoleZeroMap& map, std::FILE* out) {
    for (const MapRoot& root : map.roots) {
        const std::string order =
            root.multiplicity > 1 ? ", ordem " + std::to_string(root.multiplicity) : "";
        std::fprintf(out, "Curva %d, %s: %s rad/s%s\n", root.curve, roleName(root.role),
                     complexText(root.value, 9).c_str(), order.c_str());
    }
    for (const std::string& problem : map.problems)
        std::fprintf(out, "%s\n", problem.c_str());
}

bool saveImage(const PoleZeroOptions& options, const PlanePicture& picture, std::FILE* err) {
    return savePaintedPicture(
        options.image, ImageWidth, ImageHeight, "Polos e zeros",
        [&picture](PlotCanvas& canvas) { drawPoleZeroPlane(canvas, ImageWidth, ImageHeight, picture); },
        err, options.lightBackground);
}

int runPoleZero(const PoleZeroOptions& options, std::FILE* out, std::FILE* err) {
    const std::optional<std::string> listText = listWithDocument(options.list, {}, err);
    if (!listText) return ExitFailure;
    if (!outputsSpareInputs({{"--imagem", options.image}, {"--tabela", options.table}},
                            options.list, *listText, err)) {
        return ExitFailure;
    }
    AnalysisLog log(linesTo(out));
    auto curves = std::make_unique<PlotCurves>();
    std::array<std::string, MaxCurves + 1> numeratorFiles{};
    const std::optional<int> count = readListedCurves(*listText, *curves, log, &numeratorFiles);
    if (!count || !refuseDensityLines(*curves, *count, numeratorFiles, NoPoleZeroMap, log))
        return ExitFailure;

    std::optional<RootLocus> locus;
    if (!options.element.empty()) {
        if (*count < 1) throw UsageError{"a opção --lugar pede uma curva na LISTA"};
        const std::string netlist = locusNetlist(numeratorFiles[1]);
        for (const auto& [option, path] :
             {std::pair{"--imagem", options.image}, std::pair{"--tabela", options.table}}) {
            if (!path.empty() && sameFile(path, netlist)) {
                std::fprintf(err, "corvane-cli: %s %s seria gravada sobre o arquivo lido %s\n",
                             option, path.c_str(), netlist.c_str());
                return ExitFailure;
            }
        }
        std::string error;
        const std::optional<LocusCircuit> circuit =
            readLocusCircuit(netlist, options.element, error);
        if (!circuit) throw UsageError{"a opção --lugar: " + error};
        const LocusScale scale = options.logarithmic ? LocusScale::Logarithmic : LocusScale::Linear;
        const int points = static_cast<int>(options.points.value_or(DefaultLocusPoints));
        const InterruptCatcher interrupts;
        const ConsoleHost host(ConsoleOptions{}, err);
        const std::function<bool()> interrupted = [&host] { return host.cancelRequested(); };
        locus = computeRootLocus(
            *circuit, locusValues(*options.from, *options.to, points, scale),
            [&](double) { return !interrupted(); }, interrupted);
        if (!locus) return ExitInterrupted;
    }

    const PoleZeroMap map = mapOfCurves(*curves, *count);
    printRoots(map, out);
    if (locus) {
        std::fprintf(out, "Lugar das raízes de %s: %zu valores de %.9g a %.9g\n",
                     locus->element.c_str(), locus->samples.size(), locus->samples.front().value,
                     locus->samples.back().value);
        if (locus->failedSamples > 0) {
            std::fprintf(out,
                         "Lugar das raízes de %s: a análise falhou em %d dos valores; o "
                         "lugar tem lacunas neles.\n",
                         locus->element.c_str(), locus->failedSamples);
        }
    }
    std::fflush(out);
    if (!options.table.empty() &&
        saveWholeFile(options.table, poleZeroTable(map, locus ? &*locus : nullptr)) !=
            WholeFileStatus::Saved) {
        std::fprintf(err, "corvane-cli: não foi possível gravar a tabela %s\n",
                     options.table.c_str());
        return ExitFailure;
    }
    PlanePicture picture;
    picture.map = &map;
    const CurveLabels labels = curveLabels(numeratorFiles, *count);
    picture.curveLabels = &labels;
    picture.locus = locus ? &*locus : nullptr;
    std::vector<std::complex<double>> shown = rootValues(map);
    if (locus) {
        for (const LocusSample& sample : locus->samples)
            shown.insert(shown.end(), sample.poles.begin(), sample.poles.end());
    }
    picture.region = fittedRegion(shown);
    if (!options.image.empty() && !saveImage(options, picture, err)) return ExitFailure;
    const bool complete = map.problems.empty() && (!locus || locus->failedSamples == 0);
    return complete ? ExitSuccess : ExitFailure;
}

}  // namespace

int runPoleZeroCommand(const std::vector<std::string_view>& args, std::FILE* out, std::FILE* err) {
    const PoleZeroOptions options = parsePoleZero(args);
    return runWhereImagesAreDrawn("polos", args, options.image, out, err,
                                  [&] { return runPoleZero(options, out, err); });
}

}  // namespace corvane::cli
