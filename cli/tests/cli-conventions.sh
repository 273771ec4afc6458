#!/usr/bin/env bash
# What scripts rely on from every parcelon command: exit status 2 for a wrong
# command line, 130 after Ctrl-C with the outputs left as they were, results
# on stdout and messages on stderr, --json that parses, --files-from, and
# progress lines that fit an 80-column terminal.
source "$(dirname "$0")/../../scripts/test-lib.sh" "$1"
status() { "$@" >"$work/out" 2>"$work/err"; echo $?; }
json() { python3 -c "import json,sys; d=json.load(open(sys.argv[1])); print(eval(sys.argv[2]))" "$work/out" "$1"; }

mkdir -p "$work/src/docs"
head -c 200000 /dev/urandom >"$work/src/data.bin"
seq 1 20000 >"$work/src/docs/numbers.txt"
echo small >"$work/src/grows.txt"  # grows before the build that is cancelled
"$bin" new "$work/A.pcp" --company Acme --product Alpha --source "$work/src" --subdirs --target "$work/target" \
  --no-signature >/dev/null 2>&1 || fail "new A"
"$bin" project "$work/p.pcn" add "$work/A.pcp" >/dev/null 2>&1 || fail "project add"

# --- usage errors: 2, one hint, the closest command
for line in "biuld $work/p.pcn" "build" "build $work/p.pcn --no-such-option" "cab --level" "--progress sometimes show $work/A.pcp" ""; do
  # shellcheck disable=SC2086
  [ "$(status "$bin" $line)" = 2 ] || fail "'parcelon $line' does not exit 2: $(cat "$work/err")"
  grep -q "^Try 'parcelon.* --help' for more information.$" "$work/err" || fail "'parcelon $line' gives no hint"
done
"$bin" biuld "$work/p.pcn" 2>&1 | grep -qF "Did you mean 'build'?" || fail "no closest command for biuld"
[ "$(status "$bin" build "$work/p.pcn" --package Nope)" = 1 ] || fail "--package Nope does not fail"
grep -qF "no package named Nope" "$work/err" || fail "--package Nope: $(cat "$work/err")"
[ ! -e "$work/target/Alpha" ] || fail "--package Nope built something"
[ "$(status "$bin" --help)" = 0 ] && [ "$(status "$bin" build --help)" = 0 ] || fail "--help"

# --- stdout for results, stderr for messages
"$bin" build "$work/p.pcn" --progress=always >"$work/out" 2>"$work/err" || fail "build"
[ "$(cat "$work/out")" = "$work/target/Alpha/Alpha.CAB" ] || fail "build's stdout is not the list of outputs: $(cat "$work/out")"
grep -q "Alpha.*100%" "$work/err" || fail "--progress=always shows no progress on a pipe"
"$bin" build "$work/p.pcn" >"$work/out" 2>"$work/err" || fail "build again"
grep -q "%" "$work/err" && fail "progress on a pipe without --progress=always"
"$bin" -q build "$work/p.pcn" >/dev/null 2>"$work/err" || fail "build -q"
[ ! -s "$work/err" ] || fail "-q still prints: $(cat "$work/err")"

# --- --json
"$bin" build "$work/p.pcn" --json >"$work/out" 2>/dev/null || fail "build --json"
[ "$(json 'd["packages"][0]["outputs"][0]["size"] > 0 and d["packages"][0]["outputs"][0]["signed"] == False')" = True ] \
  || fail "build --json: $(cat "$work/out")"
"$bin" show "$work/A.pcp" --json >"$work/out" || fail "show --json"
[ "$(json 'd["product"]')" = Alpha ] || fail "show --json: $(cat "$work/out")"
"$bin" project "$work/p.pcn" list --json >"$work/out" || fail "project list --json"
[ "$(json 'd["packages"][0]["file"]')" = "$work/A.pcp" ] || fail "project list --json: $(cat "$work/out")"
if [ -f "$1/Extract.Exe" ]; then
  "$bin" info "$1/Extract.Exe" --json >"$work/out" || fail "info --json"
  [ "$(json 'd["format"]')" = "PE32+" ] || fail "info --json: $(cat "$work/out")"
fi
"$bin" scan "$bin" --no-scan --json >"$work/out" 2>/dev/null || fail "scan --json"
[ "$(json 'd["dependencies"][0]["origin"]')" = 6 ] || fail "scan --json: $(cat "$work/out")"

# --- cab --files-from
(cd "$work/src" && printf 'data.bin\ndocs/numbers.txt\n') >"$work/list"
(cd "$work/src" && "$bin" cab "$work/from.cab" --files-from "$work/list" --source-root . >/dev/null 2>&1) || fail "cab --files-from"
cabextract -l "$work/from.cab" 2>/dev/null | grep -q 'docs/numbers.txt' || fail "--files-from lost a file"
(cd "$work/src" && printf 'data.bin\0docs/numbers.txt\0' | "$bin" cab "$work/nul.cab" --files-from - -0 >/dev/null 2>&1) \
  || fail "cab --files-from - -0"
[ "$(cabextract -l "$work/nul.cab" 2>/dev/null | grep -c 'data.bin\|numbers.txt')" = 2 ] || fail "-0 list"

