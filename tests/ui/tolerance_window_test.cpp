// The tolerances from the options window: "Tolerâncias" opens the boxes of the rules, the
// circuits and the seed, "Aplicar" checks them against the circuit, and the run lists the
// Monte Carlo statistics and the worst case as `tolerancia` lists them.
#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QProgressDialog>
#include <QTimer>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <cmath>
#include <numbers>

#include "main_window.h"
#include "open_dialog.h"
#include "program_driver.h"
#include "tolerance_window.h"
#include "temp_dir.h"
#include "window_circuits.h"
#include "window_test_main.h"

using corvane::test::ProgramDriver;
using corvane::test::TempDir;

namespace {

constexpr const char* LowPass = corvane::test::RcLowPass;
// The unity-gain Sallen-Key low-pass: enough work per circuit that 100000 of them last
// well past the half second after which the progress shows.
constexpr const char* SallenKey = corvane::test::UnityGainSallenKey;
constexpr double NominalPole = -1000.0;
constexpr double Tolerance = 0.01;

QString sixDigits(double value) {
    return QString::number(value, 'g', 6);
}

// The number after `name ` in `line`.
double numberAfter(const QString& line, const QString& name) {
    const QRegularExpression pattern(QRegularExpression::escape(name) + " (-?[0-9.e+-]+)");
    const QRegularExpressionMatch match = pattern.match(line);
    return match.hasMatch() ? match.captured(1).toDouble() : qQNaN();
}

}  // namespace

class ToleranceWindowTest : public QObject {
    Q_OBJECT

private slots:
    void theBoxesShowOnlyWhileTheTolerancesAreChecked() {
        ProgramDriver driver;
        auto& form = driver.optionsWindow();
        const QSize closed = form.size();
        QVERIFY(form.Etolerancias->isHidden());
        QVERIFY(form.rect().contains(form.CBtolerancia->geometry()));
        form.CBtolerancia->setChecked(true);
        form.CBvarrer->setChecked(true);
        QVERIFY(!form.Etolerancias->isHidden());
        for (QWidget* box : {static_cast<QWidget*>(form.Etolerancias),
                             static_cast<QWidget*>(form.Esemente)}) {
            QVERIFY2(form.rect().contains(box->geometry()), qPrintable(box->objectName()));
            QVERIFY2(!box->geometry().intersects(form.CBlog->geometry()),
                     qPrintable(box->objectName()));
        }
        form.CBtolerancia->setChecked(false);
        form.CBvarrer->setChecked(false);
        QCOMPARE(form.size(), closed);
    }

    // R1 uniform within ±1%: the pole -1000/(1 + δ) stays within the corners, its mean is
    // -1000·ln(1.01/0.99)/0.02 and its deviation about 1000·0.01/√3.
    void aOnePercentResistorSpreadsThePoleAsTheClosedFormSays() {
        ProgramDriver driver;
        TempDir dir;
        auto& form = driver.optionsWindow();
        driver.openAndApply(dir.write("rc.net", LowPass), [&] {
            form.CBtolerancia->setChecked(true);
            form.Etolerancias->setText("R=1%  C=0%");
            form.Ecircuitos->setText("400");
            form.Esemente->setText("7");
        });
        const QStringList log = driver.log();
        QCOMPARE(log.last(), QString("Análise terminada com sucesso."));
        // A tolerance of 0% leaves its element out; blanks separate the rules as commas do.
        QVERIFY(log.contains("Tolerâncias: R1 1% (uniformes)"));
        QVERIFY(log.contains("Monte Carlo: 400 circuitos, semente 7"));
        const QStringList spread = log.filter(QRegularExpression("^  polo real 1 \\[rad/s\\]: "));
        QCOMPARE(spread.size(), 1);
        const QString& line = spread.front();
        const double low = NominalPole / (1.0 - Tolerance);
        const double high = NominalPole / (1.0 + Tolerance);
        QCOMPARE(numberAfter(line, "nominal"), NominalPole);
        const double mean = NominalPole * std::log((1 + Tolerance) / (1 - Tolerance)) /
                            (2 * Tolerance);
        // Six standard errors of the mean of 400 draws.
        QVERIFY2(std::fabs(numberAfter(line, "média") - mean) < 6 * 5.78 / 20, qPrintable(line));
        QVERIFY2(std::fabs(numberAfter(line, "desvio") - 1000 * Tolerance / std::sqrt(3.0)) < 0.6,
                 qPrintable(line));
        for (const char* percentile : {"1%", "50%", "99%"}) {
            const double v = numberAfter(line, percentile);
            QVERIFY2(v >= low && v <= high, qPrintable(line));
        }
        // The corners are the circuits at R·0.99 and R·1.01, analysed exactly.
        const QString corners = "|máximo| " + sixDigits(low) + " rad/s";
        QVERIFY2(!log.filter(QRegularExpression("^  polo real 1: nominal -1000 rad/s; " +
                                                QRegularExpression::escape(corners)))
                      .isEmpty(),
                 qPrintable(corners));
        QVERIFY(!log.filter("|mínimo| " + sixDigits(high) + " rad/s").isEmpty());

        // The histograms come up at once, within the corners, and the menu has them.
        auto& histograms = driver.windows.get<corvane::ui::ToleranceWindow>();
        QVERIFY(histograms.isVisible());
        QVERIFY(driver.mainWindow().Tolerancias1->isEnabled());
        const auto& panels = histograms.panels();
        QVERIFY(!panels.empty());
        QCOMPARE(QString::fromStdString(panels.front().title), QString("polo real 1 [rad/s]"));
        QVERIFY(panels.front().histogram.low >= low - 1e-9);
        QVERIFY(panels.front().histogram.high <= high + 1e-9);
        int counted = 0;
        for (const int count : panels.front().histogram.counts) counted += count;
        QCOMPARE(counted, 400);

        // "Salvar imagem..." writes the picture at the window's size.
        const std::string image = dir.file("tolerancias.png");
        histograms.SaveDialog1->setChooser(
            [&](QWidget*, const corvane::ui::OpenDialogRequest&) -> std::optional<QString> {
                return QString::fromStdString(image);
            });
        histograms.Salvarimagem1->trigger();
        const QImage saved(QString::fromStdString(image));
        QCOMPARE(saved.size(), histograms.Grafico->size());
    }

