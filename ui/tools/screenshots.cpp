// Takes the pictures of the windows shown in the README: the main window at start, the
// options and variables windows during the wait of an analysis, and the log with the
// results. Run by scripts/screenshots.sh under a virtual X server:
//
//   corvane-screenshots OUTPUT_FOLDER NETLIST
#include <QAbstractButton>
#include <QDir>
#include <QGuiApplication>
#include <QListWidget>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>

#include <cstdio>

#include "open_dialog.h"
#include "program.h"

namespace {

using corvane::ui::Program;

QString outputFolder;

void save(const QPixmap& picture, const char* name) {
    const QString path = QDir(outputFolder).filePath(QString::fromLatin1(name));
    if (!picture.save(path)) std::fprintf(stderr, "could not write %s\n", qPrintable(path));
}

// The part of the screen that holds the given windows, as a person sees them.
QPixmap grabScreenAround(std::initializer_list<QWidget*> windows) {
    QRect area;
    for (QWidget* window : windows)
        area |= window->frameGeometry();
    return QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(),
                                                        area.height());
}

// Runs `step` once the event loop has painted what the previous step changed.
void later(std::function<void()> step) {
    QTimer::singleShot(300, step);
}

void selectVariables(Program& program, std::initializer_list<int> rows) {
    for (int row : rows) {
        if (QListWidgetItem* entry = program.form3().LBsel->item(row)) entry->setSelected(true);
    }
}

void scrollLogToEnd(Program& program) {
    QScrollBar* bar = program.form1().Memo1->verticalScrollBar();
    bar->setValue(bar->maximum());
}

void takePictures(Program& program, const QString& netlist) {
    program.form1().OpenDialog1->setChooser(
        [netlist](QWidget*, const corvane::ui::OpenDialogRequest&) { return netlist; });
    later([&program] {
        save(program.form1().grab(), "janela-principal.png");
        // The options wait runs inside "Abrir"; the next steps run inside that wait.
        later([&program] {
            selectVariables(program, {1});
            later([&program] {
                save(grabScreenAround({&program.form1(), &program.form2(), &program.form3()}),
                     "janelas-de-analise.png");
                save(program.form2().grab(), "opcoes.png");
                save(program.form3().grab(), "variaveis.png");
                program.form2().Button1->click();
                later([&program] {
                    program.form3().LBsel->clearSelection();
                    selectVariables(program, {1, 0});
                    program.showWindow(program.form3());
                    program.form3().Button1->click();
                    scrollLogToEnd(program);
                    later([&program] {
                        save(program.form1().grab(), "resultados.png");
                        program.quit();
                    });
                });
            });
        });
        program.form1().Abrir1->trigger();
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
        programArgc, argv, [&netlist](Program& program) { takePictures(program, netlist); });
}
