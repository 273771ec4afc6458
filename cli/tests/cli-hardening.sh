#!/usr/bin/env bash
# What the command line does with hostile surroundings: a site file it must
# not wipe, package files that vanish, concurrent runs, questions nobody can
# answer, FIFOs and devices, link loops. Each check names what it guards.
source "$(dirname "$0")/../../scripts/test-lib.sh" "$1"
mkdir -p "$work/data" "$work/src"
printf 'hello\n' >"$work/src/readme.txt"

new_package() {  # new_package NAME [options...]
  local name=$1; shift
  "$bin" new "$work/$name.pcp" --company Acme --product "$name" --source "$work/src" --target "$work/out" "$@" \
    >/dev/null 2>"$work/err" || { fail "new $name"; cat "$work/err"; }
}

# --- the FTP site file: two sites, passwords included ----------------------------------
python3 - "$work/data/PCNFtp.pftp" <<'PY'
import struct, sys
def s(t): return bytes([len(t)]) + t.encode()
site = lambda d: s(d) + s("ftp.example.com") + s("secret-" + d) + struct.pack("<i", 21) + s("user") + s("/pub") + struct.pack("<i", 1)
open(sys.argv[1], "wb").write(struct.pack("<i", 2) + site("One") + site("Two"))
PY
cp "$work/data/PCNFtp.pftp" "$work/sites.orig"
new_package A
"$bin" project "$work/new.pcn" add "$work/A.pcp" >/dev/null 2>&1 || fail "project add to a new project"
cmp -s "$work/data/PCNFtp.pftp" "$work/sites.orig" || fail "project add rewrote the FTP site file"

# A damaged site file is put aside whole, and the user is told.
head -c 60 "$work/sites.orig" >"$work/data/PCNFtp.pftp"
new_package B
"$bin" project "$work/new.pcn" add "$work/B.pcp" >/dev/null 2>"$work/err" || fail "project add with damaged sites"
grep -qF "PCNFtp.pftp.damaged" "$work/err" || { fail "the damaged site file was not reported"; cat "$work/err"; }
cmp -s "$work/data/PCNFtp.pftp.damaged" <(head -c 60 "$work/sites.orig") || fail "the damaged site file was not kept"
cp "$work/sites.orig" "$work/data/PCNFtp.pftp"

# --- package files that cannot be loaded keep their place -------------------------------
new_package C
"$bin" project "$work/new.pcn" add "$work/C.pcp" >/dev/null 2>&1 || fail "add C"
mv "$work/A.pcp" "$work/A.away"
printf 'garbage' >"$work/B.pcp"
new_package D
"$bin" project "$work/new.pcn" add "$work/D.pcp" >/dev/null 2>&1 || fail "add D with A missing and B damaged"
"$bin" project "$work/new.pcn" list >"$work/list" 2>/dev/null
expected="A.pcp (not loaded)	$work/A.pcp
B.pcp (not loaded)	$work/B.pcp
C (Cabinet)	$work/C.pcp
D (Cabinet)	$work/D.pcp"
[ "$(cat "$work/list")" = "$expected" ] || { fail "not-loaded packages lost their place"; cat "$work/list"; }
[ "$(cat "$work/B.pcp")" = garbage ] || fail "a damaged package file was overwritten"
"$bin" project "$work/new.pcn" remove "$work/B.pcp" >/dev/null 2>&1 || fail "remove a damaged package"
mv "$work/A.away" "$work/A.pcp"
"$bin" project "$work/new.pcn" list >"$work/list" 2>/dev/null
[ "$(cut -f1 "$work/list" | tr '\n' ,)" = "A (Cabinet),C (Cabinet),D (Cabinet)," ] || { fail "remove of a damaged package"; cat "$work/list"; }

