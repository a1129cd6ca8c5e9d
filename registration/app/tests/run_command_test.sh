#!/bin/bash
# run_command_test.sh <tools/run.sh> <build dir>: the run command on the display of the test run,
# in a copy of the test prefix, without and then with a Wine server held on that prefix.
set -euo pipefail
run=$1 build=$2
. "$(dirname "$run")/wine-env.sh"
dir="$build/own-prefix/qelapp_run_command"
original="$build/wineprefix"
if [ -f "${WINEPREFIX:-}/.qel-booted" ]; then original=$WINEPREFIX; fi
qel_copy_prefix "$original" "$dir"
export WINEPREFIX="$dir/wineprefix"
trap 'wineserver -k 2>/dev/null; rm -rf "$dir"' EXIT
failed=0
for held in "" "this run uses it and leaves it running"; do
  [ -z "$held" ] || wineserver -p 60 >/dev/null 2>&1 </dev/null
  out=$(QEL_RUN_DIR="$dir" QEL_BUILD_DIR="$build" "$run" -HD -LOGIN "VT-X100 Series" "" 2>&1) || true
  echo "$out"
  for want in "^Page opened: http://.*FNC=MLOGIN" "^QelRegistration.exe exit code: 0$" "$held"; do
    grep -q -- "$want" <<<"$out" || { echo "FAILED: no line \"$want\""; failed=1; }
  done
  if [ -n "$held" ] && qel_wine_server_ends 0.5; then echo "FAILED: the held server ended"; failed=1; fi
done
exit $failed
