// Covers the windows "Nyquist" and "Nichols": their buttons in the plot list open them with
// the listed RC low-pass, H = 1/(1 + s); the cursor line reads the curve point nearest to
// the pointer (H(j1) = 0.5 - j0.5 and its mirror), A zooms and F fits, a list with nothing
// to draw or a range that cannot be sampled is named in the log and under the list, and
// "Salvar imagem..." writes the picture but never over a listed file.
#include <QAction>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <cmath>

#include "main_window.h"
#include "open_dialog.h"
#include "plot_list_window.h"
#include "program_driver.h"
#include "stability_plot_window.h"
#include "temp_dir.h"
#include "window_test_main.h"

using corvane::test::ProgramDriver;
using corvane::test::TempDir;
using corvane::ui::NicholsWindow;
using corvane::ui::NyquistWindow;
using corvane::ui::StabilityPlotWindow;

namespace {

class StabilityDriver : public ProgramDriver {
public:
    StabilityDriver() {
        netlist = dir.write("rc.net", corvane::test::readFile(std::string(CORVANE_TEST_DATA_DIR) +
                                                              "/rc_lowpass.net"));
        openAndApply(netlist);
        mainWindow().Grfico1->trigger();
        plotListWindow().Memo1->setPlainText(
            QString::fromStdString(dir.file("rc.n2") + "\n" + dir.file("rc.d")));
        plotListWindow().Ewmin->setText(QStringLiteral("0,01"));
        plotListWindow().Ewmax->setText(QStringLiteral("100"));
    }

    void click(const char* button) {
        QTest::mouseClick(plotListWindow().viewButton(button), Qt::LeftButton);
        processEvents();
    }

    void pointerAt(StabilityPlotWindow& window, double x, double y) {
        QWidget* area = window.Grafico;
        const QPointF place(x, y);
        QMouseEvent move(QEvent::MouseMove, place, area->mapToGlobal(place), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(area, &move);
    }

    TempDir dir;
    std::string netlist;
};

// The number after `label` in the cursor line.
double valueAfter(const QString& line, const QString& label) {
    const qsizetype at = line.indexOf(label);
    if (at < 0) return NAN;
    QString number = line.mid(at + label.size()).section(u' ', 0, 0);
    number.remove(u'°');
    bool read = false;
    const double value = number.toDouble(&read);
    return read ? value : NAN;
}

}  // namespace

class StabilityWindowTest : public QObject {
    Q_OBJECT

private slots:
    void buttonsOpenTheWindowsByTheirNames() {
        StabilityDriver driver;
        struct Row {
            const char* button;
            const char* caption;
            StabilityPlotWindow* window;
            const char* objectName;
        };
        for (const Row& row :
             {Row{"Button7", "Nyquist", &driver.windows.get<NyquistWindow>(), "TFormNyquist"},
              Row{"Button8", "Nichols", &driver.windows.get<NicholsWindow>(), "TFormNichols"}}) {
            QPushButton* button = driver.plotListWindow().viewButton(row.button);
            QVERIFY(button);
            QCOMPARE(button->text(), QString::fromLatin1(row.caption));
            // Inside the list's client area, clear of every other control.
            QVERIFY(driver.plotListWindow().rect().contains(button->geometry()));
            for (QWidget* other : driver.plotListWindow().findChildren<QWidget*>(
                     Qt::FindDirectChildrenOnly)) {
                if (other != button && !other->isWindow() && other->isVisibleTo(&driver.plotListWindow()))
                    QVERIFY2(!other->geometry().intersects(button->geometry()),
                             qPrintable(other->objectName()));
            }
            QVERIFY(!row.window->isVisible());
            driver.click(row.button);
            QVERIFY(row.window->isVisible());
            QCOMPARE(row.window->objectName(), QString::fromLatin1(row.objectName));
            QCOMPARE(row.window->windowTitle(), QString::fromLatin1(row.caption));
            QVERIFY(row.window->curves());
            QCOMPARE(row.window->curves()->curves.size(), std::size_t{1});
        }
    }

