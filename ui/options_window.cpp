#include "options_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "c_locale.h"
#include "number_text.h"
#include "analysis.h"
#include "error_box.h"
#include "variables_window.h"
#include "window_host.h"
#include "window_table.h"
#include "loop_gain.h"
#include "noise_analysis.h"
#include "symbolic_system.h"
#include "value_at.h"
#include "window_style.h"

namespace corvane::ui {

const QString OptionsWindow::MemoryHint = QStringLiteral(
    "Se o log avisar que a memória para menores se esgotou, a análise pode demorar muito: "
    "inicie o programa com CORVANE_MEMORIA_CACHE=4096 (em MiB; o padrão é 2048) para lhe dar "
    "mais memória.");

OptionsWindow::OptionsWindow(ErrorBox& errorBox, AnalysisLog& log, Analysis& analysis,
                             WindowHost& host, Windows& windows)
    : log_(log), analysis_(analysis), host_(host), windows_(windows) {
    setUpSecondaryWindow(*this, "Form2", QStringLiteral("Análise"));

    CBestampas =
        addCheckBox(this, "CBestampas", QStringLiteral("Listar estampas"), {8, 8, 97, 17}, false);
    CBnorm = addCheckBox(this, "CBnorm", QStringLiteral("Normalizar polinômios"), {8, 32, 129, 17},
                         true);
    CBdetalhes =
        addCheckBox(this, "CBdetalhes", QStringLiteral("Listar detalhes"), {8, 56, 97, 17}, false);
    CBpolos = addCheckBox(this, "CBpolos", QStringLiteral("Listar polos e zeros"),
                          {8, 76, 129, 17}, false);

    Label1 = new QLabel(QStringLiteral("Dispersão de coeficientes"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(8, 104);
    Label1->adjustSize();

    Edisp = new QLineEdit(QStringLiteral("1e9"), this);
    Edisp->setObjectName(QStringLiteral("Edisp"));
    Edisp->setGeometry(144, 96, 121, 21);

    Button1 = new QPushButton(QStringLiteral("Aplicar"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(192, 128, 75, 25);

    setTabOrder(Button1, CBestampas);
    setTabOrder(CBestampas, CBnorm);
    setTabOrder(CBnorm, Edisp);
    setTabOrder(Edisp, CBdetalhes);
    setTabOrder(CBdetalhes, CBpolos);

    CBsimbolica = addCheckBox(this, "CBsimbolica", QStringLiteral("Análise simbólica"),
                              {144, 8, 121, 17}, false);
    Label2 = new QLabel(QStringLiteral("Símbolos"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->move(144, 32);
    Label2->adjustSize();
    Esimbolos = new QLineEdit(this);
    Esimbolos->setObjectName(QStringLiteral("Esimbolos"));
    Esimbolos->setGeometry(144, 50, 121, 21);
    Esimbolos->setToolTip(QStringLiteral("Elementos que ficam simbólicos, separados por vírgulas "
                                         "ou espaços; vazio: todos"));
    setTabOrder(CBpolos, CBsimbolica);
    setTabOrder(CBsimbolica, Esimbolos);
    CBmedidas = addCheckBox(this, "CBmedidas", QStringLiteral("Listar medidas"),
                            {144, 76, 121, 17}, false);
    setTabOrder(Esimbolos, CBmedidas);
    addNoiseControls();
    addLoopControls();
    CBsemlimites = addCheckBox(this, "CBsemlimites", QStringLiteral("Sem limites de tamanho"),
                               {8, 180, 161, 17}, false);
    CBsemlimites->setToolTip(QStringLiteral(
        "Aceita até 1000 variáveis e 10000 elementos no próximo Abrir; acima de 25 variáveis, "
        "as funções são calculadas pelo motor exato"));
    setTabOrder(Emalha, CBsemlimites);
    Button1->setFocus();

    connect(Button1, &QPushButton::clicked, this, errorBox.command([this] { Button1Click(); }));
    // Typing the dispersion and pressing Enter applies it, as a dialog's default button would.
    connect(Edisp, &QLineEdit::returnPressed, Button1, &QPushButton::click);

    placeWindow(*this, {219, 196}, OuterSize);
    layOutOpenedBoxes();
    setToolTip(MemoryHint);
}

void OptionsWindow::addNoiseControls() {
    CBruido = addCheckBox(this, "CBruido", QStringLiteral("Análise de ruído"), {8, 132, 129, 17},
                          false);
    CBruido->setToolTip(QStringLiteral("O ruído térmico dos resistores (4kT/R cada um) numa "
                                       "saída: densidades, a parte de cada resistor e o valor "
                                       "rms numa faixa"));
    const auto row = [](int k) { return NoiseRowsTop + k * NoiseRowHeight; };
    const auto labelAt = [this, &row](const char* name, const QString& caption, int k) {
        return addLabel(this, name, caption, {8, row(k) + 2, 130, 17});
    };
    Label3 = labelAt("Label3", QStringLiteral("Saída"), 0);
    Esaida = addEditBox(this, "Esaida", {144, row(0), 121, 21});
    Esaida->setToolTip(QStringLiteral("A variável de saída, pelo nome ou pelo número"));
    Label4 = labelAt("Label4", QStringLiteral("Entrada (opcional)"), 1);
    Eentrada = addEditBox(this, "Eentrada", {144, row(1), 121, 21});
    Eentrada->setToolTip(
        QStringLiteral("A fonte independente a que o ruído é referido; vazio: nenhuma"));
    Label5 = labelAt("Label5", QStringLiteral("Temperatura (°C)"), 2);
    Etemperatura = addEditBox(this, "Etemperatura", {144, row(2), 121, 21});
    Etemperatura->setText(QStringLiteral("27"));
    Label6 = labelAt("Label6", QStringLiteral("Frequência (Hz)"), 3);
    Efrequencia = addEditBox(this, "Efrequencia", {144, row(3), 121, 21});
    Efrequencia->setText(QStringLiteral("1k"));
    Efrequencia->setToolTip(QStringLiteral("Onde as densidades e as partes são dadas"));
    Label7 = labelAt("Label7", QStringLiteral("Faixa (Hz)"), 4);
    Efaixa1 = addEditBox(this, "Efaixa1", {144, row(4), 57, 21});
    Efaixa2 = addEditBox(this, "Efaixa2", {208, row(4), 57, 21});
    for (QLineEdit* edge : {Efaixa1, Efaixa2}) {
        edge->setToolTip(
            QStringLiteral("A faixa do ruído integrado; as duas vazias: todas as frequências"));
    }
    for (QWidget* control : std::initializer_list<QWidget*>{
             Label3, Esaida, Label4, Eentrada, Label5, Etemperatura, Label6, Efrequencia, Label7,
             Efaixa1, Efaixa2}) {
        noiseRows_.emplace_back(control, control->y());
    }
    setTabOrder(CBmedidas, CBruido);
    QWidget* previous = CBruido;
    for (QWidget* box : {Esaida, Eentrada, Etemperatura, Efrequencia, Efaixa1, Efaixa2}) {
        setTabOrder(previous, box);
        previous = box;
    }
    connect(CBruido, &QCheckBox::toggled, this, [this](bool checked) { showNoiseBoxes(checked); });
}

void OptionsWindow::addLoopControls() {
    CBmalha = addCheckBox(this, "CBmalha", QStringLiteral("Ganho de malha"), {8, 156, 129, 17},
                          false);
    CBmalha->setToolTip(QStringLiteral("O ganho de malha T(s) de uma fonte controlada ou de um "
                                       "amplificador operacional com ganho finito, as margens "
                                       "de fase e de ganho e a estabilidade em malha fechada"));
    Label8 = addLabel(this, "Label8", QStringLiteral("Fonte"), {8, NoiseRowsTop + 2, 130, 17});
    Emalha = addEditBox(this, "Emalha", {144, NoiseRowsTop, 121, 21});
    Emalha->setToolTip(QStringLiteral("A fonte controlada (E, F, G, H) ou o amplificador "
                                      "operacional com ganho finito, pelo nome"));
    setTabOrder(Efaixa2, CBmalha);
    setTabOrder(CBmalha, Emalha);
    connect(CBmalha, &QCheckBox::toggled, this, [this](bool) { layOutOpenedBoxes(); });
}

void OptionsWindow::showNoiseBoxes(bool) {
    layOutOpenedBoxes();
}

void OptionsWindow::layOutOpenedBoxes() {
    const bool loop = CBmalha->isChecked();
    const bool noise = CBruido->isChecked();
    Label8->setVisible(loop);
    Emalha->setVisible(loop);
    // The noise's rows follow the loop's row when both are open.
    const int shift = loop ? LoopBoxHeight - 8 : 0;
    for (const auto& [control, top] : noiseRows_) {
        control->setVisible(noise);
        control->move(control->x(), top + shift);
    }
    const QSize closed = clientSize(OuterSize);
    const int opened = (loop ? LoopBoxHeight : 0) + (noise ? NoiseBoxesHeight : 0) -
                       (loop && noise ? 8 : 0);
    resize(closed.width(), closed.height() + opened);
}

// A dispersion that is not a number, or that is zero, is named in the log and the run keeps
// waiting, with the windows open for the user to mend it.
void OptionsWindow::Button1Click() {
    const std::string text = Edisp->text().toStdString();
    const std::optional<double> dispersion = parseDispersion(text);
    if (!dispersion) {
        log_.print("Valor inválido em \"Dispersão de coeficientes\": %s", text.c_str());
        return;
    }
    if (namesNoValue()) return;
    const std::optional<NoiseSettings> noise = readNoiseBoxes();
    if (!noise) return;
    const std::optional<LoopSettings> loop = readLoopBox();
    if (!loop) return;
    appliedNoise_ = *noise;
    appliedLoop_ = *loop;
    hide();
    windows_.get<VariablesWindow>().hide();
    analysis_.applyParameters(*dispersion);
    host_.endWait();
}

// The symbols are checked against the circuit the run has read, so that a name that
// names nothing is mended before the expansion rather than ending the run after it.
bool OptionsWindow::namesNoValue() const {
    if (!CBsimbolica->isChecked()) return false;
    const symbolic::SymbolSelection selection{
        symbolic::splitSymbolList(Esimbolos->text().toStdString())};
    const std::vector<std::string> unknown =
        symbolic::assembleSymbolicSystem(analysis_.runState(), selection).unknownNames;
    for (const std::string& name : unknown)
        log_.print("Símbolos: nenhum valor do circuito se chama %s", name.c_str());
    return !unknown.empty();
}

namespace {

std::string boxText(const QLineEdit& box) {
    return box.text().trimmed().toStdString();
}

}  // namespace

std::optional<NoiseSettings> OptionsWindow::readNoiseBoxes() const {
    NoiseSettings noise;
    noise.enabled = CBruido->isChecked();
    if (!noise.enabled) return noise;
    noise.output = boxText(*Esaida);
    if (noise.output.empty()) {
        log_.print("Ruído: escreva a saída em \"Saída\"");
        return std::nullopt;
    }
    noise.input = boxText(*Eentrada);
    const std::string celsius = boxText(*Etemperatura);
    const std::optional<double> degrees = parseBoxNumber(celsius);
    if (!degrees) {
        log_.print("Valor inválido em \"Temperatura (°C)\": %s", celsius.c_str());
        return std::nullopt;
    }
    if (*degrees <= -noise::ZeroCelsiusInKelvin) {
        log_.print("A temperatura em \"Temperatura (°C)\" deve ficar acima do zero absoluto "
                   "(-273.15 °C): %s",
                   celsius.c_str());
        return std::nullopt;
    }
    noise.celsius = *degrees;
    const std::string hertz = boxText(*Efrequencia);
    const std::optional<double> frequency = parseFrequency(hertz);
    if (!frequency) {
        log_.print("Valor inválido em \"Frequência (Hz)\": %s", hertz.c_str());
        return std::nullopt;
    }
    noise.hertz = *frequency;
    const std::string low = boxText(*Efaixa1);
    const std::string high = boxText(*Efaixa2);
    if (!low.empty() || !high.empty()) {
        const std::optional<double> f1 = parseFrequency(low);
        const std::optional<double> f2 = parseFrequency(high);
        if (!f1 || !f2) {
            log_.print("Valor inválido em \"Faixa (Hz)\": %s a %s", low.c_str(), high.c_str());
            return std::nullopt;
        }
        if (!(*f1 < *f2)) {
            log_.print("A faixa em \"Faixa (Hz)\" deve ir de uma frequência a outra maior: %s a %s",
                       low.c_str(), high.c_str());
            return std::nullopt;
        }
        noise.band = std::pair{*f1, *f2};
    }
    if (const std::optional<std::string> problem =
            noise::noiseOptionsProblem(analysis_.runState(), noise)) {
        log_.print("%s", problem->c_str());
        return std::nullopt;
    }
    return noise;
}

std::optional<LoopSettings> OptionsWindow::readLoopBox() const {
    LoopSettings loop;
    loop.enabled = CBmalha->isChecked();
    if (!loop.enabled) return loop;
    loop.source = boxText(*Emalha);
    if (loop.source.empty()) {
        log_.print("Malha: escreva a fonte em \"Fonte\"");
        return std::nullopt;
    }
    const loop::LoopSource source = loop::findLoopSource(analysis_.runState(), loop.source);
    if (source.element == 0) {
        log_.print("%s", source.problem.c_str());
        return std::nullopt;
    }
    return loop;
}

void OptionsWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    host_.cancelWait();
}

}  // namespace corvane::ui
