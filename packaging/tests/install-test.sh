#!/usr/bin/env bash
# An installed copy works on its own: install into a temporary prefix, move the
# build's program folder away, build the example project with the installed
# parcelon and print its reports with the installed pcn. User files must land
# under $XDG_DATA_HOME, never in the prefix.
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
tmp=$(mktemp -d)
away="$build/bin.moved-away-by-install-test"
restore() {
  [ -d "$away" ] && mv "$away" "$build/bin"
  rm -rf "$tmp"
}
trap restore EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix="$tmp/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
program="$prefix/lib/parcelon"
for f in pcn parcelon SignCode ChkTrust LDSCE LDSCNT.so LDSC95.so Extract.Exe PilotStub.Exe TinySetup.Exe INSTALLED Help/default.htm; do
  [ -e "$program/$f" ] || fail "the program folder lacks $f"
done
for f in bin/pcn bin/parcelon share/applications/parcelon.desktop share/mime/packages/parcelon.xml \
         share/icons/hicolor/scalable/apps/parcelon.svg share/icons/hicolor/256x256/apps/parcelon.png \
         share/metainfo/org.tarnwick.parcelon.metainfo.xml share/doc/parcelon/README.md \
         share/man/man1/parcelon.1.gz share/man/man1/parcelon-build.1.gz share/man/man1/pcn.1.gz \
         share/bash-completion/completions/parcelon share/zsh/vendor-completions/_parcelon; do
  [ -e "$prefix/$f" ] || fail "the install lacks $f"
done
# D-Bus starts the pcn of this install, wherever the prefix is.
grep -qx "Exec=$prefix/bin/pcn --automation" "$prefix/share/dbus-1/services/org.tarnwick.Parcelon.service" \
  || fail "the D-Bus service does not start $prefix/bin/pcn: $(cat "$prefix/share/dbus-1/services/org.tarnwick.Parcelon.service")"
if ldd "$program/parcelon" "$program/pcn" | grep -F "$build"; then fail "an installed program loads from the build tree"; fi

mv "$build/bin" "$away"
unset PCN_PROGRAM_DIR PCN_DATA_DIR
export HOME="$tmp/home" XDG_DATA_HOME="$tmp/home/data" XDG_CONFIG_HOME="$tmp/home/config"
mkdir -p "$HOME"
(cd "$prefix" && find . | sort) > "$tmp/before"

# The example builds every cabinet kind, signed: the stubs and the signing
# tools come from the installed program folder.
PCN_BIN_DIR="$prefix/bin" PCN_EXAMPLE_DIR="$tmp/example" "$source/scripts/run-example.sh" "$build" > "$tmp/example.log" 2>&1 \
  || { cat "$tmp/example.log"; fail "the installed parcelon could not build the example"; }
# (A self-extracting cabinet signs its cabinet before the join, not the program.)
[ -s "$tmp/example/output/TideSfx/TideSfx.EXE" ] || { cat "$tmp/example.log"; fail "TideSfx.EXE was not built"; }
for out in TideCab1.CAB TideSetupW.EXE; do
  grep -q "signature ok: .*$out" "$tmp/example.log" || { cat "$tmp/example.log"; fail "$out was not built and signed"; }
done

QT_QPA_PLATFORM=offscreen "$prefix/bin/pcn" --print-to "$tmp/report.pdf" "$tmp/example/Example.pcn" \
  || fail "the installed pcn could not print the example's reports"
pdftotext "$tmp/report.pdf" - | grep -q "Tide Tables Archive" || fail "the printed reports lack a package"

(cd "$prefix" && find . | sort) > "$tmp/after"
diff "$tmp/before" "$tmp/after" || fail "running the installed copy wrote into the prefix"
[ -d "$XDG_DATA_HOME/Parcelon" ] || fail "the data folder is not under \$XDG_DATA_HOME"
echo "installed copy: ok"
