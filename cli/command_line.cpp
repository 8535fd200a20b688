#include "memory_size.h"
#include "command_line.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis.h"
#include "analysis_log.h"
#include "c_locale.h"
#include "console_host.h"
#include "document_curves.h"
#include "corvane_version.h"
#include "fitted_ranges.h"
#include "floating_point.h"
#include "number_text.h"
#include "plot_console.h"
#include "plot_list_file.h"
#include "plotter.h"
#include "results_json.h"
#include "symbolic_step.h"
#include "time_console.h"
#include "value_at.h"
#ifdef CORVANE_IMAGE_EXPORT
#include "plot_image.h"
#elif defined(CORVANE_IMAGE_PROGRAM)
#include "image_format.h"
#include "image_program.h"
#endif

namespace corvane::cli {

namespace {

constexpr const char* Usage =
    "Uso: corvane-cli analisar [opções] NETLIST\n"
    "     corvane-cli plotar [opções] LISTA\n"
    "     corvane-cli tempo [opções] LISTA\n"
    "\n"
    "analisar: analisa o circuito do NETLIST e grava os resultados ao lado dele.\n"
    "\n"
    "  --listar-estampas     lista o sistema após a estampa de cada elemento\n"
    "  --nao-normalizar      não normaliza os polinômios\n"
    "  --listar-detalhes     lista as multiplicações e cada arquivo salvo\n"
    "  --dispersao TEXTO     dispersão de coeficientes (padrão 1e9)\n"
    "  --variaveis LISTA     variáveis a listar: números ou nomes separados por\n"
    "                        vírgulas, ou todas\n"
    "  --expansao-simples    calcula os determinantes pela expansão simples, sem\n"
    "                        memorizar menores (referência; lenta em circuitos grandes)\n"
    "  --memoria-cache MIB   memória para os menores memorizados e a análise simbólica\n"
    "                        (padrão 2048, mínimo 64); quando o log avisa que ela se\n"
    "                        esgotou, dê mais (por exemplo 4096) para que a análise não\n"
    "                        demore muito\n"
    "  --polos-zeros         lista os polos e zeros de cada polinômio listado\n"
    "  --medidas             lista os ganhos, a banda de -3 dB e o atraso de grupo de\n"
    "                        cada variável listada\n"
    "  --json ARQUIVO        grava também todos os resultados em ARQUIVO, em JSON\n"
    "  --simbolica           lista também as funções nos nomes dos elementos\n"
    "  --simbolos LISTA      elementos que ficam simbólicos, separados por vírgulas\n"
    "                        (padrão: todos); os demais entram com seus valores\n"
    "  --limite-termos N     termos por coeficiente na análise simbólica (padrão 100000)\n"
    "\n"
    "plotar: calcula a resposta em frequência das funções da LISTA (pares de arquivos\n"
    "numerador e denominador, linhas com * são comentários) e a desenha sem janelas.\n"
    "\n"
    "  --wmin, --wmax TEXTO  frequências mínima e máxima (padrão 0.1 e 5)\n"
    "  --gmin, --gmax TEXTO  módulo mínimo e máximo em dB (padrão -60 e 20)\n"
    "  --fmin, --fmax TEXTO  fase mínima e máxima em graus (padrão -180 e 180)\n"
    "  --amin, --amax TEXTO  atraso de grupo mínimo e máximo em s (padrão -10 e 40)\n"
    "  --segmentos TEXTO     número de segmentos, 1 a 600 (padrão 300)\n"
    "  --hz                  frequências em Hz\n"
    "  --linear              frequências em escala linear\n"
    "  --sem-grade           sem grade\n"
    "  --sem-fase            sem as curvas de fase\n"
    "  --sem-atraso          sem as curvas de atraso de grupo\n"
    "  --fase-continua       fase contínua ao longo de cada curva, sem os saltos de 360°\n"
    "  --legenda, --sem-legenda\n"
    "                        com (padrão) ou sem a legenda das curvas\n"
    "  --cores-por-curva     cada curva na sua cor: ganho contínuo, fase tracejada,\n"
    "                        atraso pontilhado\n"
    "  --ajustar             faixas tiradas dos polos e zeros e da resposta das curvas;\n"
    "                        as opções de faixa dadas valem sobre as ajustadas\n"
    "  --imagem ARQUIVO      grava o gráfico em ARQUIVO.png ou ARQUIVO.svg\n"
    "  --largura N           largura do gráfico em pixels (padrão 680)\n"
    "  --altura N            altura do gráfico em pixels (padrão 442)\n"
    "  --tabela ARQUIVO      grava ganho, fase e atraso de cada ponto em CSV\n"
    "  --em F                escreve o ganho, a fase e o atraso exatos de cada curva\n"
    "                        na frequência F (rad/s, ou Hz com --hz; aceita 1k, 2.5MEG)\n"
    "  --json ARQUIVO        plota as funções do documento JSON de uma análise\n"
    "                        (analisar --json), com todos os algarismos; sem LISTA,\n"
    "                        ou depois das funções dela\n"
    "  --variaveis LISTA     variáveis do documento, nomes ou números separados por\n"
    "                        vírgulas (padrão: todas)\n"
    "\n"
    "tempo: calcula a resposta no tempo x(t) das funções da LISTA (como em plotar),\n"
    "exatamente pelos polos e resíduos, e a confere por uma inversão numérica.\n"
    "\n"
    "  --tmin, --tmax T      tempos inicial e final em s (padrão 0 e automático)\n"
    "  --pontos N            número de pontos, 2 a 1000000 (padrão 1000)\n"
    "  --tabela ARQUIVO      grava curva, ponto, tempo e valor de cada ponto em CSV\n"
    "  --imagem ARQUIVO      grava as curvas em ARQUIVO.png ou ARQUIVO.svg (680 x 442)\n"
    "  --json ARQUIVO, --variaveis LISTA\n"
    "                        as funções de um documento JSON, como em plotar\n"
    "  --medidas             lista o valor final, o pico, o sobressinal e os tempos de\n"
    "                        subida e de acomodação de cada curva\n"
    "  --acomodacao PCT      faixa do tempo de acomodação, em % do valor final\n"
    "                        (padrão 2; pede --medidas)\n"
    "\n"
    "  -h, --help            mostra esta ajuda\n"
    "  --version             mostra a versão\n"
    "\n"
    "Saída: 0 sucesso; 1 a análise ou o plotar parou numa falha do log, uma curva do\n"
    "plotar não tem ponto algum, uma curva do tempo não pôde ser calculada, conferida\n"
    "ou levada até o fim, ou um arquivo não pôde ser lido ou gravado; 2 erro de uso;\n"
    "3 erro de ponto flutuante; 4 a análise gravou os resultados mas terminou com\n"
    "avisos sobre eles (veja as linhas \"Aviso\" do log);\n"
    "130 análise interrompida por Ctrl-C (nenhum arquivo gravado).\n";

class UsageError {
public:
    explicit UsageError(std::string message) : message_(std::move(message)) {}
    const std::string& message() const { return message_; }

private:
    std::string message_;
};

// The arguments of one command: options in any order, and one positional argument.
class Arguments {
public:
    /// `secondOne` begins the message for a second positional argument, `missing` is the
    /// message when there is none.
    Arguments(const std::vector<std::string_view>& args, const char* secondOne, const char* missing)
        : args_(args), secondOne_(secondOne), missing_(missing) {}

