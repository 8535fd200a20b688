// The plot's drawing operations on a QPainter: the plot window paints through it, and so
// does the image export, so both show the same picture.
#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPen>
#include <vector>

#include "plot_canvas.h"

namespace corvane::render {

/// The plot window's font: "MS Sans Serif" 8 points (11 pixels), or the nearest the
/// system has.
QFont plotFont();

class QPainterCanvas : public PlotCanvas {
public:
    /// Draws with `painter`, which must be active for as long as the canvas is used.
    explicit QPainterCanvas(QPainter& painter);

    void fillRectangle(int left, int top, int right, int bottom, Colour colour) override;
    void setPen(Colour colour, PenStyle style) override;
    void drawLine(int xa, int ya, int xb, int yb) override;
    void drawOutline(int left, int top, int right, int bottom, Colour colour) override;
    int textWidth(std::string_view text) override;
    void drawText(int left, int top, std::string_view text, Colour colour,
                  Colour background) override;

private:
    const QPen& penFor(Colour colour, PenStyle style);

    struct CachedPen {
        Colour colour;
        PenStyle style;
        QPen pen;
    };

    QPainter& painter_;
    /// Pens are built once per colour and style: building one costs more than a line.
    std::vector<CachedPen> pens_;
    QPen linePen_;
    Colour penColour_;
    PenStyle penStyle_ = PenStyle::Solid;
};

}  // namespace corvane::render
