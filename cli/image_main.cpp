// corvane-imagem: corvane-cli plotar, tempo and polos with the image export, run by
// corvane-cli when --imagem is given (the Qt painter stays out of corvane-cli itself).
#include <cstdio>
#include <cstring>

#include "command_line.h"

int main(int argc, char** argv) {
    if (argc < 2 || (std::strcmp(argv[1], "plotar") != 0 && std::strcmp(argv[1], "tempo") != 0 &&
                      std::strcmp(argv[1], "polos") != 0)) {
        std::fputs("corvane-imagem: uso interno do corvane-cli plotar, tempo e polos --imagem\n",
                   stderr);
        return corvane::cli::ExitUsage;
    }
    return corvane::cli::runCommandLine(argc, argv, stdout, stderr);
}