    /// Moves to the next argument; false at the end.
    bool next() { return ++index_ < args_.size(); }
    std::string_view current() const { return args_[index_]; }

    /// The value that follows the current option.
    std::string_view value() {
        if (index_ + 1 >= args_.size()) {
            throw UsageError("a opção " + std::string(current()) + " precisa de um valor");
        }
        return args_[++index_];
    }

    /// Takes the current argument, which no option claimed, as the positional one.
    void takePositional(std::string& into) {
        const std::string_view arg = current();
        if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError("opção desconhecida: " + std::string(arg));
        }
        if (havePositional_) throw UsageError(secondOne_ + std::string(arg));
        into = arg;
        havePositional_ = true;
    }

    /// Refuses a command line without its positional argument.
    void requirePositional() const {
        if (!havePositional_) throw UsageError(missing_);
    }
    bool hasPositional() const { return havePositional_; }

private:
    const std::vector<std::string_view>& args_;
    const char* secondOne_;
    const char* missing_;
    std::size_t index_ = static_cast<std::size_t>(-1);
    bool havePositional_ = false;
};

std::vector<std::string> splitList(std::string_view list) {
    std::vector<std::string> entries;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        if (comma > start) entries.emplace_back(list.substr(start, comma - start));
        start = comma + 1;
    }
    return entries;
}

