// TFormPZ, the window "Polos e zeros", opened by "Polos e zeros" of the plot list. It draws
// the poles (×) and zeros (○) of every listed function on the s-plane with one scale on
// both axes, and the root locus of the first function as the element typed in its boxes
// runs over a range; the arrows, A, R, the keypad's plus and minus, F, the wheel and a drag
// move and zoom the view as in the frequency plot; a line below reads s, ω0, ζ and Q under
// the pointer and names the nearest root; the context menu saves the picture.
#pragma once

#include <QWidget>

#include <array>
#include <optional>
#include <string>

#include "curve_labels.h"
#include "plane_view.h"
#include "plot_canvas.h"
#include "plot_data.h"
#include "plot_image.h"
#include "plot_view.h"
#include "pole_zero_map.h"
#include "root_locus.h"

class QAction;
class QCheckBox;
class QContextMenuEvent;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QResizeEvent;

namespace corvane {
class AnalysisLog;
}

namespace corvane::ui {

class ErrorBox;
class OpenDialog;

class PoleZeroWindow : public QWidget, public PlotView, public PlaneViewWindow {
public:
    /// Logs to `log` and shows the failures of its commands in `errors`.
    PoleZeroWindow(AnalysisLog& log, ErrorBox& errors);

    /// "Polos e zeros" of the plot list: the roots of the listed curves.
    void openFrom(PlotListWindow& list) override;

    QLabel* Label1;
    QLineEdit* Eelemento;
    QLabel* Label2;
    QLineEdit* Ede;
    QLabel* Label3;
    QLineEdit* Eate;
    QLabel* Label4;
    QLineEdit* Epontos;
    QCheckBox* CBlog;
    QPushButton* Button1;
    PlaneArea* Grafico;
    /// s, ω0, ζ, Q and the nearest root under the pointer.
    QLabel* Lcursor;
    QMenu* PopupMenu1;
    QAction* Salvarimagem1;
    QAction* Salvarimagemclara1;
    OpenDialog* SaveDialog1;

    /// New curves from the plot list (`listText` its lines): their roots, a view fitted
    /// to them, no locus; shows the window.
    void showCurves(const PlotCurves& functions, int count,
                    const std::array<std::string, MaxCurves + 1>& files, std::string listText);
    /// "Lugar": the locus of curve 1 over the range of the boxes, from the netlist beside
    /// its result files; an empty "Elemento" takes the locus away. A box that does not hold
    /// a valid value is named in the log and nothing changes.
    void Button1Click();
    /// A key command (a PlotKey code, or 'F' to fit the view).
    void FormKeyDown(int keyCode);
    void zoomAt(double x, double y, int steps) override;
    void panBy(double dx, double dy) override;
    void showCursorAt(double x, double y) override;
    /// "Salvar imagem...": saves what the plot shows, at its size, as PNG or SVG;
    /// with `background` Light ("Salvar imagem com fundo claro..."), on a white page.
    void Salvarimagem1Click(render::ImageBackground background = render::ImageBackground::Dark);

    const PoleZeroMap& map() const { return map_; }
    const PlaneRegion& region() const { return region_; }
    const std::optional<RootLocus>& locus() const { return locus_; }
    void paintOn(PlotCanvas& canvas, int width, int height) const override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    std::optional<PlaneFrame> frame() const;
    std::optional<LocusCircuit> locusCircuit(AnalysisLog& log) const;
    void fitView();
    bool imageSparesInputs(const std::string& path) const;

    AnalysisLog& log_;
    ErrorBox& errors_;
    PlotCurves curves_{};
    int curveCount_ = 0;
    std::array<std::string, MaxCurves + 1> files_{};
    // What the legend and the cursor line call each curve.
    CurveLabels labels_{};
    std::string listText_;
    PoleZeroMap map_;
    std::optional<RootLocus> locus_;
    PlaneRegion region_;
};

}  // namespace corvane::ui
