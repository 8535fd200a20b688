// The paint of the plot window: background, grid, frame, labels and curves, evaluating
// the curves on the way when they are stale.
#include <cmath>
#include <cstdio>
#include <string>

#include "c_locale.h"
#include "floating_point.h"
#include "plotter.h"

namespace corvane {

namespace {

// Far more lines than any surface can show apart; a bound for grids whose step hardly
// moves the value.
constexpr int MaxGridLines = 10000;

std::string formatNumber(const char* format, double value) {
    char buffer[64];
    const int length = std::snprintf(buffer, sizeof buffer, format, value);
    if (length < 0) return {};
    if (length < static_cast<int>(sizeof buffer)) return std::string(buffer, length);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), format, value);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

// Adds `step` to `v`; false when that no longer changes v (a step below half an ulp).
bool advance(double& v, double step) {
    const double next = v + step;
    if (!(next > v)) return false;
    v = next;
    return true;
}

// Continues one polyline of one curve from the previous grid point to point `i`. A
// value without a position breaks the line instead of drawing to nowhere.
void drawCurveStep(PlotCanvas& canvas, Colour colour, const PlotFrame& frame,
                   const VerticalMap& map, double value, int i, int previousX, int x,
                   std::optional<int>& lastY) {
    canvas.setPen(colour, PenStyle::Solid);
    const std::optional<int> y = toPixelY(frame, map, value);
    if (i > 0 && lastY && y) canvas.drawLine(previousX, *lastY, x, *y);
    lastY = y;
}

}  // namespace

void Plotter::paint(PlotCanvas& canvas, int width, int height, PlotCheckBoxes& checkBoxes) {
    ScopedCLocale locale;
    canvas.fillRectangle(0, 0, width, height, Black);
    if (!plotReady_) return;

    const PlotParameters& p = plotParameters_;
    if (!(p.wmin > 0) || !(p.wmax > 0)) checkBoxes.uncheckLogarithmic();
    const bool logarithmic = checkBoxes.logarithmic();
    PlotFrame frame;
    checkFloatingPoint([&] { frame = makePlotFrame(width, height, p, logarithmic); });

    if (checkBoxes.grid()) drawGrid(canvas, frame);
    canvas.drawOutline(frame.x0, frame.y0, frame.x1, frame.y1 + 1, White);
    drawLabels(canvas, frame, checkBoxes);
    drawCurves(canvas, frame, checkBoxes);
    curvesStale_ = false;
}

// Dotted lines at the round values inside the ranges: on the logarithmic axis at 2 .. 9
// times each power of ten, the power itself in yellow; the frame marks the limits.
void Plotter::drawGrid(PlotCanvas& canvas, const PlotFrame& frame) const {
    const PlotParameters& p = plotParameters_;
    canvas.setPen(Grey, PenStyle::Dotted);

    double step = 0.0;
    double v = 0.0;
    checkFloatingPoint([&] {
        const double span =
            frame.logarithmic && p.wmax - p.wmin > p.wmin ? p.wmin : p.wmax - p.wmin;
        step = std::pow(10.0, std::floor(std::log10(span) - 0.499999 + 0.5));
        v = std::floor(p.wmin / step + 1) * step;
    });
    for (int lines = 0; v < p.wmax && lines < MaxGridLines; ++lines) {
        int x = 0;
        bool decade = false;
        if (frame.logarithmic) {
            if (std::floor(v / step + 0.5) == 10) {
                step *= 10;
                canvas.setPen(Yellow, PenStyle::Dotted);
                decade = true;
            }
            x = nearest(frame.ax * std::log(v) + frame.bx);
        } else {
            x = nearest(frame.ax * v + frame.bx);
        }
        canvas.drawLine(x, frame.y0, x, frame.y1);
        if (decade) canvas.setPen(Grey, PenStyle::Dotted);
        if (!advance(v, step)) break;
    }

    checkFloatingPoint([&] {
        step = std::pow(10.0, std::floor(std::log10(p.gmax - p.gmin)));
        v = std::floor(p.gmin / step + 1) * step;
    });
    for (int lines = 0; v < p.gmax && lines < MaxGridLines; ++lines) {
        const std::optional<int> y = toPixelY(frame, frame.gain, v);
        if (y) canvas.drawLine(frame.x0, *y, frame.x1, *y);
        if (!advance(v, step)) break;
    }
}

