// The analysis host of the windows: what a run needs of them (the options of the options
// window, the variables list and "Listar resultados" of the variables window, the
// "Variáveis" menu item of the main window) and the parameter wait, a nested event loop
// that sleeps until an event arrives. The progress dialog and its "Cancelar" serve the
// expansion and the symbolic analysis alike.
#pragma once

#include <memory>

#include "analysis_host.h"

class QEventLoop;
class QProgressDialog;

namespace corvane::ui {

class MainWindow;
class OptionsWindow;
class Program;
class VariablesWindow;
class Windows;

class WindowHost : public AnalysisHost {
public:
    explicit WindowHost(Program& program);
    ~WindowHost() override;
    WindowHost(const WindowHost&) = delete;
    WindowHost& operator=(const WindowHost&) = delete;

    /// The check boxes and the symbols of the options window, the selection of the
    /// variables list, as they stand.
    AnalysisOptions options() const override;
    void clearVariableList() override;
    void addVariable(std::string_view name) override;
    void enableListResults(bool enabled) override;
    void enableVariablesMenu() override;
    void showParameterWindows() override;

    /// Runs the window events until "Aplicar", the close of the options window or the end
    /// of the program ends the wait; the CPU stays idle meanwhile. Cancelled when the
    /// options window was closed or the program is ending.
    WaitStatus processPendingEvents() override;

    /// The progress dialog "ProgressoAnalise" over the main window, application-modal,
    /// with "Cancelar"; the window events are processed here, between stretches of the
    /// expansion.
    ProgressStatus showProgress(double fraction) override;
    /// "Cancelar" was pressed or the program is ending.
    bool cancelRequested() const override;
    void endProgress() override;

    /// "Aplicar" was pressed: the run looks at its parameters again.
    void endWait();
    /// The options window was closed with its own close control: a waiting run ends.
    void cancelWait();
    /// The program is ending: a waiting run ends, and any later wait ends at once.
    void quit();

    bool waiting() const { return wait_ != nullptr; }

    /// The windows the host reads and changes; none while they do not exist. The progress
    /// dialog, a child of the main window, goes with the windows it was shown over.
    void attach(Windows* windows);

private:
    void wake();
    MainWindow& mainWindow() const;
    OptionsWindow& optionsWindow() const;
    VariablesWindow& variablesWindow() const;

    Program& program_;
    Windows* windows_ = nullptr;
    QEventLoop* wait_ = nullptr;
    bool woken_ = false;
    bool cancelled_ = false;
    bool quitting_ = false;
    std::unique_ptr<QProgressDialog> progress_;
    bool progressCancelled_ = false;
};

}  // namespace corvane::ui
