#!/usr/bin/env bash
# Runs two builds of corvane-cli on every example and test circuit under several option sets
# and lists every log, result file and JSON document that differs between them; then runs
# plotar and tempo of both builds on the results of a few circuits and compares what they
# print, their CSV tables and their PNG and SVG images. Used to show that a change keeps
# the outputs byte for byte, and to name the cases it changes.
#
#   scripts/compare_outputs.sh OLD_CLI NEW_CLI
#
# Exit status 0 when everything is identical, 1 when something differs (listed).
set -uo pipefail
# Builds older than the single-job root finder let MPSolve refine on every core, and the
# last bits of their roots changed from run to run; one job makes them repeatable.
export MPS_JOBS=1

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
             echo "status $?" >> log.txt
             # The wall-clock line may cross a second boundary in one run and not the other.
             sed -i 's/^Tempo usado: [0-9]* s$/Tempo usado: N s/' log.txt)
        done
        if ! diff -r -q "$work/old/$name-$i" "$work/new/$name-$i" > /dev/null; then
            echo "difere: $name [${option_sets[$i]:-padrão}]"
            diff -r "$work/old/$name-$i" "$work/new/$name-$i" | head -n 20 | sed 's/^/    /'
            differences=1
        fi
    done
done
# plotar and tempo read a list of result files (the first three variables of each circuit)
# and its JSON document, made once by the old build, so that only the commands under test
# can differ.
plot_circuits=(examples/sallen_key examples/rc examples/butterworth5_degrau
               tests/data/rlc_series tests/data/integrator tests/data/positive_feedback)
plot_sets=(
    ""
    "--tabela t.csv --em 1"
    "--ajustar --hz --imagem g.png"
    "--imagem g.svg --fase-continua --cores-por-curva --linear"
    "--json r.json --variaveis 1,2 --tabela t.csv --sem-fase"
)
time_sets=(
    ""
    "--tabela t.csv --medidas"
    "--imagem t.png --tmax 5"
    "--imagem t.svg --pontos 200 --medidas --acomodacao 5"
    "--json r.json --tabela t.csv"
    "--tmax 2000 --tabela t.csv --imagem t.png"
)

for circuit in "${plot_circuits[@]}"; do
    name=$(basename "$circuit")
    source="$work/source/$name"
    mkdir -p "$source"
    cp "$root/$circuit.net" "$source/"
    (cd "$source" && "$old" analisar --json r.json "$name.net" > /dev/null 2>&1
     for k in 1 2 3; do
         [ -f "$name.n$k" ] && printf '%s\n%s\n' "$name.n$k" "$name.d"
     done > lista.txt)
    for command in plotar tempo; do
        if [ "$command" = plotar ]; then sets=("${plot_sets[@]}"); else sets=("${time_sets[@]}"); fi
        for i in "${!sets[@]}"; do
            for side in old new; do
                dir="$work/$command/$side/$name-$i"
                mkdir -p "$dir"
                cp -r "$source"/. "$dir/"
                program=$old
                [ "$side" = new ] && program=$new
                # shellcheck disable=SC2086
                (cd "$dir" && "$program" "$command" ${sets[$i]} lista.txt > saida.txt 2> erros.txt
                 echo "status $?" >> saida.txt)
            done
            if ! diff -r -q "$work/$command/old/$name-$i" "$work/$command/new/$name-$i" > /dev/null; then
                echo "difere: $command $name [${sets[$i]:-padrão}]"
                diff -r "$work/$command/old/$name-$i" "$work/$command/new/$name-$i" | head -n 20 |
                    sed 's/^/    /'
                differences=1
            fi
        done
    done
done

[ "$differences" -eq 0 ] && echo "Nenhuma diferença."
exit "$differences"
