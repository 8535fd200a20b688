// Covers program start and the main window: the five windows and what is visible at start,
// the banner, the menu, the log's font and behaviour, the open dialog and its seam, the
// commands "Abrir" (cancelled, missing file), "Variáveis" and "Gráficos", and the error box
// (its text rule, its title, its deferral and coalescing).
#include <QAction>
#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QMenu>
#include <QMenuBar>
#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>

#include <stdexcept>

#include "error_box.h"
#include "floating_point.h"
#include "program_driver.h"
#include "temp_dir.h"
#include "window_test_main.h"

using corvane::test::ProgramDriver;
using corvane::test::TempDir;

namespace {

QStringList visibleWindowTitles() {
    QStringList titles;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible()) titles << window->windowTitle();
    }
    return titles;
}

QStringList captions(const QList<QAction*>& items) {
    QStringList texts;
    for (const QAction* item : items)
        texts << item->text();
    return texts;
}

const QStringList Banner = {
    "Corvane - Análise Nodal Modificada em Transformada de Laplace.",
    "Versão 1.1f de 9/5/2018",
    "",
    "Elementos aceitos e linhas do netlist:",
    "Resistor:  R<nome> <no+> <no-> <resistência>",
    "VCCS:      G<nome> <io+> <io-> <vi+> <vi-> <transcondutância>",
    "VCVC:      E<nome> <vo+> <vo-> <vi+> <vi-> <ganho de tensão>",
    "CCCS:      F<nome> <io+> <io-> <ii+> <ii-> <ganho de corrente>",
    "CCVS:      H<nome> <vo+> <vo-> <ii+> <ii-> <transresistência>",
    "Fonte I:   I<nome> <io+> <io-> <valor> <tipo de fonte>",
    "Fonte V:   V<nome> <vo+> <vo-> <valor> <tipo de fonte>",
    "Capacitor: C<nome> <no+> <no-> <capacitância> [IC=<tensão inicial>]",
    "Indutor:   L<nome> <no+> <no-> <indutância> [IC=<corrente inicial>]",
    "Amplificador operacional:  O<nome> <vo1> <vo2> <vi1> <vi2>",
    "Ind. mútua:K<nome> <L1> <L2> <coeficiente de acoplamento>",
    "Comentário: *<comentário>",
    "Comando: .(reservado, a definir)",
    "",
    "As fontes F e H tem o ramo de entrada em curto.",
    "O amplificador operacional ideal tem a saída suspensa.",
    "Os nós podem ser nomes; nomes têm até 10 caracteres e os de elementos não se repetem.",
    "O acoplamento (K) deve ser entre dois indutores diferentes já declarados.",
    "Tipos de fonte: IMPULSO ou DEGRAU. Valores: 1000, 1e-6, 2.2E3, 1k, 10uF, 2.2MEG.",
    "Sufixos: T G MEG K M U N P F MIL. Atenção: M é mili (1e-3) e MEG é mega (1e6).",
    "O programa pode plotar gráficos de resposta em frequência, a partir dos arquivos gerados.",
    "",
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void startShowsOnlyTheMainWindowWithTheBanner() {
        ProgramDriver driver;
        QCOMPARE(visibleWindowTitles(), QStringList{"Corvane"});
        QCOMPARE(QCoreApplication::applicationName(), QString("Corvane"));
        QCOMPARE(driver.log(), Banner);
        QCOMPARE(driver.log().size(), 26);
        // The caret starts before the banner, as in a freshly loaded text box.
        QCOMPARE(driver.mainWindow().Memo1->textCursor().position(), 0);
    }

    void theFiveWindowsExistWithTheirCaptionsAndPlaces() {
        ProgramDriver driver;
        auto& p = driver;
        QCOMPARE(p.mainWindow().objectName(), QString("Form1"));
        QCOMPARE(p.optionsWindow().windowTitle(), QString("Análise"));
        QCOMPARE(p.variablesWindow().windowTitle(), QString("Variáveis"));
        QCOMPARE(p.plotListWindow().windowTitle(), QString("Resposta em frequência - Arquivos"));
        QCOMPARE(p.frequencyPlotWindow().windowTitle(), QString("Resposta em frequência"));
        QCOMPARE(p.optionsWindow().pos(), QPoint(219, 196));
        QCOMPARE(p.variablesWindow().pos(), QPoint(680, 170));
        QCOMPARE(p.frequencyPlotWindow().pos(), QPoint(864, 316));
        // Client areas of the outer sizes 696 x 479, 289 x 243 (two rows more than the
        // 289 x 195 of old, for "Ganho de malha" and "Sem limites de tamanho"), 194 x 400 and
        // 696 x 480.
        QCOMPARE(p.mainWindow().size(), QSize(680, 441));
        QCOMPARE(p.optionsWindow().size(), QSize(273, 205));
        QCOMPARE(p.variablesWindow().size(), QSize(178, 362));
        QCOMPARE(p.frequencyPlotWindow().size(), QSize(680, 442));
        // The main window and the plot list are centred on the screen.
        const QPoint centre = p.mainWindow().screen()->availableGeometry().center();
        QCOMPARE(p.mainWindow().pos(), centre - QPoint(348, 239));
        QCOMPARE(p.plotListWindow().pos(), centre - QPoint(342, 237));
    }

    void theMenuHasItsTwoMenusAndVariaveisStartsDisabled() {
        ProgramDriver driver;
        auto& form = driver.mainWindow();
        QCOMPARE(captions(form.MainMenu1->actions()), (QStringList{"&Arquivo", "&Opções"}));
        QCOMPARE(captions(form.Arquivo1->actions()), (QStringList{"Abrir", "Sair"}));
        QCOMPARE(captions(form.Opes1->actions()), (QStringList{"Variáveis", "Gráficos", "Tolerâncias"}));
        for (const char* name :
             {"MainMenu1", "Arquivo1", "Abrir1", "Sair1", "Memo1", "Opes1", "Anlise1", "Grfico1",
              "Tolerancias1"}) {
            QVERIFY2(form.findChild<QObject*>(name) != nullptr, name);
        }
        QVERIFY(form.Abrir1->isEnabled());
        QVERIFY(form.Sair1->isEnabled());
        QVERIFY(!form.Anlise1->isEnabled());
        QVERIFY(!form.Tolerancias1->isEnabled());
        QVERIFY(form.Grfico1->isEnabled());
    }

    void theLogUsesAFixedPitchFont() {
        ProgramDriver driver;
        QPlainTextEdit* memo = driver.mainWindow().Memo1;
        const QFontInfo info(memo->font());
        qInfo("log font: %s, %d pt", qPrintable(info.family()), info.pointSize());
        QVERIFY(info.fixedPitch());
        QCOMPARE(info.pointSize(), 8);
        const QFontMetrics metrics(memo->font());
        QCOMPARE(metrics.horizontalAdvance(QString(20, u'i')),
                 metrics.horizontalAdvance(QString(20, u'W')));
        QCOMPARE(metrics.horizontalAdvance(QStringLiteral("+1.0s-0.0 ")),
                 metrics.horizontalAdvance(QStringLiteral("......... ")));
    }

    void theLogIsAReadOnlyTextBoxWithAVerticalScrollBar() {
        ProgramDriver driver;
        QPlainTextEdit* memo = driver.mainWindow().Memo1;
        QVERIFY(memo->isReadOnly());
        QCOMPARE(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(memo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QCOMPARE(driver.mainWindow().centralWidget(), memo);
    }

    void theLogCannotBeTypedIntoButCanBeSelectedAndCopied() {
        ProgramDriver driver;
        QPlainTextEdit* memo = driver.mainWindow().Memo1;
        memo->show();
        QTest::mouseClick(memo->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
        QTest::keyClicks(memo, "abc");
        QTest::keyClick(memo, Qt::Key_Return);
        QTest::keyClick(memo, Qt::Key_Backspace);
        QTest::keyClick(memo, Qt::Key_Delete);
        QCOMPARE(driver.log(), Banner);
        // Ctrl+A then Ctrl+C put the whole log on the clipboard.
        QTest::keyClick(memo, Qt::Key_A, Qt::ControlModifier);
        QVERIFY(memo->textCursor().hasSelection());
        QTest::keyClick(memo, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text().split(u'\n'), Banner);
    }

    void appendedLinesGoBelowAndComeIntoView() {
        ProgramDriver driver;
        QPlainTextEdit* memo = driver.mainWindow().Memo1;
        memo->appendPlainText("typed by the user");
        for (int i = 0; i < 200; ++i)
            driver.program.log().print("linha %d", i);
        const QStringList lines = driver.log();
        QCOMPARE(lines.size(), 26 + 1 + 200);
        QCOMPARE(lines[26], QString("typed by the user"));
        QCOMPARE(lines.last(), QString("linha 199"));
        QVERIFY(memo->textCursor().atEnd());
        QCOMPARE(memo->verticalScrollBar()->value(), memo->verticalScrollBar()->maximum());
        QVERIFY(memo->verticalScrollBar()->maximum() > 0);
    }

    void theOpenDialogOffersNetlistsAndRemembersTheLastPath() {
        ProgramDriver driver;
        TempDir dir;
        const std::string path = dir.write("um.net", "t\nR1 1 0 1\n");
        driver.open(std::nullopt);
        driver.open(path, [&] { driver.optionsWindow().Button1->click(); });
        driver.open(std::nullopt);
        QCOMPARE(driver.requests.size(), std::size_t{3});
        const auto& first = driver.requests[0];
        QCOMPARE(first.fileName, QString("teste.net"));
        QCOMPARE(first.filter, QString("netlists (*.net *.cir *.sp *.spice *.ckt);;"
                                       "netlists do Corvane (*.net);;"
                                       "netlists SPICE (*.cir *.sp *.spice *.ckt *.net)"));
        QCOMPARE(first.defaultSuffix, QString("net"));
        // A cancelled dialog keeps its name; a confirmed one keeps the chosen path.
        QCOMPARE(driver.requests[1].fileName, QString("teste.net"));
        QCOMPARE(driver.requests[2].fileName, QString::fromStdString(path));
        QCOMPARE(driver.mainWindow().findChild<QObject*>("OpenDialog1"),
                 static_cast<QObject*>(driver.mainWindow().OpenDialog1));
    }

    void cancellingTheDialogPrintsNothing() {
        ProgramDriver driver;
        driver.open(std::nullopt);
        QCOMPARE(driver.log(), Banner);
        QVERIFY(!driver.optionsWindow().isVisible());
        QVERIFY(driver.mainWindow().Abrir1->isEnabled());
    }

    void aMissingFilePrintsTheEmptyLineAndTheFailure() {
        ProgramDriver driver;
        TempDir dir;
        const std::string path = dir.file("nada.net");
        driver.open(path);
        QCOMPARE(driver.logFrom(26),
                 (QStringList{"", QString::fromStdString("Arquivo " + path + " inexistente")}));
        QCOMPARE(visibleWindowTitles(), QStringList{"Corvane"});
        QVERIFY(!driver.mainWindow().Anlise1->isEnabled());
        QVERIFY(driver.mainWindow().Abrir1->isEnabled());
    }

    void graficosShowsThePlotListAtAnyTime() {
        ProgramDriver driver;
        driver.mainWindow().Grfico1->trigger();
        QVERIFY(driver.plotListWindow().isVisible());
        QVERIFY(!driver.frequencyPlotWindow().isVisible());
    }

    void variaveisStaysEnabledOnceARunHasWaited() {
        ProgramDriver driver;
        TempDir dir;
        driver.openAndApply(dir.write("a.net", "t\nR1 a 0 1\nI1 0 a 1 IMPULSO\n"));
        QVERIFY(driver.mainWindow().Anlise1->isEnabled());
        driver.open(dir.file("faltando.net"));
        QVERIFY(driver.mainWindow().Anlise1->isEnabled());
        QVERIFY(!driver.variablesWindow().isVisible());
        driver.mainWindow().Anlise1->trigger();
        QVERIFY(driver.variablesWindow().isVisible());
    }

    void errorBoxText_data() {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("ends in a letter") << QByteArray("Divisão por zero em ponto flutuante")
                                          << "Divisão por zero em ponto flutuante.";
        QTest::newRow("ends in an accented letter") << QByteArray("Operação") << "Operação.";
        QTest::newRow("ends in a digit") << QByteArray("linha 12") << "linha 12.";
        QTest::newRow("ends in '/', just after '.'") << QByteArray("a/") << "a/.";
        QTest::newRow("ends in ':'") << QByteArray("erro:") << "erro:.";
        QTest::newRow("ends in '.'") << QByteArray("Fim.") << "Fim.";
        QTest::newRow("ends in '!'") << QByteArray("Fim!") << "Fim!";
        QTest::newRow("ends in ')'") << QByteArray("Fim (x)") << "Fim (x)";
        QTest::newRow("ends in '-', just before '.'") << QByteArray("a-") << "a-";
        QTest::newRow("ends in a blank") << QByteArray("a ") << "a ";
        QTest::newRow("empty") << QByteArray("") << "";
    }

    void errorBoxText() {
        QFETCH(QByteArray, message);
        QFETCH(QString, shown);
        QCOMPARE(corvane::ui::errorBoxText(message.toStdString()), shown);
    }

    void aFailureEscapingACommandIsShownOnceControlIsBack() {
        ProgramDriver driver;
        auto failing = driver.program.errorBox().command(
            [] { throw corvane::FloatingPointFault("Estouro em ponto flutuante"); });
        failing();
        QVERIFY(driver.boxes.empty());  // never from inside the failing handler
        driver.processEvents();
        QCOMPARE(driver.boxes.size(), std::size_t{1});
        QCOMPARE(driver.boxes[0].title, QString("Corvane"));
        QCOMPARE(driver.boxes[0].text, QString("Estouro em ponto flutuante."));
    }

    void aFailureRepeatedBeforeItsBoxIsShownGivesOneBox() {
        ProgramDriver driver;
        auto paint = driver.program.errorBox().command(
            [] { throw std::runtime_error("falha ao desenhar"); });
        auto other = driver.program.errorBox().command([] { throw 42; });
        paint();
        paint();
        paint();
        other();
        driver.processEvents();
        QCOMPARE(driver.boxes.size(), std::size_t{2});
        QCOMPARE(driver.boxes[0].text, QString("falha ao desenhar."));
        QCOMPARE(driver.boxes[1].text, QString("Falha desconhecida."));
        paint();
        driver.processEvents();
        QCOMPARE(driver.boxes.size(), std::size_t{3});
    }
};

CORVANE_WINDOW_TEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
