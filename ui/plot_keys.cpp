#include "plot_keys.h"

#include "plotter.h"

namespace corvane::ui {

int plotKeyCode(int qtKey, Qt::KeyboardModifiers modifiers) {
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
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
            return keypad ? KeyKeypadPlus : 0;
        case Qt::Key_Minus:
            return keypad ? KeyKeypadMinus : 0;
        default:
            return 0;
    }
}

}  // namespace corvane::ui
