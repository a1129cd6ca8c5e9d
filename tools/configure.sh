#!/usr/bin/env bash
# Configures (once) and builds the cross build tree: everything, or only the targets named.
# Usage: tools/configure.sh [build-dir [target...]]
set -euo pipefail
# shellcheck source=tools/on-error.sh
. "$(dirname "${BASH_SOURCE[0]}")/on-error.sh"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
if [ $# -gt 0 ]; then shift; fi
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
if [ $# -gt 0 ]; then
  cmake --build "$build" --target "$@"
else
  cmake --build "$build"
fi
