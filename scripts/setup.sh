#!/usr/bin/env bash
# Sets Corvane up on a Debian machine and then starts it or tests it.
#
#   scripts/setup.sh run    install what is missing, build, start the program
#   scripts/setup.sh test   install what is missing, build, run every test (also under
#                           AddressSanitizer and UndefinedBehaviorSanitizer), build a
#                           Release with Debian's flags, its .deb, check the package and
#                           run it installed
#   scripts/setup.sh fuzz [SECONDS]
#                           install what is missing, build the fuzz targets and run each
#                           for SECONDS (default 1800), one after the other: the long runs
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
    dpkg-dev lintian appstream desktop-file-utils qt6-translations-l10n file ccache
    libmps-dev libgmp-dev nlohmann-json3-dev libeigen3-dev python3-scipy python3-matplotlib
    libflint-dev python3-sympy
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

# With ccache a second run of the test command compiles only what changed. Paths below the
# checkout are hashed relative to it and the build folder is left out of the hash, so a
# fresh clone in another folder reuses what an earlier build compiled.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
compiler_launcher() {
    if command -v ccache > /dev/null; then echo "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"; fi
}

build() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo $(compiler_launcher) "$@" > /dev/null
    cmake --build "$dir" -j "$JOBS"
}

run_tests() {
    local dir=$1
    ctest --test-dir "$dir" --output-on-failure -j "$JOBS" --timeout 600
}

# Runs each fuzz target for the given seconds on a copy of its corpus, in the clang build with
# the sanitizers. The test command gives each half a minute (CORVANE_FUZZ_SECONDS sets
# another time); `fuzz` makes the long runs.
build_fuzz_targets() {
    CXX=clang++ build build-fuzz -DCORVANE_FUZZ=ON -DCORVANE_WERROR=ON -DCORVANE_BUILD_UI=OFF \
        -DCORVANE_BUILD_TESTS=OFF -DCORVANE_BUILD_BENCH=OFF
}

run_fuzzers() {
    local seconds=$1
    local work
    work=$(mktemp -d)
    # Stopped by Ctrl-C the corpus copies go; a finding keeps them, with the failing input.
    trap "rm -rf '$work'" EXIT
    for target in build-fuzz/tests/fuzz/fuzz_*; do
        case "$target" in *_replay) continue ;; esac
        local name=${target##*/fuzz_}
        mkdir -p "$work/$name"
        cp -r "tests/fuzz/corpus/$name/." "$work/$name/"
        echo "Fuzzing $name for ${seconds}s"
        local status=0
        "$target" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 \
            -print_final_stats=1 -artifact_prefix="$work/" "$work/$name" > "$work/$name.log" 2>&1 ||
            status=$?
        # libFuzzer takes Ctrl-C itself and ends with a status of its own: not a finding.
        if [ "$status" -ne 0 ] && grep -q 'libFuzzer: run interrupted' "$work/$name.log"; then
            echo "fuzz_$name interrupted; nothing found" >&2
            return 130
        fi
        if [ "$status" -ne 0 ]; then
            trap - EXIT
            tail -n 40 "$work/$name.log"
            echo "fuzz_$name found a failure; the input is in $work" >&2
            return 1
        fi
        grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$work/$name.log"
    done
    rm -rf "$work"
    trap - EXIT
}

# A packager's build: build type Release with the flags of Debian's packages (CMake reads
# CXXFLAGS and LDFLAGS; the preprocessor's flags join the compiler's as debhelper does).
# Everything is built, tests included, so that no warning hides anywhere; the tests
# themselves run in the other builds.
build_with_debian_flags() {
    (
        eval "$(dpkg-buildflags --export=sh)"
        export CXXFLAGS="$CXXFLAGS $CPPFLAGS"
        cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release $(compiler_launcher) \
            -DCORVANE_WERROR=ON -DCORVANE_BUILD_BENCH=ON -DCORVANE_BUILD_TOOLS=ON > /dev/null
        cmake --build build-release -j "$JOBS"
    )
}

