#!/usr/bin/env bash
# parcelon config and summary end to end: what they print, what --write
# saves, and what they refuse.
source "$(dirname "$0")/../../scripts/test-lib.sh" "$1"
mkdir -p "$work/src/sub"
printf 'hello\n' >"$work/src/readme.txt"
printf 'data' >"$work/src/sub/data.bin"

"$bin" new "$work/Tools.pcp" --kind wizard --company Acme --product Tools --version 2.0 \
  --source "$work/src" --subdirs --target "$work/out" >/dev/null 2>"$work/err" || { cat "$work/err"; fail "new wizard"; }
"$bin" new "$work/Cab.pcp" --company Acme --product Cab --source "$work/src" --target "$work/out" \
  >/dev/null 2>&1 || fail "new cabinet"

# The configuration file: CR LF lines throughout, the keys in order.
"$bin" config "$work/Tools.pcp" >"$work/pcn.cfg" 2>"$work/err" || { cat "$work/err"; fail "config"; }
[ "$(head -c 4 "$work/pcn.cfg" | od -An -tx1 | tr -d ' ')" = 0d0a0d0a ] || fail "config starts with two empty lines"
[ "$(grep -c $'\r$' "$work/pcn.cfg")" = "$(wc -l <"$work/pcn.cfg")" ] || fail "config lines end with CR LF"
tr -d '\r' <"$work/pcn.cfg" | grep -n . | cut -d: -f2 | cut -d= -f1 | tr '\n' ',' >"$work/keys"
expected='[Version],PCN Version,[Config],CompanyName,Copyright,ProductName,Description,Comment,Version,AdgangB,Adgang,TextB,Text,FileB,File,Dir,Exe,CommandLine,ExeDir,DisplayType,DirB,RestoreDirStruct,Mini Setup,Register,'
[ "$(cat "$work/keys")" = "$expected" ] || { fail "config keys"; cat "$work/keys"; echo; }
grep -q $'^CompanyName=Acme\r$' "$work/pcn.cfg" || fail "config company"
[ ! -e "$work/out/Tools/pcn.cfg" ] && [ ! -e "$work/out/pcn.cfg" ] || fail "config wrote a file"
if "$bin" config "$work/Cab.pcp" >/dev/null 2>"$work/err"; then fail "config of a cabinet accepted"; fi
grep -qF "not a Self Extracting Wizard package" "$work/err" || fail "config of a cabinet: message"

# The summary: printed, then saved and read back by an independent reader.
"$bin" summary "$work/Tools.pcp" >"$work/summary.rtf" 2>"$work/err" || { cat "$work/err"; fail "summary"; }
grep -qF '{\rtf1' "$work/summary.rtf" || fail "summary is rich text"
"$bin" summary "$work/Tools.pcp" --write >"$work/out.txt" 2>"$work/err" || { cat "$work/err"; fail "summary --write"; }
doc=$(cat "$work/out.txt")
case "$doc" in */Tools.doc) ;; *) fail "summary --write prints the document: $doc" ;; esac
cmp -s "$doc" "$work/summary.rtf" || fail "saved summary equals the printed one"
if command -v unrtf >/dev/null; then
  unrtf --text "$doc" 2>/dev/null >"$work/summary.txt"
  for line in "Company: Acme" "Output Type: Self Extraction Wizard" "Files Count: 2" "Program to execute: None"; do
    grep -qxF "$line" "$work/summary.txt" || fail "unrtf shows $line"
  done
fi
if "$bin" summary "$work/missing.pcp" >/dev/null 2>"$work/err"; then fail "summary of a missing package accepted"; fi
grep -qF "cannot open" "$work/err" || fail "summary of a missing package: message"

finish
