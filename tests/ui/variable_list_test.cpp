// Covers "Adicionar variável..." of the plot list window: the button, the list it offers
// after an analysis (each variable with its numerator file, as the analysis named them in
// the log), the pairs of files it appends, the run of the last numerator file added when
// no analysis was made, what it says when it knows no variable, and the dialog itself.
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QAction>
#include <QTest>

#include <chrono>
#include <deque>
#include <filesystem>
#include <optional>
#include <vector>

#include "program_driver.h"
#include "temp_dir.h"
#include "variable_dialog.h"
#include "window_test_main.h"

using corvane::ResultVariable;
using corvane::VariableKind;
using corvane::test::ProgramDriver;
using corvane::test::TempDir;
using corvane::ui::VariableChoice;

namespace {

// The numbering the analysis gives: "entrada" 1, "saida" 2, the source's current 3.
constexpr const char* RcNetlist =
    "Filtro RC\n"
    "V1 entrada 0 1 DEGRAU\n"
    "R1 entrada saida 1000\n"
    "C1 saida 0 1e-6\n";

QStringList listLines(const QPlainTextEdit* memo) {
    return memo->toPlainText().split(u'\n');
}

QStringList rowTexts(const VariableChoice& choice) {
    QStringList rows;
    for (const ResultVariable& variable : choice.variables)
        rows << corvane::ui::variableRowText(choice.stem, variable);
    return rows;
}

// The program with the list of variables answering from a queue and remembering what it
// was offered.
class VariableDriver : public ProgramDriver {
public:
    VariableDriver() {
        plotListWindow().OpenDialog1->setChooser(
            [this](QWidget*, const corvane::ui::OpenDialogRequest&) -> std::optional<QString> {
                if (numeratorAnswers.empty()) return std::nullopt;
                const QString answer = numeratorAnswers.front();
                numeratorAnswers.pop_front();
                return answer;
            });
        plotListWindow().setVariableChooser(
            [this](QWidget*, const VariableChoice& choice) -> std::optional<corvane::ui::VariablePick> {
                offered.push_back(choice);
                if (variableAnswers.empty()) return std::nullopt;
                const auto answer = variableAnswers.front();
                variableAnswers.pop_front();
                return answer;
            });
        mainWindow().Grfico1->trigger();
    }

    QStringList listed() { return listLines(plotListWindow().Memo1); }

    std::deque<QString> numeratorAnswers;
    std::deque<std::optional<corvane::ui::VariablePick>> variableAnswers;
    std::vector<VariableChoice> offered;
};

}  // namespace

class VariableListTest : public QObject {
    Q_OBJECT

private slots:
    void theButtonBesideTheHzBox() {
        ProgramDriver driver;
        auto& form = driver.plotListWindow();
        QCOMPARE(form.Button5->objectName(), QString("Button5"));
        QCOMPARE(form.Button5->text(), QString("Adicionar variável..."));
        QCOMPARE(form.Button5->geometry(), QRect(544, 267, 121, 25));
        QVERIFY(form.Button5->sizeHint().width() <= form.Button5->width());
        // Clear of the boxes above and below and of the window's edge.
        QVERIFY(form.Button5->geometry().top() > form.Esegmentos->geometry().bottom());
        QVERIFY(form.Button5->geometry().bottom() < form.CBlog->geometry().top());
        QVERIFY(form.Button5->geometry().left() > form.CBhz->geometry().right());
        QVERIFY(form.Button5->geometry().right() < form.width());
        // After the stability views' buttons, the last of the table.
        QCOMPARE(form.viewButton("Button8")->nextInFocusChain(), form.Button5);
    }

    void afterAnAnalysisOffersItsVariablesAndAddsTheChosenPairs() {
        VariableDriver driver;
        TempDir dir;
        driver.openAndApply(dir.write("rc.net", RcNetlist));
        QVERIFY(driver.log().contains("Análise terminada com sucesso."));
        const QStringList before = driver.listed();
        driver.variableAnswers.push_back(corvane::ui::VariablePick{{2, 3}});
        QTest::mouseClick(driver.plotListWindow().Button5, Qt::LeftButton);

        QCOMPARE(driver.offered.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(driver.offered[0].stem),
                 QString::fromStdString(dir.file("rc")));
        QCOMPARE(rowTexts(driver.offered[0]),
                 (QStringList{"rc.n1 — v(entrada)", "rc.n2 — v(saida)", "rc.n3 — jV1"}));
        const QString stem = QString::fromStdString(dir.file("rc"));
        const QStringList added{stem + ".n2", stem + ".d", stem + ".n3", stem + ".d"};
        QCOMPARE(driver.listed(), before + added);
        QVERIFY(driver.boxes.empty());
    }

