#!/usr/bin/env bash
# Builds what is missing and starts QelRegistration.exe under Wine with the given arguments, on
# the user's display when $DISPLAY is set, otherwise on a private Xvfb. A screenshot of the first
# window that appears is saved under build/run/screenshots/.
# Usage: tools/run.sh [program arguments...]        for example: tools/run.sh -Setup
# Environment: QEL_BUILD_DIR (build tree, default build/), QEL_RUN_SHOT_WAIT (seconds to wait for
# a window, default 30), QEL_WORLD_FILE (the simulated printers, default the world beside the
# stand-in libraries, standins/world/default.world).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QEL_BUILD_DIR:-$root/build}"
run="$build/run"
shot_wait="${QEL_RUN_SHOT_WAIT:-30}"

"$root/tools/install-deps.sh"
# Configures once, then builds only what the run needs and what changed.
"$root/tools/configure.sh" "$build" qel_run

# The run has a prefix of its own, so it never disturbs tests running on build/wineprefix.
mkdir -p "$run/screenshots"
own_display=1
if [ -n "${DISPLAY:-}" ]; then
  export QEL_USE_HOST_DISPLAY=1
  own_display=""
fi
# shellcheck source=tools/wine-env.sh
. "$root/tools/wine-env.sh"
trap qel_wine_teardown EXIT INT TERM
qel_wine_setup "$run"
if [ -n "$own_display" ]; then
  # No window manager on Xvfb: let Wine draw the title bars, so the screenshot shows captions.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
fi

shot="$run/screenshots/QelRegistration-$(date +%Y%m%d-%H%M%S).bmp"
cd "$build/bin"
echo "Starting: QelRegistration.exe $* (display $DISPLAY)"
wine QelRegistration.exe "$@" &
program=$!
wine qelshot.exe "$shot" QelRegistration.exe "$shot_wait" &
shooter=$!

# Whichever ends first: the screenshot, or the program (which may end without any window).
while kill -0 "$shooter" 2>/dev/null && kill -0 "$program" 2>/dev/null; do
  sleep 0.2
done
if [ -s "$shot" ]; then
  echo "Screenshot: $shot"
fi

if ! kill -0 "$program" 2>/dev/null; then
  status=0
  wait "$program" || status=$?
  [ -s "$shot" ] || echo "QelRegistration.exe ended without showing a window."
  echo "QelRegistration.exe exit code: $status"
  exit 0
fi
if [ -n "$own_display" ]; then
  # Nobody can answer the program on a private display: stop it (with its Wine server).
  echo "No display to interact on (set DISPLAY to use the program); stopping it."
  exit 0
fi
echo "Waiting for QelRegistration.exe to end (answer it on the display)..."
status=0
wait "$program" || status=$?
echo "QelRegistration.exe exit code: $status"
