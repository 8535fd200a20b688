// Covers the window "Polos e zeros": "Polos e zeros" of the plot list opens it with the
// roots of the listed function, the cursor line reads ω0 and Q of the series RLC's pair on
// its marker, "Lugar" draws the locus against R1 from the netlist beside the result files,
// bad boxes are named in the log and change nothing, the keys zoom and F fits, and
// "Salvar imagem..." writes the picture.
#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <cmath>
#include <optional>

#include "plot_frame.h"
#include "main_window.h"
#include "plot_list_window.h"
#include "pole_zero_window.h"
#include "program_driver.h"
#include "temp_dir.h"
#include "time_plot.h"
#include "window_test_main.h"

using corvane::test::ProgramDriver;
using corvane::test::TempDir;
using corvane::ui::PoleZeroWindow;

namespace {

// V1 → R1 = 1.5 Ω → L1 = 2 H → C1 = 0.25 F: s² + 0.75 s + 2, ω0 = √2, Q = ω0·L/R.
class PoleZeroDriver : public ProgramDriver {
public:
    PoleZeroDriver() {
        netlist = dir.write("rlc.net", corvane::test::readFile(std::string(CORVANE_TEST_DATA_DIR) +
                                                               "/rlc_series.net"));
        openAndApply(netlist);
        mainWindow().Grfico1->trigger();
        plotListWindow().Memo1->setPlainText(
            QString::fromStdString(dir.file("rlc.n3") + "\n" + dir.file("rlc.d")));
    }

    PoleZeroWindow& window() {
        return windows.get<PoleZeroWindow>();
    }

    void openWindow() {
        QTest::mouseClick(plotListWindow().viewButton("Button6"),
                          Qt::LeftButton);
        processEvents();
    }

    void pointerAt(double x, double y) {
        QWidget* area = window().Grafico;
        const QPointF place(x, y);
        QMouseEvent move(QEvent::MouseMove, place, area->mapToGlobal(place), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(area, &move);
    }

    void locus(const QString& element, const QString& from, const QString& to,
               const QString& points, bool logarithmic) {
        window().Eelemento->setText(element);
        window().Ede->setText(from);
        window().Eate->setText(to);
        window().Epontos->setText(points);
        window().CBlog->setChecked(logarithmic);
        QTest::mouseClick(window().Button1, Qt::LeftButton);
    }

    TempDir dir;
    std::string netlist;
};

}  // namespace

class PoleZeroWindowTest : public QObject {
    Q_OBJECT

private slots:
    void opensWithTheRootsAndReadsThePairUnderThePointer() {
        PoleZeroDriver driver;
        QPushButton* button =
            driver.plotListWindow().viewButton("Button6");
        QVERIFY(button);
        QCOMPARE(button->text(), QStringLiteral("Polos e zeros"));
        driver.openWindow();
        PoleZeroWindow& window = driver.window();
        QVERIFY(window.isVisible());
        QCOMPARE(window.windowTitle(), QStringLiteral("Polos e zeros"));
        QCOMPARE(window.map().roots.size(), std::size_t{2});

        const std::optional<corvane::PlaneFrame> frame = corvane::makePlaneFrame(
            window.Grafico->width(), window.Grafico->height(), window.region());
        QVERIFY(frame);
        driver.pointerAt(frame->xOf(-0.375), frame->yOf(std::sqrt(2 - 0.375 * 0.375)));
        const QString line = window.Lcursor->text();
        const auto valueAfter = [&](const QString& label) {
            const qsizetype at = line.indexOf(label);
            return at < 0 ? NAN : line.mid(at + label.size()).section(u' ', 0, 0).toDouble();
        };
        const double pixel = 1 / frame->scale;
        QVERIFY2(std::fabs(valueAfter(QStringLiteral("ω0 = ")) - std::sqrt(2.0)) < pixel,
                 qPrintable(line));
        QVERIFY2(
            std::fabs(valueAfter(QStringLiteral("Q = ")) - std::sqrt(2.0) * 2 / 1.5) < 4 * pixel,
            qPrintable(line));
        QVERIFY2(
            line.endsWith(QStringLiteral("mais perto: polo -0.375 + j1.364 da curva 1 (v(out))")),
            qPrintable(line));
        driver.pointerAt(2, 2);
        QVERIFY(window.Lcursor->text().isEmpty());

        // The picture: the pair's two × in the curve's colour, whatever the window's shape.
        for (const QSize size : {QSize(900, 300), QSize(300, 700)}) {
            window.resize(size);
            driver.processEvents();
            const QImage picture = window.Grafico->grab().toImage();
            const corvane::Colour c = corvane::timeCurveColour(1);
            int marked = 0;
            for (int y = 0; y < picture.height(); ++y)
                for (int x = corvane::LeftMargin + 1; x < picture.width() - corvane::RightMargin;
                     ++x)
                    if (picture.pixel(x, y) == qRgb(c.red, c.green, c.blue)) ++marked;
            // Two crosses of two diagonals of 2·4 + 1 pixels each.
            QVERIFY2(marked >= 2 * 2 * 9 - 4, qPrintable(QString::number(marked)));
        }
    }