    // "Substituir a lista" and "Limpar lista" keep the help the list starts with and drop
    // every curve, a comment between curves with them.
    void replacingOrClearingKeepsOnlyTheOpeningComments() {
        VariableDriver driver;
        TempDir dir;
        driver.openAndApply(dir.write("rc.net", RcNetlist));
        const QStringList help = driver.listed();
        auto& form = driver.plotListWindow();
        form.appendListLine("velho.n1");
        form.appendListLine("* meu comentário");
        form.appendListLine("velho.d");
        driver.variableAnswers.push_back(corvane::ui::VariablePick{{2}, true});
        QTest::mouseClick(form.Button5, Qt::LeftButton);
        const QString stem = QString::fromStdString(dir.file("rc"));
        QCOMPARE(driver.listed(), help + (QStringList{stem + ".n2", stem + ".d"}));
        form.Limparlista1->trigger();
        QCOMPARE(driver.listed(), help);
        // A new line goes right after the help, not after an empty line.
        form.appendListLine("outro.n1");
        QCOMPARE(driver.listed(), help + (QStringList{"outro.n1"}));
    }

    // "Remover curva" on any line of a curve takes that curve's lines and nothing else; on
    // a comment it does nothing.
    void removerCurvaTakesTheWholeCurveUnderTheCaret_data() {
        QTest::addColumn<int>("line");
        QTest::addColumn<QStringList>("left");
        const QStringList list{"* lista", "a.n1", "a.d", "r.json#out", "b.n2", "* nota", "b.d"};
        const QStringList withoutA{"* lista", "r.json#out", "b.n2", "* nota", "b.d"};
        QTest::newRow("numerator") << 1 << withoutA;
        QTest::newRow("denominator") << 2 << withoutA;
        QTest::newRow("a whole function")
            << 3 << QStringList{"* lista", "a.n1", "a.d", "b.n2", "* nota", "b.d"};
        QTest::newRow("a denominator past a comment")
            << 6 << QStringList{"* lista", "a.n1", "a.d", "r.json#out", "* nota"};
        QTest::newRow("a comment") << 5 << list;
    }

    void removerCurvaTakesTheWholeCurveUnderTheCaret() {
        QFETCH(int, line);
        QFETCH(QStringList, left);
        VariableDriver driver;
        auto& form = driver.plotListWindow();
        form.Memo1->setPlainText("* lista\na.n1\na.d\nr.json#out\nb.n2\n* nota\nb.d");
        form.removeCurveAtLine(line);
        QCOMPARE(driver.listed(), left);
    }

    void cancelledListChangesNothing() {
        VariableDriver driver;
        TempDir dir;
        driver.openAndApply(dir.write("rc.net", RcNetlist));
        const QStringList before = driver.listed();
        driver.variableAnswers.push_back(std::nullopt);
        QTest::mouseClick(driver.plotListWindow().Button5, Qt::LeftButton);
        QCOMPARE(driver.offered.size(), std::size_t{1});
        QCOMPARE(driver.listed(), before);
    }

    // A netlist that is not "<stem>.net": its results are still named after it.
    // A ".cir" is a SPICE netlist: its nodes keep the spelling they were first given,
    // and the list finds it beside the result files.
    void aSpiceNetlistOfAnotherExtension() {
        VariableDriver driver;
        TempDir dir;
        driver.openAndApply(dir.write("filtro.cir", "Filtro RC\n"
                                                    "V1 Entrada 0 PULSE(0 1 0 0)\n"
                                                    "R1 entrada out 1kOhm\n"
                                                    "C1 OUT gnd 1uF\n"
                                                    ".tran 1u 5m\n"
                                                    ".end\n"));
        QVERIFY(driver.log().contains("Análise terminada com sucesso."));
        driver.variableAnswers.push_back(corvane::ui::VariablePick{{2}});
        QTest::mouseClick(driver.plotListWindow().Button5, Qt::LeftButton);
        QCOMPARE(driver.offered.size(), std::size_t{1});
        QCOMPARE(rowTexts(driver.offered[0]),
                 (QStringList{"filtro.n1 — v(Entrada)", "filtro.n2 — v(out)", "filtro.n3 — jV1"}));
        QCOMPARE(driver.listed().last(), QString::fromStdString(dir.file("filtro.d")));
    }