struct AnalyzeCommand {
    ConsoleOptions options;
    EngineOptions engine;
    std::string netlist;
    std::string json;
};

// A whole number of mebibytes, digits only, no less than the engine can work with.
std::size_t parseMebibytes(std::string_view text) {
    std::size_t value = 0;
    const std::size_t limit = std::size_t{1} << 40;
    if (text.empty()) throw UsageError("--memoria-cache precisa de um número de MiB");
    for (const char c : text) {
        if (c < '0' || c > '9' || value > limit) {
            throw UsageError("--memoria-cache precisa de um número de MiB: " + std::string(text));
        }
        value = value * 10 + static_cast<std::size_t>(c - '0');
    }
    const std::size_t bytes = std::min(value, limit) << 20;
    if (bytes < SmallestCacheLimitBytes) {
        throw UsageError("a opção --memoria-cache pede pelo menos " +
                         formatMemorySize(SmallestCacheLimitBytes) + ": " + std::string(text));
    }
    return bytes;
}

// A whole number of terms, 1 or more, digits only.
long parseTermLimit(std::string_view text) {
    const std::string message = "--limite-termos precisa de um número inteiro positivo";
    long value = 0;
    if (text.empty()) throw UsageError(message);
    for (const char c : text) {
        if (c < '0' || c > '9' || value > 1'000'000'000'000L) {
            throw UsageError(message + ": " + std::string(text));
        }
        value = value * 10 + (c - '0');
    }
    if (value < 1) throw UsageError(message + ": " + std::string(text));
    return value;
}

// Read as the options window reads Edisp, so that a mistyped value never runs with
// another dispersion.
double parseDispersionOption(std::string_view text) {
    const std::optional<double> value = parseDispersion(text);
    if (!value) {
        const std::string message =
            "a opção --dispersao pede um número finito diferente de zero (. ou , decimal): ";
        throw UsageError(message + std::string(text));
    }
    return *value;
}

AnalyzeCommand parseAnalyze(const std::vector<std::string_view>& list) {
    AnalyzeCommand command;
    // Options of the symbolic analysis given without it would be silently ignored.
    std::string_view symbolicOnly;
    Arguments args(list, "só um netlist por vez: ", "falta o NETLIST");
    while (args.next()) {
        const std::string_view arg = args.current();
        if (arg == "--listar-estampas") {
            command.options.analysis.listStamps = true;
        } else if (arg == "--nao-normalizar") {
            command.options.analysis.normalize = false;
        } else if (arg == "--listar-detalhes") {
            command.options.analysis.listDetails = true;
        } else if (arg == "--dispersao") {
            command.options.dispersion = parseDispersionOption(args.value());
        } else if (arg == "--variaveis") {
            command.options.selection = splitList(args.value());
        } else if (arg == "--expansao-simples") {
            command.engine.method = ExpansionMethod::Plain;
        } else if (arg == "--memoria-cache") {
            command.engine.cacheLimitBytes = parseMebibytes(args.value());
        } else if (arg == "--polos-zeros") {
            command.options.analysis.listPolesAndZeros = true;
        } else if (arg == "--medidas") {
            command.options.analysis.listMeasures = true;
        } else if (arg == "--json") {
            command.json = args.value();
        } else if (arg == "--simbolica") {
            command.options.analysis.symbolic.enabled = true;
        } else if (arg == "--simbolos") {
            command.options.analysis.symbolic.symbols =
                symbolic::splitSymbolList(std::string(args.value()));
            symbolicOnly = "--simbolos";
        } else if (arg == "--limite-termos") {
            command.options.analysis.symbolic.termLimit = parseTermLimit(args.value());
            symbolicOnly = "--limite-termos";
        } else {
            args.takePositional(command.netlist);
        }
    }
    args.requirePositional();
    if (!symbolicOnly.empty() && !command.options.analysis.symbolic.enabled) {
        throw UsageError("a opção " + std::string(symbolicOnly) + " precisa de --simbolica");
    }
    return command;
}

