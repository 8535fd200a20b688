#include "command_line.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "analysis.h"
#include "analysis_log.h"
#include "c_locale.h"
#include "console_host.h"
#include "floating_point.h"

namespace corvane::cli {

namespace {

constexpr const char* Usage =
    "Uso: corvane-cli analisar [opções] NETLIST\n"
    "\n"
    "Analisa o circuito do NETLIST e grava os resultados ao lado dele.\n"
    "\n"
    "Opções:\n"
    "  --listar-estampas     lista o sistema após a estampa de cada elemento\n"
    "  --nao-normalizar      não normaliza os polinômios\n"
    "  --listar-detalhes     lista as multiplicações e cada arquivo salvo\n"
    "  --dispersao TEXTO     dispersão de coeficientes (padrão 1e9)\n"
    "  --variaveis LISTA     variáveis a listar: números ou nomes separados por\n"
    "                        vírgulas, ou todas\n"
    "  --expansao-simples    calcula os determinantes pela expansão simples, sem\n"
    "                        memorizar menores (referência; lenta em circuitos grandes)\n"
    "  --memoria-cache MIB   memória para os menores memorizados (padrão 2048)\n"
    "  -h, --help            mostra esta ajuda\n"
    "\n"
    "Saída: 0 análise terminada com sucesso; 1 a análise parou numa falha do log;\n"
    "2 erro de uso; 3 erro de ponto flutuante.\n";

class UsageError {
public:
    explicit UsageError(std::string message) : message_(std::move(message)) {}
    const std::string& message() const { return message_; }

private:
    std::string message_;
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

AnalyzeCommand parseAnalyze(const std::vector<std::string_view>& args) {
    AnalyzeCommand command;
    bool haveNetlist = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        auto value = [&]() -> std::string_view {
            if (i + 1 >= args.size()) {
                throw UsageError("a opção " + std::string(arg) + " precisa de um valor");
            }
            return args[++i];
        };
        if (arg == "--listar-estampas") {
            command.options.listStamps = true;
        } else if (arg == "--nao-normalizar") {
            command.options.normalize = false;
        } else if (arg == "--listar-detalhes") {
            command.options.listDetails = true;
        } else if (arg == "--dispersao") {
            command.options.dispersionText = value();
        } else if (arg == "--variaveis") {
            command.options.selection = splitList(value());
        } else if (arg == "--expansao-simples") {
            command.engine.method = ExpansionMethod::Plain;
        } else if (arg == "--memoria-cache") {
            command.engine.cacheLimitBytes = parseMebibytes(value());
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError("opção desconhecida: " + std::string(arg));
        } else if (haveNetlist) {
            throw UsageError("só um netlist por vez: " + std::string(arg));
        } else {
            command.netlist = arg;
            haveNetlist = true;
        }
    }
    if (!haveNetlist) throw UsageError("falta o NETLIST");
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
    try {
        const RunOutcome outcome = analysis.runAnalysis(command.netlist);
        std::fflush(out);
        return outcome == RunOutcome::Succeeded ? ExitSuccess : ExitFailure;
    } catch (const FloatingPointFault& fault) {
        std::fflush(out);
        std::fprintf(err, "%s\n", fault.what());
        return ExitFloatingPointFault;
    }
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
        throw UsageError("comando desconhecido: " + std::string(command));
    } catch (const UsageError& error) {
        std::fprintf(err, "corvane-cli: %s\n%s", error.message().c_str(), Usage);
        return ExitUsage;
    }
}

}  // namespace corvane::cli
