# What every command-line test script starts with; sourced, never run:
#   source "$(dirname "$0")/../../scripts/test-lib.sh" "$1"
# The program under test in $bin, a scratch folder $work removed on exit that
# also holds the settings and data, a failure count with fail(), and finish()
# to end the script with its verdict.
set -u
bin="$1/parcelon"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export PCN_SETTINGS="$work/settings.conf" PCN_DATA_DIR="$work/data"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures+1)); }
# The script's name and how many checks failed; non-zero when any did.
finish() { echo "$(basename "$0" .sh): $failures failures"; [ "$failures" -eq 0 ]; }
