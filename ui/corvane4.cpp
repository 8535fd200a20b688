#include "corvane4.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>

#include <array>

#include "open_dialog.h"
#include "program.h"
#include "result_file_names.h"
#include "window_style.h"

namespace corvane::ui {

namespace {

// How to write the list: comment lines, which "Plotar" skips.
constexpr std::array<const char*, 5> ListHelp = {
    "* Coloque aqui uma série de transformadas de Laplace a plotar, na forma:",
    "* <Arquivo com numerador>",
    "* <Arquivo com denominador>",
    "* No comando de adicionar selecione o numerador. ",
    "* É assumido que o denominador tem o mesmo nome com sufixo \".d\". ",
};

constexpr int EditLeft = 544;
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

}  // namespace

TForm4::TForm4(Program& program) : program_(program) {
    setUpSecondaryWindow(*this, "Form4", QStringLiteral("Resposta em frequência - Arquivos"));

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(8, 8, 385, 393);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab moves on to the next control, as in the other windows; the list has no use for
    // tab characters, which would become part of a file name.
    Memo1->setTabChangesFocus(true);
    Memo1->setPlainText(listHelpText());

    Button1 = addButton(this, "Button1", QStringLiteral("Adicionar"), {400, 8});

    Label1 = addLabel(this, "Label1", QStringLiteral("Frequência mínima"), {LabelLeft, 56});
    Ewmin = addEditBox(this, "Ewmin", QStringLiteral("0.1"), 48);
    Label2 = addLabel(this, "Label2", QStringLiteral("Frequência máxima"), {LabelLeft, 80});
    Ewmax = addEditBox(this, "Ewmax", QStringLiteral("5"), 72);
    Label4 = addLabel(this, "Label4", QStringLiteral("Módulo mínimo (dB)"), {LabelLeft, 104});
    Egmin = addEditBox(this, "Egmin", QStringLiteral("-60"), 96);
    Label3 = addLabel(this, "Label3", QStringLiteral("Módulo máximo (dB)"), {LabelLeft, 128});
    Egmax = addEditBox(this, "Egmax", QStringLiteral("20"), 120);
    Label6 = addLabel(this, "Label6", QStringLiteral("Fase mínima (graus)"), {LabelLeft, 152});
    Efmin = addEditBox(this, "Efmin", QStringLiteral("-180"), 144);
    Label5 = addLabel(this, "Label5", QStringLiteral("Fase máxima (graus)"), {LabelLeft, 176});
    Efmax = addEditBox(this, "Efmax", QStringLiteral("180"), 168);
    Label7 =
        addLabel(this, "Label7", QStringLiteral("Atraso de grupo mínimo (s)"), {LabelLeft, 200});
    Eamin = addEditBox(this, "Eamin", QStringLiteral("-10"), 192);
    Label8 =
        addLabel(this, "Label8", QStringLiteral("Atraso de grupo máximo (s)"), {LabelLeft, 224});
    Eamax = addEditBox(this, "Eamax", QStringLiteral("40"), 216);
    Label9 = addLabel(this, "Label9", QStringLiteral("Segmentos"), {LabelLeft, 248});
    Esegmentos = addEditBox(this, "Esegmentos", QStringLiteral("300"), 240);

    CBhz =
        addCheckBox(this, "CBhz", QStringLiteral("Frequências em Hz"), {408, 272, 129, 17}, false);
    CBlog = addCheckBox(this, "CBlog", QStringLiteral("Frequências em escala logarítmica"),
                        {408, 296, 193, 17}, true);
    CBgrade = addCheckBox(this, "CBgrade", QStringLiteral("Grade"), {408, 320, 97, 17}, true);
    CBfase = addCheckBox(this, "CBfase", QStringLiteral("Fase"), {464, 320, 57, 17}, true);
    CBtg = addCheckBox(this, "CBtg", QStringLiteral("Atraso de grupo"), {520, 320, 97, 17}, true);

    Button2 = addButton(this, "Button2", QStringLiteral("Plotar"), {400, 344});
    Label10 =
        addLabel(this, "Label10", QStringLiteral("Comandos diretos: Setas,a,r,+,-"), {408, 384});

    const QString numerators = QStringLiteral("Numeradores (%1)")
                                   .arg(QString::fromLatin1(ResultFileNames::NumeratorPattern));
    OpenDialog1 = new OpenDialog(this, QStringLiteral("OpenDialog1"),
                                 {QStringLiteral("Abrir"), QString(), numerators, QString()},
                                 chooseFileToOpen);

    QWidget* const tabOrder[] = {Memo1, Button1, Button2,    Ewmin,  Ewmax, Egmin,
                                 Egmax, Efmin,   Efmax,      Eamin,  Eamax, CBhz,
                                 CBlog, CBgrade, Esegmentos, CBfase, CBtg};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    Memo1->setFocus();

    connect(Button1, &QPushButton::clicked, this, program.command([this] { Button1Click(); }));
    connect(Button2, &QPushButton::clicked, this, program.command([this] { Button2Click(); }));
    // The plot window reads the check boxes when it paints: a change is drawn at once.
    for (QCheckBox* box : {CBhz, CBlog, CBgrade, CBfase, CBtg}) {
        connect(box, &QCheckBox::toggled, this, [this] { program_.form5().update(); });
    }

    centreWindow(*this, {684, 445});
}

void TForm4::Button1Click() {
    program_.plotter().addNumeratorFile(*this);
}

void TForm4::Button2Click() {
    program_.plotter().plot(*this);
}

QLineEdit* TForm4::editBox(PlotEditBox box) const {
    switch (box) {
        case PlotEditBox::Ewmin:
            return Ewmin;
        case PlotEditBox::Ewmax:
            return Ewmax;
        case PlotEditBox::Egmin:
            return Egmin;
        case PlotEditBox::Egmax:
            return Egmax;
        case PlotEditBox::Efmin:
            return Efmin;
        case PlotEditBox::Efmax:
            return Efmax;
        case PlotEditBox::Eamin:
            return Eamin;
        case PlotEditBox::Eamax:
            return Eamax;
        case PlotEditBox::Esegmentos:
            return Esegmentos;
    }
    return Esegmentos;
}

std::string TForm4::editText(PlotEditBox box) const {
    return editBox(box)->text().toStdString();
}

// File names travel as the file system spells them.
std::string TForm4::listText() const {
    return QFile::encodeName(Memo1->toPlainText()).toStdString();
}

// A list that ends with a line break already has the empty line to write into; appending
// after it would leave an empty file line, which "Plotar" would try to open.
void TForm4::appendListLine(std::string_view line) {
    QTextCursor end(Memo1->document());
    end.movePosition(QTextCursor::End);
    if (!end.block().text().isEmpty()) end.insertBlock();
    end.insertText(QFile::decodeName(QByteArray(line.data(), static_cast<qsizetype>(line.size()))));
    Memo1->setTextCursor(end);
    Memo1->ensureCursorVisible();
}

std::optional<std::string> TForm4::chooseNumeratorFile() {
    if (!OpenDialog1->execute()) return std::nullopt;
    return QFile::encodeName(OpenDialog1->fileName()).toStdString();
}

void TForm4::hidePlotWindow() {
    program_.form5().hide();
}

void TForm4::showPlotWindow() {
    program_.form5().showNewPlot();
}

bool TForm4::hz() const {
    return CBhz->isChecked();
}

bool TForm4::logarithmic() const {
    return CBlog->isChecked();
}

void TForm4::uncheckLogarithmic() {
    CBlog->setChecked(false);
}

bool TForm4::grid() const {
    return CBgrade->isChecked();
}

bool TForm4::phase() const {
    return CBfase->isChecked();
}

bool TForm4::groupDelay() const {
    return CBtg->isChecked();
}

}  // namespace corvane::ui
