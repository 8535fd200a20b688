#include "stability_plot_window.h"

#include <QAction>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QResizeEvent>

#include <cmath>

#include "analysis_log.h"
#include "c_locale.h"
#include "error_box.h"
#include "image_saving.h"
#include "nichols_paint.h"
#include "nyquist_paint.h"
#include "open_dialog.h"
#include "plot_keys.h"
#include "plot_list.h"
#include "plot_list_window.h"
#include "window_style.h"

namespace corvane::ui {

namespace {

constexpr int CheckBoxRowHeight = 28;

QString titleOf(StabilityView view) {
    return QString::fromLatin1(stabilityViewName(view));
}

}  // namespace

StabilityPlotWindow::StabilityPlotWindow(StabilityView view, AnalysisLog& log, ErrorBox& errors)
    : view_(view), log_(log), errors_(errors) {
    const bool nyquist = view == StabilityView::Nyquist;
    setUpSecondaryWindow(*this, nyquist ? "TFormNyquist" : "TFormNichols", titleOf(view));
    setFocusPolicy(Qt::StrongFocus);
    Grafico = new PlaneArea(this, *this);
    Lcursor = addLabel(this, "Lcursor", QString(), {});

    const ImageSaveMenu imageMenu = addPlaneImageMenu(
        this, nyquist ? QStringLiteral("nyquist.png") : QStringLiteral("nichols.png"), errors_,
        [this](render::ImageBackground background) { Salvarimagem1Click(background); });
    PopupMenu1 = imageMenu.menu;
    Salvarimagem1 = imageMenu.saveImage;
    SaveDialog1 = imageMenu.dialog;
    Salvarimagemclara1 = imageMenu.saveLightImage;

    // Beside the pole-zero map, a step lower each, so that none hides another's title.
    placeWindow(*this, nyquist ? QPoint{920, 380} : QPoint{936, 404}, {696, 560});
}

void StabilityPlotWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOut();
}

void StabilityPlotWindow::setPlotTop(int top) {
    plotTop_ = top;
    layOut();
}

void StabilityPlotWindow::layOut() {
    layOutPlaneView(*this, *Grafico, *Lcursor, plotTop_);
}

void StabilityPlotWindow::paintOn(PlotCanvas& canvas, int width, int height) const {
    const StabilityCurves* curves = curves_ ? &*curves_ : nullptr;
    if (view_ == StabilityView::Nyquist) {
        drawNyquist(canvas, width, height, NyquistPicture{curves, scale_, region_});
    } else {
        drawNichols(canvas, width, height, NicholsPicture{curves, region_});
    }
}

std::optional<ChartFrame> StabilityPlotWindow::frame() const {
    return view_ == StabilityView::Nyquist
               ? nyquistFrame(Grafico->width(), Grafico->height(), region_)
               : nicholsFrame(Grafico->width(), Grafico->height(), region_);
}

void StabilityPlotWindow::showCurves(StabilityCurves curves, std::string listText) {
    curves_ = std::move(curves);
    listText_ = std::move(listText);
    fitView();
    show();
    raise();
    activateWindow();
}

void StabilityPlotWindow::fitView() {
    if (curves_) {
        scale_ = compressed() ? compressionFor(*curves_) : RadialScale{};
        region_ = view_ == StabilityView::Nyquist ? fittedNyquistRegion(*curves_, scale_)
                                                  : fittedNicholsRegion(*curves_);
    }
    Lcursor->clear();
    Grafico->update();
}

void StabilityPlotWindow::keyPressEvent(QKeyEvent* event) {
    if (!runPlaneKey(*event, errors_, [this](int keyCode) { FormKeyDown(keyCode); }))
        QWidget::keyPressEvent(event);
}

void StabilityPlotWindow::FormKeyDown(int keyCode) {
    applyPlaneKey(keyCode, region_, *Grafico, [this] { fitView(); });
}

void StabilityPlotWindow::zoomAt(double x, double y, int steps) {
    if (const std::optional<PlaneRegion> zoomed = zoomedAbout(frame(), region_, x, y, steps)) {
        region_ = *zoomed;
        Grafico->update();
    }
}

void StabilityPlotWindow::panBy(double dx, double dy) {
    const std::optional<ChartFrame> f = frame();
    if (!f) return;
    region_ = panRegion(region_, {-dx / f->ax, dy / f->ay});
    Grafico->update();
}

std::optional<StabilityReading> StabilityPlotWindow::readAt(double x, double y) const {
    if (!curves_) return std::nullopt;
    const int width = Grafico->width();
    const int height = Grafico->height();
    return view_ == StabilityView::Nyquist
               ? readNyquist(NyquistPicture{&*curves_, scale_, region_}, width, height, x, y)
               : readNichols(NicholsPicture{&*curves_, region_}, width, height, x, y);
}

void StabilityPlotWindow::showCursorAt(double x, double y) {
    ScopedCLocale locale;
    const std::optional<StabilityReading> reading = readAt(x, y);
    if (!reading) {
        Lcursor->clear();
        return;
    }
    Lcursor->setText(QString::fromStdString(
        stabilityReadingText(*reading, curves_->labels, curves_->hz)));
}

void StabilityPlotWindow::contextMenuEvent(QContextMenuEvent* event) {
    PopupMenu1->popup(event->globalPos());
}

void StabilityPlotWindow::Salvarimagem1Click(render::ImageBackground background) {
    if (!SaveDialog1->execute()) return;
    const std::string path = QFile::encodeName(SaveDialog1->fileName()).toStdString();
    // Never over a file the view was drawn from: every line of the list, and the document
    // of a line "<document>.json#<variable>".
    if (!imageSparesFiles(log_, path, filesOfList(listText_))) return;
    const auto paint = [this](PlotCanvas& canvas) {
        paintOn(canvas, Grafico->width(), Grafico->height());
    };
    const std::string title = stabilityViewName(view_);
    const render::ImageSaveStatus status = render::savePaintedImage(
        path, Grafico->width(), Grafico->height(), title.c_str(), paint, background);
    logImageSave(log_, status, path);
}

void StabilityPlotWindow::openFrom(PlotListWindow& list) {
    const std::string text = list.listText();
    std::optional<StabilityCurves> curves =
        readStabilityCurves(PlotListReading(list), list.hz(), view_, log_);
    if (curves) showCurves(std::move(*curves), text);
}

NyquistWindow::NyquistWindow(AnalysisLog& log, ErrorBox& errors)
    : StabilityPlotWindow(StabilityView::Nyquist, log, errors) {
    CBcomprimida = addCheckBox(this, "CBcomprimida", QStringLiteral("Escala comprimida"),
                               {8, 6, 140, 17}, true);
    CBcomprimida->setToolTip(QStringLiteral(
        "O raio em escala logarítmica, um anel por década de |H|: o círculo unitário e o "
        "ponto -1 ficam no lugar, e a parte perto da origem se lê"));
    connect(CBcomprimida, &QCheckBox::toggled, this, [this] { fitView(); });
    setPlotTop(CheckBoxRowHeight);
}

bool NyquistWindow::compressed() const {
    return CBcomprimida->isChecked();
}

NicholsWindow::NicholsWindow(AnalysisLog& log, ErrorBox& errors)
    : StabilityPlotWindow(StabilityView::Nichols, log, errors) {}

}  // namespace corvane::ui
