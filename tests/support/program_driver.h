// Drives the program's windows in a test: the open dialog answers from a queue, the error
// box records its title and text instead of showing a modal box, and "Abrir" can run a
// step inside the parameter wait (as a person pressing "Aplicar" would).
#pragma once

#include <QtTest/qtestcase.h>
#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QListWidget>
#include <QEvent>
#include <QObject>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QTextBlock>
#include <QTimer>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "frequency_plot_window.h"
#include "main_window.h"
#include "open_dialog.h"
#include "options_window.h"
#include "plot_list_window.h"
#include "program.h"
#include "time_plot_window.h"
#include "variables_window.h"
#include "window_table.h"

namespace corvane::test {

struct ShownBox {
    QString title;
    QString text;
};

// Runs a step once, right after `window` has been shown and control is back in an event
// loop: for the options window, that loop is the run's parameter wait.
class OnShow : public QObject {
public:
    OnShow(QWidget& window, std::function<void()> step, QObject* parent = nullptr)
        : QObject(parent), step_(std::move(step)) {
        if (step_) window.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && step_) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, std::exchange(step_, {}));
        }
        return false;
    }

private:
    std::function<void()> step_;
};

class ProgramDriver {
public:
    static constexpr int WaitLimitMs = 20000;

    ProgramDriver() {
        program.errorBox().setPresenter([this](const QString& title, const QString& text) {
            boxes.push_back({title, text});
        });
        mainWindow().OpenDialog1->setChooser(
            [this](QWidget*, const ui::OpenDialogRequest& request) -> std::optional<QString> {
                requests.push_back(request);
                if (answers.empty()) return std::nullopt;
                const bool confirmed = answers.front().has_value();
                const QString path = answers.front().value_or(QString());
                answers.pop_front();
                if (!confirmed) return std::nullopt;
                return path;
            });
        windows.start();
    }

    /// "Abrir" with the dialog answering `answer` (nothing: cancelled). `duringWait` runs
    /// inside the run's parameter wait, once the options window is shown.
    void open(std::optional<QString> answer, std::function<void()> duringWait = {}) {
        answers.push_back(std::move(answer));
        OnShow step(optionsWindow(), std::move(duringWait));
        // A wait that nothing ends would hang the test: end it as the program's end would,
        // and fail.
        bool stuck = false;
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [this, &stuck] {
            stuck = program.host().waiting();
            program.host().quit();
        });
        watchdog.start(WaitLimitMs);
        mainWindow().Abrir1->trigger();
        if (stuck) QTest::qFail("the run was still waiting for its options", __FILE__, __LINE__);
    }

    void open(const std::string& path, std::function<void()> duringWait = {}) {
        open(std::optional<QString>(QString::fromStdString(path)), std::move(duringWait));
    }

    /// "Abrir", then "Aplicar" as soon as the run waits for its options.
    void openAndApply(const std::string& path, std::function<void()> beforeApplying = {}) {
        open(path, [this, beforeApplying] {
            if (beforeApplying) beforeApplying();
            if (optionsWindow().isVisible()) optionsWindow().Button1->click();
        });
    }

    ui::MainWindow& mainWindow() { return windows.get<ui::MainWindow>(); }
    ui::OptionsWindow& optionsWindow() { return windows.get<ui::OptionsWindow>(); }
    ui::VariablesWindow& variablesWindow() { return windows.get<ui::VariablesWindow>(); }
    ui::PlotListWindow& plotListWindow() { return windows.get<ui::PlotListWindow>(); }
    ui::FrequencyPlotWindow& frequencyPlotWindow() {
        return windows.get<ui::FrequencyPlotWindow>();
    }
    ui::TimePlotWindow& timePlotWindow() { return windows.get<ui::TimePlotWindow>(); }

    /// Selects the variable `name` in the variables window, as the user clicks it.
    void selectVariable(const QString& name) {
        const QList<QListWidgetItem*> items =
            variablesWindow().LBsel->findItems(name, Qt::MatchExactly);
        QCOMPARE(items.size(), 1);
        items.front()->setSelected(true);
    }

    /// What "Aplicar" met with an analysis whose boxes do not fit.
    struct Refusal {
        /// The last line of the log right after "Aplicar".
        QString line;
        /// Whether the options window still showed and the run still waited then.
        bool stillWaiting = false;
    };

    /// Opens `path`; in the run's wait, checks `analysis` of the options window, lets `fill`
    /// type its boxes and presses "Aplicar". The analysis is then unchecked, so that the run
    /// goes on without it.
    Refusal applyRefused(const std::string& path, QCheckBox& analysis,
                         const std::function<void()>& fill) {
        Refusal refusal;
        openAndApply(path, [&] {
            analysis.setChecked(true);
            fill();
            optionsWindow().Button1->click();
            refusal.line = log().last();
            refusal.stillWaiting = optionsWindow().isVisible() && program.analysis().running();
            analysis.setChecked(false);
        });
        return refusal;
    }

    /// The log as a person reads it, one entry per line.
    QStringList log() {
        QStringList lines;
        const QTextDocument* text = mainWindow().Memo1->document();
        for (QTextBlock block = text->begin(); block.isValid(); block = block.next()) {
            lines << block.text();
        }
        return lines;
    }

    /// The lines logged since the log had `count` lines.
    QStringList logFrom(qsizetype count) { return log().mid(count); }

    /// Lets the event loop show the error boxes that are waiting.
    void processEvents() { QCoreApplication::processEvents(); }

    ui::Program program;
    ui::Windows windows{program};
    std::deque<std::optional<QString>> answers;
    std::vector<ui::OpenDialogRequest> requests;
    std::vector<ShownBox> boxes;
};

}  // namespace corvane::test
