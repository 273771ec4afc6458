#!/usr/bin/env bash
# parcelon verify on whole packages: a self-extractor and a wizard built by
# parcelon hold, and each package broken on purpose in one way fails with a
# line that names the fault.
source "$(dirname "$0")/../../scripts/test-lib.sh" "$1"
fixtures="$2"
# verify FILE... expecting exit code RC; the lines land in $work/v.
verify_exits() {
  local rc=$1; shift
  "$bin" verify "$@" >"$work/v" 2>/dev/null
  local got=$?
  [ "$got" -eq "$rc" ] || { fail "verify $* exits $got, not $rc"; cat "$work/v"; }
}
expect_line() { grep -qE "$1" "$work/v" || { fail "no line matching '$1'"; cat "$work/v"; }; }

mkdir -p "$work/src/bin"
cp "$fixtures/control32.ocx" "$work/src/bin/"
seq 1 20000 >"$work/src/numbers.txt"
echo "licence terms" >"$work/src/licence.txt"
common=(--company Acme --source "$work/src" --subdirs --target "$work/out" --no-signature)

# The cabinet INF against the cabinet's files and their versions.
"$bin" new "$work/Cab.pcp" --product Cab "${common[@]}" >/dev/null 2>&1 || fail "new Cab"
"$bin" build "$work/Cab.pcp" --yes >/dev/null 2>&1 || fail "build Cab"
verify_exits 0 "$work/Cab.pcp"
expect_line '^ok .*Cab.Inf: names 3 files, all in the cabinet with the versions they carry'
# Broken on purpose: the INF names a file the cabinet does not hold.
sed -i 's/^\[Add.Code\]\r$/[Add.Code]\r\nhelper.dll=helper.dll\r/' "$work/out/Cab/Cab.Inf"
verify_exits 1 "$work/Cab.pcp"
expect_line '^FAIL .*Cab.Inf: names helper.dll, which the cabinet does not hold'

# A web package: the INF against the component on disk, the HTML page
# against the INF written beside it.
"$bin" web new "$work/Web.pcp" --component "$work/src/bin/control32.ocx" --company Acme --product control32 \
  --target "$work/out" --no-scan --htm >/dev/null 2>&1 || fail "web new"
"$bin" build "$work/Web.pcp" >/dev/null 2>&1 || fail "build Web"
verify_exits 0 "$work/Web.pcp"
expect_line '^ok .*control32.inf: names the package.s 1 included file, on disk with the version it carries'
expect_line '^ok .*control32.htm: the code base names the INF written beside it, control32.inf'
expect_line '^ok .*control32.htm: the class id is the one the INF gives control32.ocx'
# Broken on purpose: the page's code base names another INF.
sed -i 's|/control32.inf"|/other.inf"|' "$work/out/control32/control32.htm"
verify_exits 1 "$work/Web.pcp"
expect_line '^FAIL .*control32.htm: the code base .* names other.inf, not the INF written beside it, control32.inf'
# Broken on purpose: the INF gives the component another class.
sed -i 's|^clsid=.*|clsid={00000000-0000-0000-0000-000000000001}\r|' "$work/out/control32/control32.inf"
verify_exits 1 "$work/Web.pcp"
expect_line '^FAIL .*control32.htm: the page names the class .*, but the INF gives control32.ocx \{00000000-0000-0000-0000-000000000001\}'

# Signatures through ChkTrust -q with the user's trusted certificates.
mkdir -p "$work/keys"
openssl req -x509 -newkey rsa:2048 -nodes -days 30 -subj "/CN=Acme Test" -addext "extendedKeyUsage=codeSigning" \
  -keyout "$work/keys/key.pem" -out "$work/keys/cert.pem" 2>/dev/null
openssl crl2pkcs7 -nocrl -certfile "$work/keys/cert.pem" -outform DER -out "$work/keys/cert.spc"
printf '[Settings\\CheckTrust]\nCAFile=sz:%s\n' "$work/keys/cert.pem" >"$PCN_SETTINGS"
"$bin" new "$work/Signed.pcp" --product Signed --company Acme --source "$work/src" --target "$work/out" --no-inf \
  --spc "$work/keys/cert.spc" --key "$work/keys/key.pem" --info "https://acme.example/" --sha1 --no-timestamp \
  >/dev/null 2>&1 || fail "new Signed"
"$bin" build "$work/Signed.pcp" --yes >/dev/null 2>&1 || fail "build Signed"
verify_exits 0 "$work/Signed.pcp"
expect_line '^ok .*Signed.CAB: the signature verifies'
expect_line '^ok .*Signed.CAB: signed with the SHA1 digest the package asks for'
# Broken on purpose: a file entry changed after signing (the read-only
# attribute set): the data still decompresses, the signature is over other bytes.
cp "$work/out/Signed/Signed.CAB" "$work/signed-copy.CAB"
python3 - "$work/out/Signed/Signed.CAB" <<'PY'
import sys
p = sys.argv[1]; b = bytearray(open(p, 'rb').read())
i = b.find(b'numbers.txt\0'); b[i - 2] |= 1
open(p, 'wb').write(bytes(b))
PY
verify_exits 1 "$work/Signed.pcp"
expect_line '^ok .*Signed.CAB: all 2 files'
expect_line '^FAIL .*Signed.CAB: the signature does not verify: the file was changed after it was signed'
# An unsigned cabinet where a signed one should be: exit 3, as a build whose signing failed.
"$bin" cab "$work/out/Signed/Signed.CAB" "$work/src/numbers.txt" >/dev/null 2>&1 || fail "cab unsigned"
verify_exits 3 "$work/Signed.pcp"
expect_line '^UNSIGNED .*Signed.CAB: carries no signature, though the package asks for one'

