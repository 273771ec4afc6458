# PilotStub.Exe under Wine, quiet: a wizard package with a password refuses a
# missing or wrong /P: and installs with the right one; every file lands in
# the installation folder or its own destination (%TEMP%), a control marked
# for registration has its DllRegisterServer run, and the program to execute
# runs with its command line and folder.

wsrc="$work/wizard-src"
mkdir -p "$wsrc/app/docs" "$wsrc/bin"
cp "$markers/MarkerProgram.exe" "$markers/MarkerControl.dll" "$wsrc/bin/"
head -c 100000 /dev/urandom >"$wsrc/app/data.bin"
printf 'Tide tables\r\n' >"$wsrc/app/docs/readme.txt"
printf 'for the temporary folder\r\n' >"$wsrc/temp-note.txt"
printf 'Licence: be nice.\n' >"$work/licence.txt"
"$bin/parcelon" new "$work/Secret.pcp" --kind wizard --company "Harbour Tide" --product "Secret Tides" --version 1.2 \
  --source "$wsrc" --subdirs --restore-dirs --target "$work/out" --no-inf --no-signature >/dev/null 2>&1 || fail "new Secret"
"$bin/parcelon" wizard "$work/Secret.pcp" --password 's3cret!' --text $'Welcome\nto the tides' \
  --licence "$work/licence.txt" --dest temp-note.txt=%TEMP% --register MarkerControl.dll \
  --exe 'bin\MarkerProgram.exe' --command-line '--into "%DESTDIR%"' --exe-dir '%DESTDIR%\app' \
  >/dev/null 2>&1 || fail "wizard Secret"
"$bin/parcelon" config "$work/Secret.pcp" | grep -q '^DestPath[0-9]*=%TEMP%' || fail "Secret's pcn.cfg sends a file to %TEMP%"
exe=$(build_package "$work/Secret.pcp") || fail "build Secret"
case "$exe" in *SecretTidesW.EXE|*W.EXE) ;; *) fail "wizard executable name: $exe" ;; esac

run_windows "$exe" /Q '/T:C:\secret' && fail "installed without a password"
grep -q 'protected by a password' "$work/last.out" || fail "missing password not reported: $(cat "$work/last.out")"
run_windows "$exe" /Q '/P:wrong' '/T:C:\secret' && fail "installed with a wrong password"
grep -q 'password is not correct' "$work/last.out" || fail "wrong password not reported: $(cat "$work/last.out")"
[ ! -e "$drive_c/secret" ] || fail "a refused password left an installation folder"

run_windows "$exe" /Q '/P:s3cret!' '/T:C:\secret' || fail "right password: exit code $? $(cat "$work/last.out")"
dest="$drive_c/secret"
for f in app/data.bin app/docs/readme.txt bin/MarkerProgram.exe bin/MarkerControl.dll; do
  cmp -s "$wsrc/$f" "$dest/$f" || fail "installed byte-identical: $f"
done
[ ! -e "$dest/temp-note.txt" ] || fail "temp-note.txt went to the installation folder"
cmp -s "$wsrc/temp-note.txt" "$wine_temp/temp-note.txt" || fail "DestPath sends temp-note.txt to %TEMP%"
[ ! -e "$dest/pcn.cfg" ] && [ ! -e "$dest/licence.txt" ] || fail "pcn.cfg or the licence copy left in the installation folder"
[ -e "$dest/bin/MarkerControl.dll.registered" ] || fail "DllRegisterServer of the marked control ran"
[ ! -e "$dest/bin/MarkerProgram.exe.registered" ] || fail "an unmarked file was registered"
if wait_for "$dest/app/ran.txt"; then
  grep -q -- '--into "C:\\secret"' "$dest/app/ran.txt" || fail "program's command line: $(head -n 1 "$dest/app/ran.txt")"
else
  fail "the program of Exe= ran in its folder"
fi

# Flat installation into the default folder (Dir= with a token), no password.
"$bin/parcelon" new "$work/Flat.pcp" --kind wizard --company "Harbour Tide" --product "Flat Tides" \
  --source "$wsrc" --subdirs --target "$work/out" --no-inf --no-signature >/dev/null 2>&1 || fail "new Flat"
