// The plot surface of a plot window: a widget named "Grafico" that paints what its window
// draws on a canvas, at its own size, and follows the pointer without a button pressed.
// Each window's surface adds what the pointer does there.
#pragma once

#include <QWidget>

#include <functional>

#include "plot_canvas.h"

class QPaintEvent;

namespace corvane::ui {

class CanvasArea : public QWidget {
public:
    using Paint = std::function<void(PlotCanvas& canvas, int width, int height)>;

    CanvasArea(QWidget* parent, Paint paint);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Paint paint_;
};

}  // namespace corvane::ui
