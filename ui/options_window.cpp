#include "options_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <optional>
#include <string>
#include <vector>

#include "c_locale.h"
#include "number_text.h"
#include "analysis.h"
#include "error_box.h"
#include "variables_window.h"
#include "window_host.h"
#include "window_table.h"
#include "symbolic_system.h"
#include "window_style.h"

namespace corvane::ui {

const QString OptionsWindow::MemoryHint = QStringLiteral(
    "Se o log avisar que a memória para menores se esgotou, a análise pode demorar muito: "
    "inicie o programa com CORVANE_MEMORIA_CACHE=4096 (em MiB; o padrão é 2048) para lhe dar "
    "mais memória.");

OptionsWindow::OptionsWindow(ErrorBox& errorBox, AnalysisLog& log, Analysis& analysis,
                             WindowHost& host, Windows& windows)
    : log_(log), analysis_(analysis), host_(host), windows_(windows) {
    setUpSecondaryWindow(*this, "Form2", QStringLiteral("Análise"));

    CBestampas =
        addCheckBox(this, "CBestampas", QStringLiteral("Listar estampas"), {8, 8, 97, 17}, false);
    CBnorm = addCheckBox(this, "CBnorm", QStringLiteral("Normalizar polinômios"), {8, 32, 129, 17},
                         true);
    CBdetalhes =
        addCheckBox(this, "CBdetalhes", QStringLiteral("Listar detalhes"), {8, 56, 97, 17}, false);
    CBpolos = addCheckBox(this, "CBpolos", QStringLiteral("Listar polos e zeros"),
                          {8, 76, 129, 17}, false);

    Label1 = new QLabel(QStringLiteral("Dispersão de coeficientes"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(8, 104);
    Label1->adjustSize();

    Edisp = new QLineEdit(QStringLiteral("1e9"), this);
    Edisp->setObjectName(QStringLiteral("Edisp"));
    Edisp->setGeometry(144, 96, 121, 21);

    Button1 = new QPushButton(QStringLiteral("Aplicar"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(192, 128, 75, 25);

    setTabOrder(Button1, CBestampas);
    setTabOrder(CBestampas, CBnorm);
    setTabOrder(CBnorm, Edisp);
    setTabOrder(Edisp, CBdetalhes);
    setTabOrder(CBdetalhes, CBpolos);

    CBsimbolica = addCheckBox(this, "CBsimbolica", QStringLiteral("Análise simbólica"),
                              {144, 8, 121, 17}, false);
    Label2 = new QLabel(QStringLiteral("Símbolos"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->move(144, 32);
    Label2->adjustSize();
    Esimbolos = new QLineEdit(this);
    Esimbolos->setObjectName(QStringLiteral("Esimbolos"));
    Esimbolos->setGeometry(144, 50, 121, 21);
    Esimbolos->setToolTip(QStringLiteral("Elementos que ficam simbólicos, separados por vírgulas "
                                         "ou espaços; vazio: todos"));
    setTabOrder(CBpolos, CBsimbolica);
    setTabOrder(CBsimbolica, Esimbolos);
    CBmedidas = addCheckBox(this, "CBmedidas", QStringLiteral("Listar medidas"),
                            {144, 76, 121, 17}, false);
    setTabOrder(Esimbolos, CBmedidas);
    Button1->setFocus();

    connect(Button1, &QPushButton::clicked, this, errorBox.command([this] { Button1Click(); }));
    // Typing the dispersion and pressing Enter applies it, as a dialog's default button would.
    connect(Edisp, &QLineEdit::returnPressed, Button1, &QPushButton::click);

    placeWindow(*this, {219, 196}, {289, 195});
    setToolTip(MemoryHint);
}

// A dispersion that is not a number, or that is zero, is named in the log and the run keeps
// waiting, with the windows open for the user to mend it.
void OptionsWindow::Button1Click() {
    const std::string text = Edisp->text().toStdString();
    const std::optional<double> dispersion = parseDispersion(text);
    if (!dispersion) {
        log_.print("Valor inválido em \"Dispersão de coeficientes\": %s", text.c_str());
        return;
    }
    if (namesNoValue()) return;
    hide();
    windows_.get<VariablesWindow>().hide();
    analysis_.applyParameters(*dispersion);
    host_.endWait();
}

// The symbols are checked against the circuit the run has read, so that a name that
// names nothing is mended before the expansion rather than ending the run after it.
bool OptionsWindow::namesNoValue() const {
    if (!CBsimbolica->isChecked()) return false;
    const symbolic::SymbolSelection selection{
        symbolic::splitSymbolList(Esimbolos->text().toStdString())};
    const std::vector<std::string> unknown =
        symbolic::assembleSymbolicSystem(analysis_.runState(), selection).unknownNames;
    for (const std::string& name : unknown)
        log_.print("Símbolos: nenhum valor do circuito se chama %s", name.c_str());
    return !unknown.empty();
}

void OptionsWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    host_.cancelWait();
}

}  // namespace corvane::ui
