// Covers the plotter's two windows: the controls of the file list window (names, texts,
// defaults, geometry, tab order, the five help lines, the dialog's filter), "Adicionar"
// through the dialog's seam, "Plotar" on result files with the plot window's pixels, the
// check boxes read at every paint, the key commands, the floating-point faults of the paint
// and of the keys (one box, no box again on the repaints, the program goes on), resizing,
// and the export of the picture from the context menu.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <QMouseEvent>

#include <unistd.h>

#include <cmath>
#include <deque>
#include <initializer_list>
#include <optional>

#include "plot_list_controls.h"
#include "polynomial.h"
#include "program_driver.h"
#include "result_file.h"
#include "temp_dir.h"
#include "window_test_main.h"

using corvane::Polynomial;
using corvane::test::ProgramDriver;
using corvane::test::TempDir;

namespace {

const QStringList ListHelp = {
    "* Coloque aqui uma série de transformadas de Laplace a plotar, na forma:",
    "* <Arquivo com numerador>",
    "* <Arquivo com denominador>",
    "* No comando de adicionar selecione o numerador. ",
    "* É assumido que o denominador tem o mesmo nome com sufixo \".d\". ",
};

constexpr QRgb BlackPixel = qRgb(0, 0, 0);
constexpr QRgb WhitePixel = qRgb(255, 255, 255);
constexpr QRgb GreenPixel = qRgb(0, 255, 0);
constexpr QRgb RedPixel = qRgb(255, 0, 0);
constexpr QRgb GreyPixel = qRgb(128, 128, 128);
constexpr QRgb YellowPixel = qRgb(255, 255, 0);

// Inside the frame of a 680 x 442 window, where no label is drawn.
const QRect PlotInterior(71, 11, 598, 413);

Polynomial polynomial(std::initializer_list<double> coefficients, double constant = 1.0) {
    Polynomial p;
    int m = 0;
    for (const double c : coefficients)
        p.coef[m++] = c;
    p.degree = m - 1;
    p.constant = constant;
    return p;
}

std::string saveResult(const TempDir& dir, const std::string& name, const Polynomial& p) {
    const std::string path = dir.file(name);
    if (corvane::savePolynomial(path, p) != corvane::SaveStatus::Saved) {
        QTest::qFail("could not write a result file", __FILE__, __LINE__);
    }
    return path;
}

QStringList listLines(const QPlainTextEdit* memo) {
    return memo->toPlainText().split(u'\n');
}

// The order in which Tab visits the controls of a window, from `first`.
QStringList tabOrder(QWidget* first) {
    QStringList names;
    QWidget* widget = first;
    do {
        if (widget->focusPolicy() & Qt::TabFocus) names << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != first && names.size() < 30);
    return names;
}

int countPixels(const QImage& image, QRgb colour, QRect area) {
    int count = 0;
    area &= image.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixel(x, y) == colour) ++count;
        }
    }
    return count;
}

int countPixels(const QImage& image, QRgb colour) {
    return countPixels(image, colour, image.rect());
}

// Counts the paints of a window.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget& window) { window.installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
    int paints = 0;
};

// The program with the file list's and the image's dialogs answering from queues.
class PlotDriver : public ProgramDriver {
public:
    PlotDriver() {
        plotListWindow().OpenDialog1->setChooser(answerFrom(numeratorAnswers));
        frequencyPlotWindow().SaveDialog1->setChooser(answerFrom(imageAnswers));
        mainWindow().Grfico1->trigger();
    }

    corvane::ui::PlotListWindow& list() { return plotListWindow(); }
    corvane::ui::FrequencyPlotWindow& plot() { return frequencyPlotWindow(); }

    void adicionar(std::optional<QString> answer) {
        numeratorAnswers.push_back(std::move(answer));
        QTest::mouseClick(list().Button1, Qt::LeftButton);
    }

    void adicionar(const std::string& path) {
        adicionar(std::optional<QString>(QString::fromStdString(path)));
    }

    void plotar() {
        QTest::mouseClick(list().viewButton("Button2"), Qt::LeftButton);
        if (plot().isVisible()) QVERIFY(QTest::qWaitForWindowExposed(&plot()));
        processEvents();
    }

    /// What the plot window shows, drawn by its own paint.
    QImage picture() { return plot().grab().toImage().convertToFormat(QImage::Format_RGB32); }

    /// Presses a key in the plot window and lets it repaint.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(&plot(), key, modifiers);
        processEvents();
    }

    /// The curves of the low-pass 1 / (1 + s) in the list.
    void listLowPass(const TempDir& dir) {
        saveResult(dir, "rc.d", polynomial({1.0, 1.0}));
        adicionar(saveResult(dir, "rc.n1", polynomial({1.0})));
    }

    std::deque<std::optional<QString>> numeratorAnswers;
    std::deque<std::optional<QString>> imageAnswers;

private:
    static corvane::ui::OpenDialog::Chooser answerFrom(
        std::deque<std::optional<QString>>& answers) {
        return
            [&answers](QWidget*, const corvane::ui::OpenDialogRequest&) -> std::optional<QString> {
                if (answers.empty()) return std::nullopt;
                const bool confirmed = answers.front().has_value();
                const QString path = answers.front().value_or(QString());
                answers.pop_front();
                if (!confirmed) return std::nullopt;
                return path;
            };
    }
};

}  // namespace

class PlotWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void listWindowEditBoxes_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("top");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("caption");
        QTest::newRow("Ewmin") << "Ewmin"
                               << "0.1" << 48 << "Label1"
                               << "Frequência mínima";
        QTest::newRow("Ewmax") << "Ewmax"
                               << "5" << 72 << "Label2"
                               << "Frequência máxima";
        QTest::newRow("Egmin") << "Egmin"
                               << "-60" << 96 << "Label4"
                               << "Módulo mínimo (dB)";
        QTest::newRow("Egmax") << "Egmax"
                               << "20" << 120 << "Label3"
                               << "Módulo máximo (dB)";
        QTest::newRow("Efmin") << "Efmin"
                               << "-180" << 144 << "Label6"
                               << "Fase mínima (graus)";
        QTest::newRow("Efmax") << "Efmax"
                               << "180" << 168 << "Label5"
                               << "Fase máxima (graus)";
        QTest::newRow("Eamin") << "Eamin"
                               << "-10" << 192 << "Label7"
                               << "Atraso de grupo mínimo (s)";
        QTest::newRow("Eamax") << "Eamax"
                               << "40" << 216 << "Label8"
                               << "Atraso de grupo máximo (s)";
        QTest::newRow("Esegmentos") << "Esegmentos"
                                    << "300" << 240 << "Label9"
                                    << "Segmentos";
    }

    void listWindowEditBoxes() {
        QFETCH(QString, edit);
        QFETCH(QString, text);
        QFETCH(int, top);
        QFETCH(QString, label);
        QFETCH(QString, caption);
        ProgramDriver driver;
        const auto* box = driver.plotListWindow().findChild<QLineEdit*>(edit);
        QVERIFY(box);
        QCOMPARE(box->text(), text);
        QCOMPARE(box->geometry(), QRect(544, top, 121, 21));
        const auto* name = driver.plotListWindow().findChild<QLabel*>(label);
        QVERIFY(name);
        QCOMPARE(name->text(), caption);
        QCOMPARE(name->pos(), QPoint(408, top + 8));
        // The label's text ends before its edit box begins.
        QVERIFY(name->x() + name->fontMetrics().horizontalAdvance(caption) <= 544);
    }

    void listWindowCheckBoxes_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<bool>("checked");
        QTest::newRow("CBhz") << "CBhz"
                              << "Frequências em Hz" << QRect(408, 272, 129, 17) << false;
        QTest::newRow("CBlog") << "CBlog"
                               << "Frequências em escala logarítmica" << QRect(408, 296, 240, 17)
                               << true;
        QTest::newRow("CBgrade") << "CBgrade"
                                 << "Grade" << QRect(408, 320, 97, 17) << true;
        QTest::newRow("CBfase") << "CBfase"
                                << "Fase" << QRect(464, 320, 57, 17) << true;
        QTest::newRow("CBtg") << "CBtg"
                              << "Atraso de grupo" << QRect(520, 320, 148, 17) << true;
        QTest::newRow("CBfasecontinua") << "CBfasecontinua"
                                        << "Fase contínua" << QRect(488, 348, 113, 17) << false;
        QTest::newRow("CBlegenda") << "CBlegenda"
                                   << "Legenda" << QRect(488, 366, 72, 17) << true;
        QTest::newRow("CBcores") << "CBcores"
                                 << "Cores por curva" << QRect(563, 366, 105, 17) << false;
    }

    void listWindowCheckBoxes() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QRect, geometry);
        QFETCH(bool, checked);
        ProgramDriver driver;
        const auto* box = driver.plotListWindow().findChild<QCheckBox*>(name);
        QVERIFY(box);
        QCOMPARE(box->text(), caption);
        QCOMPARE(box->geometry(), geometry);
        QCOMPARE(box->isChecked(), checked);
        // Drawn whole, inside the window at its designed size.
        QVERIFY(box->sizeHint().width() <= geometry.width());
        QVERIFY(box->geometry().right() < driver.plotListWindow().width());
    }

    // The window's table of controls follows the plotter's table of quantities.
    void listWindowControlsFollowTheQuantities() {
        QVERIFY(corvane::ui::detail::editBoxControlsInEnumOrder());
        QVERIFY(corvane::ui::detail::checkBoxControlsMatchSwitches());
    }

    void listWindowListButtonsAndTabOrder() {
        ProgramDriver driver;
        auto& form = driver.plotListWindow();
        QCOMPARE(form.windowTitle(), QString("Resposta em frequência - Arquivos"));
        QCOMPARE(form.size(), QSize(668, 437));  // the client area of 684 x 475
        QVERIFY(!form.isVisible());
        QCOMPARE(form.Memo1->objectName(), QString("Memo1"));
        QCOMPARE(form.Memo1->geometry(), QRect(8, 8, 385, 390));
        QCOMPARE(listLines(form.Memo1), ListHelp);
        QCOMPARE(form.Memo1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(form.Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(form.Memo1->lineWrapMode(), QPlainTextEdit::NoWrap);
        QVERIFY(!form.Memo1->isReadOnly());
        QCOMPARE(form.Button1->objectName(), QString("Button1"));
        QCOMPARE(form.Button1->text(), QString("Adicionar"));
        QCOMPARE(form.Button1->geometry(), QRect(400, 8, 75, 25));
        QCOMPARE(form.viewButton("Button2")->objectName(), QString("Button2"));
        QCOMPARE(form.viewButton("Button2")->text(), QString("Plotar"));
        QCOMPARE(form.viewButton("Button2")->geometry(), QRect(400, 344, 75, 25));
        QCOMPARE(form.Button3->objectName(), QString("Button3"));
        QCOMPARE(form.Button3->text(), QString("Ajustar"));
        QCOMPARE(form.Button3->geometry(), QRect(480, 8, 75, 25));
        QCOMPARE(form.Label10->objectName(), QString("Label10"));
        QCOMPARE(form.Label10->text(), QString("Comandos diretos: Setas,a,r,+,-"));
        QCOMPARE(form.Label10->pos(), QPoint(408, 384));
        QCOMPARE(
            tabOrder(form.Memo1),
            (QStringList{"Memo1",          "Button1",   "Button3", "Button2",    "Ewmin",  "Ewmax",
                         "Egmin",          "Egmax",     "Efmin",   "Efmax",      "Eamin",  "Eamax",
                         "CBhz",           "CBlog",     "CBgrade", "Esegmentos", "CBfase", "CBtg",
                         "CBfasecontinua", "CBlegenda", "CBcores", "CBsemdegrau", "Button4",
                         "Button6",        "Button7",   "Button8", "Button5"}));
        QVERIFY(form.Memo1->tabChangesFocus());
        QCOMPARE(form.OpenDialog1->objectName(), QString("OpenDialog1"));
        QCOMPARE(form.OpenDialog1->request().filter,
                 QString("Numeradores (*.n[1-9] *.n[1-9][0-9] *.n[1-9][0-9][0-9] *.n1000);;Ruído (*.ruido);;Ganho de malha "
                         "(*.malha);;Varredura (*.json)"));
    }

    void plotWindowAtStart() {
        ProgramDriver driver;
        auto& form = driver.frequencyPlotWindow();
        QCOMPARE(form.windowTitle(), QString("Resposta em frequência"));
        QCOMPARE(form.pos(), QPoint(864, 316));
        QCOMPARE(form.size(), QSize(680, 442));
        QVERIFY(!form.isVisible());
        // Before any "Plotar" the window shows only its black background.
        const QImage picture = form.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(countPixels(picture, BlackPixel), 680 * 442);
        QVERIFY(driver.boxes.empty());
    }

    void adicionarAppendsTheNumeratorAndItsDenominator_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QStringList>("appended");
        QTest::newRow("numerator")
            << "/dados/filtro.n3" << QStringList{"/dados/filtro.n3", "/dados/filtro.d"};
        QTest::newRow("two digits")
            << "/dados/filtro.n12" << QStringList{"/dados/filtro.n12", "/dados/filtro.d"};
        QTest::newRow("capital N")
            << "/dados/filtro.N2" << QStringList{"/dados/filtro.N2", "/dados/filtro.d"};
        QTest::newRow("folder with .n")
            << "/dados/a.nova/filtro.n1"
            << QStringList{"/dados/a.nova/filtro.n1", "/dados/a.nova/filtro.d"};
        QTest::newRow("accented name")
            << "/dados/ação.n1" << QStringList{"/dados/ação.n1", "/dados/ação.d"};
        QTest::newRow("no .n") << "/dados/filtro.txt"
                               << QStringList{"* Não é um arquivo de numerador (nome.n1 a "
                                              "nome.n1000): /dados/filtro.txt"};
        QTest::newRow("netlist") << "/dados/filtro.net"
                                 << QStringList{"* Não é um arquivo de numerador (nome.n1 a "
                                                "nome.n1000): /dados/filtro.net"};
    }

    void adicionarAppendsTheNumeratorAndItsDenominator() {
        QFETCH(QString, chosen);
        QFETCH(QStringList, appended);
        PlotDriver driver;
        const qsizetype logged = driver.log().size();
        driver.adicionar(chosen);
        QCOMPARE(listLines(driver.list().Memo1), ListHelp + appended);
        QCOMPARE(driver.log().size(), logged);  // nothing in the log
        QVERIFY(driver.numeratorAnswers.empty());
    }

    // A run's noise file adds its total and its three largest sources, which the file keeps
    // first; all four are whole curves for "Plotar".
    void adicionarTakesTheTotalAndTheLargestSourcesOfANoiseFile() {
        PlotDriver driver;
        TempDir dir;
        std::string sources;
        for (const char* name : {"R4", "R2", "R5", "R1", "R3"}) {
            if (!sources.empty()) sources += ",";
            sources += std::string("{\"elemento\":\"") + name +
                       "\",\"densidade\":1e-20,\"numerador\":[1.0]}";
        }
        const std::string path = dir.write(
            "amp.ruido", "{\"formato\":\"corvane-ruido\",\"versao\":1,\"saida\":\"out\","
                         "\"unidade\":\"V\",\"temperatura_c\":27,\"denominador\":[1.0,1e-3],"
                         "\"fontes\":[" + sources + "]}\n");
        driver.adicionar(path);
        const QString file = QString::fromStdString(path);
        QCOMPARE(listLines(driver.list().Memo1),
                 ListHelp + (QStringList{file, file + "#R4", file + "#R2", file + "#R5"}));
        driver.plotar();
        QCOMPARE(driver.log().last(), QString("Lidas 4 funções"));

        // A file that is not one adds nothing, and the log says why.
        const std::string wrong = dir.write("b.ruido", "{}");
        driver.list().Memo1->clear();
        driver.adicionar(wrong);
        QVERIFY(driver.list().Memo1->toPlainText().isEmpty());
        QCOMPARE(driver.log().last(),
                 QString::fromStdString("O arquivo " + wrong + " não é um arquivo de ruído do Corvane."));
    }

    void adicionarCancelledChangesNothing() {
        PlotDriver driver;
        driver.adicionar(std::nullopt);
        QCOMPARE(listLines(driver.list().Memo1), ListHelp);
        QVERIFY(driver.boxes.empty());
    }

    void adicionarWritesIntoAnEmptyLastLine() {
        PlotDriver driver;
        auto* memo = driver.list().Memo1;
        // The user ended the list with a line break: no empty file line may stay behind.
        memo->setPlainText(ListHelp.join(u'\n') + u'\n');
        driver.adicionar(QString("/dados/f.n1"));
        QCOMPARE(listLines(memo), ListHelp + (QStringList{"/dados/f.n1", "/dados/f.d"}));
        memo->clear();
        driver.adicionar(QString("/dados/g.n2"));
        QCOMPARE(listLines(memo), (QStringList{"/dados/g.n2", "/dados/g.d"}));
    }

    void plotarReadsTheFilesAndPaintsTheCurves() {
        PlotDriver driver;
        TempDir dir;
        driver.listLowPass(dir);
        const qsizetype logged = driver.log().size();
        driver.plotar();
        const QString n1 = QString::fromStdString(dir.file("rc.n1"));
        const QString d = QString::fromStdString(dir.file("rc.d"));
        QCOMPARE(driver.logFrom(logged),
                 (QStringList{"Lendo arquivo " + n1, "Lendo arquivo " + d, "Lidas 1 funções"}));
        QVERIFY(driver.plot().isVisible());
        QVERIFY(driver.program.plotter().plotReady());
        const QImage picture = driver.picture();
        QCOMPARE(picture.size(), QSize(680, 442));
        // The frame on columns 70 and 669 and rows 10 and 424.
        for (const QPoint corner : {QPoint(70, 10), QPoint(669, 10), QPoint(70, 424),
                                    QPoint(669, 424), QPoint(300, 10), QPoint(70, 200)}) {
            QCOMPARE(picture.pixel(corner), WhitePixel);
        }
        QCOMPARE(picture.pixel(69, 200), BlackPixel);
        QCOMPARE(picture.pixel(670, 200), BlackPixel);
        // At point 150 (x 370, w = 0.1·50^0.5 = 0.7071 rad/s): gain -1.761 dB at row 123,
        // phase -35.26° at row 258, group delay 0.667 s at row 336.
        QVERIFY(countPixels(picture, WhitePixel, QRect(369, 122, 2, 3)) > 0);
        QVERIFY(countPixels(picture, GreenPixel, QRect(369, 257, 2, 3)) > 0);
        QVERIFY(countPixels(picture, RedPixel, QRect(369, 335, 2, 3)) > 0);
        // And nowhere far from them in that column.
        QCOMPARE(countPixels(picture, WhitePixel, QRect(370, 130, 1, 280)), 0);
        // The grid: the decade line at 1 rad/s in yellow, the others grey.
        QVERIFY(countPixels(picture, YellowPixel, PlotInterior) > 0);
        QVERIFY(countPixels(picture, GreyPixel, PlotInterior) > 0);
        QVERIFY(driver.boxes.empty());
        QVERIFY(!driver.program.plotter().curvesStale());
    }

    // A list that fails leaves the plot that was showing, as a refused box does, and the
    // list window names the file, since the plot may cover the log.
    void plotarWithAMissingFileKeepsTheLastPlot() {
        PlotDriver driver;
        TempDir dir;
        driver.listLowPass(dir);
        driver.plotar();
        QVERIFY(driver.plot().isVisible());
        const QImage before = driver.picture();
        driver.adicionar(dir.file("falta.n1"));
        driver.plotar();
        QVERIFY(driver.plot().isVisible());
        const QString message =
            "Arquivo " + QString::fromStdString(dir.file("falta.n1")) + " não encontrado.";
        QCOMPARE(driver.log().last(), message);
        QCOMPARE(driver.list().Lmensagem->text(), message);
        QVERIFY(driver.program.plotter().plotReady());
        QCOMPARE(driver.picture(), before);
        QVERIFY(driver.boxes.empty());
        // "Adicionar" refuses a netlist typed into its dialog, naming it in the list.
        driver.list().Memo1->clear();
        driver.adicionar(dir.file("rc.net"));
        QCOMPARE(driver.list().Memo1->toPlainText(),
                 "* Não é um arquivo de numerador (nome.n1 a nome.n1000): " +
                     QString::fromStdString(dir.file("rc.net")));
    }

    // A refused box is named beside the boxes, and the next good "Plotar" clears it; the
    // boxes take the netlist's suffixes.
    void aRefusedBoxIsNamedInTheListWindow() {
        PlotDriver driver;
        TempDir dir;
        driver.listLowPass(dir);
        driver.list().Ewmax->setText("2x");
        driver.plotar();
        QCOMPARE(driver.list().Lmensagem->text(),
                 QString("Valor inválido em \"Frequência máxima\": 2x"));
        QCOMPARE(driver.log().last(), driver.list().Lmensagem->text());
        QVERIFY(driver.list().Lmensagem->isVisible());
        driver.list().Ewmin->setText("10m");
        driver.list().Ewmax->setText("2k");
        driver.plotar();
        QVERIFY(driver.list().Lmensagem->text().isEmpty());
        QCOMPARE(driver.program.plotter().plotParameters().wmin, 10e-3);
        QCOMPARE(driver.program.plotter().plotParameters().wmax, 2e3);
    }

    void closingThePlotWindowOnlyHidesIt() {
        PlotDriver driver;
        TempDir dir;
        driver.listLowPass(dir);
        driver.plotar();
        QVERIFY(driver.plot().close());
        QVERIFY(!driver.plot().isVisible());
        QVERIFY(driver.mainWindow().isVisible());
        driver.plotar();
        QVERIFY(driver.plot().isVisible());
    }

    void checkBoxesChangeTheNextPaintWithoutPlotar() {
        PlotDriver driver;
        TempDir dir;
        driver.listLowPass(dir);
        driver.plotar();
        const QImage all = driver.picture();
        QVERIFY(countPixels(all, GreenPixel) > 0);
        QVERIFY(countPixels(all, RedPixel) > 0);
        PaintCounter counter(driver.plot());
        driver.list().CBfase->setChecked(false);
        driver.processEvents();
        QVERIFY(counter.paints > 0);  // toggling a box repaints the plot window
        const QImage noPhase = driver.picture();
        QCOMPARE(countPixels(noPhase, GreenPixel), 0);
        QVERIFY(countPixels(noPhase, RedPixel) > 0);
        driver.list().CBtg->setChecked(false);
        driver.list().CBgrade->setChecked(false);
        const QImage gainOnly = driver.picture();
        QCOMPARE(countPixels(gainOnly, RedPixel), 0);
        QCOMPARE(countPixels(gainOnly, GreyPixel, PlotInterior), 0);
        QCOMPARE(countPixels(gainOnly, YellowPixel, PlotInterior), 0);
        QVERIFY(countPixels(gainOnly, WhitePixel, QRect(369, 122, 2, 3)) > 0);
        // The edit boxes are read by "Plotar" only.
        driver.list().Egmax->setText("0");
        driver.list().Ewmax->setText("50");
        QCOMPARE(driver.picture(), gainOnly);
        QVERIFY(driver.boxes.empty());
    }

    // 1 / (1 + s): its pole at 1 rad/s gives 0.1 to 10 rad/s; there the gain falls to
    // -20.04 dB from -0.04 dB (2 dB of room above reaches 10 dB), the phase to -84.3°, and
    // the delay is at most 0.99 s (5 % of room above passes 1 s).
    void ajustarWritesTheFittedRangesAndPlots() {
        PlotDriver driver;
        TempDir dir;
        driver.listLowPass(dir);
        driver.list().Esegmentos->setText("250");
        QTest::mouseClick(driver.list().Button3, Qt::LeftButton);
        QVERIFY(QTest::qWaitForWindowExposed(&driver.plot()));
        const QStringList expected{"0.1", "10", "-30", "10", "-90", "0", "0", "2", "250"};
        QStringList texts;
        for (QLineEdit* box : {driver.list().Ewmin, driver.list().Ewmax, driver.list().Egmin,
                               driver.list().Egmax, driver.list().Efmin, driver.list().Efmax,
                               driver.list().Eamin, driver.list().Eamax, driver.list().Esegmentos})
            texts << box->text();
        QCOMPARE(texts, expected);
        const auto& p = driver.program.plotter().plotParameters();
        QCOMPARE(p.wmax, 10.0);
        QCOMPARE(p.segmentos, 250);
        QVERIFY(driver.program.plotter().plotReady());

        // F in the plot window fits again, now in Hz: 0.159 Hz, one decade each way.
        driver.list().CBhz->setChecked(true);
        driver.press(Qt::Key_F);
        QCOMPARE(driver.list().Ewmin->text(), QString("0.01"));
        QCOMPARE(driver.list().Ewmax->text(), QString("2"));
        QCOMPARE(p.wmax, 2.0);
    }

    void ajustarWithAMissingFileChangesNoBox() {
        PlotDriver driver;
        TempDir dir;
        driver.adicionar(dir.file("nada.n1"));
        QTest::mouseClick(driver.list().Button3, Qt::LeftButton);
        QCOMPARE(driver.list().Ewmin->text(), QString("0.1"));
        QCOMPARE(driver.list().Egmax->text(), QString("20"));
        QVERIFY(!driver.plot().isVisible());
    }

    void keysMoveAndZoomTheView() {
        PlotDriver driver;
        TempDir dir;
        driver.listLowPass(dir);
        driver.plotar();
        const auto& p = driver.program.plotter().plotParameters();
        PaintCounter counter(driver.plot());
        const QImage before = driver.picture();

        driver.press(Qt::Key_Left);
        QVERIFY(std::abs(p.wmin - 0.037606) < 1e-6);
        QVERIFY(std::abs(p.wmax - 1.8803) < 1e-4);
        QVERIFY(counter.paints > 0);
        QVERIFY(driver.picture() != before);
        driver.press(Qt::Key_Right);
        QVERIFY(std::abs(p.wmin - 0.1) < 1e-12);
        QVERIFY(std::abs(p.wmax - 5) < 1e-12);

        driver.press(Qt::Key_A, Qt::ShiftModifier);
        QVERIFY(std::abs(p.wmax - 0.70711) < 1e-5);
        driver.press(Qt::Key_R);
        QVERIFY(std::abs(p.wmax - 5) < 1e-12);

        driver.press(Qt::Key_Up);
        QCOMPARE(p.gmin, -20.0);
        QCOMPARE(p.gmax, 60.0);
        const int paints = counter.paints;
        driver.press(Qt::Key_Plus, Qt::KeypadModifier);
        QCOMPARE(p.gmax, 20.0);
        QVERIFY(counter.paints > paints);
        driver.press(Qt::Key_Minus, Qt::KeypadModifier);
        QCOMPARE(p.gmax, 60.0);

        // The main keyboard's plus, "=" and minus zoom as the keypad's do.
        driver.press(Qt::Key_Plus);
        QCOMPARE(p.gmax, 20.0);
        driver.press(Qt::Key_Minus);
        QCOMPARE(p.gmax, 60.0);
        driver.press(Qt::Key_Equal);
        QCOMPARE(p.gmax, 20.0);
        driver.press(Qt::Key_Minus);
        QCOMPARE(p.gmax, 60.0);

        // Other keys change nothing and do not repaint.
        const QImage shown = driver.picture();
        const int quiet = counter.paints;
        driver.press(Qt::Key_B);
        QCOMPARE(counter.paints, quiet);
        QCOMPARE(p.gmin, -20.0);
        QCOMPARE(p.gmax, 60.0);
        QCOMPARE(driver.picture(), shown);
        // The keys never touch the edit boxes.
        QCOMPARE(driver.list().Ewmin->text(), QString("0.1"));
        QCOMPARE(driver.list().Egmax->text(), QString("20"));
        QVERIFY(driver.boxes.empty());
    }

    void resizingRedrawsAtTheNewSize() {
        PlotDriver driver;
        TempDir dir;
        driver.listLowPass(dir);
        driver.plotar();
        driver.plot().resize(400, 300);
        const QImage picture = driver.picture();
        QCOMPARE(picture.size(), QSize(400, 300));
        // x1 = 390 and y1 = 282: the frame's right column is 389, its bottom row 282.
        QCOMPARE(picture.pixel(389, 100), WhitePixel);
        QCOMPARE(picture.pixel(200, 282), WhitePixel);
        QCOMPARE(picture.pixel(390, 100), BlackPixel);
    }

    void equalLimitsShowOneBoxAndTheProgramGoesOn() {
        PlotDriver driver;
        TempDir dir;
        driver.listLowPass(dir);
        driver.list().Ewmin->setText("1");
        driver.list().Ewmax->setText("1");
        driver.plotar();
        QVERIFY(driver.plot().isVisible());
        QCOMPARE(driver.boxes.size(), std::size_t{1});
        QCOMPARE(driver.boxes[0].title, QString("Corvane"));
        QCOMPARE(driver.boxes[0].text, QString("Divisão por zero em ponto flutuante."));
        // The paint ended after the background; the curves stay to be evaluated.
        QCOMPARE(countPixels(driver.picture(), BlackPixel), 680 * 442);
        QVERIFY(driver.program.plotter().curvesStale());
        // Every later repaint of the same data meets the same fault without a new box.
        for (int i = 0; i < 5; ++i) {
            driver.plot().repaint();
            driver.picture();
            driver.processEvents();
        }
        driver.list().CBfase->setChecked(false);
        driver.processEvents();
        QCOMPARE(driver.boxes.size(), std::size_t{1});
        // The program goes on: the other windows work, and good limits plot again.
        driver.mainWindow().Grfico1->trigger();
        QVERIFY(driver.list().isVisible());
        driver.list().Ewmin->setText("0.1");
        driver.list().Ewmax->setText("5");
        driver.plotar();
        const QImage picture = driver.picture();
        QCOMPARE(picture.pixel(70, 10), WhitePixel);
        QVERIFY(countPixels(picture, WhitePixel, QRect(369, 122, 2, 3)) > 0);
        QVERIFY(!driver.program.plotter().curvesStale());
        QCOMPARE(driver.boxes.size(), std::size_t{1});
        // New data that faults again is reported again, once.
        driver.list().Egmin->setText("20");
        driver.plotar();
        driver.plot().repaint();
        driver.processEvents();
        QCOMPARE(driver.boxes.size(), std::size_t{2});
    }

    void aPoleOnTheAxisBreaksTheCurveThereAndTheLogSaysWhere() {
        PlotDriver driver;
        TempDir dir;
        // 1 / (s² + 1) on the linear axis 0 .. 2 in 4 segments: the point w = 1 hits the pole.
        saveResult(dir, "pico.d", polynomial({1.0, 0.0, 1.0}));
        driver.adicionar(saveResult(dir, "pico.n1", polynomial({1.0})));
        driver.list().Ewmin->setText("0");
        driver.list().Ewmax->setText("2");
        driver.list().Esegmentos->setText("4");
        const qsizetype logged = driver.log().size();
        driver.plotar();
        const QImage picture = driver.picture();
        QVERIFY(driver.boxes.empty());
        QCOMPARE(driver.logFrom(logged).last(),
                 QString("Curva 1: não pode ser calculada em ω = 1 rad/s (Divisão por zero em "
                         "ponto flutuante); a curva fica interrompida aí."));
        // A limit of 0 made the axis linear.
        QVERIFY(!driver.list().CBlog->isChecked());
        // Points 0, 1, 3 and 4 stand at x 70, 220, 520 and 670: the segments 0–1 and 3–4
        // are drawn, none across the pole.
        QVERIFY(countPixels(picture, WhitePixel, QRect(100, 11, 100, 413)) > 0);
        QCOMPARE(countPixels(picture, WhitePixel, QRect(230, 11, 280, 413)), 0);
        QVERIFY(countPixels(picture, WhitePixel, QRect(540, 40, 100, 380)) > 0);
        QVERIFY(!driver.program.plotter().curvesStale());
        driver.plot().repaint();
        driver.processEvents();
        QVERIFY(driver.boxes.empty());
    }

    void aFaultingKeyShowsOneBoxAndChangesNothing() {
        PlotDriver driver;
        TempDir dir;
        driver.listLowPass(dir);
        driver.list().Ewmin->setText("0");
        driver.plotar();
        QVERIFY(driver.boxes.empty());
        QVERIFY(!driver.list().CBlog->isChecked());
        // Checked again before the next paint, the box makes the left arrow take the
        // fourth root of 5 / 0.
        driver.list().CBlog->setChecked(true);
        QTest::keyClick(&driver.plot(), Qt::Key_Left);
        const auto& p = driver.program.plotter().plotParameters();
        QCOMPARE(p.wmin, 0.0);
        QCOMPARE(p.wmax, 5.0);
        driver.processEvents();
        QCOMPARE(driver.boxes.size(), std::size_t{1});
        QCOMPARE(driver.boxes[0].text, QString("Divisão por zero em ponto flutuante."));
        QCOMPARE(p.wmin, 0.0);
        QCOMPARE(p.wmax, 5.0);
        // The keys go on working.
        driver.press(Qt::Key_Up);
        QCOMPARE(p.gmax, 60.0);
        QCOMPARE(driver.boxes.size(), std::size_t{1});
    }

    void anOverflowingKeyShowsOneBoxEachTime() {
        PlotDriver driver;
        TempDir dir;
        // Constant curves: nothing overflows while the grid spans 210 decades.
        saveResult(dir, "k.d", polynomial({2.0}));
        driver.adicionar(saveResult(dir, "k.n1", polynomial({1.0})));
        driver.list().Ewmin->setText("1e-10");
        driver.list().Ewmax->setText("1e200");
        driver.plotar();
        QVERIFY(driver.boxes.empty());
        driver.press(Qt::Key_R);  // wmax² overflows
        QCOMPARE(driver.boxes.size(), std::size_t{1});
        QCOMPARE(driver.boxes[0].text, QString("Estouro em ponto flutuante."));
        QCOMPARE(driver.program.plotter().plotParameters().wmax, 1e200);
        driver.press(Qt::Key_R);
        QCOMPARE(driver.boxes.size(), std::size_t{2});
    }

    void theContextMenuSavesThePictureAsPng() {
        PlotDriver driver;
        TempDir dir;
        driver.listLowPass(dir);
        driver.plotar();
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(300, 200),
                                driver.plot().mapToGlobal(QPoint(300, 200)));
        QApplication::sendEvent(&driver.plot(), &click);
        QVERIFY(driver.plot().PopupMenu1->isVisible());
        QCOMPARE(driver.plot().PopupMenu1->actions(),
                 (QList<QAction*>{driver.plot().Salvarimagem1, driver.plot().Salvarimagemclara1,
                                  driver.plot().Valorem1}));
        QCOMPARE(driver.plot().Salvarimagem1->text(), QString("Salvar imagem..."));
        QCOMPARE(driver.plot().Salvarimagemclara1->text(),
                 QString("Salvar imagem com fundo claro..."));
        driver.plot().PopupMenu1->hide();

        const std::string path = dir.file("resposta.png");
        driver.imageAnswers.push_back(QString::fromStdString(path));
        driver.plot().Salvarimagem1->trigger();
        QCOMPARE(driver.log().last(), "Imagem salva no arquivo " + QString::fromStdString(path));
        QImage saved(QString::fromStdString(path));
        QCOMPARE(saved.size(), QSize(680, 442));
        QCOMPARE(saved.convertToFormat(QImage::Format_RGB32), driver.picture());

        // The same picture on white: black and white trade places, the window stays black.
        const std::string light = dir.file("clara.png");
        driver.imageAnswers.push_back(QString::fromStdString(light));
        driver.plot().Salvarimagemclara1->trigger();
        QCOMPARE(driver.log().last(), "Imagem salva no arquivo " + QString::fromStdString(light));
        const QImage onWhite = QImage(QString::fromStdString(light)).convertToFormat(QImage::Format_RGB32);
        const QImage onScreen = driver.picture();
        QCOMPARE(onWhite.size(), onScreen.size());
        QCOMPARE(countPixels(onWhite, qRgb(255, 255, 255)), countPixels(onScreen, qRgb(0, 0, 0)));
        QCOMPARE(countPixels(onScreen, qRgb(255, 255, 255)) > 0, true);
        QCOMPARE(onScreen.pixel(0, 0), qRgb(0, 0, 0));

        // At the window's size.
        driver.plot().resize(500, 320);
        const std::string svg = dir.file("resposta.svg");
        driver.imageAnswers.push_back(QString::fromStdString(svg));
        driver.plot().Salvarimagem1->trigger();
        QVERIFY(corvane::test::readFile(svg).find("viewBox=\"0 0 500 320\"") != std::string::npos);
        QVERIFY(driver.boxes.empty());
    }

    void aFailedExportIsReportedInTheLog() {
        PlotDriver driver;
        TempDir dir;
        driver.listLowPass(dir);
        driver.plotar();
        const std::string missingFolder = dir.file("falta/resposta.png");
        const std::string jpeg = dir.file("resposta.jpg");
        driver.imageAnswers = {QString::fromStdString(missingFolder), QString::fromStdString(jpeg),
                               std::nullopt};
        const qsizetype logged = driver.log().size();
        for (int i = 0; i < 3; ++i)
            driver.plot().Salvarimagem1->trigger();
        QCOMPARE(driver.logFrom(logged),
                 (QStringList{
                     "Não foi possível gravar a imagem " + QString::fromStdString(missingFolder),
                     "Imagem não salva: " + QString::fromStdString(jpeg) +
                         " não termina em .png nem em .svg"}));
        QVERIFY(!QFile::exists(QString::fromStdString(jpeg)));
        driver.processEvents();
        QVERIFY(driver.boxes.empty());
    }

    // An image whose name leads to a result file the plot read would replace it.
    void anImageOverAResultFileIsRefused() {
        PlotDriver driver;
        TempDir dir;
        driver.listLowPass(dir);
        driver.plotar();
        const std::string denominator = dir.file("rc.d");
        const std::string before = corvane::test::readFile(denominator);
        const std::string link = dir.file("rc.png");
        QVERIFY(::symlink(denominator.c_str(), link.c_str()) == 0);
        driver.imageAnswers.push_back(QString::fromStdString(link));
        driver.plot().Salvarimagem1->trigger();
        QCOMPARE(driver.log().last(), "Imagem não salva: " + QString::fromStdString(link) +
                                          " seria gravada sobre o arquivo lido " +
                                          QString::fromStdString(denominator));
        QCOMPARE(corvane::test::readFile(denominator), before);
    }

    void aFaultingExportWritesNothingAndShowsTheBox() {
        PlotDriver driver;
        TempDir dir;
        driver.listLowPass(dir);
        driver.list().Egmin->setText("20");
        driver.plotar();
        QCOMPARE(driver.boxes.size(), std::size_t{1});
        const std::string path = dir.file("resposta.png");
        driver.imageAnswers.push_back(QString::fromStdString(path));
        driver.plot().Salvarimagem1->trigger();
        driver.processEvents();
        QCOMPARE(driver.boxes.size(), std::size_t{2});
        QVERIFY(!QFile::exists(QString::fromStdString(path)));
    }

    void aBoxThatIsNotANumberIsLoggedAndChangesNothing() {
        PlotDriver driver;
        TempDir dir;
        driver.listLowPass(dir);
        driver.list().Ewmin->setText("abc");
        driver.plotar();
        QCOMPARE(driver.log().last(), QString("Valor inválido em \"Frequência mínima\": abc"));
        QVERIFY(!driver.plot().isVisible());
        QVERIFY(driver.list().CBlog->isChecked());
        QVERIFY(driver.boxes.empty());
        // A Brazilian decimal comma is a decimal separator.
        driver.list().Ewmin->setText("0,1");
        driver.list().Ewmax->setText("2,5e0");
        driver.plotar();
        QVERIFY(driver.plot().isVisible());
        QCOMPARE(driver.program.plotter().plotParameters().wmax, 2.5);
        QVERIFY(driver.boxes.empty());
    }

    void afterAnErrorBoxThePlotKeepsItsLastGoodPicture() {
        PlotDriver driver;
        TempDir dir;
        driver.listLowPass(dir);
        driver.plotar();
        const QImage good = driver.picture();
        QVERIFY(countPixels(good, WhitePixel, QRect(369, 122, 2, 3)) > 0);
        driver.list().Egmin->setText("20");
        driver.plotar();
        driver.plot().repaint();
        driver.processEvents();
        QCOMPARE(driver.boxes.size(), std::size_t{1});
        QCOMPARE(driver.boxes[0].text, QString("Divisão por zero em ponto flutuante."));
        QCOMPARE(driver.picture(), good);
        driver.plot().repaint();
        driver.processEvents();
        QCOMPARE(driver.picture(), good);
        QCOMPARE(driver.boxes.size(), std::size_t{1});
    }

    void aToggleOfTheAxisMakesTheTableStale() {
        PlotDriver driver;
        TempDir dir;
        driver.listLowPass(dir);
        driver.plotar();
        driver.picture();
        QVERIFY(!driver.program.plotter().curvesStale());
        for (QCheckBox* box : {driver.list().CBlog, driver.list().CBhz}) {
            box->toggle();
            QVERIFY(driver.program.plotter().curvesStale());
            driver.picture();
            QVERIFY(!driver.program.plotter().curvesStale());
        }
        // Linear from 0.1 to 5 Hz: point 150 is at 2.55 Hz, ω = 2π·2.55, where the gain of
        // 1 / (1 + s) is -10·log10(1 + ω²).
        const auto& table = driver.program.plotter().responseTable();
        QCOMPARE(table.frequency[150], 0.1 + 150 * 4.9 / 300);
        const double omega = 2 * 3.141592653589793 * table.frequency[150];
        QVERIFY(std::abs(table.gain[1][150] + 10 * std::log10(1 + omega * omega)) < 1e-9);
    }

    void enterInAnEditBoxPressesPlotar() {
        PlotDriver driver;
        TempDir dir;
        driver.listLowPass(dir);
        QVERIFY(!driver.plot().isVisible());
        driver.list().Ewmax->setText("10");
        QTest::keyClick(driver.list().Ewmax, Qt::Key_Return);
        driver.processEvents();
        QVERIFY(driver.plot().isVisible());
        QCOMPARE(driver.program.plotter().plotParameters().wmax, 10.0);
        driver.list().Esegmentos->setText("100");
        QTest::keyClick(driver.list().Esegmentos, Qt::Key_Enter, Qt::KeypadModifier);
        driver.processEvents();
        QCOMPARE(driver.program.plotter().plotParameters().segmentos, 100);
    }

    void theValueBoxReadsEveryCurveAtTheTypedFrequency() {
        PlotDriver driver;
        TempDir dir;
        driver.listLowPass(dir);
        driver.plotar();
        auto& plot = driver.plot();
        const QImage before = driver.picture();
        QVERIFY(!plot.Eem->isVisible());
        driver.press(Qt::Key_V);
        QVERIFY(plot.Eem->isVisible());
        // 1/(1+s) at ω = 1 krad/s, typed with a suffix: |H| = 1/√(1+ω²), arg H = −atan ω,
        // delay 1/(1+ω²), to the nine digits listed.
        plot.Eem->setText("1k");
        QTest::keyClick(plot.Eem, Qt::Key_Return);
        QVERIFY(plot.Lvalor->isVisible());
        const QString shown = driver.log().last();
        const double w = 1000.0;
        const QString expected =
            QString::asprintf("Curva 1 em ω = 1000 rad/s (%.9g Hz): ganho %.9g dB (%.9g), fase "
                              "%.9g graus, atraso %.9g s",
                              w / (2 * M_PI), -10 * std::log10(1 + w * w), 1 / std::sqrt(1 + w * w),
                              -std::atan(w) * 180 / M_PI, 1 / (1 + w * w));
        QCOMPARE(shown, expected);
        // The panel folds the log's line after the place.
        QCOMPARE(plot.Lvalor->text(), QString(expected).replace(": ganho", ":\n  ganho"));
        plot.Eem->setText("mil");
        QTest::keyClick(plot.Eem, Qt::Key_Return);
        QCOMPARE(plot.Lvalor->text(), QString("Valor inválido em \"Valor em\": mil"));
        // Empty, Enter closes both and the plot is as it was.
        plot.Eem->clear();
        QTest::keyClick(plot.Eem, Qt::Key_Return);
        QVERIFY(!plot.Eem->isVisible() && !plot.Lvalor->isVisible());
        QCOMPARE(driver.picture(), before);
    }

    void theListGrowsWithTheWindow() {
        PlotDriver driver;
        auto& form = driver.list();
        const QSize laidOut = form.size();
        QCOMPARE(form.Memo1->geometry(), QRect(8, 8, 385, 390));
        const QPoint plotar = form.viewButton("Button2")->pos();
        const QPoint wmin = form.Ewmin->pos();
        form.resize(laidOut + QSize(200, 100));
        QCOMPARE(form.Memo1->geometry(), QRect(8, 8, 585, 490));
        QCOMPARE(form.viewButton("Button2")->pos(), plotar + QPoint(200, 0));
        QCOMPARE(form.Ewmin->pos(), wmin + QPoint(200, 0));
        QVERIFY(form.Ewmin->geometry().right() < form.width());
        form.resize(laidOut);
        QCOMPARE(form.Memo1->geometry(), QRect(8, 8, 385, 390));
        QCOMPARE(form.viewButton("Button2")->pos(), plotar);
    }

    void theWheelZoomsAndADragPans() {
        PlotDriver driver;
        TempDir dir;
        driver.listLowPass(dir);
        driver.list().Ewmin->setText("1");
        driver.list().Ewmax->setText("10000");
        driver.plotar();
        driver.picture();
        const auto& p = driver.program.plotter().plotParameters();
        // x = 220 is a quarter of the way across the frame (70 .. 670): 10 rad/s.
        const QPointF pointer(220, 200);
        QWheelEvent up(pointer, driver.plot().mapToGlobal(pointer), QPoint(), QPoint(0, 120),
                       Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&driver.plot(), &up);
        QVERIFY(std::abs(std::log10(p.wmin) - 0.5) < 1e-12);
        QVERIFY(std::abs(std::log10(p.wmax) - 2.5) < 1e-12);
        QVERIFY(driver.program.plotter().curvesStale());
        driver.picture();
        QVERIFY(!driver.program.plotter().curvesStale());

        // A drag of 150 pixels (a quarter of the frame) to the right: half a decade down.
        auto mouse = [&](QEvent::Type type, QPointF at, Qt::MouseButton button,
                         Qt::MouseButtons buttons) {
            QMouseEvent event(type, at, driver.plot().mapToGlobal(at), button, buttons,
                              Qt::NoModifier);
            QApplication::sendEvent(&driver.plot(), &event);
        };
        mouse(QEvent::MouseButtonPress, {300, 200}, Qt::LeftButton, Qt::LeftButton);
        mouse(QEvent::MouseMove, {400, 200}, Qt::NoButton, Qt::LeftButton);
        mouse(QEvent::MouseMove, {450, 200}, Qt::NoButton, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, {450, 200}, Qt::LeftButton, Qt::NoButton);
        QVERIFY(std::abs(std::log10(p.wmin) - 0.0) < 1e-12);
        QVERIFY(std::abs(std::log10(p.wmax) - 2.0) < 1e-12);
        // Moves without the button change nothing.
        mouse(QEvent::MouseMove, {600, 200}, Qt::NoButton, Qt::NoButton);
        QVERIFY(std::abs(std::log10(p.wmax) - 2.0) < 1e-12);
        QVERIFY(driver.boxes.empty());
        // The edit boxes keep what the user typed.
        QCOMPARE(driver.list().Ewmin->text(), QString("1"));
    }

    // 1 / (1 + s) from 0.1 to 5 rad/s: column 370, halfway across the frame in decades,
    // is ω = 0.1·√50 = 0.707 rad/s, where the gain is -10·log10(1.5) = -1.76 dB, the phase
    // -atan(0.707) = -35.3° and the delay 1 / 1.5 = 667 ms.
    void theCursorLineReadsThePointerAndAClickLeavesAMarker() {
        PlotDriver driver;
        TempDir dir;
        driver.listLowPass(dir);
        driver.plotar();
        driver.picture();
        auto& plot = driver.plot();
        auto mouse = [&](QEvent::Type type, QPointF at, Qt::MouseButton button,
                         Qt::MouseButtons buttons) {
            QMouseEvent event(type, at, plot.mapToGlobal(at), button, buttons, Qt::NoModifier);
            QApplication::sendEvent(&plot, &event);
        };
        QLabel* line = plot.findChild<QLabel*>("Lcursor");
        QVERIFY(line);
        QVERIFY(line->isHidden());
        const QString reading = "707 mrad/s  1: rc.n1: ganho -1.76 dB, fase -35.3°, atraso 667 ms";
        mouse(QEvent::MouseMove, {370, 200}, Qt::NoButton, Qt::NoButton);
        QVERIFY(line->isVisible());
        QCOMPARE(line->text(), reading);
        // Below the plot rectangle, inside the window.
        QCOMPARE(line->geometry(), QRect(0, plot.height() - 17, plot.width(), 17));
        mouse(QEvent::MouseMove, {20, 200}, Qt::NoButton, Qt::NoButton);
        QVERIFY(line->isHidden());

        // A click leaves a marker and its line in the log; a drag does not.
        mouse(QEvent::MouseButtonPress, {370, 200}, Qt::LeftButton, Qt::LeftButton);
        mouse(QEvent::MouseMove, {371, 200}, Qt::NoButton, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, {371, 200}, Qt::LeftButton, Qt::NoButton);
        const auto& markers = driver.program.plotter().markers();
        QCOMPARE(markers.size(), std::size_t{1});
        const std::optional<std::string> clicked = driver.program.plotter().cursorLine(
            371, 200, plot.width(), plot.height(), driver.plotListWindow());
        QVERIFY(clicked);
        QCOMPARE(driver.log().last(), "Marcador: " + QString::fromStdString(*clicked));
        QVERIFY(driver.log().last().startsWith("Marcador: 7"));
        const double omega = markers[0].omega;
        const qsizetype logged = driver.log().size();
        mouse(QEvent::MouseButtonPress, {300, 200}, Qt::LeftButton, Qt::LeftButton);
        mouse(QEvent::MouseMove, {360, 200}, Qt::NoButton, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, {360, 200}, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(markers.size(), std::size_t{1});
        QCOMPARE(driver.log().size(), logged);
        // The pan moved the range, not the marker.
        QCOMPARE(markers[0].omega, omega);
        QVERIFY(driver.program.plotter().plotParameters().wmin < 0.1);
        // The cross is drawn in white on the curve: the picture has more white pixels with it.
        const int withMarker = countPixels(driver.picture(), qRgb(255, 255, 255));
        driver.press(Qt::Key_M);
        QVERIFY(markers.empty());
        QVERIFY(countPixels(driver.picture(), qRgb(255, 255, 255)) < withMarker);

        // A key moves the view under a pointer that stands still: the line reads it at once.
        mouse(QEvent::MouseMove, {370, 200}, Qt::NoButton, Qt::NoButton);
        const QString beforeKey = line->text();
        driver.press(Qt::Key_A);
        const std::optional<std::string> afterKey = driver.program.plotter().cursorLine(
            370, 200, plot.width(), plot.height(), driver.plotListWindow());
        QVERIFY(afterKey);
        QCOMPARE(line->text(), QString::fromStdString(*afterKey));
        QVERIFY(line->text() != beforeKey);

        // Leaving the window hides the line.
        mouse(QEvent::MouseMove, {370, 200}, Qt::NoButton, Qt::NoButton);
        QVERIFY(line->isVisible());
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&plot, &leave);
        QVERIFY(line->isHidden());
        QVERIFY(driver.boxes.empty());
    }

    // "Cores por curva" repaints at once: the low-pass's curves turn from white, green
    // and red to the first colour of the palette, yellow.
    void coloursPerCurveRepaintAtOnce() {
        PlotDriver driver;
        TempDir dir;
        driver.listLowPass(dir);
        driver.list().CBgrade->setChecked(false);
        driver.plotar();
        const QRgb yellow = qRgb(255, 255, 0);
        QCOMPARE(countPixels(driver.picture(), yellow), 0);
        const int green = countPixels(driver.picture(), qRgb(0, 255, 0));
        QVERIFY(green > 100);
        driver.list().CBcores->setChecked(true);
        const QImage coloured = driver.picture();
        QVERIFY(countPixels(coloured, yellow) > green);
        // Only the range labels keep the quantities' colours.
        QVERIFY(countPixels(coloured, qRgb(0, 255, 0)) < 20);
        QVERIFY(countPixels(coloured, qRgb(255, 0, 0)) < 20);
        driver.list().CBcores->setChecked(false);
        QCOMPARE(countPixels(driver.picture(), yellow), 0);
    }
};

CORVANE_WINDOW_TEST_MAIN(PlotWindowsTest)
#include "plot_windows_test.moc"
