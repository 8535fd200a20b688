// The options window "Análise" (object name Form2): the options of the analysis and "Aplicar",
// which hands them to the waiting run. The check boxes are read by the run when it needs them;
// Edisp is read once, by "Aplicar". The controls keep their state from run to run.
#pragma once

#include <QSize>
#include <QWidget>

#include <initializer_list>
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
    /// One element's value stepped over a list or a range after the analysis. Checking it
    /// opens the boxes of the element and of the values below the other options.
    QCheckBox* CBvarrer;
    QLabel* Label9;
    QLineEdit* Eelemento;
    QLabel* Label10;
    QLineEdit* Evalores;
    QLabel* Label11;
    QLineEdit* Ede;
    QLineEdit* Eate;
    QLabel* Label12;
    QLineEdit* Epontos;
    QCheckBox* CBlog;
    /// The tolerances of the elements, a Monte Carlo run over them and the worst case.
    /// Checking it opens the boxes of the rules, the number of circuits and the seed.
    QCheckBox* CBtolerancia;
    QLabel* Label13;
    QLineEdit* Etolerancias;
    QLabel* Label14;
    QLineEdit* Ecircuitos;
    QCheckBox* CBgauss;
    QLabel* Label15;
    QLineEdit* Esemente;

    /// The noise options as the last "Aplicar" read them (not enabled before one).
    const NoiseSettings& appliedNoise() const { return appliedNoise_; }
    /// The loop gain's source as the last "Aplicar" read it (not enabled before one).
    const LoopSettings& appliedLoop() const { return appliedLoop_; }
    /// The step as the last "Aplicar" read it (not enabled before one).
    const StepSettings& appliedStep() const { return appliedStep_; }
    /// The tolerances as the last "Aplicar" read them (not enabled before one).
    const ToleranceSettings& appliedTolerance() const { return appliedTolerance_; }

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
    /// The rows of the step's boxes: the element, the list, the range and its points.
    static constexpr int StepRows = 4;
    /// The rows of the tolerances' boxes: the rules, the circuits and the seed.
    static constexpr int ToleranceRows = 3;

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
    void addStepControls();
    /// The step read and checked against the circuit, while "Varrer um valor" is checked;
    /// empty, with the log naming the box, when one does not fit.
    std::optional<StepSettings> readStepBoxes() const;
    std::optional<std::vector<double>> readStepValues() const;
    std::optional<std::vector<double>> readStepRange() const;
    void addToleranceControls();
    /// The tolerances read and checked against the circuit, while "Tolerâncias" is
    /// checked; empty, with the log naming the box, when one does not fit.
    std::optional<ToleranceSettings> readToleranceBoxes() const;
    /// Shows the boxes of the checked options, one section below the other in the order
    /// they were added (the loop's row first), and sizes the window.
    void layOutOpenedBoxes();

    /// The boxes a check box opens, with their tops as if theirs were the first section.
    struct OpenedSection {
        QCheckBox* check;
        int rows;
        std::vector<std::pair<QWidget*, int>> controls;
    };
    void addSection(QCheckBox* check, int rows, std::initializer_list<QWidget*> controls);

    AnalysisLog& log_;
    Analysis& analysis_;
    WindowHost& host_;
    Windows& windows_;
    NoiseSettings appliedNoise_;
    LoopSettings appliedLoop_;
    StepSettings appliedStep_;
    ToleranceSettings appliedTolerance_;
    std::vector<OpenedSection> sections_;
};

}  // namespace corvane::ui
