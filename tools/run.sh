#!/usr/bin/env bash
# Builds what is missing and runs QelRegistration.exe under Wine with the given arguments against
# the simulated cloud and the simulated world, in a Wine prefix of its own whose browser only
# records the pages the program opens.
# With $DISPLAY set, the program shows on that display for you to answer; a picture of its first
# window is saved. Without one, on a private Xvfb, qeldrive.exe answers the screens (the "-Setup"
# road: box 11008, the printer list's first printer or the one chosen, Register, the agreement, a
# USB printer's Wi-Fi screens with the network and key that the world gives it; any other box
# with OK), saves a picture of each and prints each screen as it is passed, and while one stays
# up a line every 10 s. Either way it prints the pages opened (on a display once the browser that
# the program started has written them) and the exit code, and stops what it started; a Wine
# server that it did not start on its prefix is used and left running.
# Usage: tools/run.sh [--printer <model>] [program arguments...]
#   for example: tools/run.sh -Setup, tools/run.sh --printer "VT-M200 Series" -Setup
# Environment: QEL_BUILD_DIR (build tree, default build/), QEL_RUN_DIR (the run's prefix, cloud,
# pictures and pages, default build/run), QEL_RUN_SHOT_WAIT (seconds to wait for the first window
# on a display, default 30), QEL_WORLD_FILE (the simulated printers, default the world beside the
# stand-in libraries, standins/world/default.world), QEL_RUN_PRINTER (the model of the printer to
# register without a display, as --printer; default the list's first).
set -euo pipefail
# shellcheck source=tools/on-error.sh
. "$(dirname "${BASH_SOURCE[0]}")/on-error.sh"
printer="${QEL_RUN_PRINTER:-}"
if [ "${1:-}" = "--printer" ]; then
  if [ $# -lt 2 ]; then
    echo "run.sh: --printer needs the model of a printer of the world" >&2
    exit 2
  fi
  printer="$2"
  shift 2
fi
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QEL_BUILD_DIR:-$root/build}"
run="${QEL_RUN_DIR:-$build/run}"
shot_wait="${QEL_RUN_SHOT_WAIT:-30}"

"$root/tools/install-deps.sh"
# Configures once, then builds only what the run needs and what changed.
"$root/tools/configure.sh" "$build" qel_run

# The run has a prefix of its own, so it never disturbs tests running on build/wineprefix.
stamp="$(date +%Y%m%d-%H%M%S)"
pictures="$run/screenshots/$stamp"
mkdir -p "$pictures"
own_display=1
if [ -n "${DISPLAY:-}" ]; then
  export QEL_USE_HOST_DISPLAY=1
  own_display=""
fi

cloud_state="$run/cloud"
cloud_started=""
stop_all() {
  if [ -n "$cloud_started" ]; then
    /usr/bin/python3 "$root/standins/cloud/qelcloud.py" --stop --state-dir "$cloud_state" \
      >/dev/null 2>&1 || true
    cloud_started=""
  fi
  qel_wine_teardown
}
# shellcheck source=tools/wine-env.sh
. "$root/tools/wine-env.sh"
trap stop_all EXIT
trap 'exit 130' INT TERM

# The simulated cloud on a free port; it stands as the program's http proxy, so the program's
# fixed service addresses reach it there (and a proxy of this machine is not used).
qel_step_log="$cloud_state/cloud.log"
port="$(/usr/bin/python3 "$root/standins/cloud/qelcloud.py" --background --port 0 \
  --state-dir "$cloud_state" | tail -n 1)"
cloud_started=1
qel_step_log=""
echo "Simulated cloud: http://127.0.0.1:$port (log $cloud_state/cloud.log)"
unset https_proxy HTTPS_PROXY no_proxy NO_PROXY HTTP_PROXY
export http_proxy="http://127.0.0.1:$port"
# A Windows path of this machine's file (Wine's drive Z: is the root).
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
# A world file named by this machine's path, relative to where the run was started, reaches the
# program (which runs in build/bin) as a Windows path; a Windows path stays as it is.
if [ -n "${QEL_WORLD_FILE:-}" ] && [[ "$QEL_WORLD_FILE" != *:* ]]; then
  QEL_WORLD_FILE="$(windows_path "$(realpath -m "$QEL_WORLD_FILE")")"
  export QEL_WORLD_FILE
fi
echo "Simulated world: ${QEL_WORLD_FILE:-$build/bin/qelworld.world}"

qel_wine_setup "$run"
# Wine hands the desktop the output of the first program that needs it: held from here, it has
# none of the run's, also where a server that the run did not start keeps it past the run's end.
qel_wine_hold_desktop "$build/bin"
if [ -n "$own_display" ]; then
  # No window manager on Xvfb: let Wine draw the title bars, so the pictures show captions.
  qel_wine_set 'HKCU\Software\Wine\X11 Driver' Managed REG_SZ N || true
fi

cd "$build/bin"
shown=""
[ $# -eq 0 ] || printf -v shown ' %q' "$@"
if [ -n "$own_display" ]; then
  chosen=()
  if [ -n "$printer" ]; then
    chosen=(--printer "$printer")
    echo "Printer to register: $printer"
  fi
  echo "Starting: QelRegistration.exe$shown (no display to answer on: qeldrive.exe answers)"
  status=0
  # The report names the pictures' folder as Wine sees it: print this machine's path instead,
  # each line as it comes.
  wine qeldrive.exe --pictures "$(windows_path "$pictures")" "${chosen[@]}" -- "$@" |
    sed -u "s|^Pictures: .*|Pictures (screenshots of every screen): $pictures|" || status=$?
  exit $status
fi
if [ -n "$printer" ]; then
  echo "On a display you choose the printer yourself; \"$printer\" is not chosen for you."
fi

# The browser of the prefix records the pages; the program inherits where to.
pages="$run/pages-$stamp.txt"
rm -f "$pages"
export QEL_PAGE_RECORD
QEL_PAGE_RECORD="$(windows_path "$pages")"
recorder="\"$(windows_path "$build/bin/qelpagerec.exe")\" \"%1\""
for protocol in http https; do
  qel_wine_set "HKCR\\$protocol\\shell\\open\\command" "" REG_SZ "$recorder" || true
done

shot="$pictures/QelRegistration.bmp"
echo "Starting: QelRegistration.exe$shown (display $DISPLAY)"
wine QelRegistration.exe "$@" &
program=$!
wine qelshot.exe "$(windows_path "$shot")" QelRegistration.exe "$shot_wait" &
shooter=$!
# Whichever ends first: the picture, or the program (which may end without any window).
while kill -0 "$shooter" 2>/dev/null && kill -0 "$program" 2>/dev/null; do
  sleep 0.2
done
if [ -s "$shot" ]; then
  echo "Picture of the first window: $shot"
fi
if kill -0 "$program" 2>/dev/null; then
  echo "Waiting for QelRegistration.exe to end (answer it on the display)..."
elif [ ! -s "$shot" ]; then
  echo "QelRegistration.exe ended without showing a window."
  # Nothing left to picture: the tool, ours, ends now, also where the Wine server is not ours.
  kill "$shooter" 2>/dev/null || true
fi
wait "$shooter" 2>/dev/null || true
status=0
wait "$program" || status=$?
# A page that the program asked for is written by the browser it started, which may still be on
# its way when the program has ended.
wine qelpagerec.exe --wait 30 || echo "A browser of the run did not end within 30 s."
if [ -s "$pages" ]; then
  sed 's/^/Page opened: /' "$pages"
else
  echo "No page opened."
fi
echo "QelRegistration.exe exit code: $status"