// The run's results for scripts, once the run has succeeded.
nlohmann::ordered_json textForms(const symbolic::FunctionText& text) {
    return {{"texto", text.text}, {"sympy", text.sympy}, {"latex", text.latex}};
}

// The symbolic functions as the log listed them, each also as a SymPy expression and in
// LaTeX.
nlohmann::ordered_json symbolicDocument(const symbolic::SymbolicListing& listing) {
    nlohmann::ordered_json document;
    document["simbolos"] = listing.symbols;
    document["definicoes"] = listing.definitions;
    if (!listing.denominator) {
        document["interrompida"] = listing.stopped;
        return document;
    }
    document["denominador"] = textForms(*listing.denominator);
    document["numeradores"] = nlohmann::ordered_json::array();
    for (const auto& [k, numerator] : listing.numerators) {
        nlohmann::ordered_json entry = {{"numero", k}};
        entry.update(textForms(numerator));
        document["numeradores"].push_back(entry);
    }
    document["funcoes"] = nlohmann::ordered_json::array();
    for (const symbolic::SymbolicFunction& f : listing.functions) {
        document["funcoes"].push_back({{"numero", f.variable},
                                       {"nome", f.name},
                                       {"numerador", textForms(f.numerator)},
                                       {"denominador", textForms(f.denominator)}});
    }
    document["verificacao"] = listing.verification;
    return document;
}

// The JSON document of the run, made when the result files are about to be written, so
// that it goes in place with them or not at all.
std::string resultsJsonText(const AnalyzeCommand& command, const Analysis& analysis,
                            const symbolic::SymbolicStep& symbolic, const RunWarnings& warnings) {
    ResultsJsonOptions options;
    options.normalize = command.options.analysis.normalize;
    options.dispersion = analysis.dispersion();
    options.polesAndZeros = command.options.analysis.listPolesAndZeros;
    options.measures = command.options.analysis.listMeasures;
    nlohmann::ordered_json document =
        resultsDocument(analysis.runState(), analysis.networkFunctions(), options, warnings);
    if (symbolic.listing()) document["simbolica"] = symbolicDocument(*symbolic.listing());
    return jsonText(document);
}

int runAnalyze(const AnalyzeCommand& command, std::FILE* out, std::FILE* err) {
    AnalysisLog log([out](std::string_view line) {
        std::fwrite(line.data(), 1, line.size(), out);
        std::fputc('\n', out);
    });
    ConsoleHost host(command.options, err);
    Analysis analysis(host, log);
    analysis.setEngineOptions(command.engine);
    host.attach(analysis);
    auto symbolicStep = std::make_unique<symbolic::SymbolicStep>();
    const symbolic::SymbolicStep& symbolic = *symbolicStep;
    analysis.addListingStep(std::move(symbolicStep));
    if (!command.json.empty()) {
        auto document = std::make_unique<CompanionFilesStep>();
        document->add({command.json, "JSON",
                       [&command, &analysis, &symbolic](const RunWarnings& warnings) {
                           return resultsJsonText(command, analysis, symbolic, warnings);
                       }});
        analysis.addListingStep(std::move(document));
    }
    const InterruptCatcher interrupts;
    try {
        const RunOutcome outcome = analysis.runAnalysis(command.netlist);
        std::fflush(out);
        if (outcome == RunOutcome::Cancelled) return ExitInterrupted;
        if (outcome != RunOutcome::Succeeded && outcome != RunOutcome::SucceededWithWarnings) {
            return ExitFailure;
        }
        return outcome == RunOutcome::Succeeded ? ExitSuccess : ExitWarnings;
    } catch (const FloatingPointFault& fault) {
        std::fflush(out);
        std::fprintf(err, "%s\n", fault.what());
        return ExitFloatingPointFault;
    }
}

