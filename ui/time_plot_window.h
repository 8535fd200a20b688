// The time plot window "Resposta no tempo" (object name Form6), the view that "Tempo" of
// the plot list opens. It draws x(t)
// of every listed function from 0 to an automatic end, or over the range typed in its
// boxes; the arrows, A, R and the keypad's plus and minus move and zoom the view as in the
// frequency plot; a line below the plot shows t and each curve's value under the pointer;
// the context menu saves the picture as PNG or SVG.
#pragma once

#include <QWidget>

#include "canvas_area.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "plot_data.h"
#include "plot_image.h"
#include "plot_view.h"
#include "response_conversion.h"
#include "time_curves.h"
#include "time_markers.h"

class QAction;
class QCheckBox;
class QPlainTextEdit;
class QContextMenuEvent;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QMouseEvent;
class QPaintEvent;
class QResizeEvent;

namespace corvane {
class Plotter;
}

namespace corvane::ui {

class ErrorBox;
class OpenDialog;

/// The plot surface of the time plot window: paints the view and reports the pointer.
class TimePlotArea : public CanvasArea {
public:
    TimePlotArea(QWidget* parent, class TimePlotWindow& form);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    TimePlotWindow& form_;
};

class TimePlotWindow : public QWidget, public PlotView {
public:
    TimePlotWindow(ErrorBox& errorBox, AnalysisLog& log, Plotter& plotter);

    QLabel* Label1;
    QLineEdit* Etmin;
    QLabel* Label2;
    QLineEdit* Etmax;
    QLabel* Label3;
    QLineEdit* Epontos;
    TimePlotArea* Grafico;
    /// t and each curve's value at the pointer's column.
    QLabel* Lcursor;
    /// "Medidas": the final value, peak, overshoot, rise and settling times of every curve
    /// drawn, in Mmedidas over the plot's corner and in the log, as tempo --medidas lists
    /// them.
    QCheckBox* CBmedidas;
    QPlainTextEdit* Mmedidas;
    QMenu* PopupMenu1;
    QAction* Salvarimagem1;
    QAction* Salvarimagemclara1;
    /// The response drawn, one of three checked in the context menu: "Resposta do netlist"
    /// (x(t) of the run's own sources), "Resposta ao impulso", "Resposta ao degrau"; a
    /// choice draws the curves again.
    QAction* Respostadonetlist1;
    QAction* Respostaaoimpulso1;
    QAction* Respostaaodegrau1;
    OpenDialog* SaveDialog1;

    /// "Tempo": reads every listed file, as "Plotar" does, and shows the responses in
    /// time. The frequency plot's data and view stay as they were.
    void openFrom(PlotListWindow& list) override;
    /// New curves from the plot list: computes their responses, sets the boxes to the
    /// automatic range and shows the window.
    void showCurves(const PlotCurves& functions, int count,
                    const std::array<std::string, MaxCurves + 1>& files);
    /// Enter in a box: reads the three boxes and draws over that range. A box that does
    /// not hold a valid value is named in the log and nothing changes.
    void applyBoxes();
    /// A key command (a PlotKey code; other codes are ignored).
    void FormKeyDown(int keyCode);
    /// The cursor line for the pointer at column `x` of the plot surface; empty outside
    /// the frame.
    void showCursorAt(int x);
    /// A click at (x, y) of the plot surface: a marker on the curve nearest in value at
    /// that time, and its line in the log ("Marcador: t = ..."), as in the frequency plot;
    /// up to MaxMarkers, a new one beyond replacing the oldest. M clears them, new curves
    /// start without any.
    void placeMarkerAt(int x, int y);
    const std::vector<TimeMarker>& markers() const { return markers_; }
    /// "Salvar imagem...": saves what the plot shows, at its size, as PNG or SVG;
    /// with `background` Light ("Salvar imagem com fundo claro..."), on a white page.
    void Salvarimagem1Click(render::ImageBackground background = render::ImageBackground::Dark);

    const TimeRange& range() const { return range_; }
    const std::vector<TimeCurve>& curves() const { return curves_; }
    /// Draws the view on `canvas` of the given size.
    void paintOn(PlotCanvas& canvas, int width, int height) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Samples the curves over range_ and writes the time limits into the boxes.
    void resample();
    // The listed functions as the response checked asks for them, their responses over the
    // automatic range; the window shows them.
    void showResponses();
    ResponseChoice responseChoice() const;
    // Fills Mmedidas, and the log, with the measures of the curves drawn, while CBmedidas
    // is checked.
    void showMeasures();

    ErrorBox& errorBox_;
    AnalysisLog& log_;
    Plotter& plotter_;
    // The functions as the list gave them, kept for a change of the response.
    PlotCurves functions_{};
    int count_ = 0;
    std::array<QAction*, 3> responseActions_{};
    std::array<std::string, MaxCurves + 1> files_{};
    ListedTimeResponses responses_;
    TimeRange range_;
    int points_ = DefaultTimePoints;
    std::vector<TimeCurve> curves_;
    std::vector<TimeMarker> markers_;
    // The column where the pointer read the cursor line last; none while it is empty.
    std::optional<int> pointerX_;
};

}  // namespace corvane::ui
