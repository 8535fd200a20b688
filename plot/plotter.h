// The frequency-response plotter: the one owner of the plot's state. The plot list
// window calls addNumeratorFile ("Adicionar") and plot ("Plotar"); the plot window calls
// paint and keyDown. No window is known here: each call is given the small interface it
// needs of them.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "analysis_log.h"
#include "listed_curves.h"
#include "plot_canvas.h"
#include "plot_cursor.h"
#include "plot_data.h"
#include "plot_hosts.h"
#include "response_conversion.h"
#include "response_table.h"
#include "view_keys.h"

namespace corvane {

class Plotter {
public:
    /// Every message of the plot list goes to `log`.
    explicit Plotter(AnalysisLog& log) : log_(log) {}
    Plotter(const Plotter&) = delete;
    Plotter& operator=(const Plotter&) = delete;

    /// "Adicionar": asks for a numerator file and appends it and its denominator file to
    /// the list. A name that is not a numerator result file's ("<base>.n1" to
    /// "<base>.n25") is refused with a comment line naming it, one that cannot be a line
    /// of the list with the comment "* Arquivo com nome inválido.".
    /// A noise file ("<run>.ruido") appends the line of its total and those of its three
    /// largest contributors instead, or logs why it cannot be read. A parameter step's
    /// document (`corvane-cli varrer --json`) appends one line per computed value of its
    /// first variable (stepLineOf), at most MaxCurves, or a comment saying why not.
    void addNumeratorFile(PlotListHost& window);

    /// "Plotar": reads the edit boxes into the parameters and every listed file into the
    /// curves, logging its progress; on success marks the curves stale and shows the plot
    /// window. Returns false when a message stopped it. An edit box whose text is not a
    /// number (as parseBoxNumber reads it), or a list that cannot be read whole, is logged,
    /// and then nothing changes: not the parameters, the curves or the plot window, which
    /// keeps showing the last plot. The message that stopped it, or the one that replaced
    /// the segment count, is shown in the window too; none clears it.
    bool plot(PlotListHost& window);

    /// Curves computed rather than listed (the noise of `ruido --imagem`), to be painted as
    /// "Plotar" leaves a list: `lines` names each curve as a list line would.
    void plotCurves(const PlotParameters& parameters, const PlotCurves& curves, int count,
                    const std::array<std::string, MaxCurves + 1>& lines);

    /// "Ajustar": reads every listed file as "Plotar" does (logging the same lines) and
    /// returns the texts of the edit boxes with the ranges fitted to those curves
    /// (fitPlotRanges); the window writes them into its boxes and then plots; the message
    /// that stopped the list is shown in the window as by plot(). A frequency
    /// box that is not a number counts as 0 here, and only matters when no curve has a
    /// non-zero pole or zero. No value when a message of the log stopped the list. The
    /// plot itself does not change.
    std::optional<std::array<std::string, PlotEditBoxCount>> fittedRanges(
        const PlotListHost& window, const PlotCheckBoxes& checkBoxes);

    /// FormPaint of the plot window on a `width` × `height` surface. Evaluates the curves
    /// first when they are stale, or were evaluated for the other state of "Frequências
    /// em Hz" or of the logarithmic scale; a curve that cannot be evaluated at some points
    /// (a pole hit on the axis, a zero numerator, an overflow) is drawn broken there and
    /// the log names the curve and the points. Throws FloatingPointFault when a
    /// floating-point fault of the plot's ranges (equal limits) ends the paint; what was
    /// drawn up to then stays drawn, and the curves stay stale.
    void paint(PlotCanvas& canvas, int width, int height, PlotCheckBoxes& checkBoxes);

    /// FormKeyDown of the plot window. Returns true when the key was a command; the window
    /// must then repaint (invalidate and show). Throws FloatingPointFault, leaving the
    /// parameters unchanged, when the command's arithmetic faults.
    bool keyDown(int keyCode, const PlotCheckBoxes& checkBoxes);