// --json and --variaveis of plotar and tempo; false for any other argument.
bool takeDocumentOption(Arguments& args, DocumentSelection& document) {
    if (args.current() == "--json") {
        document.path = args.value();
        if (document.path.empty()) throw UsageError("a opção --json precisa de um arquivo");
        return true;
    }
    if (args.current() == "--variaveis") {
        document.variables = splitList(args.value());
        if (document.variables.empty()) throw UsageError("a opção --variaveis precisa de nomes");
        return true;
    }
    return false;
}

void requireListOrDocument(const Arguments& args, const DocumentSelection& document) {
    if (!document.variables.empty() && document.path.empty()) {
        throw UsageError("a opção --variaveis pede --json");
    }
    if (document.path.empty()) args.requirePositional();
}

// The largest drawing surface accepted, in either direction.
constexpr int MaxImageExtent = 16384;

struct PlotCommand {
    PlotOptions options;
    std::string list;
    std::string image;
    std::string table;
    /// --ajustar: ranges fitted to the curves, except those given by their own options.
    bool fitRanges = false;
    std::array<bool, PlotEditBoxCount> givenBoxes{};
    int width = 680;
    int height = 442;
    DocumentSelection document;
    /// --em: the frequency (rad/s, or Hz with --hz) at which every curve's values are printed.
    std::optional<double> at;
};

int parseExtent(std::string_view option, std::string_view text) {
    int value = 0;
    bool valid = !text.empty() && text.size() <= 5;
    for (const char c : text) {
        valid = valid && c >= '0' && c <= '9';
        if (valid) value = value * 10 + (c - '0');
    }
    if (!valid || value < 1 || value > MaxImageExtent) {
        throw UsageError("a opção " + std::string(option) + " pede um número de 1 a " +
                         std::to_string(MaxImageExtent) + ": " + std::string(text));
    }
    return value;
}

// The value of an option that stands for an edit box, refused here when "Plotar" could
// not take it, so a mistyped option never draws a plot of something else.
std::string checkedEditValue(const PlotEditBoxRow& box, std::string_view text) {
    if (box.parameter) {
        if (!parseDecimalNumber(text)) {
            throw UsageError("a opção " + std::string(box.option) +
                             " pede um número finito (. ou , decimal): " + std::string(text));
        }
    } else {
        const std::optional<long long> segments = parseWholeNumber(text);
        if (!segments || *segments < 1 || *segments > MaxSegments) {
            throw UsageError("a opção " + std::string(box.option) + " pede um número inteiro de 1 a " +
                             std::to_string(MaxSegments) + ": " + std::string(text));
        }
    }
    return std::string(text);
}