    void cursorReadsThePointAndItsMirror() {
        StabilityDriver driver;
        NyquistWindow& window = driver.windows.get<NyquistWindow>();
        driver.click("Button7");
        window.CBcomprimida->setChecked(false);
        const std::optional<corvane::ChartFrame> frame = window.frame();
        QVERIFY(frame);
        // H(j1) = 0.5 - j0.5 below the axis, H(-j1) above it.
        for (const double side : {-1.0, 1.0}) {
            driver.pointerAt(window, frame->xOf(0.5), frame->yOf(0.5 * side));
            const QString line = window.Lcursor->text();
            QVERIFY2(line.startsWith(QStringLiteral("curva 1 (v(out))   ω = ")), qPrintable(line));
            const double omega = valueAfter(line, QStringLiteral("ω = "));
            QVERIFY2(std::fabs(omega + side) < 0.05, qPrintable(line));
            QVERIFY2(std::fabs(valueAfter(line, QStringLiteral("|H| = ")) - std::sqrt(0.5)) < 0.02,
                     qPrintable(line));
            QVERIFY2(std::fabs(valueAfter(line, QStringLiteral("fase = ")) - 45.0 * side) < 2.0,
                     qPrintable(line));
        }
        driver.pointerAt(window, 1, 1);
        QVERIFY(window.Lcursor->text().isEmpty());
    }

    void keysZoomAndFitAgain() {
        StabilityDriver driver;
        NicholsWindow& window = driver.windows.get<NicholsWindow>();
        driver.click("Button8");
        const corvane::PlaneRegion fitted = window.region();
        QTest::keyClick(&window, Qt::Key_A);
        const double width = window.region().reMax - window.region().reMin;
        QCOMPARE(width, (fitted.reMax - fitted.reMin) / 2);
        QTest::keyClick(&window, Qt::Key_F);
        QVERIFY(window.region() == fitted);
    }

    void whatCannotBeDrawnIsNamedUnderTheList_data() {
        QTest::addColumn<QString>("wmin");
        QTest::addColumn<QString>("wmax");
        QTest::addColumn<QString>("message");
        QTest::newRow("reversed range")
            << "5" << "0,1"
            << "Nyquist: as frequências devem ir de zero ou mais a uma maior: 5 a 0,1";
        QTest::newRow("not a number")
            << "abc" << "5" << "Valor inválido em \"Frequência mínima\": abc";
    }

    void whatCannotBeDrawnIsNamedUnderTheList() {
        QFETCH(QString, wmin);
        QFETCH(QString, wmax);
        QFETCH(QString, message);
        StabilityDriver driver;
        driver.plotListWindow().Ewmin->setText(wmin);
        driver.plotListWindow().Ewmax->setText(wmax);
        const qsizetype lines = driver.log().size();
        driver.click("Button7");
        QVERIFY(!driver.windows.get<NyquistWindow>().isVisible());
        QCOMPARE(driver.logFrom(lines), QStringList{message});
        QCOMPARE(driver.plotListWindow().Lmensagem->text(), message);
    }

    void savesTheImageButNeverOverAListedFile() {
        StabilityDriver driver;
        NyquistWindow& window = driver.windows.get<NyquistWindow>();
        driver.click("Button7");
        const std::string path = driver.dir.file("nyquist.png");
        window.SaveDialog1->setChooser(
            [&](QWidget*, const corvane::ui::OpenDialogRequest&) -> std::optional<QString> {
                return QString::fromStdString(path);
            });
        window.Salvarimagem1->trigger();
        const QImage picture(QString::fromStdString(path));
        QCOMPARE(picture.size(), window.Grafico->size());
        const std::string denominator = driver.dir.file("rc.d");
        const std::string before = corvane::test::readFile(denominator);
        window.SaveDialog1->setChooser(
            [&](QWidget*, const corvane::ui::OpenDialogRequest&) -> std::optional<QString> {
                return QString::fromStdString(denominator);
            });
        const qsizetype lines = driver.log().size();
        window.Salvarimagemclara1->trigger();
        QCOMPARE(driver.logFrom(lines), QStringList{QString::fromStdString(
                                            "Imagem não salva: " + denominator +
                                            " seria gravada sobre o arquivo lido " + denominator)});
        QCOMPARE(corvane::test::readFile(denominator), before);
    }
};

CORVANE_WINDOW_TEST_MAIN(StabilityWindowTest)
#include "stability_window_test.moc"
