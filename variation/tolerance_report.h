// A tolerance analysis as a person reads it in the log: the tolerances, the Monte Carlo
// statistics of each figure and the worst case. `tolerancia` and the windows' run list the
// same lines.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "analysis_log.h"
#include "circuit_figures.h"
#include "monte_carlo.h"
#include "run_state.h"
#include "spread_paint.h"
#include "tolerances.h"
#include "worst_case.h"

namespace corvane::variation {

/// The spread's title with the unit of its numbers: "f0 do par 1 [Hz]", "ganho de out em
/// 1000 Hz [dB]".
std::string spreadTitle(const RunState& run, const FigureSpread& spread, double hertz);

/// A histogram panel for each figure some circuit has, in the units of its title.
std::vector<HistogramPanel> histogramPanels(const RunState& run, const MonteCarloResult& monteCarlo,
                                            double hertz);

/// The envelope's frequencies, rad/s: from a decade below the lowest pole to a decade above
/// the highest, or two decades around `omega` for a circuit without poles.
std::vector<double> envelopeOmegas(const CircuitFigures& nominal, double omega);

/// The panel of the gain envelope of `monteCarlo` (in Hz), titled by `variable`; none
/// when the run drew no envelope.
std::optional<EnvelopePanel> envelopePanel(const RunState& run, const MonteCarloResult& monteCarlo,
                                           int variable);

/// "Tolerâncias: R1 1%, C1 5% (uniformes)".
void listTolerances(const RunState& run, std::span<const ElementTolerance> tolerances,
                    Distribution distribution, AnalysisLog& log);

/// "Monte Carlo: N circuitos, semente S", then the nominal, mean, deviation and
/// percentiles 1, 50 and 99 of each figure.
void listMonteCarlo(const RunState& run, const MonteCarloResult& monteCarlo, std::uint64_t seed,
                    double hertz, AnalysisLog& log);

/// The corners of the worst case of each figure, with the first-order estimates.
void listWorstCase(const RunState& run, std::span<const WorstCase> worst, double hertz,
                   AnalysisLog& log);

}  // namespace corvane::variation
