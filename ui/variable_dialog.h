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

    /// The numbers of the selected variables, in the order of the list.
    std::vector<int> chosenNumbers() const;
};

/// Shows the list; the numbers of the chosen variables, or nothing when the user cancelled.
using VariableChooser =
    std::function<std::optional<std::vector<int>>(QWidget* parent, const VariableChoice&)>;

/// The toolkit's modal VariableDialog.
std::optional<std::vector<int>> chooseVariables(QWidget* parent, const VariableChoice& choice);

}  // namespace corvane::ui
