#include "memory_size.h"
#include "program.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>

#include "c_locale.h"
#include "corvane_version.h"
#include "gmp_fence.h"
#include "mebibytes.h"
#include "standard_steps.h"

// The resources sit in a static library, whose object no symbol would pull into the
// program without this reference.
static void loadProgramResources() {
    Q_INIT_RESOURCE(corvane);
}

namespace corvane::ui {

namespace {

bool isSet(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && *value != '\0';
}

// The toolkit aborts the process when it finds no display; say why instead.
bool displayAvailable(int argc, char** argv) {
    if (isSet("QT_QPA_PLATFORM") || isSet("DISPLAY") || isSet("WAYLAND_DISPLAY")) return true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0) return true;
    }
    return false;
}

constexpr const char* NoDisplayMessage =
    "corvane: nenhuma tela gráfica disponível (DISPLAY e WAYLAND_DISPLAY vazios).\n"
    "As janelas precisam de uma sessão gráfica; sem ela, use corvane-cli "
    "analisar NETLIST.\n";

constexpr const char* Usage =
    "Uso: corvane [--help | --version]\n"
    "\n"
    "Abre as janelas do Corvane: análise exata de circuitos lineares na transformada de\n"
    "Laplace. Os netlists são abertos em Arquivo > Abrir; sem tela gráfica, use\n"
    "corvane-cli analisar NETLIST.\n"
    "\n"
    "  -h, --help            mostra esta ajuda\n"
    "  --version             mostra a versão\n";

// --help and --version answer without a display; every other argument goes to Qt, as
// before. Returns the exit status when the argument was answered.
std::optional<int> answerInformationRequest(int argc, char** argv) {
    if (argc != 2) return std::nullopt;
    const std::string_view argument = argv[1];
    if (argument == "-h" || argument == "--help") {
        std::fputs(Usage, stdout);
        return 0;
    }
    if (argument == "--version") {
        std::printf("corvane %s\n%s", ProgramVersion, LicenceNotice);
        return 0;
    }
    return std::nullopt;
}

// The most the environment variable may ask for: 1 TiB.
constexpr std::size_t LargestCacheMebibytes = std::size_t{1} << 20;

}  // namespace

Program::ApplicationSetup::ApplicationSetup() {
    QCoreApplication::setApplicationName(QStringLiteral("Corvane"));
    QApplication::setWindowIcon(programIcon());
    // The standard dialogs and message boxes speak Portuguese like the rest of the
    // program; without Qt's translation they stay in English.
    if (qtTranslations.load(QStringLiteral("qtbase_pt_BR"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&qtTranslations);
    }
    // Closing the main window is what ends the program (MainWindow::closeEvent), whatever
    // other windows are open.
    QGuiApplication::setQuitOnLastWindowClosed(false);
}

Program::Program() {
    addStandardListingSteps(analysis_);
}

// CORVANE_MEMORIA_CACHE, in MiB, is the windows' counterpart of --memoria-cache.
void Program::useMemoryForMinorsFromEnvironment() {
    const char* text = std::getenv("CORVANE_MEMORIA_CACHE");
    if (text == nullptr || *text == '\0') return;
    const std::optional<std::size_t> bytes = readMebibytes(text, LargestCacheMebibytes);
    if (!bytes) {
        log_.print(
            "Aviso: CORVANE_MEMORIA_CACHE deve ser um número inteiro de MiB, não \"%s\"; "
            "a memória para menores fica em %s.",
            text, formatMemorySize(DefaultCacheLimitBytes).c_str());
        return;
    }
    if (*bytes < SmallestCacheLimitBytes) {
        log_.print(
            "Aviso: CORVANE_MEMORIA_CACHE deve ser de pelo menos %s, não \"%s\"; a memória "
            "para menores fica em %s.",
            formatMemorySize(SmallestCacheLimitBytes).c_str(), text,
            formatMemorySize(DefaultCacheLimitBytes).c_str());
        return;
    }
    EngineOptions options;
    options.cacheLimitBytes = *bytes;
    analysis_.setEngineOptions(options);
}

void Program::quit() {
    host_.quit();
    QCoreApplication::exit(0);
}

QIcon programIcon() {
    loadProgramResources();
    // The installed theme's icon wins; the drawing built into the program stands in for
    // it when the program runs from the build tree.
    return QIcon::fromTheme(QStringLiteral("corvane"), QIcon(QStringLiteral(":/corvane.svg")));
}

int runProgram(int argc, char** argv, const StartHook& started) {
    if (const std::optional<int> status = answerInformationRequest(argc, argv)) return *status;
    if (!displayAvailable(argc, argv)) {
        std::fputs(NoDisplayMessage, stderr);
        return 1;
    }
    // Hardware floating-point traps stay off: the analysis and the plotter test the status
    // flags at their checkpoints and throw FloatingPointFault, which the error box shows.
    QApplication application(argc, argv);
    // The application object set the C locale from the environment; numbers in the log and
    // in the result files keep their "." under any locale.
    useCNumericLocale();
    // Before any GMP object exists: allocations that fail in the roots' GMP throw instead
    // of aborting (the exact module fences its FLINT and GMP when it is loaded).
    fenceGmpAborts();
    try {
        Program program;
        Windows windows(program);
        windows.start();
        if (started) started(program, windows);
        QApplication::exec();
    } catch (const std::exception& failure) {
        showCriticalBox(QStringLiteral("Corvane"), errorBoxText(failure.what()));
    } catch (...) {
        showCriticalBox(QStringLiteral("Corvane"), errorBoxText(ErrorBox::UnknownFailure));
    }
    return 0;
}

}  // namespace corvane::ui