PlotCommand parsePlot(const std::vector<std::string_view>& list) {
    PlotCommand command;
    Arguments args(list, "só uma lista por vez: ", "falta a LISTA");
    while (args.next()) {
        const std::string_view arg = args.current();
        const auto edit = std::find_if(PlotEditBoxes.begin(), PlotEditBoxes.end(),
                                       [&](const PlotEditBoxRow& box) { return box.option == arg; });
        const auto hide = std::find_if(PlotQuantities.begin(), PlotQuantities.end(),
                                       [&](const PlotQuantityRow& q) {
                                           return q.checkBox && q.checkBox->hideOption == arg;
                                       });
        if (edit != PlotEditBoxes.end()) {
            command.options.editText(edit->box) = checkedEditValue(*edit, args.value());
            command.givenBoxes[static_cast<std::size_t>(edit->box)] = true;
        } else if (hide != PlotQuantities.end()) {
            command.options.shown[static_cast<std::size_t>(hide->quantity)] = false;
        } else if (arg == "--hz") {
            command.options.hz = true;
        } else if (arg == "--linear") {
            command.options.logarithmic = false;
        } else if (arg == "--sem-grade") {
            command.options.grid = false;
        } else if (arg == "--legenda" || arg == "--sem-legenda") {
            command.options.legend = arg == "--legenda";
        } else if (arg == "--cores-por-curva") {
            command.options.coloursPerCurve = true;
        } else if (arg == "--ajustar") {
            command.fitRanges = true;
        } else if (arg == "--fase-continua") {
            command.options.continuousPhase = true;
        } else if (arg == "--imagem") {
            command.image = args.value();
#if defined(CORVANE_IMAGE_EXPORT) || defined(CORVANE_IMAGE_PROGRAM)
            if (!render::imageFormatOf(command.image)) {
                throw UsageError("a imagem deve terminar em .png ou .svg: " + command.image);
            }
#else
            throw UsageError("esta compilação não grava imagens (sem Qt)");
#endif
        } else if (arg == "--largura") {
            command.width = parseExtent(arg, args.value());
        } else if (arg == "--altura") {
            command.height = parseExtent(arg, args.value());
        } else if (arg == "--tabela") {
            command.table = args.value();
        } else if (arg == "--em") {
            const std::string_view text = args.value();
            command.at = parseFrequency(text);
            if (!command.at) {
                throw UsageError("a opção --em pede uma frequência (número com . ou , e "
                                 "sufixo opcional, como 1k ou 2.5MEG): " +
                                 std::string(text));
            }
        } else if (!takeDocumentOption(args, command.document)) {
            args.takePositional(command.list);
        }
    }
    requireListOrDocument(args, command.document);
    return command;
}

// Paints as the plot window would: on the image when one is asked for, else on nothing,
// which still fills the response table.
bool paintPlot(const PlotCommand& command, Plotter& plotter, PlotCheckBoxes& boxes,
               std::FILE* err) {
    if (command.image.empty()) {
        NullCanvas canvas;
        plotter.paint(canvas, command.width, command.height, boxes);
        return true;
    }
#ifdef CORVANE_IMAGE_EXPORT
    if (render::savePlotImage(plotter, boxes, command.image, command.width, command.height) ==
        render::ImageSaveStatus::Saved) {
        return true;
    }
#endif
    std::fprintf(err, "corvane-cli: não foi possível gravar a imagem %s\n", command.image.c_str());
    return false;
}

// "Ajustar" of the plot list window: the fitted ranges go into the options the window
// reads, save those the user gave, and are listed so they can be given again by hand.
bool applyFittedRanges(const PlotCommand& command, Plotter& plotter, const PlotListHost& window,
                   const PlotCheckBoxes& boxes, PlotOptions& options, std::FILE* out) {
    const auto fitted = plotter.fittedRanges(window, boxes);
    if (!fitted) return false;
    const std::array<std::string, PlotEditBoxCount> texts =
        keepGivenLimits(*fitted, options.editTexts, command.givenBoxes, boxes.logarithmic());
    std::string line = "Faixas ajustadas:";
    for (std::size_t i = 0; i < PlotEditBoxCount; ++i) {
        if (!PlotEditBoxes[i].parameter) continue;
        options.editTexts[i] = texts[i];
        line += std::string(" ") + PlotEditBoxes[i].option + " " + options.editTexts[i];
    }
    std::fprintf(out, "%s\n", line.c_str());
    return true;
}

