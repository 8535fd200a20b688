// Covers the window of responses in time: "Tempo" of the plot list opens it with the
// automatic range, the cursor line shows the RC step 1 - e^(-t/RC) under the pointer, the
// boxes redraw over a typed range or name a bad value, the keys zoom, the context menu's
// response draws the impulse response of the step run or names a refused curve, and
// "Salvar imagem..." writes the picture.
#include <QAction>
#include <QCheckBox>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <chrono>
#include <cmath>
#include <deque>
#include <filesystem>
#include <optional>

#include "plot_frame.h"
#include "polynomial.h"
#include "program_driver.h"
#include "result_file.h"
#include "temp_dir.h"
#include "time_plot.h"
#include "window_test_main.h"

using corvane::Polynomial;
using corvane::test::ProgramDriver;
using corvane::test::TempDir;

namespace {

constexpr double RC = 1e-3;

Polynomial polynomial(std::initializer_list<double> coefficients) {
    Polynomial p;
    int m = 0;
    for (const double c : coefficients) p.coef[m++] = c;
    p.degree = m - 1;
    p.constant = 1.0;
    return p;
}

// The RC step: 1/(s(RC·s + 1)) at the capacitor of a low-pass fed by a unit step.
class TimeDriver : public ProgramDriver {
public:
    TimeDriver() {
        mainWindow().Grfico1->trigger();
        const std::string numerator = dir.file("rc.n2");
        const std::string denominator = dir.file("rc.d");
        if (corvane::savePolynomial(numerator, polynomial({1.0})) != corvane::SaveStatus::Saved ||
            corvane::savePolynomial(denominator, polynomial({0.0, 1.0, RC})) !=
                corvane::SaveStatus::Saved) {
            QTest::qFail("could not write the result files", __FILE__, __LINE__);
        }
        plotListWindow().Memo1->setPlainText(
            QString::fromStdString(numerator + "\n" + denominator));
        timePlotWindow().SaveDialog1->setChooser(
            [this](QWidget*, const corvane::ui::OpenDialogRequest&) -> std::optional<QString> {
                return imageAnswer;
            });
    }

    corvane::ui::TimePlotWindow& time() { return timePlotWindow(); }

    void tempo() {
        QTest::mouseClick(plotListWindow().viewButton("Button4"), Qt::LeftButton);
        processEvents();
    }

    void pointerAt(int x) {
        QWidget* area = time().Grafico;
        const QPointF place(x, area->height() / 2);
        QMouseEvent move(QEvent::MouseMove, place, area->mapToGlobal(place), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(area, &move);
    }

    TempDir dir;
    std::optional<QString> imageAnswer;
};

double step(double t) {
    return 1 - std::exp(-t / RC);
}

}  // namespace

class TimeWindowTest : public QObject {
    Q_OBJECT

private slots:
    void tempoOpensTheWindowWithTheAutomaticRange() {
        TimeDriver driver;
        QVERIFY(!driver.time().isVisible());
        QCOMPARE(driver.plotListWindow().viewButton("Button4")->text(), QStringLiteral("Tempo"));
        QCOMPARE(driver.plotListWindow().viewButton("Button4")->geometry(), QRect(560, 8, 75, 25));
        driver.tempo();
        QVERIFY2(driver.time().isVisible(),
                 qPrintable(driver.log().mid(driver.log().size() - 5).join(u'\n')));
        QCOMPARE(driver.time().windowTitle(), QStringLiteral("Resposta no tempo"));
        QCOMPARE(driver.time().Etmin->text(), QStringLiteral("0"));
        QCOMPARE(driver.time().Etmax->text(), QStringLiteral("0.005"));
        QCOMPARE(driver.time().Epontos->text(), QStringLiteral("1000"));
        QCOMPARE(driver.time().findChild<QLabel*>("Label1")->text(),
                 QStringLiteral("Tempo inicial"));
        QCOMPARE(driver.time().findChild<QLabel*>("Label2")->text(), QStringLiteral("Tempo final"));
        QCOMPARE(driver.time().curves().size(), std::size_t{1});
        QCOMPARE(driver.time().curves()[0].values.size(), std::size_t{1000});
        // The frequency plot was not asked for.
        QVERIFY(!driver.frequencyPlotWindow().isVisible());

        // The curve is drawn in its colour inside the frame.
        const QImage picture = driver.time().Grafico->grab().toImage();
        const corvane::Colour c = corvane::timeCurveColour(1);
        int curvePixels = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = corvane::LeftMargin + 1; x < picture.width() - corvane::RightMargin; ++x)
                if (picture.pixel(x, y) == qRgb(c.red, c.green, c.blue)) ++curvePixels;
        QVERIFY(curvePixels > 300);
    }

