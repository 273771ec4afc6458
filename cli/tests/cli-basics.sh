#!/usr/bin/env bash
# The package and project commands of parcelon, end to end: what they write,
# what they refuse, and that a refusal writes nothing.
source "$(dirname "$0")/../../scripts/test-lib.sh" "$1"
check() {  # check DESCRIPTION COMMAND...: the command must succeed
  local what=$1; shift
  if ! "$@" >"$work/out" 2>"$work/err"; then fail "$what"; cat "$work/err"; fi
}
refuse() {  # refuse DESCRIPTION EXPECTED-TEXT COMMAND...: must fail and say EXPECTED-TEXT
  local what=$1 text=$2; shift 2
  if "$@" >"$work/out" 2>"$work/err"; then fail "accepted: $what"; return; fi
  grep -qF -- "$text" "$work/err" || { fail "message: $what"; cat "$work/err"; }
}
mkdir -p "$work/src/sub"
printf 'hello\n' >"$work/src/readme.txt"
printf 'x%.0s' {1..1000} >"$work/src/sub/data.bin"

check "new wizard" "$bin" new "$work/Tools.pcp" --kind wizard --company Acme --product Tools --version 2.0 \
  --source "$work/src" --subdirs --target "$work/out"
grep -qx "$work/Tools.pcp" "$work/out" || fail "new prints the package file"
check "show package" "$bin" show "$work/Tools.pcp"
for row in "Tools (Self Extracting Wizard)" "Tools Package [2.0]" "%PROGRAMFILES%\\Tools" "$work/src/sub/data.bin"; do
  grep -qF -- "$row" "$work/out" || fail "show lacks $row"
done
[ "$(stat -c %a "$work/Tools.pcp")" = 600 ] || fail "package file not owner-only"

refuse "existing package file" "exists already" "$bin" new "$work/Tools.pcp" --company A --product B --source "$work/src" --target "$work/out"
refuse "empty company" "Company is a required entry." "$bin" new "$work/X.pcp" --company "" --product B --source "$work/src" --target "$work/out"
refuse "not a .pcp" "must end with .pcp" "$bin" new "$work/X.txt" --company A --product B --source "$work/src" --target "$work/out"
refuse "bad kind" "kind" "$bin" new "$work/X.pcp" --kind zip --company A --product B --source "$work/src" --target "$work/out"
refuse "missing source" "Source folder not found" "$bin" new "$work/X.pcp" --company A --product B --source "$work/nowhere" --target "$work/out"
[ ! -e "$work/X.pcp" ] && [ ! -e "$work/X.txt" ] || fail "a refused new wrote a file"

check "second package" "$bin" new "$work/Cab.pcp" --company Acme --product Cab --source "$work/src" --target "$work/out" --span 720000
check "project add" "$bin" project "$work/p.pcn" add "$work/Tools.pcp"
check "project add 2" "$bin" project "$work/p.pcn" add "$work/Cab.pcp"
refuse "add twice" "already" "$bin" project "$work/p.pcn" add "$work/Tools.pcp"
check "project list" "$bin" project "$work/p.pcn" list
[ "$(wc -l <"$work/out")" = 2 ] && grep -qF "Cab (Cabinet)" "$work/out" || { fail "list"; cat "$work/out"; }
check "show project" "$bin" show "$work/p.pcn"
grep -qF "Tools (Self Extracting Wizard)" "$work/out" || fail "show project"
check "project remove" "$bin" project "$work/p.pcn" remove "$work/Tools.pcp"
check "project list after remove" "$bin" project "$work/p.pcn" list
[ "$(wc -l <"$work/out")" = 1 ] || fail "remove"
refuse "remove unknown" "does not list" "$bin" project "$work/p.pcn" remove "$work/Tools.pcp"
cp "$work/p.pcn" "$work/before.pcn"
refuse "pcp as project" "not a project" "$bin" project "$work/Cab.pcp" list
printf 'garbage' >"$work/bad.pcn"
refuse "damaged project" "Failed to open document." "$bin" show "$work/bad.pcn"
head -c 40 "$work/Cab.pcp" >"$work/bad.pcp"
refuse "truncated package" "Unexpected file format." "$bin" show "$work/bad.pcp"
cmp -s "$work/p.pcn" "$work/before.pcn" || fail "a refused command changed the project"
refuse "no command" "" "$bin"
check "help" "$bin" --help
check "version" "$bin" --version

finish