int runPlot(const PlotCommand& command, std::FILE* out, std::FILE* err) {
    const std::optional<std::string> listText = listWithDocument(command.list, command.document, err);
    if (!listText) return ExitFailure;
    if (!outputsSpareInputs({{"--imagem", command.image}, {"--tabela", command.table}},
                            command.list, *listText, err)) {
        return ExitFailure;
    }
    AnalysisLog log([out](std::string_view line) {
        std::fwrite(line.data(), 1, line.size(), out);
        std::fputc('\n', out);
    });
    Plotter plotter(log);
    PlotOptions options = command.options;
    ConsolePlotList window(options, *listText);
    ConsoleCheckBoxes boxes(options);
    if (command.fitRanges && !applyFittedRanges(command, plotter, window, boxes, options, out)) {
        std::fflush(out);
        return ExitFailure;
    }
    const bool ready = plotter.plot(window);
    std::fflush(out);
    if (!ready) return ExitFailure;
    try {
        if (!paintPlot(command, plotter, boxes, err)) return ExitFailure;
    } catch (const FloatingPointFault& fault) {
        std::fprintf(err, "%s\n", fault.what());
        return ExitFloatingPointFault;
    }
    if (!command.table.empty() && !writeResponseTable(plotter, command.table)) {
        std::fprintf(err, "corvane-cli: não foi possível gravar a tabela %s\n",
                     command.table.c_str());
        return ExitFailure;
    }
    bool everyValue = true;
    if (command.at) {
        for (int k = 1; k <= plotter.curveCount(); ++k) {
            const std::string line = valueAtLine(k, plotter.curves()[static_cast<std::size_t>(k)],
                                                 *command.at, options.hz);
            everyValue = everyValue && line.find("não pode ser calculada") == std::string::npos;
            std::fprintf(out, "%s\n", line.c_str());
        }
    }
    // A curve with no point at all is missing from the result, as in tempo.
    return plotter.curveOmitted() || !everyValue ? ExitFailure : ExitSuccess;
}

// A write that failed (a full disk, a closed pipe) lost part of the results or of the
// messages, so the command cannot have succeeded. The error indicators of both streams
// keep the first failure of any earlier write; flushing reveals the buffered ones.
int checkOutputs(int status, std::FILE* out, std::FILE* err) {
    const bool outputLost = std::fflush(out) != 0 || std::ferror(out) != 0;
    if (outputLost) std::fputs("corvane-cli: a saída padrão não pôde ser toda escrita\n", err);
    const bool errorsLost = std::fflush(err) != 0 || std::ferror(err) != 0;
    return outputLost || errorsLost ? ExitFailure : status;
}

int runCommand(int argc, const char* const* argv, std::FILE* out, std::FILE* err);

#ifdef CORVANE_IMAGE_PROGRAM
// The image is drawn by the companion program, which takes the same command line.
int runInImageProgram(std::string_view command, const std::vector<std::string_view>& args,
                      const std::string& image, std::FILE* out, std::FILE* err) {
    const std::string program = findImageProgram(CORVANE_IMAGE_PROGRAM);
    if (program.empty()) {
        std::fprintf(err, "corvane-cli: não foi possível gravar a imagem %s: falta o programa %s\n",
                     image.c_str(), ImageProgramName);
        return ExitFailure;
    }
    std::vector<std::string_view> programArgs{command};
    programArgs.insert(programArgs.end(), args.begin(), args.end());
    const int status = runImageProgram(program, programArgs, out, err);
    return status < 0 ? ExitFailure : status;
}
#endif

int runPlotCommand(const std::vector<std::string_view>& args, std::FILE* out, std::FILE* err) {
    const PlotCommand command = parsePlot(args);
#ifdef CORVANE_IMAGE_PROGRAM
    if (!command.image.empty()) return runInImageProgram("plotar", args, command.image, out, err);
#endif
    return runPlot(command, out, err);
}

TimeOptions parseTime(const std::vector<std::string_view>& list);

// As plotar: the picture is drawn by the companion program, with the same command line.
int runTimeCommand(const std::vector<std::string_view>& args, std::FILE* out, std::FILE* err) {
    const TimeOptions options = parseTime(args);
#ifdef CORVANE_IMAGE_PROGRAM
    if (!options.image.empty()) return runInImageProgram("tempo", args, options.image, out, err);
#endif
    return runTimeResponses(options, out, err);
}

// A number of seconds, all of the text.
double parseSeconds(std::string_view option, std::string_view text) {
    const std::string copy(text);
    char* end = nullptr;
    const double value = std::strtod(copy.c_str(), &end);
    if (copy.empty() || end != copy.c_str() + copy.size() || !std::isfinite(value) || value < 0) {
        throw UsageError("a opção " + std::string(option) + " pede um tempo em segundos: " + copy);
    }
    return value;
}

