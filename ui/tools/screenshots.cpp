// Takes the pictures of the windows shown in the README: the main window at start, the
// options and variables windows during the wait of an analysis, the log with the results,
// and the plotter's two windows with the responses of two of the result files. Run by
// scripts/screenshots.sh under a virtual X server:
//
//   corvane-screenshots OUTPUT_FOLDER NETLIST
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QColor>
#include <QDir>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <optional>

#include "frequency_plot_window.h"
#include "main_window.h"
#include "open_dialog.h"
#include "options_window.h"
#include "plot_list_window.h"
#include "program.h"
#include "stability_plot_window.h"
#include "time_plot_window.h"
#include "tolerance_window.h"
#include "variables_window.h"
#include "window_table.h"

namespace {

using corvane::ui::Program;
using corvane::ui::Windows;
namespace ui = corvane::ui;

QString outputFolder;

void save(const QPixmap& picture, const char* name) {
    const QString path = QDir(outputFolder).filePath(QString::fromLatin1(name));
    if (!picture.save(path)) std::fprintf(stderr, "could not write %s\n", qPrintable(path));
}

// The windows as they lie on the screen, over a plain desktop: the virtual X server has
// no window manager, hence no frames, and its bare root window is black.
QPixmap arrangement(std::initializer_list<QWidget*> windows) {
    QRect area;
    for (QWidget* window : windows)
        area |= window->geometry();
    area.adjust(-8, -8, 8, 8);
    QPixmap picture(area.size());
    picture.fill(QColor(0x5a, 0x6e, 0x7f));
    QPainter painter(&picture);
    painter.setPen(QColor(0x20, 0x20, 0x20));
    for (QWidget* window : windows) {
        const QRect place = window->geometry().translated(-area.topLeft());
        painter.drawPixmap(place.topLeft(), window->grab());
        painter.drawRect(place.adjusted(-1, -1, 0, 0));
    }
    return picture;
}

// Runs `step` once the event loop has painted what the previous step changed.
void later(std::function<void()> step) {
    QTimer::singleShot(300, step);
}

// After the run under way has ended: a Monte Carlo may take longer than one pause.
void afterTheRun(Program& program, std::function<void()> step) {
    later([&program, step = std::move(step)] {
        if (program.analysis().running())
            afterTheRun(program, step);
        else
            step();
    });
}

void selectVariables(Windows& windows, std::initializer_list<int> rows) {
    for (const int row : rows) {
        if (QListWidgetItem* entry = windows.get<ui::VariablesWindow>().LBsel->item(row))
            entry->setSelected(true);
    }
}

// The netlist's path without ".net": the result files are named after it.
QString baseNameOf(const QString& netlist) {
    return netlist.endsWith(QStringLiteral(".net")) ? netlist.chopped(4) : netlist;
}

void scrollLogToEnd(Windows& windows) {
    QScrollBar* bar = windows.get<ui::MainWindow>().Memo1->verticalScrollBar();
    bar->setValue(bar->maximum());
}

// A click on the plot (a marker) and the pointer resting beside it (the cursor line).
void pictureTheCursor(QWidget& plot) {
    auto mouse = [&plot](QEvent::Type type, QPointF at, Qt::MouseButton button,
                         Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, plot.mapToGlobal(at), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(&plot, &event);
    };
    const QPointF marker(330, 120);
    mouse(QEvent::MouseButtonPress, marker, Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, marker, Qt::LeftButton, Qt::NoButton);
    mouse(QEvent::MouseMove, {420, 150}, Qt::NoButton, Qt::NoButton);
    QApplication::processEvents();
    save(plot.grab(), "grafico-cursor.png");
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&plot, &leave);
}

// The pointer resting on the plot surface of `window`, at a share of its size.
void restPointer(ui::StabilityPlotWindow& window, double across, double down) {
    QWidget& area = *window.Grafico;
    const QPointF at(area.width() * across, area.height() * down);
    QMouseEvent event(QEvent::MouseMove, at, area.mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&area, &event);
}

// A second analysis with a step of R2 and the tolerances of the elements: the options
// window with their boxes open, then the histograms of the Monte Carlo.
void pictureTheVariations(Program& program, Windows& windows) {
    later([&program, &windows] {
        selectVariables(windows, {3});
        ui::OptionsWindow& options = windows.get<ui::OptionsWindow>();
        options.CBpolos->setChecked(false);
        options.CBvarrer->setChecked(true);
        options.Eelemento->setText("R2");
        options.Evalores->setText("1;2;4");
        options.CBtolerancia->setChecked(true);
        options.Etolerancias->setText("R=1% C=5%");
        options.Esemente->setText("1");
        later([&program, &windows] {
            save(windows.get<ui::OptionsWindow>().grab(), "opcoes-variacao.png");
            windows.get<ui::OptionsWindow>().Button1->click();
            afterTheRun(program, [&program, &windows] {
                save(windows.get<ui::ToleranceWindow>().grab(), "tolerancias.png");
                program.quit();
            });
        });
    });
    windows.get<ui::MainWindow>().Abrir1->trigger();
}

