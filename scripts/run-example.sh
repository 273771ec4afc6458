#!/usr/bin/env bash
# The main job: define the example project (one package of each cabinet
# kind, signing on), build it with parcelon, check what came out with
# `parcelon verify` and, as a second opinion, cabextract and osslsigncode.
set -euo pipefail
build=$(cd "${1:-out}" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
# PCN_BIN_DIR runs other programs (an installed copy); PCN_EXAMPLE_DIR works elsewhere.
bin="${PCN_BIN_DIR:-$build/bin}"
work="${PCN_EXAMPLE_DIR:-$build/example}"
source="$root/examples/source"

rm -rf "$work"
mkdir -p "$work/keys" "$work/output"
export PCN_SETTINGS="$work/settings.conf" PCN_DATA_DIR="$work"

# Test signing credentials, made on first run: a self-signed code-signing
# certificate as software publishing credentials (.spc) and its key (.pvk).
keys="$work/keys"
openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -subj "/CN=Harbour Tide Software/O=Harbour Tide" \
  -addext "extendedKeyUsage=codeSigning" -keyout "$keys/key.pem" -out "$keys/cert.pem" 2>/dev/null
openssl crl2pkcs7 -nocrl -certfile "$keys/cert.pem" -outform DER -out "$keys/cert.spc"
openssl rsa -in "$keys/key.pem" -outform PVK -pvk-none -out "$keys/key.pvk" 2>/dev/null
# The trust check of `parcelon verify` (ChkTrust) trusts the test certificate.
printf '[Settings\\CheckTrust]\nCAFile=sz:%s\n' "$keys/cert.pem" >"$PCN_SETTINGS"

common=(--company "Harbour Tide Software" --version "3,2,0,1" --copyright "Copyright 2026 Harbour Tide Software"
        --source "$source" --subdirs --target "$work/output"
        --spc "$keys/cert.spc" --key "$keys/key.pvk" --info "https://harbourtide.example/" --sha1 --no-timestamp)
"$bin/parcelon" new "$work/TideCab.pcp" --kind cab --product "Tide Tables Cabinet" --project TideCab --no-compression --span 16000 "${common[@]}"
"$bin/parcelon" new "$work/TideSfx.pcp" --kind sfx --product "Tide Tables Archive" --project TideSfx --restore-dirs "${common[@]}"
"$bin/parcelon" new "$work/TideSetup.pcp" --kind wizard --product "Tide Tables" --project TideSetup --restore-dirs "${common[@]}"
for p in TideCab TideSfx TideSetup; do
  "$bin/parcelon" project "$work/Example.pcn" add "$work/$p.pcp"
done
echo "== the example project"
"$bin/parcelon" show "$work/Example.pcn"

has_command() { "$bin/parcelon" --help | grep -qE "^  $1 "; }

if has_command build; then
  echo "== building every package of the project"
  status=0
  "$bin/parcelon" build "$work/Example.pcn" --yes || status=$?
  echo "== outputs"
  find "$work/output" -type f | sort
  echo "== parcelon verify: every output read back and checked against the package"
  verified=0
  "$bin/parcelon" verify "$work/Example.pcn" || verified=$?
  echo "== cabextract -t and osslsigncode verify, a second opinion"
  for cab in $(find "$work/output" -name '*.CAB' | sort); do cabextract -t "$cab" >/dev/null && echo "cabextract -t: ok  $cab"; done
  for f in $(find "$work/output" \( -name '*.CAB' -o -name '*.EXE' \) | sort); do
    if osslsigncode verify -CAfile "$keys/cert.pem" "$f" >/dev/null 2>&1; then echo "signature ok:     $f"; fi
  done
  [ "$status" -ne 0 ] || status=$verified
  exit $status
fi

echo "== 'parcelon build' is not in this build yet"
has_command cab || exit 0
echo "== a cabinet of the sources with 'parcelon cab'"
cd "$source"
"$bin/parcelon" cab "$work/output/Tide.cab" $(find . -type f | sed 's|^\./||' | sort)
cabextract -t "$work/output/Tide.cab"
