#!/usr/bin/env bash
# Takes the pictures of the package wizard's Type, Files and Build pages shown in
# the help pages, under a virtual X server so that the desktop style is used.
#   scripts/wizard-screenshots.sh [build-folder] [output-folder]
set -euo pipefail
BUILD=$(realpath "${1:-out}")
OUT=$(realpath -m "${2:-docs}")
command -v xvfb-run >/dev/null || { echo "wizard-screenshots: xvfb-run is needed" >&2; exit 1; }
mkdir -p "$OUT"
xvfb-run -a -s "-screen 0 1000x700x24" "$BUILD/bin/pcn_wizard_screenshots" "$OUT"
echo "$OUT/wizard-type-page.png"
echo "$OUT/wizard-files-page.png"
echo "$OUT/wizard-build-page.png"
