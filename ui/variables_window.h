// The variables window "Variáveis" (object name Form3): the variables of the last circuit,
// of which the user selects those whose numerators are listed, and "Listar resultados",
// which lists the last run's results again with the current selection.
#pragma once

#include <QWidget>

class QListWidget;
class QPushButton;

namespace corvane {
class Analysis;
}

namespace corvane::ui {

class ErrorBox;

class VariablesWindow : public QWidget {
public:
    VariablesWindow(ErrorBox& errorBox, Analysis& analysis);

    QListWidget* LBsel;
    QPushButton* Button1;

    /// "Listar resultados". The window stays open.
    void Button1Click();

private:
    Analysis& analysis_;
};

}  // namespace corvane::ui