if [ ! -f "$1/Extract.Exe" ] || [ ! -f "$1/PilotStub.Exe" ]; then
  echo "the stubs are not built (mingw-w64 missing): self-extractor checks skipped"
else
  # A self-extractor holds; with another program in place of the stub it fails.
  "$bin" new "$work/Sfx.pcp" --kind sfx --product Sfx --span 60000 "${common[@]}" >/dev/null 2>&1 || fail "new Sfx"
  "$bin" build "$work/Sfx.pcp" --yes >/dev/null 2>&1 || fail "build Sfx"
  verify_exits 0 "$work/Sfx.pcp"
  expect_line '^ok .*Sfx.EXE: the program before the cabinet is our Extract.Exe'
  verify_exits 0 "$work/out/Sfx/Sfx.EXE"
  cp "$work/out/Sfx/Sfx.EXE" "$work/sfx-copy.EXE"
  printf 'XX' | dd of="$work/out/Sfx/Sfx.EXE" bs=1 seek=200 conv=notrunc 2>/dev/null
  verify_exits 1 "$work/Sfx.pcp"
  expect_line '^FAIL .*Sfx.EXE: the program before the cabinet is not Extract.Exe'
  cp "$work/sfx-copy.EXE" "$work/out/Sfx/Sfx.EXE"
  # Broken on purpose: a continuation cabinet missing from the set.
  rm "$work/out/Sfx/Sfx2.CAB"
  verify_exits 1 "$work/Sfx.pcp"
  expect_line '^FAIL .*Sfx2.CAB is missing'
  expect_line '^FAIL .*Sfx2.CAB: listed as an output of Sfx but not there'

  # A wizard whose pcn.cfg agrees with its cabinet and the package.
  "$bin" new "$work/Wiz.pcp" --kind wizard --product Wiz "${common[@]}" >/dev/null 2>&1 || fail "new Wiz"
  "$bin" wizard "$work/Wiz.pcp" --licence "$work/src/licence.txt" --exe numbers.txt --restore-dirs \
    --register bin/control32.ocx >/dev/null 2>&1 || fail "wizard settings"
  "$bin" build "$work/Wiz.pcp" --yes >/dev/null 2>&1 || fail "build Wiz"
  verify_exits 0 "$work/Wiz.pcp"
  expect_line '^ok .*WizW.EXE: pcn.cfg matches the package, key for key'
  expect_line '^ok .*WizW.EXE: the licence licence.txt is where pcn.cfg says'
  expect_line '^ok .*WizW.EXE: the program to run numbers.txt is in the cabinet'
  expect_line '^ok .*WizW.EXE: the program before the cabinet is our PilotStub.Exe'
  # Broken on purpose: pcn.cfg names a program the package does not carry.
  "$bin" wizard "$work/Wiz.pcp" --exe setup.exe >/dev/null 2>&1 || fail "wizard --exe"
  "$bin" build "$work/Wiz.pcp" --yes >/dev/null 2>&1 || fail "rebuild Wiz"
  verify_exits 1 "$work/Wiz.pcp"
  expect_line '^FAIL .*WizW.EXE: pcn.cfg names setup.exe as the program to run, but the cabinet holds no such file'
  # Broken on purpose: the package changed after its build.
  "$bin" wizard "$work/Wiz.pcp" --exe numbers.txt >/dev/null 2>&1 || fail "wizard --exe back"
  verify_exits 1 "$work/Wiz.pcp"
  expect_line '^FAIL .*WizW.EXE: pcn.cfg line [0-9]+ is "Exe=setup.exe" where the package gives "Exe=numbers.txt"'
  # Broken on purpose: the mini setup makes a shortcut to a file the package does not carry.
  "$bin" wizard "$work/Wiz.pcp" --mini-setup --group Wiz --shortcut 'Numbers=numbers.txt' --shortcut 'Manual=manual.txt' \
    >/dev/null 2>&1 || fail "wizard --shortcut"
  "$bin" build "$work/Wiz.pcp" --yes >/dev/null 2>&1 || fail "build Wiz with shortcuts"
  verify_exits 1 "$work/Wiz.pcp"
  expect_line '^ok .*WizW.EXE: the mini setup program ends the cabinet, as pcn.cfg says'
  expect_line '^ok .*WizW.EXE: the target of shortcut 0 numbers.txt is in the cabinet'
  expect_line '^FAIL .*WizW.EXE: pcn.cfg names manual.txt as the target of shortcut 1, but the cabinet holds no such file'
fi

finish
