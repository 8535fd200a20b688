// The options window "Análise" (object name Form2): the options of the analysis and "Aplicar",
// which hands them to the waiting run. The check boxes are read by the run when it needs them;
// Edisp is read once, by "Aplicar". The controls keep their state from run to run.
#pragma once

#include <QWidget>

class QCheckBox;
class QCloseEvent;
class QLabel;
class QLineEdit;
class QPushButton;

namespace corvane {
class Analysis;
class AnalysisLog;
}

namespace corvane::ui {

class ErrorBox;
class WindowHost;
class Windows;

class OptionsWindow : public QWidget {
public:
    /// The variables window, hidden with this one by "Aplicar", is found in `windows`.
    OptionsWindow(ErrorBox& errorBox, AnalysisLog& log, Analysis& analysis, WindowHost& host,
                  Windows& windows);

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

    AnalysisLog& log_;
    Analysis& analysis_;
    WindowHost& host_;
    Windows& windows_;
};

}  // namespace corvane::ui
