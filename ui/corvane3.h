// TForm3, the variables window "Variáveis": the variables of the last circuit, of which the
// user selects those whose numerators are listed, and "Listar resultados", which lists the
// last run's results again with the current selection.
#pragma once

#include <QWidget>

class QListWidget;
class QPushButton;

namespace corvane::ui {

class Program;

class TForm3 : public QWidget {
public:
    explicit TForm3(Program& program);

    QListWidget* LBsel;
    QPushButton* Button1;

    /// "Listar resultados". The window stays open.
    void Button1Click();

private:
    Program& program_;
};

}  // namespace corvane::ui
