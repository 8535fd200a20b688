// The plot list window "Resposta em frequência - Arquivos" (object name Form4), opened by
// "Gráficos" at any time. Memo1 holds the list of result files in pairs (numerator, then
// denominator); the edit boxes hold the plot's ranges and segment count, read only by
// "Plotar"; the check boxes are read by the plot window at every paint and key. All of them
// keep their contents for as long as the program runs. The buttons of the plot views
// ("Plotar", "Tempo") come from the window table, each opening its view.
#pragma once

#include <QWidget>

#include <array>
#include <functional>
#include <string_view>
#include <set>
#include <utility>
#include <vector>

#include "plot_hosts.h"
#include "plot_view.h"
#include "variable_dialog.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QResizeEvent;

namespace corvane {
class Analysis;
class Plotter;
}

namespace corvane::ui {

class ErrorBox;
class OpenDialog;

class PlotListWindow : public QWidget, public PlotCheckBoxes {
public:
    /// `views` gives the buttons of the plot views and the window each opens.
    PlotListWindow(ErrorBox& errorBox, Plotter& plotter, Analysis& analysis,
                   PlotViewEntries views);

    QPlainTextEdit* Memo1;
    /// In Memo1's context menu: the list keeps only its opening comments.
    QAction* Limparlista1;
    /// In Memo1's context menu: the curve under the pointer leaves the list, its numerator
    /// and denominator lines together.
    QAction* Removercurva1;
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
    /// "Sem 1/s": at "Plotar", the curves of step runs as s·X(s), the transfer function.
    QCheckBox* CBsemdegrau;
    QPushButton* Button3;
    QPushButton* Button5;
    QLabel* Label10;
    /// Under the list: what stopped the last "Plotar", "Ajustar" or "Tempo" (a box, a list
    /// file), as the log has it, since the plot window may cover the log. Empty after one
    /// that went through.
    QLabel* Lmensagem;
    OpenDialog* OpenDialog1;

    /// "Adicionar": asks for a numerator file and appends it and its denominator file to
    /// the list.
    void Button1Click();
    /// "Ajustar": writes ranges fitted to the listed curves into the edit boxes (the
    /// segment count stays), then opens the view of the ranges as its button ("Plotar")
    /// does.
    void Button3Click();
    /// "Adicionar variável...": offers the variables of the last analysis (or of the run of
    /// the last numerator file added), each with its numerator file, and appends the pair of
    /// files of every one chosen, or puts them in place of the listed curves.
    void Button5Click();

    /// The list shown by "Adicionar variável..." (tests answer it without a modal dialog).
    void setVariableChooser(VariableChooser chooser) { variableChooser_ = std::move(chooser); }

    /// Appends the family of the step document at `path` to the list, as "Adicionar" does.
    void addStepFamily(const std::string& path);

    /// The button of the plot view named `objectName` ("Button2" is "Plotar", "Button4"
    /// "Tempo"); null when there is none.
    QPushButton* viewButton(std::string_view objectName) const;

    // The plot list as "Adicionar", "Plotar" and the views read it (PlotListReading).
    std::string editText(PlotEditBox box) const;
    std::string listText() const;
    void appendListLine(std::string_view line);
    /// "Limpar lista": the list keeps only the comment lines it starts with.
    void clearList();
    /// "Remover curva" for line `line` of the list (from 0); nothing when it is a comment.
    void removeCurveAtLine(int line);
    std::optional<std::string> chooseNumeratorFile();
    void showMessage(std::string_view message);
    bool withoutStep() const;

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
    // The view's button was pressed (or Enter in an edit box, or "Ajustar", for the view of
    // the ranges).
    void openView(std::size_t view);

    // Where the window was laid out, and the controls to the right of the list there.
    QSize laidOutSize_;
    std::vector<std::pair<QWidget*, QPoint>> rightColumn_;
    // Built from the table of the plot's edit boxes and quantities, in their order.
    std::array<QLineEdit*, PlotEditBoxCount> editBoxes_{};
    std::array<QLabel*, PlotEditBoxCount> editLabels_{};
    std::array<QCheckBox*, PlotQuantityCount> quantityBoxes_{};
    VariableChooser variableChooser_ = chooseVariables;
    PlotViewEntries views_;
    // The views already placed beside the list once.
    std::set<const QWidget*> placedViews_;
    std::vector<QPushButton*> viewButtons_;

    Plotter& plotter_;
    Analysis& analysis_;
};

/// The plot list as the plotter reads it. "Plotar" hands it the plot window to hide while
/// the list is read and to show once the curves are read; "Adicionar" and "Ajustar" show
/// no window.
class PlotListReading final : public PlotListHost {
public:
    explicit PlotListReading(PlotListWindow& list, std::function<void()> hideView = {},
                             std::function<void()> showView = {});

    std::string editText(PlotEditBox box) const override { return list_.editText(box); }
    std::string listText() const override { return list_.listText(); }
    void appendListLine(std::string_view line) override { list_.appendListLine(line); }
    std::optional<std::string> chooseNumeratorFile() override {
        return list_.chooseNumeratorFile();
    }
    bool withoutStep() const override { return list_.withoutStep(); }
    void hidePlotWindow() override;
    void showPlotWindow() override;
    void showMessage(std::string_view message) const override { list_.showMessage(message); }

private:
    PlotListWindow& list_;
    std::function<void()> hideView_;
    std::function<void()> showView_;
};

}  // namespace corvane::ui
