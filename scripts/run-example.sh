#!/usr/bin/env bash
# The main job: show what parcelon can do on the bundled example.
set -euo pipefail
build=${1:-build}
"$build/bin/parcelon" --version
