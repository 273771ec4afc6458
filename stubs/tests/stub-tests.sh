#!/usr/bin/env bash
# The Windows stubs run under Wine on packages that parcelon builds. One Wine
# prefix serves every case (making one is slow); each stub's cases are in
# their own file. Usage: stub-tests.sh PROGRAM_FOLDER MARKER_FOLDER
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
for cases in extract pilot tinysetup; do
  echo "== $cases"
  . "$here/$cases-cases.sh"
done
finish
