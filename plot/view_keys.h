// The key commands of the plot windows, shared by the frequency and the time plot: which
// keys move and zoom a view, as the window system's virtual-key codes.
#pragma once

namespace corvane {

/// Key codes of the plot windows' commands (the window system's virtual-key codes; the
/// letters in either case, plus and minus on the numeric keypad only).
enum PlotKey {
    KeyLeft = 37,
    KeyUp = 38,
    KeyRight = 39,
    KeyDown = 40,
    KeyA = 65,
    KeyR = 82,
    KeyKeypadPlus = 107,
    KeyKeypadMinus = 109,
};

}  // namespace corvane
