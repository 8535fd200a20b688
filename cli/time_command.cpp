#include "time_command.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "analysis_log.h"
#include "c_locale.h"
#include "command_arguments.h"
#include "command_line.h"
#include "document_curves.h"
#include "image_builds.h"
#include "noise_curves.h"
#include "option_readers.h"
#include "parallel_tasks.h"
#include "plot_console.h"
#include "plotter.h"
#include "replace_file.h"
#include "response_conversion.h"
#include "result_variables.h"
#include "time_curves.h"
#include "time_measurements.h"
#include "time_plot.h"
#include "time_response.h"

namespace corvane::cli {

const char TimeUsage[] =
    "calcula a resposta no tempo x(t) das funções da LISTA (como em plotar),\n"
    "exatamente pelos polos e resíduos, e a confere por uma inversão numérica.\n"
    "\n"
    "  --tmin, --tmax T      tempos inicial e final em s (padrão 0 e automático)\n"
    "  --pontos N            número de pontos, 2 a 1000000 (padrão 1000)\n"
    "  --tabela ARQUIVO      grava curva, ponto, tempo e valor de cada ponto em CSV\n"
    "  --imagem ARQUIVO      grava as curvas em ARQUIVO.png ou ARQUIVO.svg (680 x 442)\n"
    "  --fundo-claro         a imagem em fundo branco, para relatórios (pede --imagem)\n"
    "  --json ARQUIVO, --variaveis LISTA\n"
    "                        as funções de um documento JSON, como em plotar\n"
    "  --medidas             lista o valor final, o pico, o sobressinal e os tempos de\n"
    "                        subida e de acomodação de cada curva\n"
    "  --acomodacao PCT      faixa do tempo de acomodação, em % do valor final\n"
    "                        (padrão 2; pede --medidas)\n"
    "  --degrau, --impulso   cada curva como a resposta ao degrau ou ao impulso,\n"
    "                        qualquer que seja a fonte do netlist ao lado dos arquivos\n"
    "                        de resultados (ou do documento JSON)\n";

namespace {

struct TimeOptions {
    /// Start and end of the time range in seconds; the end is chosen from the poles when
    /// not given.
    std::optional<double> tmin;
    std::optional<double> tmax;
    int points = 1000;
    /// --medidas: the final value, peak, overshoot, rise and settling times of each curve.
    bool measures = false;
    /// --acomodacao: the settling band as a fraction of the final value.
    double settlingBand = DefaultSettlingBand;
    /// CSV of every point: curva,ponto,tempo,valor.
    std::string table;
    /// The picture of the curves, PNG or SVG by its extension, as the window draws it.
    std::string image;
    /// --fundo-claro: the image on white.
    bool lightBackground = false;
    std::string list;
    /// --json and --variaveis: functions of a run's document, after those of the list.
    DocumentSelection document;
    /// --degrau, --impulso: every curve as the response to that excitation.
    ResponseChoice response = ResponseChoice::FromNetlist;
};

// A percentage strictly between 0 and 100, read whole.
double parseSettlingPercent(std::string_view text) {
    const std::string copy(text);
    char* end = nullptr;
    const double value = std::strtod(copy.c_str(), &end);
    if (copy.empty() || end != copy.c_str() + copy.size() || !(value > 0.0 && value < 100.0)) {
        throw UsageError("a opção --acomodacao pede uma porcentagem entre 0 e 100: " + copy);
    }
    return value;
}

TimeOptions parseTime(const std::vector<std::string_view>& list) {
    TimeOptions options;
    std::optional<double> settlingBand;
    Arguments args(list, "só uma lista por vez: ", "falta a LISTA");
    while (args.next()) {
        const std::string_view arg = args.current();
        if (arg == "--tmin") {
            options.tmin = parseSeconds(arg, args.value());
        } else if (arg == "--tmax") {
            options.tmax = parseSeconds(arg, args.value());
        } else if (arg == "--pontos") {
            options.points = parsePoints(args.value());
        } else if (arg == "--tabela") {
            options.table = args.value();
        } else if (arg == "--medidas") {
            options.measures = true;
        } else if (arg == "--acomodacao") {
            settlingBand = parseSettlingPercent(args.value()) / 100.0;
        } else if (arg == "--degrau" || arg == "--impulso") {
            const ResponseChoice response =
                arg == "--degrau" ? ResponseChoice::Step : ResponseChoice::Impulse;
            if (options.response != ResponseChoice::FromNetlist && options.response != response)
                throw UsageError("as opções --degrau e --impulso não podem ser usadas juntas");
            options.response = response;
        } else if (takeDocumentOption(args, options.document)) {
        } else if (arg == "--imagem") {
            options.image = args.value();
            checkImagePath(options.image);
        } else if (arg == "--fundo-claro") {
            options.lightBackground = true;
        } else {
            args.takePositional(options.list);
        }
    }
    requireListOrDocument(args, options.document);
    if (settlingBand) {
        if (!options.measures) throw UsageError("a opção --acomodacao pede --medidas");
        options.settlingBand = *settlingBand;
    }
    checkLightBackground(options.lightBackground, options.image);
    return options;
}

// The last sample time before `t`, where a curve that stops at `t` still has a value.
double lastTimeBefore(double t, double tmin, double tmax, int points) {
    return std::max(tmin, t - (tmax - tmin) / (points - 1));
}

// The curves as the time window keeps them (shown when they passed their check), with
// their samples over the range asked for.
struct SampledResponses {
    ListedTimeResponses listed;
    std::vector<TimeCurve> samples;
    bool allShown = true;
};

// How far curve `f`'s x(t) strays from the second evaluation over the samples' range: up
// to where they stop, if they do, since past that the curve has no values to compare.
double sampledMismatch(const PlotCurve& f, const TimeResponse& x, const TimeCurve& samples,
                       const TimeRange& range, int points) {
    double peak = 0.0;
    for (const double value : samples.values)
        peak = std::fmax(peak, std::fabs(value));
    if (!samples.overflowFrom) return responseMismatch(f, x, range.tmax, peak);
    if (!std::isfinite(samples.values.front())) return 0.0;
    const double checkedEnd = lastTimeBefore(*samples.overflowFrom, range.tmin, range.tmax, points);
    return checkedEnd > 0.0 ? responseMismatch(f, x, checkedEnd, peak) : 0.0;
}

// What one curve's samples, check and measures come to, computed apart from the others.
struct CheckedCurve {
    TimeCurve samples;
    double error = 0.0;
    std::optional<TimeMeasures> measures;
};

// Samples and checks each curve, the curves side by side on the machine's cores, then logs
// in the order of the curves what the time window logs, plus each curve's measures when
// asked.
void sampleAndCheck(const TimeOptions& options, const Plotter& plotter, const PlotCurves& functions,
                    const CurveMask& refused, const TimeRange& range,
                    std::vector<TimeResponse> responses, SampledResponses& result,
                    AnalysisLog& log) {
    const int count = static_cast<int>(responses.size());
    // A refused curve's function is not the response asked for: nothing of it is said.
    for (int k = 1; k <= count; ++k) {
        if (refused[static_cast<std::size_t>(k)])
            responses[static_cast<std::size_t>(k - 1)] = TimeResponse{};
    }
    std::vector<CheckedCurve> checked(static_cast<std::size_t>(count));
    runInParallel(count, [&](int i) {
        const auto slot = static_cast<std::size_t>(i);
        const TimeResponse& x = responses[slot];
        if (x.status != TimeResponseStatus::Ready) return;
        CheckedCurve& c = checked[slot];
        c.samples = sampleTimeResponse(x, range, options.points);
        c.error = sampledMismatch(functions[slot + 1], x, c.samples, range, options.points);
        if (options.measures && c.error <= VerificationTolerance)
            c.measures = measureTimeResponse(x, options.settlingBand);
    });
    for (int k = 1; k <= count; ++k) {
        const auto slot = static_cast<std::size_t>(k - 1);
        ListedTimeResponse& curve = result.listed.curves.emplace_back(ListedTimeResponse{
            plotter.numeratorFiles()[static_cast<std::size_t>(k)], std::move(responses[slot]),
            false, {}, {}});
        TimeCurve& samples = result.samples.emplace_back();
        if (refused[static_cast<std::size_t>(k)] || !logComputedResponse(curve.x, k, log)) {
            result.allShown = false;
            continue;
        }
        CheckedCurve& c = checked[slot];
        samples = std::move(c.samples);
        if (samples.overflowFrom) {
            log.print("%s", overflowLine(k, *samples.overflowFrom).c_str());
            result.allShown = false;
        }
        if (!(c.error <= VerificationTolerance)) {
            log.print("%s", mismatchLine(k, c.error).c_str());
            result.allShown = false;
            continue;
        }
        curve.shown = true;
        if (c.measures) listTimeMeasures(log, k, *c.measures, options.settlingBand);
    }
}

// The CSV of every point of the shown curves, after comment lines on the impulses and on
// the curves that stop early.
std::string tableText(const SampledResponses& responses, const TimeRange& range, int points) {
    std::string text;
    for (std::size_t i = 0; i < responses.listed.curves.size(); ++i) {
        const int k = static_cast<int>(i) + 1;
        const ListedTimeResponse& curve = responses.listed.curves[i];
        const std::string impulses = impulseText(curve.x.impulses);
        if (!impulses.empty())
            text += "# curva " + std::to_string(k) + ": impulsos em t = 0: " + impulses + "\n";
        if (curve.shown && responses.samples[i].overflowFrom) {
            std::string line = overflowLine(k, *responses.samples[i].overflowFrom);
            line[0] = 'c';
            text += "# " + line + "\n";
        }
    }
    text += "curva,ponto,tempo,valor\n";
    for (std::size_t i = 0; i < responses.listed.curves.size(); ++i) {
        if (!responses.listed.curves[i].shown) continue;
        const std::vector<double>& values = responses.samples[i].values;
        for (int p = 0; p < points; ++p) {
            const double value = values[static_cast<std::size_t>(p)];
            if (!std::isfinite(value)) break;
            char row[128];
            std::snprintf(row, sizeof row, "%d,%d,%.17g,%.17g\n", static_cast<int>(i) + 1, p,
                          sampleTime(range, p, points), value);
            text += row;
        }
    }
    return text;
}

// The picture the window "Resposta no tempo" shows at its first size, drawn through the
// window's own steps: every curve that passed its check, the others only in the legend.
bool saveTimeImage(const std::string& path, ListedTimeResponses& listed, const TimeRange& range,
                   int points, bool lightBackground, std::FILE* err) {
    constexpr int Width = 680;
    constexpr int Height = 442;
    nameListedCurves(listed);
    const std::vector<TimeCurve> curves = sampleTimeCurves(listed, range, points);
    TimeRange view = range;
    fitVerticalRange(view, curves);
    const auto paint = [&](PlotCanvas& canvas) {
        drawTimePlot(canvas, Width, Height, view, curves);
    };
    return savePaintedPicture(path, Width, Height, "Resposta no tempo", paint, err,
                              lightBackground);
}

int runTimeResponses(const TimeOptions& options, std::FILE* out, std::FILE* err) {
    const std::optional<std::string> listed = listWithDocument(options.list, options.document, err);
    if (!listed) return ExitFailure;
    const std::string& list = *listed;
    // A conversion reads the netlists beside the result files as well.
    const std::string inputs = options.response == ResponseChoice::FromNetlist
                                   ? list
                                   : list + "\n" + netlistsReadForList(list);
    if (!outputsSpareInputs({{"--tabela", options.table}, {"--imagem", options.image}},
                            options.list, inputs, err)) {
        return ExitFailure;
    }
    ScopedCLocale locale;
    AnalysisLog log(linesTo(out));
    Plotter plotter(log);
    const PlotOptions plotOptions;
    ConsolePlotList window(plotOptions, list);
    if (!plotter.plot(window) ||
        !refuseDensityLines(plotter.curves(), plotter.curveCount(), plotter.numeratorFiles(),
                            NoTimeResponse, log)) {
        std::fflush(out);
        return ExitFailure;
    }
    // The curves as the responses asked for; a refused one is named here and not drawn.
    PlotCurves functions = plotter.curves();
    const CurveMask refused = convertListedCurves(functions, plotter.curveCount(),
                                                  plotter.numeratorFiles(), options.response, log);
    std::vector<TimeResponse> responses = inverseLaplaceCurves(functions, plotter.curveCount());
    SampledResponses result;
    result.listed.endTime = automaticEndTimeOf(responses, refused);
    const TimeRange range{options.tmin.value_or(0.0), options.tmax.value_or(result.listed.endTime)};
    if (!(range.tmax > range.tmin)) {
        std::fprintf(err, "corvane-cli: o tempo final (%g s) deve ser maior que o inicial (%g s)\n",
                     range.tmax, range.tmin);
        return ExitUsage;
    }
    log.print("Tempo de %.6g s a %.6g s, %d pontos", range.tmin, range.tmax, options.points);
    sampleAndCheck(options, plotter, functions, refused, range, std::move(responses), result, log);
    std::fflush(out);

    if (!options.table.empty() &&
        saveWholeFile(options.table, tableText(result, range, options.points)) !=
            WholeFileStatus::Saved) {
        std::fprintf(err, "corvane-cli: não foi possível gravar a tabela %s\n",
                     options.table.c_str());
        return ExitFailure;
    }
    if (!options.image.empty() &&
        !saveTimeImage(options.image, result.listed, range, options.points,
                       options.lightBackground, err))
        return ExitFailure;
    return result.allShown ? ExitSuccess : ExitFailure;
}
}  // namespace

// As plotar: the picture is drawn by the companion program where there is one, with the
// same command line.
int runTimeCommand(const std::vector<std::string_view>& args, std::FILE* out, std::FILE* err) {
    const TimeOptions options = parseTime(args);
    return runWhereImagesAreDrawn("tempo", args, options.image, out, err,
                                  [&] { return runTimeResponses(options, out, err); });
}

}  // namespace corvane::cli
