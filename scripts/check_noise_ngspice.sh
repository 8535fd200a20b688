#!/usr/bin/env bash
# Compares corvane-cli ruido with ngspice .noise, an independent simulator, on a set of
# circuits: the output density at three frequencies and the input-referred density, which
# must agree to the digits both print (2e-5: six significant digits here, seven there),
# and the rms over a band, which ngspice integrates from its own
# frequency points (2000 per decade here) and must agree to 1e-4. The op-amps are ideal in
# Corvane and a voltage gain of 1e9 in ngspice.
#
#   scripts/check_noise_ngspice.sh [CORVANE_CLI]
#
# Exit status 0 when every circuit agrees, 1 otherwise (the differences are listed).
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cli=$(realpath "${1:-$root/build/cli/corvane-cli}")
command -v ngspice > /dev/null || { echo "ngspice não encontrado" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# name | Corvane netlist | ngspice netlist (same nodes; input V1, output s)
circuits=(
"divisor|V1 e 0 1 IMPULSO
R1 e s 1000
R2 s 0 3000|V1 e 0 DC 0 AC 1
R1 e s 1000
R2 s 0 3000"
"rc|V1 e 0 1 IMPULSO
R1 e s 10k
C1 s 0 10n|V1 e 0 DC 0 AC 1
R1 e s 10k
C1 s 0 10n"
"inversor|V1 e 0 1 IMPULSO
R1 e m 1k
R2 m s 10k
C1 m s 1n
O1 s 0 0 m|V1 e 0 DC 0 AC 1
R1 e m 1k
R2 m s 10k
C1 m s 1n
E1 s 0 0 m 1e9"
"nao_inversor|V1 e 0 1 IMPULSO
R1 m 0 1k
R2 m s 9k
C1 m s 100p
O1 s 0 e m|V1 e 0 DC 0 AC 1
R1 m 0 1k
R2 m s 9k
C1 m s 100p
E1 s 0 e m 1e9"
"escada|V1 e 0 1 IMPULSO
R1 e a 100
C1 a 0 100n
R2 a b 2.2k
C2 b 0 10n
R3 b s 47k
C3 s 0 1n|V1 e 0 DC 0 AC 1
R1 e a 100
C1 a 0 100n
R2 a b 2.2k
C2 b 0 10n
R3 b s 47k
C3 s 0 1n"
"rlc_serie|V1 e 0 1 IMPULSO
R1 e a 50
L1 a b 1m
C1 b s 1u
R2 s 0 1k|V1 e 0 DC 0 AC 1
R1 e a 50
L1 a b 1m
C1 b s 1u
R2 s 0 1k"
"sallen_key|V1 e 0 1 IMPULSO
R1 e a 10k
R2 a b 10k
C1 a s 10n
C2 b 0 10n
O1 s 0 b s|V1 e 0 DC 0 AC 1
R1 e a 10k
R2 a b 10k
C1 a s 10n
C2 b 0 10n
E1 s 0 b s 1e9"
"ponte|V1 e 0 1 IMPULSO
R1 e a 1k
R2 e b 2k
R3 a 0 3k
R4 b 0 4k
R5 a s 5k
C1 s b 1n
R6 s 0 10k|V1 e 0 DC 0 AC 1
R1 e a 1k
R2 e b 2k
R3 a 0 3k
R4 b 0 4k
R5 a s 5k
C1 s b 1n
R6 s 0 10k"
)

failures=0
for entry in "${circuits[@]}"; do
    bad=0
    IFS='|' read -r -d '' name corvane spice <<< "$entry"
    spice=${spice%$'\n'}
    printf 'Título\n%s\n' "$corvane" > "$work/$name.net"
    "$cli" ruido --saida s --entrada V1 --faixa 10 100k --tabela "$work/$name.csv" \
        "$work/$name.net" > "$work/$name.log" 2>&1 || { echo "$name: corvane-cli falhou"; failures=1; continue; }
    for hertz in 10 1000 100000; do
        cat > "$work/$name-$hertz.cir" <<SPICE
$name
$spice
.noise v(s) V1 lin 1 $hertz $hertz
.control
run
setplot noise1
print all
.endc
.end
SPICE
        read -r spiceOut spiceIn < <(ngspice -b "$work/$name-$hertz.cir" 2>/dev/null |
            awk '/^onoise_[a-z]* =/ {o=$3} /^inoise_[a-z]* =/ {i=$3} END {print o, i}')
        "$cli" ruido --saida s --entrada V1 --em "$hertz" "$work/$name.net" > "$work/$name-$hertz.log"
        ours=$(sed -n 's/^Densidade na saída em .*: \(.*\) V\/√Hz$/\1/p' "$work/$name-$hertz.log")
        oursIn=$(sed -n 's/^Densidade referida à entrada V1 em .*: \(.*\) V\/√Hz$/\1/p' "$work/$name-$hertz.log")
        if ! awk -v a="$ours" -v b="$spiceOut" -v c="$oursIn" -v d="$spiceIn" \
            'BEGIN { exit !(a > 0 && (a-b)^2 <= (2e-5*b)^2 && (c-d)^2 <= (2e-5*d)^2) }'; then
            echo "$name em $hertz Hz: corvane $ours / $oursIn, ngspice $spiceOut / $spiceIn"
            bad=1
        fi
    done
    cat > "$work/$name-band.cir" <<SPICE
$name
$spice
.noise v(s) V1 dec 2000 10 100k
.control
run
setplot noise2
print onoise_total
.endc
.end
SPICE
    spiceRms=$(ngspice -b "$work/$name-band.cir" 2>/dev/null | awk '/^onoise_total =/ {print $3}')
    ours=$(sed -n 's/^Ruído integrado de .*: \(.*\) V rms$/\1/p' "$work/$name.log")
    if ! awk -v a="$ours" -v b="$spiceRms" 'BEGIN { exit !(a > 0 && (a-b)^2 <= (1e-4*b)^2) }'; then
        echo "$name de 10 Hz a 100 kHz: corvane $ours V rms, ngspice $spiceRms V rms"
        bad=1
    fi
    if [ "$bad" -eq 0 ]; then echo "$name: ok"; else failures=1; fi
done
[ "$failures" -eq 0 ] && echo "Todos os circuitos concordam com o ngspice."
exit "$failures"
