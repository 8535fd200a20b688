// The noise analysis from the options window: "Análise de ruído" opens its boxes, "Aplicar"
// checks them against the circuit, and the run lists the noise of the chosen output.
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <cmath>
#include <functional>
#include <string>

#include "program_driver.h"
#include "temp_dir.h"
#include "window_test_main.h"

using corvane::test::ProgramDriver;
using corvane::test::TempDir;

namespace {

// Two 1 kΩ resistors from a source: the output sees 500 Ω of thermal noise.
constexpr const char* Divider =
    "Divisor\n"
    "V1 in 0 1 IMPULSO\n"
    "R1 in out 1k\n"
    "R2 out 0 1k\n";

constexpr const char* CapacitorsOnly =
    "Sem resistores\n"
    "I1 0 out 1 IMPULSO\n"
    "C1 out 0 1u\n";

}  // namespace

class NoiseWindowTest : public QObject {
    Q_OBJECT

private slots:
    void theBoxesShowOnlyWhileTheNoiseIsChecked() {
        ProgramDriver driver;
        auto& form = driver.optionsWindow();
        const QSize closed = form.size();
        QVERIFY(!form.CBruido->isChecked());
        QVERIFY(form.Esaida->isHidden());
        form.CBruido->setChecked(true);
        QVERIFY(!form.Esaida->isHidden());
        QVERIFY(form.size().height() > closed.height());
        for (QWidget* box : {static_cast<QWidget*>(form.Esaida), static_cast<QWidget*>(form.Efaixa2)})
            QVERIFY2(form.rect().contains(box->geometry()), qPrintable(box->objectName()));
        form.CBruido->setChecked(false);
        QCOMPARE(form.size(), closed);
    }

    void theDividerListsItsClosedFormDensity() {
        ProgramDriver driver;
        TempDir dir;
        auto& form = driver.optionsWindow();
        driver.openAndApply(dir.write("div.net", Divider), [&] {
            form.CBruido->setChecked(true);
            form.Esaida->setText("out");
            form.Etemperatura->setText("26,85");  // 300 K, with the comma of the boxes
        });
        const QStringList log = driver.log();
        QCOMPARE(log.last(), QString("Análise terminada com sucesso."));
        QVERIFY(log.contains("Análise de ruído: saída out, 26.85 °C"));
        const QString prefix = "Densidade na saída em 1000 Hz: ";
        const qsizetype line = log.indexOf(QRegularExpression(QRegularExpression::escape(prefix) + ".*"));
        QVERIFY(line >= 0);
        const double listed = log[line].mid(prefix.size()).section(' ', 0, 0).toDouble();
        // √(4kT·R1‖R2), to the six digits listed.
        const double expected = std::sqrt(4.0 * 1.380649e-23 * 300.0 * 500.0);
        QVERIFY2(std::abs(listed / expected - 1.0) < 1e-5, qPrintable(log[line]));
    }

    // With "Análise simbólica" checked too, the density follows as an expression.
    void withTheSymbolicAnalysisTheDensityIsAlsoAnExpression() {
        ProgramDriver driver;
        TempDir dir;
        auto& form = driver.optionsWindow();
        driver.openAndApply(dir.write("div.net", Divider), [&] {
            form.CBruido->setChecked(true);
            form.CBsimbolica->setChecked(true);
            form.Esaida->setText("out");
        });
        const QStringList log = driver.log();
        QCOMPARE(log.last(), QString("Análise terminada com sucesso."));
        const qsizetype line = log.indexOf("Ruído simbólico na saída out:");
        QVERIFY(line >= 0 && line + 3 < log.size());
        QCOMPARE(log[line + 1],
                 QString("S_out(ω) = 4·k·T·(|N_R1(jω)|²/R1 + |N_R2(jω)|²/R2) / |D(jω)|² [V²/Hz]"));
        QCOMPARE(log[line + 3], QString("D(s) = R1 + R2"));
    }

    void aBoxThatDoesNotFitKeepsTheRunWaiting_data() {
        QTest::addColumn<QString>("netlist");
        QTest::addColumn<QStringList>("boxes");  // saída, entrada, temperatura, frequência, faixa
        QTest::addColumn<QString>("message");
        const QString divider = Divider;
        QTest::newRow("no output") << divider << QStringList{"", "", "27", "1k", "", ""}
                                   << "Ruído: escreva a saída em \"Saída\"";
        QTest::newRow("unknown output")
            << divider << QStringList{"x9", "", "27", "1k", "", ""}
            << "Ruído: a saída x9 não é uma variável do circuito";
        QTest::newRow("input not a source")
            << divider << QStringList{"out", "R1", "27", "1k", "", ""}
            << "Ruído: a entrada R1 não é uma fonte independente do circuito";
        QTest::newRow("temperature text")
            << divider << QStringList{"out", "", "quente", "1k", "", ""}
            << "Valor inválido em \"Temperatura (°C)\": quente";
        QTest::newRow("below absolute zero")
            << divider << QStringList{"out", "", "-273.15", "1k", "", ""}
            << "A temperatura em \"Temperatura (°C)\" deve ficar acima do zero absoluto "
               "(-273.15 °C): -273.15";
        QTest::newRow("negative frequency")
            << divider << QStringList{"out", "", "27", "-1k", "", ""}
            << "Valor inválido em \"Frequência (Hz)\": -1k";
        QTest::newRow("half a band") << divider << QStringList{"out", "", "27", "1k", "10", ""}
                                     << "Valor inválido em \"Faixa (Hz)\": 10 a ";
        QTest::newRow("band backwards")
            << divider << QStringList{"out", "", "27", "1k", "20k", "20"}
            << "A faixa em \"Faixa (Hz)\" deve ir de uma frequência a outra maior: 20k a 20";
        QTest::newRow("no resistors")
            << QString(CapacitorsOnly) << QStringList{"out", "", "27", "1k", "", ""}
            << "Ruído: o circuito não tem resistores, e só eles fazem ruído";
    }

    void aBoxThatDoesNotFitKeepsTheRunWaiting() {
        QFETCH(QString, netlist);
        QFETCH(QStringList, boxes);
        QFETCH(QString, message);
        ProgramDriver driver;
        TempDir dir;
        auto& form = driver.optionsWindow();
        const ProgramDriver::Refusal refusal =
            driver.applyRefused(dir.write("c.net", netlist.toStdString()), *form.CBruido, [&] {
                QLineEdit* const edits[] = {form.Esaida, form.Eentrada, form.Etemperatura,
                                            form.Efrequencia, form.Efaixa1, form.Efaixa2};
                for (int i = 0; i < boxes.size(); ++i) edits[i]->setText(boxes[i]);
            });
        QCOMPARE(refusal.line, message);
        QVERIFY(refusal.stillWaiting);
        QCOMPARE(driver.log().last(), QString("Análise terminada com sucesso."));
        QVERIFY(!driver.log().contains(QRegularExpression("Análise de ruído.*")));
    }
};

CORVANE_WINDOW_TEST_MAIN(NoiseWindowTest)
#include "noise_window_test.moc"
