#!/usr/bin/env bash
# The automation service, as a desktop script uses it: on a session bus of the
# test's own, start pcn --automation with no display at all, open a project,
# build one of its packages and wait for the BuildFinished signal. No call may
# wait on a dialog: a project that cannot be opened answers false at once.
set -euo pipefail
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]; then exec dbus-run-session -- "$0" "$@"; fi
bin=$(cd "$1" && pwd)
tmp=$(mktemp -d)
pcn_pid=""
cleanup() {
  [ -n "$pcn_pid" ] && kill "$pcn_pid" 2>/dev/null || true
  [ -n "${monitor_pid:-}" ] && kill "$monitor_pid" 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; [ -f "$tmp/pcn.log" ] && cat "$tmp/pcn.log" >&2; exit 1; }
export PCN_SETTINGS="$tmp/settings.conf" PCN_DATA_DIR="$tmp/data"
# What a build server gives: no display, no platform chosen.
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
service=org.tarnwick.Parcelon path=/org/tarnwick/Parcelon
call() { gdbus call --session --dest $service --object-path $path --method "$service.$1" "${@:2}"; }

# Help and version answer without a display.
"$bin/pcn" --version | grep -q "^Tarnwick Parcelon " || fail "pcn --version without a display"
"$bin/pcn" --help | grep -q -- "--automation" || fail "pcn --help without a display"

mkdir -p "$tmp/source/docs"
head -c 300000 /dev/urandom > "$tmp/source/payload.bin"
echo "read me" > "$tmp/source/docs/readme.txt"
"$bin/parcelon" new "$tmp/Tools.pcp" --kind cab --company Acme --product "Acme Tools" --project AcmeTools \
  --source "$tmp/source" --subdirs --target "$tmp/out" >/dev/null
"$bin/parcelon" project "$tmp/Release.pcn" add "$tmp/Tools.pcp" >/dev/null

gdbus monitor --session --dest $service > "$tmp/signals" 2>&1 &
monitor_pid=$!
"$bin/pcn" --automation > "$tmp/pcn.log" 2>&1 &
pcn_pid=$!
timeout 20 gdbus wait --session $service || fail "pcn did not offer $service"

# The results and arguments have names for callers.
gdbus introspect --session --dest $service --object-path $path | grep -q "out b opened" \
  || fail "the introspection does not name OpenProject's result"
# A project that cannot be opened: false within a second, and the reason.
answer=$(timeout 1 gdbus call --session --dest $service --object-path $path \
  --method $service.OpenProject "$tmp/nonexistent.pcn") || fail "OpenProject of a missing file did not answer within a second"
[ "$answer" = "(false,)" ] || fail "OpenProject of a missing file answered $answer"
call LastMessage | grep -q "Failed to open document." || fail "LastMessage: $(call LastMessage)"
[ "$(call NewPackage)" = "(false,)" ] || fail "NewPackage without a display must refuse, not wait"
[ "$(call OpenProject "$tmp/Release.pcn")" = "(true,)" ] || fail "OpenProject"
[ "$(call LastMessage)" = "('',)" ] || fail "LastMessage after a call that showed nothing: $(call LastMessage)"
[ "$(call BuildPackage "NoSuchPackage")" = "(false,)" ] || fail "BuildPackage of an unknown package"
[ "$(call BuildPackage "AcmeTools")" = "(true,)" ] || fail "BuildPackage"
for _ in $(seq 1 300); do
  grep -q "BuildFinished ('AcmeTools', true)" "$tmp/signals" && break
  sleep 0.2
done
grep -q "BuildFinished ('AcmeTools', true)" "$tmp/signals" || { cat "$tmp/signals"; fail "no BuildFinished signal"; }
cabextract -t "$tmp/out/AcmeTools/AcmeTools.CAB" >/dev/null || fail "the built cabinet does not extract"
# The outcome went into the package file: parcelon sees the build.
"$bin/parcelon" show "$tmp/Tools.pcp" | grep -q "AcmeTools.CAB" || fail "the package file does not list its output"

call Quit >/dev/null
for _ in $(seq 1 50); do kill -0 "$pcn_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pcn_pid" 2>/dev/null && fail "pcn did not quit"
wait "$pcn_pid" || fail "pcn quit with an error"
pcn_pid=""
echo "automation: ok"
