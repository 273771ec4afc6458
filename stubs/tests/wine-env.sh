# Sourced by the stub tests: a fresh Wine prefix for the whole script (made
# once, because wineboot is slow), helpers to build packages with parcelon and
# to run the Windows programs. Exits 77 (skipped) when Wine is not installed.
bin="$1"
markers="$2"
wine=$(command -v wine || command -v wine64 || true)
if [ -z "$wine" ]; then
  echo "SKIPPED: Wine is not installed"
  exit 77
fi
work=$(mktemp -d)
export WINEPREFIX="$work/prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export PCN_SETTINGS="$work/settings.conf" PCN_DATA_DIR="$work/data"
# Quiet mode needs no display.
unset DISPLAY WAYLAND_DISPLAY
cleanup() { wineserver -k >/dev/null 2>&1; rm -rf "$work"; }
trap cleanup EXIT
wineboot -i >/dev/null 2>&1 || { echo "FAIL: wineboot could not make a Wine prefix"; exit 1; }
# One wine server for the whole script, and the null display driver: without
# a display, each program start would otherwise wait for a desktop that never
# comes up. (A message box on the null driver waits for ever: tests run the
# stubs quiet.)
wineserver -p
"$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
drive_c="$WINEPREFIX/drive_c"
wine_temp=$(find "$drive_c/users" -mindepth 2 -maxdepth 2 -name Temp -path "*/$(id -un)/*" | head -n 1)
failures=0
fail() { echo "FAIL: $*"; failures=$((failures+1)); }

# run_windows PROGRAM ARGS...: runs it under Wine and returns its exit code;
# its messages (quiet mode) are in $work/last.out.
run_windows() {
  local rc=0
  "$wine" "$@" >"$work/last.out" 2>&1 || rc=$?
  return $rc
}

# wait_for FILE: waits up to 20 s for a file that a started program writes.
wait_for() {
  local i
  for i in $(seq 1 200); do [ -e "$1" ] && return 0; sleep 0.1; done
  return 1
}

# build_package PCP: builds it with parcelon and prints the executable made.
build_package() {
  "$bin/parcelon" build "$1" --yes >"$work/build.out" 2>&1 || { cat "$work/build.out" >&2; return 1; }
  grep -E '\.EXE$' "$work/build.out" | head -n 1
}

finish() {
  echo "$(basename "$0"): $failures failures"
  [ "$failures" -eq 0 ]
}
