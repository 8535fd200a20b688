#include "main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTextCursor>

#include <array>
#include <utility>

#include "analysis.h"
#include "error_box.h"
#include "open_dialog.h"
#include "plot_list_window.h"
#include "result_file_names.h"
#include "tolerance_listing.h"
#include "tolerance_report.h"
#include "tolerance_window.h"
#include "variables_window.h"
#include "window_style.h"
#include "window_table.h"

namespace corvane::ui {

namespace {

// The user's only description of the netlist syntax. The element letters stand at the
// twelfth character so that the descriptions line up in the log's fixed-pitch font.
constexpr std::array<const char*, 26> Banner = {
    "Corvane - Análise Nodal Modificada em Transformada de Laplace.",
    "Versão 1.1f de 9/5/2018",
    "",
    "Elementos aceitos e linhas do netlist:",
    "Resistor:  R<nome> <no+> <no-> <resistência>",
    "VCCS:      G<nome> <io+> <io-> <vi+> <vi-> <transcondutância>",
    "VCVC:      E<nome> <vo+> <vo-> <vi+> <vi-> <ganho de tensão>",
    "CCCS:      F<nome> <io+> <io-> <ii+> <ii-> <ganho de corrente>",
    "CCVS:      H<nome> <vo+> <vo-> <ii+> <ii-> <transresistência>",
    "Fonte I:   I<nome> <io+> <io-> <valor> <tipo de fonte>",
    "Fonte V:   V<nome> <vo+> <vo-> <valor> <tipo de fonte>",
    "Capacitor: C<nome> <no+> <no-> <capacitância> [IC=<tensão inicial>]",
    "Indutor:   L<nome> <no+> <no-> <indutância> [IC=<corrente inicial>]",
    "Amplificador operacional:  O<nome> <vo1> <vo2> <vi1> <vi2>",
    "Ind. mútua:K<nome> <L1> <L2> <coeficiente de acoplamento>",
    "Comentário: *<comentário>",
    "Comando: .(reservado, a definir)",
    "",
    "As fontes F e H tem o ramo de entrada em curto.",
    "O amplificador operacional ideal tem a saída suspensa.",
    "Os nós podem ser nomes; nomes têm até 10 caracteres e os de elementos não se repetem.",
    "O acoplamento (K) deve ser entre dois indutores diferentes já declarados.",
    "Tipos de fonte: IMPULSO ou DEGRAU. Valores: 1000, 1e-6, 2.2E3, 1k, 10uF, 2.2MEG.",
    "Sufixos: T G MEG K M U N P F MIL. Atenção: M é mili (1e-3) e MEG é mega (1e6).",
    "O programa pode plotar gráficos de resposta em frequência, a partir dos arquivos gerados.",
    "",
};

QString bannerText() {
    QStringList lines;
    for (const char* line : Banner)
        lines << QString::fromUtf8(line);
    return lines.join(u'\n');
}

QAction* addMenuItem(QMenu* menu, const char* objectName, const QString& caption) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(QString::fromLatin1(objectName));
    return item;
}

QMenu* addMenu(QMenuBar* bar, const char* objectName, const QString& caption) {
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(objectName));
    return menu;
}

}  // namespace

