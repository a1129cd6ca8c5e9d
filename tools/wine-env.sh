# Sourced by tools/test.sh, tools/bench.sh and tools/run.sh: a private Wine prefix and a display
# for one run. Defines qel_wine_setup <build-dir> [unmanaged], qel_wine_hold_desktop <bin-dir>
# (test runs) and qel_wine_teardown; they only touch what they started.

qel_wine_setup() {
  local build="$1"
  local unmanaged="${2:-}"
  export WINEPREFIX="$build/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win64
  export LANG=C.UTF-8 LC_ALL=C.UTF-8
  export TZ=UTC
  QEL_XVFB_PID=""
  QEL_WINESERVER_STARTED=""
  QEL_DESKTOP_HOLDER_PID=""

  if [ -z "${QEL_USE_HOST_DISPLAY:-}" ] || [ -z "${DISPLAY:-}" ]; then
    # Our own X server; -displayfd picks a free display number and reports it.
    local fifo="$build/.xvfb-display"
    rm -f "$fifo"
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >"$build/xvfb.log" 2>&1 &
    QEL_XVFB_PID=$!
    local num=""
    read -r -t 30 num <"$fifo" || true
    rm -f "$fifo"
    if [ -z "$num" ]; then
      echo "Xvfb did not start (see $build/xvfb.log)" >&2
      return 1
    fi
    export DISPLAY=":$num"
  fi

  # Boot the prefix once, never in parallel with anything else on it.
  if [ ! -f "$WINEPREFIX/.qel-booted" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >"$build/wineboot.log" 2>&1 || true
    wineserver -w
    touch "$WINEPREFIX/.qel-booted"
  fi
  # Once per prefix, also one booted before this setting existed.
  if [ ! -f "$WINEPREFIX/.qel-no-debugger" ]; then
    qel_wine_no_debugger
    touch "$WINEPREFIX/.qel-no-debugger"
  fi
  if [ "$unmanaged" = unmanaged ] && [ ! -f "$WINEPREFIX/.qel-unmanaged" ]; then
    qel_wine_unmanaged
    touch "$WINEPREFIX/.qel-unmanaged"
  fi
  # A persistent server for the run; its output must not hold our pipes open.
  wineserver -p >/dev/null 2>&1 </dev/null
  QEL_WINESERVER_STARTED=1
  # The first Wine program starts the prefix's background services, which inherit its output
  # and would keep a test runner waiting for end of output: start them here, detached.
  wine cmd.exe /c exit >/dev/null 2>&1 </dev/null || true
}

# A program that crashes must end at once with its output. Wine's default starts its debugger
# on an unhandled exception and shows a crash dialog that waits for a click nobody gives under
# Xvfb, so a crashing test would sit until its time-out: no debugger (an empty command that
# cannot start, taken without asking), and no crash dialog should a debugger start anyway.
qel_wine_no_debugger() {
  local aedebug='HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug'
  {
    wine reg add "$aedebug" /v Debugger /t REG_SZ /d "" /f
    wine reg add "$aedebug" /v Auto /t REG_SZ /d 1 /f
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
  } >/dev/null 2>&1 </dev/null || true
  # The server writes the registry to the prefix when it ends.
  wineserver -w
}

# The test display runs no window manager: Wine draws every program's frames and captions itself,
# so pictures show them. Wine reads this when a program starts, so it is set for the whole prefix
# before any program runs: written from inside a test program, it came too late for that program,
# whose windows were then managed by nobody, and a window test took minutes on its first run in a
# prefix instead of seconds.
qel_wine_unmanaged() {
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
    >/dev/null 2>&1 </dev/null || true
  wineserver -w
}

# qel_wine_hold_desktop <bin dir>: starts the Wine desktop for the whole run and holds it with
# qel_desktop_holder.exe (cmake/testing/desktop_holder.cpp), with no output of ours. Wine starts
# the desktop from the first program that needs it, hands it that program's error output, and
# ends it a moment after the last program leaves it: restarted by a test, it kept that test's
# output pipe open while other tests showed windows, and ctest waited for the end of that output
# until the test's time-out although the test had passed and ended. Returns once the desktop
# stands; the run's Wine server stops the holder in qel_wine_teardown.
qel_wine_hold_desktop() {
  local holder="$1/qel_desktop_holder.exe"
  local ready="$WINEPREFIX/.qel-desktop-held"
  rm -f "$ready"
  if [ ! -f "$holder" ]; then
    echo "No $holder: the desktop is not held for the run" >&2
    return 1
  fi
  wine "$holder" "Z:$ready" </dev/null >/dev/null 2>&1 &
  QEL_DESKTOP_HOLDER_PID=$!
  local tries=0
  while [ ! -f "$ready" ]; do
    if ! kill -0 "$QEL_DESKTOP_HOLDER_PID" 2>/dev/null || [ "$tries" -ge 300 ]; then
      echo "The desktop holder did not start" >&2
      return 1
    fi
    tries=$((tries + 1))
    sleep 0.1
  done
}

qel_wine_teardown() {
  if [ -n "${QEL_WINESERVER_STARTED:-}" ]; then
    wineserver -k >/dev/null 2>&1 </dev/null || true
    QEL_WINESERVER_STARTED=""
  fi
  if [ -n "${QEL_DESKTOP_HOLDER_PID:-}" ]; then
    wait "$QEL_DESKTOP_HOLDER_PID" 2>/dev/null || true
    QEL_DESKTOP_HOLDER_PID=""
  fi
  if [ -n "${QEL_XVFB_PID:-}" ]; then
    kill "$QEL_XVFB_PID" 2>/dev/null || true
    wait "$QEL_XVFB_PID" 2>/dev/null || true
    QEL_XVFB_PID=""
  fi
}
