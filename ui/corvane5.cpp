#include "corvane5.h"

#include "window_style.h"

namespace corvane::ui {

TForm5::TForm5(Program& program) : program_(program) {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Resposta em frequência"));
    setFont(windowFont());
    setAttribute(Qt::WA_QuitOnClose, false);
    placeWindow(*this, {864, 316}, {696, 480});
}

}  // namespace corvane::ui
