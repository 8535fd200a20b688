// The symbolic analysis from the options window: "Análise simbólica" and "Símbolos",
// checked at "Aplicar", and "Cancelar" of the progress dialog during the symbolic part.
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
#include <QTimer>

#include <string>

#include "dense_netlist.h"
#include "program_driver.h"
#include "temp_dir.h"
#include "window_circuits.h"
#include "window_test_main.h"

using corvane::test::ProgramDriver;
using corvane::test::TempDir;

namespace {

constexpr const char* SallenKey = corvane::test::UnityGainSallenKey;

}  // namespace

class SymbolicWindowTest : public QObject {
    Q_OBJECT

private slots:
    void theControlsStartUncheckedAndEmpty() {
        ProgramDriver driver;
        auto& form = driver.optionsWindow();
        QCOMPARE(form.CBsimbolica->objectName(), QString("CBsimbolica"));
        QCOMPARE(form.CBsimbolica->text(), QString("Análise simbólica"));
        QVERIFY(!form.CBsimbolica->isChecked());
        QCOMPARE(form.Esimbolos->objectName(), QString("Esimbolos"));
        QCOMPARE(form.Esimbolos->text(), QString());
        QCOMPARE(form.Label2->text(), QString("Símbolos"));
        // Inside the window, clear of the other controls, the caption drawn whole.
        const QRect client = form.rect();
        for (QWidget* control :
             {static_cast<QWidget*>(form.CBsimbolica), static_cast<QWidget*>(form.Label2),
              static_cast<QWidget*>(form.Esimbolos)}) {
            QVERIFY2(client.contains(control->geometry()), qPrintable(control->objectName()));
            for (QWidget* other :
                 {static_cast<QWidget*>(form.CBestampas), static_cast<QWidget*>(form.CBnorm),
                  static_cast<QWidget*>(form.CBdetalhes), static_cast<QWidget*>(form.Edisp),
                  static_cast<QWidget*>(form.Label1), static_cast<QWidget*>(form.Button1)}) {
                QVERIFY2(!control->geometry().intersects(other->geometry()),
                         qPrintable(control->objectName() + " " + other->objectName()));
            }
        }
        QStyleOptionButton option;
        option.initFrom(form.CBsimbolica);
        option.text = form.CBsimbolica->text();
        const QRect room = form.CBsimbolica->style()->subElementRect(QStyle::SE_CheckBoxContents,
                                                                     &option, form.CBsimbolica);
        QVERIFY(room.left() + form.CBsimbolica->fontMetrics().horizontalAdvance(option.text) <=
                form.CBsimbolica->width());
    }

    void uncheckedTheLogIsTheNumericOneAlone() {
        ProgramDriver driver;
        TempDir dir;
        driver.openAndApply(dir.write("sk.net", SallenKey),
                            [&] { driver.variablesWindow().LBsel->selectAll(); });
        QVERIFY(!driver.log().contains("Análise simbólica"));
        QCOMPARE(driver.log().last(), QString("Análise terminada com sucesso."));
    }

    void checkedTheSallenKeyIsListedInTheElementNames() {
        ProgramDriver driver;
        TempDir dir;
        auto& p = driver;
        driver.openAndApply(dir.write("sk.net", SallenKey), [&] {
            p.optionsWindow().CBsimbolica->setChecked(true);
            p.variablesWindow().LBsel->item(3)->setSelected(true);  // out
        });
        const QStringList log = driver.log();
        const qsizetype start = log.indexOf("Análise simbólica");
        QVERIFY(start > 0);
        const QStringList expected{
            "Análise simbólica",
            "Símbolos: C1 C2 R1 R2 V1",
            "Denominador simbólico: s^2·(C1·C2·R1·R2) + s·(C2·R1 + C2·R2) + 1",
            "Numerador simbólico 4 (out): V1",
            "Função 4 (out) reduzida: (V1) / (s^2·(C1·C2·R1·R2) + s·(C2·R1 + C2·R2) + 1)",
            "Verificação simbólica: ok",
        };
        QCOMPARE(log.mid(start, expected.size()), expected);
        QCOMPARE(log.last(), QString("Análise terminada com sucesso."));
        QVERIFY(QFile::exists(QString::fromStdString(dir.file("sk.n4"))));
    }

    void theSymbolsBoxKeepsOnlyTheNamedElements() {
        ProgramDriver driver;
        TempDir dir;
        auto& p = driver;
        driver.openAndApply(dir.write("sk.net", SallenKey), [&] {
            p.optionsWindow().CBsimbolica->setChecked(true);
            p.optionsWindow().Esimbolos->setText("C1, C2");
            p.variablesWindow().LBsel->item(3)->setSelected(true);
        });
        const QStringList log = driver.log();
        QVERIFY(log.contains("Símbolos: C1 C2"));
        QVERIFY(log.contains("Função 4 (out) reduzida: (1) / (s^2·(2·C1·C2) + s·(3·C2) + 1)"));
        QVERIFY(log.contains("Verificação simbólica: ok"));
    }

    void aSymbolThatNamesNothingKeepsTheRunWaiting() {
        ProgramDriver driver;
        TempDir dir;
        auto& p = driver;
        bool refused = false;
        driver.openAndApply(dir.write("sk.net", SallenKey), [&] {
            p.optionsWindow().CBsimbolica->setChecked(true);
            p.optionsWindow().Esimbolos->setText("c1, R9");
            p.optionsWindow().Button1->click();
            refused = driver.log().last() == "Símbolos: nenhum valor do circuito se chama R9";
            QVERIFY(p.optionsWindow().isVisible());
            QVERIFY(driver.program.analysis().running());
            // Names are matched as the netlist matches them: c1 is C1.
            p.optionsWindow().Esimbolos->setText("c1");
        });
        QVERIFY(refused);
        QVERIFY(driver.log().contains("Símbolos: C1"));
        QCOMPARE(driver.log().last(), QString("Análise terminada com sucesso."));
    }

    void cancelarStopsALongSymbolicPart() {
        // A dense network of 16 nodes with one symbol: the numeric part takes a fraction of
        // a second, the symbolic one seconds, within 128 MiB.
        qputenv("CORVANE_MEMORIA_CACHE", "128");
        ProgramDriver driver;
        qunsetenv("CORVANE_MEMORIA_CACHE");
        TempDir dir;
        auto& p = driver;
        bool seen = false;
        QTimer presser;
        QObject::connect(&presser, &QTimer::timeout, [&] {
            auto* dialog = p.mainWindow().findChild<QProgressDialog*>("ProgressoAnalise");
            if (!dialog || !dialog->isVisible()) return;
            if (!driver.log().contains("Análise simbólica")) return;
            seen = true;
            for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
                if (button->text() == "Cancelar") button->click();
            }
        });
        presser.start(20);
        driver.openAndApply(dir.write("densa.net", corvane::test::denseRcNetlist(16)), [&] {
            p.optionsWindow().CBsimbolica->setChecked(true);
            p.optionsWindow().Esimbolos->setText("R1");
        });
        presser.stop();
        QVERIFY(seen);
        const QStringList log = driver.log();
        QCOMPARE(log.last(), QString("Análise cancelada."));
        QVERIFY(!QFile::exists(QString::fromStdString(dir.file("densa.d"))));
        QVERIFY(!driver.program.analysis().running());
        QVERIFY(!p.mainWindow().findChild<QProgressDialog*>("ProgressoAnalise")->isVisible());
    }
};

CORVANE_WINDOW_TEST_MAIN(SymbolicWindowTest)
#include "symbolic_window_test.moc"
