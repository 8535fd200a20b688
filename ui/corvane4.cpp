#include "corvane4.h"

#include "window_style.h"

namespace corvane::ui {

TForm4::TForm4(Program& program) : program_(program) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Resposta em frequência - Arquivos"));
    setFont(windowFont());
    setAttribute(Qt::WA_QuitOnClose, false);
    centreWindow(*this, {684, 445});
}

}  // namespace corvane::ui
