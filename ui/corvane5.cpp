#include "corvane5.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>

#include <optional>
#include <string>
#include <utility>

#include "floating_point.h"
#include "open_dialog.h"
#include "painter_canvas.h"
#include "plot_image.h"
#include "program.h"
#include "window_style.h"

namespace corvane::ui {

TForm5::TForm5(Program& program) : program_(program) {
    setUpSecondaryWindow(*this, "Form5", QStringLiteral("Resposta em frequência"));
    // Every paint covers the whole client area.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    Salvarimagem1 = PopupMenu1->addAction(QStringLiteral("Salvar imagem..."));
    Salvarimagem1->setObjectName(QStringLiteral("Salvarimagem1"));
    SaveDialog1 = new OpenDialog(
        this, QStringLiteral("SaveDialog1"),
        {QStringLiteral("Salvar imagem"), QStringLiteral("resposta.png"),
         QStringLiteral("Imagens PNG (*.png);;Imagens SVG (*.svg)"), QStringLiteral("png")},
        chooseFileToSave);
    connect(Salvarimagem1, &QAction::triggered, this,
            program.command([this] { Salvarimagem1Click(); }));

    placeWindow(*this, {864, 316}, {696, 480});
}

void TForm5::paintEvent(QPaintEvent*) {
    program_.errorBox().run([this] { FormPaint(); });
}

// The plot is drawn on an image first: when a floating-point fault ends the paint, the
// window shows the last picture that was drawn whole instead (or, when there is none,
// what was drawn up to the fault).
void TForm5::FormPaint() {
    const qreal ratio = devicePixelRatioF();
    QImage picture(size() * ratio, QImage::Format_RGB32);
    picture.setDevicePixelRatio(ratio);
    std::optional<FloatingPointFault> fault;
    try {
        QPainter imagePainter(&picture);
        imagePainter.setFont(plotFont());
        QPainterCanvas canvas(imagePainter);
        program_.plotter().paint(canvas, width(), height(), program_.form4());
    } catch (const FloatingPointFault& caught) {
        fault = caught;
    }
    if (!fault) lastGoodPicture_ = picture;
    QPainter painter(this);
    const QImage& shown = fault && !lastGoodPicture_.isNull() ? lastGoodPicture_ : picture;
    painter.fillRect(rect(), Qt::black);
    painter.drawImage(0, 0, shown);
    if (!fault) {
        paintFaultShown_ = false;
        return;
    }
    // The box is shown once, until new data, a key command or a paint that completes.
    if (std::exchange(paintFaultShown_, true)) return;
    throw *fault;
}

void TForm5::keyPressEvent(QKeyEvent* event) {
    const int keyCode = plotKeyCode(event->key(), event->modifiers());
    if (keyCode == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    program_.errorBox().run([this, keyCode] { FormKeyDown(keyCode); });
}

void TForm5::FormKeyDown(int keyCode) {
    // A key whose arithmetic faults throws here and leaves the view as it was.
    if (!program_.plotter().keyDown(keyCode, program_.form4())) return;
    paintFaultShown_ = false;
    update();
    program_.showWindow(*this);
}

void TForm5::contextMenuEvent(QContextMenuEvent* event) {
    PopupMenu1->popup(event->globalPos());
}

// The outcome goes to the log, with every other message of the plotter; a floating-point
// fault of the paint escapes to the error box, and then nothing is written.
void TForm5::Salvarimagem1Click() {
    if (!SaveDialog1->execute()) return;
    const std::string path = QFile::encodeName(SaveDialog1->fileName()).toStdString();
    AnalysisLog& log = program_.log();
    switch (savePlotImage(program_.plotter(), program_.form4(), path, width(), height())) {
        case ImageSaveStatus::Saved:
            log.print("Imagem salva no arquivo %s", path.c_str());
            break;
        case ImageSaveStatus::UnknownFormat:
            log.print("Imagem não salva: %s não termina em .png nem em .svg", path.c_str());
            break;
        case ImageSaveStatus::WriteFailed:
            log.print("Não foi possível gravar a imagem %s", path.c_str());
            break;
    }
}

void TForm5::showNewPlot() {
    paintFaultShown_ = false;
    program_.showWindow(*this);
    update();
}

}  // namespace corvane::ui
