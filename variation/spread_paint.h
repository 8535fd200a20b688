// The drawing of a Monte Carlo run on the plot canvas: one panel per figure with its
// histogram and the nominal value marked, and a panel with the envelope of the gain
// curves (lowest and highest gain of the runs, the nominal curve between them) over a
// logarithmic frequency axis.
#pragma once

#include <string>
#include <vector>

#include "monte_carlo.h"
#include "plot_canvas.h"

namespace corvane::variation {

/// One histogram to draw: its title ("f0 do par 1 [Hz]"), its bins with the values in the
/// units of the title, and the nominal value (none: not marked).
struct HistogramPanel {
    std::string title;
    Histogram histogram;
    std::optional<double> nominal;
};

/// The envelope to draw, frequencies in Hz; `title` names the output.
struct EnvelopePanel {
    std::string title;
    GainEnvelope envelope;
};

/// The panels laid out in rows of two on a `width` × `height` canvas, on black.
void paintSpreads(PlotCanvas& canvas, int width, int height,
                  const std::vector<HistogramPanel>& histograms,
                  const std::optional<EnvelopePanel>& envelope);

}  // namespace corvane::variation
