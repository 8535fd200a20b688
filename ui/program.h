// The program: its five windows, the log, the host through which the analysis reaches the
// windows, the one Analysis and the one Plotter of the whole run of the program, all alive
// from start to end. The windows reach each other and the analysis through it.
#pragma once

#include <QIcon>
#include <QTranslator>

#include <functional>

#include "analysis.h"
#include "analysis_log.h"
#include "corvane1.h"
#include "corvane2.h"
#include "corvane3.h"
#include "corvane4.h"
#include "corvane5.h"
#include "corvane6.h"
#include "error_box.h"
#include "plotter.h"
#include "window_host.h"

namespace corvane::ui {

class Program {
public:
    /// Program start after the application object: sets the application title, creates
    /// the five windows in the order TForm1 .. TForm5, all hidden, and connects the log to
    /// Memo1 of the main window.
    Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    /// Shows the main window, and only it.
    void start();

    /// Ends the program with exit status 0: a run waiting for its options ends, and the
    /// event loop returns.
    void quit();

    /// Shows a window without modality and brings it to the front.
    void showWindow(QWidget& window);

    /// Wraps a handler of the windows so that a failure escaping it is shown in the error
    /// box and the program goes on. Every command, button handler and paint goes through
    /// it.
    template <class Handler>
    auto command(Handler handler) {
        return [this, handler] { errorBox_.run(handler); };
    }

    TForm1& form1() { return form1_; }
    TForm2& form2() { return form2_; }
    TForm3& form3() { return form3_; }
    TForm4& form4() { return form4_; }
    TForm5& form5() { return form5_; }
    TForm6& form6() { return form6_; }
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

    void useMemoryForMinorsFromEnvironment();

    ApplicationSetup setup_;
    ErrorBox errorBox_;
    AnalysisLog log_;
    Plotter plotter_{log_};
    TForm1 form1_{*this};
    TForm2 form2_{*this};
    TForm3 form3_{*this};
    TForm4 form4_{*this};
    TForm5 form5_{*this};
    TForm6 form6_{*this};
    WindowHost host_{*this};
    Analysis analysis_{host_, log_};
};

/// The program's icon, which every window carries.
QIcon programIcon();

/// Called once the main window is shown, before the event loop runs (tests and the
/// screenshot tool drive the program from here).
using StartHook = std::function<void(Program&)>;

/// The whole program: checks that a display is there, creates the application object,
/// keeps numbers with "." whatever the locale, starts the windows and runs the event loop
/// until the main window is closed or "Sair". Returns the exit status: 0, or 1 when no
/// display is available.
int runProgram(int argc, char** argv, const StartHook& started = {});

}  // namespace corvane::ui
