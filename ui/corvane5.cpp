#include "corvane5.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "floating_point.h"
#include "open_dialog.h"
#include "painter_canvas.h"
#include "plot_frame.h"
#include "plot_image.h"
#include "plot_keys.h"
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
        imagePainter.setFont(render::plotFont());
        render::QPainterCanvas canvas(imagePainter);
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
    // F fits the ranges to the curves, as "Ajustar" of the plot list window.
    if (event->key() == Qt::Key_F && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        program_.errorBox().run([this] { program_.form4().Button3Click(); });
        return;
    }
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

double TForm5::frameFraction(double x) const {
    const double left = LeftMargin;
    const double right = width() - RightMargin;
    if (right <= left) return 0.5;
    return std::clamp((x - left) / (right - left), 0.0, 1.0);
}

void TForm5::viewChanged() {
    paintFaultShown_ = false;
    update();
}

// One notch (120 eighths of a degree) up halves the frequency range about the pointer,
// as A does about the lower limit; down doubles it.
void TForm5::wheelEvent(QWheelEvent* event) {
    event->accept();
    if (!program_.plotter().plotReady()) return;
    wheelAngle_ += event->angleDelta().y();
    const int steps = wheelAngle_ / 120;
    if (steps == 0) return;
    wheelAngle_ -= steps * 120;
    const double fraction = frameFraction(event->position().x());
    program_.errorBox().run([this, fraction, steps] {
        program_.plotter().zoomFrequencyAt(fraction, steps, program_.form4());
        viewChanged();
    });
}

void TForm5::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    dragX_ = event->position().x();
}

// The curves follow the pointer: a drag to the right shows lower frequencies.
void TForm5::mouseMoveEvent(QMouseEvent* event) {
    if (!dragX_ || !(event->buttons() & Qt::LeftButton) || !program_.plotter().plotReady()) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    const double x = event->position().x();
    const double span = width() - RightMargin - LeftMargin;
    if (span <= 0 || x == *dragX_) return;
    const double fraction = (x - *dragX_) / span;
    dragX_ = x;
    program_.errorBox().run([this, fraction] {
        program_.plotter().panFrequency(fraction, program_.form4());
        viewChanged();
    });
}

void TForm5::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) dragX_.reset();
    QWidget::mouseReleaseEvent(event);
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
    switch (render::savePlotImage(program_.plotter(), program_.form4(), path, width(), height())) {
        case render::ImageSaveStatus::Saved:
            log.print("Imagem salva no arquivo %s", path.c_str());
            break;
        case render::ImageSaveStatus::UnknownFormat:
            log.print("Imagem não salva: %s não termina em .png nem em .svg", path.c_str());
            break;
        case render::ImageSaveStatus::WriteFailed:
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
