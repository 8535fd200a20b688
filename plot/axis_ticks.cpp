#include "axis_ticks.h"

#include <cmath>

namespace corvane {

namespace {

// More grid values than any surface shows apart; past it a step is taken as lost in the
// rounding of the values.
constexpr double MostTicks = 1000;

// The next smaller step of the 1-2-5 series: 5 → 2 → 1 → 0.5 ...
double smallerStep(double step) {
    const double decade = std::pow(10.0, std::floor(std::log10(step) + 1e-9));
    const double mantissa = std::round(step / decade);
    if (mantissa >= 5) return 2 * decade;
    if (mantissa >= 2) return decade;
    return decade / 2;
}

double ticksInside(double min, double max, double step) {
    return std::floor(max / step) - std::ceil(min / step) + 1;
}

// The multiples of `step` inside [min, max]; -0 reads as "-0", so a grid value is the
// plain zero.
std::vector<double> ticksAtStep(double min, double max, double step) {
    std::vector<double> ticks;
    const double first = std::ceil(min / step);
    const double count = std::floor(max / step) - first + 1;
    if (!(count >= 1) || count > MostTicks) return ticks;
    for (int j = 0; j < static_cast<int>(count); ++j) {
        const double v = (first + j) * step;
        if (!ticks.empty() && !(v > ticks.back())) return {};
        ticks.push_back(v == 0.0 ? 0.0 : v);
    }
    return ticks;
}

bool usableRange(double min, double max) {
    return std::isfinite(min) && std::isfinite(max) && max > min && std::isfinite(max - min);
}

}  // namespace

std::vector<double> linearTicks(double min, double max) {
    if (!usableRange(min, max)) return {};
    constexpr double LeastDivisions = 4;
    const double span = max - min;
    double step = std::pow(10.0, std::floor(std::log10(span)));
    // log10 may round a power of ten just below itself.
    if (span / step >= 10 * (1 - 1e-14)) step *= 10;
    for (int tries = 0; tries < 3 && span / step < LeastDivisions * (1 - 1e-14); ++tries)
        step = smallerStep(step);
    return ticksAtStep(min, max, step);
}

std::vector<double> gridTicks(double min, double max, int least) {
    if (!usableRange(min, max) || least < 1) return {};
    // From the step of half a power of ten above the span, down the series until enough
    // values fall inside.
    double step = std::pow(10.0, std::ceil(std::log10(max - min))) / 2;
    for (int tries = 0; tries < 120; ++tries, step = smallerStep(step)) {
        const double count = ticksInside(min, max, step);
        if (count > MostTicks) return {};
        if (count >= least) return ticksAtStep(min, max, step);
    }
    return {};
}

std::vector<double> logarithmicTicks(double min, double max) {
    if (!usableRange(min, max) || !(min > 0)) return {};
    const bool withTwoAndFive = max / min < 1e3;
    std::vector<double> ticks;
    const int firstDecade = static_cast<int>(std::floor(std::log10(min)));
    const int lastDecade = static_cast<int>(std::floor(std::log10(max)));
    for (int k = firstDecade; k <= lastDecade && ticks.size() < MostTicks; ++k) {
        const double decade = std::pow(10.0, k);
        for (const double m : {1.0, 2.0, 5.0}) {
            if (m != 1.0 && !withTwoAndFive) continue;
            const double v = m * decade;
            // Within a part in 10^12 of a limit counts as on it: 10^k is rounded.
            if (v >= min * (1 - 1e-12) && v <= max * (1 + 1e-12)) ticks.push_back(v);
        }
    }
    if (ticks.size() < 2) return linearTicks(min, max);
    return ticks;
}

}  // namespace corvane
