#include "plot_cursor.h"

#include <cmath>
#include <cstdio>

#include "floating_point.h"
#include "plot_paint.h"
#include "time_plot.h"

namespace corvane {

double frequencyAtColumn(const PlotFrame& frame, double x) {
    const double u = (x - frame.bx) / frame.ax;
    return frame.logarithmic ? std::exp(u) : u;
}

double columnOfFrequency(const PlotFrame& frame, double w) {
    return frame.ax * (frame.logarithmic ? std::log(w) : w) + frame.bx;
}

bool insidePlotRectangle(const PlotFrame& frame, double x, double y) {
    return x >= frame.x0 && x <= frame.x1 && y >= frame.y0 && y <= frame.y1;
}

// A pole on the axis or a zero numerator faults in the evaluation: that curve has no
// reading there, the others still do.
std::optional<CursorReading> readCurveAt(const PlotCurves& curves, int k, double w, bool hz) {
    CursorReading reading;
    reading.frequency = w;
    reading.hz = hz;
    reading.curve = k;
    try {
        checkFloatingPoint(
            [&] { reading.response = evaluateCurve(curves[static_cast<std::size_t>(k)], w, hz); });
    } catch (const FloatingPointFault&) {
        return std::nullopt;
    }
    if (!std::isfinite(reading.response.gain)) return std::nullopt;
    const PlotCurve& curve = curves[static_cast<std::size_t>(k)];
    if (curve.kind == CurveKind::NoiseDensity) {
        reading.densityTitle = curve.title;
        reading.densityUnit = curve.unit;
    }
    return reading;
}

std::optional<CursorReading> readCursor(const PlotFrame& frame, const PlotCurves& curves,
                                        int curveCount, double x, double y, bool hz) {
    if (!insidePlotRectangle(frame, x, y) || frame.x1 <= frame.x0) return std::nullopt;
    const double w = frequencyAtColumn(frame, x);
    if (!std::isfinite(w)) return std::nullopt;
    const VerticalMap& map = frame.map(PlotQuantity::Gain);
    const double pointerGain = (y - map.b) / map.a;
    std::optional<CursorReading> nearest;
    double nearestDistance = INFINITY;
    for (int k = 1; k <= curveCount; ++k) {
        const std::optional<CursorReading> reading = readCurveAt(curves, k, w, hz);
        if (!reading) continue;
        const double distance = std::fabs(reading->response.gain - pointerGain);
        if (!nearest || distance < nearestDistance) {
            nearest = reading;
            nearestDistance = distance;
        }
    }
    return nearest;
}

std::string cursorText(const CursorReading& reading,
                       const CurveLabels& labels) {
    const std::string frequency = valueWithUnit(reading.frequency, reading.hz ? "Hz" : "rad/s");
    if (reading.densityTitle) {
        // The level is 10·log10 of the density: the density in its unit is 10^(level/20).
        const double amplitude = std::pow(10.0, reading.response.gain / 20.0);
        char level[48];
        std::snprintf(level, sizeof level, " (%.2f dB)", reading.response.gain);
        return frequency + "  " + std::to_string(reading.curve) + ": " + *reading.densityTitle +
               ": " + valueWithUnit(amplitude, reading.densityUnit + "/√Hz") + level;
    }
    const std::string curve =
        legendLine(reading.curve, labels[static_cast<std::size_t>(reading.curve)]);
    char values[128];
    std::snprintf(values, sizeof values, "ganho %.2f dB, fase %.1f°", reading.response.gain,
                  reading.response.phase);
    return frequency + "  " + curve + ": " + values + ", atraso " +
           valueWithUnit(reading.response.delay, "s");
}

}  // namespace corvane
