#!/usr/bin/env bash
# Measures both expansions on every workload of bench_analysis and prints a Markdown
# table: CPU time per analysis, products counted, minors kept and peak memory. For workloads
# the plain expansion cannot finish, its time is implied from its measured cost per
# product on the largest workload it did finish.
#
#   bench/engine_table.sh [build folder]      (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
bench="${1:-build}/bench/bench_analysis"

# Prints: milliseconds, exact products, unknowns, minors kept.
measure() {
    "$bench" --benchmark_filter="^$1\$" --benchmark_format=csv 2>/dev/null |
        awk -F, 'NR == 1 { for (i = 1; i <= NF; ++i) { gsub(/"/, "", $i); col[$i] = i }; next }
                 { gsub(/"/, "")
                   t = $col["cpu_time"]; u = $col["time_unit"]
                   if (u == "us") t /= 1000; else if (u == "ns") t /= 1e6; else if (u == "s") t *= 1000
                   printf "%.3f %s %s %s\n", t, $col["label"], $col["incognitas"], $col["menores"] }'
}

peak_mib() {
    /usr/bin/time -v "$bench" --benchmark_filter="^$1\$" --benchmark_min_time=0 2>&1 >/dev/null |
        awk '/Maximum resident/ { printf "%.0f", $NF / 1024 }'
}

human() { awk -v v="$1" 'BEGIN { if (v < 1e6) print v; else printf "%.4g\n", v }'; }

plain_cost=""
echo "| workload | unknowns | products counted | memoised | minors kept | peak MiB | plain |"
echo "|---|---:|---:|---:|---:|---:|---:|"
for w in $("$bench" --benchmark_list_tests | sed -n 's|^memo/||p'); do
    read -r memo_ms products unknowns minors < <(measure "memo/$w")
    plain=$("$bench" --benchmark_list_tests | grep -E "^plain/$w(/|\$)" || true)
    if [ -n "$plain" ]; then
        read -r plain_ms _ _ _ < <(measure "$plain")
        plain_cost=$(awk -v t="$plain_ms" -v p="$products" 'BEGIN { if (p > 0) printf "%.6g", t / p }')
        plain_text="${plain_ms} ms"
    else
        plain_text=$(awk -v c="$plain_cost" -v p="$products" 'BEGIN {
            s = c * p / 1000
            if (s > 86400 * 365) printf "≈ %.3g years (implied)", s / 86400 / 365
            else if (s > 86400) printf "≈ %.3g days (implied)", s / 86400
            else printf "≈ %.3g s (implied)", s }')
    fi
    echo "| $w | $unknowns | $(human "$products") | ${memo_ms} ms | $minors | $(peak_mib "memo/$w") | $plain_text |"
done