# The package of that build, checked as a distribution would check it.
build_package() {
    rm -f build-release/corvane_*.deb
    (cd build-release && cpack -G DEB > /dev/null)
    package=$(echo build-release/corvane_*_amd64.deb)
    readonly package
    echo "Pacote: $package"
    lintian --fail-on error --tag-display-limit 0 "$package"
    local contents
    contents=$(mktemp -d)
    dpkg-deb -x "$package" "$contents"
    desktop-file-validate "$contents/usr/share/applications/corvane.desktop"
    appstreamcli validate --no-net "$contents"/usr/share/metainfo/*.metainfo.xml
    rm -rf "$contents"
}

can_install_packages() {
    [ "$(id -u)" -eq 0 ] || { command -v sudo > /dev/null && sudo -n true 2> /dev/null; }
}

# Installs the package, analyses an installed example with the installed corvane-cli and
# compares the log and the result files with those of the build's own corvane-cli; then
# removes the package.
check_installed_package() {
    if ! can_install_packages; then
        echo "Sem root nem sudo: o pacote $package não é instalado nem testado instalado."
        return
    fi
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "./$package" > /dev/null
    local work status=0 built_cli=$PWD/build/cli/corvane-cli
    work=$(mktemp -d)
    mkdir "$work/instalado" "$work/compilado"
    cp /usr/share/doc/corvane/examples/sallen_key.net "$work/instalado/"
    cp examples/sallen_key.net "$work/compilado/"
    (cd "$work/instalado" && /usr/bin/corvane-cli analisar --variaveis todas sallen_key.net \
        > log.txt) || status=$?
    (cd "$work/compilado" && "$built_cli" analisar --variaveis todas \
        sallen_key.net > log.txt) || status=$?
    if [ "$status" -ne 0 ] || ! diff -r "$work/compilado" "$work/instalado"; then
        echo "O corvane-cli instalado não deu os mesmos resultados que o compilado" >&2
        status=1
    else
        echo "O corvane-cli instalado deu o mesmo log e os mesmos arquivos que o compilado."
    fi
    # The installed corvane-cli draws through its installed companion.
    printf 'sallen_key.n4\nsallen_key.d\n' > "$work/instalado/lista.txt"
    if ! (cd "$work/instalado" && /usr/bin/corvane-cli plotar --imagem grafico.png lista.txt \
        > /dev/null) || [[ $(file -b "$work/instalado/grafico.png") != "PNG image data"* ]]; then
        echo "O corvane-cli instalado não desenhou o gráfico" >&2
        status=1
    fi
    rm -rf "$work"
    as_root env DEBIAN_FRONTEND=noninteractive apt-get remove -y -q corvane > /dev/null
    return "$status"
}

# The examples are copied into build/exemplos, where the program starts: its open dialog
# shows them there, and the result files go beside the copies, not into the source tree.
prepare_examples() {
    mkdir -p build/exemplos
    cp examples/*.net examples/*.cir build/exemplos/
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
        build build -DCORVANE_WERROR=ON -DCORVANE_BUILD_BENCH=ON -DCORVANE_BUILD_TOOLS=ON
        run_tests build
        build build-sanitize -DCORVANE_SANITIZE=ON -DCORVANE_WERROR=ON -DCORVANE_BUILD_BENCH=OFF
        run_tests build-sanitize
        build_fuzz_targets
        run_fuzzers "${CORVANE_FUZZ_SECONDS:-30}"
        build_with_debian_flags
        build_package
        check_installed_package
        ;;
    fuzz)
        seconds=${2:-1800}
        if ! [[ $seconds =~ ^[1-9][0-9]*$ ]]; then
            echo "Uso: $0 fuzz [SEGUNDOS]: o tempo de cada alvo é um número inteiro positivo" \
                "de segundos, não '$seconds'" >&2
            exit 2
        fi
        install_missing_packages
        build_fuzz_targets
        run_fuzzers "$seconds"
        ;;
    *)
        echo "Uso: $0 run|test|fuzz [SEGUNDOS]" >&2
        exit 2
        ;;
esac
