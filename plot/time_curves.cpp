#include "time_curves.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "curve_labels.h"
#include "parallel_tasks.h"
#include "result_variables.h"
#include "view_keys.h"

namespace corvane {

namespace {

// Samples over the automatic range that find a curve's peak for the check.
constexpr int CheckPoints = 1000;

}  // namespace

double sampleTime(const TimeRange& range, int i, int points) {
    return range.tmin + (range.tmax - range.tmin) * i / (points - 1);
}

double responseMismatch(const PlotCurve& f, const TimeResponse& x, double tEnd, double peak) {
    if (!x.hasRegularPart()) return 0.0;
    return verificationError(f.numerator, f.denominator, x, tEnd, peak);
}

TimeCurve sampleTimeResponse(const TimeResponse& x, const TimeRange& range, int points) {
    TimeCurve curve;
    if (points < 2) return curve;
    curve.values.reserve(static_cast<std::size_t>(points));
    for (int i = 0; i < points; ++i) {
        const double t = sampleTime(range, i, points);
        double value = std::numeric_limits<double>::quiet_NaN();
        if (!curve.overflowFrom) {
            value = x.valueAt(t);
            // A growing curve, once past the largest double, never comes back.
            if (!std::isfinite(value)) {
                curve.overflowFrom = t;
                value = std::numeric_limits<double>::quiet_NaN();
            }
        }
        curve.values.push_back(value);
    }
    return curve;
}

std::string overflowLine(int k, double t) {
    char line[160];
    std::snprintf(line, sizeof line,
                  "Curva %d: x(t) passa do maior valor representável a partir de t = %.6g s; "
                  "a curva para aí.",
                  k, t);
    return line;
}

std::string mismatchLine(int k, double error) {
    char line[160];
    std::snprintf(line, sizeof line,
                  "Curva %d: a resposta não confere com a inversão numérica (diferença de %.3g "
                  "do pico); curva omitida.",
                  k, error);
    return line;
}

bool logComputedResponse(const TimeResponse& x, int k, AnalysisLog& log) {
    if (x.status != TimeResponseStatus::Ready && x.poles.status == RootsStatus::DegreeTooHigh) {
        log.print("Curva %d: os polos não são calculados acima do grau %d (grau %d); curva "
                  "omitida.",
                  k, MaxDegree, x.poles.degree);
        return false;
    }
    if (x.status != TimeResponseStatus::Ready) {
        log.print("Curva %d: não foi possível calcular os polos; curva omitida.", k);
        return false;
    }
    const std::string impulses = impulseText(x.impulses);
    if (!impulses.empty()) log.print("Curva %d: impulsos em t = 0: %s", k, impulses.c_str());
    return true;
}

void logOverflows(const std::vector<TimeCurve>& curves, AnalysisLog& log) {
    for (std::size_t k = 0; k < curves.size(); ++k) {
        if (curves[k].overflowFrom)
            log.print("%s", overflowLine(static_cast<int>(k) + 1, *curves[k].overflowFrom).c_str());
    }
}

// The roots of a denominator are found once, by its first curve; the curves of different
// circuits, each with its own roots to find, are computed side by side.
std::vector<TimeResponse> inverseLaplaceCurves(const PlotCurves& functions, int count) {
    count = std::clamp(count, 0, MaxCurves);
    std::vector<int> firstWithDenominator(static_cast<std::size_t>(count) + 1, 0);
    std::vector<int> owners;
    std::vector<int> sharers;
    for (int k = 1; k <= count; ++k) {
        const PlotCurve& f = functions[static_cast<std::size_t>(k)];
        int same = 1;
        while (same < k &&
               functions[static_cast<std::size_t>(same)].denominator != f.denominator)
            ++same;
        firstWithDenominator[static_cast<std::size_t>(k)] = same;
        (same == k ? owners : sharers).push_back(k);
    }
    std::vector<TimeResponse> responses(static_cast<std::size_t>(count));
    const auto curve = [&](int k) -> TimeResponse& {
        return responses[static_cast<std::size_t>(k - 1)];
    };
    const auto function = [&](int k) -> const PlotCurve& {
        return functions[static_cast<std::size_t>(k)];
    };
    runInParallel(static_cast<int>(owners.size()), [&](int i) {
        const int k = owners[static_cast<std::size_t>(i)];
        curve(k) = inverseLaplace(function(k).numerator, function(k).denominator);
    });
    runInParallel(static_cast<int>(sharers.size()), [&](int i) {
        const int k = sharers[static_cast<std::size_t>(i)];
        const int owner = firstWithDenominator[static_cast<std::size_t>(k)];
        curve(k) = inverseLaplace(function(k).numerator, function(k).denominator,
                                  curve(owner).poles);
    });
    return responses;
}

double automaticEndTimeOf(const std::vector<TimeResponse>& responses,
                          const std::array<bool, MaxCurves + 1>& omitted) {
    std::vector<TimeResponse> drawn;
    for (std::size_t i = 0; i < responses.size(); ++i) {
        const bool isOmitted = i + 1 < omitted.size() && omitted[i + 1];
        if (!isOmitted) drawn.push_back(responses[i]);
    }
    return automaticEndTime(drawn);
}

ListedTimeResponses computeListedTimeResponses(
    const PlotCurves& functions, int count,
    const std::array<std::string, MaxCurves + 1>& files, AnalysisLog& log,
    const std::array<bool, MaxCurves + 1>& omitted) {
    ListedTimeResponses result;
    std::vector<TimeResponse> responses = inverseLaplaceCurves(functions, count);
    result.endTime = automaticEndTimeOf(responses, omitted);
    const TimeRange checkRange{0.0, result.endTime};
    // Each curve's check against the numerical inversion is its own work; the lines it
    // leads to are logged afterwards, in the order of the curves.
    std::vector<double> mismatch(responses.size(), 0.0);
    runInParallel(static_cast<int>(responses.size()), [&](int i) {
        const auto slot = static_cast<std::size_t>(i);
        const TimeResponse& x = responses[slot];
        if (omitted[slot + 1] || x.status != TimeResponseStatus::Ready) return;
        double peak = 0.0;
        for (int j = 0; j < CheckPoints; ++j)
            peak = std::fmax(peak, std::fabs(x.valueAt(sampleTime(checkRange, j, CheckPoints))));
        mismatch[slot] = responseMismatch(functions[slot + 1], x, result.endTime, peak);
    });
    for (int k = 1; k <= static_cast<int>(responses.size()); ++k) {
        ListedTimeResponse curve{files[static_cast<std::size_t>(k)],
                                 std::move(responses[static_cast<std::size_t>(k - 1)]), false,
                                 {}, {}};
        if (!omitted[static_cast<std::size_t>(k)] && logComputedResponse(curve.x, k, log)) {
            const double error = mismatch[static_cast<std::size_t>(k - 1)];
            if (error <= VerificationTolerance) {
                curve.shown = true;
            } else {
                log.print("%s", mismatchLine(k, error).c_str());
            }
        }
        result.curves.push_back(std::move(curve));
    }
    nameListedCurves(result);
    return result;
}

void nameListedCurves(ListedTimeResponses& responses) {
    std::array<std::string, MaxCurves + 1> files{};
    const int count = std::min(static_cast<int>(responses.curves.size()), MaxCurves);
    for (int k = 1; k <= count; ++k)
        files[static_cast<std::size_t>(k)] = responses.curves[static_cast<std::size_t>(k - 1)].file;
    const CurveLabels labels = curveLabels(files, count);
    for (int k = 1; k <= count; ++k) {
        ListedTimeResponse& curve = responses.curves[static_cast<std::size_t>(k - 1)];
        curve.unit = unitOfResultFile(curve.file);
        curve.label = labels[static_cast<std::size_t>(k)];
    }
}

std::vector<TimeCurve> sampleTimeCurves(const ListedTimeResponses& responses,
                                        const TimeRange& range, int points) {
    std::vector<TimeCurve> curves;
    for (const ListedTimeResponse& listed : responses.curves) {
        TimeCurve curve = listed.shown ? sampleTimeResponse(listed.x, range, points) : TimeCurve{};
        curve.file = listed.file;
        curve.unit = listed.unit;
        curve.label = listed.label;
        curves.push_back(std::move(curve));
    }
    return curves;
}

bool applyTimeKey(int keyCode, TimeRange& range) {
    TimeRange next = range;
    switch (keyCode) {
        case KeyLeft:
        case KeyRight: {
            const double d = (next.tmax - next.tmin) * (keyCode == KeyLeft ? -0.25 : 0.25);
            next.tmin += d;
            next.tmax += d;
            break;
        }
        case KeyA:
            next.tmax = next.tmin + (next.tmax - next.tmin) * 0.5;
            break;
        case KeyR:
            next.tmax = next.tmin + (next.tmax - next.tmin) * 2;
            break;
        case KeyUp:
        case KeyDown: {
            const double d = (next.vmax - next.vmin) * (keyCode == KeyUp ? 0.5 : -0.5);
            next.vmin += d;
            next.vmax += d;
            break;
        }
        case KeyKeypadPlus:
            next.vmax = next.vmin + (next.vmax - next.vmin) * 0.5;
            break;
        case KeyKeypadMinus:
            next.vmax = next.vmin + (next.vmax - next.vmin) * 2;
            break;
        default:
            return false;
    }
    // A window that no longer holds two distinct finite limits is not a view.
    if (!std::isfinite(next.tmin) || !std::isfinite(next.tmax) || !(next.tmax > next.tmin) ||
        !std::isfinite(next.vmin) || !std::isfinite(next.vmax) || !(next.vmax > next.vmin))
        return false;
    range = next;
    return true;
}

}  // namespace corvane
