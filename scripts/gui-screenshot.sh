#!/usr/bin/env bash
# Takes the screenshot of the main window shown in the README: a project with
# one package of each kind, the wizard package selected, under a virtual X
# server. Needs xvfb-run, xdotool and imagemagick (import).
#   scripts/gui-screenshot.sh [build-folder] [output.png]
set -euo pipefail
source "$(dirname "$0")/pcn-session.sh"
BUILD=$(realpath "${1:-build}")
OUT=$(realpath -m "${2:-docs/pcn-main-window.png}")
need_tools gui-screenshot xvfb-run xdotool import python3
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export PCN_DATA_DIR="$WORK/data" PCN_SETTINGS="$WORK/PCN.conf"
mkdir -p "$PCN_DATA_DIR" "$WORK/src/Acme/bin" "$WORK/src/Acme/docs"
echo "Acme runtime" > "$WORK/src/Acme/readme.txt"
echo "library" > "$WORK/src/Acme/bin/acme.dll"
echo "program" > "$WORK/src/Acme/bin/acmetool.exe"
echo "manual" > "$WORK/src/Acme/docs/manual.txt"

P="$BUILD/bin/parcelon"
common=(--company "Acme Software" --version 2.4 --copyright "(C) 2026 Acme Software" --source "$WORK/src/Acme"
        --subdirs --target "$WORK/out")
"$P" new "$PCN_DATA_DIR/Runtime.pcp" --kind cab --product "Acme Runtime" "${common[@]}" --no-signature >/dev/null
"$P" new "$PCN_DATA_DIR/Tools.pcp" --kind sfx --product "Acme Tools" "${common[@]}" --restore-dirs --no-signature >/dev/null
"$P" new "$PCN_DATA_DIR/Setup.pcp" --kind wizard --product "Acme Setup" "${common[@]}" \
  --install-dir '%PROGRAMFILES%\Acme' --spc "$WORK/acme.spc" --key "$WORK/acme.pvk" --info https://acme.example/ >/dev/null

# A web package comes from the web wizard; write one directly in the package file format.
python3 - "$PCN_DATA_DIR/Chart.pcp" "$WORK/out/" <<'PY'
import struct, sys
path, target = sys.argv[1], sys.argv[2]
b = bytearray(struct.pack('<d', 2.1))
def i(v): b.extend(struct.pack('<i', v))
def s(t):
    t = t.encode(); assert len(t) < 255; b.append(len(t)); b.extend(t)
def sl(items): i(len(items)); [s(x) for x in items]
def il(items): i(len(items)); [i(x) for x in items]
i(6); s(path); s("Acme Software"); s("Acme Chart Control"); s("3.1"); s(""); s(""); s("")
s("/home/acme/controls/"); s(target); s("AcmeChart")
for v in (1, 0, 0, 1, 1, 0, 1440000, 1, 1, 0, 0, 0, 0): i(v)
s(""); i(0); s(""); i(0); s(""); s(""); s(""); i(0); s(""); s(""); i(1); i(0)
s(""); s(""); s(""); i(1); i(1); sl([]); i(0); s(""); i(0); i(0); sl([]); sl([])
i(0); s(""); s(""); s(""); s(""); i(0); i(1767225600); i(0)
sl([]); sl([]); sl([])
s("AcmeChart.ocx"); s("/home/acme/controls/"); s("/home/acme/controls/AcmeChart.ocx"); i(1); i(0); i(1); i(0)
deps = ["/home/acme/controls/AcmeChart.ocx", "MSVCRT.DLL", "OLEAUT32.DLL", "AcmeData.dll"]
sl(deps); il([1]*4); il([1]*4); il([1, 0, 0, 1]); il([6, 2, 2, 4])
open(path, 'wb').write(b)
PY

for f in Chart Runtime Setup Tools; do "$P" project "$PCN_DATA_DIR/Acme.pcn" add "$PCN_DATA_DIR/$f.pcp" >/dev/null; done
cat > "$PCN_SETTINGS" <<CONF
[Recent File List]
File1=sz:$PCN_DATA_DIR/Acme.pcn
[Settings]
Window Position=sz:0 1 4294967295 4294967295 4294967295 4294967295 0 0 1000 640
[Settings\\List]
Splitter=dword:330
CONF

mkdir -p "$(dirname "$OUT")"
xvfb-run -a -s "-screen 0 1000x640x24" bash -c '
  "$0/bin/pcn" & pid=$!
  sleep 4
  # The start-up check reports the helper programs this build does not have; close that report.
  xdotool key Escape; sleep 0.5
  # The third line of the list: the wizard package.
  xdotool mousemove 120 113 click 1; sleep 1
  # Open its source files (the "Source Files" line of the tree).
  xdotool mousemove 500 239 click --repeat 2 1; sleep 1
  import -window root "$1"
  kill $pid; wait $pid || true
' "$BUILD" "$OUT"
echo "$OUT"
