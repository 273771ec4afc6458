#!/usr/bin/env bash
# The Debian package and the desktop files: build the .deb with cpack, check it
# with lintian and dpkg, install it into a fresh root, and ask the desktop's
# tools what they make of the launcher entry and of our files.
set -euo pipefail
build=$(cd "$1" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$tmp" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/deb" >"$tmp/cpack.log" 2>&1) \
  || { cat "$tmp/cpack.log"; fail "cpack could not make the package"; }
deb=$(ls "$tmp"/deb/parcelon_*.deb)
echo "package: $(basename "$deb")"

dpkg-deb -I "$deb" > "$tmp/info"
cat "$tmp/info"
depends=$(sed -n 's/^ Depends: //p' "$tmp/info")
needs=(libqt6widgets6 libqt6dbus6 zlib1g osslsigncode)
# The FTP library brings libcurl along.
if dpkg-deb -c "$deb" | grep -q 'PcnFtp.so$'; then needs+=(libcurl); fi
for needed in "${needs[@]}"; do
  case "$depends" in *"$needed"*) ;; *) fail "Depends lacks $needed: $depends" ;; esac
done
grep -q '^ Recommends: .*cabextract' "$tmp/info" || fail "cabextract is not recommended"
case "$depends" in *wine*|*mingw*) fail "wine or mingw-w64 must not be needed at run time: $depends" ;; esac

# lintian: errors fail, warnings are shown.
lintian --no-tag-display-limit "$deb" > "$tmp/lintian" 2>&1 || true
cat "$tmp/lintian"
if grep -q '^E:' "$tmp/lintian"; then fail "lintian reports errors"; fi

# A fresh root of its own: dpkg's database and nothing else.
root="$tmp/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
dpkg --root="$root" --force-depends --force-script-chrootless --log=/dev/null -i "$deb" >"$tmp/dpkg.log" 2>&1 \
  || { cat "$tmp/dpkg.log"; fail "dpkg could not install the package"; }
for f in usr/bin/pcn usr/bin/parcelon usr/lib/parcelon/parcelon usr/lib/parcelon/Extract.Exe \
         usr/share/applications/parcelon.desktop usr/share/man/man1/parcelon.1.gz; do
  [ -e "$root/$f" ] || fail "the installed package lacks /$f"
done
dpkg --root="$root" -s parcelon | grep -q '^Status: install ok installed' || fail "dpkg does not list parcelon as installed"

# The launcher entry and the file types, with a MIME database of our own.
desktop-file-validate "$root/usr/share/applications/parcelon.desktop" || fail "desktop-file-validate"
share="$tmp/share"
mkdir -p "$share/mime/packages"
cp "$root/usr/share/mime/packages/parcelon.xml" "$share/mime/packages/"
update-mime-database "$share/mime"
printf '\xcd\xcc\xcc\xcc\xcc\xcc\x00\x40\x00\x00\x00\x00' > "$tmp/Release.pcn"
printf '\xcd\xcc\xcc\xcc\xcc\xcc\x00\x40\x00\x00\x00\x00' > "$tmp/Tools.pcp"
export XDG_DATA_HOME="$share" XDG_DATA_DIRS="$share:/usr/share"
unset XDG_CURRENT_DESKTOP
[ "$(xdg-mime query filetype "$tmp/Release.pcn")" = application/x-parcelon-project ] || fail "a .pcn is not a project"
[ "$(xdg-mime query filetype "$tmp/Tools.pcp")" = application/x-parcelon-package ] || fail "a .pcp is not a package"
# Without its name, the file is still known by its first eight bytes.
cp "$tmp/Release.pcn" "$tmp/renamed"
case "$(xdg-mime query filetype "$tmp/renamed")" in
  application/x-parcelon-*) ;;
  *) fail "the format version does not identify a Parcelon file" ;;
esac
echo "package and desktop files: ok"
