// Covers how the program fits the user's desktop: the menus' mnemonics and shortcuts with
// their captions unchanged, Enter in the dispersion box, the standard dialogs in
// Portuguese, the windows' icon, and --help and --version of the window program (which
// answer without a display).
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include "program_driver.h"
#include "temp_dir.h"
#include "window_test_main.h"

using corvane::test::ProgramDriver;
using corvane::test::TempDir;

namespace {

constexpr const char* RcNetlist = "RC\nV1 1 0 1 DEGRAU\nR1 1 2 1000\nC1 2 0 1e-6\n";

// The caption as the menu shows it: the mnemonic's "&" only underlines its letter.
QString shownCaption(const QString& text) {
    QString shown = text;
    return shown.remove(u'&');
}

struct Outcome {
    int code;
    QString out;
    QString err;
};

Outcome runProgramWithoutDisplay(const QStringList& arguments) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(variable);
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(CORVANE_PROGRAM_PATH, arguments);
    if (!process.waitForFinished(60000)) process.kill();
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

bool portugueseQtTranslationInstalled() {
    return QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                         "/qtbase_pt_BR.qm");
}

}  // namespace

class DesktopTest : public QObject {
    Q_OBJECT

private slots:
    void menusHaveMnemonicsAndUnchangedCaptions() {
        ProgramDriver driver;
        auto& form = driver.mainWindow();
        QCOMPARE(shownCaption(form.Arquivo1->title()), QString("Arquivo"));
        QCOMPARE(shownCaption(form.Opes1->title()), QString("Opções"));
        QCOMPARE(QKeySequence::mnemonic(form.Arquivo1->title()), QKeySequence("Alt+A"));
        QCOMPARE(QKeySequence::mnemonic(form.Opes1->title()), QKeySequence("Alt+O"));
        QCOMPARE(form.Abrir1->text(), QString("Abrir"));
        QCOMPARE(form.Sair1->text(), QString("Sair"));
        QCOMPARE(form.Anlise1->text(), QString("Variáveis"));
        QCOMPARE(form.Grfico1->text(), QString("Gráficos"));
    }

    void menuItemsHaveTheirShortcuts() {
        ProgramDriver driver;
        auto& form = driver.mainWindow();
        QCOMPARE(form.Abrir1->shortcut(), QKeySequence("Ctrl+O"));
        QCOMPARE(form.Sair1->shortcut(), QKeySequence("Ctrl+Q"));
        QCOMPARE(form.Grfico1->shortcut(), QKeySequence("Ctrl+G"));
        QVERIFY(form.Anlise1->shortcut().isEmpty());
    }

    void ctrlGOpensThePlotList() {
        ProgramDriver driver;
        auto& p = driver;
        QVERIFY(QTest::qWaitForWindowActive(&p.mainWindow()));
        QVERIFY(!p.plotListWindow().isVisible());
        QTest::keyClick(&p.mainWindow(), Qt::Key_G, Qt::ControlModifier);
        QVERIFY(p.plotListWindow().isVisible());
    }

    void ctrlOOpensTheNetlistDialog() {
        ProgramDriver driver;
        auto& p = driver;
        QVERIFY(QTest::qWaitForWindowActive(&p.mainWindow()));
        driver.answers.push_back(std::nullopt);
        QTest::keyClick(&p.mainWindow(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(driver.requests.size(), std::size_t{1});
    }

    void enterInTheDispersionBoxPressesAplicar() {
        ProgramDriver driver;
        TempDir dir;
        const std::string path = dir.write("rc.net", RcNetlist);
        auto& p = driver;
        driver.open(path, [&] {
            p.optionsWindow().Edisp->setFocus();
            p.optionsWindow().Edisp->setText("1e6");
            QTest::keyClick(p.optionsWindow().Edisp, Qt::Key_Return);
            QVERIFY(!p.optionsWindow().isVisible());
        });
        QCOMPARE(driver.log().last(), QString("Análise terminada com sucesso."));
        QVERIFY(driver.log().contains("Parâmetros de análise dados"));
        QVERIFY(QFile::exists(QString::fromStdString(dir.file("rc.d"))));
        QCOMPARE(p.optionsWindow().Button1->text(), QString("Aplicar"));
        QCOMPARE(p.optionsWindow().Label1->text(), QString("Dispersão de coeficientes"));
    }

    void standardDialogsSpeakPortuguese() {
        if (!portugueseQtTranslationInstalled()) {
            QSKIP("qtbase_pt_BR.qm is not installed (qt6-translations-l10n)");
        }
        ProgramDriver driver;
        QMessageBox box(QMessageBox::Question, "Corvane", "?",
                        QMessageBox::Open | QMessageBox::Save | QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Open)->text(), QString("Abrir"));
        QCOMPARE(box.button(QMessageBox::Save)->text(), QString("Salvar"));
        QCOMPARE(box.button(QMessageBox::Cancel)->text(), QString("Cancelar"));
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        const QLabel* lookIn = dialog.findChild<QLabel*>("lookInLabel");
        QVERIFY(lookIn != nullptr);
        QCOMPARE(lookIn->text(), QString("Procurar em:"));
    }

    void everyWindowCarriesTheProgramsIcon() {
        ProgramDriver driver;
        auto& p = driver;
        const QIcon icon = corvane::ui::programIcon();
        QVERIFY(!icon.isNull());
        QVERIFY(!icon.pixmap(48, 48).isNull());
        for (QWidget* window : std::initializer_list<QWidget*>{
                 &p.mainWindow(), &p.optionsWindow(), &p.variablesWindow(), &p.plotListWindow(),
                 &p.frequencyPlotWindow()}) {
            QVERIFY2(!window->windowIcon().pixmap(48, 48).isNull(),
                     qPrintable(window->objectName()));
        }
    }

    void helpAndVersionAnswerWithoutADisplay() {
        const Outcome version = runProgramWithoutDisplay({"--version"});
        QCOMPARE(version.code, 0);
        QVERIFY(version.out.startsWith(QString("corvane " CORVANE_PROJECT_VERSION "\n")));
        QVERIFY(version.out.contains("GNU GPL versão 3 ou posterior"));
        QVERIFY(version.err.isEmpty());
        for (const QString& option : {QString("--help"), QString("-h")}) {
            const Outcome help = runProgramWithoutDisplay({option});
            QCOMPARE(help.code, 0);
            QVERIFY2(help.out.startsWith("Uso: corvane [--help | --version]\n"),
                     qPrintable(help.out));
            QVERIFY(help.out.contains("--version"));
        }
    }

    void withoutADisplayTheMessageNamesTheInstalledCommand() {
        const Outcome outcome = runProgramWithoutDisplay({});
        QCOMPARE(outcome.code, 1);
        QVERIFY2(outcome.err.contains("use corvane-cli analisar NETLIST"), qPrintable(outcome.err));
        QVERIFY(!outcome.err.contains("build/"));
    }
};

CORVANE_WINDOW_TEST_MAIN(DesktopTest)
#include "desktop_test.moc"