MainWindow::MainWindow(ErrorBox& errorBox, Analysis& analysis, Windows& windows,
                       std::function<void()> endProgram)
    : analysis_(analysis), windows_(windows), endProgram_(std::move(endProgram)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Corvane"));
    setFont(windowFont());

    MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    Arquivo1 = addMenu(MainMenu1, "Arquivo1", QStringLiteral("&Arquivo"));
    Abrir1 = addMenuItem(Arquivo1, "Abrir1", QStringLiteral("Abrir"));
    Abrir1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    Sair1 = addMenuItem(Arquivo1, "Sair1", QStringLiteral("Sair"));
    Sair1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    OpenDialog1 = new OpenDialog(this);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setFont(logFont());
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The log only grows; an undo history of every appended line would grow with it.
    Memo1->setUndoRedoEnabled(false);
    // The log is the record of the results: it can be selected and copied, not edited.
    Memo1->setReadOnly(true);
    Memo1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Memo1->setPlainText(bannerText());
    setCentralWidget(Memo1);

    Opes1 = addMenu(MainMenu1, "Opes1", QStringLiteral("&Opções"));
    Anlise1 = addMenuItem(Opes1, "Anlise1", QStringLiteral("Variáveis"));
    Anlise1->setEnabled(false);
    Grfico1 = addMenuItem(Opes1, "Grfico1", QStringLiteral("Gráficos"));
    Grfico1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    Tolerancias1 = addMenuItem(Opes1, "Tolerancias1", QStringLiteral("Tolerâncias"));
    Tolerancias1->setEnabled(false);

    connect(Abrir1, &QAction::triggered, this, errorBox.command([this] { Abrir1Click(); }));
    connect(Sair1, &QAction::triggered, this, errorBox.command([this] { Sair1Click(); }));
    connect(Anlise1, &QAction::triggered, this, errorBox.command([this] { Anlise1Click(); }));
    connect(Grfico1, &QAction::triggered, this, errorBox.command([this] { Grfico1Click(); }));
    connect(Tolerancias1, &QAction::triggered, this,
            errorBox.command([this] { windows_.show<ToleranceWindow>(); }));

    centreWindow(*this, {696, 479});
}

void MainWindow::Abrir1Click() {
    // A second run from inside the first one's wait would work on the same state.
    if (analysis_.running()) return;
    if (!OpenDialog1->execute()) return;
    Abrir1->setEnabled(false);
    const auto enableAgain = qScopeGuard([this] { Abrir1->setEnabled(true); });
    const RunOutcome outcome =
        analysis_.runAnalysis(QFile::encodeName(OpenDialog1->fileName()).toStdString());
    listStepFamily(outcome);
    showToleranceHistograms(outcome);
}

// The histograms of the run's Monte Carlo come up at once; the menu brings them back.
void MainWindow::showToleranceHistograms(RunOutcome outcome) {
    if (outcome != RunOutcome::Succeeded && outcome != RunOutcome::SucceededWithWarnings) return;
    for (const std::unique_ptr<ListingStep>& step : analysis_.listingSteps()) {
        const auto* tolerances = dynamic_cast<const variation::ToleranceListing*>(step.get());
        if (!tolerances || !tolerances->outcome()) continue;
        const variation::ToleranceOutcome& run = *tolerances->outcome();
        windows_.get<ToleranceWindow>().showPanels(
            variation::histogramPanels(analysis_.runState(), run.monteCarlo, DefaultStepHertz),
            run.envelopeVariable == 0
                ? std::nullopt
                : variation::envelopePanel(analysis_.runState(), run.monteCarlo,
                                           run.envelopeVariable));
        Tolerancias1->setEnabled(true);
    }
}

// The family of a step the run wrote is drawn from the plot list, as if the user had added
// the document there; without a selected variable the document has no curve to draw.
void MainWindow::listStepFamily(RunOutcome outcome) {
    if (outcome != RunOutcome::Succeeded && outcome != RunOutcome::SucceededWithWarnings) return;
    const AnalysisOptions& options = analysis_.options();
    if (!options.step.enabled || options.selectedVariables.empty()) return;
    windows_.get<PlotListWindow>().addStepFamily(
        ResultFileNames(analysis_.runState().netlistFileName).stepDocument());
}

void MainWindow::Sair1Click() {
    endProgram_();
}

void MainWindow::Anlise1Click() {
    windows_.show<VariablesWindow>();
}

void MainWindow::Grfico1Click() {
    windows_.show<PlotListWindow>();
}

void MainWindow::appendLogLine(std::string_view line) {
    Memo1->appendPlainText(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
    QTextCursor end = Memo1->textCursor();
    end.movePosition(QTextCursor::End);
    Memo1->setTextCursor(end);
    Memo1->ensureCursorVisible();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    QMainWindow::closeEvent(event);
    if (event->isAccepted()) endProgram_();
}

}  // namespace corvane::ui
