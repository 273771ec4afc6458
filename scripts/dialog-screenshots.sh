#!/usr/bin/env bash
# Takes the pictures in docs/ of the dialogs whose focus, titles and wording
# were reworked: the New Package wizard ready for typing, the Options sheet,
# the Selecting Files dialog of mail, the FTP New Site page refusing an empty
# description and taking an address with a port, the About box and the close prompt,
# with the real pcn under a virtual X server.
#   scripts/dialog-screenshots.sh [build-folder] [output-folder]
set -euo pipefail
source "$(dirname "$0")/pcn-session.sh"
BUILD=$(realpath "${1:-out}")
OUT=$(realpath -m "${2:-docs}")
need_tools dialog-screenshots xvfb-run openbox xdotool import
fresh_work
mkdir -p "$WORK/src" "$WORK/out"
echo "readme" > "$WORK/src/readme.txt"
"$BUILD/bin/parcelon" new "$PCN_DATA_DIR/Tools.pcp" --kind cab --product "Acme Tools" --company "Acme Software" \
  --version 1.0 --source "$WORK/src" --target "$WORK/out" --no-signature >/dev/null
"$BUILD/bin/parcelon" build "$PCN_DATA_DIR/Tools.pcp" >/dev/null
"$BUILD/bin/parcelon" project "$PCN_DATA_DIR/Acme.pcn" add "$PCN_DATA_DIR/Tools.pcp" >/dev/null
printf '[Recent File List]\nFile1=sz:%s\n' "$PCN_DATA_DIR/Acme.pcn" > "$PCN_SETTINGS"
# A stand-in mail program, so that the mail command is offered.
mkdir -p "$WORK/bin"; printf '#!/bin/sh\nexit 0\n' > "$WORK/bin/xdg-email"; chmod +x "$WORK/bin/xdg-email"
export PATH="$WORK/bin:$PATH"
run_pcn_session '
  win() { import -frame -window "$(xdotool getactivewindow)" "$OUT/$1.png"; echo "$OUT/$1.png"; }
  main=$(xdotool search --onlyvisible --name " - Tarnwick Parcelon$" | head -n 1)
  xdotool windowactivate --sync "$main"; sleep 0.5
  xdotool key ctrl+n; sleep 1.5; xdotool type --delay 20 "Acme Software"; sleep 0.3
  win new-package-ready; xdotool key Escape; sleep 0.8
  xdotool windowactivate --sync "$main"; xdotool mousemove --window "$main" 80 77 click 1; sleep 0.3
  xdotool key alt+v; sleep 0.3; xdotool key o; sleep 1.5; win options-sheet; xdotool key Escape; sleep 0.8
  xdotool key alt+p; sleep 0.3; xdotool key e; sleep 1.5; win mail-selecting-files; xdotool key Escape; sleep 0.8
  xdotool key alt+p; sleep 0.3; xdotool key s; sleep 1.5; xdotool key Return; sleep 1
  xdotool key Return; sleep 1; win ftp-new-site-why; xdotool key Return; sleep 0.5
  xdotool type --delay 10 "Office server"; xdotool key Tab; xdotool key ctrl+a
  xdotool type --delay 10 "ftp://127.0.0.1:2121/incoming/"; sleep 0.3; win ftp-new-site-address
  xdotool key Escape; sleep 0.8
  xdotool key alt+h; sleep 0.3; xdotool key a; sleep 1.5; win about-parcelon; xdotool key Return; sleep 0.8
  xdotool key alt+e; sleep 0.3; xdotool key r; sleep 0.8
  xdotool key ctrl+q; sleep 1.5; win close-prompt; xdotool key Escape; sleep 0.5
'
