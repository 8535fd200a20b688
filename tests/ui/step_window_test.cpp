// A step of one value from the options window: "Varrer um valor" opens its boxes, "Aplicar"
// checks them against the circuit, and the run lists each value's figures, writes the
// step's document beside the result files and lists the family in the plot list.
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <cmath>
#include <numbers>

#include "options_window.h"
#include "plot_list_window.h"
#include "program_driver.h"
#include "temp_dir.h"
#include "window_circuits.h"
#include "window_test_main.h"

using corvane::test::ProgramDriver;
using corvane::test::TempDir;

namespace {

constexpr const char* LowPass = corvane::test::RcLowPass;
constexpr double C = 1e-6;

// An ideal op-amp, whose element has no value to step.
constexpr const char* Follower =
    "Seguidor\n"
    "V1 in 0 1 IMPULSO\n"
    "O1 out 0 in out\n"
    "R1 out 0 1k\n";

QString sixDigits(double value) {
    return QString::number(value, 'g', 6);
}

}  // namespace

class StepWindowTest : public QObject {
    Q_OBJECT

private slots:
    void theBoxesShowOnlyWhileTheStepIsChecked() {
        ProgramDriver driver;
        auto& form = driver.optionsWindow();
        const QSize closed = form.size();
        QVERIFY(form.Eelemento->isHidden());
        form.CBvarrer->setChecked(true);
        QVERIFY(!form.Eelemento->isHidden());
        QVERIFY(form.size().height() > closed.height());
        // With every other section open too, each box lies inside and below the others.
        form.CBmalha->setChecked(true);
        form.CBruido->setChecked(true);
        for (QWidget* box : {static_cast<QWidget*>(form.Eelemento),
                             static_cast<QWidget*>(form.Eate), static_cast<QWidget*>(form.CBlog)}) {
            QVERIFY2(form.rect().contains(box->geometry()), qPrintable(box->objectName()));
            QVERIFY2(!box->geometry().intersects(form.Efaixa2->geometry()),
                     qPrintable(box->objectName()));
        }
        for (QCheckBox* check : {form.CBvarrer, form.CBmalha, form.CBruido}) check->setChecked(false);
        QCOMPARE(form.size(), closed);
    }

    void eachValueListsItsClosedFormPoleAndTheFamilyIsListed() {
        ProgramDriver driver;
        TempDir dir;
        auto& form = driver.optionsWindow();
        const std::string netlist = dir.write("rc.net", LowPass);
        driver.openAndApply(netlist, [&] {
            driver.selectVariable("saida");
            form.CBvarrer->setChecked(true);
            form.Eelemento->setText("r1");
            form.Evalores->setText("1k;2,2k");
        });
        const QStringList log = driver.log();
        QCOMPARE(log.last(), QString("Análise terminada com sucesso."));
        QVERIFY(log.contains("Passo de R1: 2 valores"));
        for (const double r : {1000.0, 2200.0}) {
            const QString pole = "  polo real 1: " + sixDigits(-1.0 / (r * C)) + " rad/s";
            const QString cutoff = "  frequência de -3 dB de saida: " +
                                   sixDigits(1.0 / (2.0 * std::numbers::pi * r * C)) + " Hz";
            QVERIFY2(log.contains(pole), qPrintable(pole));
            QVERIFY2(log.contains(cutoff), qPrintable(cutoff));
        }
        QVERIFY(log.contains("R1 = 2,2 kΩ"));
        // The document is a file of its own; the nominal results are still there.
        const QString document = QString::fromStdString(dir.file("rc.varredura.json"));
        QVERIFY(QFile::exists(document));
        QVERIFY(QFile::exists(QString::fromStdString(dir.file("rc.d"))));
        const QStringList list =
            driver.plotListWindow().Memo1->toPlainText().split('\n', Qt::SkipEmptyParts);
        QVERIFY(list.contains(document + "#saida@1"));
        QVERIFY(list.contains(document + "#saida@2"));
    }

    void aLogarithmicRangeGivesItsPoints() {
        ProgramDriver driver;
        TempDir dir;
        auto& form = driver.optionsWindow();
        driver.openAndApply(dir.write("rc.net", LowPass), [&] {
            form.CBvarrer->setChecked(true);
            form.Eelemento->setText("R1");
            form.Ede->setText("100");
            form.Eate->setText("10k");
            form.Epontos->setText("3");
            form.CBlog->setChecked(true);
        });
        const QStringList log = driver.log();
        QCOMPARE(log.last(), QString("Análise terminada com sucesso."));
        QVERIFY(log.contains("Passo de R1: 3 valores"));
        // 100 Ω, 1 kΩ and 10 kΩ: the middle of a logarithmic range is the geometric mean.
        QVERIFY(log.contains("  polo real 1: -1000 rad/s"));
        QVERIFY(log.contains("  polo real 1: -100 rad/s"));
    }

