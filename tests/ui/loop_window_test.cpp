// The loop gain from the options window: "Ganho de malha" opens the box of the source,
// "Aplicar" checks it against the circuit as the run would, and the run lists the margins
// of the source named.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "program_driver.h"
#include "temp_dir.h"
#include "window_test_main.h"

using corvane::test::ProgramDriver;
using corvane::test::TempDir;

namespace {

// T = gm/(sC) = 1000/s: 0 dB at 1000 rad/s with a phase margin of 90°.
constexpr const char* Integrator =
    "Integrador\n"
    "V1 in 0 1 IMPULSO\n"
    "G1 0 x in out 1m\n"
    "C1 x 0 1u\n"
    "E1 out 0 x 0 1\n";

}  // namespace

class LoopWindowTest : public QObject {
    Q_OBJECT

private slots:
    void theSourceBoxShowsOnlyWhileTheLoopIsChecked() {
        ProgramDriver driver;
        auto& form = driver.optionsWindow();
        const QSize closed = form.size();
        QVERIFY(!form.CBmalha->isChecked());
        QVERIFY(form.Emalha->isHidden());
        QVERIFY(form.rect().contains(form.CBmalha->geometry()));
        form.CBmalha->setChecked(true);
        QVERIFY(!form.Emalha->isHidden());
        QVERIFY(form.rect().contains(form.Emalha->geometry()));
        // With the noise open too, every box lies inside and none overlaps another.
        form.CBruido->setChecked(true);
        for (QWidget* box : {static_cast<QWidget*>(form.Emalha), static_cast<QWidget*>(form.Esaida),
                             static_cast<QWidget*>(form.Efaixa2)}) {
            QVERIFY2(form.rect().contains(box->geometry()), qPrintable(box->objectName()));
        }
        QVERIFY(!form.Emalha->geometry().intersects(form.Esaida->geometry()));
        form.CBruido->setChecked(false);
        form.CBmalha->setChecked(false);
        QCOMPARE(form.size(), closed);
    }

    void theIntegratorListsItsClosedFormMargin() {
        ProgramDriver driver;
        TempDir dir;
        auto& form = driver.optionsWindow();
        driver.openAndApply(dir.write("int.net", Integrator), [&] {
            form.CBmalha->setChecked(true);
            form.Emalha->setText("g1");
        });
        const QStringList log = driver.log();
        QCOMPARE(log.last(), QString("Análise terminada com sucesso."));
        QVERIFY(log.contains("Ganho de malha de G1:"));
        QVERIFY(log.contains("Margem de fase: 90.0000° em ω = 1000 rad/s (159.155 Hz)"));
        QVERIFY(log.contains("Sem cruzamento de -180°: margem de ganho infinita"));
    }

    void aSourceThatDoesNotFitKeepsTheRunWaiting_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << ""
                               << "Malha: escreva a fonte em \"Fonte\"";
        QTest::newRow("missing") << "X1"
                                 << "Fonte X1 inexistente";
        QTest::newRow("a capacitor")
            << "C1"
            << "C1 não é uma fonte controlada nem um amplificador operacional com ganho finito";
    }

    void aSourceThatDoesNotFitKeepsTheRunWaiting() {
        QFETCH(QString, source);
        QFETCH(QString, message);
        ProgramDriver driver;
        TempDir dir;
        auto& form = driver.optionsWindow();
        const ProgramDriver::Refusal refusal =
            driver.applyRefused(dir.write("int.net", Integrator), *form.CBmalha,
                                [&] { form.Emalha->setText(source); });
        QCOMPARE(refusal.line, message);
        QVERIFY(refusal.stillWaiting);
        QCOMPARE(driver.log().last(), QString("Análise terminada com sucesso."));
        QVERIFY(!driver.log().contains("Ganho de malha de G1:"));
    }
};

CORVANE_WINDOW_TEST_MAIN(LoopWindowTest)
#include "loop_window_test.moc"
