#!/usr/bin/env bash
# Cabinet speed: our MSZIP cabinet against `gcab -c -z` on the same files, in
# the same run, whole commands timed. Prints MB/s, compressed size and peak
# memory of each and their ratios. Figures, not a pass/fail test.
#
#   bench/cab-speed.sh [BUILD]      (BUILD: the build tree, default out)
# Environment: PCN_BENCH_DIR (work folder, the corpus is kept there between
# runs), PCN_BENCH_REPEAT (runs per tool, default 3; the best is reported),
# PCN_BENCH_LEVELS (our MSZIP levels to run, default "fast default small"),
# PCN_BENCH_LZX_LEVELS (LZX:21 levels, default "fast default small"; empty
# skips LZX and xz).
set -euo pipefail

BUILD=${1:-out}
PARCELON=$(cd "$BUILD/bin" && pwd)/parcelon
WORK=${PCN_BENCH_DIR:-${TMPDIR:-/tmp}/pcn-cab-bench}
REPEAT=${PCN_BENCH_REPEAT:-3}
LEVELS=${PCN_BENCH_LEVELS:-fast default small}
LZX_LEVELS=${PCN_BENCH_LZX_LEVELS-fast default small}
CORPUS=$WORK/corpus
OUT=$WORK/out
LIB_BYTES=$((130 * 1000 * 1000))
DOC_BYTES=$((90 * 1000 * 1000))

for tool in gcab cabextract /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 1; }
done
[ -x "$PARCELON" ] || { echo "missing: $PARCELON (build first)" >&2; exit 1; }

# The corpus: shared libraries from /usr/lib and text documentation from
# /usr/share/doc (compressed pages unpacked), in a fixed order.
make_corpus() {
  rm -rf "$CORPUS"
  mkdir -p "$CORPUS/lib" "$CORPUS/doc"
  local total=0 n=0 size f
  while IFS= read -r f; do
    size=$(stat -c %s "$f")
    cp "$f" "$CORPUS/lib/$n-$(basename "$f")"
    total=$((total + size)); n=$((n + 1))
    [ $total -ge $LIB_BYTES ] && break
  done < <(find /usr/lib -type f -name '*.so*' -size +20k 2>/dev/null | LC_ALL=C sort)
  total=0
  while IFS= read -r f; do
    local dest="$CORPUS/doc/$n-$(basename "${f%.gz}")"
    case "$f" in
      *.gz) zcat -f "$f" > "$dest" 2>/dev/null || { rm -f "$dest"; continue; } ;;
      *) cp "$f" "$dest" ;;
    esac
    total=$((total + $(stat -c %s "$dest"))); n=$((n + 1))
    [ $total -ge $DOC_BYTES ] && break
  done < <(find /usr/share/doc -type f 2>/dev/null | LC_ALL=C sort)
  touch "$WORK/corpus.done"
}

mkdir -p "$WORK"
[ -f "$WORK/corpus.done" ] || make_corpus
cd "$CORPUS"
mapfile -t FILES < <(find lib doc -type f | LC_ALL=C sort)
INPUT=$(cat "${FILES[@]}" | wc -c)
echo "corpus: ${#FILES[@]} files, $INPUT bytes ($(du -sb lib | cut -f1) in libraries, $(du -sb doc | cut -f1) in documentation)"
echo "machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"

# time_best CABINET COMMAND...: runs the command REPEAT times; prints
# "seconds peak_kb bytes cpu_seconds" of the fastest run.
time_best() {
  local cab=$1; shift
  local best="" line
  for _ in $(seq "$REPEAT"); do
    rm -rf "$OUT"; mkdir -p "$OUT"
    sync
    /usr/bin/time -o "$WORK/time.txt" -f "%e %M %U %S" "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
    line=$(tail -1 "$WORK/time.txt")
    local secs kb user sys
    read -r secs kb user sys <<<"$line"
    local bytes; bytes=$(stat -c %s "$cab")
    local cpu; cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN{printf "%.2f", u + s}')
    if [ -z "$best" ] || awk "BEGIN{exit !($secs < ${best%% *})}"; then best="$secs $kb $bytes $cpu"; fi
  done
  echo "$best"
}

