#include "value_at.h"

#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>

#include "floating_point.h"
#include "frequency_response.h"
#include "netlist_value.h"
#include "number_text.h"

namespace corvane {

std::optional<double> parseFrequency(std::string_view text) {
    std::optional<double> value = parseDecimalNumber(text);
    if (!value) {
        // The suffixes read as in the netlist, whose numbers take "." only.
        std::string withPoint(text);
        for (char& c : withPoint) {
            if (c == ',') c = '.';
        }
        value = parseValue(withPoint);
    }
    if (!value || !std::isfinite(*value) || *value < 0.0) return std::nullopt;
    return *value;
}

std::string valueAtLine(int k, const PlotCurve& curve, double w, bool hz) {
    const double omega = hz ? 2.0 * std::numbers::pi * w : w;
    char place[96];
    std::snprintf(place, sizeof place, "Curva %d em ω = %.9g rad/s (%.9g Hz): ", k, omega,
                  omega / (2.0 * std::numbers::pi));
    CurveResponse response;
    try {
        checkFloatingPoint([&] { response = evaluateCurve(curve, w, hz); });
    } catch (const FloatingPointFault& fault) {
        return std::string(place) + "não pode ser calculada (" + fault.what() + ")";
    }
    if (curve.kind == CurveKind::NoiseDensity) {
        const std::string unit = curve.unit + "/√Hz";
        char values[160];
        std::snprintf(values, sizeof values, ", densidade %.9g %s (%.9g dB re 1 %s)",
                      std::pow(10.0, response.gain / 20.0), unit.c_str(), response.gain,
                      unit.c_str());
        return place + curve.title + values;
    }
    char values[160];
    std::snprintf(values, sizeof values, "ganho %.9g dB (%.9g), fase %.9g graus, atraso %.9g s",
                  response.gain, std::pow(10.0, response.gain / 20.0), response.phase + 0.0,
                  response.delay + 0.0);
    return place + std::string(values);
}

}  // namespace corvane
