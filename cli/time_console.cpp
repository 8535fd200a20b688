#include "time_console.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "analysis_log.h"
#include "c_locale.h"
#include "command_line.h"
#include "plot_console.h"
#include "plot_list_file.h"
#include "plotter.h"
#include "time_curves.h"
#include "time_plot.h"
#ifdef CORVANE_IMAGE_EXPORT
#include "plot_image.h"
#endif
#include "time_response.h"
#include "replace_file.h"
#include "result_variables.h"

namespace corvane::cli {

namespace {

bool sameValue(const Polynomial& a, const Polynomial& b) {
    if (a.degree != b.degree || a.constant != b.constant) return false;
    for (int i = 0; i <= std::clamp(a.degree, 0, MaxDegree); ++i) {
        if (a.coef[i] != b.coef[i]) return false;
    }
    return true;
}

// The last sample time before `t`, where a curve that stops at `t` still has a value.
double lastTimeBefore(double t, double tmin, double tmax, int points) {
    return std::max(tmin, t - (tmax - tmin) / (points - 1));
}

struct Curve {
    TimeResponse x;
    TimeCurve samples;
    bool shown = false;
};

// The picture the window "Resposta no tempo" shows at its first size: every curve that
// passed its check, the others only in the legend.
bool saveTimeImage(const TimeOptions& options, [[maybe_unused]] const Plotter& plotter,
                   [[maybe_unused]] const std::vector<Curve>& curves,
                   [[maybe_unused]] double tmin, [[maybe_unused]] double tmax, std::FILE* err) {
#ifdef CORVANE_IMAGE_EXPORT
    constexpr int Width = 680;
    constexpr int Height = 442;
    std::vector<TimeCurve> shown;
    for (int k = 1; k < static_cast<int>(curves.size()); ++k) {
        const Curve& c = curves[static_cast<std::size_t>(k)];
        const std::string& file = plotter.numeratorFiles()[static_cast<std::size_t>(k)];
        TimeCurve curve = c.shown ? c.samples : TimeCurve{};
        curve.file = file;
        curve.unit = unitOfResultFile(file);
        shown.push_back(std::move(curve));
    }
    TimeRange range{tmin, tmax};
    fitVerticalRange(range, shown);
    const auto paint = [&](PlotCanvas& canvas) {
        drawTimePlot(canvas, Width, Height, range, shown);
    };
    if (render::savePaintedImage(options.image, Width, Height, "Resposta no tempo", paint) ==
        render::ImageSaveStatus::Saved)
        return true;
#endif
    std::fprintf(err, "corvane-cli: não foi possível gravar a imagem %s\n", options.image.c_str());
    return false;
}

}  // namespace

int runTimeResponses(const TimeOptions& options, std::FILE* out, std::FILE* err) {
    const std::optional<std::string> listed = listWithDocument(options.list, options.document, err);
    if (!listed) return ExitFailure;
    const std::string& list = *listed;
    if (!outputsSpareInputs({{"--tabela", options.table}, {"--imagem", options.image}},
                            options.list, list, err)) {
        return ExitFailure;
    }
    ScopedCLocale locale;
    AnalysisLog log([out](std::string_view line) {
        std::fwrite(line.data(), 1, line.size(), out);
        std::fputc('\n', out);
    });
    Plotter plotter(log);
    const PlotOptions plotOptions;
    ConsolePlotList window(plotOptions, list);
    if (!plotter.plot(window)) {
        std::fflush(out);
        return ExitFailure;
    }
    const int count = plotter.curveCount();
    std::vector<Curve> curves(static_cast<std::size_t>(count) + 1);
    std::vector<TimeResponse> responses;
    for (int k = 1; k <= count; ++k) {
        const PlotCurve& f = plotter.curves()[k];
        // Curves of one circuit share its denominator, and so its roots.
        int same = 1;
        while (same < k && !sameValue(plotter.curves()[same].denominator, f.denominator))
            ++same;
        responses.push_back(
            same < k ? inverseLaplace(f.numerator, f.denominator,
                                      responses[static_cast<std::size_t>(same - 1)].poles)
                     : inverseLaplace(f.numerator, f.denominator));
    }
    const double tmin = options.tmin.value_or(0.0);
    const double tmax = options.tmax.value_or(automaticEndTime(responses));
    if (!(tmax > tmin)) {
        std::fprintf(err, "corvane-cli: o tempo final (%g s) deve ser maior que o inicial (%g s)\n",
                     tmax, tmin);
        return ExitUsage;
    }
    log.print("Tempo de %.6g s a %.6g s, %d pontos", tmin, tmax, options.points);

    bool allShown = true;
    for (int k = 1; k <= count; ++k) {
        Curve& c = curves[static_cast<std::size_t>(k)];
        const PlotCurve& f = plotter.curves()[k];
        c.x = std::move(responses[static_cast<std::size_t>(k - 1)]);
        if (c.x.status != TimeResponseStatus::Ready) {
            log.print("Curva %d: não foi possível calcular os polos; curva omitida.", k);
            allShown = false;
            continue;
        }
        const std::string impulses = impulseText(c.x.impulses);
        if (!impulses.empty()) log.print("Curva %d: impulsos em t = 0: %s", k, impulses.c_str());
        c.samples = sampleTimeResponse(c.x, TimeRange{tmin, tmax}, options.points);
        double peak = 0.0;
        for (const double value : c.samples.values)
            peak = std::fmax(peak, std::fabs(value));
        double error = 0.0;
        if (!c.samples.overflowFrom) {
            error = responseMismatch(f, c.x, tmax, peak);
        } else if (std::isfinite(c.samples.values.front())) {
            // The check reaches only as far as the curve has values.
            const double checkedEnd =
                lastTimeBefore(*c.samples.overflowFrom, tmin, tmax, options.points);
            if (checkedEnd > 0.0) error = responseMismatch(f, c.x, checkedEnd, peak);
        }
        if (c.samples.overflowFrom) {
            log.print("%s", overflowLine(k, *c.samples.overflowFrom).c_str());
            allShown = false;
        }
        if (!(error <= VerificationTolerance)) {
            log.print("Curva %d: a resposta não confere com a inversão numérica (diferença de "
                      "%.3g do pico); curva omitida.",
                      k, error);
            allShown = false;
            continue;
        }
        c.shown = true;
        if (options.measures)
            listTimeMeasures(log, k, measureTimeResponse(c.x, options.settlingBand),
                             options.settlingBand);
    }
    std::fflush(out);

    if (!options.table.empty()) {
        std::string text;
        for (int k = 1; k <= count; ++k) {
            const Curve& c = curves[static_cast<std::size_t>(k)];
            const std::string impulses = impulseText(c.x.impulses);
            if (!impulses.empty())
                text += "# curva " + std::to_string(k) + ": impulsos em t = 0: " + impulses + "\n";
            if (c.shown && c.samples.overflowFrom) {
                std::string line = overflowLine(k, *c.samples.overflowFrom);
                line[0] = 'c';
                text += "# " + line + "\n";
            }
        }
        text += "curva,ponto,tempo,valor\n";
        for (int k = 1; k <= count; ++k) {
            const Curve& c = curves[static_cast<std::size_t>(k)];
            if (!c.shown) continue;
            for (int i = 0; i < options.points; ++i) {
                const double value = c.samples.values[static_cast<std::size_t>(i)];
                if (!std::isfinite(value)) break;
                const double t = tmin + (tmax - tmin) * i / (options.points - 1);
                char row[128];
                std::snprintf(row, sizeof row, "%d,%d,%.17g,%.17g\n", k, i, t, value);
                text += row;
            }
        }
        if (saveWholeFile(options.table, text) != WholeFileStatus::Saved) {
            std::fprintf(err, "corvane-cli: não foi possível gravar a tabela %s\n",
                         options.table.c_str());
            return ExitFailure;
        }
    }
    if (!options.image.empty() && !saveTimeImage(options, plotter, curves, tmin, tmax, err))
        return ExitFailure;
    return allShown ? ExitSuccess : ExitFailure;
}

}  // namespace corvane::cli