    // R1 Gaussian with 3σ at 1%: the pole's deviation is about 1000·0.01/3, and the window
    // shows the envelope of the selected variable's gain, around its nominal curve.
    void aGaussianSpreadAndTheGainEnvelopeOfTheSelectedVariable() {
        ProgramDriver driver;
        TempDir dir;
        auto& form = driver.optionsWindow();
        driver.openAndApply(dir.write("rc.net", LowPass), [&] {
            driver.selectVariable("saida");
            form.CBtolerancia->setChecked(true);
            form.Etolerancias->setText("R=1%");
            form.Ecircuitos->setText("400");
            form.CBgauss->setChecked(true);
            form.Esemente->setText("11");
        });
        const QStringList log = driver.log();
        QCOMPARE(log.last(), QString("Análise terminada com sucesso."));
        QVERIFY(log.contains("Tolerâncias: R1 1% (gaussianas, 3σ)"));
        const QStringList spread = log.filter(QRegularExpression("^  polo real 1 \\[rad/s\\]: "));
        QCOMPARE(spread.size(), 1);
        // 400 draws estimate a deviation within about 4%; 15% leaves room.
        const double sigma = 1000 * Tolerance / 3;
        QVERIFY2(std::fabs(numberAfter(spread.front(), "desvio") - sigma) < 0.15 * sigma,
                 qPrintable(spread.front()));

        const auto& envelope = driver.windows.get<corvane::ui::ToleranceWindow>().envelope();
        QVERIFY(envelope.has_value());
        QCOMPARE(QString::fromStdString(envelope->title), QString("ganho de saida [dB]"));
        const corvane::variation::GainEnvelope& e = envelope->envelope;
        QVERIFY(!e.omegas.empty());
        for (std::size_t i = 0; i < e.omegas.size(); ++i) {
            QVERIFY(e.lowest[i] <= e.nominal[i] && e.nominal[i] <= e.highest[i]);
            // The nominal is the RC's 1/|1 + jωRC|, ω in Hz here.
            const double x = 2 * std::numbers::pi * e.omegas[i] / -NominalPole;
            QVERIFY(std::fabs(e.nominal[i] + 10 * std::log10(1 + x * x)) < 1e-9);
        }
        // A decade above the pole the gain goes as 1/R: within ±4σ of R, ±0.12 dB.
        const double width = e.highest.back() - e.lowest.back();
        QVERIFY2(width > 0.0 && width < 0.24, qPrintable(QString::number(width)));
    }

