// The frequency plot window "Resposta em frequência" (object name Form5), the view that
// "Plotar" of the plot list opens. Its
// whole client area is the plot: every paint draws it from the plotter's data and the
// check boxes of the file list; the arrows, A, R and the keypad's plus and minus move and
// zoom the view. A context menu saves the picture as an image file. Over the plot the
// pointer reads the nearest curve on a line below it; a click leaves a marker there, and M
// clears the markers.
#pragma once

#include <QImage>
#include <QWidget>

#include <optional>

#include "plot_view.h"

class QAction;
class QLabel;
class QLineEdit;
class QContextMenuEvent;
class QKeyEvent;
class QMenu;
class QMouseEvent;
class QWheelEvent;
class QResizeEvent;
class QEvent;
class QPaintEvent;

namespace corvane {
class AnalysisLog;
class Plotter;
}

namespace corvane::ui {

class ErrorBox;
class OpenDialog;
class PlotListWindow;

class FrequencyPlotWindow : public QWidget, public PlotView {
public:
    /// Draws with the check boxes and the ranges of `list`.
    FrequencyPlotWindow(ErrorBox& errorBox, Plotter& plotter, AnalysisLog& log,
                        PlotListWindow& list);

    /// The context menu (right button) and its one item "Salvar imagem...".
    QMenu* PopupMenu1;
    QAction* Salvarimagem1;
    /// "Valor numa frequência..." (or V): opens Eem.
    QAction* Valorem1;
    /// The choice of the image file, PNG or SVG.
    OpenDialog* SaveDialog1;
    /// The cursor line: what the pointer reads over the plot, in the strip below the
    /// plot rectangle; hidden while the pointer is elsewhere.
    QLabel* Lcursor;
    /// "Valor em": a frequency typed here (in the axis's unit, with the netlist's suffixes)
    /// and Enter show, in Lvalor below it, the exact gain, phase and delay of every curve
    /// there; the lines go to the log too. Hidden until asked for; empty and Enter hides
    /// both.
    QLineEdit* Eem;
    QLabel* Lvalor;

    /// Draws the whole client area; runs only inside a paint event of this window.
    void FormPaint();
    /// A key command (a PlotKey code; 0 and every other code are ignored): changes the
    /// view and repaints.
    void FormKeyDown(int keyCode);
    /// "Salvar imagem...": saves what the window shows, at its size, as PNG or SVG.
    void Salvarimagem1Click();
    /// Enter in Eem.
    void EemEnter();

    /// "Plotar" has read new data: shows the window, which paints it.
    void showNewPlot();

    /// "Plotar": reads the parameters and every listed file, then shows the window.
    void openFrom(PlotListWindow& list) override;
    void checkBoxesChanged() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    /// Where `x` lies across the plot rectangle: 0 at its left edge, 1 at its right.
    double frameFraction(double x) const;
    /// Repaints after a change of the view by the mouse.
    void viewChanged();
    /// Shows what the pointer at `at` reads, or hides the cursor line.
    void showCursorAt(QPointF at);
    void openValueBox();
    /// The placeholder of Eem names the axis's unit.
    void showValueBoxUnit();
    /// Lvalor for the text of Eem, its lines logged when `logged`.
    void showValues(bool logged);
    /// Lvalor again for the curves now on show, when it is showing.
    void refreshValues();

    ErrorBox& errorBox_;
    Plotter& plotter_;
    AnalysisLog& log_;
    PlotListWindow& list_;
    // The pointer's column at the last step of a drag with the left button.
    std::optional<double> dragX_;
    // Where the left button went down; a release near it without a drag is a click.
    std::optional<QPointF> pressAt_;
    bool dragging_ = false;
    // Parts of a wheel notch that high-resolution wheels and touchpads send.
    int wheelAngle_ = 0;
    // The fault of the data now on show has been reported. A paint is run again whenever
    // the window is uncovered (the closing error box uncovers it), and would meet the same
    // fault each time; it is reported once, until new data, a key command or a paint that
    // completes.
    bool paintFaultShown_ = false;
    // The last picture whose paint completed: what the window keeps showing when a paint
    // faults.
    QImage lastGoodPicture_;
};

}  // namespace corvane::ui
