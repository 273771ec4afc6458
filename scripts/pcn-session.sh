# Sourced by the scripts that take the README's pictures of pcn: a fresh
# work folder with fresh settings and data folder, and the real pcn from the
# build's program folder under a virtual X server with a window manager.

# Exits when one of the tools is missing, naming the caller and the tool.
need_tools() {
  local who=$1 tool
  shift
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "$who: $tool is needed" >&2; exit 1; }
  done
}

# WORK: a folder removed on exit; PCN_SETTINGS and PCN_DATA_DIR point into it.
fresh_work() {
  WORK=$(mktemp -d)
  trap 'rm -rf "$WORK"' EXIT
  export PCN_DATA_DIR="$WORK/data" PCN_SETTINGS="$WORK/PCN.conf"
  mkdir -p "$PCN_DATA_DIR" "$OUT"
}

# Starts pcn on a 1000x700 screen and runs the steps, a bash text in which
# `shot NAME SECONDS` waits and then saves the screen as $OUT/NAME.png.
run_pcn_session() {
  export BUILD OUT WORK STEPS="$1"
  export QT_QPA_PLATFORM=xcb
  xvfb-run -a -s "-screen 0 1000x700x24" bash -c '
    set -e
    shot() { sleep "$2"; import -window root "$OUT/$1.png"; echo "$OUT/$1.png"; }
    openbox & wm=$!
    sleep 1
    "$BUILD/bin/pcn" & pid=$!
    sleep 5
    # Anything that greets the start would hide the windows the steps open.
    xdotool key Escape; sleep 0.5
    eval "$STEPS"
    kill $pid $wm; wait $pid || true
  '
}
