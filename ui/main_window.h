// The main window (object name Form1): the log, the menu and the open dialog. "Abrir" runs
// an analysis of the chosen netlist; the log shows everything the analysis and the plotter
// print.
#pragma once

#include <QMainWindow>

#include <functional>
#include <string_view>

class QAction;
class QCloseEvent;
class QMenu;
class QMenuBar;
class QPlainTextEdit;

namespace corvane {
class Analysis;
enum class RunOutcome;
}

namespace corvane::ui {

class ErrorBox;
class OpenDialog;
class Windows;

class MainWindow : public QMainWindow {
public:
    /// `endProgram` ends the program with exit status 0; the windows of the menu are found
    /// in `windows` when they are opened.
    MainWindow(ErrorBox& errorBox, Analysis& analysis, Windows& windows,
               std::function<void()> endProgram);

    QMenuBar* MainMenu1;
    QMenu* Arquivo1;
    QAction* Abrir1;
    QAction* Sair1;
    OpenDialog* OpenDialog1;
    QPlainTextEdit* Memo1;
    QMenu* Opes1;
    QAction* Anlise1;
    QAction* Grfico1;
    /// "Tolerâncias": the histograms of the last Monte Carlo; enabled by the first run
    /// with tolerances.
    QAction* Tolerancias1;

    /// "Abrir": asks for a netlist and analyses it. Refused while a run is under way.
    void Abrir1Click();
    /// "Sair": ends the program at once, with exit status 0.
    void Sair1Click();
    /// "Variáveis": shows the variables window.
    void Anlise1Click();
    /// "Gráficos": shows the plotter's file list window.
    void Grfico1Click();

    /// Appends one line at the end of the log and brings it into view.
    void appendLogLine(std::string_view line);

protected:
    /// Closing the main window ends the program, also while a run waits for its options.
    void closeEvent(QCloseEvent* event) override;

private:
    void listStepFamily(RunOutcome outcome);
    void showToleranceHistograms(RunOutcome outcome);

    Analysis& analysis_;
    Windows& windows_;
    std::function<void()> endProgram_;
};

}  // namespace corvane::ui
