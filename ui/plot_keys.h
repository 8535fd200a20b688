// The plot window's keys: which Qt key presses move and zoom the plot.
#pragma once

#include <Qt>

namespace corvane::ui {

/// The plot window's key code (PlotKey) of a Qt key press: the arrows, A and R in either
/// case, and plus and minus only from the numeric keypad. 0 for every other key.
int plotKeyCode(int qtKey, Qt::KeyboardModifiers modifiers);

}  // namespace corvane::ui
