#!/usr/bin/env bash
# Every option that a program's --help lists must appear in its manual page, so the page
# keeps up with the program.
#
#   man_options_test.sh PROGRAM PAGE.1
set -euo pipefail

program=$1
page=$2

help=$("$program" --help)
options=$(grep -oE -- '(^|[ ,])(-[a-zA-Z]|--[a-z0-9][a-z0-9-]*)' <<< "$help" | sed 's/^[ ,]//' |
    sort -u)
if [ -z "$options" ]; then
    echo "$program --help lists no option"
    exit 1
fi

# In roff a minus sign is written \-; the page reads as the user sees it.
text=$(sed 's/\\-/-/g' "$page")
missing=()
for option in $options; do
    if ! grep -qE -- "(^|[^a-zA-Z0-9-])${option}([^a-zA-Z0-9-]|$)" <<< "$text"; then
        missing+=("$option")
    fi
done
if [ "${#missing[@]}" -gt 0 ]; then
    echo "${page##*/} lacks options that $program --help lists: ${missing[*]}"
    exit 1
fi
echo "${page##*/} names all $(wc -w <<< "$options") options of --help"
