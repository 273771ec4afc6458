#!/usr/bin/env bash
# Screenshots of the wizard stub's pages under Xvfb and Wine, for docs/:
# a package with a text, a password, a licence and a folder the user may
# change is built with parcelon and clicked through with xdotool.
# Needs wine, xvfb-run, xdotool and ImageMagick's import.
# Usage: scripts/stub-screenshots.sh [build folder]
set -euo pipefail
build=$(cd "${1:-out}" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
bin="$build/bin"
work=$(mktemp -d)
trap 'WINEPREFIX="$work/wine" wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
export PCN_SETTINGS="$work/settings.conf" PCN_DATA_DIR="$work"
export WINEPREFIX="$work/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

"$bin/parcelon" new "$work/Tides.pcp" --kind wizard --company "Harbour Tide Software" --product "Tide Tables" \
  --version "3,2,0,1" --source "$root/examples/source" --subdirs --restore-dirs --target "$work/out" \
  --no-inf --no-signature >/dev/null
"$bin/parcelon" wizard "$work/Tides.pcp" --text $'Tide Tables 3.2 installs the tide tables of 42 harbours.\nClose the other tide programs before you go on.' \
  --password tides --licence "$root/examples/source/licence.txt" --user-dir >/dev/null
exe=$("$bin/parcelon" build "$work/Tides.pcp" --yes 2>/dev/null | grep -E 'W\.EXE$')

# The stub runs on a Wine virtual desktop (which draws the windows' title
# bars); each page is photographed, then answered with the keyboard.
cat >"$work/click.sh" <<'CLICK'
set -euo pipefail
wineboot -i >/dev/null 2>&1
wine explorer /desktop=Setup,660x420 "$EXE" >/dev/null 2>&1 &
desk=""
for _ in $(seq 1 300); do
  desk=$(xdotool search --name '^Setup - Wine desktop$' 2>/dev/null | head -n 1 || true)
  [ -n "$desk" ] && break
  sleep 0.1
done
[ -n "$desk" ] || { echo "no Wine desktop" >&2; exit 1; }
# The top edge of the page: the first pixel down the middle column that is
# not the desktop's colour.
page_top() {
  convert "$1" -crop 1x420+330+0 +repage txt:- | awk 'NR == 2 { bg = $3 } NR > 2 && $3 != bg { sub(/^0,/, "", $1); sub(/:.*/, "", $1); print $1; exit }' || true
}
# shoot NAME [TEXT]: waits for the page, saves it, clicks its title bar (no
# window manager gives it the keyboard), types TEXT and presses Return.
shoot() {
  sleep 4
  import -window "$desk" "$OUT/stub-pilot-$1.png"
  echo "docs/stub-pilot-$1.png"
  top=$(page_top "$OUT/stub-pilot-$1.png")
  convert "$OUT/stub-pilot-$1.png" -trim +repage "$OUT/stub-pilot-$1.png"
  xdotool mousemove --window "$desk" 330 $((top + 10)) click 1
  sleep 0.5
  [ $# -lt 2 ] || xdotool type --delay 80 "$2"
  xdotool key Return
}
sleep 3
shoot text
shoot password tides
shoot licence
shoot folder
shoot done
sleep 2
wineserver -k
CLICK
OUT="$root/docs" EXE="$exe" xvfb-run -a -s "-screen 0 1024x768x24" bash "$work/click.sh"
