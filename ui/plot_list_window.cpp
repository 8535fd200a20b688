#include "plot_list_window.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPalette>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "analysis.h"
#include "error_box.h"
#include "loop_curves.h"
#include "noise_curves.h"
#include "open_dialog.h"
#include "listed_curves.h"
#include "plot_list.h"
#include "plot_list_controls.h"
#include "plotter.h"
#include "result_file_names.h"
#include "result_variables.h"
#include "window_style.h"

namespace corvane::ui {

namespace {

// The list's height, and below it the two lines of the message of the last command; the
// last row of the right column holds the buttons of the stability views.
constexpr int MessageHeight = 30;
constexpr int ListHeight = 423 - MessageHeight - 3;

// How to write the list: comment lines, which "Plotar" skips.
constexpr std::array<const char*, 5> ListHelp = {
    "* Coloque aqui uma série de transformadas de Laplace a plotar, na forma:",
    "* <Arquivo com numerador>",
    "* <Arquivo com denominador>",
    "* No comando de adicionar selecione o numerador. ",
    "* É assumido que o denominador tem o mesmo nome com sufixo \".d\". ",
};

constexpr int EditLeft = 544;
constexpr int EditTop = 48;
constexpr int EditRowHeight = 24;
constexpr int EditWidth = 121;
constexpr int EditHeight = 21;
constexpr int LabelLeft = 408;

QString listHelpText() {
    QStringList lines;
    for (const char* line : ListHelp)
        lines << QString::fromUtf8(line);
    return lines.join(u'\n');
}

QLabel* addLabel(QWidget* window, const char* objectName, const QString& text, QPoint place) {
    auto* label = new QLabel(text, window);
    label->setObjectName(QString::fromLatin1(objectName));
    label->move(place);
    label->adjustSize();
    return label;
}

// The edit boxes share one column and one size; their labels stand to their left.
QLineEdit* addEditBox(QWidget* window, const char* objectName, const QString& text, int top) {
    auto* edit = new QLineEdit(text, window);
    edit->setObjectName(QString::fromLatin1(objectName));
    edit->setGeometry(EditLeft, top, EditWidth, EditHeight);
    return edit;
}

QPushButton* addButton(QWidget* window, const char* objectName, const QString& caption,
                       QPoint place) {
    auto* button = new QPushButton(caption, window);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setGeometry(place.x(), place.y(), 75, 25);
    return button;
}

// The view of the edit boxes' ranges, if the table has one.
std::optional<std::size_t> rangesView(const PlotViewEntries& views) {
    for (std::size_t i = 0; i < views.size(); ++i) {
        if (views[i].button.drawsRanges) return i;
    }
    return std::nullopt;
}

}  // namespace

PlotListWindow::PlotListWindow(ErrorBox& errorBox, Plotter& plotter, Analysis& analysis,
                               PlotViewEntries views)
    : views_(std::move(views)), plotter_(plotter), analysis_(analysis) {
    setUpSecondaryWindow(*this, "Form4", QStringLiteral("Resposta em frequência - Arquivos"));

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(8, 8, 385, ListHeight);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab moves on to the next control, as in the other windows; the list has no use for
    // tab characters, which would become part of a file name.
    Memo1->setTabChangesFocus(true);
    Memo1->setPlainText(listHelpText());
    // The text's own menu, and below it what is done to the list as a whole.
    Limparlista1 = new QAction(QStringLiteral("Limpar lista"), this);
    Limparlista1->setObjectName(QStringLiteral("Limparlista1"));
    connect(Limparlista1, &QAction::triggered, this, [this] { clearList(); });
    Removercurva1 = new QAction(QStringLiteral("Remover curva"), this);
    Removercurva1->setObjectName(QStringLiteral("Removercurva1"));
    connect(Removercurva1, &QAction::triggered, this,
            [this] { removeCurveAtLine(Memo1->textCursor().blockNumber()); });
    Memo1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Memo1, &QWidget::customContextMenuRequested, this, [this](QPoint at) {
        // The curve under the pointer is the one removed, as a click there would choose it.
        Memo1->setTextCursor(Memo1->cursorForPosition(at));
        std::unique_ptr<QMenu> menu(Memo1->createStandardContextMenu(at));
        menu->addSeparator();
        menu->addAction(Removercurva1);
        menu->addAction(Limparlista1);
        menu->exec(Memo1->viewport()->mapToGlobal(at));
    });

