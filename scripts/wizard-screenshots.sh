#!/usr/bin/env bash
# Takes the pictures of the package wizard's pages shown in the help pages,
# from the wizard's own tests, under a virtual X server (xvfb-run).
#   scripts/wizard-screenshots.sh [build-folder] [output-folder]
set -euo pipefail
BUILD=$(realpath "${1:-out}")
OUT=$(realpath -m "${2:-docs}")
command -v xvfb-run >/dev/null || { echo "wizard-screenshots: xvfb-run is needed" >&2; exit 1; }
mkdir -p "$OUT"
PCN_SCREENSHOT_DIR="$OUT" QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24" \
  "$BUILD/test-bin/editing_gui_tests" --gtest_filter='BuildPageTest.SuccessfulBuildOffersCloseAsFinish'
ls "$OUT"/wizard-*.png
