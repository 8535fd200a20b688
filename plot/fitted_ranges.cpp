#include "fitted_ranges.h"

#include <algorithm>
#include <charconv>
#include <cfenv>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>
#include <vector>

#include "frequency_response.h"
#include "number_text.h"
#include "polynomial_roots.h"

namespace corvane {

namespace {

// Enough points to find the peak of a resonance with a Q of a few hundred within a dB or
// so, across the fitted range (usually three to ten decades).
constexpr int FitPoints = 2001;
constexpr double GainSpanDb = 80.0;
constexpr double GainStepDb = 10.0;
constexpr double PhaseStepDegrees = 90.0;

// The 1-2-5 steps of one decade, with the next decade's 1 to close the search.
constexpr std::array<double, 4> Mantissas{1.0, 2.0, 5.0, 10.0};

struct MagnitudeSpan {
    double smallest = std::numeric_limits<double>::infinity();
    double largest = 0.0;
    bool empty() const { return largest == 0.0; }
};

void addRootMagnitudes(const Polynomial& p, MagnitudeSpan& span) {
    const PolynomialRoots found = findRoots(p);
    if (found.status != RootsStatus::Found) return;
    for (const PolynomialRoot& root : found.roots) {
        const double magnitude = std::abs(root.value);
        if (!(magnitude > 0.0) || !std::isfinite(magnitude)) continue;
        span.smallest = std::min(span.smallest, magnitude);
        span.largest = std::max(span.largest, magnitude);
    }
}

struct Extremes {
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();
    void add(double v) {
        if (!std::isfinite(v)) return;
        low = std::min(low, v);
        high = std::max(high, v);
    }
    bool empty() const { return low > high; }
};

struct CurveExtremes {
    Extremes gain, phase, delay;
};

// Steps along one curve, adding a turn wherever the phase jumps by more than half a turn
// so the phase follows the curve from its value at the lowest frequency.
double unwrapped(double phase, std::optional<double>& previous) {
    if (previous) {
        while (phase - *previous > 180.0) phase -= 360.0;
        while (phase - *previous < -180.0) phase += 360.0;
    }
    previous = phase;
    return phase;
}

CurveExtremes sampleCurves(const PlotCurves& curves, int curveCount, double wmin, double wmax,
                           bool hz, bool continuousPhase) {
    CurveExtremes e;
    const double ratio = std::pow(wmax / wmin, 1.0 / (FitPoints - 1));
    for (int k = 1; k <= curveCount; ++k) {
        std::optional<double> previousPhase;
        for (int i = 0; i < FitPoints; ++i) {
            const double w = i == FitPoints - 1 ? wmax : wmin * std::pow(ratio, i);
            const CurveResponse r = evaluateCurve(curves[static_cast<std::size_t>(k)], w, hz);
            // A noise density has a gain and no phase.
            if (!std::isfinite(r.gain)) continue;
            e.gain.add(r.gain);
            if (!std::isfinite(r.phase)) continue;
            e.phase.add(continuousPhase ? unwrapped(r.phase, previousPhase) : r.phase);
            e.delay.add(r.delay);
        }
    }
    return e;
}

// A decade beyond the roots, but never past 1e-300 .. 1e308: a root near the largest
// double (or the smallest) still gives finite limits that read back, two decades or more
// apart.
void fitFrequency(const MagnitudeSpan& roots, double unit, PlotParameters& p) {
    constexpr double HighestStep = 1e308;
    constexpr double LowestStep = 1e-300;
    const double low = roots.smallest / unit / 10.0;
    const double high = roots.largest / unit * 10.0;
    p.wmin = low >= LowestStep ? roundDownTo125(low) : LowestStep;
    p.wmax = high <= HighestStep ? roundUpTo125(high) : HighestStep;
    if (!(p.wmax <= HighestStep)) p.wmax = HighestStep;  // 9e307 rounds up past it
    // Roots beyond either end: two decades at that end.
    p.wmax = std::max(p.wmax, roundUpTo125(LowestStep * 100.0));
    p.wmin = std::min(p.wmin, HighestStep / 100.0);
}

void fitGain(const Extremes& gain, PlotParameters& p) {
    if (gain.empty()) return;
    p.gmax = std::ceil(gain.high / GainStepDb) * GainStepDb;
    p.gmin = std::max(p.gmax - GainSpanDb, std::floor(gain.low / GainStepDb) * GainStepDb);
    if (p.gmin >= p.gmax) p.gmin = p.gmax - GainStepDb;
}

void fitPhase(const Extremes& phase, PlotParameters& p) {
    if (phase.empty()) return;
    p.fmin = std::floor(phase.low / PhaseStepDegrees) * PhaseStepDegrees;
    p.fmax = std::ceil(phase.high / PhaseStepDegrees) * PhaseStepDegrees;
    if (p.fmin >= p.fmax) p.fmax = p.fmin + PhaseStepDegrees;
}

void fitDelay(const Extremes& delay, PlotParameters& p) {
    if (delay.empty()) return;
    // A delay so short that a frame's pixels per second would overflow counts as none.
    constexpr double ShortestDelay = 1e-290;
    p.amin = delay.low < -ShortestDelay ? -roundUpTo125(-delay.low) : 0.0;
    p.amax = delay.high > ShortestDelay ? roundUpTo125(delay.high) : 0.0;
    // A flat delay (a constant gain, a pure integrator) still gets a window with the
    // delay at its edge rather than an empty one.
    if (p.amax <= p.amin) p.amax = p.amin == 0.0 ? 1.0 : 0.0;
}

double stepAtOrAbove(double x, bool up) {
    const double decade = std::pow(10.0, std::floor(std::log10(x)));
    if (up) {
        for (const double m : Mantissas) {
            // A step within rounding of x is x itself, so 1e-3 stays 1e-3.
            if (m * decade >= x * (1.0 - 1e-12)) return m * decade;
        }
        return 10.0 * decade;
    }
    for (auto m = Mantissas.rbegin(); m != Mantissas.rend(); ++m) {
        if (*m * decade <= x * (1.0 + 1e-12)) return *m * decade;
    }
    return decade / 2.0;
}

std::string shortText(double value) {
    // The shortest text that reads back as the same double ("0.002", "5e+06").
    std::array<char, 32> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    if (error != std::errc{}) return "0";
    return std::string(buffer.data(), end);
}

}  // namespace

double roundUpTo125(double x) { return stepAtOrAbove(x, true); }

double roundDownTo125(double x) { return stepAtOrAbove(x, false); }

PlotParameters fitPlotRanges(const PlotCurves& curves, int curveCount,
                             const PlotParameters& current, bool hz, bool continuousPhase) {
    std::fexcept_t flags{};
    std::fegetexceptflag(&flags, FE_ALL_EXCEPT);

    PlotParameters p = current;
    MagnitudeSpan roots;
    for (int k = 1; k <= curveCount; ++k) {
        addRootMagnitudes(curves[static_cast<std::size_t>(k)].numerator, roots);
        addRootMagnitudes(curves[static_cast<std::size_t>(k)].denominator, roots);
    }
    if (!roots.empty()) fitFrequency(roots, hz ? 2.0 * std::numbers::pi : 1.0, p);
    if (p.wmin > 0.0 && p.wmax > p.wmin && curveCount > 0) {
        const CurveExtremes e = sampleCurves(curves, curveCount, p.wmin, p.wmax, hz,
                                             continuousPhase);
        fitGain(e.gain, p);
        fitPhase(e.phase, p);
        fitDelay(e.delay, p);
    }

    std::fesetexceptflag(&flags, FE_ALL_EXCEPT);
    // A ceiling of -0.4 is -0, which would read "-0" in its box.
    for (double PlotParameters::*limit : {&PlotParameters::gmin, &PlotParameters::gmax,
                                          &PlotParameters::fmin, &PlotParameters::fmax,
                                          &PlotParameters::amin, &PlotParameters::amax})
        p.*limit += 0.0;
    return p;
}

std::array<std::string, PlotEditBoxCount> fittedEditTexts(const PlotParameters& fitted,
                                                          const std::string& segmentsText) {
    std::array<std::string, PlotEditBoxCount> texts{};
    for (std::size_t i = 0; i < PlotEditBoxCount; ++i) {
        const PlotEditBoxRow& box = PlotEditBoxes[i];
        texts[i] = box.parameter ? shortText(fitted.*box.parameter) : segmentsText;
    }
    return texts;
}

std::array<std::string, PlotEditBoxCount> keepGivenLimits(
    const std::array<std::string, PlotEditBoxCount>& fitted,
    const std::array<std::string, PlotEditBoxCount>& current,
    const std::array<bool, PlotEditBoxCount>& given, bool logarithmic) {
    std::array<std::string, PlotEditBoxCount> texts{};
    for (std::size_t i = 0; i < PlotEditBoxCount; ++i) texts[i] = given[i] ? current[i] : fitted[i];
    // The boxes come in pairs, lower limit first; the segment count closes the list.
    for (std::size_t low = 0; low + 1 < PlotEditBoxCount; low += 2) {
        const std::size_t high = low + 1;
        if (!PlotEditBoxes[low].parameter || given[low] == given[high]) continue;
        const std::optional<double> lowValue = parseDecimalNumber(texts[low]);
        const std::optional<double> highValue = parseDecimalNumber(texts[high]);
        const std::optional<double> fittedLow = parseDecimalNumber(fitted[low]);
        const std::optional<double> fittedHigh = parseDecimalNumber(fitted[high]);
        if (!lowValue || !highValue || !fittedLow || !fittedHigh || *lowValue < *highValue)
            continue;
        const bool ratio = PlotEditBoxes[low].box == PlotEditBox::Ewmin && logarithmic &&
                           *fittedLow > 0.0 && *lowValue > 0.0 && *highValue > 0.0;
        double moved = 0.0;
        if (ratio) {
            const double width = *fittedHigh / *fittedLow;
            moved = given[low] ? *lowValue * width : *highValue / width;
        } else {
            const double width = *fittedHigh - *fittedLow;
            moved = given[low] ? *lowValue + width : *highValue - width;
        }
        if (std::isfinite(moved)) texts[given[low] ? high : low] = shortText(moved);
    }
    return texts;
}

}  // namespace corvane