"$bin/parcelon" wizard "$work/Flat.pcp" --install-dir '%PROGRAMFILES%\Flat Tides' --flat >/dev/null 2>&1 || fail "wizard Flat"
exe=$(build_package "$work/Flat.pcp") || fail "build Flat"
run_windows "$exe" /Q || fail "Flat: exit code $? $(cat "$work/last.out")"
flat="$drive_c/Program Files/Flat Tides"
cmp -s "$wsrc/app/docs/readme.txt" "$flat/readme.txt" && cmp -s "$wsrc/bin/MarkerProgram.exe" "$flat/MarkerProgram.exe" \
  || fail "Flat installs every file straight into %PROGRAMFILES%\\Flat Tides"
[ ! -e "$flat/app" ] || fail "Flat made sub-folders"

# An empty licence is the licence all the same: the control marked for
# registration is the one registered. A program to execute given by its bare
# name is started from where its file was installed (folders restored).
esrc="$work/empty-licence-src"
mkdir -p "$esrc/bin"
cp "$markers/MarkerControl.dll" "$markers/MarkerProgram.exe" "$esrc/bin/"
: >"$work/empty-licence.txt"
"$bin/parcelon" new "$work/Empty.pcp" --kind wizard --company "Harbour Tide" --product "Empty Licence" \
  --source "$esrc" --subdirs --restore-dirs --target "$work/out" --no-inf --no-signature >/dev/null 2>&1 || fail "new Empty"
"$bin/parcelon" wizard "$work/Empty.pcp" --licence "$work/empty-licence.txt" --register MarkerControl.dll \
  --exe MarkerProgram.exe --command-line 'bare name' >/dev/null 2>&1 || fail "wizard Empty"
exe=$(build_package "$work/Empty.pcp") || fail "build Empty"
run_windows "$exe" /Q '/T:C:\empty' || fail "Empty: exit code $? $(cat "$work/last.out")"
empty="$drive_c/empty"
[ -e "$empty/bin/MarkerControl.dll.registered" ] || fail "empty licence: the marked control was not registered"
[ ! -e "$empty/bin/MarkerProgram.exe.registered" ] || fail "empty licence: registration shifted to the next file"
[ ! -e "$empty/empty-licence.txt" ] && [ ! -e "$empty/bin/empty-licence.txt" ] || fail "empty licence installed as a file"
wait_for "$empty/ran.txt" || fail "the program given by its bare name was not started from bin\\"

# A licence that is also one of the package's files is stored once, as that
# file: it is shown from there, installed where the file belongs, and the
# files after it keep their destinations and registration marks.
lsrc="$work/shared-licence-src"
mkdir -p "$lsrc/bin"
cp "$markers/MarkerControl.dll" "$markers/MarkerProgram.exe" "$lsrc/bin/"
printf 'Licence: shipped with the program.\r\n' >"$lsrc/bin/Licence.txt"
"$bin/parcelon" new "$work/Shared.pcp" --kind wizard --company "Harbour Tide" --product "Shared Licence" \
  --source "$lsrc" --subdirs --restore-dirs --target "$work/out" --no-inf --no-signature >/dev/null 2>&1 || fail "new Shared"
"$bin/parcelon" wizard "$work/Shared.pcp" --licence "$lsrc/bin/Licence.txt" --register MarkerControl.dll \
  >/dev/null 2>&1 || fail "wizard Shared"
"$bin/parcelon" config "$work/Shared.pcp" | grep -q '^FileIndex=[0-9]' || fail "Shared's pcn.cfg names the licence's file"
exe=$(build_package "$work/Shared.pcp") || fail "build Shared"
copies=$(cabextract -l "$exe" 2>/dev/null | grep -c 'Licence\.txt')
[ "$copies" -eq 1 ] || fail "the shared licence is stored $copies times"
run_windows "$exe" /Q '/T:C:\shared' || fail "Shared: exit code $? $(cat "$work/last.out")"
shared="$drive_c/shared"
cmp -s "$lsrc/bin/Licence.txt" "$shared/bin/Licence.txt" || fail "the shared licence is installed as its file"
[ -e "$shared/bin/MarkerControl.dll.registered" ] || fail "shared licence: the marked control was not registered"
[ ! -e "$shared/bin/MarkerProgram.exe.registered" ] || fail "shared licence: registration shifted to the next file"
