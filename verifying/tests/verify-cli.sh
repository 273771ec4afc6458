#!/usr/bin/env bash
# parcelon list, extract and verify end to end on packages built by parcelon,
# checked against cabextract, and on copies broken on purpose in one way each.
source "$(dirname "$0")/../../scripts/test-lib.sh" "$1"

mkdir -p "$work/src/docs"
head -c 200000 /dev/urandom >"$work/src/data.bin"
seq 1 30000 >"$work/src/docs/numbers.txt"
echo "read me" >"$work/src/readme.txt"
"$bin" new "$work/Span.pcp" --company Acme --product Span --source "$work/src" --subdirs --target "$work/out" \
  --no-signature --span 100000 >/dev/null 2>&1 || fail "new Span"
"$bin" build "$work/Span.pcp" --yes >/dev/null 2>&1 || fail "build Span"
span="$work/out/Span"

# list: a set made with sub-folders, whole from its first or a later
# cabinet, as cabextract sees it.
"$bin" cab "$work/set/Set.CAB" --source-root "$work/src" "$work/src" --span 100000 >/dev/null 2>&1 || fail "cab set"
"$bin" list "$work/set/Set.CAB" >"$work/list" 2>"$work/err" || { fail "list Set.CAB"; cat "$work/err"; }
for name in data.bin 'docs\numbers.txt' readme.txt; do
  grep -qF " $name" "$work/list" || fail "list names $name"
done
grep -q '^3 files, ' "$work/list" || fail "list counts 3 files: $(tail -1 "$work/list")"
cabextract -l "$work/set/Set.CAB" 2>/dev/null | awk -F'|' '/\|/ && $1 ~ /[0-9]/ {gsub(/ /,"",$1); print $1}' | sort -n >"$work/sizes.cabextract"
grep -E '^ +[0-9,]+  [0-9]{4}-' "$work/list" | awk '{gsub(/,/,"",$1); print $1}' | sort -n >"$work/sizes.ours"
[ -s "$work/sizes.ours" ] && cmp -s "$work/sizes.cabextract" "$work/sizes.ours" || fail "list sizes agree with cabextract -l"
"$bin" list "$work/set/Set3.CAB" >"$work/list3" 2>/dev/null || fail "list from the last cabinet"
cmp -s "$work/list" "$work/list3" || fail "list from any cabinet shows the same set"

# extract: byte-identical to the source, sub-folders kept.
"$bin" extract "$work/set/Set2.CAB" -d "$work/x" >/dev/null 2>"$work/err" || { fail "extract"; cat "$work/err"; }
cmp -s "$work/x/data.bin" "$work/src/data.bin" && cmp -s "$work/x/docs/numbers.txt" "$work/src/docs/numbers.txt" \
  || fail "extract writes the files byte-identical"

# LZX of every window and stored data, as our engine writes them, read back
# by libmspack: listed with their method, verified, extracted byte for byte.
for method in "--lzx=15" "--lzx=21" "--no-compression"; do
  rm -rf "$work/m" "$work/mx"
  "$bin" cab "$work/m/M.CAB" "$work/src" --source-root "$work/src" $method >/dev/null 2>&1 || fail "cab $method"
  want=$(case $method in --lzx=*) echo "LZX:${method#--lzx=}" ;; *) echo none ;; esac)
  [ "$("$bin" list "$work/m/M.CAB" 2>/dev/null | grep -c " $want ")" = 3 ] || fail "list $method does not show $want"
  "$bin" verify "$work/m/M.CAB" >/dev/null 2>&1 || fail "verify $method"
  "$bin" extract "$work/m/M.CAB" -d "$work/mx" >/dev/null 2>&1 && cmp -s "$work/mx/data.bin" "$work/src/data.bin" \
    && cmp -s "$work/mx/docs/numbers.txt" "$work/src/docs/numbers.txt" || fail "extract $method"
done
# Extracted files get the cabinet's date (the source's, to the two seconds
# a cabinet keeps) and its read-only attribute.
touch -d '2024-03-05 06:07:08' "$work/src/readme.txt"
chmod a-w "$work/src/readme.txt"
"$bin" cab "$work/ro/R.CAB" "$work/src/readme.txt" >/dev/null 2>&1 || fail "cab read-only"
chmod u+w "$work/src/readme.txt"
"$bin" list "$work/ro/R.CAB" 2>/dev/null | grep -q ' 2024-03-05 06:07:08  R--A ' || fail "list shows the date and R: $("$bin" list "$work/ro/R.CAB" 2>&1)"
"$bin" extract "$work/ro/R.CAB" -d "$work/rx" >/dev/null 2>&1 || fail "extract read-only"
[ "$(date -r "$work/rx/readme.txt" '+%F %T')" = "2024-03-05 06:07:08" ] || fail "extract keeps the date: $(date -r "$work/rx/readme.txt")"
[ "$(stat -c %A "$work/rx/readme.txt")" = "-r--r--r--" ] || fail "extract keeps read-only: $(stat -c %A "$work/rx/readme.txt")"

