# Extract.Exe under Wine: self-extracting cabinets made by parcelon extract
# byte-identical with their sub-folders (single, spanned, signed), and a
# cabinet with names that leave the target folder extracts nothing.

src="$work/src"
mkdir -p "$work/src/docs/deep"
head -c 300000 /dev/urandom >"$work/src/data.bin"
seq 1 30000 >"$work/src/docs/numbers.txt"
printf 'deep\r\n' >"$work/src/docs/deep/leaf.txt"
printf '' >"$work/src/docs/zero.txt"
new() { "$bin/parcelon" new "$work/$1.pcp" --kind sfx --company Acme --product "$1" --source "$work/src" --subdirs \
          --restore-dirs --target "$work/out" --no-inf "${@:2}" >/dev/null 2>&1 || fail "new $1"; }
same_tree() { diff -r "$work/src" "$1" >/dev/null 2>&1; }

# One cabinet.
new Plain --no-signature
exe=$(build_package "$work/Plain.pcp") || fail "build Plain"
run_windows "$exe" /Q '/T:C:\plain' || fail "Plain /Q exit code $?"
same_tree "$drive_c/plain" || fail "Plain extracts every file byte-identical with its sub-folders"

# The default folder (temporary folder + executable's name) in quiet mode.
run_windows "$exe" /q || fail "Plain /q into the default folder"
same_tree "$wine_temp/Plain" || fail "default folder is %TEMP%\\Plain"

# A spanned set: the following cabinets lie beside the executable.
new Spanned --no-signature --span 120000
exe=$(build_package "$work/Spanned.pcp") || fail "build Spanned"
ls "$(dirname "$exe")"/*2.CAB >/dev/null 2>&1 || fail "Spanned makes more than one cabinet"
run_windows "$exe" /Q '/T:C:\spanned' || fail "Spanned /Q exit code $?"
same_tree "$drive_c/spanned" || fail "Spanned extracts across its cabinets"

# Signed: the cabinet carries its signature in its header reserve.
openssl req -x509 -newkey rsa:2048 -nodes -days 30 -subj "/CN=Stub Test" -addext "extendedKeyUsage=codeSigning" \
  -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
openssl crl2pkcs7 -nocrl -certfile "$work/cert.pem" -outform DER -out "$work/cert.spc"
openssl rsa -in "$work/key.pem" -outform PVK -pvk-none -out "$work/key.pvk" 2>/dev/null
new Signed --spc "$work/cert.spc" --key "$work/key.pvk" --sha1 --no-timestamp
exe=$(build_package "$work/Signed.pcp") || fail "build Signed"
run_windows "$exe" /Q '/T:C:\signed' || fail "Signed /Q exit code $?"
same_tree "$drive_c/signed" || fail "Signed extracts every file"

# A stub with no cabinet fails.
cp "$bin/Extract.Exe" "$work/Bare.exe"
run_windows "$work/Bare.exe" /Q '/T:C:\bare' && fail "a stub without a cabinet succeeded"
[ ! -e "$drive_c/bare" ] || fail "a stub without a cabinet made its folder"

# Hand-made cabinets (one stored folder) with names that leave the target.
le16() { printf '\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)); }
le32() { printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)); }
# make_cabinet OUT NAME... : every file holds "x\r\n".
make_cabinet() {
  local out=$1; shift
  local files=$# entries="" name offset=0 size=0
  for name in "$@"; do size=$((size + 16 + ${#name} + 1)); done
  local first_file=44 data_start=$((44 + size)) total=$((44 + size + 8 + 3 * files))
  {
    printf 'MSCF'; printf "$(le32 0)$(le32 $total)$(le32 0)$(le32 $first_file)$(le32 0)"
    printf "\\x03\\x01$(le16 1)$(le16 $files)$(le16 0)$(le16 0)$(le16 0)"
    printf "$(le32 $data_start)$(le16 1)$(le16 0)"
    for name in "$@"; do
      printf "$(le32 3)$(le32 $offset)$(le16 0)$(le16 0x5A21)$(le16 0)$(le16 0x20)"
      printf '%s\0' "$name"
      offset=$((offset + 3))
    done
    printf "$(le32 0)$(le16 $((3 * files)))$(le16 $((3 * files)))"
    for name in "$@"; do printf 'x\r\n'; done
  } >"$out"
}
make_cabinet "$work/good.cab" 'fine.txt' 'sub\also.txt'
cabextract -t "$work/good.cab" >/dev/null 2>&1 || fail "the hand-made cabinet itself is sound"
cat "$bin/Extract.Exe" "$work/good.cab" >"$work/Good.exe"
run_windows "$work/Good.exe" /Q '/T:C:\t\good' || fail "hand-made cabinet extracts"
[ -f "$drive_c/t/good/fine.txt" ] && [ -f "$drive_c/t/good/sub/also.txt" ] || fail "hand-made cabinet's files"

n=0
for evil in '..\evil.txt' 'sub\..\..\evil.txt' '\evil.txt' 'C:\evil.txt' '..' 'a\.\evil.txt' '../evil.txt'; do
  n=$((n + 1))
  make_cabinet "$work/evil$n.cab" 'fine.txt' "$evil"
  cat "$bin/Extract.Exe" "$work/evil$n.cab" >"$work/Evil$n.exe"
  run_windows "$work/Evil$n.exe" /Q "/T:C:\\t\\evil$n" && fail "'$evil' accepted"
  grep -q 'leave the destination folder' "$work/last.out" || fail "'$evil' not reported: $(cat "$work/last.out")"
  [ -z "$(ls -A "$drive_c/t/evil$n" 2>/dev/null)" ] || fail "'$evil': something was extracted"
done
[ -z "$(find "$drive_c" -name 'evil.txt' | head -n 1)" ] || fail "a file escaped its folder"
