#!/usr/bin/env bash
# corvane-cli links no Qt library, so analisar, --help and plotar without --imagem start
# without loading one; its companion corvane-imagem, which draws the images, does.
#
#   linked_libraries_test.sh CORVANE_CLI CORVANE_IMAGEM
set -euo pipefail

cli_libraries=$(ldd "$1")
if grep -i 'libQt' <<< "$cli_libraries"; then
    echo "corvane-cli links Qt libraries (above)"
    exit 1
fi
# The same check finds Qt where it is, so a change in ldd's output cannot pass unseen.
companion_libraries=$(ldd "$2")
if ! grep -q 'libQt6Gui' <<< "$companion_libraries"; then
    echo "corvane-imagem shows no Qt library in ldd; the check above proves nothing"
    exit 1
fi
echo "corvane-cli links $(wc -l <<< "$cli_libraries") libraries, none of Qt"
