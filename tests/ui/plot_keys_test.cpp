// Covers the translation of Qt key presses into the plot window's keys.
#include "plot_keys.h"

#include <gtest/gtest.h>

#include "view_keys.h"

namespace corvane::ui {
namespace {

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
