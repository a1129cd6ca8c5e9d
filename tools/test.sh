#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test under Wine.
# Usage: tools/test.sh [--build-only] [ctest arguments...]   (build tree: $QEL_BUILD_DIR or build/)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QEL_BUILD_DIR:-$root/build}"

build_only=""
if [ "${1:-}" = "--build-only" ]; then build_only=1; shift; fi

"$root/tools/install-deps.sh"
"$root/tools/configure.sh" "$build"
[ -n "$build_only" ] && exit 0

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
