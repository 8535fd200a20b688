#include "painter_canvas.h"

#include <QFontMetrics>
#include <QString>
#include <QStringList>

#include "plotter.h"

namespace corvane::ui {

namespace {

QColor toQColor(Colour colour) {
    return QColor(colour.red, colour.green, colour.blue);
}

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QPen makePen(Colour colour, PenStyle style) {
    QPen pen(toQColor(colour), 0, style == PenStyle::Dotted ? Qt::DotLine : Qt::SolidLine);
    return pen;
}

}  // namespace

// Plus and minus of the main keyboard zoom as the keypad's do (laptops have no keypad),
// and so does "=", plus without its shift on most layouts.
int plotKeyCode(int qtKey, Qt::KeyboardModifiers) {
    switch (qtKey) {
        case Qt::Key_Left:
            return KeyLeft;
        case Qt::Key_Up:
            return KeyUp;
        case Qt::Key_Right:
            return KeyRight;
        case Qt::Key_Down:
            return KeyDown;
        case Qt::Key_A:
            return KeyA;
        case Qt::Key_R:
            return KeyR;
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            return KeyKeypadPlus;
        case Qt::Key_Minus:
            return KeyKeypadMinus;
        default:
            return 0;
    }
}

QFont plotFont() {
    QFont font;
    font.setFamilies(QStringList{"MS Sans Serif", "DejaVu Sans", "Liberation Sans"});
    font.setPixelSize(11);
    return font;
}

QPainterCanvas::QPainterCanvas(QPainter& painter)
    : painter_(painter), linePen_(makePen(White, PenStyle::Solid)), penColour_(White) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setPen(linePen_);
}

void QPainterCanvas::fillRectangle(int left, int top, int right, int bottom, Colour colour) {
    if (right <= left || bottom <= top) return;
    painter_.fillRect(left, top, right - left, bottom - top, toQColor(colour));
}

// The curves change the pen three times per point.
void QPainterCanvas::setPen(Colour colour, PenStyle style) {
    if (colour == penColour_ && style == penStyle_) return;
    penColour_ = colour;
    penStyle_ = style;
    linePen_ = penFor(colour, style);
    painter_.setPen(linePen_);
}

const QPen& QPainterCanvas::penFor(Colour colour, PenStyle style) {
    for (const CachedPen& cached : pens_) {
        if (cached.colour == colour && cached.style == style) return cached.pen;
    }
    pens_.push_back({colour, style, makePen(colour, style)});
    return pens_.back().pen;
}

void QPainterCanvas::drawLine(int xa, int ya, int xb, int yb) {
    painter_.drawLine(xa, ya, xb, yb);
}

// Four filled strips give exactly the pixels of the outline, whatever the pen.
void QPainterCanvas::drawOutline(int left, int top, int right, int bottom, Colour colour) {
    if (right <= left || bottom <= top) return;
    const QColor c = toQColor(colour);
    const int width = right - left;
    const int height = bottom - top;
    painter_.fillRect(left, top, width, 1, c);
    painter_.fillRect(left, bottom - 1, width, 1, c);
    painter_.fillRect(left, top, 1, height, c);
    painter_.fillRect(right - 1, top, 1, height, c);
}

int QPainterCanvas::textWidth(std::string_view text) {
    return painter_.fontMetrics().horizontalAdvance(toQString(text));
}

void QPainterCanvas::drawText(int left, int top, std::string_view text, Colour colour,
                              Colour background) {
    const QString string = toQString(text);
    const QFontMetrics metrics = painter_.fontMetrics();
    painter_.fillRect(left, top, metrics.horizontalAdvance(string), metrics.height(),
                      toQColor(background));
    painter_.setPen(toQColor(colour));
    painter_.drawText(left, top + metrics.ascent(), string);
    painter_.setPen(linePen_);
}

}  // namespace corvane::ui
