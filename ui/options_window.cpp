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
#include "exact_module_loader.h"
#include "variables_window.h"
#include "window_host.h"
#include "window_table.h"
#include "loop_gain.h"
#include "noise_analysis.h"
#include "symbol_list.h"
#include "value_at.h"
#include "window_style.h"
#include "element_value.h"
#include "parameter_step.h"
#include "root_locus.h"
#include "monte_carlo.h"
#include "step_values.h"
#include "tolerances.h"

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
    addSection(CBmalha, 1, {Label8, Emalha});
    addSection(CBruido, 5,
               {Label3, Esaida, Label4, Eentrada, Label5, Etemperatura, Label6, Efrequencia,
                Label7, Efaixa1, Efaixa2});
    addStepControls();
    addToleranceControls();
    CBsemlimites = addCheckBox(this, "CBsemlimites", QStringLiteral("Sem limites de tamanho"),
                               {8, 180, 161, 17}, false);
    CBsemlimites->setToolTip(QStringLiteral(
        "Aceita até 1000 variáveis e 10000 elementos no próximo Abrir; acima de 25 variáveis, "
        "as funções são calculadas pelo motor exato"));
    setTabOrder(Esemente, CBsemlimites);
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
    setTabOrder(CBmedidas, CBruido);
    QWidget* previous = CBruido;
    for (QWidget* box : {Esaida, Eentrada, Etemperatura, Efrequencia, Efaixa1, Efaixa2}) {
        setTabOrder(previous, box);
        previous = box;
    }
    connect(CBruido, &QCheckBox::toggled, this, [this](bool checked) { showNoiseBoxes(checked); });
}

