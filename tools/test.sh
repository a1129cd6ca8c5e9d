#!/usr/bin/env bash
# Installs what is missing, builds and runs the tests under Wine: every test, or with ctest's
# arguments (-R <regex>, -E, -L...) the entries that they choose, after building only the
# programs that those entries run.
# Usage: tools/test.sh [--build-only] [ctest arguments...]   (build tree: $QEL_BUILD_DIR or build/)
set -euo pipefail
# shellcheck source=tools/on-error.sh
. "$(dirname "${BASH_SOURCE[0]}")/on-error.sh"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QEL_BUILD_DIR:-$root/build}"

build_only=""
if [ "${1:-}" = "--build-only" ]; then build_only=1; shift; fi

"$root/tools/install-deps.sh"
if [ -n "$build_only" ] || [ $# -eq 0 ]; then
  "$root/tools/configure.sh" "$build"
  if [ -n "$build_only" ]; then exit 0; fi
else
  # The run holds the desktop with qel_desktop_holder. Each chosen entry runs a program of the
  # build tree (a test program, directly or through tools/own-prefix.sh) or the run command.
  "$root/tools/configure.sh" "$build" qel_desktop_holder
  mapfile -t targets < <(ctest --test-dir "$build" -N --show-only=json-v1 "$@" |
    /usr/bin/python3 -c '
import json, os, sys
bin = os.path.join(os.path.realpath(sys.argv[1]), "bin")
for test in json.load(sys.stdin)["tests"]:
    for arg in test.get("command") or []:
        if os.path.dirname(os.path.realpath(arg)) == bin and arg.endswith(".exe"):
            print(os.path.basename(arg)[:-len(".exe")])
        elif arg.endswith("/tools/run.sh"):
            print("qel_run")
' "$build" | sort -u)
  if [ ${#targets[@]} -gt 0 ]; then
    echo "Building what the chosen tests run: ${targets[*]}"
    "$root/tools/configure.sh" "$build" "${targets[@]}"
  fi
fi

# shellcheck source=tools/wine-env.sh
. "$root/tools/wine-env.sh"
trap qel_wine_teardown EXIT INT TERM
qel_wine_setup "$build" unmanaged
qel_wine_hold_desktop "$build/bin"

mkdir -p "$build/test-artifacts"
cd "$build"
status=0
ctest --output-on-failure --timeout 600 -j "${QEL_TEST_JOBS:-$(nproc)}" "$@" || status=$?
echo "Test artifacts (screenshots): $build/test-artifacts"
exit $status