# verify: a whole set holds.
"$bin" verify "$work/Span.pcp" >"$work/v" 2>/dev/null
rc=$?
[ "$rc" -eq 0 ] || { fail "verify of a good package exits $rc"; cat "$work/v"; }
grep -q 'whole set of' "$work/v" || fail "verify reports the whole set"
grep -q 'decompress and match' "$work/v" || fail "verify checks the data"

# --against-source: every stored file is its source, byte for byte; a source
# changed since the build is named with the first byte that differs.
"$bin" verify --against-source "$work/Span.pcp" >"$work/v" 2>/dev/null || fail "verify --against-source of a fresh build"
grep -q '^ok .*all 3 files are byte-identical to their sources' "$work/v" || { fail "the source comparison holds"; cat "$work/v"; }
cp "$work/src/docs/numbers.txt" "$work/numbers.keep"
printf 'X' | dd of="$work/src/docs/numbers.txt" bs=1 seek=1000 conv=notrunc 2>/dev/null
"$bin" verify --against-source "$work/Span.pcp" >"$work/v" 2>/dev/null && fail "a changed source passes --against-source"
grep -q '^FAIL .*numbers.txt differs from its source .* from byte 1,000 on' "$work/v" || { fail "the changed source is named"; cat "$work/v"; }
cp "$work/numbers.keep" "$work/src/docs/numbers.txt"

# --json: the same checks as one object.
"$bin" verify --json "$work/Span.pcp" >"$work/json" 2>/dev/null || fail "verify --json"
python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); assert d["exitCode"]==0 and d["checks"] and all(c["verdict"]=="holds" for c in d["checks"])' \
  "$work/json" || fail "verify --json gives the checks as JSON"

# Broken on purpose: a flipped byte in a data block.
cp -r "$span" "$work/flip"
size=$(stat -c %s "$work/flip/Span1.CAB")
printf '\xff' | dd of="$work/flip/Span1.CAB" bs=1 seek=$((size - 5000)) conv=notrunc 2>/dev/null
"$bin" verify "$work/flip/Span1.CAB" >"$work/v" 2>/dev/null && fail "verify of a flipped byte exits 0"
grep -q '^FAIL.*checksum' "$work/v" || { fail "the flipped byte is named as a checksum failure"; cat "$work/v"; }
"$bin" extract "$work/flip/Span1.CAB" -d "$work/fx" >/dev/null 2>&1 && fail "extract of damaged data exits 0"

# Broken on purpose: a continuation cabinet gone.
cp -r "$span" "$work/gone"
rm "$work/gone/Span3.CAB"
"$bin" verify "$work/gone/Span1.CAB" >"$work/v" 2>/dev/null && fail "verify without the third cabinet exits 0"
grep -q '^FAIL.*Span3.CAB is missing' "$work/v" || { fail "the missing cabinet is named"; cat "$work/v"; }
"$bin" list "$work/gone/Span1.CAB" >/dev/null 2>&1 && fail "list of an incomplete set exits 0"

# Broken on purpose: a cabinet of another set in place of the second.
cp -r "$span" "$work/mixed"
"$bin" cab "$work/other/Span.CAB" "$work/src/readme.txt" >/dev/null 2>&1
cp "$work/other/Span.CAB" "$work/mixed/Span2.CAB"
"$bin" verify "$work/mixed/Span1.CAB" >"$work/v" 2>/dev/null && fail "verify with a foreign second cabinet exits 0"
grep -q '^FAIL' "$work/v" || fail "the foreign cabinet fails"

# Hostile set names: a next cabinet outside the folder is never followed, and
# a set that names a cabinet of itself again ends.
cp -r "$span" "$work/hostile"
cp "$span/Span2.CAB" "$work/n2.CAB"
python3 - "$work/hostile/Span1.CAB" "$work/hostile/Span2.CAB" <<'PY'
import sys
def patch(path, old, new):
    b = open(path, 'rb').read(); assert old in b; open(path, 'wb').write(b.replace(old, new, 1))
patch(sys.argv[1], b'Span2.CAB\0', b'../n2.CAB\0')
patch(sys.argv[2], b'Span3.CAB\0', b'Span1.CAB\0')
PY
timeout 20 "$bin" verify "$work/hostile/Span1.CAB" >"$work/v" 2>/dev/null && fail "a climbing next name passes"
grep -q '^FAIL.*\.\./n2.CAB is missing' "$work/v" || { fail "a climbing next name is not followed"; cat "$work/v"; }
timeout 20 "$bin" list "$work/hostile/Span2.CAB" >/dev/null 2>"$work/err" && fail "a set naming itself again lists cleanly"
grep -q 'already in the set' "$work/err" || { fail "the repeated cabinet is named"; cat "$work/err"; }