void Plotter::drawLabels(PlotCanvas& canvas, const PlotFrame& frame,
                         const PlotCheckBoxes& checkBoxes) const {
    const PlotParameters& p = plotParameters_;
    const int xu = frame.x0 - canvas.textWidth("xxx");
    const int t = (frame.y0 + frame.y1) / 2 - 6;
    // Range limits stand right-aligned 2 pixels left of the frame.
    auto valueLabel = [&](double value, int top, Colour colour) {
        const std::string text = formatNumber("%7.2f", value);
        canvas.drawText(frame.x0 - canvas.textWidth(text) - 2, top, text, colour, Black);
    };
    if (checkBoxes.groupDelay()) {
        valueLabel(p.amax, frame.y0 + 24, Red);
        valueLabel(p.amin, frame.y1 - 36, Red);
        canvas.drawText(xu, t - 12, "s", Red, Black);
    }
    if (checkBoxes.phase()) {
        valueLabel(p.fmax, frame.y0 + 12, Green);
        valueLabel(p.fmin, frame.y1 - 24, Green);
        canvas.drawText(xu, t + 12, "gr", Green, Black);
    }
    valueLabel(p.gmax, frame.y0, White);
    valueLabel(p.gmin, frame.y1 - 12, White);
    canvas.drawText(xu, t, "dB", White, Black);

    const int top = frame.y1 + 1;
    canvas.drawText(frame.x0, top, formatNumber("%g", p.wmin), White, Black);
    const std::string wmax = formatNumber("%g", p.wmax);
    canvas.drawText(frame.x1 - canvas.textWidth(wmax), top, wmax, White, Black);
    const char* unit = checkBoxes.hz() ? "Hz" : "rad/s";
    canvas.drawText((frame.x1 + frame.x0 - canvas.textWidth(unit)) / 2, top, unit, White, Black);
}

// Point by point: the curves of a point are evaluated (when stale) before the segments
// that end there are drawn, the last curve of the list first.
void Plotter::drawCurves(PlotCanvas& canvas, const PlotFrame& frame,
                         const PlotCheckBoxes& checkBoxes) {
    const PlotParameters& p = plotParameters_;
    const bool hz = checkBoxes.hz();
    const bool phase = checkBoxes.phase();
    const bool delay = checkBoxes.groupDelay();
    const ResponseTable& table = responseTable_;
    std::array<std::optional<int>, MaxCurves + 1> lastGain;
    std::array<std::optional<int>, MaxCurves + 1> lastPhase;
    std::array<std::optional<int>, MaxCurves + 1> lastDelay;
    canvas.setPen(White, PenStyle::Solid);
    int previousX = 0;
    double w = p.wmin;
    for (int i = 0; i <= p.segmentos; ++i) {
        if (curvesStale_) {
            checkFloatingPoint(
                [&] { refreshResponsePoint(responseTable_, curves_, curveCount_, i, w, hz); });
        }
        const int x = nearest(i * frame.dx + frame.x0);
        for (int k = curveCount_; k >= 1; --k) {
            drawCurveStep(canvas, White, frame, frame.gain, table.gain[k][i], i, previousX, x,
                          lastGain[k]);
            if (phase) {
                drawCurveStep(canvas, Green, frame, frame.phase, table.phase[k][i], i, previousX, x,
                              lastPhase[k]);
            }
            if (delay) {
                drawCurveStep(canvas, Red, frame, frame.delay, table.delay[k][i], i, previousX, x,
                              lastDelay[k]);
            }
        }
        previousX = x;
        w = frame.logarithmic ? w * frame.step : w + frame.step;
    }
}

}  // namespace corvane
