#!/usr/bin/env bash
# A new package made the way a user makes one, with the keyboard alone: the
# real pcn from the program folder, fresh settings, a virtual X server with a
# window manager. Ctrl+N, then the company name typed at once (the focus is
# in the first field, no click), the other fields reached with Tab, Alt+D to
# leave out the signature, the source folder typed on the Folder page, and
# every page left with Enter (the forward button) until the built package's
# Close. `parcelon show` then reads the company name from the package file
# the wizard saved. Screenshots of the pages go to the screenshot folder.
#   scripts/gui-new-package.sh [build-folder] [screenshot-folder]
# Exit 77 (skipped) when the X tools are not installed.
set -euo pipefail
BUILD=$(realpath "${1:-out}")
SHOTS=$(realpath -m "${2:-$BUILD/gui-new-package}")
for tool in xvfb-run openbox xdotool import; do
  command -v "$tool" >/dev/null || { echo "gui-new-package: skipped: $tool is not installed" >&2; exit 77; }
done
WORK=$(mktemp -d)
trap 'rm -rf "$WORK" 2>/dev/null || true' EXIT
mkdir -p "$SHOTS" "$WORK/data" "$WORK/src"
echo "Read me first." > "$WORK/src/readme.txt"
head -c 20000 /dev/urandom > "$WORK/src/widgets.dat"

# The X server's windows, whatever the caller's Qt platform (ctest runs offscreen).
export QT_QPA_PLATFORM=xcb
export PCN_SETTINGS="$WORK/PCN.conf" PCN_DATA_DIR="$WORK/data"
export BUILD SHOTS WORK
xvfb-run -a -s "-screen 0 1024x768x24" bash -uo pipefail -c '
  fail() { echo "gui-new-package: $*" >&2; failed=1; }
  failed=0
  shot() { import -window root "$SHOTS/$1.png"; }
  active() { xdotool getactivewindow 2>/dev/null || true; }
  # The active window once it is another than the one given; empty when none comes.
  other_than() {
    for _ in $(seq 1 40); do
      id=$(active)
      [ -n "$id" ] && [ "$id" != "$1" ] && { echo "$id"; return; }
      sleep 0.25
    done
  }
  openbox & wm=$!
  sleep 1
  "$BUILD/bin/pcn" & pcn=$!
  # Ends the program without waiting on a question it may ask.
  stop() { kill -9 $pcn 2>/dev/null; wait $pcn 2>/dev/null; kill $wm 2>/dev/null; }
  main=""
  for _ in $(seq 1 80); do
    main=$(xdotool search --onlyvisible --name " - Tarnwick Parcelon\$" 2>/dev/null | head -n 1 || true)
    [ -n "$main" ] && break
    sleep 0.25
  done
  [ -n "$main" ] || { fail "the main window did not open"; stop; exit 1; }
  sleep 2
  xdotool windowactivate --sync "$main"; sleep 0.5

  xdotool key ctrl+n
  wizard=$(other_than "$main")
  [ -n "$wizard" ] || { fail "Ctrl+N opened no window"; shot no-wizard; stop; exit 1; }
  opened=$(xdotool getwindowname "$wizard")
  [ "$opened" = "New Package" ] || { fail "Ctrl+N opened \"$opened\", not the New Package wizard"; shot no-wizard; stop; exit 1; }
  # At once: no click and no Tab before the company name.
  xdotool type --delay 25 "Acme Software"
  xdotool key Tab; xdotool type --delay 15 "Widget Tools"
  xdotool key Tab; xdotool type --delay 15 "1.0"
  xdotool key Tab; xdotool type --delay 15 "Widgets for everyone"
  sleep 0.3; shot new-package-information
  xdotool key Return; sleep 0.8
  # The Type page: a plain cabinet (Alt+C), then Next.
  xdotool key alt+c; sleep 0.2
  shot new-package-type
  xdotool key Return; sleep 0.8
  # The Folder page: the source folder, typed over what is there.
  xdotool key ctrl+a; xdotool type --delay 10 "$WORK/src"
  sleep 0.3; shot new-package-folder
  # Enter from here on, on the wizard and on any question it asks (its
  # default answer): each page goes forward, the Summary page'"'"'s Finish
  # builds and the Build page'"'"'s Close ends the wizard.
  for step in $(seq 1 25); do
    [ -n "$(xdotool search --onlyvisible --name "^New Package\$" 2>/dev/null)" ] || break
    xdotool key Return; sleep 1.5
    shot "new-package-step-$step"
  done
  if [ -n "$(xdotool search --onlyvisible --name "^New Package\$" 2>/dev/null)" ]; then
    fail "Enter did not take the wizard to its end"; shot wizard-left-open
  fi
  # The new package is selected in the list and shown in the tree.
  sleep 1; shot new-package-added
  # Ctrl+S saves the project, Ctrl+Q quits.
  xdotool key ctrl+s; sleep 1; xdotool key ctrl+q
  for _ in $(seq 1 20); do kill -0 $pcn 2>/dev/null || break; sleep 0.25; done
  if kill -0 $pcn 2>/dev/null; then fail "Ctrl+Q did not quit"; shot quit-refused; fi
  stop
  exit $failed
' || { echo "gui-new-package: the session under the X server failed" >&2; exit 1; }

PACKAGE="$WORK/data/Widget Tools.pcp"
[ -f "$PACKAGE" ] || { echo "gui-new-package: no package file $PACKAGE" >&2; ls -l "$WORK/data" >&2; exit 1; }
"$BUILD/bin/parcelon" show "$PACKAGE" | tee "$WORK/show.txt"
grep -q "Company Name: *Acme Software" "$WORK/show.txt" || { echo "gui-new-package: the package does not carry the company name" >&2; exit 1; }
echo "gui-new-package: the package made with the keyboard carries \"Acme Software\""
