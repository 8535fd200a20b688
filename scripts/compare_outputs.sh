#!/usr/bin/env bash
# Runs two builds of corvane-cli on every example and test circuit under several option sets
# and lists every log, result file and JSON document that differs between them. Used to
# show that a change keeps the outputs byte for byte, and to name the cases it changes.
#
#   scripts/compare_outputs.sh OLD_CLI NEW_CLI
#
# Exit status 0 when everything is identical, 1 when something differs (listed).
set -uo pipefail

if [ $# -ne 2 ]; then
    echo "Uso: $0 CORVANE_CLI_ANTIGO CORVANE_CLI_NOVO" >&2
    exit 2
fi
old=$(realpath "$1")
new=$(realpath "$2")
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

option_sets=(
    ""
    "--nao-normalizar"
    "--polos-zeros --json r.json"
    "--dispersao 1e15 --variaveis todas"
    "--listar-detalhes --listar-estampas --variaveis todas"
)

differences=0
for netlist in "$root"/examples/*.net "$root"/tests/data/*.net; do
    name=$(basename "$netlist" .net)
    for i in "${!option_sets[@]}"; do
        for side in old new; do
            dir="$work/$side/$name-$i"
            mkdir -p "$dir"
            cp "$netlist" "$dir/"
            program=$old
            [ "$side" = new ] && program=$new
            # shellcheck disable=SC2086
            (cd "$dir" && "$program" analisar ${option_sets[$i]} "$name.net" > log.txt 2>&1
             echo "status $?" >> log.txt)
        done
        if ! diff -r -q "$work/old/$name-$i" "$work/new/$name-$i" > /dev/null; then
            echo "difere: $name [${option_sets[$i]:-padrão}]"
            diff -r "$work/old/$name-$i" "$work/new/$name-$i" | head -n 20 | sed 's/^/    /'
            differences=1
        fi
    done
done
[ "$differences" -eq 0 ] && echo "Nenhuma diferença."
exit "$differences"
