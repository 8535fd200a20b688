// TForm2, the options window "Análise": the options of the analysis and "Aplicar", which
// hands them to the waiting run. The check boxes are read by the run when it needs them;
// Edisp is read once, by "Aplicar". The controls keep their state from run to run.
#pragma once

#include <QWidget>

class QCheckBox;
class QCloseEvent;
class QLabel;
class QLineEdit;
class QPushButton;

namespace corvane::ui {

class Program;

class TForm2 : public QWidget {
public:
    explicit TForm2(Program& program);

    QCheckBox* CBestampas;
    QCheckBox* CBnorm;
    QCheckBox* CBdetalhes;
    QCheckBox* CBpolos;
    /// The gains, the -3 dB band and the delay of each listed variable.
    QCheckBox* CBmedidas;
    QLabel* Label1;
    QLineEdit* Edisp;
    QPushButton* Button1;
    /// The symbolic analysis after the numeric listing, and the elements kept symbolic
    /// (names separated by commas or blanks; empty: every element).
    QCheckBox* CBsimbolica;
    QLabel* Label2;
    QLineEdit* Esimbolos;

    /// "Aplicar": hides both parameter windows and lets the waiting run go on with the
    /// dispersion read from Edisp.
    void Button1Click();

    /// The window's tool tip: how to give the analysis more memory for minors.
    static const QString MemoryHint;

protected:
    /// Closing the window with its own close control while a run waits ends that run.
    void closeEvent(QCloseEvent* event) override;

private:
    /// Logs each name of Esimbolos that no value of the circuit has, while "Análise
    /// simbólica" is checked; true when there was one.
    bool namesNoValue() const;

    Program& program_;
};

}  // namespace corvane::ui
