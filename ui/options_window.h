// The options window "Análise" (object name Form2): the options of the analysis and "Aplicar",
// which hands them to the waiting run. The check boxes are read by the run when it needs them;
// Edisp is read once, by "Aplicar". The controls keep their state from run to run.
#pragma once

#include <QSize>
#include <QWidget>

#include <optional>

#include "analysis_options.h"

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
    /// Reads circuits past the netlist format's 25 variables and 200 elements, and solves
    /// those past 25 variables with the exact engine; takes effect at the next Abrir.
    QCheckBox* CBsemlimites;
    QLabel* Label1;
    QLineEdit* Edisp;
    QPushButton* Button1;
    /// The symbolic analysis after the numeric listing, and the elements kept symbolic
    /// (names separated by commas or blanks; empty: every element).
    QCheckBox* CBsimbolica;
    QLabel* Label2;
    QLineEdit* Esimbolos;
    /// The thermal noise of the resistors at one output. Checking it opens the boxes below
    /// the other options; unchecked, the window is as small as it always was.
    QCheckBox* CBruido;
    QLabel* Label3;
    QLineEdit* Esaida;
    QLabel* Label4;
    QLineEdit* Eentrada;
    QLabel* Label5;
    QLineEdit* Etemperatura;
    QLabel* Label6;
    QLineEdit* Efrequencia;
    QLabel* Label7;
    QLineEdit* Efaixa1;
    QLineEdit* Efaixa2;

    /// The noise options as the last "Aplicar" read them (not enabled before one).
    const NoiseSettings& appliedNoise() const { return appliedNoise_; }

    /// "Aplicar": hides both parameter windows and lets the waiting run go on with the
    /// dispersion read from Edisp.
    void Button1Click();

    /// The window's outer size with the noise boxes closed, as it always was.
    static constexpr QSize OuterSize{289, 215};
    /// The rows of the noise boxes, below the other options.
    static constexpr int NoiseRowsTop = 180;
    static constexpr int NoiseRowHeight = 24;
    static constexpr int NoiseBoxesHeight = 5 * NoiseRowHeight + 8;

    /// The window's tool tip: how to give the analysis more memory for minors.
    static const QString MemoryHint;

protected:
    /// Closing the window with its own close control while a run waits ends that run.
    void closeEvent(QCloseEvent* event) override;

private:
    /// Logs each name of Esimbolos that no value of the circuit has, while "Análise
    /// simbólica" is checked; true when there was one.
    bool namesNoValue() const;
    void addNoiseControls();
    /// The noise boxes read and checked against the circuit, while "Análise de ruído" is
    /// checked; empty, with the log naming the box, when one does not fit.
    std::optional<NoiseSettings> readNoiseBoxes() const;
    void showNoiseBoxes(bool shown);

    AnalysisLog& log_;
    Analysis& analysis_;
    WindowHost& host_;
    Windows& windows_;
    NoiseSettings appliedNoise_;
};

}  // namespace corvane::ui
