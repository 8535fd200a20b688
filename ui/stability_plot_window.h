// TFormNyquist, "Nyquist", and TFormNichols, "Nichols", opened by their buttons in the plot
// list: the Nyquist plot and the Nichols chart of the listed transfer functions over the
// plot list's frequency range. The arrows, A, R, the keypad's plus and minus, F, the wheel
// and a drag move and zoom the view as in the pole-zero map; a line below reads the curve
// point nearest to the pointer (ω, H as magnitude, phase, real and imaginary parts, and the
// closed loop H/(1+H)); the context menu saves the picture.
#pragma once

#include <QWidget>

#include <optional>
#include <string>

#include "chart_drawing.h"
#include "plane_view.h"
#include "plot_image.h"
#include "plot_view.h"
#include "pole_zero_map.h"
#include "stability_curves.h"

class QAction;
class QCheckBox;
class QContextMenuEvent;
class QKeyEvent;
class QLabel;
class QMenu;
class QResizeEvent;

namespace corvane {
class AnalysisLog;
}

namespace corvane::ui {

class ErrorBox;
class OpenDialog;

class StabilityPlotWindow : public QWidget, public PlotView, public PlaneViewWindow {
public:
    /// "Nyquist" or "Nichols"; logs to `log` and shows the failures of its commands in
    /// `errors`.
    StabilityPlotWindow(StabilityView view, AnalysisLog& log, ErrorBox& errors);

    /// Its button in the plot list: the listed curves over the list's frequency range.
    void openFrom(PlotListWindow& list) override;

    PlaneArea* Grafico;
    /// The curve point nearest to the pointer.
    QLabel* Lcursor;
    QMenu* PopupMenu1;
    QAction* Salvarimagem1;
    QAction* Salvarimagemclara1;
    OpenDialog* SaveDialog1;

    /// New curves (`listText` the list they were read from): a view fitted to them; shows
    /// the window.
    void showCurves(StabilityCurves curves, std::string listText);
    /// A key command (a PlotKey code, or 'F' to fit the view).
    void FormKeyDown(int keyCode);
    void zoomAt(double x, double y, int steps) override;
    void panBy(double dx, double dy) override;
    void showCursorAt(double x, double y) override;
    /// "Salvar imagem...": what the plot shows, at its size, as PNG or SVG; with
    /// `background` Light, on a white page.
    void Salvarimagem1Click(render::ImageBackground background = render::ImageBackground::Dark);

    const std::optional<StabilityCurves>& curves() const { return curves_; }
    const PlaneRegion& region() const { return region_; }
    /// The frame of the plot surface at its present size.
    std::optional<ChartFrame> frame() const;
    void paintOn(PlotCanvas& canvas, int width, int height) const override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    /// The top of the plot surface: room for the controls above it.
    void setPlotTop(int top);
    /// The Nyquist plot's radius is compressed (RadialScale) while this holds.
    virtual bool compressed() const { return false; }
    /// The curves are drawn anew with what compressed() says; the view is fitted again.
    void fitView();

private:
    std::optional<StabilityReading> readAt(double x, double y) const;
    void layOut();

    StabilityView view_;
    AnalysisLog& log_;
    ErrorBox& errors_;
    int plotTop_ = 0;
    std::optional<StabilityCurves> curves_;
    RadialScale scale_;
    std::string listText_;
    PlaneRegion region_;
};

/// TFormNyquist, with CBcomprimida, "Escala comprimida" (checked at first).
class NyquistWindow : public StabilityPlotWindow {
public:
    NyquistWindow(AnalysisLog& log, ErrorBox& errors);

    QCheckBox* CBcomprimida;

protected:
    bool compressed() const override;
};

/// TFormNichols.
class NicholsWindow : public StabilityPlotWindow {
public:
    NicholsWindow(AnalysisLog& log, ErrorBox& errors);
};

}  // namespace corvane::ui
