#include "spread_paint.h"

#include <algorithm>
#include <cmath>

#include "engineering_text.h"

namespace corvane::variation {

namespace {

constexpr int Margin = 8;
constexpr int TextHeight = 14;
constexpr Colour Bars{0, 160, 255};

struct Box {
    int left;
    int top;
    int right;
    int bottom;
};

void paintHistogram(PlotCanvas& canvas, const Box& box, const HistogramPanel& panel) {
    canvas.drawText(box.left, box.top, panel.title, White, Black);
    const Box frame{box.left, box.top + TextHeight + 2, box.right, box.bottom - TextHeight - 2};
    canvas.drawOutline(frame.left, frame.top, frame.right, frame.bottom, Grey);
    const std::vector<int>& counts = panel.histogram.counts;
    const int most = counts.empty() ? 0 : *std::max_element(counts.begin(), counts.end());
    if (most == 0) return;
    const int width = frame.right - frame.left - 2;
    const int height = frame.bottom - frame.top - 2;
    const int bins = static_cast<int>(counts.size());
    for (int i = 0; i < bins; ++i) {
        const int left = frame.left + 1 + width * i / bins;
        const int right = frame.left + 1 + width * (i + 1) / bins;
        const int top = frame.bottom - 1 - height * counts[static_cast<std::size_t>(i)] / most;
        canvas.fillRectangle(left, top, std::max(left + 1, right - 1), frame.bottom - 1, Bars);
    }
    const Histogram& h = panel.histogram;
    const std::string low = engineeringText(h.low, 4);
    const std::string high = engineeringText(h.high, 4);
    canvas.drawText(frame.left, frame.bottom + 2, low, White, Black);
    canvas.drawText(frame.right - canvas.textWidth(high), frame.bottom + 2, high, White, Black);
    if (panel.nominal && h.high > h.low && *panel.nominal >= h.low && *panel.nominal <= h.high) {
        const int x =
            frame.left + 1 +
            static_cast<int>(std::lround(width * (*panel.nominal - h.low) / (h.high - h.low)));
        canvas.setPen(Yellow, PenStyle::Dotted);
        canvas.drawLine(x, frame.top + 1, x, frame.bottom - 2);
    }
}

void paintCurve(PlotCanvas& canvas, const Box& frame, const std::vector<double>& hertz,
                const std::vector<double>& gains, double lowGain, double highGain, Colour colour) {
    canvas.setPen(colour, PenStyle::Solid);
    const double lowLog = std::log10(hertz.front());
    const double span = std::log10(hertz.back()) - lowLog;
    std::optional<std::pair<int, int>> previous;
    for (std::size_t i = 0; i < hertz.size(); ++i) {
        if (!std::isfinite(gains[i])) {
            previous.reset();
            continue;
        }
        const double gain = std::clamp(gains[i], lowGain, highGain);
        const int x =
            frame.left + static_cast<int>(std::lround((frame.right - frame.left - 1) *
                                                      (std::log10(hertz[i]) - lowLog) / span));
        const int y =
            frame.top + static_cast<int>(std::lround((frame.bottom - frame.top - 1) *
                                                     (highGain - gain) / (highGain - lowGain)));
        if (previous) canvas.drawLine(previous->first, previous->second, x, y);
        previous = {x, y};
    }
}

std::string hertzText(double hertz) {
    std::string text = engineeringText(hertz, 3);
    if (!text.empty() && text.back() >= '0' && text.back() <= '9') text += ' ';
    return text + "Hz";
}

void paintEnvelope(PlotCanvas& canvas, const Box& box, const EnvelopePanel& panel) {
    canvas.drawText(box.left, box.top, panel.title, White, Black);
    const Box frame{box.left, box.top + TextHeight + 2, box.right, box.bottom - TextHeight - 2};
    canvas.drawOutline(frame.left, frame.top, frame.right, frame.bottom, Grey);
    const GainEnvelope& e = panel.envelope;
    if (e.omegas.size() < 2) return;
    double highest = -INFINITY;
    for (const double g : e.highest) {
        if (std::isfinite(g)) highest = std::max(highest, g);
    }
    if (!std::isfinite(highest)) return;
    // Sixty decibels below the highest gain show a filter's band and its skirt.
    // A gain just below 0 dB rounds up to −0, which would read "-0 dB"; adding +0 makes it 0.
    const double top = std::ceil(highest / 10.0) * 10.0 + 0.0;
    const double bottom = top - 60.0;
    paintCurve(canvas, frame, e.omegas, e.lowest, bottom, top, Red);
    paintCurve(canvas, frame, e.omegas, e.highest, bottom, top, Red);
    paintCurve(canvas, frame, e.omegas, e.nominal, bottom, top, Green);
    canvas.drawText(frame.left, frame.bottom + 2, hertzText(e.omegas.front()), White, Black);
    const std::string right = hertzText(e.omegas.back());
    canvas.drawText(frame.right - canvas.textWidth(right), frame.bottom + 2, right, White, Black);
    const std::string scale = engineeringText(top, 3) + " dB";
    canvas.drawText(frame.right - canvas.textWidth(scale) - 2, frame.top + 2, scale, White, Black);
    const std::string floor = engineeringText(bottom, 3) + " dB";
    canvas.drawText(frame.right - canvas.textWidth(floor) - 2, frame.bottom - TextHeight - 2, floor,
                    White, Black);
}

}  // namespace

void paintSpreads(PlotCanvas& canvas, int width, int height,
                  const std::vector<HistogramPanel>& histograms,
                  const std::optional<EnvelopePanel>& envelope) {
    canvas.fillRectangle(0, 0, width, height, Black);
    const int panels = static_cast<int>(histograms.size()) + (envelope ? 1 : 0);
    if (panels == 0) return;
    const int columns = panels == 1 ? 1 : 2;
    const int rows = (panels + columns - 1) / columns;
    const int cellWidth = width / columns;
    const int cellHeight = height / rows;
    int index = 0;
    const auto next = [&]() {
        const int row = index / columns;
        const int column = index % columns;
        ++index;
        return Box{column * cellWidth + Margin, row * cellHeight + Margin,
                   (column + 1) * cellWidth - Margin, (row + 1) * cellHeight - Margin};
    };
    if (envelope) paintEnvelope(canvas, next(), *envelope);
    for (const HistogramPanel& panel : histograms)
        paintHistogram(canvas, next(), panel);
}

}  // namespace corvane::variation
