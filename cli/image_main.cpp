// corvane-imagem: corvane-cli's commands with the image export, run by corvane-cli when
// --imagem is given (the Qt painter stays out of corvane-cli itself).
#include <cstdio>

#include "command_line.h"
#include "commands.h"

int main(int argc, char** argv) {
    if (argc < 2 || corvane::cli::findCommand(argv[1]) == nullptr) {
        std::fputs("corvane-imagem: uso interno do corvane-cli --imagem\n", stderr);
        return corvane::cli::ExitUsage;
    }
    return corvane::cli::runCommandLine(argc, argv, stdout, stderr);
}
