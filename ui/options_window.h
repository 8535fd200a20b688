// The options window "Análise" (object name Form2): the options of the analysis and "Aplicar",
// which hands them to the waiting run. The check boxes are read by the run when it needs them;
// Edisp is read once, by "Aplicar". The controls keep their state from run to run.
#pragma once

#include <QSize>
#include <QWidget>

#include <optional>
#include <utility>
#include <vector>

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
    /// The loop gain of one controlled source or op-amp with finite gain. Checking it opens
    /// the box of the source below the other options.
    QCheckBox* CBmalha;
    QLabel* Label8;
    QLineEdit* Emalha;

    /// The noise options as the last "Aplicar" read them (not enabled before one).
    const NoiseSettings& appliedNoise() const { return appliedNoise_; }
    /// The loop gain's source as the last "Aplicar" read it (not enabled before one).
    const LoopSettings& appliedLoop() const { return appliedLoop_; }

    /// "Aplicar": hides both parameter windows and lets the waiting run go on with the
    /// dispersion read from Edisp.
    void Button1Click();

    /// The window's outer size with the noise and loop boxes closed: the rows of the check
    /// boxes, one for "Ganho de malha" and one for "Sem limites de tamanho".
    static constexpr QSize OuterSize{289, 243};
    /// The rows of the opened boxes, below the other options: the loop's source first,
    /// then the noise's.
    static constexpr int NoiseRowsTop = 208;
    static constexpr int NoiseRowHeight = 24;
    static constexpr int NoiseBoxesHeight = 5 * NoiseRowHeight + 8;
    static constexpr int LoopBoxHeight = NoiseRowHeight + 8;

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
    void addLoopControls();
    /// The source read and checked against the circuit, while "Ganho de malha" is checked;
    /// empty, with the log naming the box, when it does not fit.
    std::optional<LoopSettings> readLoopBox() const;
    /// Shows the boxes of the checked options, the loop's row first, and sizes the window.
    void layOutOpenedBoxes();

    AnalysisLog& log_;
    Analysis& analysis_;
    WindowHost& host_;
    Windows& windows_;
    NoiseSettings appliedNoise_;
    LoopSettings appliedLoop_;
    /// The noise's controls and their tops with the loop's row closed.
    std::vector<std::pair<QWidget*, int>> noiseRows_;
};

}  // namespace corvane::ui