# Names Windows cannot take: nothing is extracted, every name is listed.
mkdir -p "$work/bad"
echo x >"$work/bad/AUX.txt"
echo y >"$work/bad/fine.txt"
(cd "$work/bad" && gcab -c "$work/bad.cab" AUX.txt fine.txt) >/dev/null 2>&1
"$bin" extract "$work/bad.cab" -d "$work/bx" >/dev/null 2>"$work/err" && fail "extract of a reserved name exits 0"
grep -q 'AUX.txt' "$work/err" || fail "the unsafe name is named"
[ ! -e "$work/bx/fine.txt" ] || fail "nothing is extracted when a name is unsafe"
# A name that climbs out of the folder, patched into a good cabinet.
(cd "$work/src" && gcab -c "$work/climb.cab" docs/numbers.txt) >/dev/null 2>&1
python3 - "$work/climb.cab" <<'PY'
import sys
p = sys.argv[1]; b = bytearray(open(p, 'rb').read())
i = b.find(b'docs\\numbers.txt'); b[i:i+4] = b'..\\.'
open(p, 'wb').write(bytes(b))
PY
"$bin" extract "$work/climb.cab" -d "$work/cx/in" >/dev/null 2>"$work/err" && fail "extract of a climbing name exits 0"
[ -z "$(find "$work/cx" -type f 2>/dev/null)" ] || fail "a climbing name writes nothing"
"$bin" verify "$work/climb.cab" >"$work/v" 2>/dev/null && fail "verify of a climbing name exits 0"

# Not a cabinet at all; a truncated one.
echo "plain text" >"$work/text.cab"
"$bin" list "$work/text.cab" >/dev/null 2>"$work/err" && fail "list of a text file exits 0"
grep -q 'no cabinet' "$work/err" || fail "a text file is called no cabinet: $(cat "$work/err")"
head -c 3000 "$span/Span1.CAB" >"$work/short.cab"
"$bin" verify "$work/short.cab" >/dev/null 2>&1 && fail "verify of a truncated cabinet exits 0"

# The conventions every command keeps: usage errors exit 2 with a hint, a
# mistyped command gets the nearest one, list --json parses, Ctrl-C ends a
# long verify with "cancelled" and 130, the manual pages document the codes.
"$bin" verify >/dev/null 2>"$work/err"; [ $? -eq 2 ] || fail "verify without FILE does not exit 2"
grep -q "^Try 'parcelon verify --help'" "$work/err" || fail "verify without FILE gives no hint: $(cat "$work/err")"
"$bin" verfy "$work/Span.pcp" >/dev/null 2>"$work/err"; [ $? -eq 2 ] || fail "verfy does not exit 2"
grep -qF "Did you mean 'verify'?" "$work/err" || fail "no closest command for verfy: $(cat "$work/err")"
"$bin" list --json "$work/set/Set2.CAB" >"$work/json" 2>/dev/null || fail "list --json"
python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); assert [c["index"] for c in d["cabinets"]]==[0,1,2] and sorted(f["name"] for f in d["files"])==["data.bin","docs\\numbers.txt","readme.txt"] and d["problems"]==[]' \
  "$work/json" || fail "list --json: $(cat "$work/json")"
"$bin" list --json "$work/gone/Span1.CAB" >"$work/json" 2>/dev/null && fail "list --json of an incomplete set exits 0"
python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); assert any("Span3.CAB is missing" in p for p in d["problems"])' \
  "$work/json" || fail "list --json names the missing cabinet: $(cat "$work/json")"
seq 1 3000000 >"$work/long.txt"
"$bin" cab "$work/long.CAB" "$work/long.txt" --level fast >/dev/null 2>&1 || fail "cab long"
long=(); for _ in $(seq 200); do long+=("$work/long.CAB"); done
"$bin" verify "${long[@]}" >"$work/v" 2>"$work/err" &
pid=$!
sleep 1
kill -INT $pid
wait $pid
rc=$?
[ "$rc" -eq 130 ] || fail "verify after Ctrl-C exits $rc, not 130"
grep -qx cancelled "$work/err" || fail "verify after Ctrl-C: no 'cancelled': $(cat "$work/err")"
grep -q 'checks:' "$work/v" && fail "a cancelled verify still prints a summary as if it had finished"
"$bin" generate man "$work/man" || fail "generate man"
for page in verify list extract; do
  [ -f "$work/man/parcelon-$page.1" ] || fail "no manual page parcelon-$page"
done
grep -q '^\.B 3$' "$work/man/parcelon-verify.1" && grep -q '^\.B 130$' "$work/man/parcelon-verify.1" \
  || fail "parcelon-verify(1) does not document exit status 3 and 130"

finish