    void theCursorLineShowsTheClosedFormUnderThePointer() {
        TimeDriver driver;
        driver.tempo();
        const int width = driver.time().Grafico->width();
        const int x0 = corvane::LeftMargin;
        const int x1 = width - corvane::RightMargin;
        for (const int x : {x0, x0 + 37, (x0 + x1) / 2, x1 - 5, x1}) {
            driver.pointerAt(x);
            const QString line = driver.time().Lcursor->text();
            QVERIFY2(line.startsWith(QStringLiteral("t = ")), qPrintable(line));
            const qsizetype at = line.indexOf(QStringLiteral("1: "));
            QVERIFY2(at > 0, qPrintable(line));
            const double value = line.mid(at + 3).toDouble();
            const int sample = static_cast<int>(std::lround((x - x0) * 999.0 / (x1 - x0)));
            const double t = 5 * RC * sample / 999;
            QVERIFY2(std::fabs(value - step(t)) < 1e-5, qPrintable(line));
        }
        driver.pointerAt(x0 - 3);
        QVERIFY(driver.time().Lcursor->text().isEmpty());
    }

    void theBoxesRedrawOverATypedRange() {
        TimeDriver driver;
        driver.tempo();
        driver.time().Etmin->setText(QStringLiteral("1e-3"));
        driver.time().Etmax->setText(QStringLiteral("2,5e-3"));
        driver.time().Epontos->setText(QStringLiteral("4"));
        QTest::keyClick(driver.time().Epontos, Qt::Key_Return);
        QCOMPARE(driver.time().range().tmin, 1e-3);
        QCOMPARE(driver.time().range().tmax, 2.5e-3);
        const std::vector<double>& values = driver.time().curves()[0].values;
        QCOMPARE(values.size(), std::size_t{4});
        for (int i = 0; i < 4; ++i)
            QVERIFY(std::fabs(values[static_cast<std::size_t>(i)] - step(1e-3 + 0.5e-3 * i)) <
                    1e-12);
        QCOMPARE(driver.time().Etmax->text(), QStringLiteral("0.0025"));
    }

    void aCurveThatOverflowsStopsAndTheLogSaysFromWhen() {
        TimeDriver driver;
        // 1/(s − 1): eᵗ passes the largest double after t = 709.8.
        QCOMPARE(corvane::savePolynomial(driver.dir.file("rc.d"), polynomial({-1.0, 1.0})),
                 corvane::SaveStatus::Saved);
        driver.tempo();
        const qsizetype before = driver.log().size();
        driver.time().Etmax->setText(QStringLiteral("1000"));
        driver.time().Epontos->setText(QStringLiteral("5"));
        QTest::keyClick(driver.time().Epontos, Qt::Key_Return);
        QCOMPARE(driver.logFrom(before),
                 QStringList{"Curva 1: x(t) passa do maior valor representável a partir de t = "
                             "750 s; a curva para aí."});
        const std::vector<double>& values = driver.time().curves()[0].values;
        QCOMPARE(values.size(), std::size_t{5});
        QVERIFY(std::fabs(values[2] / std::exp(500.0) - 1) < 1e-12);
        QVERIFY(std::isnan(values[3]) && std::isnan(values[4]));
        // The cursor reads the time there and no value.
        driver.pointerAt(driver.time().Grafico->width() - corvane::RightMargin);
        QCOMPARE(driver.time().Lcursor->text(), QStringLiteral("t = 1 ks"));
    }

    void badBoxesAreNamedAndChangeNothing_data() {
        QTest::addColumn<QString>("tmin");
        QTest::addColumn<QString>("tmax");
        QTest::addColumn<QString>("points");
        QTest::addColumn<QString>("message");
        QTest::newRow("start") << "x" << "1" << "10" << "Valor inválido em \"Tempo inicial\": x";
        QTest::newRow("end") << "0" << "1 s" << "10" << "Valor inválido em \"Tempo final\": 1 s";
        QTest::newRow("one point") << "0"
                                   << "1"
                                   << "1"
                                   << "Número inválido de pontos (de 2 a 100000)";
        QTest::newRow("too many") << "0" << "1" << "100001"
                                  << "Número inválido de pontos (de 2 a 100000)";
        QTest::newRow("reversed") << "2" << "1" << "10"
                                  << "O tempo final (1 s) deve ser maior que o inicial (2 s)";
    }