# --- progress width under an 80-column terminal
python3 - "$bin" "$work" <<'PY' || fail "progress lines wrap an 80-column terminal"
import fcntl, os, pty, struct, sys, termios
bin, work = sys.argv[1], sys.argv[2]
pid, fd = pty.fork()
if pid == 0:
    fcntl.ioctl(0, termios.TIOCSWINSZ, struct.pack("HHHH", 24, 80, 0, 0))
    os.execv(bin, [bin, "cab", work + "/wide.cab", work + "/src", "--level", "small"])
out = b""
while True:
    try:
        chunk = os.read(fd, 65536)
    except OSError:
        break
    if not chunk:
        break
    out += chunk
os.waitpid(pid, 0)
lines = out.replace(b"\x1b[K", b"").replace(b"\r\n", b"\n").replace(b"\r", b"\n").split(b"\n")
longest = max(len(l.decode("utf-8", "replace")) for l in lines)
sys.exit(0 if longest <= 80 and b"Compressing" in out else 1)
PY

# --- Ctrl-C: "cancelled", 130, and the outputs as they were
interrupt_after() {  # interrupt_after SECONDS COMMAND...: Ctrl-C after a while; prints the exit status
  local delay=$1; shift
  "$@" >/dev/null 2>"$work/err" &
  local pid=$!
  sleep "$delay"
  kill -INT $pid 2>/dev/null
  wait $pid
  echo $?
}
mkdir -p "$work/big"
head -c 60000000 /dev/urandom >"$work/big/big.bin"
printf 'previous cabinet' >"$work/keep.cab"
[ "$(interrupt_after 1 "$bin" cab "$work/keep.cab" "$work/big" --lzx --level small)" = 130 ] || fail "cab: Ctrl-C"
grep -qx cancelled "$work/err" || fail "cab: no 'cancelled': $(cat "$work/err")"
[ "$(cat "$work/keep.cab")" = "previous cabinet" ] || fail "a cancelled cab replaced the cabinet there"

before=$(md5sum <"$work/target/Alpha/Alpha.CAB")
# 120 MB of text at the smallest MSZIP level keeps the build busy for seconds.
seq 1 15000000 >"$work/src/grows.txt"
printf '[Settings\\Compression]\nMSZIP Level=dword:9\n' >>"$PCN_SETTINGS"
[ "$(interrupt_after 0.7 "$bin" build "$work/p.pcn")" = 130 ] || fail "build: Ctrl-C"
grep -qx cancelled "$work/err" || fail "build: no 'cancelled': $(cat "$work/err")"
[ "$(md5sum <"$work/target/Alpha/Alpha.CAB")" = "$before" ] || fail "a cancelled build changed the previous cabinet"
echo small >"$work/src/grows.txt"

# A component that takes its time to load keeps the scan waiting for the loader host.
printf '#include <unistd.h>\n__attribute__((constructor)) static void slow(void) { sleep(30); }\n' >"$work/slow.c"
if cc -shared -fPIC -o "$work/libslow.so" "$work/slow.c" 2>/dev/null; then
  start=$(date +%s%N)
  [ "$(interrupt_after 1 "$bin" scan "$work/libslow.so")" = 130 ] || fail "scan: Ctrl-C"
  [ $(( ($(date +%s%N) - start) / 1000000 )) -lt 3000 ] || fail "scan took more than 2 s to end after Ctrl-C"
  grep -qx cancelled "$work/err" || fail "scan: no 'cancelled': $(cat "$work/err")"
  sleep 0.2
  pgrep -f "LDSCE $work/libslow.so" >/dev/null && fail "the loader host outlived the cancelled scan"
fi

# --- completions and manual pages, made from the command definitions
"$bin" generate bash >"$work/completion.bash" || fail "generate bash"
complete_words() {  # complete_words WORD...: what bash offers for the last word
  bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _parcelon; echo "${COMPREPLY[*]}"' \
    _ "$work/completion.bash" parcelon "$@"
}
[ "$(complete_words bu)" = build ] || fail "bash completes 'bu' to '$(complete_words bu)'"
[ "$(complete_words cab --files)" = --files-from ] || fail "bash completes 'cab --files' to '$(complete_words cab --files)'"
"$bin" generate zsh | grep -q "^#compdef parcelon" || fail "generate zsh"
"$bin" generate man "$work/man" || fail "generate man"
for page in parcelon parcelon-build parcelon-cab parcelon-send parcelon-scan; do
  [ -f "$work/man/$page.1" ] || { fail "no manual page $page"; continue; }
  for section in "EXIT STATUS" ENVIRONMENT EXAMPLES; do
    grep -q "^\.SH $section" "$work/man/$page.1" || fail "$page(1) has no $section section"
  done
  LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$work/man/$page.1" >/dev/null 2>"$work/man.err"
  [ ! -s "$work/man.err" ] || fail "$page(1): $(cat "$work/man.err")"
done
grep -q "^\.B 130" "$work/man/parcelon-build.1" || fail "parcelon-build(1) does not document exit status 130"
"$bin" --help | grep -q "^  generate" && fail "the build's generate command is listed in --help"

finish
