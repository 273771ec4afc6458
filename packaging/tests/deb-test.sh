#!/usr/bin/env bash
# The Debian packages and the desktop files: build parcelon-cli and parcelon
# with cpack, check them with lintian (no error, no warning) and dpkg, install
# them into a fresh root, and ask the desktop's tools what they make of the
# launcher entry, the software-centre entry and our file types.
set -euo pipefail
build=$(cd "$1" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$tmp" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/deb" >"$tmp/cpack.log" 2>&1) \
  || { cat "$tmp/cpack.log"; fail "cpack could not make the packages"; }
cli=$(ls "$tmp"/deb/parcelon-cli_*.deb)
gui=$(ls "$tmp"/deb/parcelon_*.deb)
echo "packages: $(basename "$cli") $(basename "$gui")"

depends() { dpkg-deb -f "$1" Depends; }
cli_depends=$(depends "$cli")
gui_depends=$(depends "$gui")
echo "parcelon-cli Depends: $cli_depends"
echo "parcelon Depends: $gui_depends"
for needed in zlib1g libcurl osslsigncode; do
  case "$cli_depends" in *"$needed"*) ;; *) fail "parcelon-cli's Depends lacks $needed" ;; esac
done
case "$cli_depends" in *qt6*|*libgl*|*wine*|*mingw*) fail "parcelon-cli must not need Qt, wine or mingw-w64" ;; esac
for needed in libqt6widgets6 libqt6dbus6 "parcelon-cli (= "; do
  case "$gui_depends" in *"$needed"*) ;; *) fail "parcelon's Depends lacks $needed" ;; esac
done
dpkg-deb -f "$cli" Recommends | grep -q cabextract || fail "cabextract is not recommended"
if dpkg-deb -c "$cli" | grep -E 'bin/pcn$|TrustDialog$|/Help/'; then fail "desktop files in parcelon-cli"; fi

# lintian: nothing above the info level. It tells what it finds either way.
lintian --tag-display-limit 0 --display-info "$cli" "$gui" > "$tmp/lintian" 2>&1 || true
cat "$tmp/lintian"
if grep -E '^(E|W):' "$tmp/lintian"; then fail "lintian reports errors or warnings"; fi

# A fresh root of its own: dpkg's database and nothing else.
root="$tmp/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
dpkg --root="$root" --force-depends --force-script-chrootless --log=/dev/null -i "$cli" "$gui" >"$tmp/dpkg.log" 2>&1 \
  || { cat "$tmp/dpkg.log"; fail "dpkg could not install the packages"; }
for f in usr/bin/pcn usr/bin/parcelon usr/lib/parcelon/parcelon usr/lib/parcelon/TrustDialog \
         usr/lib/parcelon/Extract.Exe usr/share/applications/parcelon.desktop usr/share/man/man1/parcelon-build.1.gz \
         usr/share/bash-completion/completions/parcelon usr/share/icons/hicolor/48x48/apps/parcelon.png \
         usr/share/doc/parcelon/README.md; do
  [ -e "$root/$f" ] || fail "the installed packages lack /$f"
done
for package in parcelon-cli parcelon; do
  dpkg --root="$root" -s $package | grep -q '^Status: install ok installed' || fail "dpkg does not list $package"
done
grep -qx "Exec=/usr/bin/pcn --automation" "$root/usr/share/dbus-1/services/org.tarnwick.Parcelon.service" \
  || fail "the D-Bus service does not start /usr/bin/pcn"

# The launcher entry, the software-centre entry and the file types, with a MIME database of our own.
desktop-file-validate "$root/usr/share/applications/parcelon.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/org.tarnwick.parcelon.metainfo.xml" \
  || fail "appstreamcli validate"
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
echo "packages and desktop files: ok"
