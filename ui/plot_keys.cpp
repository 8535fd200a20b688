#include "plot_keys.h"

#include "view_keys.h"

namespace corvane::ui {

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

}  // namespace corvane::ui
