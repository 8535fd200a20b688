#include "frequency_plot_window.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFile>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <utility>

#include "c_locale.h"
#include "floating_point.h"
#include "image_saving.h"
#include "open_dialog.h"
#include "painter_canvas.h"
#include "plot_frame.h"
#include "plot_image.h"
#include "plot_keys.h"
#include "error_box.h"
#include "plot_list_window.h"
#include "plotter.h"
#include "value_at.h"
#include "window_style.h"

namespace corvane::ui {

FrequencyPlotWindow::FrequencyPlotWindow(ErrorBox& errorBox, Plotter& plotter,
                                         AnalysisLog& log, PlotListWindow& list)
    : errorBox_(errorBox), plotter_(plotter), log_(log), list_(list) {
    setUpSecondaryWindow(*this, "Form5", QStringLiteral("Resposta em frequência"));
    // Every paint covers the whole client area.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);

    const ImageSaveMenu imageMenu = addImageSaveMenu(this, QStringLiteral("resposta.png"));
    PopupMenu1 = imageMenu.menu;
    Salvarimagem1 = imageMenu.saveImage;
    SaveDialog1 = imageMenu.dialog;
    connect(Salvarimagem1, &QAction::triggered, this,
            errorBox.command([this] { Salvarimagem1Click(); }));

    Lcursor = new QLabel(this);
    Lcursor->setObjectName(QStringLiteral("Lcursor"));
    Lcursor->setFont(render::plotFont());
    Lcursor->setAutoFillBackground(true);
    QPalette palette = Lcursor->palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, Qt::white);
    Lcursor->setPalette(palette);
    Lcursor->hide();

    // Over the top left corner of the frame, where the curves leave room more often than
    // not; the box shows only when asked for (V or the context menu), the label only while
    // it has something to say, so that the plot is the plot's alone until then.
    Eem = new QLineEdit(this);
    Eem->setObjectName(QStringLiteral("Eem"));
    Eem->setGeometry(LeftMargin + 4, TopMargin + 4, 130, 20);
    Eem->setToolTip(QStringLiteral("Uma frequência (com os sufixos do netlist: 1k, 2.5MEG) e "
                                   "Enter: o ganho, a fase e o atraso exatos de cada curva ali"));
    Lvalor = new QLabel(this);
    Lvalor->setObjectName(QStringLiteral("Lvalor"));
    Lvalor->setFont(render::plotFont());
    Lvalor->setAutoFillBackground(true);
    Lvalor->setPalette(palette);
    Lvalor->setMargin(3);
    Lvalor->hide();
    Eem->hide();
    Valorem1 = PopupMenu1->addAction(QStringLiteral("Valor numa frequência..."));
    Valorem1->setObjectName(QStringLiteral("Valorem1"));
    Valorem1->setShortcut(QKeySequence(Qt::Key_V));
    connect(Valorem1, &QAction::triggered, this, [this] { openValueBox(); });
    connect(Eem, &QLineEdit::returnPressed, this, errorBox.command([this] { EemEnter(); }));
    showValueBoxUnit();
    // Moves without a button pressed read the curves too.
    setMouseTracking(true);

    placeWindow(*this, {864, 316}, {696, 480});
}

// The strip below the frame, where the frequency labels stand: the pointer is over the
// plot while the line shows, and the line names the frequency itself.
void FrequencyPlotWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Lcursor->setGeometry(0, height() - BottomMargin + 1, width(), BottomMargin - 1);
}

void FrequencyPlotWindow::showCursorAt(QPointF at) {
    const std::optional<std::string> line =
        plotter_.cursorLine(at.x(), at.y(), width(), height(), list_);
    if (!line) {
        Lcursor->hide();
        return;
    }
    Lcursor->setText(QString::fromStdString(*line));
    Lcursor->show();
}

void FrequencyPlotWindow::leaveEvent(QEvent* event) {
    Lcursor->hide();
    QWidget::leaveEvent(event);
}

