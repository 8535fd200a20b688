#!/usr/bin/env bash
# The desktop entry and the AppStream metadata pass the validators desktops and software
# centres use.
#
#   validators_test.sh DESKTOP_FILE METAINFO_FILE
set -euo pipefail

desktop-file-validate "$1"
appstreamcli validate --no-net "$2"