// The Nyquist and Nichols windows of the listed curves, each with its cursor line.
void pictureTheStabilityViews(Program& program, Windows& windows) {
    windows.get<ui::PlotListWindow>().viewButton("Button7")->click();
    later([&program, &windows] {
        restPointer(windows.get<ui::NyquistWindow>(), 0.55, 0.7);
        save(windows.get<ui::NyquistWindow>().grab(), "nyquist.png");
        windows.get<ui::PlotListWindow>().viewButton("Button8")->click();
        later([&program, &windows] {
            restPointer(windows.get<ui::NicholsWindow>(), 0.5, 0.3);
            save(windows.get<ui::NicholsWindow>().grab(), "nichols.png");
            pictureTheVariations(program, windows);
        });
    });
}

// Lists the numerators `names` (their denominators follow by the naming rule), plots them
// and photographs both plot windows.
void pictureThePlot(Program& program, Windows& windows, const QStringList& names) {
    auto pending = std::make_shared<QStringList>(names);
    windows.get<ui::PlotListWindow>().OpenDialog1->setChooser(
        [pending](QWidget*, const corvane::ui::OpenDialogRequest&) -> std::optional<QString> {
            if (pending->isEmpty()) return std::nullopt;
            return pending->takeFirst();
        });
    windows.get<ui::MainWindow>().Grfico1->trigger();
    for (qsizetype i = 0; i < names.size(); ++i)
        windows.get<ui::PlotListWindow>().Button1->click();
    windows.get<ui::PlotListWindow>().viewButton("Button2")->click();
    later([&program, &windows] {
        save(windows.get<ui::PlotListWindow>().grab(), "lista-de-graficos.png");
        save(windows.get<ui::FrequencyPlotWindow>().grab(), "grafico.png");
        pictureTheCursor(windows.get<ui::FrequencyPlotWindow>());
        windows.get<ui::PlotListWindow>().viewButton("Button4")->click();
        later([&program, &windows] {
            save(windows.get<ui::TimePlotWindow>().grab(), "tempo.png");
            pictureTheStabilityViews(program, windows);
        });
    });
}

void takePictures(Program& program, Windows& windows, const QString& netlist) {
    windows.get<ui::MainWindow>().OpenDialog1->setChooser(
        [netlist](QWidget*, const corvane::ui::OpenDialogRequest&) { return netlist; });
    // The output voltage and the voltage of node a.
    const QString base = baseNameOf(netlist);
    const QStringList numerators = {base + ".n4", base + ".n2"};
    later([&program, &windows, numerators] {
        save(windows.get<ui::MainWindow>().grab(), "janela-principal.png");
        // The options wait runs inside "Abrir"; the next steps run inside that wait.
        later([&program, &windows, numerators] {
            selectVariables(windows, {3});
            windows.get<ui::OptionsWindow>().CBpolos->setChecked(true);
            later([&program, &windows, numerators] {
                save(arrangement({&windows.get<ui::MainWindow>(), &windows.get<ui::OptionsWindow>(),
                                  &windows.get<ui::VariablesWindow>()}),
                     "janelas-de-analise.png");
                save(windows.get<ui::OptionsWindow>().grab(), "opcoes.png");
                save(windows.get<ui::VariablesWindow>().grab(), "variaveis.png");
                windows.get<ui::OptionsWindow>().Button1->click();
                later([&program, &windows, numerators] {
                    scrollLogToEnd(windows);
                    later([&program, &windows, numerators] {
                        save(windows.get<ui::MainWindow>().grab(), "resultados.png");
                        pictureThePlot(program, windows, numerators);
                    });
                });
            });
        });
        windows.get<ui::MainWindow>().Abrir1->trigger();
    });
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER NETLIST\n", argv[0]);
        return 2;
    }
    outputFolder = QString::fromLocal8Bit(argv[1]);
    const QString netlist = QString::fromLocal8Bit(argv[2]);
    int programArgc = 1;
    return corvane::ui::runProgram(
        programArgc, argv, [&netlist](Program& program, Windows& windows) {
            takePictures(program, windows, netlist);
        });
}