    // No analysis in this session: the run of the numerator file last added, when its
    // netlist is beside it.
    void withoutAnAnalysisTheRunOfTheLastFileAdded() {
        VariableDriver driver;
        TempDir dir;
        const std::string netlist = dir.write("rc.net", RcNetlist);
        const auto later = std::filesystem::last_write_time(netlist) + std::chrono::minutes(1);
        for (const char* name : {"rc.d", "rc.n1", "rc.n2", "rc.n3"}) {
            std::filesystem::last_write_time(dir.write(name, "0\n 1.0\n 1.0\n"), later);
        }
        driver.numeratorAnswers.push_back(QString::fromStdString(dir.file("rc.n1")));
        QTest::mouseClick(driver.plotListWindow().Button1, Qt::LeftButton);
        driver.variableAnswers.push_back(corvane::ui::VariablePick{{3}});
        QTest::mouseClick(driver.plotListWindow().Button5, Qt::LeftButton);
        QCOMPARE(driver.offered.size(), std::size_t{1});
        QCOMPARE(rowTexts(driver.offered[0]).last(), QString("rc.n3 — jV1"));
        QCOMPARE(driver.listed().mid(driver.listed().size() - 4),
                 (QStringList{QString::fromStdString(dir.file("rc.n1")),
                              QString::fromStdString(dir.file("rc.d")),
                              QString::fromStdString(dir.file("rc.n3")),
                              QString::fromStdString(dir.file("rc.d"))}));
    }

    void noKnownVariableSaysSoInTheList() {
        VariableDriver driver;
        const QStringList before = driver.listed();
        QTest::mouseClick(driver.plotListWindow().Button5, Qt::LeftButton);
        QVERIFY(driver.offered.empty());
        QCOMPARE(driver.listed(),
                 before + QStringList{"* Nenhuma análise com netlist e resultados para listar "
                                      "as variáveis."});
    }

    // The analysis failed: no result files, nothing offered.
    void aFailedAnalysisOffersNothing() {
        VariableDriver driver;
        TempDir dir;
        driver.open(dir.write("ruim.net", "Titulo\nX1 a 0 1\n"));
        QTest::mouseClick(driver.plotListWindow().Button5, Qt::LeftButton);
        QVERIFY(driver.offered.empty());
        QVERIFY(driver.listed().last().startsWith("* Nenhuma análise"));
    }

    void theDialogListsTheRowsAndReturnsTheSelection() {
        const VariableChoice choice{"/dados/rc",
                                    {{1, "entrada", VariableKind::NodeVoltage},
                                     {2, "saida", VariableKind::NodeVoltage},
                                     {3, "jV1", VariableKind::ExtraCurrent}}};
        corvane::ui::VariableDialog dialog(nullptr, choice);
        QCOMPARE(dialog.objectName(), QString("VariableDialog"));
        QCOMPARE(dialog.windowTitle(), QString("Adicionar variável"));
        QCOMPARE(dialog.Label1->text(), QString("Variáveis de /dados/rc:"));
        QCOMPARE(dialog.LBvariaveis->count(), 3);
        QCOMPARE(dialog.LBvariaveis->item(1)->text(), QString("rc.n2 — v(saida)"));
        QCOMPARE(dialog.Buttons->button(QDialogButtonBox::Ok)->text(), QString("Adicionar"));
        QCOMPARE(dialog.Buttons->button(QDialogButtonBox::Cancel)->text(), QString("Cancelar"));
        // The first row is selected at the start, so Enter adds it.
        QCOMPARE(dialog.chosenNumbers(), std::vector<int>{1});
        dialog.LBvariaveis->item(0)->setSelected(false);
        dialog.LBvariaveis->item(2)->setSelected(true);
        dialog.LBvariaveis->item(1)->setSelected(true);
        QCOMPARE(dialog.chosenNumbers(), (std::vector<int>{2, 3}));
    }
};

CORVANE_WINDOW_TEST_MAIN(VariableListTest)
#include "variable_list_test.moc"