# --- concurrent runs --------------------------------------------------------------------
for i in $(seq 1 24); do new_package "P$i"; done
for i in $(seq 1 24); do "$bin" project "$work/many.pcn" add "$work/P$i.pcp" >/dev/null 2>&1 & done
wait
[ "$("$bin" project "$work/many.pcn" list 2>/dev/null | wc -l)" = 24 ] || fail "concurrent project adds lost packages"
ok=0
for i in 1 2 3 4 5 6; do
  "$bin" new "$work/same.pcp" --company Acme --product "Same$i" --source "$work/src" --target "$work/out" \
    >/dev/null 2>&1 && echo ok >>"$work/same.ok" &
done
wait
[ "$(wc -l <"$work/same.ok")" = 1 ] || fail "concurrent new of one package file: $(wc -l <"$work/same.ok") succeeded"

# --- a Retry/Cancel question with nobody to answer it -----------------------------------
new_package Signed --spc "$work/missing.spc" --key "$work/missing.pvk"
for answer in "" --no --yes; do
  timeout 60 "$bin" build "$work/Signed.pcp" $answer </dev/null >/dev/null 2>"$work/err"
  rc=$?
  [ "$rc" -ne 124 ] || fail "build with a missing key ($answer) did not end"
  retries=$(grep -c '^retry$' "$work/err")
  [ "$retries" -le 1 ] && [ "$(wc -c <"$work/err")" -lt 20000 ] || fail "build with a missing key ($answer) kept retrying"
done

# --- FIFOs and devices --------------------------------------------------------------------
mkdir "$work/src2"
printf 'x' >"$work/src2/turns-fifo.dll"
"$bin" new "$work/Fifo.pcp" --company Acme --product Fifo --source "$work/src2" --target "$work/out" >/dev/null 2>&1
rm "$work/src2/turns-fifo.dll"
mkfifo "$work/src2/turns-fifo.dll" "$work/src/pipe"
timeout 30 "$bin" inf "$work/Fifo.pcp" </dev/null >/dev/null 2>&1
[ $? != 124 ] || fail "inf hung on a FIFO in the file table"
timeout 30 "$bin" build "$work/Fifo.pcp" </dev/null >/dev/null 2>"$work/err"
rc=$?
[ "$rc" != 124 ] && [ "$rc" != 0 ] && grep -qF "$work/src2/turns-fifo.dll" "$work/err" \
  || { fail "build with a FIFO in the file table: exit $rc"; cat "$work/err"; }
timeout 30 "$bin" cab "$work/fifo.cab" "$work/src/pipe" >/dev/null 2>"$work/err"
rc=$?
[ "$rc" = 1 ] && grep -qF "Failure opening file to be stored in cabinet(FCIERR_OPEN_SRC): $work/src/pipe" "$work/err" \
  || { fail "cab with a FIFO: exit $rc"; cat "$work/err"; }
timeout 30 "$bin" cab "$work/dev.cab" /dev/zero >/dev/null 2>"$work/err"
[ $? = 1 ] || fail "cab with a device"
timeout 30 "$bin" info "$work/src/pipe" >/dev/null 2>"$work/err"
[ $? = 1 ] || fail "info on a FIFO"
mkfifo "$work/pipe.pcp"
timeout 30 "$bin" show "$work/pipe.pcp" >/dev/null 2>&1
[ $? = 1 ] || fail "show on a FIFO"

# --- link loops in the source folder -------------------------------------------------------
mkdir -p "$work/loop/a"
printf 'x' >"$work/loop/a/file.txt"
ln -s .. "$work/loop/a/up"
ln -s . "$work/loop/self"
timeout 30 "$bin" new "$work/Loop.pcp" --company Acme --product Loop --source "$work/loop" --subdirs \
  --target "$work/out" >/dev/null 2>"$work/err" || fail "new over a link loop"
grep -qF "link loop" "$work/err" || fail "the link loop was not reported"
[ "$("$bin" show "$work/Loop.pcp" | grep -c 'file.txt')" = 1 ] || fail "a file was added more than once through a loop"

finish
