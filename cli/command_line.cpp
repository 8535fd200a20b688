#include "command_line.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis.h"
#include "analysis_log.h"
#include "c_locale.h"
#include "console_host.h"
#include "floating_point.h"
#include "plot_console.h"
#include "plotter.h"
#ifdef CORVANE_IMAGE_EXPORT
#include "plot_image.h"
#endif

namespace corvane::cli {

namespace {

constexpr const char* Usage =
    "Uso: corvane-cli analisar [opções] NETLIST\n"
    "     corvane-cli plotar [opções] LISTA\n"
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
    "  --memoria-cache MIB   memória para os menores memorizados (padrão 2048); quando o\n"
    "                        log avisa que ela se esgotou, dê mais (por exemplo 4096)\n"
    "                        para que a análise não demore muito\n"
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
    "  --imagem ARQUIVO      grava o gráfico em ARQUIVO.png ou ARQUIVO.svg\n"
    "  --largura N           largura do gráfico em pixels (padrão 680)\n"
    "  --altura N            altura do gráfico em pixels (padrão 442)\n"
    "  --tabela ARQUIVO      grava ganho, fase e atraso de cada ponto em CSV\n"
    "\n"
    "  -h, --help            mostra esta ajuda\n"
    "\n"
    "Saída: 0 sucesso; 1 a análise ou o plotar parou numa falha do log, ou um arquivo\n"
    "não pôde ser lido ou gravado; 2 erro de uso; 3 erro de ponto flutuante;\n"
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
    AnalysisOptions options;
    EngineOptions engine;
    std::string netlist;
};

// A whole number of mebibytes, digits only.
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
    return std::min(value, limit) << 20;
}

AnalyzeCommand parseAnalyze(const std::vector<std::string_view>& list) {
    AnalyzeCommand command;
    Arguments args(list, "só um netlist por vez: ", "falta o NETLIST");
    while (args.next()) {
        const std::string_view arg = args.current();
        if (arg == "--listar-estampas") {
            command.options.listStamps = true;
        } else if (arg == "--nao-normalizar") {
            command.options.normalize = false;
        } else if (arg == "--listar-detalhes") {
            command.options.listDetails = true;
        } else if (arg == "--dispersao") {
            command.options.dispersionText = args.value();
        } else if (arg == "--variaveis") {
            command.options.selection = splitList(args.value());
        } else if (arg == "--expansao-simples") {
            command.engine.method = ExpansionMethod::Plain;
        } else if (arg == "--memoria-cache") {
            command.engine.cacheLimitBytes = parseMebibytes(args.value());
        } else {
            args.takePositional(command.netlist);
        }
    }
    args.requirePositional();
    return command;
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
    const InterruptCatcher interrupts;
    try {
        const RunOutcome outcome = analysis.runAnalysis(command.netlist);
        std::fflush(out);
        if (outcome == RunOutcome::Cancelled) return ExitInterrupted;
        return outcome == RunOutcome::Succeeded ? ExitSuccess : ExitFailure;
    } catch (const FloatingPointFault& fault) {
        std::fflush(out);
        std::fprintf(err, "%s\n", fault.what());
        return ExitFloatingPointFault;
    }
}

// The largest drawing surface accepted, in either direction.
constexpr int MaxImageExtent = 16384;

struct PlotCommand {
    PlotOptions options;
    std::string list;
    std::string image;
    std::string table;
    int width = 680;
    int height = 442;
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

PlotCommand parsePlot(const std::vector<std::string_view>& list) {
    const std::vector<std::pair<std::string_view, PlotEditBox>> editOptions{
        {"--wmin", PlotEditBox::Ewmin},          {"--wmax", PlotEditBox::Ewmax},
        {"--gmin", PlotEditBox::Egmin},          {"--gmax", PlotEditBox::Egmax},
        {"--fmin", PlotEditBox::Efmin},          {"--fmax", PlotEditBox::Efmax},
        {"--amin", PlotEditBox::Eamin},          {"--amax", PlotEditBox::Eamax},
        {"--segmentos", PlotEditBox::Esegmentos}};
    PlotCommand command;
    Arguments args(list, "só uma lista por vez: ", "falta a LISTA");
    while (args.next()) {
        const std::string_view arg = args.current();
        const auto edit = std::find_if(editOptions.begin(), editOptions.end(),
                                       [&](const auto& option) { return option.first == arg; });
        if (edit != editOptions.end()) {
            command.options.editText(edit->second) = args.value();
        } else if (arg == "--hz") {
            command.options.hz = true;
        } else if (arg == "--linear") {
            command.options.logarithmic = false;
        } else if (arg == "--sem-grade") {
            command.options.grid = false;
        } else if (arg == "--sem-fase") {
            command.options.phase = false;
        } else if (arg == "--sem-atraso") {
            command.options.groupDelay = false;
        } else if (arg == "--imagem") {
            command.image = args.value();
#ifdef CORVANE_IMAGE_EXPORT
            if (!ui::imageFormatOf(command.image)) {
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
        } else {
            args.takePositional(command.list);
        }
    }
    args.requirePositional();
    return command;
}

std::optional<std::string> readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return text;
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
    if (ui::savePlotImage(plotter, boxes, command.image, command.width, command.height) ==
        ui::ImageSaveStatus::Saved) {
        return true;
    }
#endif
    std::fprintf(err, "corvane-cli: não foi possível gravar a imagem %s\n", command.image.c_str());
    return false;
}

int runPlot(const PlotCommand& command, std::FILE* out, std::FILE* err) {
    const std::optional<std::string> list = readWholeFile(command.list);
    if (!list) {
        std::fprintf(err, "corvane-cli: não foi possível ler a lista %s\n", command.list.c_str());
        return ExitFailure;
    }
    AnalysisLog log([out](std::string_view line) {
        std::fwrite(line.data(), 1, line.size(), out);
        std::fputc('\n', out);
    });
    Plotter plotter(log);
    ConsolePlotList window(command.options, *list);
    ConsoleCheckBoxes boxes(command.options);
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
    return ExitSuccess;
}

}  // namespace

int runCommandLine(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
    useCNumericLocale();
    std::vector<std::string_view> args(argv + 1, argv + argc);
    try {
        if (args.empty()) throw UsageError("falta o comando");
        if (args[0] == "-h" || args[0] == "--help") {
            std::fputs(Usage, out);
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
        if (command == "plotar") return runPlot(parsePlot(args), out, err);
        throw UsageError("comando desconhecido: " + std::string(command));
    } catch (const UsageError& error) {
        std::fprintf(err, "corvane-cli: %s\n%s", error.message().c_str(), Usage);
        return ExitUsage;
    }
}

}  // namespace corvane::cli
