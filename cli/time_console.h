// corvane-cli tempo: the responses in time of the functions of a plot list, without
// windows: x(t) of each pair of result files, checked by a second evaluation, as a table.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "document_curves.h"
#include "time_measurements.h"

namespace corvane::cli {

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
    std::string list;
    /// --json and --variaveis: functions of a run's document, after those of the list.
    DocumentSelection document;
};

/// Runs the command; log lines go to `out`, failures to write to `err`. Returns the
/// exit status (ExitFailure when a curve could not be computed or verified, or a file
/// could not be read or written).
int runTimeResponses(const TimeOptions& options, std::FILE* out, std::FILE* err);

}  // namespace corvane::cli
