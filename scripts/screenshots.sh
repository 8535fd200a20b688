#!/usr/bin/env bash
# Takes the pictures of the windows that the README shows (docs/*.png): the program runs
# under a virtual X server, analyses examples/sallen_key.net, plots two of its result files
# and photographs its windows.
#
#   scripts/screenshots.sh
#
# Needs what scripts/setup.sh installs (xvfb and xauth among it).
set -euo pipefail

cd "$(dirname "$0")/.."
readonly ROOT=$PWD

cmake -S . -B build -DCORVANE_BUILD_TOOLS=ON > /dev/null
cmake --build build -j 2 --target corvane-screenshots

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp examples/sallen_key.net "$work/"
mkdir -p docs

# A relative netlist path keeps the temporary folder out of the pictures.
(
    cd "$work"
    env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1280x800x24" \
        "$ROOT/build/ui/corvane-screenshots" "$ROOT/docs" sallen_key.net
)
ls -l docs/*.png
