#!/usr/bin/env bash
# How long a dependency scan takes (`parcelon scan`), per component and
# lister: best and median wall time of ten scans each. The figure is bound by
# the handshake's 100 ms poll: a scan is one poll plus listing and resolution.
set -euo pipefail
BUILD=$(cd "${1:-out}" && pwd)
components="$BUILD/test-components"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export PCN_SETTINGS="$work/settings.conf"
echo "dependency scan: wall ms per scan (best / median of 10)"
printf '%-28s %-8s %6s %6s %5s\n' component lister best median rows
for lister in LDSCNT LDSC95; do
  printf '[Settings\\Scan]\nLister=sz:%s\n' "$lister" >"$PCN_SETTINGS"
  for component in elf/libscanplugin.so pe/control.ocx pe/cyclea.dll; do
    [ -f "$components/$component" ] || continue
    times=()
    for _ in $(seq 10); do
      start=$(date +%s%N)
      "$BUILD/bin/parcelon" scan "$components/$component" --dynamic >"$work/rows" 2>/dev/null
      times+=($(( ($(date +%s%N) - start) / 1000000 )))
    done
    sorted=($(printf '%s\n' "${times[@]}" | sort -n))
    printf '%-28s %-8s %6s %6s %5s\n' "$component" "$lister" "${sorted[0]}" "${sorted[5]}" "$(wc -l <"$work/rows")"
  done
done
