#!/usr/bin/env bash
# Package build speed: `parcelon build` of a package of 10,000 small files and
# of one of about 1 GB of mixed data, each beside `gcab -c -z` on the same
# files. Prints wall time, MB/s and peak memory. Figures, not a pass/fail test.
#
#   bench/build-speed.sh [BUILD]    (BUILD: the build tree, default out)
# Environment: PCN_BENCH_DIR (work folder), PCN_BENCH_BIG_MB (size of the big
# package, default 1024).
set -euo pipefail
BUILD=${1:-out}
PARCELON=$(cd "$BUILD/bin" && pwd)/parcelon
WORK=${PCN_BENCH_DIR:-${TMPDIR:-/tmp}/pcn-build-bench}
BIG_MB=${PCN_BENCH_BIG_MB:-1024}
export PCN_SETTINGS="$WORK/settings.conf" PCN_DATA_DIR="$WORK/data"

rm -rf "$WORK"
mkdir -p "$WORK/small" "$WORK/big"

# 10,000 small text-like files (0.5 to 8 KB) in 100 folders.
python3 - "$WORK/small" <<'PY'
import os, random, sys
random.seed(7)
words = open("/usr/share/dict/words").read().split() if os.path.exists("/usr/share/dict/words") else \
        ["tide", "harbour", "constant", "phase", "amplitude", "table", "water", "north", "sea", "chart"]
for i in range(10000):
    d = os.path.join(sys.argv[1], "d%02d" % (i // 100))
    os.makedirs(d, exist_ok=True)
    n = random.randint(500, 8000)
    text = []
    while sum(map(len, text)) < n:
        text.append(random.choice(words))
    open(os.path.join(d, "f%05d.txt" % i), "w").write(" ".join(text)[:n])
PY

# About BIG_MB of mixed data: shared libraries, documentation and incompressible noise.
fill=0
target=$((BIG_MB * 1024 * 1024))
n=0
while IFS= read -r f; do
  cp "$f" "$WORK/big/$n-$(basename "$f")"; n=$((n + 1))
  fill=$((fill + $(stat -c %s "$f")))
  [ $fill -ge $((target * 2 / 3)) ] && break
done < <(find /usr/lib /usr/share/doc -type f \( -name '*.so*' -o -name '*.txt' -o -name 'copyright' \) -size +4k 2>/dev/null | LC_ALL=C sort)
while [ $fill -lt $target ]; do
  head -c $((64 * 1024 * 1024)) /dev/urandom >"$WORK/big/noise-$n.bin"; n=$((n + 1))
  fill=$((fill + 64 * 1024 * 1024))
done

measure() {  # measure LABEL BYTES COMMAND...: prints seconds, MB/s and peak RSS
  local label=$1 bytes=$2; shift 2
  local start end
  start=$(date +%s.%N)
  /usr/bin/time -f '%M' -o "$WORK/rss" "$@" >/dev/null 2>"$WORK/err" || { echo "$label failed:"; tail -5 "$WORK/err"; return; }
  end=$(date +%s.%N)
  awk -v l="$label" -v s="$start" -v e="$end" -v b="$bytes" -v r="$(tail -1 "$WORK/rss")" \
    'BEGIN { t = e - s; printf "%-34s %8.2f s %8.1f MB/s %8.1f MB peak\n", l, t, b / 1048576 / t, r / 1024 }'
}

for set in small big; do
  bytes=$(du -sb "$WORK/$set" | cut -f1)
  files=$(find "$WORK/$set" -type f | wc -l)
  echo "== $set: $files files, $((bytes / 1048576)) MB"
  "$PARCELON" new "$WORK/$set.pcp" --company Bench --product "$set" --source "$WORK/$set" --subdirs \
    --target "$WORK/out" --no-signature --no-inf >/dev/null 2>&1
  measure "parcelon build ($set)" "$bytes" "$PARCELON" build "$WORK/$set.pcp"
  (cd "$WORK/$set" && find . -type f | sed 's|^\./||' | LC_ALL=C sort >"$WORK/$set.list")
  # One gcab run with every file (xargs could split the list and overwrite the cabinet).
  mapfile -t names <"$WORK/$set.list"
  measure "gcab -c -z ($set)" "$bytes" bash -c 'cd "$1" && shift && exec gcab -c -z "$@"' _ "$WORK/$set" \
    "$WORK/gcab-$set.cab" "${names[@]}"
  ours=$(find "$WORK/out/$set" -name '*.CAB' -printf '%s\n' | awk '{ s += $1 } END { print s }')
  theirs=$(stat -c %s "$WORK/gcab-$set.cab")
  awk -v o="$ours" -v t="$theirs" 'BEGIN { printf "compressed: ours %d bytes, gcab %d bytes, ratio %.3f\n", o, t, o / t }'
done
rm -rf "$WORK"
