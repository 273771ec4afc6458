#!/usr/bin/env bash
# Takes the pictures of the web package wizard's four pages and of the
# Component Html Template dialog shown in the README and the help pages, with
# the real pcn from the program folder under a virtual X server with a window
# manager, fresh settings and data folder. The component is the test control
# with a type library (platform/pe/fixtures), scanned through the loader host.
# Needs xvfb-run, openbox, xdotool and imagemagick (import).
#   scripts/web-screenshots.sh [build-folder] [output-folder]
set -euo pipefail
SOURCE=$(realpath "$(dirname "$0")/..")
source "$SOURCE/scripts/pcn-session.sh"
BUILD=$(realpath "${1:-out}")
OUT=$(realpath -m "${2:-docs}")
need_tools web-screenshots xvfb-run openbox xdotool import
fresh_work
mkdir -p "$WORK/controls"
cp "$SOURCE/platform/pe/fixtures/bin/control32.ocx" "$WORK/controls/Gauge.ocx"

# The wizard's first page offers what was given last time.
cat > "$PCN_SETTINGS" <<CONF
[Settings]
Window Position=sz:0 1 4294967295 4294967295 4294967295 4294967295 0 0 1000 700
[Settings\\CodeSign]
URL=sz:https://acme.example/controls
[Settings\\Inf]
Product=sz:Gauge
Last Path=sz:$WORK/controls/Gauge.ocx
Scan=dword:1
Scan Dynamic=dword:1
Include Htm=dword:1
Include LPK=dword:1
[Settings\\Template]
Last Path=sz:$WORK/controls/
Last Index=dword:3
CONF

run_pcn_session '
  # New Web Package: the third button of the toolbar.
  xdotool mousemove 75 34 click 1
  shot web-wizard-general 2
  xdotool key alt+n;  shot web-wizard-dependencies 6
  # The second row goes into the package too: a click on it and on "Include in Packages".
  xdotool mousemove 480 218 click 1; sleep 0.3
  xdotool mousemove 373 499 click 1; sleep 0.3
  xdotool key alt+n;  shot web-wizard-os-types 2
  xdotool key alt+n;  shot web-wizard-inf-output 2
  xdotool key Escape; sleep 1
  # Component > Html Template... (the fourth item), then the component in the picker.
  xdotool key alt+c; sleep 0.5
  xdotool key Down Down Down Return; sleep 2
  xdotool type --delay 20 "$WORK/controls/Gauge.ocx"; xdotool key Return
  shot html-template 2
  xdotool key Escape; sleep 0.5
'