int parsePoints(std::string_view text) {
    int value = 0;
    bool valid = !text.empty() && text.size() <= 7;
    for (const char c : text) {
        valid = valid && c >= '0' && c <= '9';
        if (valid) value = value * 10 + (c - '0');
    }
    if (!valid || value < 2 || value > 1000000) {
        throw UsageError("a opção --pontos pede um número de 2 a 1000000: " + std::string(text));
    }
    return value;
}

// A percentage strictly between 0 and 100, read whole.
double parseSettlingPercent(std::string_view text) {
    const std::string copy(text);
    char* end = nullptr;
    const double value = std::strtod(copy.c_str(), &end);
    if (copy.empty() || end != copy.c_str() + copy.size() || !(value > 0.0 && value < 100.0)) {
        throw UsageError("a opção --acomodacao pede uma porcentagem entre 0 e 100: " + copy);
    }
    return value;
}

TimeOptions parseTime(const std::vector<std::string_view>& list) {
    TimeOptions options;
    std::optional<double> settlingBand;
    Arguments args(list, "só uma lista por vez: ", "falta a LISTA");
    while (args.next()) {
        const std::string_view arg = args.current();
        if (arg == "--tmin") {
            options.tmin = parseSeconds(arg, args.value());
        } else if (arg == "--tmax") {
            options.tmax = parseSeconds(arg, args.value());
        } else if (arg == "--pontos") {
            options.points = parsePoints(args.value());
        } else if (arg == "--tabela") {
            options.table = args.value();
        } else if (arg == "--medidas") {
            options.measures = true;
        } else if (arg == "--acomodacao") {
            settlingBand = parseSettlingPercent(args.value()) / 100.0;
        } else if (takeDocumentOption(args, options.document)) {
        } else if (arg == "--imagem") {
            options.image = args.value();
#if defined(CORVANE_IMAGE_EXPORT) || defined(CORVANE_IMAGE_PROGRAM)
            if (!render::imageFormatOf(options.image)) {
                throw UsageError("a imagem deve terminar em .png ou .svg: " + options.image);
            }
#else
            throw UsageError("esta compilação não grava imagens (sem Qt)");
#endif
        } else {
            args.takePositional(options.list);
        }
    }
    requireListOrDocument(args, options.document);
    if (settlingBand) {
        if (!options.measures) throw UsageError("a opção --acomodacao pede --medidas");
        options.settlingBand = *settlingBand;
    }
    return options;
}

}  // namespace

int runCommandLine(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
    return checkOutputs(runCommand(argc, argv, out, err), out, err);
}

namespace {

int runCommand(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
    useCNumericLocale();
    // Before any GMP object exists (the roots use GMP too): allocations that fail in FLINT
    // or GMP throw instead of aborting.
    symbolic::fenceFlintAborts();
    std::vector<std::string_view> args(argv + 1, argv + argc);
    try {
        if (args.empty()) throw UsageError("falta o comando");
        if (args[0] == "-h" || args[0] == "--help") {
            std::fputs(Usage, out);
            return ExitSuccess;
        }
        if (args[0] == "--version") {
            std::fprintf(out, "corvane %s\n%s", ProgramVersion, LicenceNotice);
            return ExitSuccess;
        }
        const std::string_view command = args[0];
        args.erase(args.begin());
        for (const std::string_view arg : args) {
            if (arg == "-h" || arg == "--help") {
                std::fputs(Usage, out);
                return ExitSuccess;
            }
        }
        if (command == "analisar") return runAnalyze(parseAnalyze(args), out, err);
        if (command == "plotar") return runPlotCommand(args, out, err);
        if (command == "tempo") return runTimeCommand(args, out, err);
        throw UsageError("comando desconhecido: " + std::string(command));
    } catch (const UsageError& error) {
        std::fprintf(err, "corvane-cli: %s\n%s", error.message().c_str(), Usage);
        return ExitUsage;
    } catch (const std::exception& error) {
        // Whatever failed (memory, a library), the command ends with a message, never
        // with an abort.
        std::fprintf(err, "corvane-cli: erro inesperado: %s\n", error.what());
        return ExitFailure;
    } catch (...) {
        std::fprintf(err, "corvane-cli: erro inesperado\n");
        return ExitFailure;
    }
}

}  // namespace

}  // namespace corvane::cli