    void badBoxesAreNamedAndChangeNothing() {
        QFETCH(QString, tmin);
        QFETCH(QString, tmax);
        QFETCH(QString, points);
        QFETCH(QString, message);
        TimeDriver driver;
        driver.tempo();
        const qsizetype before = driver.log().size();
        driver.time().Etmin->setText(tmin);
        driver.time().Etmax->setText(tmax);
        driver.time().Epontos->setText(points);
        QTest::keyClick(driver.time().Etmin, Qt::Key_Return);
        QCOMPARE(driver.logFrom(before), QStringList{message});
        // Named in the window too, whose plot may hide the log.
        QCOMPARE(driver.time().Lcursor->text(), message);
        QCOMPARE(driver.time().range().tmax, 5 * RC);
        QCOMPARE(driver.time().curves()[0].values.size(), std::size_t{1000});
    }

    // The boxes take the netlist's suffixes as they take commas; accepted, they clear the
    // refusal from the status line.
    void theBoxesTakeTheNetlistsSuffixes() {
        TimeDriver driver;
        driver.tempo();
        driver.time().Etmax->setText(QStringLiteral("2x"));
        QTest::keyClick(driver.time().Etmax, Qt::Key_Return);
        QCOMPARE(driver.time().Lcursor->text(), QStringLiteral("Valor inválido em \"Tempo final\": 2x"));
        driver.time().Etmin->setText(QStringLiteral("500u"));
        driver.time().Etmax->setText(QStringLiteral("2m"));
        QTest::keyClick(driver.time().Etmax, Qt::Key_Return);
        QCOMPARE(driver.time().range().tmin, 500e-6);
        QCOMPARE(driver.time().range().tmax, 2e-3);
        QVERIFY(driver.time().Lcursor->text().isEmpty());
    }

    // A click leaves a marker on the step and its line in the log, as in the frequency
    // plot; M clears the markers.
    void aClickLeavesAMarkerAndMClearsThem() {
        TimeDriver driver;
        driver.tempo();
        QWidget* area = driver.time().Grafico;
        const int x = (corvane::LeftMargin + area->width()) / 2;
        const QPoint at(x, area->height() / 2);
        const qsizetype before = driver.log().size();
        QTest::mouseClick(area, Qt::LeftButton, Qt::NoModifier, at);
        QCOMPARE(driver.time().markers().size(), std::size_t{1});
        const double t = driver.time().markers()[0].t;
        QCOMPARE(t, corvane::timeAtColumn(x, area->width(), driver.time().range()));
        const QStringList logged = driver.logFrom(before);
        QCOMPARE(logged.size(), 1);
        QVERIFY2(logged[0].startsWith(QStringLiteral("Marcador: t = ")), qPrintable(logged[0]));
        const qsizetype at1 = logged[0].indexOf(QStringLiteral("1: rc.n2: "));
        QVERIFY2(at1 > 0, qPrintable(logged[0]));
        QVERIFY(std::fabs(logged[0].mid(at1 + 10).split(' ').front().toDouble() - step(t)) < 1e-5);
        driver.time().setFocus();
        QTest::keyClick(&driver.time(), Qt::Key_M);
        QVERIFY(driver.time().markers().empty());
    }

    // A key moves the samples under a pointer that stands still: the line reads the new
    // view at once, the closed form of the step there within half a sample's rise.
    void theCursorLineFollowsTheKeys() {
        TimeDriver driver;
        driver.tempo();
        const int x = (corvane::LeftMargin + driver.time().Grafico->width()) / 2;
        driver.pointerAt(x);
        const QString before = driver.time().Lcursor->text();
        driver.time().setFocus();
        QTest::keyClick(&driver.time(), Qt::Key_A);
        const QString after = driver.time().Lcursor->text();
        QVERIFY(after != before);
        const double t = corvane::timeAtColumn(x, driver.time().Grafico->width(),
                                               driver.time().range());
        const double value = after.mid(after.indexOf(QStringLiteral("1: ")) + 3).toDouble();
        QVERIFY2(std::fabs(value - step(t)) < 2e-3, qPrintable(after));
    }

    void keysZoomAsInTheFrequencyPlot() {
        TimeDriver driver;
        driver.tempo();
        driver.time().setFocus();
        QTest::keyClick(&driver.time(), Qt::Key_A);
        QCOMPARE(driver.time().range().tmax, 2.5 * RC);
        QCOMPARE(driver.time().Etmax->text(), QStringLiteral("0.0025"));
        QCOMPARE(driver.time().curves()[0].values.back(), step(2.5 * RC));
        const double vmax = driver.time().range().vmax;
        const double vmin = driver.time().range().vmin;
        QTest::keyClick(&driver.time(), Qt::Key_Plus, Qt::KeypadModifier);
        QCOMPARE(driver.time().range().vmax, vmin + (vmax - vmin) / 2);
        QTest::keyClick(&driver.time(), Qt::Key_Right);
        QCOMPARE(driver.time().range().tmin, 2.5 * RC / 4);
    }

