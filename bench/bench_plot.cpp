// The plotter's two costs: the refresh of the response table (20 curves of degree 25 at
// 601 points, as after "Plotar" or a frequency key) and one paint of 20 curves × 600
// segments with gain, phase and group delay into a 680 × 442 image through the QPainter
// canvas, with the table stored and with the table refreshed on the way.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "floating_point.h"
#include "frequency_response.h"
#include "numbered.h"
#include "response_table.h"
#include "plotter.h"
#include "result_file.h"

#ifdef CORVANE_BENCH_PAINT
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "painter_canvas.h"
#endif

namespace corvane {
namespace {

constexpr int Degree = 25;

// Π (1 + s/root_m) for root_m = scale·m, m = 1 .. Degree: real roots spread over the plot.
Polynomial productOfFirstOrders(double scale) {
    Polynomial p;
    p.coef[0] = 1.0;
    p.constant = 1.0;
    for (int m = 1; m <= Degree; ++m) {
        const double root = scale * m;
        for (int i = m; i >= 1; --i)
            p.coef[i] = p.coef[i] + p.coef[i - 1] / root;
        p.degree = m;
    }
    return p;
}

// Twenty curves whose gain stays inside -60 .. 20 dB, so every segment is drawn in full.
PlotCurves benchmarkCurves() {
    PlotCurves curves{};
    for (int k = 1; k <= MaxCurves; ++k) {
        curves[k].numerator = productOfFirstOrders(0.21 * (1 + 0.015 * k));
        curves[k].denominator = productOfFirstOrders(0.2 * (1 + 0.02 * k));
    }
    return curves;
}

void BM_RefreshTwentyCurvesOfDegree25(benchmark::State& state) {
    const PlotCurves curves = benchmarkCurves();
    auto table = std::make_unique<ResponseTable>();
    const double r = frequencyStep(0.1, 5.0, MaxSegments, true);
    for (auto _ : state) {
        double w = 0.1;
        for (int i = 0; i <= MaxSegments; ++i) {
            checkFloatingPoint(
                [&] { refreshResponsePoint(*table, curves, MaxCurves, i, w, false); });
            w *= r;
        }
        benchmark::DoNotOptimize(table->gain[MaxCurves][MaxSegments]);
    }
    state.counters["evaluations"] = MaxCurves * MaxPoints;
}
BENCHMARK(BM_RefreshTwentyCurvesOfDegree25)->Unit(benchmark::kMillisecond);

#ifdef CORVANE_BENCH_PAINT

struct Boxes : PlotCheckBoxes {
    bool log = true;
    bool hz() const override { return false; }
    bool logarithmic() const override { return log; }
    void uncheckLogarithmic() override { log = false; }
    bool grid() const override { return true; }
    bool shows(PlotQuantity) const override { return true; }
    bool legend() const override { return true; }
    bool colours = false;
    bool coloursPerCurve() const override { return colours; }
};

// "Plotar" on twenty pairs of result files in a temporary folder, with 600 segments.
// The plot window's toolkit, without a display; created per run of a benchmark.
class OffscreenApplication {
public:
    OffscreenApplication() : application_(argc_, argv_) {}

private:
    char name_[11] = "bench_plot";
    char option_[10] = "-platform";
    char platform_[10] = "offscreen";
    char* argv_[4] = {name_, option_, platform_, nullptr};
    int argc_ = 3;
    QGuiApplication application_;
};

struct PlotWindowState : PlotListHost {
    OffscreenApplication application;
    std::filesystem::path folder;
    std::string list;
    AnalysisLog log;
    Plotter plotter{log};
    Boxes boxes;

    PlotWindowState() {
        std::string pattern = (std::filesystem::temp_directory_path() / "corvane-XXXXXX").string();
        folder = ::mkdtemp(pattern.data());
        const PlotCurves curves = benchmarkCurves();
        for (int k = 1; k <= MaxCurves; ++k) {
            const std::string base = (folder / (test::numbered("f", k))).string();
            savePolynomial(base + ".n1", curves[k].numerator);
            savePolynomial(base + ".d", curves[k].denominator);
            list += base + ".n1\n" + base + ".d\n";
        }
        plotter.plot(*this);
    }
    ~PlotWindowState() override { std::filesystem::remove_all(folder); }

    std::string editText(PlotEditBox box) const override {
        return box == PlotEditBox::Esegmentos ? "600" : editBoxRow(box).initialText;
    }
    std::string listText() const override { return list; }
    void appendListLine(std::string_view) override {}
    std::optional<std::string> chooseNumeratorFile() override { return std::nullopt; }
    void hidePlotWindow() override {}
    void showPlotWindow() override {}

    void paint(QImage& image) {
        QPainter painter(&image);
        painter.setFont(render::plotFont());
        render::QPainterCanvas canvas(painter);
        plotter.paint(canvas, image.width(), image.height(), boxes);
    }
};

void BM_PaintStoredTwentyCurvesOf600Segments(benchmark::State& state) {
    PlotWindowState window;
    QImage image(680, 442, QImage::Format_RGB32);
    window.paint(image);  // evaluates once
    for (auto _ : state) {
        window.paint(image);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PaintStoredTwentyCurvesOf600Segments)->Unit(benchmark::kMillisecond);

// The first paint after "Plotar": every curve is evaluated while it is drawn. "Plotar"
// itself (reading the forty files) is not timed.
void BM_PaintWithRefreshTwentyCurvesOf600Segments(benchmark::State& state) {
    PlotWindowState window;
    QImage image(680, 442, QImage::Format_RGB32);
    for (auto _ : state) {
        state.PauseTiming();
        window.plotter.plot(window);
        state.ResumeTiming();
        window.paint(image);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PaintWithRefreshTwentyCurvesOf600Segments)->Unit(benchmark::kMillisecond);

// Eight markers across the frame, each on the curve nearest in gain at its column.
void placeEightMarkers(PlotWindowState& window) {
    for (int i = 0; i < 8; ++i)
        window.plotter.placeMarker(100 + 70 * i, 200, 680, 442, window.boxes);
}

// The stored paint with the grid's values, the legend and eight markers; `colours`: each
// curve in its own colour, the phase dashed and the delay dotted.
void BM_PaintStoredWithMarkers(benchmark::State& state) {
    PlotWindowState window;
    window.boxes.colours = state.range(0) != 0;
    placeEightMarkers(window);
    QImage image(680, 442, QImage::Format_RGB32);
    window.paint(image);
    for (auto _ : state) {
        window.paint(image);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PaintStoredWithMarkers)->ArgName("colours")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// One move of the pointer: the reading of the 20 curves at the frequency of its column and
// the text of the cursor line; the table is not touched.
void BM_CursorLineOfTwentyCurves(benchmark::State& state) {
    PlotWindowState window;
    QImage image(680, 442, QImage::Format_RGB32);
    window.paint(image);
    int x = 70;
    for (auto _ : state) {
        benchmark::DoNotOptimize(window.plotter.cursorLine(x, 200, 680, 442, window.boxes));
        x = x == 670 ? 70 : x + 1;
    }
}
BENCHMARK(BM_CursorLineOfTwentyCurves)->Unit(benchmark::kMicrosecond);

#endif

}  // namespace
}  // namespace corvane

BENCHMARK_MAIN();