    void locusAgainstResistanceFromTheNetlist() {
        PoleZeroDriver driver;
        driver.openWindow();
        const qsizetype before = driver.log().size();
        driver.locus("R1", "0,5", "8", "20", true);
        QCOMPARE(driver.logFrom(before), QStringList{});
        const std::optional<corvane::RootLocus>& locus = driver.window().locus();
        QVERIFY(locus);
        QCOMPARE(locus->samples.size(), std::size_t{20});
        QCOMPARE(locus->traces.size(), std::size_t{2});
        for (const corvane::LocusSample& sample : locus->samples)
            for (const std::complex<double> s : sample.poles)
                QVERIFY(std::abs(s * s + sample.value / 2 * s + 2.0) < 1e-7);
        // The view holds the whole locus: the farthest real pole at R = 8.
        QVERIFY(driver.window().region().reMin < -2 - std::sqrt(2.0));
        // An empty element takes the locus away.
        driver.locus("", "1", "2", "20", false);
        QVERIFY(!driver.window().locus());
    }

    void badBoxesAreNamedAndChangeNothing_data() {
        QTest::addColumn<QString>("element");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("points");
        QTest::addColumn<bool>("logarithmic");
        QTest::addColumn<QString>("message");
        QTest::newRow("from") << "R1"
                              << "abc"
                              << "2"
                              << "20" << false << "Valor inválido em \"De\": abc";
        QTest::newRow("to") << "R1"
                            << "1"
                            << ""
                            << "20" << false << "Valor inválido em \"Até\": ";
        QTest::newRow("reversed") << "R1"
                                  << "2"
                                  << "1"
                                  << "20" << false
                                  << "O valor em \"De\" deve ser menor que o de \"Até\"";
        QTest::newRow("log of zero")
            << "R1"
            << "0"
            << "1"
            << "20" << true << "A escala logarítmica pede valores positivos em \"De\" e \"Até\"";
        QTest::newRow("one point") << "R1"
                                   << "1"
                                   << "2"
                                   << "1" << false << "Número inválido de pontos (de 2 a 1000)";
        QTest::newRow("source") << "V1"
                                << "1"
                                << "2"
                                << "20" << false
                                << "Lugar das raízes: o valor do elemento V1 não muda os polos (é "
                                   "uma fonte ou um amplificador operacional)";
        QTest::newRow("unknown") << "R9"
                                 << "1"
                                 << "2"
                                 << "20" << false
                                 << "Lugar das raízes: o elemento R9 não existe no netlist NETLIST";
    }

    void badBoxesAreNamedAndChangeNothing() {
        QFETCH(QString, element);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, points);
        QFETCH(bool, logarithmic);
        QFETCH(QString, message);
        PoleZeroDriver driver;
        driver.openWindow();
        driver.locus("R1", "1", "2", "5", false);
        QVERIFY(driver.window().locus());
        const qsizetype before = driver.log().size();
        driver.locus(element, from, to, points, logarithmic);
        message.replace(QStringLiteral("NETLIST"), QString::fromStdString(driver.netlist));
        QCOMPARE(driver.logFrom(before), QStringList{message});
        // Named in the window too, whose plane may hide the log.
        QCOMPARE(driver.window().Lcursor->text(), message);
        QCOMPARE(driver.window().locus()->samples.size(), std::size_t{5});
    }

    void keysZoomAndFFits() {
        PoleZeroDriver driver;
        driver.openWindow();
        const corvane::PlaneRegion fitted = driver.window().region();
        QTest::keyClick(&driver.window(), Qt::Key_A);
        const corvane::PlaneRegion zoomed = driver.window().region();
        QCOMPARE(zoomed.reMax - zoomed.reMin, (fitted.reMax - fitted.reMin) / 2);
        QTest::keyClick(&driver.window(), Qt::Key_Left);
        QVERIFY(driver.window().region().reMin < zoomed.reMin);
        QTest::keyClick(&driver.window(), Qt::Key_F);
        QVERIFY(driver.window().region() == fitted);
    }

    void savesTheImage() {
        PoleZeroDriver driver;
        driver.openWindow();
        const std::string path = driver.dir.file("polos.png");
        driver.window().SaveDialog1->setChooser(
            [&](QWidget*, const corvane::ui::OpenDialogRequest&) -> std::optional<QString> {
                return QString::fromStdString(path);
            });
        driver.window().Salvarimagem1->trigger();
        const QImage picture(QString::fromStdString(path));
        QCOMPARE(picture.size(), driver.window().Grafico->size());
        // Never over a file the view was drawn from.
        const std::string denominator = driver.dir.file("rlc.d");
        const QByteArray before = corvane::test::readFile(denominator).c_str();
        driver.window().SaveDialog1->setChooser(
            [&](QWidget*, const corvane::ui::OpenDialogRequest&) -> std::optional<QString> {
                return QString::fromStdString(denominator);
            });
        const qsizetype lines = driver.log().size();
        driver.window().Salvarimagem1->trigger();
        QCOMPARE(driver.logFrom(lines), QStringList{QString::fromStdString(
                                            "Imagem não salva: " + denominator +
                                            " seria gravada sobre o arquivo lido " + denominator)});
        QCOMPARE(QByteArray(corvane::test::readFile(denominator).c_str()), before);
    }
};

CORVANE_WINDOW_TEST_MAIN(PoleZeroWindowTest)
#include "pole_zero_window_test.moc"
