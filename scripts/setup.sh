#!/usr/bin/env bash
# Sets Corvane up on a Debian machine and then starts it or tests it.
#
#   scripts/setup.sh run    install what is missing, build, start the program
#   scripts/setup.sh test   install what is missing, build, run every test (also under
#                           AddressSanitizer and UndefinedBehaviorSanitizer)
#
# Runs as root, or as a user with sudo for the package installation. Every step is skipped
# when its work is already done, so a second call goes straight to the build.
set -euo pipefail

cd "$(dirname "$0")/.."
readonly JOBS=2

PACKAGES=(
    build-essential cmake g++ pkg-config
    qt6-base-dev qt6-svg-dev libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-dejavu-core fonts-liberation
    locales xvfb xauth
    clang libclang-rt-14-dev
    libflint-dev libgmp-dev python3-sympy
)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing_packages() {
    local missing=()
    for package in "${PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    if [ "${#missing[@]}" -gt 0 ]; then
        echo "Instalando: ${missing[*]}"
        as_root apt-get update -q
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
            "${missing[@]}"
    fi
    # The locale tests need one locale whose decimal separator is a comma.
    if ! locale -a 2>/dev/null | grep -qi '^pt_BR\.utf-\?8$'; then
        as_root localedef -i pt_BR -f UTF-8 pt_BR.UTF-8
    fi
}

build() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" > /dev/null
    cmake --build "$dir" -j "$JOBS"
}

run_tests() {
    local dir=$1
    ctest --test-dir "$dir" --output-on-failure -j "$JOBS" --timeout 600
}

# Each fuzz target runs for a minute on a copy of its corpus, in the sanitizer build.
run_fuzzers() {
    local seconds=${CORVANE_FUZZ_SECONDS:-60}
    local work
    work=$(mktemp -d)
    for target in build-fuzz/tests/fuzz/fuzz_*; do
        case "$target" in *_replay) continue ;; esac
        local name=${target##*/fuzz_}
        mkdir -p "$work/$name"
        cp -r "tests/fuzz/corpus/$name/." "$work/$name/"
        echo "Fuzzing $name for ${seconds}s"
        if ! "$target" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 \
            -print_final_stats=1 -artifact_prefix="$work/" "$work/$name" > "$work/$name.log" 2>&1; then
            tail -n 40 "$work/$name.log"
            echo "fuzz_$name found a failure; the input is in $work" >&2
            return 1
        fi
        grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$work/$name.log"
    done
    rm -rf "$work"
}

# The examples are copied into build/exemplos, where the program starts: its open dialog
# shows them there, and the result files go beside the copies, not into the source tree.
prepare_examples() {
    mkdir -p build/exemplos
    cp examples/*.net build/exemplos/
}

display_available() {
    [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]
}

analyse_example_without_windows() {
    local example=sallen_key.net
    echo "Analisando build/exemplos/$example com corvane-cli:"
    (cd build/exemplos && ../cli/corvane-cli analisar --variaveis todas "$example")
}

start_program() {
    prepare_examples
    if ! display_available; then
        echo "Sem tela gráfica (DISPLAY e WAYLAND_DISPLAY vazios): as janelas do Corvane não" \
            "podem ser abertas aqui. Numa sessão gráfica, 'scripts/setup.sh run' as abre."
        analyse_example_without_windows
        return
    fi
    echo "Abrindo as janelas do Corvane (build/ui/corvane); os exemplos estão em build/exemplos."
    if ! (cd build/exemplos && ../ui/corvane); then
        echo "As janelas do Corvane não puderam ser abertas nesta tela (DISPLAY=${DISPLAY:-}" \
            "WAYLAND_DISPLAY=${WAYLAND_DISPLAY:-})."
        analyse_example_without_windows
    fi
}

case "${1:-}" in
    run)
        install_missing_packages
        build build
        start_program
        ;;
    test)
        install_missing_packages
        build build
        run_tests build
        build build-sanitize -DCORVANE_SANITIZE=ON -DCORVANE_BUILD_BENCH=OFF
        run_tests build-sanitize
        CXX=clang++ build build-fuzz -DCORVANE_FUZZ=ON -DCORVANE_BUILD_UI=OFF \
            -DCORVANE_BUILD_TESTS=OFF -DCORVANE_BUILD_BENCH=OFF
        run_fuzzers
        ;;
    *)
        echo "Uso: $0 run|test" >&2
        exit 2
        ;;
esac