    void aBoxThatDoesNotFitKeepsTheRunWaiting_data() {
        QTest::addColumn<QStringList>("boxes");  // elemento, valores, de, até, pontos, log
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("netlist");
        QTest::newRow("no element") << QStringList{"", "1k", "", "", "10", ""}
                                    << "Varredura: escreva o elemento em \"Elemento\"" << QString();
        QTest::newRow("unknown element") << QStringList{"R9", "1k", "", "", "10", ""}
                                         << "Varredura: o elemento R9 não existe no circuito" << QString();
        QTest::newRow("an ideal op-amp") << QStringList{"O1", "1k", "", "", "10", ""}
                                         << "Varredura: o elemento O1 não tem valor"
                                         << QString(Follower);
        QTest::newRow("neither list nor range")
            << QStringList{"R1", "", "", "", "10", ""}
            << "Varredura: escreva os valores em \"Valores\" ou uma faixa em \"Faixa\"" << QString();
        QTest::newRow("both list and range")
            << QStringList{"R1", "1k", "1k", "2k", "10", ""}
            << "Varredura: use \"Valores\" ou \"Faixa\", não os dois" << QString();
        QTest::newRow("a list entry that is no value")
            << QStringList{"R1", "1k,abc,3k", "", "", "10", ""}
            << "Valor inválido em \"Valores\": abc" << QString();
        QTest::newRow("an empty list entry") << QStringList{"R1", "1k,,3k", "", "", "10", ""}
                                             << "Valor inválido em \"Valores\": " << QString();
        QTest::newRow("half a range") << QStringList{"R1", "", "1k", "", "10", ""}
                                      << "Valor inválido em \"Faixa\": 1k a " << QString();
        QTest::newRow("range backwards") << QStringList{"R1", "", "2k", "1k", "10", ""}
                                         << "A faixa em \"Faixa\" deve ir de um valor a outro "
                                            "maior: 2k a 1k" << QString();
        QTest::newRow("logarithmic from zero")
            << QStringList{"R1", "", "0", "1k", "10", "log"}
            << "Uma faixa logarítmica em \"Faixa\" deve começar acima de zero: 0" << QString();
        QTest::newRow("one point") << QStringList{"R1", "", "1k", "2k", "1", ""}
                                   << "Valor inválido em \"Pontos na faixa\" (de 2 a 1000): 1" << QString();
        QTest::newRow("one point past the most")
            << QStringList{"R1", "", "1k", "2k", "1001", ""}
            << "Valor inválido em \"Pontos na faixa\" (de 2 a 1000): 1001" << QString();
    }

    void aBoxThatDoesNotFitKeepsTheRunWaiting() {
        QFETCH(QStringList, boxes);
        QFETCH(QString, message);
        QFETCH(QString, netlist);
        ProgramDriver driver;
        TempDir dir;
        auto& form = driver.optionsWindow();
        QString refusal;
        bool stillWaiting = false;
        const std::string circuit = netlist.isEmpty() ? LowPass : netlist.toStdString();
        driver.openAndApply(dir.write("c.net", circuit), [&] {
            form.CBvarrer->setChecked(true);
            QLineEdit* const edits[] = {form.Eelemento, form.Evalores, form.Ede, form.Eate,
                                        form.Epontos};
            for (int i = 0; i < 5; ++i) edits[i]->setText(boxes[i]);
            form.CBlog->setChecked(boxes[5] == "log");
            form.Button1->click();
            refusal = driver.log().last();
            stillWaiting = form.isVisible() && driver.program.analysis().running();
            form.CBvarrer->setChecked(false);
        });
        QCOMPARE(refusal, message);
        QVERIFY(stillWaiting);
        QCOMPARE(driver.log().last(), QString("Análise terminada com sucesso."));
        QVERIFY(!driver.log().contains(QRegularExpression("^Passo de ")));
    }

    void a1001stValueIsRefused() {
        ProgramDriver driver;
        TempDir dir;
        auto& form = driver.optionsWindow();
        QString refusal;
        driver.openAndApply(dir.write("rc.net", LowPass), [&] {
            form.CBvarrer->setChecked(true);
            form.Eelemento->setText("R1");
            QStringList values;
            for (int k = 1; k <= 1001; ++k) values << QString::number(k);
            form.Evalores->setText(values.join(','));
            form.Button1->click();
            refusal = driver.log().last();
            form.CBvarrer->setChecked(false);
        });
        QCOMPARE(refusal, QString("Varredura: \"Valores\" aceita até 1000 valores"));
    }
};

CORVANE_WINDOW_TEST_MAIN(StepWindowTest)
#include "step_window_test.moc"
