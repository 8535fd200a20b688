// The program's services: the error box, the log, the one Plotter and the one Analysis of
// the whole run of the program, and the host through which the analysis reaches the
// windows, all alive from start to end. The windows are created from the window table
// (window_table.h), each handed the services it uses.
#pragma once

#include <QIcon>
#include <QTranslator>

#include <functional>

#include "analysis.h"
#include "analysis_log.h"
#include "error_box.h"
#include "plotter.h"
#include "window_host.h"
#include "window_table.h"

namespace corvane::ui {

class Program {
public:
    /// Program start after the application object: sets the application title and
    /// creates the services.
    Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    /// Ends the program with exit status 0: a run waiting for its options ends, and the
    /// event loop returns.
    void quit();

    /// CORVANE_MEMORIA_CACHE: the memory for minors of the analysis, or a warning in the
    /// log. Read once the log shows in the main window.
    void useMemoryForMinorsFromEnvironment();

    Analysis& analysis() { return analysis_; }
    WindowHost& host() { return host_; }
    ErrorBox& errorBox() { return errorBox_; }
    AnalysisLog& log() { return log_; }
    Plotter& plotter() { return plotter_; }

private:
    // Done before any window exists.
    struct ApplicationSetup {
        ApplicationSetup();
        QTranslator qtTranslations;
    };

    ApplicationSetup setup_;
    ErrorBox errorBox_;
    AnalysisLog log_;
    Plotter plotter_{log_};
    WindowHost host_{*this};
    Analysis analysis_{host_, log_};
};

/// The program's icon, which every window carries.
QIcon programIcon();

/// Called once the main window is shown, before the event loop runs (tests and the
/// screenshot tool drive the program from here).
using StartHook = std::function<void(Program&, Windows&)>;

/// The whole program: checks that a display is there, creates the application object,
/// keeps numbers with "." whatever the locale, starts the windows and runs the event loop
/// until the main window is closed or "Sair". Returns the exit status: 0, or 1 when no
/// display is available.
int runProgram(int argc, char** argv, const StartHook& started = {});

}  // namespace corvane::ui