    Button1 = addButton(this, "Button1", QStringLiteral("Adicionar"), {400, 8});

    // The edit boxes stack in one column, 24 pixels apart, in the order "Plotar" reads them.
    for (std::size_t i = 0; i < PlotEditBoxCount; ++i) {
        const PlotEditBoxRow& row = PlotEditBoxes[i];
        const EditBoxControl& control = EditBoxControls[i];
        const int top = EditTop + EditRowHeight * static_cast<int>(i);
        editLabels_[i] =
            addLabel(this, control.labelName, QString::fromUtf8(row.caption), {LabelLeft, top + 8});
        editBoxes_[i] =
            addEditBox(this, control.objectName, QString::fromUtf8(row.initialText), top);
    }
    Ewmin = editBox(PlotEditBox::Ewmin);
    Ewmax = editBox(PlotEditBox::Ewmax);
    Egmin = editBox(PlotEditBox::Egmin);
    Egmax = editBox(PlotEditBox::Egmax);
    Efmin = editBox(PlotEditBox::Efmin);
    Efmax = editBox(PlotEditBox::Efmax);
    Eamin = editBox(PlotEditBox::Eamin);
    Eamax = editBox(PlotEditBox::Eamax);
    Esegmentos = editBox(PlotEditBox::Esegmentos);
    Label1 = editLabels_[static_cast<std::size_t>(PlotEditBox::Ewmin)];
    Label2 = editLabels_[static_cast<std::size_t>(PlotEditBox::Ewmax)];
    Label4 = editLabels_[static_cast<std::size_t>(PlotEditBox::Egmin)];
    Label3 = editLabels_[static_cast<std::size_t>(PlotEditBox::Egmax)];
    Label6 = editLabels_[static_cast<std::size_t>(PlotEditBox::Efmin)];
    Label5 = editLabels_[static_cast<std::size_t>(PlotEditBox::Efmax)];
    Label7 = editLabels_[static_cast<std::size_t>(PlotEditBox::Eamin)];
    Label8 = editLabels_[static_cast<std::size_t>(PlotEditBox::Eamax)];
    Label9 = editLabels_[static_cast<std::size_t>(PlotEditBox::Esegmentos)];

    CBhz =
        addCheckBox(this, "CBhz", QStringLiteral("Frequências em Hz"), {408, 272, 129, 17}, false);
    CBlog = addCheckBox(this, "CBlog", QStringLiteral("Frequências em escala logarítmica"),
                        {408, 296, 240, 17}, true);
    CBgrade = addCheckBox(this, "CBgrade", QStringLiteral("Grade"), {408, 320, 97, 17}, true);
    for (const QuantityCheckBoxControl& box : QuantityCheckBoxControls) {
        quantityBoxes_[static_cast<std::size_t>(box.quantity)] = addCheckBox(
            this, box.objectName, QString::fromUtf8(box.caption), {box.left, 320, box.width, 17},
            true);
    }
    CBfase = quantityBoxes_[static_cast<std::size_t>(PlotQuantity::Phase)];
    CBtg = quantityBoxes_[static_cast<std::size_t>(PlotQuantity::Delay)];
    CBfasecontinua = addCheckBox(this, "CBfasecontinua", QStringLiteral("Fase contínua"),
                                 {488, 348, 113, 17}, false);
    CBlegenda = addCheckBox(this, "CBlegenda", QStringLiteral("Legenda"), {488, 366, 72, 17}, true);
    CBcores = addCheckBox(this, "CBcores", QStringLiteral("Cores por curva"), {563, 366, 105, 17},
                          false);
    // Beside "Fase contínua", in the free end of its row.
    CBsemdegrau = addCheckBox(this, "CBsemdegrau", QStringLiteral("Sem 1/s"), {602, 348, 66, 17},
                              false);
    CBsemdegrau->setToolTip(QStringLiteral(
        "Sem o 1/s do degrau: ao plotar, as curvas de netlists com fonte de degrau são "
        "desenhadas como s·X(s), a função de transferência"));

