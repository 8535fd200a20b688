// The small list of "Adicionar variável...": the variables of one analysis run, each shown
// with its numerator file ("rc.n2 — v(saida)"), from which the user picks those to plot.
// The toolkit's modal dialog sits behind a chooser that tests replace.
#pragma once

#include <QDialog>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "result_variables.h"

class QDialogButtonBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace corvane::ui {

/// The run whose variables are offered: the stem of its result files and its variables.
struct VariableChoice {
    std::string stem;
    std::vector<ResultVariable> variables;
};

/// One row of the list: the numerator file's name without its folder, a dash and the
/// variable, "rc.n2 — v(saida)".
QString variableRowText(const std::string& stem, const ResultVariable& variable);

class VariableDialog : public QDialog {
public:
    VariableDialog(QWidget* parent, const VariableChoice& choice);

    QLabel* Label1;
    QListWidget* LBvariaveis;
    QDialogButtonBox* Buttons;

    /// "Substituir a lista": the chosen variables take the place of the listed curves.
    QPushButton* Bsubstituir;

    /// The numbers of the selected variables, in the order of the list.
    std::vector<int> chosenNumbers() const;
    /// Whether the dialog was closed by "Substituir a lista".
    bool replaces() const { return replaces_; }

private:
    bool replaces_ = false;
};

/// What the user picked: the variables' numbers, and whether they replace the list's curves
/// rather than follow them.
struct VariablePick {
    std::vector<int> numbers;
    bool replace = false;
};

/// Shows the list; the pick, or nothing when the user cancelled.
using VariableChooser =
    std::function<std::optional<VariablePick>(QWidget* parent, const VariableChoice&)>;

/// The toolkit's modal VariableDialog.
std::optional<VariablePick> chooseVariables(QWidget* parent, const VariableChoice& choice);

}  // namespace corvane::ui
