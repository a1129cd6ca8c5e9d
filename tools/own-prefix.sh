#!/bin/bash
# tools/own-prefix.sh <build-dir> <name> <program.exe> [arguments...]
# Runs a test program under Wine in a prefix and on a display of its own, so that it can run
# beside the other tests even where the program it starts allows one copy per prefix. The prefix
# is a copy of the booted test prefix (qel_copy_prefix), under <build-dir>/own-prefix/<name>.
# Its own Xvfb and wineserver are stopped and the copy removed when the program ends.
set -euo pipefail
build=$1
name=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tools/on-error.sh
. "$here/on-error.sh"
# shellcheck source=tools/wine-env.sh
. "$here/wine-env.sh"

# The prefix of the run that started the test (tools/test.sh's, tools/bench.sh's own), else the
# test prefix of the build tree.
original="$build/wineprefix"
if [ -f "${WINEPREFIX:-}/.qel-booted" ]; then original=$WINEPREFIX; fi
dir="$build/own-prefix/$name"
if [ ! -f "$original/.qel-booted" ]; then
  echo "the test prefix $original is not booted: run tools/test.sh" >&2
  exit 1
fi
cleanup() {
  qel_wine_teardown
  rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 143' TERM INT
qel_copy_prefix "$original" "$dir"
qel_wine_setup "$dir"
status=0
wine "$@" || status=$?
exit $status