    // "Cancelar" of the analysis's progress stops the Monte Carlo too: the run is cancelled
    // and none of its files is written.
    void cancellingTheMonteCarloWritesNothing() {
        ProgramDriver driver;
        TempDir dir;
        auto& form = driver.optionsWindow();
        bool seen = false;
        QTimer presser;
        QObject::connect(&presser, &QTimer::timeout, [&] {
            auto* dialog = driver.mainWindow().findChild<QProgressDialog*>("ProgressoAnalise");
            if (!dialog || !dialog->isVisible()) return;
            seen = true;
            for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
                if (button->text() == "Cancelar") button->click();
            }
        });
        presser.start(20);
        driver.openAndApply(dir.write("sk.net", SallenKey), [&] {
            form.CBtolerancia->setChecked(true);
            form.Etolerancias->setText("R=1%,C=5%");
            form.Ecircuitos->setText("100000");
        });
        presser.stop();
        QVERIFY(seen);
        QCOMPARE(driver.log().last(), QString("Análise cancelada."));
        QVERIFY(!QFile::exists(QString::fromStdString(dir.file("sk.d"))));
        QVERIFY(!driver.log().contains(QRegularExpression("^Monte Carlo")));
        QVERIFY(!driver.windows.get<corvane::ui::ToleranceWindow>().isVisible());
    }

    void aBoxThatDoesNotFitKeepsTheRunWaiting_data() {
        QTest::addColumn<QStringList>("boxes");  // tolerâncias, circuitos, semente
        QTest::addColumn<QString>("message");
        QTest::newRow("no rules") << QStringList{" ", "1000", ""}
                                  << "Tolerâncias: escreva as tolerâncias em \"Tolerâncias (%)\"";
        QTest::newRow("not a rule")
            << QStringList{"R1%", "1000", ""}
            << "Tolerâncias: escreva cada tolerância como ELEMENTO=PORCENTAGEM ou "
               "TIPO=PORCENTAGEM: R1%";
        QTest::newRow("negative") << QStringList{"R=-1%", "1000", ""}
                                  << "Tolerâncias: tolerância negativa em R: -1%";
        QTest::newRow("a hundred percent") << QStringList{"C=100", "1000", ""}
                                           << "Tolerâncias: tolerância de 100% ou mais em C: 100";
        QTest::newRow("a kind the circuit lacks")
            << QStringList{"L=5%", "1000", ""} << "Tolerâncias: o circuito não tem elementos do tipo L";
        QTest::newRow("an element the circuit lacks")
            << QStringList{"R7=5%", "1000", ""} << "Tolerâncias: o elemento R7 não existe no circuito";
        QTest::newRow("no circuits") << QStringList{"R=1%", "0", ""}
                                     << "Valor inválido em \"Circuitos\" (de 1 a 100000): 0";
        QTest::newRow("one circuit past the most")
            << QStringList{"R=1%", "100001", ""}
            << "Valor inválido em \"Circuitos\" (de 1 a 100000): 100001";
        QTest::newRow("a seed past 64 bits")
            << QStringList{"R=1%", "10", "18446744073709551616"}
            << "Valor inválido em \"Semente\" (de 0 a 18446744073709551615): 18446744073709551616";
        QTest::newRow("a negative seed")
            << QStringList{"R=1%", "10", "-1"}
            << "Valor inválido em \"Semente\" (de 0 a 18446744073709551615): -1";
    }

    void aBoxThatDoesNotFitKeepsTheRunWaiting() {
        QFETCH(QStringList, boxes);
        QFETCH(QString, message);
        ProgramDriver driver;
        TempDir dir;
        auto& form = driver.optionsWindow();
        QString refusal;
        bool stillWaiting = false;
        driver.openAndApply(dir.write("rc.net", LowPass), [&] {
            form.CBtolerancia->setChecked(true);
            form.Etolerancias->setText(boxes[0]);
            form.Ecircuitos->setText(boxes[1]);
            form.Esemente->setText(boxes[2]);
            form.Button1->click();
            refusal = driver.log().last();
            stillWaiting = form.isVisible() && driver.program.analysis().running();
            form.CBtolerancia->setChecked(false);
        });
        QCOMPARE(refusal, message);
        QVERIFY(stillWaiting);
        QCOMPARE(driver.log().last(), QString("Análise terminada com sucesso."));
        QVERIFY(!driver.log().contains(QRegularExpression("^Monte Carlo")));
    }
};

CORVANE_WINDOW_TEST_MAIN(ToleranceWindowTest)
#include "tolerance_window_test.moc"
