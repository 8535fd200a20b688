#include "canvas_area.h"

#include <QPainter>

#include "painter_canvas.h"

namespace corvane::ui {

CanvasArea::CanvasArea(QWidget* parent, Paint paint) : QWidget(parent), paint_(std::move(paint)) {
    setObjectName(QStringLiteral("Grafico"));
    // Every paint covers the whole surface.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void CanvasArea::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(render::plotFont());
    render::QPainterCanvas canvas(painter);
    paint_(canvas, width(), height());
}

}  // namespace corvane::ui
