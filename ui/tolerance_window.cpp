#include "tolerance_window.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFile>
#include <QMenu>
#include <QResizeEvent>

#include <optional>
#include <string>
#include <utility>

#include "error_box.h"
#include "image_saving.h"
#include "open_dialog.h"
#include "window_style.h"

namespace corvane::ui {

ToleranceWindow::ToleranceWindow(AnalysisLog& log, ErrorBox& errors) : log_(log), errors_(errors) {
    setUpSecondaryWindow(*this, "TFormTolerancia", QStringLiteral("Tolerâncias"));
    Grafico = new CanvasArea(this, [this](PlotCanvas& canvas, int width, int height) {
        paintOn(canvas, width, height);
    });
    const ImageSaveMenu imageMenu = addImageSaveMenu(this, QStringLiteral("tolerancias.png"));
    PopupMenu1 = imageMenu.menu;
    Salvarimagem1 = imageMenu.saveImage;
    Salvarimagemclara1 = imageMenu.saveLightImage;
    SaveDialog1 = imageMenu.dialog;
    const auto guarded = [this](auto handler) { return [this, handler] { errors_.run(handler); }; };
    connect(Salvarimagem1, &QAction::triggered, this, guarded([this] { Salvarimagem1Click(); }));
    connect(Salvarimagemclara1, &QAction::triggered, this,
            guarded([this] { Salvarimagem1Click(render::ImageBackground::Light); }));
    placeWindow(*this, {952, 428}, {696, 560});
}

void ToleranceWindow::showPanels(std::vector<variation::HistogramPanel> panels,
                                 std::optional<variation::EnvelopePanel> envelope) {
    panels_ = std::move(panels);
    envelope_ = std::move(envelope);
    Grafico->update();
    showWindow(*this);
}

void ToleranceWindow::paintOn(PlotCanvas& canvas, int width, int height) const {
    variation::paintSpreads(canvas, width, height, panels_, envelope_);
}

void ToleranceWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Grafico->setGeometry(0, 0, width(), height());
}

void ToleranceWindow::contextMenuEvent(QContextMenuEvent* event) {
    PopupMenu1->popup(event->globalPos());
}

// The histograms are drawn from no file: nothing read can be written over.
void ToleranceWindow::Salvarimagem1Click(render::ImageBackground background) {
    if (!SaveDialog1->execute()) return;
    const std::string path = QFile::encodeName(SaveDialog1->fileName()).toStdString();
    const auto paint = [this](PlotCanvas& canvas) {
        paintOn(canvas, Grafico->width(), Grafico->height());
    };
    const render::ImageSaveStatus status = render::savePaintedImage(
        path, Grafico->width(), Grafico->height(), "Tolerâncias", paint, background);
    logImageSave(log_, status, path);
}

}  // namespace corvane::ui
