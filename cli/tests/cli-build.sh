#!/usr/bin/env bash
# parcelon build end to end: a project's packages built, saved back and
# checked with cabextract; a missing source answered No fails with no output.
set -u
bin="$1/parcelon"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export PCN_SETTINGS="$work/settings.conf" PCN_DATA_DIR="$work/data"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures+1)); }

mkdir -p "$work/src/docs"
head -c 300000 /dev/urandom >"$work/src/data.bin"
seq 1 20000 >"$work/src/docs/numbers.txt"
"$bin" new "$work/A.pcp" --company Acme --product Alpha --source "$work/src" --subdirs --target "$work/out" --no-signature >/dev/null 2>&1 || fail "new A"
"$bin" new "$work/B.pcp" --company Acme --product Beta --source "$work/src" --subdirs --target "$work/out" --no-signature \
  --no-compression --span 100000 --no-inf >/dev/null 2>&1 || fail "new B"
"$bin" project "$work/p.pcn" add "$work/A.pcp" >/dev/null 2>&1
"$bin" project "$work/p.pcn" add "$work/B.pcp" >/dev/null 2>&1

"$bin" build "$work/p.pcn" >"$work/outputs" 2>"$work/err" || { fail "build project"; cat "$work/err"; }
grep -qx "$work/out/Alpha/Alpha.CAB" "$work/outputs" || fail "Alpha.CAB listed"
[ "$(grep -c 'Beta[0-9]*\.CAB$' "$work/outputs")" -ge 4 ] || fail "Beta spans at least 4 cabinets"
[ -f "$work/out/Alpha/Alpha.Inf" ] || fail "Alpha's INF written"
mkdir "$work/x"
cabextract -q -d "$work/x" "$work/out/Beta/Beta1.CAB" >/dev/null 2>&1 || fail "cabextract Beta set"
cmp -s "$work/x/data.bin" "$work/src/data.bin" && cmp -s "$work/x/numbers.txt" "$work/src/docs/numbers.txt" \
  || fail "Beta set extracts byte-identical"
cabextract -t "$work/out/Alpha/Alpha.CAB" >/dev/null 2>&1 || fail "cabextract -t Alpha"
"$bin" show "$work/A.pcp" | grep -q "Needs Rebuild:.*No" || fail "package saved back as built"

# Only the package asked for.
rm -rf "$work/out"
"$bin" build "$work/p.pcn" --package Beta >"$work/outputs" 2>/dev/null || fail "build --package"
[ ! -e "$work/out/Alpha" ] || fail "--package built another package"
"$bin" build "$work/p.pcn" --package Gamma >/dev/null 2>&1 && fail "unknown --package accepted"

# A source file gone: answered No, the build fails and lists nothing.
rm "$work/src/docs/numbers.txt"
rm -rf "$work/out"
"$bin" build "$work/A.pcp" --no >"$work/outputs" 2>"$work/err" && fail "build with a missing file answered No succeeded"
grep -q "Some or all project source files are missing." "$work/err" || fail "missing-file question asked"
grep -q "Failed to build project?" "$work/err" || fail "failure reported"
[ ! -s "$work/outputs" ] && [ ! -e "$work/out/Alpha/Alpha.CAB" ] || fail "no output after a refused build"
"$bin" show "$work/A.pcp" | grep -q "Needs Rebuild:.*Yes" || fail "failed build marks the package for rebuild"
"$bin" build "$work/nothing.pcp" >/dev/null 2>&1 && fail "missing package file accepted"

echo "cli-build: $failures failures"
[ "$failures" -eq 0 ]
