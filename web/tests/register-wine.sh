#!/usr/bin/env bash
# parcelon register / unregister of Windows components under Wine, in a fresh
# Wine prefix: a mingw-w64 control whose exports leave marker files beside it
# in the prefix, a library without DllUnregisterServer, a stand-alone type
# library (registered into the prefix's registry) and a file Wine cannot load.
# Usage: register-wine.sh PROGRAM_FOLDER MARKER_FOLDER
set -u
here=$(cd "$(dirname "$0")" && pwd)
source_root=$(cd "$here/../.." && pwd)
. "$source_root/stubs/tests/wine-env.sh"
fixtures="$source_root/platform/pe/fixtures/bin"

# run_parcelon ARGS...: its exit code; its output in $work/out.
run_parcelon() {
  local rc=0
  "$bin/parcelon" "$@" >"$work/out" 2>&1 || rc=$?
  return $rc
}
expect_output() {
  grep -qF -- "$1" "$work/out" || fail "$2: expected \"$1\" in: $(cat "$work/out")"
}

control="$drive_c/MarkerControl.dll"
cp "$markers/MarkerControl.dll" "$control"
if run_parcelon register "$control"; then
  expect_output "The Component was successfully registered." "register"
  [ -f "$control.registered" ] || fail "register: DllRegisterServer left no marker in the prefix"
else
  fail "register: exit code $? ($(cat "$work/out"))"
fi
[ -f "$control.unregistered" ] && fail "register: DllUnregisterServer ran too"
if run_parcelon unregister "$control"; then
  expect_output "The Component was successfully unregistered." "unregister"
  [ -f "$control.unregistered" ] || fail "unregister: DllUnregisterServer left no marker in the prefix"
else
  fail "unregister: exit code $? ($(cat "$work/out"))"
fi

cp "$fixtures/regonly64.dll" "$drive_c/regonly64.dll"
run_parcelon unregister "$drive_c/regonly64.dll" && fail "unregister without DllUnregisterServer succeeded"
expect_output "Failed to Unregister Library." "unregister without entry point"
expect_output "DllUnregisterServer is not exported" "unregister without entry point"

printf 'MZ but nothing more' >"$drive_c/broken.dll"
run_parcelon register "$drive_c/broken.dll" && fail "a broken library registered"
expect_output "Failed to load Library." "broken library"

if run_parcelon register "$fixtures/control.tlb"; then
  expect_output "The Component was successfully registered." "type library"
  "$wine" reg query 'HKCR\TypeLib\{6B2B1A10-3C4D-4E5F-8A9B-0C1D2E3F4A51}\1.2' /s >"$work/reg.out" 2>&1
  grep -qiF 'control.tlb' "$work/reg.out" || fail "type library: not in the registry: $(cat "$work/reg.out")"
else
  fail "type library: exit code $? ($(cat "$work/out"))"
fi
finish
