// Covers the program as a process: "Sair" and the close of the main window end it with
// status 0, also while a run waits for its options; the numeric locale is "C" after start
// under a locale with a decimal comma; without a display the program says so instead of
// crashing. Each case runs the program's start in a child process (this test program,
// called with --cenario).
#include <QApplication>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>

#include "program_driver.h"
#include "temp_dir.h"
#include "window_test_main.h"

using corvane::test::OnShow;
using corvane::test::TempDir;
using corvane::ui::Program;
using corvane::ui::Windows;
namespace ui = corvane::ui;

namespace {

constexpr const char* RcNetlist = "RC\nV1 1 0 1 DEGRAU\nR1 1 2 1000\nC1 2 0 1e-6\n";

// --- the child side -------------------------------------------------------------------

void printLogAtExit(Windows& windows) {
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, [&windows] {
        std::printf("%s\n",
                    windows.get<ui::MainWindow>().Memo1->toPlainText().toUtf8().constData());
        std::fflush(stdout);
    });
}

// Opens `netlist` and runs `step` inside the run's parameter wait.
void openAndWait(Windows& windows, const QString& netlist, std::function<void()> step) {
    windows.get<ui::MainWindow>().OpenDialog1->setChooser(
        [netlist](QWidget*, const corvane::ui::OpenDialogRequest&) { return netlist; });
    new OnShow(windows.get<ui::OptionsWindow>(), std::move(step),
               &windows.get<ui::OptionsWindow>());
    QTimer::singleShot(0, &windows.get<ui::MainWindow>(),
                       [&windows] { windows.get<ui::MainWindow>().Abrir1->trigger(); });
}

void reportLocale() {
    char number[32];
    std::snprintf(number, sizeof number, "%g", 1.5);
    std::printf("LC_NUMERIC=%s\nLC_MONETARY=%s\nnumber=%s\n", std::setlocale(LC_NUMERIC, nullptr),
                std::setlocale(LC_MONETARY, nullptr), number);
}

int runScenario(const std::string& scenario, const QString& netlist, char* program) {
    int argc = 1;
    char* argv[] = {program, nullptr};
    return corvane::ui::runProgram(argc, argv, [&](Program&, Windows& p) {
        printLogAtExit(p);
        if (scenario == "sair") {
            QTimer::singleShot(0, &p.get<ui::MainWindow>(),
                               [&p] { p.get<ui::MainWindow>().Sair1->trigger(); });
        } else if (scenario == "sair-na-espera") {
            openAndWait(p, netlist, [&p] { p.get<ui::MainWindow>().Sair1->trigger(); });
        } else if (scenario == "fechar-na-espera") {
            openAndWait(p, netlist, [&p] { p.get<ui::MainWindow>().close(); });
        } else if (scenario == "locale") {
            reportLocale();
            openAndWait(p, netlist, [&p] {
                p.get<ui::OptionsWindow>().Button1->click();
                QTimer::singleShot(0, &p.get<ui::MainWindow>(),
                                   [&p] { p.get<ui::MainWindow>().Sair1->trigger(); });
            });
        }
    });
}

// --- the parent side ------------------------------------------------------------------

struct Outcome {
    QProcess::ExitStatus status;
    int code;
    QString out;
    QString err;
};

Outcome runProcess(const QString& program, const QStringList& arguments,
                   const QProcessEnvironment& environment) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
    }
    return {process.exitStatus(), process.exitCode(),
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

Outcome runChild(const QString& scenario, const QString& netlist = {},
                 QProcessEnvironment environment = QProcessEnvironment::systemEnvironment()) {
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    return runProcess(QCoreApplication::applicationFilePath(), {"--cenario", scenario, netlist},
                      environment);
}

QString lastLogLine(const QString& out) {
    QStringList lines = out.split(u'\n');
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines.isEmpty() ? QString() : lines.last();
}

}  // namespace

class ProgramTest : public QObject {
    Q_OBJECT

private slots:
    void sairEndsTheProgramWithStatusZero() {
        const Outcome outcome = runChild("sair");
        QCOMPARE(outcome.status, QProcess::NormalExit);
        QCOMPARE(outcome.code, 0);
        QVERIFY(outcome.out.startsWith(
            "Corvane - Análise Nodal Modificada em Transformada de Laplace.\n"));
    }

    void sairDuringTheWaitEndsTheProgramWithStatusZero() {
        TempDir dir;
        const Outcome outcome =
            runChild("sair-na-espera", QString::fromStdString(dir.write("rc.net", RcNetlist)));
        QCOMPARE(outcome.status, QProcess::NormalExit);
        QCOMPARE(outcome.code, 0);
        QVERIFY(outcome.out.contains("Linha de comando não encontrada\n"));
        QCOMPARE(lastLogLine(outcome.out), QString("Análise cancelada."));
        QVERIFY(!QFile::exists(QString::fromStdString(dir.file("rc.d"))));
    }

    void closingTheMainWindowDuringTheWaitEndsTheProgram() {
        TempDir dir;
        const Outcome outcome =
            runChild("fechar-na-espera", QString::fromStdString(dir.write("rc.net", RcNetlist)));
        QCOMPARE(outcome.status, QProcess::NormalExit);
        QCOMPARE(outcome.code, 0);
        QCOMPARE(lastLogLine(outcome.out), QString("Análise cancelada."));
        QVERIFY(!QFile::exists(QString::fromStdString(dir.file("rc.d"))));
    }

    void numbersKeepTheirDotUnderACommaLocale() {
        TempDir dir;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("LC_ALL", "pt_BR.UTF-8");
        const Outcome outcome =
            runChild("locale", QString::fromStdString(dir.write("rc.net", RcNetlist)), environment);
        QCOMPARE(outcome.status, QProcess::NormalExit);
        QCOMPARE(outcome.code, 0);
        if (!outcome.out.contains("LC_MONETARY=pt_BR.UTF-8")) {
            QSKIP("pt_BR.UTF-8 is not installed (scripts/setup.sh generates it)");
        }
        // The application object took the locale from the environment; the program set
        // the numbers back to "C" right after.
        QVERIFY2(outcome.out.contains("LC_NUMERIC=C\n"), qPrintable(outcome.out));
        QVERIFY(outcome.out.contains("number=1.5\n"));
        QVERIFY(outcome.out.contains("C1 2 0 1e-06 () 0\n"));
        QVERIFY(outcome.out.contains("a1: 1000.000000000000\n"));
        QCOMPARE(corvane::test::readFile(dir.file("rc.n3")),
                 "1\n 0.000000000000\n 1.000000000000\n-0.001000000000\n");
    }

    void withoutADisplayTheProgramSaysSo() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
            environment.remove(variable);
        }
        const Outcome outcome = runProcess(CORVANE_PROGRAM_PATH, {}, environment);
        QCOMPARE(outcome.status, QProcess::NormalExit);
        QCOMPARE(outcome.code, 1);
        QVERIFY2(outcome.err.contains("nenhuma tela gráfica disponível"), qPrintable(outcome.err));
        QVERIFY(outcome.out.isEmpty());
    }
};

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--cenario") == 0) {
        const int status = runScenario(
            argv[2], argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString(), argv[0]);
        corvane::test::waitForOtherThreadsToEnd();
        return status;
    }
    int status = 0;
    {
        QApplication application(argc, argv);
        ProgramTest test;
        status = QTest::qExec(&test, argc, argv);
    }
    corvane::test::waitForOtherThreadsToEnd();
    return status;
}

#include "program_test.moc"
