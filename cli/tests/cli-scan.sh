#!/usr/bin/env bash
# parcelon scan end to end: the dependency lists of the test components, the
# failures, and two scans at once each listing their own component.
source "$(dirname "$0")/../../scripts/test-lib.sh" "$1"
components="$2"
has_row() {  # has_row FILE REGEX
  grep -qE -- "$2" "$1" || { fail "no row matching '$2' in $1:"; cat "$1"; }
}

plugin="$components/elf/libscanplugin.so"
"$bin" scan "$plugin" --dynamic --progress=always >"$work/elf" 2>"$work/elf.err" || { fail "scan of the plug-in"; cat "$work/elf.err"; }
[ "$(head -n1 "$work/elf")" = "6 1 $plugin" ] || fail "entry 0 is the component: $(head -n1 "$work/elf")"
has_row "$work/elf" "^3 0 $components/elf/libscanhelper.so\$"
has_row "$work/elf" '^3 0 /.*/libz\.so\.1'
has_row "$work/elf" '^2 0 /.*/libc\.so\.6$'
has_row "$work/elf" '^5 0 libdynamic\.so\.3$'
grep -q 'LDSCE' "$work/elf" && fail "the host is listed"
grep -q 'Scanning for Dependencies' "$work/elf.err" || fail "no progress on stderr with --progress=always"

"$bin" scan "$plugin" --no-scan --dynamic >"$work/alone" || fail "scan --no-scan"
[ "$(cat "$work/alone")" = "6 1 $plugin" ] || fail "--no-scan lists the component alone: $(cat "$work/alone")"

printf 'not a component\n' >"$work/readme.ocx"
if "$bin" scan "$work/readme.ocx" >"$work/out" 2>"$work/err"; then fail "unloadable component accepted"; fi
grep -qF "neither a Linux shared object nor a Windows library" "$work/err" || { fail "unloadable: message"; cat "$work/err"; }
grep -qF "Failed Scanning for Dependencies." "$work/err" || fail "unloadable: status"
[ -s "$work/out" ] && fail "unloadable: rows printed"

mkdir "$work/empty"
if PCN_PROGRAM_DIR="$work/empty" "$bin" scan "$plugin" >/dev/null 2>"$work/err"; then fail "scan without lister"; fi
grep -qF "Error loading LDSCNT.so." "$work/err" || { fail "missing lister: message"; cat "$work/err"; }

# Libraries the component names are located where the dynamic loader would
# find them, never loaded here: the one with a constructor leaves no marker,
# and a FIFO named like a library is not found, at once.
namer="$components/elf/libscannamer.so"
mkdir "$work/fifo" && mkfifo "$work/fifo/libpcnfifo.so.1"
PCN_TEST_TRAP="$work/trap-ran" LD_LIBRARY_PATH="$work/fifo:$components/elf/trap" \
  timeout 20 "$bin" scan "$namer" --dynamic >"$work/namer" 2>"$work/namer.err" || { fail "scan of the namer"; cat "$work/namer.err"; }
has_row "$work/namer" "^4 0 $components/elf/trap/libpcntrap\.so\$"
has_row "$work/namer" '^5 0 libpcnfifo\.so\.1$'
grep -qF "libpcnfifo.so.1 not found: $work/fifo/libpcnfifo.so.1: a FIFO, not a library (not opened)" "$work/namer.err" ||
  { fail "a FIFO named like a library: no reason"; cat "$work/namer.err"; }
LD_LIBRARY_PATH="$work/fifo" timeout 20 "$bin" scan "$namer" --dynamic --json >"$work/namer.json" 2>/dev/null
python3 - "$work/namer.json" <<'PY' || fail "--json: the not-found entry carries no reason"
import json, sys
rows = json.load(open(sys.argv[1]))["dependencies"]
fifo = [r for r in rows if r["name"] == "libpcnfifo.so.1"]
assert fifo and fifo[0]["origin"] == 5 and "a FIFO" in fifo[0]["reason"], rows
assert all("reason" not in r for r in rows if r["origin"] != 5), rows
PY
[ -e "$work/trap-ran" ] && fail "a library the component names was loaded: its constructor ran"
# The loader host does not wait on a FIFO given as the component either.
mkfifo "$work/pipe.dll"
timeout 3 "$1/LDSCE" "$work/pipe.dll" 2>/dev/null; [ $? -eq 124 ] && fail "LDSCE blocks on a FIFO"

# Two scans at once: each lists its own host's modules.
if [ -f "$components/pe/cyclea.dll" ]; then
  for round in 1 2 3; do
    "$bin" scan "$plugin" >"$work/a" 2>/dev/null & a=$!
    "$bin" scan "$components/pe/cyclea.dll" >"$work/b" 2>/dev/null & b=$!
    wait $a || fail "concurrent scan A"
    wait $b || fail "concurrent scan B"
    has_row "$work/a" 'libscanhelper\.so$'
    has_row "$work/b" 'cycleb\.dll$'
    grep -q 'cycle' "$work/a" && fail "scan A lists scan B's modules"
    grep -q 'libscan' "$work/b" && fail "scan B lists scan A's modules"
  done
fi

finish