void FrequencyPlotWindow::paintEvent(QPaintEvent*) {
    errorBox_.run([this] { FormPaint(); });
}

// The plot is drawn on an image first: when a floating-point fault ends the paint, the
// window shows the last picture that was drawn whole instead (or, when there is none,
// what was drawn up to the fault).
void FrequencyPlotWindow::FormPaint() {
    const qreal ratio = devicePixelRatioF();
    QImage picture(size() * ratio, QImage::Format_RGB32);
    picture.setDevicePixelRatio(ratio);
    std::optional<FloatingPointFault> fault;
    try {
        QPainter imagePainter(&picture);
        imagePainter.setFont(render::plotFont());
        render::QPainterCanvas canvas(imagePainter);
        plotter_.paint(canvas, width(), height(), list_);
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

void FrequencyPlotWindow::keyPressEvent(QKeyEvent* event) {
    // F fits the ranges to the curves, as "Ajustar" of the plot list window.
    if (event->key() == Qt::Key_F && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        errorBox_.run([this] { list_.Button3Click(); });
        return;
    }
    // V opens the box of a value at one frequency.
    if (event->key() == Qt::Key_V && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        openValueBox();
        return;
    }
    // M clears the markers.
    if (event->key() == Qt::Key_M && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        plotter_.clearMarkers();
        update();
        return;
    }
    const int keyCode = plotKeyCode(event->key(), event->modifiers());
    if (keyCode == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    errorBox_.run([this, keyCode] { FormKeyDown(keyCode); });
}

void FrequencyPlotWindow::FormKeyDown(int keyCode) {
    // A key whose arithmetic faults throws here and leaves the view as it was.
    if (!plotter_.keyDown(keyCode, list_)) return;
    paintFaultShown_ = false;
    update();
    showWindow(*this);
}

double FrequencyPlotWindow::frameFraction(double x) const {
    const double left = LeftMargin;
    const double right = width() - RightMargin;
    if (right <= left) return 0.5;
    return std::clamp((x - left) / (right - left), 0.0, 1.0);
}

void FrequencyPlotWindow::viewChanged() {
    paintFaultShown_ = false;
    update();
}

// One notch (120 eighths of a degree) up halves the frequency range about the pointer,
// as A does about the lower limit; down doubles it.
void FrequencyPlotWindow::wheelEvent(QWheelEvent* event) {
    event->accept();
    if (!plotter_.plotReady()) return;
    wheelAngle_ += event->angleDelta().y();
    const int steps = wheelAngle_ / 120;
    if (steps == 0) return;
    wheelAngle_ -= steps * 120;
    const double fraction = frameFraction(event->position().x());
    errorBox_.run([this, fraction, steps] {
        plotter_.zoomFrequencyAt(fraction, steps, list_);
        viewChanged();
    });
}

void FrequencyPlotWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    dragX_ = event->position().x();
    pressAt_ = event->position();
    dragging_ = false;
}

// The curves follow the pointer: a drag to the right shows lower frequencies. A move of a
// few pixels with the button down is still a click, which leaves a marker.
void FrequencyPlotWindow::mouseMoveEvent(QMouseEvent* event) {
    constexpr double ClickSlack = 3;
    if (!dragX_ || !(event->buttons() & Qt::LeftButton) || !plotter_.plotReady()) {
        errorBox_.run([this, at = event->position()] { showCursorAt(at); });
        QWidget::mouseMoveEvent(event);
        return;
    }
    const double x = event->position().x();
    if (!dragging_ && pressAt_ && std::abs(x - pressAt_->x()) < ClickSlack) return;
    dragging_ = true;
    const double span = width() - RightMargin - LeftMargin;
    if (span <= 0 || x == *dragX_) return;
    const double fraction = (x - *dragX_) / span;
    dragX_ = x;
    errorBox_.run([this, fraction, at = event->position()] {
        plotter_.panFrequency(fraction, list_);
        viewChanged();
        showCursorAt(at);
    });
}

void FrequencyPlotWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const bool click = pressAt_ && !dragging_;
        dragX_.reset();
        pressAt_.reset();
        dragging_ = false;
        if (click && plotter_.plotReady()) {
            errorBox_.run([this, at = event->position()] {
                if (plotter_.placeMarker(at.x(), at.y(), width(), height(),
                                                   list_)) {
                    update();
                }
            });
        }
    }
    QWidget::mouseReleaseEvent(event);
}