void OptionsWindow::addSection(QCheckBox* check, int rows, std::initializer_list<QWidget*> controls) {
    OpenedSection section{check, rows, {}};
    for (QWidget* control : controls)
        section.controls.emplace_back(control, control->y());
    sections_.push_back(std::move(section));
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

void OptionsWindow::addStepControls() {
    CBvarrer = addCheckBox(this, "CBvarrer", QStringLiteral("Varrer um valor"), {144, 156, 121, 17},
                           false);
    CBvarrer->setToolTip(QStringLiteral("Analisa o circuito de novo para cada valor de um "
                                        "elemento: os polos, ω0 e Q, os ganhos das variáveis "
                                        "selecionadas e a família das curvas no gráfico"));
    const auto row = [](int k) { return NoiseRowsTop + k * NoiseRowHeight; };
    const auto labelAt = [this, &row](const char* name, const QString& caption, int k) {
        return addLabel(this, name, caption, {8, row(k) + 2, 130, 17});
    };
    Label9 = labelAt("Label9", QStringLiteral("Elemento"), 0);
    Eelemento = addEditBox(this, "Eelemento", {144, row(0), 121, 21});
    Eelemento->setToolTip(QStringLiteral("O elemento que varia, pelo nome (R, G, C, L, K, E, F, "
                                         "H ou uma fonte)"));
    Label10 = labelAt("Label10", QStringLiteral("Valores"), 1);
    Evalores = addEditBox(this, "Evalores", {144, row(1), 121, 21});
    Evalores->setToolTip(QStringLiteral("Os valores, com os sufixos do netlist (4.7k), separados "
                                        "por vírgulas, ou por ; para escrever a vírgula decimal; "
                                        "vazio: a faixa abaixo"));
    Label11 = labelAt("Label11", QStringLiteral("Faixa"), 2);
    Ede = addEditBox(this, "Ede", {144, row(2), 57, 21});
    Eate = addEditBox(this, "Eate", {208, row(2), 57, 21});
    for (QLineEdit* edge : {Ede, Eate})
        edge->setToolTip(QStringLiteral("Uma faixa de valores, em vez da lista"));
    Label12 = labelAt("Label12", QStringLiteral("Pontos na faixa"), 3);
    Epontos = addEditBox(this, "Epontos", {144, row(3), 57, 21});
    Epontos->setText(QStringLiteral("10"));
    CBlog = addCheckBox(this, "CBlog", QStringLiteral("Log"), {208, row(3) + 2, 57, 17}, false);
    CBlog->setToolTip(QStringLiteral("Valores igualmente espaçados no logaritmo"));
    setTabOrder(Emalha, CBvarrer);
    QWidget* previous = CBvarrer;
    for (QWidget* box : std::initializer_list<QWidget*>{Eelemento, Evalores, Ede, Eate, Epontos,
                                                        CBlog}) {
        setTabOrder(previous, box);
        previous = box;
    }
    addSection(CBvarrer, StepRows,
               {Label9, Eelemento, Label10, Evalores, Label11, Ede, Eate, Label12, Epontos, CBlog});
    connect(CBvarrer, &QCheckBox::toggled, this, [this](bool) { layOutOpenedBoxes(); });
}

void OptionsWindow::showNoiseBoxes(bool) {
    layOutOpenedBoxes();
}

void OptionsWindow::addToleranceControls() {
    CBtolerancia = addCheckBox(this, "CBtolerancia", QStringLiteral("Tolerâncias"),
                               {176, 180, 97, 17}, false);
    CBtolerancia->setToolTip(QStringLiteral("Monte Carlo sobre as tolerâncias dos elementos: "
                                            "média, desvio e percentis de ω0, Q, da frequência "
                                            "de -3 dB e dos ganhos, e o pior caso"));
    const auto row = [](int k) { return NoiseRowsTop + k * NoiseRowHeight; };
    const auto labelAt = [this, &row](const char* name, const QString& caption, int k) {
        return addLabel(this, name, caption, {8, row(k) + 2, 130, 17});
    };
    Label13 = labelAt("Label13", QStringLiteral("Tolerâncias (%)"), 0);
    Etolerancias = addEditBox(this, "Etolerancias", {144, row(0), 121, 21});
    Etolerancias->setToolTip(QStringLiteral("Por tipo ou por elemento, como R=1% C=5% R2=0.5%; "
                                            "separe por ; para escrever a vírgula decimal"));
    Label14 = labelAt("Label14", QStringLiteral("Circuitos"), 1);
    Ecircuitos = addEditBox(this, "Ecircuitos", {144, row(1), 57, 21});
    Ecircuitos->setText(QString::number(DefaultToleranceCircuits));
    Ecircuitos->setToolTip(QStringLiteral("Quantos circuitos sortear, de 1 a 100000"));
    CBgauss = addCheckBox(this, "CBgauss", QStringLiteral("Gauss"), {208, row(1) + 2, 57, 17},
                          false);
    CBgauss->setToolTip(QStringLiteral("Valores gaussianos com 3σ na tolerância; sem marca, "
                                       "uniformes dentro dela"));
    Label15 = labelAt("Label15", QStringLiteral("Semente (opcional)"), 2);
    Esemente = addEditBox(this, "Esemente", {144, row(2), 121, 21});
    Esemente->setToolTip(
        QStringLiteral("A semente do sorteio; vazio: uma nova a cada análise, escrita no log"));
    setTabOrder(CBlog, CBtolerancia);
    setTabOrder(CBtolerancia, Etolerancias);
    setTabOrder(Etolerancias, Ecircuitos);
    setTabOrder(Ecircuitos, CBgauss);
    setTabOrder(CBgauss, Esemente);
    addSection(CBtolerancia, ToleranceRows,
               {Label13, Etolerancias, Label14, Ecircuitos, CBgauss, Label15, Esemente});
    connect(CBtolerancia, &QCheckBox::toggled, this, [this](bool) { layOutOpenedBoxes(); });
}

void OptionsWindow::layOutOpenedBoxes() {
    int rows = 0;
    for (const OpenedSection& section : sections_) {
        const bool open = section.check->isChecked();
        for (const auto& [control, top] : section.controls) {
            control->setVisible(open);
            control->move(control->x(), top + rows * NoiseRowHeight);
        }
        if (open) rows += section.rows;
    }
    const QSize closed = clientSize(OuterSize);
    resize(closed.width(), closed.height() + (rows > 0 ? rows * NoiseRowHeight + 8 : 0));
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
    const std::optional<StepSettings> step = readStepBoxes();
    if (!step) return;
    const std::optional<ToleranceSettings> tolerance = readToleranceBoxes();
    if (!tolerance) return;
    appliedNoise_ = *noise;
    appliedLoop_ = *loop;
    appliedStep_ = *step;
    appliedTolerance_ = *tolerance;
    hide();
    windows_.get<VariablesWindow>().hide();
    analysis_.applyParameters(*dispersion);
    host_.endWait();
}

// The symbols are checked against the circuit the run has read, so that a name that
// names nothing is mended before the expansion rather than ending the run after it.
bool OptionsWindow::namesNoValue() const {
    if (!CBsimbolica->isChecked()) return false;
    std::vector<std::string> unknown;
    try {
        unknown = exactModule().unknownSymbolNames(
            analysis_.runState(), symbolic::splitSymbolList(Esimbolos->text().toStdString()));
    } catch (const ExactModuleUnavailable& unavailable) {
        log_.print("%s", unavailable.what());
        return true;
    }
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

std::optional<StepSettings> OptionsWindow::readStepBoxes() const {
    StepSettings step;
    step.enabled = CBvarrer->isChecked();
    if (!step.enabled) return step;
    step.element = boxText(*Eelemento);
    if (step.element.empty()) {
        log_.print("Varredura: escreva o elemento em \"Elemento\"");
        return std::nullopt;
    }
    const RunState& run = analysis_.runState();
    const int element = findElementNamed(run, step.element);
    if (element == 0) {
        log_.print("Varredura: o elemento %s não existe no circuito", step.element.c_str());
        return std::nullopt;
    }
    if (!kindHasValue(run.ElementTable[static_cast<std::size_t>(element)].kind())) {
        log_.print("Varredura: o elemento %s não tem valor", step.element.c_str());
        return std::nullopt;
    }
    const bool list = !boxText(*Evalores).empty();
    const bool range = !boxText(*Ede).empty() || !boxText(*Eate).empty();
    if (list == range) {
        log_.print(list ? "Varredura: use \"Valores\" ou \"Faixa\", não os dois"
                        : "Varredura: escreva os valores em \"Valores\" ou uma faixa em \"Faixa\"");
        return std::nullopt;
    }
    std::optional<std::vector<double>> values = list ? readStepValues() : readStepRange();
    if (!values) return std::nullopt;
    step.values = std::move(*values);
    return step;
}

std::optional<std::vector<double>> OptionsWindow::readStepValues() const {
    const std::string text = boxText(*Evalores);
    variation::ValueList list = variation::readValueList(text);
    if (list.badEntry) {
        log_.print("Valor inválido em \"Valores\": %s", list.badEntry->c_str());
        return std::nullopt;
    }
    if (list.tooMany) {
        log_.print("Varredura: \"Valores\" aceita até %d valores", variation::MaxStepValues);
        return std::nullopt;
    }
    return std::move(list.values);
}

std::optional<std::vector<double>> OptionsWindow::readStepRange() const {
    const std::string fromText = boxText(*Ede);
    const std::string toText = boxText(*Eate);
    const std::optional<double> from = parseBoxNumber(fromText);
    const std::optional<double> to = parseBoxNumber(toText);
    if (!from || !to) {
        log_.print("Valor inválido em \"Faixa\": %s a %s", fromText.c_str(), toText.c_str());
        return std::nullopt;
    }
    const std::string pointsText = boxText(*Epontos);
    const std::optional<int> points = variation::readStepPoints(pointsText);
    if (!points) {
        log_.print("Valor inválido em \"Pontos na faixa\" (de %d a %d): %s", MinLocusPoints,
                   variation::MaxStepValues, pointsText.c_str());
        return std::nullopt;
    }
    const LocusScale scale = CBlog->isChecked() ? LocusScale::Logarithmic : LocusScale::Linear;
    switch (checkLocusRange(*from, *to, *points, scale)) {
        case LocusRangeProblem::NotPositive:
            log_.print("Uma faixa logarítmica em \"Faixa\" deve começar acima de zero: %s",
                       fromText.c_str());
            return std::nullopt;
        case LocusRangeProblem::NotIncreasing:
            log_.print("A faixa em \"Faixa\" deve ir de um valor a outro maior: %s a %s",
                       fromText.c_str(), toText.c_str());
            return std::nullopt;
        default:
            break;
    }
    return locusValues(*from, *to, *points, scale);
}

namespace {

// The rules as `tolerancia --tol` takes them, blanks between them allowed too: "R=1% C=5%"
// reads as "R=1%,C=5%" (";" where the list writes ";").
std::string toleranceList(const std::string& text) {
    const char separator = text.find(';') != std::string::npos ? ';' : ',';
    std::string list;
    bool pending = false;
    for (const char c : text) {
        if (c == separator || c == ' ' || c == '\t') {
            pending = !list.empty();
            continue;
        }
        if (pending) list += separator;
        pending = false;
        list += c;
    }
    return list;
}

}  // namespace

std::optional<ToleranceSettings> OptionsWindow::readToleranceBoxes() const {
    ToleranceSettings tolerance;
    tolerance.enabled = CBtolerancia->isChecked();
    if (!tolerance.enabled) return tolerance;
    tolerance.rules = toleranceList(boxText(*Etolerancias));
    if (tolerance.rules.empty()) {
        log_.print("Tolerâncias: escreva as tolerâncias em \"Tolerâncias (%%)\"");
        return std::nullopt;
    }
    std::string error;
    const std::optional<std::vector<variation::ToleranceRule>> rules =
        variation::parseTolerances(tolerance.rules, error);
    if (!rules || !variation::resolveTolerances(analysis_.runState(), *rules, error)) {
        log_.print("Tolerâncias: %s", error.c_str());
        return std::nullopt;
    }
    const std::string circuits = boxText(*Ecircuitos);
    const std::optional<int> count = variation::readCircuitCount(circuits);
    if (!count) {
        log_.print("Valor inválido em \"Circuitos\" (de 1 a %d): %s", variation::MaxMonteCarloCount,
                   circuits.c_str());
        return std::nullopt;
    }
    tolerance.circuits = *count;
    tolerance.gaussian = CBgauss->isChecked();
    const std::string seed = boxText(*Esemente);
    if (!seed.empty()) {
        tolerance.seed = variation::readSeed(seed);
        if (!tolerance.seed) {
            log_.print("Valor inválido em \"Semente\" (de 0 a 18446744073709551615): %s",
                       seed.c_str());
            return std::nullopt;
        }
    }
    return tolerance;
}

void OptionsWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    host_.cancelWait();
}

}  // namespace corvane::ui
