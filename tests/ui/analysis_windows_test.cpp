// Covers the options and variables windows as a run uses them: their controls and initial
// state, a full run through the windows (the wait, "Aplicar", the log and the files),
// "Listar resultados", options kept between runs, the conversion of Edisp, the refill of the
// variables list, the end of a run by closing the options window, floating-point faults in
// the error box, "Abrir" refused while a run waits, and a long run cancelled from its
// progress dialog.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

#include <chrono>

#include "dense_netlist.h"
#include "engine_options.h"
#include "numbered.h"
#include "program_driver.h"
#include "temp_dir.h"
#include "window_test_main.h"

using corvane::test::ProgramDriver;
using corvane::test::TempDir;
using corvane::test::readFile;

namespace {

// The worked example of the engine: a step of 1 V through 1 kohm into 1 uF.
constexpr const char* RcNetlist =
    "RC com degrau\n"
    "V1 1 0 1 DEGRAU\n"
    "R1 1 2 1000\n"
    "C1 2 0 1e-6\n";

// The same circuit with named nodes and a comment.
constexpr const char* NamedRcNetlist =
    "RC com nomes\n"
    "* entrada e saída\n"
    "V1 entrada 0 1 DEGRAU\n"
    "R1 entrada saida 1000\n"
    "C1 saida 0 1e-6\n";

QStringList entries(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

int selectedCount(const QListWidget* list) {
    return static_cast<int>(list->selectedItems().size());
}

// The order in which Tab visits the controls of a window, from `first`.
QStringList tabOrder(QWidget* first) {
    QStringList names;
    QWidget* widget = first;
    do {
        if (widget->focusPolicy() & Qt::TabFocus) names << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != first && names.size() < 40);
    return names;
}

const QStringList DenominatorListing = {
    "Sistema resolvido:",    "Denominador:",        "a0: -0.000000000000",
    "a1: 1000.000000000000", "a2:  1.000000000000", "Cte:  1.000000000000",
};

}  // namespace

class AnalysisWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void optionsWindowControls_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<bool>("checked");
        QTest::newRow("CBestampas") << "CBestampas"
                                    << "Listar estampas" << QRect(8, 8, 97, 17) << false;
        QTest::newRow("CBnorm") << "CBnorm"
                                << "Normalizar polinômios" << QRect(8, 32, 129, 17) << true;
        QTest::newRow("CBdetalhes") << "CBdetalhes"
                                    << "Listar detalhes" << QRect(8, 56, 97, 17) << false;
        QTest::newRow("CBpolos") << "CBpolos"
                                 << "Listar polos e zeros" << QRect(8, 76, 129, 17) << false;
        QTest::newRow("CBmedidas") << "CBmedidas"
                                   << "Listar medidas" << QRect(144, 76, 121, 17) << false;
    }

    void optionsWindowControls() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QRect, geometry);
        QFETCH(bool, checked);
        ProgramDriver driver;
        const auto* box = driver.optionsWindow().findChild<QCheckBox*>(name);
        QVERIFY(box);
        QCOMPARE(box->text(), caption);
        QCOMPARE(box->geometry(), geometry);
        QCOMPARE(box->isChecked(), checked);
    }

    void optionsWindowEditButtonAndTabOrder() {
        ProgramDriver driver;
        auto& form = driver.optionsWindow();
        QCOMPARE(form.Label1->text(), QString("Dispersão de coeficientes"));
        QCOMPARE(form.Label1->pos(), QPoint(8, 104));
        QCOMPARE(form.Edisp->text(), QString("1e9"));
        QCOMPARE(form.Edisp->geometry(), QRect(144, 96, 121, 21));
        QCOMPARE(form.Button1->text(), QString("Aplicar"));
        QCOMPARE(form.Button1->geometry(), QRect(192, 128, 75, 25));
        QVERIFY(form.Button1->isEnabled());
        QCOMPARE(tabOrder(form.Button1),
                 (QStringList{"Button1", "CBestampas", "CBnorm", "Edisp", "CBdetalhes",
                              "CBpolos", "CBsimbolica", "Esimbolos", "CBmedidas", "CBruido",
                              "Esaida", "Eentrada", "Etemperatura", "Efrequencia", "Efaixa1",
                              "Efaixa2", "CBmalha", "Emalha", "CBvarrer", "Eelemento",
                              "Evalores", "Ede", "Eate", "Epontos", "CBlog", "CBtolerancia",
                              "Etolerancias", "Ecircuitos", "CBgauss", "Esemente", "CBsemlimites"}));
        // Every caption is drawn whole inside its control in the font the window uses.
        for (QCheckBox* box :
             {form.CBestampas, form.CBnorm, form.CBdetalhes, form.CBpolos, form.CBmedidas,
              form.CBruido, form.CBmalha, form.CBsemlimites, form.CBvarrer, form.CBlog,
              form.CBtolerancia, form.CBgauss}) {
            QStyleOptionButton option;
            option.initFrom(box);
            option.text = box->text();
            const QRect room =
                box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
            const int advance = box->fontMetrics().horizontalAdvance(box->text());
            QVERIFY2(room.left() + advance <= box->width(), qPrintable(box->text()));
        }
    }

    void variablesWindowControls() {
        ProgramDriver driver;
        auto& form = driver.variablesWindow();
        QCOMPARE(form.LBsel->geometry(), QRect(8, 8, 161, 313));
        QCOMPARE(form.LBsel->count(), 0);
        QCOMPARE(form.LBsel->selectionMode(), QAbstractItemView::ExtendedSelection);
        QCOMPARE(form.Button1->text(), QString("Listar resultados"));
        QCOMPARE(form.Button1->geometry(), QRect(8, 328, 89, 25));
        QVERIFY(!form.Button1->isEnabled());
        QCOMPARE(tabOrder(form.LBsel), (QStringList{"LBsel", "Button1"}));
    }

    // "Sem limites de tamanho" lets the next netlist pass 25 variables: a chain of 30
    // resistors to ground is refused without it and analysed with it.
    void sizeLimitsBoxLiftsTheLimitsAtTheNextOpen() {
        std::string chain = "Cadeia\nI1 0 n0 1 DEGRAU\nR0 n0 0 1\n";
        for (int i = 1; i < 30; ++i) {
            chain += corvane::test::numbered("R", i) + corvane::test::numbered(" n", i - 1) +
                     corvane::test::numbered(" n", i) + " 1\n";
        }
        ProgramDriver driver;
        TempDir dir;
        const std::string path = dir.write("cadeia.net", chain);
        driver.open(path, [] { QFAIL("a run past 25 variables waited for its options"); });
        QCOMPARE(driver.log().last(), QString("Número excessivo de nós (25)"));
        driver.optionsWindow().CBsemlimites->setChecked(true);
        bool waited = false;
        driver.open(path, [&] {
            waited = true;
            driver.optionsWindow().Button1->click();
        });
        QVERIFY(waited);
        QVERIFY(driver.log().contains(
            "Circuito de 30 variáveis: funções exatas pelo motor de eliminação modular"));
        QCOMPARE(driver.log().last(), QString("Análise terminada com sucesso."));
        QVERIFY(QFile::exists(QString::fromStdString(dir.file("cadeia.n30"))));
    }

    void fullRunThroughTheWindows() {
        ProgramDriver driver;
        TempDir dir;
        const std::string path = dir.write("rc.net", RcNetlist);
        auto& p = driver;
        bool waited = false;
        driver.open(path, [&] {
            waited = true;
            QVERIFY(p.optionsWindow().isVisible());
            QVERIFY(p.variablesWindow().isVisible());
            QVERIFY(driver.program.analysis().running());
            QCOMPARE(entries(p.variablesWindow().LBsel), (QStringList{"1", "2", "jV1"}));
            QCOMPARE(selectedCount(p.variablesWindow().LBsel), 0);
            QCOMPARE(p.variablesWindow()
                         .LBsel->visualItemRect(p.variablesWindow().LBsel->item(0))
                         .height(),
                     13);
            QVERIFY(!p.variablesWindow().Button1->isEnabled());
            QVERIFY(p.mainWindow().Anlise1->isEnabled());
            QVERIFY(!p.mainWindow().Abrir1->isEnabled());
            QCOMPARE(driver.log().last(), QString("Linha de comando não encontrada"));
            p.optionsWindow().Button1->click();
            QVERIFY(!p.optionsWindow().isVisible());
            QVERIFY(!p.variablesWindow().isVisible());
        });
        QVERIFY(waited);
        const QStringList log = driver.logFrom(26);
        const QString p0 = QString::fromStdString(path);
        QCOMPARE(log.mid(0, 11),
                 (QStringList{"", "Lendo netlist " + p0 + ":", "V1 1 0 1 DEGRAU", "R1 1 2 1000",
                              "C1 2 0 1e-06 () 0", "Variáveis: ", "0: 0", "1: 1", "2: 2", "3: jV1",
                              "O circuito tem 2 nós, 3 variáveis e 3 elementos"}));
        QCOMPARE(log.mid(11, 3), (QStringList{"Linha de comando não encontrada",
                                              "Parâmetros de análise dados", "Calculando..."}));
        QVERIFY(log.contains("Integração: Grau do denominador aumentado para 2"));
        const qsizetype listing = log.indexOf("Sistema resolvido:");
        QVERIFY(listing > 0);
        const QStringList closing = {
            "Resultados salvos como " + QString::fromStdString(dir.file("rc")) + ".*",
            "Análise terminada com sucesso."};
        QCOMPARE(log.mid(listing), DenominatorListing + closing);
        QCOMPARE(readFile(dir.file("rc.d")),
                 "2\n-0.000000000000\n1000.000000000000\n 1.000000000000\n 1.000000000000\n");
        QCOMPARE(readFile(dir.file("rc.n1")),
                 "1\n1000.000000000000\n 1.000000000000\n 1.000000000000\n");
        QCOMPARE(readFile(dir.file("rc.n2")), "0\n 1.000000000000\n1000.000000000000\n");
        QCOMPARE(readFile(dir.file("rc.n3")),
                 "1\n 0.000000000000\n 1.000000000000\n-0.001000000000\n");
        QVERIFY(p.variablesWindow().Button1->isEnabled());
        QVERIFY(p.mainWindow().Abrir1->isEnabled());
        QVERIFY(!driver.program.analysis().running());
        QVERIFY(driver.boxes.empty());
    }

    void listarResultadosListsTheSelectionInAscendingOrder() {
        ProgramDriver driver;
        TempDir dir;
        auto& p = driver;
        driver.openAndApply(dir.write("rc.net", RcNetlist));
        p.mainWindow().Anlise1->trigger();
        QVERIFY(p.variablesWindow().isVisible());
        p.variablesWindow().LBsel->item(2)->setSelected(true);
        p.variablesWindow().LBsel->item(0)->setSelected(true);
        const qsizetype before = driver.log().size();
        QTest::mouseClick(p.variablesWindow().Button1, Qt::LeftButton);
        const QStringList numerators = {"Numerador 1 (1):",    "a0: 1000.000000000000",
                                        "a1:  1.000000000000", "Cte:  1.000000000000",
                                        "Numerador 3 (jV1):",  "a0:  0.000000000000",
                                        "a1:  1.000000000000", "Cte: -0.001000000000"};
        QCOMPARE(driver.logFrom(before), DenominatorListing + numerators);
        QVERIFY(p.variablesWindow().isVisible());
        // Nothing selected: the denominator only.
        p.variablesWindow().LBsel->clearSelection();
        const qsizetype again = driver.log().size();
        p.variablesWindow().Button1->click();
        QCOMPARE(driver.logFrom(again), DenominatorListing);
    }

    void polesAndZerosAreListedWhenTicked() {
        ProgramDriver driver;
        TempDir dir;
        auto& p = driver;
        const std::string path = dir.write("rc.net", RcNetlist);
        const qsizetype first = driver.log().size();
        driver.openAndApply(path, [&] { p.optionsWindow().CBpolos->setChecked(true); });
        // The step into 1 kΩ and 1 µF: the step's pole at 0 and the network's at −1000.
        const QStringList expected{"Polos:", "p = 0", "p = -1000 rad/s (159.155 Hz)",
                                   "Rede estável; o polo em 0 vem do degrau."};
        QStringList log = driver.logFrom(first);
        const qsizetype at = log.indexOf("Polos:");
        QVERIFY(at >= 0);
        QCOMPARE(log.mid(at, expected.size()), expected);
        // Kept for the next run; "Listar resultados" lists the roots too.
        driver.openAndApply(path, [&] { QVERIFY(p.optionsWindow().CBpolos->isChecked()); });
        const qsizetype again = driver.log().size();
        p.variablesWindow().Button1->click();
        log = driver.logFrom(again);
        QCOMPARE(log.mid(log.indexOf("Polos:"), expected.size()), expected);
    }

    void measuresAreListedWhenTicked() {
        ProgramDriver driver;
        TempDir dir;
        auto& p = driver;
        const std::string path = dir.write("rc.net", RcNetlist);
        const qsizetype first = driver.log().size();
        driver.openAndApply(path, [&] {
            p.optionsWindow().CBmedidas->setChecked(true);
            p.variablesWindow().LBsel->item(1)->setSelected(true);
        });
        // 1 kΩ and 1 µF: the corner at 1/RC = 1000 rad/s, the delay RC; the step's 1/s
        // is not the network's.
        const QStringList expected{"Medidas (com D(s)/s: o polo em 0 vem do degrau):",
                                   "Ganho em s = 0: 1 (0 dB)",
                                   "Ganho em alta frequência: 0 (zero)",
                                   "Ganho máximo: 1 (0 dB) em ω = 0",
                                   "Banda de -3 dB: de 0 a 1000 rad/s (0 a 159.155 Hz)",
                                   "Atraso de grupo em s = 0: 0.001 s"};
        const QStringList log = driver.logFrom(first);
        QCOMPARE(log.mid(log.indexOf("Numerador 2 (2):") + 3, expected.size()), expected);
        QVERIFY(!log.contains("Polos:"));
    }

    void optionsAreKeptBetweenRuns() {
        ProgramDriver driver;
        TempDir dir;
        auto& p = driver;
        const std::string path = dir.write("rc.net", RcNetlist);
        driver.openAndApply(path, [&] {
            p.optionsWindow().CBnorm->setChecked(false);
            p.optionsWindow().CBdetalhes->setChecked(true);
            p.optionsWindow().Edisp->setText("1e12");
        });
        const qsizetype second = driver.log().size();
        bool waited = false;
        driver.openAndApply(path, [&] {
            waited = true;
            QVERIFY(!p.optionsWindow().CBnorm->isChecked());
            QVERIFY(p.optionsWindow().CBdetalhes->isChecked());
            QVERIFY(!p.optionsWindow().CBestampas->isChecked());
            QCOMPARE(p.optionsWindow().Edisp->text(), QString("1e12"));
        });
        QVERIFY(waited);
        QCOMPARE(driver.program.analysis().dispersion(), 1e12);
        const QStringList log = driver.logFrom(second);
        // Details on: one line per saved file; normalisation off: the raw determinants
        // (the denominator's leading coefficient stays -1e-6).
        QVERIFY(log.contains("Denominador salvo no arquivo " +
                             QString::fromStdString(dir.file("rc.d"))));
        QVERIFY(log.contains("Numerador 3 (jV1) salvo no arquivo " +
                             QString::fromStdString(dir.file("rc.n3"))));
        QVERIFY(log.contains("a2: -0.000001000000"));
        QCOMPARE(log.last(), QString("Análise terminada com sucesso."));
    }

    void edispTakesEitherDecimalSeparator_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("dispersion");
        QTest::newRow("the default") << "1e9" << 1e9;
        QTest::newRow("a decimal comma") << "1,5" << 1.5;
        QTest::newRow("blanks") << "  2.5E3 " << 2500.0;
        QTest::newRow("negative") << "-7" << -7.0;
    }

    void edispTakesEitherDecimalSeparator() {
        QFETCH(QString, text);
        QFETCH(double, dispersion);
        ProgramDriver driver;
        TempDir dir;
        auto& p = driver;
        driver.openAndApply(dir.write("rc.net", RcNetlist), [&] {
            p.optionsWindow().CBnorm->setChecked(false);  // so that 0 reaches no division
            p.optionsWindow().Edisp->setText(text);
        });
        QCOMPARE(driver.program.analysis().dispersion(), dispersion);
        QCOMPARE(driver.log().last(), QString("Análise terminada com sucesso."));
        QCOMPARE(p.optionsWindow().Edisp->text(), text);
    }

    void anEdispThatIsNotANumberKeepsTheRunWaiting_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("not a number") << "abc";
        QTest::newRow("empty") << "";
        QTest::newRow("a tail") << "2.5E3 vezes";
        QTest::newRow("both separators") << "1,000.5";
        // As --dispersao: a division by zero, and values no double holds.
        QTest::newRow("zero") << "0";
        QTest::newRow("infinite") << "inf";
        QTest::newRow("overflow") << "1e400";
    }

    void anEdispThatIsNotANumberKeepsTheRunWaiting() {
        QFETCH(QString, text);
        ProgramDriver driver;
        TempDir dir;
        auto& p = driver;
        bool refused = false;
        driver.openAndApply(dir.write("rc.net", RcNetlist), [&] {
            p.optionsWindow().Edisp->setText(text);
            p.optionsWindow().Button1->click();
            refused = driver.log().last() ==
                      QString("Valor inválido em \"Dispersão de coeficientes\": ") + text;
            QVERIFY(p.optionsWindow().isVisible());
            QVERIFY(driver.program.analysis().running());
            QVERIFY(p.optionsWindow().CBnorm->isChecked());
            p.optionsWindow().Edisp->setText("1e9");
        });
        QVERIFY(refused);
        QCOMPARE(driver.program.analysis().dispersion(), 1e9);
        QCOMPARE(driver.log().last(), QString("Análise terminada com sucesso."));
    }

    void aSecondRunRefillsTheVariablesList() {
        ProgramDriver driver;
        TempDir dir;
        auto& p = driver;
        driver.openAndApply(dir.write("rc.net", RcNetlist));
        p.variablesWindow().LBsel->selectAll();
        QCOMPARE(selectedCount(p.variablesWindow().LBsel), 3);
        bool waited = false;
        driver.openAndApply(dir.write("nomes.net", NamedRcNetlist), [&] {
            waited = true;
            QCOMPARE(entries(p.variablesWindow().LBsel), (QStringList{"entrada", "saida", "jV1"}));
            QCOMPARE(selectedCount(p.variablesWindow().LBsel), 0);
        });
        QVERIFY(waited);
        // "Variáveis" shows the list of the last run at any time.
        p.mainWindow().Anlise1->trigger();
        QCOMPARE(entries(p.variablesWindow().LBsel), (QStringList{"entrada", "saida", "jV1"}));
    }

    void closingTheOptionsWindowEndsTheRun() {
        ProgramDriver driver;
        TempDir dir;
        auto& p = driver;
        driver.open(dir.write("rc.net", RcNetlist), [&] { QVERIFY(p.optionsWindow().close()); });
        const QStringList log = driver.log();
        QCOMPARE(log.mid(log.size() - 2),
                 (QStringList{"Linha de comando não encontrada", "Análise cancelada."}));
        QVERIFY(!QFile::exists(QString::fromStdString(dir.file("rc.d"))));
        QVERIFY(!p.optionsWindow().isVisible());
        QVERIFY(!driver.program.analysis().running());
        QVERIFY(!p.variablesWindow().Button1->isEnabled());
        QVERIFY(p.mainWindow().Abrir1->isEnabled());
        // The program goes on: the next run waits again and ends normally.
        driver.openAndApply(dir.file("rc.net"));
        QCOMPARE(driver.log().last(), QString("Análise terminada com sucesso."));
        // Closing the variables window only hides it.
        p.mainWindow().Anlise1->trigger();
        QVERIFY(p.variablesWindow().close());
        QVERIFY(!p.variablesWindow().isVisible());
        QCOMPARE(driver.log().last(), QString("Análise terminada com sucesso."));
    }

    void floatingPointFaultsShowTheErrorBox_data() {
        QTest::addColumn<QByteArray>("netlist");
        QTest::addColumn<QString>("dispersion");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("lastLine");
        QTest::newRow("resistor of value 0")
            << QByteArray("t\nR1 1 0 0\nI1 0 1 1 IMPULSO\n") << "1e9"
            << "Divisão por zero em ponto flutuante."
            << "Calculando...";
        QTest::newRow("coupled inductances of negative product")
            << QByteArray("t\nL1 1 0 1e-3\nL2 2 0 -4e-3\nK1 L1 L2 0.5\n") << "1e9"
            << "Operação inválida em ponto flutuante."
            << "(L1 está na linha 1, L2 está na linha 2)";
    }

    void floatingPointFaultsShowTheErrorBox() {
        QFETCH(QByteArray, netlist);
        QFETCH(QString, dispersion);
        QFETCH(QString, shown);
        QFETCH(QString, lastLine);
        ProgramDriver driver;
        TempDir dir;
        auto& p = driver;
        driver.openAndApply(dir.write("falha.net", netlist.toStdString()),
                            [&] { p.optionsWindow().Edisp->setText(dispersion); });
        // The run is abandoned where the fault arose: no line after it.
        QCOMPARE(driver.log().last(), lastLine);
        driver.processEvents();
        QCOMPARE(driver.boxes.size(), std::size_t{1});
        QCOMPARE(driver.boxes[0].title, QString("Corvane"));
        QCOMPARE(driver.boxes[0].text, shown);
        QVERIFY(!driver.program.analysis().running());
        QVERIFY(p.mainWindow().Abrir1->isEnabled());
        // The program goes on: a second run succeeds.
        driver.openAndApply(dir.write("rc.net", RcNetlist),
                            [&] { p.optionsWindow().Edisp->setText("1e9"); });
        QCOMPARE(driver.log().last(), QString("Análise terminada com sucesso."));
        driver.processEvents();
        QCOMPARE(driver.boxes.size(), std::size_t{1});
    }

    void abrirIsRefusedWhileARunWaits() {
        ProgramDriver driver;
        TempDir dir;
        auto& p = driver;
        const std::string path = dir.write("rc.net", RcNetlist);
        driver.open(path, [&] {
            QVERIFY(!p.mainWindow().Abrir1->isEnabled());
            driver.answers.push_back(QString::fromStdString(path));
            p.mainWindow().Abrir1->trigger();
            p.mainWindow().Abrir1Click();  // even when the command arrives some other way
            QCOMPARE(driver.requests.size(), std::size_t{1});
            p.optionsWindow().Button1->click();
        });
        QCOMPARE(driver.log().count("Lendo netlist " + QString::fromStdString(path) + ":"), 1);
        QCOMPARE(driver.log().count("Análise terminada com sucesso."), 1);
        QVERIFY(p.mainWindow().Abrir1->isEnabled());
    }

    void cancelarStopsALongAnalysis() {
        ProgramDriver driver;
        TempDir dir;
        auto& p = driver;
        const std::string path = dir.write("densa.net", corvane::test::denseRcNetlist(8));
        driver.openAndApply(path);
        QCOMPARE(driver.log().last(), QString("Análise terminada com sucesso."));
        const QString denominatorFile = QString::fromStdString(dir.file("densa.d"));
        const std::string previous = readFile(denominatorFile.toStdString());
        QVERIFY(!previous.empty());

        // The densest network within 200 elements, a fraction of a second of work on a fast
        // machine: the progress is shown from the start, so that the dialog is there well
        // before the end however fast the machine, and "Cancelar" ends it.
        dir.write("densa.net", corvane::test::denseRcNetlist(20));
        corvane::EngineOptions showAtOnce = driver.program.analysis().engineOptions();
        showAtOnce.progressDelay = std::chrono::milliseconds{0};
        driver.program.analysis().setEngineOptions(showAtOnce);
        bool seen = false;
        QTimer presser;
        QObject::connect(&presser, &QTimer::timeout, [&] {
            auto* dialog = p.mainWindow().findChild<QProgressDialog*>("ProgressoAnalise");
            if (!dialog || !dialog->isVisible()) return;
            seen = true;
            QCOMPARE(dialog->windowModality(), Qt::ApplicationModal);
            for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
                if (button->text() == "Cancelar") button->click();
            }
        });
        presser.start(20);
        const qsizetype before = driver.log().size();
        driver.openAndApply(path);
        presser.stop();
        QVERIFY(seen);
        const QStringList log = driver.logFrom(before);
        QCOMPARE(log.last(), QString("Análise cancelada."));
        QVERIFY(!log.contains("Tempo usado: 0 s"));
        QVERIFY(readFile(denominatorFile.toStdString()) == previous);
        QVERIFY(!QFile::exists(QString::fromStdString(dir.file("densa.n9"))));
        QVERIFY(!driver.program.analysis().running());
        QVERIFY(p.mainWindow().Abrir1->isEnabled());
        QVERIFY(!p.variablesWindow().Button1->isEnabled());
        QVERIFY(!p.mainWindow().findChild<QProgressDialog*>("ProgressoAnalise")->isVisible());

        // The program goes on: the next run ends normally.
        dir.write("densa.net", corvane::test::denseRcNetlist(8));
        driver.openAndApply(path);
        QCOMPARE(driver.log().last(), QString("Análise terminada com sucesso."));
        QVERIFY(readFile(denominatorFile.toStdString()) == previous);
    }

    void theMemoryForMinorsComesFromTheEnvironment() {
        TempDir dir;
        const std::string path = dir.write("densa.net", corvane::test::denseRcNetlist(8));
        const QString warning =
            "Aviso: a memória para menores (0 MiB) se esgotou; a análise continua sem "
            "guardá-los e pode demorar muito.";
        {
            // Below 64 MiB a 16-node network would sit at 0 % for minutes.
            qputenv("CORVANE_MEMORIA_CACHE", "0");
            ProgramDriver driver;
            qunsetenv("CORVANE_MEMORIA_CACHE");
            QVERIFY(driver.optionsWindow().toolTip().contains("CORVANE_MEMORIA_CACHE=4096"));
            QVERIFY(driver.log().contains(
                "Aviso: CORVANE_MEMORIA_CACHE deve ser de pelo menos 64 MiB, não \"0\"; a "
                "memória para menores fica em 2048 MiB."));
            driver.openAndApply(path);
            QCOMPARE(driver.log().count(warning), 0);
            QCOMPARE(driver.log().last(), QString("Análise terminada com sucesso."));
        }
        {
            qputenv("CORVANE_MEMORIA_CACHE", "muita");
            ProgramDriver driver;
            qunsetenv("CORVANE_MEMORIA_CACHE");
            QVERIFY(driver.log().contains(
                "Aviso: CORVANE_MEMORIA_CACHE deve ser um número inteiro de MiB, não \"muita\"; "
                "a memória para menores fica em 2048 MiB."));
            driver.openAndApply(path);
            QCOMPARE(driver.log().count(warning), 0);
        }
    }

    void listarResultadosFollowsTheRuns() {
        ProgramDriver driver;
        TempDir dir;
        auto& p = driver;
        driver.openAndApply(dir.write("rc.net", RcNetlist));
        QVERIFY(p.variablesWindow().Button1->isEnabled());
        // A run that fails before its wait has already replaced part of the state.
        driver.open(dir.file("faltando.net"));
        QVERIFY(!p.variablesWindow().Button1->isEnabled());
        // Two sources in parallel: no solution, so nothing to list.
        driver.openAndApply(dir.write("paralelo.net", "t\nV1 1 0 1 DEGRAU\nV2 1 0 2 DEGRAU\n"));
        QCOMPARE(driver.log().last(), QString("Circuito sem solução"));
        QVERIFY(!p.variablesWindow().Button1->isEnabled());
        driver.openAndApply(dir.file("rc.net"));
        QVERIFY(p.variablesWindow().Button1->isEnabled());
    }
};

CORVANE_WINDOW_TEST_MAIN(AnalysisWindowsTest)
#include "analysis_windows_test.moc"
