// Covers the QPainter canvas of the plot: exact pixels of fills, outlines and lines, the
// opaque text box, and the translation of Qt key presses into the plot window's keys.
#include "painter_canvas.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>

#include "plotter.h"

namespace corvane::ui {
namespace {

// Text measurement needs the toolkit's fonts.
class PainterCanvasTest : public ::testing::Test {
protected:
    char name_[5] = "test";
    char option_[10] = "-platform";
    char platform_[10] = "offscreen";
    char* argv_[4] = {name_, option_, platform_, nullptr};
    int argc_ = 3;
    QGuiApplication application_{argc_, argv_};
    QImage image_{40, 30, QImage::Format_RGB32};
};

TEST_F(PainterCanvasTest, DrawsExactPixels) {
    QPainter painter(&image_);
    QPainterCanvas canvas(painter);
    canvas.fillRectangle(0, 0, 40, 30, Black);
    canvas.drawOutline(2, 3, 12, 9, White);
    canvas.setPen(Red, PenStyle::Solid);
    canvas.drawLine(20, 5, 30, 5);
    canvas.fillRectangle(5, 5, 3, 3, Green);  // empty: right before left
    painter.end();
    const QRgb white = qRgb(255, 255, 255);
    EXPECT_EQ(image_.pixel(2, 3), white);
    EXPECT_EQ(image_.pixel(11, 3), white);
    EXPECT_EQ(image_.pixel(2, 8), white);
    EXPECT_EQ(image_.pixel(11, 8), white);
    EXPECT_EQ(image_.pixel(12, 3), qRgb(0, 0, 0));
    EXPECT_EQ(image_.pixel(2, 9), qRgb(0, 0, 0));
    EXPECT_EQ(image_.pixel(5, 5), qRgb(0, 0, 0));
    for (int x = 20; x <= 30; ++x)
        EXPECT_EQ(image_.pixel(x, 5), qRgb(255, 0, 0)) << x;
}

TEST_F(PainterCanvasTest, TextSitsOnAnOpaqueBox) {
    QPainter painter(&image_);
    painter.setFont(plotFont());
    QPainterCanvas canvas(painter);
    canvas.fillRectangle(0, 0, 40, 30, White);
    const int width = canvas.textWidth("dB");
    EXPECT_GT(width, 5);
    EXPECT_GT(canvas.textWidth("dBdB"), width);
    canvas.drawText(1, 1, "dB", Green, Black);
    // Lines after a text keep their own pen.
    canvas.setPen(Red, PenStyle::Solid);
    canvas.drawText(1, 15, "x", Green, Black);
    canvas.drawLine(0, 28, 39, 28);
    painter.end();
    EXPECT_EQ(image_.pixel(1, 1), qRgb(0, 0, 0));
    EXPECT_EQ(image_.pixel(width, 2), qRgb(0, 0, 0));
    EXPECT_EQ(image_.pixel(width + 1, 2), qRgb(255, 255, 255));
    EXPECT_EQ(image_.pixel(20, 28), qRgb(255, 0, 0));
}

TEST(PlotKeyCodeTest, TranslatesQtKeys) {
    EXPECT_EQ(plotKeyCode(Qt::Key_Left, Qt::NoModifier), KeyLeft);
    EXPECT_EQ(plotKeyCode(Qt::Key_Up, Qt::KeypadModifier), KeyUp);
    EXPECT_EQ(plotKeyCode(Qt::Key_Right, Qt::NoModifier), 39);
    EXPECT_EQ(plotKeyCode(Qt::Key_Down, Qt::NoModifier), 40);
    EXPECT_EQ(plotKeyCode(Qt::Key_A, Qt::ShiftModifier), 65);
    EXPECT_EQ(plotKeyCode(Qt::Key_R, Qt::NoModifier), 82);
    EXPECT_EQ(plotKeyCode(Qt::Key_Plus, Qt::KeypadModifier), 107);
    EXPECT_EQ(plotKeyCode(Qt::Key_Minus, Qt::KeypadModifier), 109);
    EXPECT_EQ(plotKeyCode(Qt::Key_Plus, Qt::NoModifier), KeyKeypadPlus);
    EXPECT_EQ(plotKeyCode(Qt::Key_Plus, Qt::ShiftModifier), KeyKeypadPlus);
    EXPECT_EQ(plotKeyCode(Qt::Key_Equal, Qt::NoModifier), KeyKeypadPlus);
    EXPECT_EQ(plotKeyCode(Qt::Key_Minus, Qt::NoModifier), KeyKeypadMinus);
    EXPECT_EQ(plotKeyCode(Qt::Key_Minus, Qt::ShiftModifier), KeyKeypadMinus);
    EXPECT_EQ(plotKeyCode(Qt::Key_B, Qt::NoModifier), 0);
    EXPECT_EQ(plotKeyCode(Qt::Key_Enter, Qt::KeypadModifier), 0);
}

}  // namespace
}  // namespace corvane::ui