    void medidasListsTheClosedFormsOfTheRcStep() {
        TimeDriver driver;
        driver.tempo();
        auto& time = driver.time();
        QVERIFY(!time.Mmedidas->isVisible());
        time.CBmedidas->setChecked(true);
        QVERIFY(time.Mmedidas->isVisible());
        // Final value 1, no peak, rise 10-90 % RC·ln 9, settling to 2 % RC·ln 50.
        const QStringList lines = time.Mmedidas->toPlainText().split('\n');
        QCOMPARE(lines.value(0), QString("Curva 1: medidas:"));
        QCOMPARE(lines.value(1), QString("Valor final: 1"));
        const auto seconds = [&](const QString& prefix) {
            for (const QString& line : lines) {
                if (line.startsWith(prefix)) return line.mid(prefix.size()).section(' ', 0, 0).toDouble();
            }
            return -1.0;
        };
        QVERIFY(std::abs(seconds("Tempo de subida (10 a 90 %): ") / (RC * std::log(9.0)) - 1) < 1e-5);
        QVERIFY(std::abs(seconds("Tempo de acomodação (2 %): ") / (RC * std::log(50.0)) - 1) < 1e-5);
        // The same lines in the log; unchecked, the plot is the plot's alone again.
        QCOMPARE(driver.log().mid(driver.log().size() - lines.size()), lines);
        time.CBmedidas->setChecked(false);
        QVERIFY(!time.Mmedidas->isVisible());
    }

    // The RC's run is a step (its netlist beside the files, older than them): "Resposta ao
    // impulso" draws (1/RC)e^(-t/RC); without the netlist "Resposta ao degrau" is refused by
    // name.
    void theResponseMenuDrawsTheOtherResponseOfTheSameRun() {
        TimeDriver driver;
        const std::string netlist =
            driver.dir.write("rc.net", "RC\nV1 1 0 1 DEGRAU\nR1 1 2 1k\nC1 2 0 1u\n");
        for (const char* name : {"rc.n1", "rc.n3"})
            QCOMPARE(corvane::savePolynomial(driver.dir.file(name), polynomial({1.0})),
                     corvane::SaveStatus::Saved);
        std::filesystem::last_write_time(
            netlist, std::filesystem::last_write_time(driver.dir.file("rc.d")) - std::chrono::seconds(1));
        driver.tempo();
        QVERIFY(driver.time().Respostadonetlist1->isChecked());
        QCOMPARE(driver.time().Respostaaoimpulso1->text(), QStringLiteral("Resposta ao impulso"));
        const auto valuesFollow = [&](double (*expected)(double)) {
            const std::vector<double>& values = driver.time().curves()[0].values;
            if (values.size() != 1000) return false;
            for (std::size_t i = 1; i < values.size(); i += 111) {
                const double t = 5 * RC * static_cast<double>(i) / 999;
                if (std::fabs(values[i] - expected(t)) > 1e-9 * std::fabs(expected(t))) return false;
            }
            return true;
        };
        QVERIFY(valuesFollow(step));
        driver.time().Respostaaoimpulso1->trigger();
        QVERIFY(valuesFollow([](double t) { return std::exp(-t / RC) / RC; }));

        std::filesystem::remove(netlist);
        const qsizetype before = driver.log().size();
        driver.time().Respostaaodegrau1->trigger();
        const std::string n2 = driver.dir.file("rc.n2");
        QCOMPARE(driver.logFrom(before),
                 QStringList{QString::fromStdString(
                     "Curva 1 (" + n2 + "): a resposta ao degrau não pode ser calculada: o netlist " +
                     driver.dir.file("rc.net") +
                     " não foi encontrado ao lado dos arquivos de resultados; curva omitida.")});
        QVERIFY(driver.time().curves()[0].values.empty());
        driver.time().Respostadonetlist1->trigger();
        QVERIFY(valuesFollow(step));
    }

    void salvarImagemWritesThePicture() {
        TimeDriver driver;
        driver.tempo();
        const std::string path = driver.dir.file("tempo.png");
        driver.imageAnswer = QString::fromStdString(path);
        driver.time().Salvarimagem1->trigger();
        QCOMPARE(driver.log().last(), QString::fromStdString("Imagem salva no arquivo " + path));
        QImage image;
        QVERIFY(image.load(QString::fromStdString(path)));
        QCOMPARE(image.size(), driver.time().Grafico->size());
        driver.imageAnswer = QString::fromStdString(driver.dir.file("tempo.gif"));
        driver.time().Salvarimagem1->trigger();
        QVERIFY(driver.log().last().startsWith(QStringLiteral("Imagem não salva: ")));
    }
};

CORVANE_WINDOW_TEST_MAIN(TimeWindowTest)
#include "time_window_test.moc"
