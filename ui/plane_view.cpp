#include "plane_view.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include "error_box.h"
#include "plot_keys.h"
#include "plot_list.h"

namespace corvane::ui {

namespace {

constexpr int CursorLineHeight = 20;
// A press that moves less than this is not a drag.
constexpr double DragSlack = 3.0;

}  // namespace

PlaneArea::PlaneArea(QWidget* parent, PlaneViewWindow& form)
    : CanvasArea(parent,
                 [&form](PlotCanvas& canvas, int width, int height) {
                     form.paintOn(canvas, width, height);
                 }),
      form_(form) {}

// A drag moves the picture with the pointer.
void PlaneArea::mouseMoveEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    if (dragFrom_ && (event->buttons() & Qt::LeftButton)) {
        const QPointF moved = at - *dragFrom_;
        if (std::abs(moved.x()) + std::abs(moved.y()) >= DragSlack) {
            form_.panBy(moved.x(), moved.y());
            dragFrom_ = at;
        }
    }
    form_.showCursorAt(at.x(), at.y());
    QWidget::mouseMoveEvent(event);
}

void PlaneArea::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) dragFrom_ = event->position();
    QWidget::mousePressEvent(event);
}

void PlaneArea::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) dragFrom_.reset();
    QWidget::mouseReleaseEvent(event);
}

// One notch up zooms in by two about the pointer, as the wheel over the frequency plot.
void PlaneArea::wheelEvent(QWheelEvent* event) {
    wheelAngle_ += event->angleDelta().y();
    const int steps = wheelAngle_ / 120;
    wheelAngle_ -= steps * 120;
    if (steps != 0) form_.zoomAt(event->position().x(), event->position().y(), steps);
    event->accept();
}

void PlaneArea::leaveEvent(QEvent* event) {
    form_.showCursorAt(-1, -1);
    QWidget::leaveEvent(event);
}

bool runPlaneKey(const QKeyEvent& event, ErrorBox& errors, const std::function<void(int)>& command) {
    int keyCode = plotKeyCode(event.key(), event.modifiers());
    if (keyCode == 0 && event.key() == Qt::Key_F) keyCode = 'F';
    if (keyCode == 0) return false;
    errors.run([&command, keyCode] { command(keyCode); });
    return true;
}

void applyPlaneKey(int keyCode, PlaneRegion& region, QWidget& plot,
                   const std::function<void()>& fit) {
    if (keyCode == 'F') {
        fit();
        return;
    }
    if (const std::optional<PlaneRegion> moved = planeKey(keyCode, region)) {
        region = *moved;
        plot.update();
    }
}

void layOutPlaneView(const QWidget& window, QWidget& plot, QLabel& cursorLine, int top) {
    const int plotHeight = std::max(0, window.height() - top - CursorLineHeight);
    plot.setGeometry(0, top, window.width(), plotHeight);
    cursorLine.setGeometry(8, top + plotHeight + 2, std::max(0, window.width() - 16),
                           CursorLineHeight - 4);
}

ImageSaveMenu addPlaneImageMenu(QWidget* window, const QString& defaultName, ErrorBox& errors,
                                std::function<void(render::ImageBackground)> save) {
    const ImageSaveMenu menu = addImageSaveMenu(window, defaultName);
    QObject::connect(menu.saveImage, &QAction::triggered, window,
                     errors.command([save] { save(render::ImageBackground::Dark); }));
    QObject::connect(menu.saveLightImage, &QAction::triggered, window,
                     errors.command([save] { save(render::ImageBackground::Light); }));
    return menu;
}

std::vector<std::string> filesOfList(const std::string& listText) {
    std::vector<std::string> read;
    for (const std::string& line : splitListLines(listText)) {
        if (line.empty() || isCommentLine(line)) continue;
        read.push_back(line);
        if (const std::size_t mark = line.rfind('#'); mark != std::string::npos && mark > 0)
            read.push_back(line.substr(0, mark));
    }
    return read;
}

}  // namespace corvane::ui