echo
printf '%-28s %8s %8s %14s %9s %10s %8s\n' tool seconds MB/s "cabinet bytes" "size %in" "peak RSS" "CPU s"
report() {  # report NAME "seconds kb bytes"
  local name=$1 secs kb bytes cpu
  read -r secs kb bytes cpu <<<"$2"
  awk -v n="$name" -v s="$secs" -v k="$kb" -v b="$bytes" -v i="$INPUT" -v c="$cpu" \
    'BEGIN{ if (s <= 0) s = 0.01; printf "%-28s %8.2f %8.1f %14d %8.1f%% %7d MB %8.2f\n", n, s, i/1e6/s, b, 100*b/i, k/1024, c }'
}

GCAB=$(time_best "$OUT/gcab.cab" gcab -c -z "$OUT/gcab.cab" "${FILES[@]}")
report "gcab -c -z" "$GCAB"
declare -A OURS
for level in $LEVELS; do
  OURS[$level]=$(time_best "$OUT/pcn.cab" "$PARCELON" cab "$OUT/pcn.cab" "${FILES[@]}" --source-root . --level "$level")
  report "parcelon cab ($level)" "${OURS[$level]}"
done

echo
read -r gs _ gb gc <<<"$GCAB"
for level in $LEVELS; do
  read -r s _ b c <<<"${OURS[$level]}"
  awk -v l="$level" -v gs="$gs" -v gb="$gb" -v s="$s" -v b="$b" -v gc="$gc" -v c="$c" \
    'BEGIN{ if (s <= 0) s = 0.01; printf "%-8s throughput %.2fx gcab, size %.3f of gcab, CPU time %.2f of gcab\n", l, gs/s, b/gb, c/gc }'
done
# On a busy machine wall times flatter the tool with more threads; CPU time
# says what each costs whatever the load.

if [ -n "$LZX_LEVELS" ]; then
  echo
  echo "LZX:21 against our MSZIP default, gcab and xz -6 (one stream, the floor for a 2 MB window):"
  XZ=$(time_best "$OUT/all.xz" sh -c 'cat "$@" | xz -6 -T1 > '"'$OUT/all.xz'" sh "${FILES[@]}")
  report "xz -6 (one thread)" "$XZ"
  declare -A LZX
  for level in $LZX_LEVELS; do
    LZX[$level]=$(time_best "$OUT/pcn.cab" "$PARCELON" cab "$OUT/pcn.cab" "${FILES[@]}" --source-root . --lzx=21 --level "$level")
    report "parcelon --lzx=21 ($level)" "${LZX[$level]}"
  done
  read -r ms _ mb _ <<<"${OURS[default]:-$(time_best "$OUT/pcn.cab" "$PARCELON" cab "$OUT/pcn.cab" "${FILES[@]}" --source-root .)}"
  read -r _ _ xb _ <<<"$XZ"
  awk -v mb="$mb" -v gb="$gb" -v xb="$xb" 'BEGIN{ printf "xz -6   size %.3f of our MSZIP default, %.3f of gcab\n", xb/mb, xb/gb }'
  for level in $LZX_LEVELS; do
    read -r s kb b _ <<<"${LZX[$level]}"
    awk -v l="$level" -v s="$s" -v b="$b" -v kb="$kb" -v mb="$mb" -v gb="$gb" -v ms="$ms" -v i="$INPUT" \
      'BEGIN{ if (s <= 0) s = 0.01; printf "LZX:21 %-8s size %.3f of our MSZIP default, %.3f of gcab, %.1f MB/s (%.2fx MSZIP time), peak %d MB\n", l, b/mb, b/gb, i/1e6/s, s/ms, kb/1024 }'
  done
  "$PARCELON" cab "$OUT/check.cab" "${FILES[@]}" --source-root . --lzx=21 --level "${LZX_LEVELS%% *}" >/dev/null 2>&1
  printf 'LZX cabinet: '; cabextract -t "$OUT/check.cab" | tail -1
fi

# The last cabinet written must read back: checksums and every file.
"$PARCELON" cab "$OUT/check.cab" "${FILES[@]}" --source-root . >/dev/null 2>&1
cabextract -t "$OUT/check.cab" | tail -1
rm -rf "$OUT"