    for (const PlotViewEntry& view : views_) {
        auto* button = new QPushButton(QString::fromUtf8(view.button.caption), this);
        button->setObjectName(QString::fromLatin1(view.button.objectName));
        button->setGeometry(view.button.geometry);
        viewButtons_.push_back(button);
    }
    Button3 = addButton(this, "Button3", QStringLiteral("Ajustar"), {480, 8});
    // Beside "Frequências em Hz", the one free place of the column as wide as an edit box.
    Button5 = addButton(this, "Button5", QStringLiteral("Adicionar variável..."), {544, 267});
    Button5->resize(EditWidth, 25);
    Label10 =
        addLabel(this, "Label10", QStringLiteral("Comandos diretos: Setas,a,r,+,-"), {408, 384});
    // Two lines under the list, in red, wrapped: the right column has no room left.
    Lmensagem = addLabel(this, "Lmensagem", QString(), {8, ListHeight + 11});
    Lmensagem->setGeometry(8, ListHeight + 11, 385, MessageHeight);
    Lmensagem->setWordWrap(true);
    Lmensagem->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette messagePalette = Lmensagem->palette();
    messagePalette.setColor(QPalette::WindowText, QColor(192, 0, 0));
    Lmensagem->setPalette(messagePalette);

    const QString numerators =
        QStringLiteral("Numeradores (%1);;Ruído (*%2);;Ganho de malha (*%3);;Varredura (*.json)")
                                   .arg(QString::fromLatin1(ResultFileNames::NumeratorPattern),
                                        QString::fromLatin1(NoiseFileExtension),
                                        QString::fromLatin1(LoopFileExtension));
    OpenDialog1 = new OpenDialog(this, QStringLiteral("OpenDialog1"),
                                 {QStringLiteral("Abrir"), QString(), numerators, QString()},
                                 chooseFileToOpen);

    // Tab runs down the ranges, across the axis check boxes, then to the segment count and
    // the check boxes of the quantities.
    const std::optional<std::size_t> ranges = rangesView(views_);
    std::vector<QWidget*> tabOrder{Memo1, Button1, Button3};
    if (ranges) tabOrder.push_back(viewButtons_[*ranges]);
    for (QLineEdit* edit : editBoxes_) {
        if (edit != Esegmentos) tabOrder.push_back(edit);
    }
    tabOrder.insert(tabOrder.end(), {CBhz, CBlog, CBgrade, Esegmentos});
    for (QCheckBox* box : quantityBoxes_) {
        if (box) tabOrder.push_back(box);
    }
    tabOrder.push_back(CBfasecontinua);
    tabOrder.push_back(CBlegenda);
    tabOrder.push_back(CBcores);
    tabOrder.push_back(CBsemdegrau);
    // The other views' buttons come after every control of the frequency plot.
    for (std::size_t i = 0; i < viewButtons_.size(); ++i) {
        if (i != ranges) tabOrder.push_back(viewButtons_[i]);
    }
    tabOrder.push_back(Button5);
    for (std::size_t i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    Memo1->setFocus();

    connect(Button1, &QPushButton::clicked, this, errorBox.command([this] { Button1Click(); }));
    for (std::size_t i = 0; i < viewButtons_.size(); ++i) {
        connect(viewButtons_[i], &QPushButton::clicked, this,
                errorBox.command([this, i] { openView(i); }));
    }
    connect(Button3, &QPushButton::clicked, this, errorBox.command([this] { Button3Click(); }));
    connect(Button5, &QPushButton::clicked, this, errorBox.command([this] { Button5Click(); }));
    // Enter in any edit box plots, as a dialog's default button would.
    if (ranges) {
        for (QLineEdit* edit : editBoxes_) {
            connect(edit, &QLineEdit::returnPressed, viewButtons_[*ranges], &QPushButton::click);
        }
    }
    // The plot window reads the check boxes when it paints: a change is drawn at once.
    std::vector<QCheckBox*> checkBoxes{CBhz, CBlog, CBgrade, CBfasecontinua, CBlegenda, CBcores};
    for (QCheckBox* box : quantityBoxes_) {
        if (box) checkBoxes.push_back(box);
    }
    for (QCheckBox* box : checkBoxes) {
        connect(box, &QCheckBox::toggled, this, [this] {
            for (const PlotViewEntry& view : views_)
                view.view().checkBoxesChanged();
        });
    }
    // The response table holds the grid of one axis: a new unit or scale needs new points.
    for (QCheckBox* box : {CBhz, CBlog}) {
        connect(box, &QCheckBox::toggled, this, [this] { plotter_.markCurvesStale(); });
    }

    centreWindow(*this, {684, 475});
    laidOutSize_ = size();
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child != Memo1 && child != Lmensagem && !child->isWindow())
            rightColumn_.emplace_back(child, child->pos());
    }
}

void PlotListWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (laidOutSize_.isEmpty()) return;
    // Never smaller than the designed size: the controls would overlap the list.
    const int grownWidth = std::max(0, width() - laidOutSize_.width());
    const int grownHeight = std::max(0, height() - laidOutSize_.height());
    Memo1->setGeometry(8, 8, 385 + grownWidth, ListHeight + grownHeight);
    Lmensagem->setGeometry(8, ListHeight + grownHeight + 11, 385 + grownWidth, MessageHeight);
    for (const auto& [control, place] : rightColumn_)
        control->move(place.x() + grownWidth, place.y());
}

void PlotListWindow::Button1Click() {
    PlotListReading reading(*this);
    plotter_.addNumeratorFile(reading);
}

void PlotListWindow::addStepFamily(const std::string& path) {
    PlotListReading reading(*this);
    plotter_.addStepFamily(path, reading);
}

// A view opened for the first time stands beside the list, where neither hides the other;
// after that it stays where the user leaves it.
void PlotListWindow::openView(std::size_t view) {
    PlotView& opened = views_.at(view).view();
    auto* window = dynamic_cast<QWidget*>(&opened);
    if (window && !window->isVisible() && placedViews_.insert(window).second) {
        const QScreen* screen = this->screen();
        if (screen) {
            const SideBySide places = placeBeside(screen->availableGeometry(), frameGeometry(),
                                                  window->frameGeometry().size());
            move(places.list);
            window->move(places.view);
        }
    }
    opened.openFrom(*this);
}

void PlotListWindow::Button3Click() {
    const auto fitted = plotter_.fittedRanges(PlotListReading(*this), *this);
    if (!fitted) return;
    for (std::size_t i = 0; i < PlotEditBoxCount; ++i) {
        if (PlotEditBoxes[i].parameter)
            editBoxes_[i]->setText(QString::fromStdString((*fitted)[i]));
    }
    if (const std::optional<std::size_t> ranges = rangesView(views_)) openView(*ranges);
}

QPushButton* PlotListWindow::viewButton(std::string_view objectName) const {
    for (QPushButton* button : viewButtons_) {
        if (button->objectName().toStdString() == objectName) return button;
    }
    return nullptr;
}

// The last analysis is what the user most likely wants to plot; without one, the run of the
// numerator file last chosen by "Adicionar".
void PlotListWindow::Button5Click() {
    std::vector<std::string> netlists{analysis_.runState().netlistFileName};
    const std::string lastNumerator = QFile::encodeName(OpenDialog1->fileName()).toStdString();
    if (const auto file = parseNumeratorFileName(lastNumerator))
        netlists.push_back(ResultFileNames::netlistOfResults(file->stem));
    std::optional<VariableChoice> choice;
    std::optional<ResultFileNames> files;
    for (const std::string& netlist : netlists) {
        if (netlist.empty()) continue;
        if (auto variables = variablesOfRun(netlist)) {
            files.emplace(netlist);
            choice = VariableChoice{files->baseName(), std::move(*variables)};
            break;
        }
    }
    if (!choice) {
        appendListLine("* Nenhuma análise com netlist e resultados para listar as variáveis.");
        return;
    }
    const std::optional<VariablePick> chosen = variableChooser_(this, *choice);
    if (!chosen) return;
    if (chosen->replace) clearList();
    for (const int k : chosen->numbers) {
        const std::optional<ListedPair> pair = listedPairOf(files->numerator(k));
        if (!pair) {
            appendListLine("* Arquivo com nome inválido.");
            continue;
        }
        appendListLine(pair->numerator);
        appendListLine(pair->denominator);
    }
}

