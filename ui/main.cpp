// Corvane: exact Laplace-domain analysis of linear circuits, with its five windows.
#include "program.h"

int main(int argc, char** argv) {
    return corvane::ui::runProgram(argc, argv);
}
