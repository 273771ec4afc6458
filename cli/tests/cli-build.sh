#!/usr/bin/env bash
# parcelon build end to end: a project's packages built, saved back and
# checked with cabextract; a missing source answered No fails with no output.
source "$(dirname "$0")/../../scripts/test-lib.sh" "$1"

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
head -n 1 "$work/out/Alpha/Alpha.Inf" | grep -q '^;Alpha' || fail "Alpha's INF holds the generated text, not nothing"
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
grep -q "Failed to build project." "$work/err" || fail "failure reported"
[ ! -s "$work/outputs" ] && [ ! -e "$work/out/Alpha/Alpha.CAB" ] || fail "no output after a refused build"
"$bin" show "$work/A.pcp" | grep -q "Needs Rebuild:.*Yes" || fail "failed build marks the package for rebuild"
"$bin" build "$work/nothing.pcp" >/dev/null 2>&1 && fail "missing package file accepted"

# Exit codes that tell the truth.
seq 1 20000 >"$work/src/docs/numbers.txt"
mkdir -p "$work/small"
echo "small" >"$work/small/small.txt"
rm -rf "$work/out"

# A package of the project that cannot be loaded: the others are built, the
# build fails and names it.
"$bin" new "$work/C.pcp" --company Acme --product Gamma --source "$work/small" --target "$work/out" \
  --no-signature >/dev/null 2>&1 || fail "new C"
"$bin" project "$work/p.pcn" add "$work/C.pcp" >/dev/null 2>&1 || fail "add C"
printf 'damaged' >"$work/C.pcp"
"$bin" build "$work/p.pcn" --yes >"$work/outputs" 2>"$work/err"
rc=$?
[ "$rc" -eq 1 ] || fail "a project with a package not loaded exits $rc"
grep -q "C.pcp" "$work/err" || fail "the package not loaded is named: $(cat "$work/err")"
grep -qx "$work/out/Alpha/Alpha.CAB" "$work/outputs" || fail "the loaded packages are still built"

# A built package whose file cannot be saved (larger than the file size limit
# here, as on a full disk) fails: its build results would be lost.
"$bin" new "$work/Big.pcp" --company Acme --product Big --description "$(head -c 60000 /dev/zero | tr '\0' d)" \
  --source "$work/small" --target "$work/out" --no-signature --no-inf >/dev/null 2>&1 || fail "new Big"
(trap '' XFSZ; ulimit -f 40; exec "$bin" build "$work/Big.pcp" >/dev/null 2>"$work/err")
rc=$?
[ "$rc" -eq 1 ] || fail "a package that cannot be saved exits $rc"
grep -q "cannot save" "$work/err" || fail "the save failure is reported: $(cat "$work/err")"

# Line breaks cannot reach pcn.cfg from the command line.
"$bin" new "$work/Nl.pcp" --company Acme --product Nl --description $'Tools\nExe=evil.exe' --source "$work/small" \
  --target "$work/out" --no-signature >/dev/null 2>"$work/err" && fail "a description with a line break accepted"
grep -q "Package Description" "$work/err" && [ ! -e "$work/Nl.pcp" ] || fail "line break refused by name, nothing written"

# Signing through a stand-in SignCode that records its arguments: a time stamp
# server is one argument whatever it holds, and a failed time stamp exits 3.
fake="$work/fake-tools"
mkdir -p "$fake"
cat >"$fake/SignCode" <<EOS
#!/bin/sh
for a in "\$@"; do printf '[%s]\\n' "\$a"; done >>"$work/calls"
case "\$*" in *" -x "*) echo "Error: no server";; *) echo Succeeded;; esac
EOS
chmod +x "$fake/SignCode"
: >"$work/me.spc"
: >"$work/me.pvk"
echo data >"$work/tosign.exe"
PCN_PROGRAM_DIR="$fake" "$bin" sign "$work/tosign.exe" --spc "$work/me.spc" --key "$work/me.pvk" --no-check-trust \
  --timestamp-url 'http://stamp.example/a" -evil @FileName@' >/dev/null 2>&1
rc=$?
[ "$rc" -eq 3 ] || fail "sign with a failed time stamp exits $rc"
grep -qxF '[http://stamp.example/a" -evil @FileName@]' "$work/calls" || fail "server passed as one argument: $(cat "$work/calls")"

# A build whose outputs are complete but not signed exits 3 and lists them.
"$bin" new "$work/S.pcp" --company Acme --product Signed --source "$work/small" --target "$work/out" \
  --spc "$work/me.spc" --key "$work/me.pvk" --no-timestamp --no-inf >/dev/null 2>&1 || fail "new S"
printf '#!/bin/sh\necho "Error: cannot sign"\n' >"$fake/SignCode"
PCN_PROGRAM_DIR="$fake" "$bin" build "$work/S.pcp" >"$work/outputs" 2>"$work/err"
rc=$?
[ "$rc" -eq 3 ] || fail "a build with unsigned outputs exits $rc: $(cat "$work/err")"
grep -qx "$work/out/Signed/Signed.CAB" "$work/outputs" || fail "unsigned but complete outputs listed"

finish
