#!/usr/bin/env bash
# The worst cases of the memoised expansion, measured from outside: corvane-cli analysing
# random RC networks that join every node to every other (capacitors to ground as long as
# the 200 elements allow) and random sparse RC networks of a given number of non-zero
# entries, n = 10 to 20 nodes. Prints a Markdown table: wall time, peak resident memory and
# whether the memory for minors ran out. Each run is cut at LIMIT seconds (default 30).
#
#   bench/dense_table.sh [build folder] [largest n]     (default: build 20)
set -euo pipefail
cd "$(dirname "$0")/.."
cli="${1:-build}/cli/corvane-cli"
largest="${2:-20}"
limit="${LIMIT:-30}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Every pair of the n nodes joined by a resistor of random value, capacitors to ground as
# long as the 200 elements allow. Past 20 nodes the pairs alone pass the limit: then ten
# capacitors and as many pairs, chosen at random, as the limit leaves.
dense_rc() {
    awk -v n="$1" -v seed="$2" 'BEGIN {
        srand(seed); print "Malha RC densa de " n " nós"; print "I1 0 1 1 DEGRAU"
        pairs = n * (n - 1) / 2
        caps = 200 - 1 - pairs; if (caps > n) caps = n; if (caps < 0) caps = 10
        k = 0
        for (a = 1; a <= n; ++a) for (b = a + 1; b <= n; ++b) { ++k; A[k] = a; B[k] = b }
        resistors = pairs; if (resistors > 200 - 1 - caps) resistors = 200 - 1 - caps
        if (resistors < pairs) {
            for (i = k; i > 1; --i) {
                j = 1 + int(rand() * i); t = A[i]; A[i] = A[j]; A[j] = t; t = B[i]; B[i] = B[j]; B[j] = t
            }
        }
        for (a = 1; a <= caps; ++a) printf "C%d %d 0 %.3fe-6\n", a, a, 0.5 + rand()
        for (i = 1; i <= resistors; ++i) printf "R%d %d %d %.1f\n", i, A[i], B[i], 500 + 1000 * rand()
    }'
}

# A connected RC network (a chain, then random extra resistors) with about `nz` non-zero
# entries in its n × n system: n on the diagonal and two per resistor between two nodes.
sparse_rc() {
    awk -v n="$1" -v nz="$2" -v seed="$3" 'BEGIN {
        srand(seed); print "Rede RC esparsa de " n " nós"; print "I1 0 1 1 DEGRAU"
        count = n; r = 0
        for (a = 1; a <= n; ++a) printf "C%d %d 0 %.3fe-6\n", a, a, 0.5 + rand()
        for (a = 1; a < n; ++a) { printf "R%d %d %d %.1f\n", ++r, a, a + 1, 500 + 1000 * rand(); used[a, a + 1] = 1; count += 2 }
        while (count + 2 <= nz) {
            a = 1 + int(rand() * n); b = 1 + int(rand() * n)
            if (a == b) continue
            if (a > b) { t = a; a = b; b = t }
            if ((a, b) in used) continue
            used[a, b] = 1; printf "R%d %d %d %.1f\n", ++r, a, b, 500 + 1000 * rand(); count += 2
        }
    }'
}

# One network on standard output (seed 1), for the other benchmarks (bench/sympy_rc.py):
#   bench/dense_table.sh --rede densa N | --rede esparsa N NZ
if [ "${1:-}" = "--rede" ]; then
    case "${2:-}" in
        densa) dense_rc "$3" 1 ;;
        esparsa) sparse_rc "$3" "$4" 1 ;;
        *) echo "uso: $0 --rede densa N | --rede esparsa N NZ" >&2; exit 2 ;;
    esac
    exit 0
fi

if [ ! -x "$cli" ]; then
    echo "$0: $cli não existe ou não é executável; compile antes ou dê a pasta da compilação" >&2
    exit 2
fi
if ! [[ $largest =~ ^[0-9]+$ ]]; then
    echo "$0: o maior n deve ser um número inteiro, não '$largest'" >&2
    exit 2
fi

measure() {
    local name=$1 file="$work/$1.net"
    local start end status peak
    start=$(date +%s.%N)
    set +e
    /usr/bin/time -f "%M" -o "$work/time" timeout "$limit" "$cli" analisar "$file" >"$work/out" 2>/dev/null
    status=$?
    set -e
    end=$(date +%s.%N)
    peak=$(awk '/^[0-9]+$/ { printf "%.0f", $1 / 1024 }' "$work/time")
    local seconds
    seconds=$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.2f", e - s }')
    # A run that failed has no time to show: its exit status stands in the column instead.
    if [ "$status" = 124 ]; then
        seconds="> $limit"
    elif [ "$status" != 0 ]; then
        seconds="falhou (código $status)"
    fi
    local full="não"
    grep -q "Aviso: a memória para menores" "$work/out" && full="sim"
    echo "| $name | $2 | $(grep -c . "$file") | $seconds | ${peak:-?} | $full |"
}

echo "| circuito | nós | linhas | tempo (s) | pico (MiB) | memória esgotada |"
echo "|---|---:|---:|---:|---:|---|"
for n in $(seq 10 2 "$largest"); do
    dense_rc "$n" 1 >"$work/densa_$n.net"
    measure "densa_$n" "$n"
done
for nz in 100 125 150 175; do
    for n in 15 20 25; do
        [ "$n" -le "$largest" ] || [ "$n" = 25 ] || continue
        [ $((n + 2 * (n - 1))) -le "$nz" ] || continue
        sparse_rc "$n" "$nz" 1 >"$work/esparsa_${n}_$nz.net"
        measure "esparsa_${n}_$nz" "$n"
    done
done
