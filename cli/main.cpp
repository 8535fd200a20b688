#include <cstdio>

#include "command_line.h"

int main(int argc, char** argv) {
    return corvane::cli::runCommandLine(argc, argv, stdout, stderr);
}
