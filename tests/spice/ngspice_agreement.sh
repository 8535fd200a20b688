#!/usr/bin/env bash
# Compares the transfer functions corvane-cli computes from SPICE netlists with ngspice's
# .ac analysis of the very same files, an independent simulator: H(jω) of node "out" at
# every frequency ngspice lists must agree within 1e-8 of |H| (plus 1e-12 of the largest
# |H| of the sweep, for the depth of a notch). The op-amps are Corvane's ideal op-amp
# (through the *corvane amp-op directive) and a voltage gain of 1e9 or 1e12 in ngspice, which
# reads the subcircuit the directive replaces.
#
#   tests/spice/ngspice_agreement.sh CORVANE_CLI NETLIST_FOLDER
#
# Exit status 0 when every netlist agrees, 1 otherwise (the differences are listed), 77
# when ngspice is not installed (the test is then skipped).
set -uo pipefail

cli=$(realpath "$1")
data=$(realpath "$2")
command -v ngspice > /dev/null || { echo "ngspice não encontrado" >&2; exit 77; }
command -v python3 > /dev/null || { echo "python3 não encontrado" >&2; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$data/." "$work/"

failures=0
count=0
for netlist in "$work"/*.cir; do
    name=$(basename "$netlist" .cir)
    count=$((count + 1))
    if ! "$cli" analisar --json "$work/$name.json" "$netlist" > "$work/$name.log" 2>&1; then
        echo "$name: corvane-cli falhou"; tail -3 "$work/$name.log"; failures=1; continue
    fi
    # The same file with the commands that make ngspice write v(out) with every digit.
    sed '/^\.end[[:space:]]*$/Id' "$netlist" > "$work/$name.ngspice.cir"
    cat >> "$work/$name.ngspice.cir" <<SPICE
.control
set wr_singlescale
option numdgt=15
run
wrdata $work/$name.ngspice.txt v(out)
.endc
.end
SPICE
    (cd "$work" && ngspice -b "$name.ngspice.cir" > "$work/$name.ngspice.log" 2>&1)
    if [ ! -s "$work/$name.ngspice.txt" ]; then
        echo "$name: ngspice não escreveu v(out)"; tail -5 "$work/$name.ngspice.log"; failures=1; continue
    fi
    if python3 - "$work/$name.json" "$work/$name.ngspice.txt" <<'PYTHON'
import json, math, sys

document = json.load(open(sys.argv[1]))
out = [v for v in document["variaveis"] if v["nome"] == "out"][0]["numerador"]
den = document["denominador"]

def value(polynomial, s):
    total = 0j
    for k, c in enumerate(polynomial["coeficientes"]):
        total += c * s ** k
    return polynomial["constante"] * total

rows = [list(map(float, line.split())) for line in open(sys.argv[2]) if line.strip()]
largest = max(abs(complex(r[1], r[2])) for r in rows)
worst = 0.0
for f, re, im in rows:
    s = 2j * math.pi * f
    ours = value(out, s) / value(den, s)
    theirs = complex(re, im)
    allowed = 1e-8 * abs(theirs) + 1e-12 * largest
    worst = max(worst, abs(ours - theirs) / allowed)
    if abs(ours - theirs) > allowed:
        print(f"  em {f:g} Hz: corvane {ours}, ngspice {theirs}")
        sys.exit(1)
print(f"  {len(rows)} frequências, pior diferença {worst:.3g} da tolerância")
PYTHON
    then
        echo "$name: ok"
    else
        echo "$name: difere do ngspice"; failures=1
    fi
done
[ "$count" -ge 8 ] || { echo "só $count netlists em $data"; failures=1; }
[ "$failures" -eq 0 ] && echo "Todos os netlists concordam com o ngspice."
exit "$failures"
