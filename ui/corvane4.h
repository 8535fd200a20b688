// TForm4, the plotter's file list window "Resposta em frequência - Arquivos", opened by
// "Gráficos" at any time. Memo1 holds the list of result files in pairs (numerator, then
// denominator); the edit boxes hold the plot's ranges and segment count, read only by
// "Plotar"; the check boxes are read by the plot window at every paint and key. All of them
// keep their contents for as long as the program runs.
#pragma once

#include <QWidget>

#include <array>
#include <utility>
#include <vector>

#include "plot_hosts.h"
#include "variable_dialog.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QResizeEvent;

namespace corvane::ui {

class OpenDialog;
class Program;

class TForm4 : public QWidget, public PlotListHost, public PlotCheckBoxes {
public:
    explicit TForm4(Program& program);

    QPlainTextEdit* Memo1;
    QPushButton* Button1;
    QLabel* Label1;
    QLineEdit* Ewmin;
    QLabel* Label2;
    QLineEdit* Ewmax;
    QLabel* Label4;
    QLineEdit* Egmin;
    QLabel* Label3;
    QLineEdit* Egmax;
    QLabel* Label6;
    QLineEdit* Efmin;
    QLabel* Label5;
    QLineEdit* Efmax;
    QLabel* Label7;
    QLineEdit* Eamin;
    QLabel* Label8;
    QLineEdit* Eamax;
    QLabel* Label9;
    QLineEdit* Esegmentos;
    QCheckBox* CBhz;
    QCheckBox* CBlog;
    QCheckBox* CBgrade;
    QCheckBox* CBfase;
    QCheckBox* CBtg;
    QCheckBox* CBfasecontinua;
    QCheckBox* CBlegenda;
    QCheckBox* CBcores;
    QPushButton* Button2;
    QPushButton* Button3;
    QPushButton* Button4;
    QPushButton* Button5;
    QLabel* Label10;
    OpenDialog* OpenDialog1;

    /// "Adicionar": asks for a numerator file and appends it and its denominator file to
    /// the list.
    void Button1Click();
    /// "Plotar": reads the parameters and every listed file, then shows the plot window.
    void Button2Click();
    /// "Ajustar": writes ranges fitted to the listed curves into the edit boxes (the
    /// segment count stays), then plots as "Plotar" does.
    void Button3Click();
    /// "Tempo": reads every listed file, as "Plotar" does, and shows the responses in time.
    void Button4Click();
    /// "Adicionar variável...": offers the variables of the last analysis (or of the run of
    /// the last numerator file added), each with its numerator file, and appends the pair of
    /// files of every one chosen.
    void Button5Click();

    /// The list shown by "Adicionar variável..." (tests answer it without a modal dialog).
    void setVariableChooser(VariableChooser chooser) { variableChooser_ = std::move(chooser); }

    // The plot list as "Adicionar" and "Plotar" use it.
    std::string editText(PlotEditBox box) const override;
    std::string listText() const override;
    void appendListLine(std::string_view line) override;
    std::optional<std::string> chooseNumeratorFile() override;
    void hidePlotWindow() override;
    void showPlotWindow() override;

    // The check boxes as the plot window reads them.
    bool hz() const override;
    bool logarithmic() const override;
    void uncheckLogarithmic() override;
    bool grid() const override;
    bool shows(PlotQuantity quantity) const override;
    bool continuousPhase() const override;
    bool legend() const override;
    bool coloursPerCurve() const override;

    /// The edit box `box`, one of the boxes above.
    QLineEdit* editBox(PlotEditBox box) const;

protected:
    /// The list grows with the window; the controls to its right move with its right edge.
    void resizeEvent(QResizeEvent* event) override;

private:
    // Where the window was laid out, and the controls to the right of the list there.
    QSize laidOutSize_;
    std::vector<std::pair<QWidget*, QPoint>> rightColumn_;
    // Built from the table of the plot's edit boxes and quantities, in their order.
    std::array<QLineEdit*, PlotEditBoxCount> editBoxes_{};
    std::array<QLabel*, PlotEditBoxCount> editLabels_{};
    std::array<QCheckBox*, PlotQuantityCount> quantityBoxes_{};
    VariableChooser variableChooser_ = chooseVariables;

    Program& program_;
};

}  // namespace corvane::ui
