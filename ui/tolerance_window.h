// TFormTolerancia, "Tolerâncias": the histograms of the last run's Monte Carlo, one panel
// per figure with its nominal value marked, and the envelope of the first selected
// variable's gain over the circuits, drawn by the variation library's painter; the
// context menu saves the picture, as in the other plot windows.
#pragma once

#include <QWidget>

#include <optional>
#include <vector>

#include "canvas_area.h"
#include "plot_image.h"
#include "spread_paint.h"

class QAction;
class QContextMenuEvent;
class QMenu;
class QResizeEvent;

namespace corvane {
class AnalysisLog;
}

namespace corvane::ui {

class ErrorBox;
class OpenDialog;

class ToleranceWindow : public QWidget {
public:
    ToleranceWindow(AnalysisLog& log, ErrorBox& errors);

    CanvasArea* Grafico;
    QMenu* PopupMenu1;
    QAction* Salvarimagem1;
    QAction* Salvarimagemclara1;
    OpenDialog* SaveDialog1;

    /// New histograms, and the gain envelope when there is one, to draw; shows the window.
    void showPanels(std::vector<variation::HistogramPanel> panels,
                    std::optional<variation::EnvelopePanel> envelope = std::nullopt);
    /// The histograms drawn now, none before a run with tolerances.
    const std::vector<variation::HistogramPanel>& panels() const { return panels_; }
    /// The gain envelope drawn now, if any.
    const std::optional<variation::EnvelopePanel>& envelope() const { return envelope_; }

    void Salvarimagem1Click(render::ImageBackground background = render::ImageBackground::Dark);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void paintOn(PlotCanvas& canvas, int width, int height) const;

    AnalysisLog& log_;
    ErrorBox& errors_;
    std::vector<variation::HistogramPanel> panels_;
    std::optional<variation::EnvelopePanel> envelope_;
};

}  // namespace corvane::ui
