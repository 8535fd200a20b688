#!/bin/bash
# The table of bench/README.md for the exact engine: size against time and peak memory,
# SymPy's exact determinant of the same system where it finishes within CORVANE_LIMITE
# seconds (default 60), and FLINT's dense fmpz_poly_mat_det where it does.
#   bench/exact_table.sh [build folder, default build]
set -u
build=${1:-build}
program=$build/bench/bench_exact
limit=${CORVANE_LIMITE:-60}
if [ ! -x "$program" ]; then
    echo "$0: $program não existe ou não é executável; compile antes ou dê a pasta da compilação" >&2
    exit 2
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
echo "| carga | incógnitas | grau | primos | pontos por primo | produtos por ponto | segundos | pico MiB | SymPy (det) | fmpz_poly_mat_det |"
echo "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|"
for load in filtro_ativo_100 escada_rc_300 aleatorio_50 aleatorio_100 aleatorio_200 aleatorio_400 \
            aleatorio_longo_50 aleatorio_longo_100 aleatorio_longo_200; do
    status=0
    row=$(timeout "$limit" "$program" "$load" --sistema "$work/s" --denominador "$work/d") ||
        status=$?
    # A timeout is a result of the table; any other failure is not, and says so.
    case $status in
        0) ;;
        124) row="| $load | | | | | | > $limit | | | |" ;;
        *) row="| $load | | | | | | falhou (código $status) | | | |" ;;
    esac
    sympy=$(timeout "$limit" python3 "$(dirname "$0")/sympy_exact.py" "$work/s" "$work/d" 2>/dev/null) ||
        sympy="> $limit"
    flint=$(timeout "$limit" "$program" "$load" --flint-det 2>/dev/null | awk -F'|' '{print $5}') ||
        flint=""
    [ -n "$flint" ] || flint=" > $limit s"
    echo "$row $sympy |$flint |"
    rm -f "$work/s" "$work/d"
done
