#!/usr/bin/env bash
# The package and project commands of parcelon, end to end: what they write,
# what they refuse, and that a refusal writes nothing.
set -u
bin="$1/parcelon"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export PCN_SETTINGS="$work/settings.conf" PCN_DATA_DIR="$work/data"
failures=0
check() {  # check DESCRIPTION COMMAND...: the command must succeed
  local what=$1; shift
  if ! "$@" >"$work/out" 2>"$work/err"; then echo "FAIL: $what"; cat "$work/err"; failures=$((failures+1)); fi
}
refuse() {  # refuse DESCRIPTION EXPECTED-TEXT COMMAND...: must fail and say EXPECTED-TEXT
  local what=$1 text=$2; shift 2
  if "$@" >"$work/out" 2>"$work/err"; then echo "FAIL (accepted): $what"; failures=$((failures+1)); return; fi
  grep -qF -- "$text" "$work/err" || { echo "FAIL (message): $what"; cat "$work/err"; failures=$((failures+1)); }
}
mkdir -p "$work/src/sub"
printf 'hello\n' >"$work/src/readme.txt"
printf 'x%.0s' {1..1000} >"$work/src/sub/data.bin"

check "new wizard" "$bin" new "$work/Tools.pcp" --kind wizard --company Acme --product Tools --version 2.0 \
  --source "$work/src" --subdirs --target "$work/out"
grep -qx "$work/Tools.pcp" "$work/out" || { echo "FAIL: new prints the package file"; failures=$((failures+1)); }
check "show package" "$bin" show "$work/Tools.pcp"
for row in "Tools (Self Extracting Wizard)" "Tools Package [2.0]" "%PROGRAMFILES%\\Tools" "$work/src/sub/data.bin"; do
  grep -qF -- "$row" "$work/out" || { echo "FAIL: show lacks $row"; failures=$((failures+1)); }
done
[ "$(stat -c %a "$work/Tools.pcp")" = 600 ] || { echo "FAIL: package file not owner-only"; failures=$((failures+1)); }

refuse "existing package file" "exists already" "$bin" new "$work/Tools.pcp" --company A --product B --source "$work/src" --target "$work/out"
refuse "empty company" "Company is a required entry." "$bin" new "$work/X.pcp" --company "" --product B --source "$work/src" --target "$work/out"
refuse "not a .pcp" "must end with .pcp" "$bin" new "$work/X.txt" --company A --product B --source "$work/src" --target "$work/out"
refuse "bad kind" "kind" "$bin" new "$work/X.pcp" --kind zip --company A --product B --source "$work/src" --target "$work/out"
refuse "missing source" "Source folder not found" "$bin" new "$work/X.pcp" --company A --product B --source "$work/nowhere" --target "$work/out"
[ ! -e "$work/X.pcp" ] && [ ! -e "$work/X.txt" ] || { echo "FAIL: a refused new wrote a file"; failures=$((failures+1)); }

check "second package" "$bin" new "$work/Cab.pcp" --company Acme --product Cab --source "$work/src" --target "$work/out" --span 720000
check "project add" "$bin" project "$work/p.pcn" add "$work/Tools.pcp"
check "project add 2" "$bin" project "$work/p.pcn" add "$work/Cab.pcp"
refuse "add twice" "already" "$bin" project "$work/p.pcn" add "$work/Tools.pcp"
check "project list" "$bin" project "$work/p.pcn" list
[ "$(wc -l <"$work/out")" = 2 ] && grep -qF "Cab (Cabinet)" "$work/out" || { echo "FAIL: list"; cat "$work/out"; failures=$((failures+1)); }
check "show project" "$bin" show "$work/p.pcn"
grep -qF "Tools (Self Extracting Wizard)" "$work/out" || { echo "FAIL: show project"; failures=$((failures+1)); }
check "project remove" "$bin" project "$work/p.pcn" remove "$work/Tools.pcp"
check "project list after remove" "$bin" project "$work/p.pcn" list
[ "$(wc -l <"$work/out")" = 1 ] || { echo "FAIL: remove"; failures=$((failures+1)); }
refuse "remove unknown" "does not list" "$bin" project "$work/p.pcn" remove "$work/Tools.pcp"
cp "$work/p.pcn" "$work/before.pcn"
refuse "pcp as project" "not a project" "$bin" project "$work/Cab.pcp" list
printf 'garbage' >"$work/bad.pcn"
refuse "damaged project" "Failed to open document." "$bin" show "$work/bad.pcn"
head -c 40 "$work/Cab.pcp" >"$work/bad.pcp"
refuse "truncated package" "Unexpected file format." "$bin" show "$work/bad.pcp"
cmp -s "$work/p.pcn" "$work/before.pcn" || { echo "FAIL: a refused command changed the project"; failures=$((failures+1)); }
refuse "no command" "" "$bin"
check "help" "$bin" --help
check "version" "$bin" --version

echo "cli-basics: $failures failures"
[ "$failures" -eq 0 ]