void FrequencyPlotWindow::contextMenuEvent(QContextMenuEvent* event) {
    PopupMenu1->popup(event->globalPos());
}

// The outcome goes to the log, with every other message of the plotter; a floating-point
// fault of the paint escapes to the error box, and then nothing is written.
void FrequencyPlotWindow::Salvarimagem1Click() {
    if (!SaveDialog1->execute()) return;
    const std::string path = QFile::encodeName(SaveDialog1->fileName()).toStdString();
    if (!imageSparesInputs(log_, path, plotter_)) return;
    const render::ImageSaveStatus status =
        render::savePlotImage(plotter_, list_, path, width(), height());
    logImageSave(log_, status, path);
}

namespace {

// The log's line "Curva 1 em ω = …: ganho …, fase …, atraso …" folded after the place, so
// that it fits the plot beside the legend, twenty curves one under another.
QStringList panelLines(const QString& line) {
    const qsizetype colon = line.indexOf(QStringLiteral(": "));
    if (colon < 0) return {line};
    return {line.left(colon + 1), QStringLiteral("  ") + line.mid(colon + 2)};
}

}  // namespace

void FrequencyPlotWindow::showValueBoxUnit() {
    Eem->setPlaceholderText(list_.hz() ? QStringLiteral("Valor em (Hz)")
                                       : QStringLiteral("Valor em (rad/s)"));
}

void FrequencyPlotWindow::checkBoxesChanged() {
    showValueBoxUnit();
    refreshValues();
    update();
}

void FrequencyPlotWindow::openValueBox() {
    Eem->show();
    Eem->setFocus();
    Eem->selectAll();
}

// Empty, Enter closes the box and gives the keys back to the plot.
void FrequencyPlotWindow::EemEnter() {
    if (Eem->text().trimmed().isEmpty()) {
        Lvalor->hide();
        Eem->hide();
        setFocus();
        return;
    }
    showValues(true);
}

void FrequencyPlotWindow::showValues(bool logged) {
    // The numbers read and written as in the log everywhere: "." whatever the locale.
    ScopedCLocale locale;
    const std::string text = Eem->text().trimmed().toStdString();
    const std::optional<double> w = parseFrequency(text);
    QStringList lines;
    if (!w) {
        std::string refusal = "Valor inválido em \"Valor em\": ";
        refusal += text;
        if (logged) log_.print("%s", refusal.c_str());
        lines << QString::fromStdString(refusal);
    } else if (!plotter_.plotReady()) {
        lines << QStringLiteral("Nada plotado ainda");
    } else {
        for (int k = 1; k <= plotter_.curveCount(); ++k) {
            const std::string line =
                valueAtLine(k, plotter_.curves()[static_cast<std::size_t>(k)], *w, list_.hz());
            if (logged) log_.print("%s", line.c_str());
            lines << panelLines(QString::fromStdString(line));
        }
    }
    Lvalor->setText(lines.join(QLatin1Char('\n')));
    Lvalor->adjustSize();
    Lvalor->move(Eem->x(), Eem->y() + Eem->height() + 2);
    Lvalor->show();
}

void FrequencyPlotWindow::refreshValues() {
    if (Lvalor->isVisible()) showValues(false);
}

void FrequencyPlotWindow::showNewPlot() {
    refreshValues();
    paintFaultShown_ = false;
    showWindow(*this);
    update();
}

// The window hides while the list is read, and shows only when every curve was read.
void FrequencyPlotWindow::openFrom(PlotListWindow& list) {
    PlotListReading reading(list, [this] { hide(); }, [this] { showNewPlot(); });
    plotter_.plot(reading);
}

}  // namespace corvane::ui