    /// Mouse wheel over the plot: `steps` notches up (positive) narrow the frequency range
    /// by half each, down widen it by two, keeping the frequency at `fraction` (0 at the
    /// left edge of the frame, 1 at the right) where it is. Marks the curves stale. Throws
    /// FloatingPointFault, leaving the parameters unchanged, when the arithmetic faults.
    void zoomFrequencyAt(double fraction, int steps, const PlotCheckBoxes& checkBoxes);

    /// A drag of the plot by `fraction` of the frame's width to the right: the frequency
    /// range moves the other way (by a share of its decades on the logarithmic axis), so
    /// the curves follow the pointer. Marks the curves stale; faults as zoomFrequencyAt.
    void panFrequency(double fraction, const PlotCheckBoxes& checkBoxes);

    /// What the pointer at (x, y) of a `width` × `height` surface reads: the frequency
    /// there and the curve whose gain is nearest, evaluated at exactly that frequency.
    /// None before "Plotar", outside the plot rectangle, or where the frame faults.
    std::optional<CursorReading> cursorAt(double x, double y, int width, int height,
                                          const PlotCheckBoxes& checkBoxes) const;

    /// The cursor's reading at (x, y) as the line the plot window shows (cursorText).
    std::optional<std::string> cursorLine(double x, double y, int width, int height,
                                          const PlotCheckBoxes& checkBoxes) const;

    /// A click at (x, y): a marker on the curve the cursor reads there, its line
    /// ("Marcador: " and the cursor's text) in the log. Beyond MaxMarkers the oldest
    /// marker gives way. False when the cursor reads nothing there.
    bool placeMarker(double x, double y, int width, int height, const PlotCheckBoxes& checkBoxes);
    /// M: no markers.
    void clearMarkers() { markers_.clear(); }
    const std::vector<PlotMarker>& markers() const { return markers_; }

    /// The response table no longer fits the axis (a toggle of "Frequências em Hz" or of
    /// the logarithmic scale): the next paint evaluates the curves again.
    void markCurvesStale() { curvesStale_ = true; }

    const PlotParameters& plotParameters() const { return plotParameters_; }
    const PlotCurves& curves() const { return curves_; }
    int curveCount() const { return curveCount_; }
    bool plotReady() const { return plotReady_; }
    bool curvesStale() const { return curvesStale_; }
    const ResponseTable& responseTable() const { return responseTable_; }
    /// Whether the last evaluation found a curve with no point at all to draw.
    bool curveOmitted() const;
    /// Whether curve k was refused by "Sem 1/s" (its run has no single excitation): it is
    /// drawn nowhere, and the log named it at "Plotar".
    bool curveRefused(int k) const {
        return k >= 0 && k <= MaxCurves && refused_[static_cast<std::size_t>(k)];
    }
    /// What the legend and the cursor call each curve.
    const CurveLabels& curveLabels() const { return labels_; }
    /// The list line of each curve's numerator.
    const std::array<std::string, MaxCurves + 1>& numeratorFiles() const {
        return numeratorFiles_;
    }

    /// Appends one line per computed value of the first variable of the step document at
    /// `path` (at most MaxCurves), or a comment saying why none.
    void addStepFamily(const std::string& path, PlotListHost& window);

private:
    std::optional<PlotParameters> readParameters(const PlotListHost& window, AnalysisLog& log);
    // The curves read from the list as the window asks for them; a refused curve is left
    // with a zero numerator, which has no point to draw or read.
    CurveMask convertCurves(const PlotListHost& window, PlotCurves& curves, int count,
                            const std::array<std::string, MaxCurves + 1>& lines);
    void logCurveGaps(int points, bool hz);

    AnalysisLog& log_;
    PlotParameters plotParameters_;
    PlotCurves curves_{};
    int curveCount_ = 0;
    // The list line of each curve's numerator, and what the legend calls each curve.
    std::array<std::string, MaxCurves + 1> numeratorFiles_{};
    CurveLabels labels_{};
    CurveMask refused_{};
    bool plotReady_ = false;
    bool curvesStale_ = false;
    // The axis of the grid the response table was last filled on.
    bool tableHz_ = false;
    bool tableLogarithmic_ = false;
    ResponseTable responseTable_{};
    // Oldest first; cleared by new data.
    std::vector<PlotMarker> markers_;
};

}  // namespace corvane
