#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR with prefix /usr and compares the installed
# files with the list a package of the program must hold, no more and no less.
#
#   installed_files_test.sh BUILD_DIR
set -euo pipefail

build=$1
destdir=$(mktemp -d)
trap 'rm -rf "$destdir"' EXIT

DESTDIR=$destdir cmake --install "$build" --prefix /usr > /dev/null
# lib/<triplet>, whatever the prefix the build was configured for.
libdir=$(sed -n 's/^CMAKE_INSTALL_LIBDIR:[A-Z]*=//p' "$build/CMakeCache.txt")
if [ "$libdir" = lib ]; then
    libdir=lib/$(c++ -print-multiarch)
fi

expected=$(sort <<LIST
usr/bin/corvane
usr/bin/corvane-cli
usr/$libdir/corvane/corvane-exato.so
usr/libexec/corvane/corvane-imagem
usr/share/applications/corvane.desktop
usr/share/doc/corvane/README.md
usr/share/doc/corvane/changelog.gz
usr/share/doc/corvane/copyright
usr/share/doc/corvane/examples/butterworth5.net
usr/share/doc/corvane/examples/butterworth5_degrau.net
usr/share/doc/corvane/examples/gyrator.net
usr/share/doc/corvane/examples/kicad_passa_faixa.cir
usr/share/doc/corvane/examples/ltspice_sallen_key.net
usr/share/doc/corvane/examples/rc.net
usr/share/doc/corvane/examples/sallen_key.net
usr/share/doc/corvane/examples/transformer.net
usr/share/icons/hicolor/128x128/apps/corvane.png
usr/share/icons/hicolor/256x256/apps/corvane.png
usr/share/icons/hicolor/48x48/apps/corvane.png
usr/share/icons/hicolor/64x64/apps/corvane.png
usr/share/icons/hicolor/scalable/apps/corvane.svg
usr/share/man/man1/corvane-cli.1.gz
usr/share/man/man1/corvane.1.gz
usr/share/metainfo/org.corvane.Corvane.metainfo.xml
LIST
)
installed=$(cd "$destdir" && find . -type f -o -type l | sed 's|^\./||' | sort)

if [ "$installed" != "$expected" ]; then
    echo "Installed files differ from the package's list (< expected, > installed):"
    diff <(echo "$expected") <(echo "$installed") || true
    exit 1
fi

# Each PNG is the size its folder names.
for png in "$destdir"/usr/share/icons/hicolor/*x*/apps/corvane.png; do
    size=${png%/apps/*}
    size=${size##*/}
    if [[ $(file -b "$png") != "PNG image data, ${size/x/ x },"* ]]; then
        echo "$png is not a ${size} PNG: $(file -b "$png")"
        exit 1
    fi
done

# The programs run from their installed place and tell their version.
version=$("$destdir/usr/bin/corvane-cli" --version)
case "$version" in
    "corvane "[0-9]*.[0-9]*.[0-9]*) ;;
    *) echo "corvane-cli --version printed: $version"; exit 1 ;;
esac
# The installed corvane-cli analyses an installed example and finds its image companion
# in the installed libexec folder.
work=$destdir/work
mkdir "$work"
cp "$destdir/usr/share/doc/corvane/examples/rc.net" "$work/"
(cd "$work" && "$destdir/usr/bin/corvane-cli" analisar rc.net > /dev/null)
# The symbolic analysis loads the installed exact module, outside the build tree, from the
# programs' folder and from the companion's.
for program in usr/bin/corvane-cli usr/libexec/corvane/corvane-imagem; do
    if ! log=$(cd "$work" && "$destdir/$program" analisar --simbolica rc.net) ||
        [[ $log != *"Verificação simbólica: ok"* ]]; then
        echo "The installed $program made no symbolic analysis: $log"
        exit 1
    fi
done
printf 'rc.n2\nrc.d\n' > "$work/lista.txt"
(cd "$work" && "$destdir/usr/bin/corvane-cli" plotar --imagem rc.png lista.txt > /dev/null)
if [[ $(file -b "$work/rc.png") != "PNG image data, 680 x 442,"* ]]; then
    echo "The installed corvane-cli drew no image: $(file -b "$work/rc.png")"
    exit 1
fi

echo "Installed as expected: $(echo "$installed" | wc -l) files, $version"
