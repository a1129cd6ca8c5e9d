# Sourced by tools/test.sh and tools/run.sh: a private Wine prefix and a display for one run.
# Defines qel_wine_setup <build-dir> and qel_wine_teardown; both only touch what they started.

qel_wine_setup() {
  local build="$1"
  export WINEPREFIX="$build/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win64
  export LANG=C.UTF-8 LC_ALL=C.UTF-8
  export TZ=UTC
  QEL_XVFB_PID=""
  QEL_WINESERVER_STARTED=""

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

qel_wine_teardown() {
  if [ -n "${QEL_WINESERVER_STARTED:-}" ]; then
    wineserver -k >/dev/null 2>&1 </dev/null || true
    QEL_WINESERVER_STARTED=""
  fi
  if [ -n "${QEL_XVFB_PID:-}" ]; then
    kill "$QEL_XVFB_PID" 2>/dev/null || true
    wait "$QEL_XVFB_PID" 2>/dev/null || true
    QEL_XVFB_PID=""
  fi
}