QLineEdit* PlotListWindow::editBox(PlotEditBox box) const {
    return editBoxes_[static_cast<std::size_t>(box)];
}

std::string PlotListWindow::editText(PlotEditBox box) const {
    return editBox(box)->text().toStdString();
}

// File names travel as the file system spells them.
std::string PlotListWindow::listText() const {
    return QFile::encodeName(Memo1->toPlainText()).toStdString();
}

// A list that ends with a line break already has the empty line to write into; appending
// after it would leave an empty file line, which "Plotar" would try to open.
void PlotListWindow::appendListLine(std::string_view line) {
    QTextCursor end(Memo1->document());
    end.movePosition(QTextCursor::End);
    if (!end.block().text().isEmpty()) end.insertBlock();
    end.insertText(QFile::decodeName(QByteArray(line.data(), static_cast<qsizetype>(line.size()))));
    Memo1->setTextCursor(end);
    Memo1->ensureCursorVisible();
}

void PlotListWindow::removeCurveAtLine(int line) {
    if (line < 0) return;
    const auto at = static_cast<std::size_t>(line);
    for (const std::vector<std::size_t>& curve : listedCurveLines(listText())) {
        if (std::find(curve.begin(), curve.end(), at) == curve.end()) continue;
        QStringList lines = Memo1->toPlainText().split(QLatin1Char('\n'));
        for (auto i = curve.rbegin(); i != curve.rend(); ++i)
            lines.removeAt(static_cast<qsizetype>(*i));
        Memo1->setPlainText(lines.join(QLatin1Char('\n')));
        QTextCursor place(Memo1->document()->findBlockByNumber(
            std::min(static_cast<int>(curve.front()), Memo1->document()->blockCount() - 1)));
        Memo1->setTextCursor(place);
        return;
    }
}

void PlotListWindow::clearList() {
    // Without the header's last line end, as the list starts: the next line added goes
    // right below it.
    std::string header = listHeader(listText());
    if (!header.empty()) header.pop_back();
    Memo1->setPlainText(QFile::decodeName(QByteArray::fromStdString(header)));
    QTextCursor end(Memo1->document());
    end.movePosition(QTextCursor::End);
    Memo1->setTextCursor(end);
}

void PlotListWindow::showMessage(std::string_view message) {
    const QString text =
        QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size()));
    Lmensagem->setText(text);
    Lmensagem->setToolTip(text);
}

std::optional<std::string> PlotListWindow::chooseNumeratorFile() {
    if (!OpenDialog1->execute()) return std::nullopt;
    return QFile::encodeName(OpenDialog1->fileName()).toStdString();
}


bool PlotListWindow::withoutStep() const {
    return CBsemdegrau->isChecked();
}

bool PlotListWindow::hz() const {
    return CBhz->isChecked();
}

bool PlotListWindow::logarithmic() const {
    return CBlog->isChecked();
}

void PlotListWindow::uncheckLogarithmic() {
    CBlog->setChecked(false);
}

bool PlotListWindow::grid() const {
    return CBgrade->isChecked();
}

bool PlotListWindow::continuousPhase() const {
    return CBfasecontinua->isChecked();
}

bool PlotListWindow::legend() const {
    return CBlegenda->isChecked();
}

bool PlotListWindow::coloursPerCurve() const {
    return CBcores->isChecked();
}

bool PlotListWindow::shows(PlotQuantity quantity) const {
    const QCheckBox* box = quantityBoxes_[static_cast<std::size_t>(quantity)];
    return box == nullptr || box->isChecked();
}

PlotListReading::PlotListReading(PlotListWindow& list, std::function<void()> hideView,
                                 std::function<void()> showView)
    : list_(list), hideView_(std::move(hideView)), showView_(std::move(showView)) {}

void PlotListReading::hidePlotWindow() {
    if (hideView_) hideView_();
}

void PlotListReading::showPlotWindow() {
    if (showView_) showView_();
}

}  // namespace corvane::ui
