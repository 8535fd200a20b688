#include "command_line.h"

#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "c_locale.h"
#include "command_arguments.h"
#include "commands.h"
#include "corvane_version.h"
#include "floating_point.h"
#include "gmp_fence.h"

namespace corvane::cli {

namespace {

// A write that failed (a full disk, a closed pipe) lost part of the results or of the
// messages, so the command cannot have succeeded. The error indicators of both streams
// keep the first failure of any earlier write; flushing reveals the buffered ones.
int checkOutputs(int status, std::FILE* out, std::FILE* err) {
    const bool outputLost = std::fflush(out) != 0 || std::ferror(out) != 0;
    if (outputLost) std::fputs("corvane-cli: a saída padrão não pôde ser toda escrita\n", err);
    const bool errorsLost = std::fflush(err) != 0 || std::ferror(err) != 0;
    return outputLost || errorsLost ? ExitFailure : status;
}

bool asksForHelp(std::string_view arg) {
    return arg == "-h" || arg == "--help";
}

int runCommand(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
    useCNumericLocale();
    // Before any GMP object exists: allocations that fail in the roots' GMP throw instead
    // of aborting (the exact module fences its FLINT and GMP when it is loaded).
    fenceGmpAborts();
    std::vector<std::string_view> args(argv + 1, argv + argc);
    try {
        if (args.empty()) throw UsageError("falta o comando");
        if (asksForHelp(args[0])) {
            std::fputs(usageText().c_str(), out);
            return ExitSuccess;
        }
        if (args[0] == "--version") {
            std::fprintf(out, "corvane %s\n%s", ProgramVersion, LicenceNotice);
            return ExitSuccess;
        }
        const std::string_view name = args[0];
        args.erase(args.begin());
        for (const std::string_view arg : args) {
            if (asksForHelp(arg)) {
                std::fputs(usageText().c_str(), out);
                return ExitSuccess;
            }
        }
        const Command* command = findCommand(name);
        if (command == nullptr) throw UsageError("comando desconhecido: " + std::string(name));
        return command->run(args, out, err);
    } catch (const UsageError& error) {
        std::fprintf(err, "corvane-cli: %s\n%s", error.message().c_str(), usageText().c_str());
        return ExitUsage;
    } catch (const FloatingPointFault& fault) {
        // What the command printed comes first, the fault last.
        std::fflush(out);
        std::fprintf(err, "%s\n", fault.what());
        return ExitFloatingPointFault;
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

AnalysisLog::LineConsumer linesTo(std::FILE* out) {
    return [out](std::string_view line) {
        std::fwrite(line.data(), 1, line.size(), out);
        std::fputc('\n', out);
    };
}

int runCommandLine(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
    return checkOutputs(runCommand(argc, argv, out, err), out, err);
}

}  // namespace corvane::cli
