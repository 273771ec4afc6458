#!/usr/bin/env bash
# Every benchmark, one after the other: `make bench` or bench/run-all.sh BUILD.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
BUILD=$(cd "${1:-out}" && pwd)
"$here/cab-speed.sh" "$BUILD"
echo
# Sibling libraries and whole licences recur within a few MB of the full
# corpus, which a 2 MB window and xz's 8 MB both exploit; among every eighth
# file they do far less, and xz -6 reaches about 0.81 of our MSZIP default:
# the kind of corpus the size targets were set on.
# Its MSZIP runs take a third of a second, so they get five rounds.
echo "The same on every eighth file:"
PCN_BENCH_EVERY=8 PCN_BENCH_REPEAT=5 PCN_BENCH_LZX_REPEAT=2 "$here/cab-speed.sh" "$BUILD"
echo
# The same again with each content once (the every-eighth corpus holds a few
# copies of licences and changelogs), for the comparison with wimlib, which
# stores a content once: three rounds of it, and only what it needs besides.
echo "Every eighth file, each content once:"
PCN_BENCH_EVERY=8 PCN_BENCH_DISTINCT=1 PCN_BENCH_REPEAT=1 PCN_BENCH_LEVELS=default PCN_BENCH_LZX_REPEAT=1 \
  PCN_BENCH_LZX_LEVELS="fast default" PCN_BENCH_WIM_ROUNDS=3 "$here/cab-speed.sh" "$BUILD"
echo
"$here/build-speed.sh" "$BUILD"
echo
"$here/hostile-input.py" "$BUILD"

# The engine and level behind the default: zlib with history against libdeflate without.
if [ -x "$BUILD/bin/deflate_choice" ]; then
  echo
  corpus=${PCN_BENCH_DIR:-${TMPDIR:-/tmp}/pcn-cab-bench}/corpus
  mapfile -t files < <(cd "$corpus" && find lib doc -type f | LC_ALL=C sort | awk 'NR % 4 == 0')
  (cd "$corpus" && "$BUILD/bin/deflate_choice" "${files[@]}")
fi

echo
"$here/scan-speed.sh" "$BUILD"
