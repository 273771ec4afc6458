#!/usr/bin/env bash
# Takes the picture of the Contents dialog in docs/: the example project of
# `make run` opened in the real pcn with fresh settings (trusting the
# example's test certificate, as `make run` does), its setup wizard selected,
# Project > Contents opened and Verify pressed with Enter.
#   scripts/contents-screenshot.sh [build-folder] [output-folder]
set -euo pipefail
source "$(dirname "$0")/pcn-session.sh"
BUILD=$(realpath "${1:-out}")
OUT=$(realpath -m "${2:-docs}")
need_tools contents-screenshot xvfb-run openbox xdotool import
example="$BUILD/example"
[ -f "$example/Example.pcn" ] || { echo "contents-screenshot: run 'make run' first" >&2; exit 1; }
fresh_work
printf '[Recent File List]\nFile1=sz:%s\n[Settings\\CheckTrust]\nCAFile=sz:%s\n' \
  "$example/Example.pcn" "$example/keys/cert.pem" >"$PCN_SETTINGS"
run_pcn_session '
  win() { import -frame -window "$(xdotool getactivewindow)" "$OUT/$1.png"; echo "$OUT/$1.png"; }
  main=$(xdotool search --onlyvisible --name " - Tarnwick Parcelon$" | head -n 1)
  xdotool windowactivate --sync "$main"; sleep 0.5
  # The first line of the list: the setup wizard.
  xdotool mousemove --window "$main" 80 77 click 1; sleep 0.5
  xdotool key alt+p; sleep 0.3; xdotool key n; sleep 2
  xdotool key Return; sleep 4
  win package-contents
  xdotool key Escape; sleep 0.5
'
