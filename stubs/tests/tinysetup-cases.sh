# TinySetup.Exe under Wine, started by the wizard stub of a mini setup
# package: the shortcut group and its shortcuts in the personal programs
# folder, shortcuts straight into the common programs folder, and pcn.cfg
# gone from the installation folder afterwards.

msrc="$work/mini-src"
mkdir -p "$msrc/bin"
cp "$markers/MarkerProgram.exe" "$msrc/bin/"
printf 'read me\r\n' >"$msrc/readme.txt"
mini() {
  "$bin/parcelon" new "$work/$1.pcp" --kind wizard --company "Harbour Tide" --product "$1" --source "$msrc" --subdirs \
    --restore-dirs --target "$work/out" --no-inf --no-signature >/dev/null 2>&1 || fail "new $1"
  "$bin/parcelon" wizard "$work/$1.pcp" --mini-setup "${@:2}" >/dev/null 2>&1 || fail "wizard $1"
}
mini Grouped --group "Tide Tools" --shortcut 'Read Me=readme.txt' --shortcut 'Run: Tides=bin\MarkerProgram.exe' \
  --shortcut-type personal
mini Common --shortcut 'Tide Reader=bin\MarkerProgram.exe' --shortcut-type common

exe=$(build_package "$work/Grouped.pcp") || fail "build Grouped"
run_windows "$exe" /Q '/T:C:\grouped' || fail "Grouped: exit code $? $(cat "$work/last.out")"
personal=$(find "$drive_c/users/$(id -un)" -type d -path '*Start Menu/Programs' | head -n 1)
[ -n "$personal" ] || fail "no personal programs folder in the prefix"
[ -f "$personal/Tide Tools/Read Me.lnk" ] || fail "shortcut 'Read Me' in the group"
[ -f "$personal/Tide Tools/Run_ Tides.lnk" ] || fail "shortcut 'Run: Tides' with a file-name-safe name"
grep -qa 'readme.txt' "$personal/Tide Tools/Read Me.lnk" 2>/dev/null || fail "'Read Me' points at readme.txt"
[ -f "$drive_c/grouped/TinySetup.Exe" ] || fail "TinySetup.Exe installed"
[ ! -e "$drive_c/grouped/pcn.cfg" ] || fail "pcn.cfg left in the installation folder"

exe=$(build_package "$work/Common.pcp") || fail "build Common"
run_windows "$exe" /Q '/T:C:\common' || fail "Common: exit code $? $(cat "$work/last.out")"
common=$(find "$drive_c/ProgramData" -type d -path '*Start Menu/Programs' | head -n 1)
[ -f "$common/Tide Reader.lnk" ] || fail "shortcut in the common programs folder"
grep -qa 'MarkerProgram.exe' "$common/Tide Reader.lnk" 2>/dev/null || fail "'Tide Reader' points at the program"

# TinySetup on its own: a folder without pcn.cfg fails and says so.
mkdir -p "$drive_c/nocfg"
run_windows "$bin/TinySetup.Exe" 'C:\nocfg' /Q && fail "TinySetup without pcn.cfg succeeded"
grep -q 'pcn.cfg' "$work/last.out" || fail "missing pcn.cfg not reported: $(cat "$work/last.out")"
