# Sourced by tools/test.sh, tools/bench.sh, tools/run.sh and tools/own-prefix.sh: a private Wine
# prefix and a display for one run. Defines qel_wine_setup <build-dir> [unmanaged],
# qel_wine_hold_desktop <bin-dir> (test runs), qel_wine_teardown, qel_wine_set (a registry value
# written and read back) and qel_copy_prefix (a prefix of its own for one program); they only
# touch what they started.

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
    qel_step_log="$build/xvfb.log"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >"$qel_step_log" 2>&1 &
    QEL_XVFB_PID=$!
    local num=""
    read -r -t 30 num <"$fifo" || true
    rm -f "$fifo"
    if [ -z "$num" ]; then
      echo "Xvfb did not start (see $build/xvfb.log)" >&2
      return 1
    fi
    export DISPLAY=":$num"
    qel_step_log=""
  fi

  # A server already up on the prefix: one that a command left (`wine reg add` keeps its server a
  # few seconds) ends by itself; a program still open there, or a server kept with
  # `wineserver -p`, does not. That one is the user's: the run uses it and leaves it running, and
  # waits for no server to end (the settings below reach the prefix's files when it ends).
  local held=""
  if [ -d "$WINEPREFIX" ] && ! qel_wine_server_ends 0.2; then
    echo "A Wine server is running on $WINEPREFIX: waiting up to 10 s for it to end"
    if ! qel_wine_server_ends 10; then
      held=1
      echo "It goes on (a program open in that prefix, or a server kept with wineserver -p):" \
        "this run uses it and leaves it running"
    fi
  fi

  # Boot the prefix once, never in parallel with anything else on it.
  if [ ! -f "$WINEPREFIX/.qel-booted" ]; then
    mkdir -p "$WINEPREFIX"
    qel_step_log="$build/wineboot.log"
    echo "Preparing the Wine prefix $WINEPREFIX (once, about 15 s; log $qel_step_log)"
    { wineboot -i || true; [ -n "$held" ] || wineserver -w; } >"$qel_step_log" 2>&1 </dev/null &
    qel_wait_telling $! "preparing the Wine prefix"
    touch "$WINEPREFIX/.qel-booted"
  fi
  qel_step_log=""
  # Once per prefix, also one booted before these settings existed. A setting that Wine did not
  # keep is told, and tried again on the next run.
  local written=""
  if [ ! -f "$WINEPREFIX/.qel-no-debugger" ]; then
    written=1
    if qel_wine_no_debugger; then touch "$WINEPREFIX/.qel-no-debugger"; fi
  fi
  if [ "$unmanaged" = unmanaged ] && [ ! -f "$WINEPREFIX/.qel-unmanaged" ]; then
    written=1
    if qel_wine_unmanaged; then touch "$WINEPREFIX/.qel-unmanaged"; fi
  fi
  # The server writes the registry to the prefix's files when it ends, and copies of the prefix
  # (tools/own-prefix.sh) take the files.
  if [ -n "$written" ] && [ -z "$held" ]; then wineserver -w; fi
  # A persistent server for the run; its output must not hold our pipes open.
  if [ -z "$held" ]; then
    if wineserver -p >/dev/null 2>&1 </dev/null; then
      QEL_WINESERVER_STARTED=1
    else
      echo "A Wine server started on $WINEPREFIX meanwhile: this run uses it and leaves it running"
    fi
  fi
  # The first Wine program starts the prefix's background services, which inherit its output
  # and would keep a test runner waiting for end of output: start them here, detached.
  wine cmd.exe /c exit >/dev/null 2>&1 </dev/null || true
}

# qel_wine_server_ends <seconds>: false when a Wine server runs on the prefix for that long.
qel_wine_server_ends() {
  local status=0
  timeout "$1" wineserver -w >/dev/null 2>&1 </dev/null || status=$?
  [ "$status" -ne 124 ]
}

# qel_wait_telling <pid> <what>: waits for the process, with a line every 10 s while it runs, so
# that a long step is seen to go on.
qel_wait_telling() {
  local pid=$1 start=$SECONDS next=10
  while kill -0 "$pid" 2>/dev/null; do
    sleep 0.2
    if [ $((SECONDS - start)) -ge "$next" ] && kill -0 "$pid" 2>/dev/null; then
      echo "   still $2: $next s"
      next=$((next + 10))
    fi
  done
  wait "$pid" || true
}

# qel_wine_set <key> <name> <type> <data>: the value in the prefix's registry (an empty name: the
# key's default value), written unless it is so already, and read back; says so and fails when
# Wine did not keep it.
qel_wine_set() {
  local key=$1 type=$3 data=$4 which=(/v "$2") shown=$2 want=$4
  if [ -z "$2" ]; then which=(/ve) shown="(Default)"; fi
  if [ "$type" = REG_DWORD ]; then want=$(printf '0x%x' "$data"); fi
  # Wine's reg prints a value as "    <name>    <type>    <data>".
  local line="    $shown    $type    $want"
  if qel_wine_reads "$key" "${which[@]}" "$line"; then return 0; fi
  wine reg add "$key" "${which[@]}" /t "$type" /d "$data" /f >/dev/null 2>&1 </dev/null || true
  if qel_wine_reads "$key" "${which[@]}" "$line"; then return 0; fi
  echo "Wine did not keep $key: $shown = \"$data\" in $WINEPREFIX" >&2
  return 1
}

# qel_wine_reads <reg query arguments...> <line>: the query prints that line.
qel_wine_reads() {
  local line="${*: -1}"
  wine reg query "${@:1:$#-1}" 2>/dev/null </dev/null | tr -d '\r' | grep -qxF -- "$line"
}

# A program that crashes must end at once with its output. Wine's default starts its debugger
# on an unhandled exception and shows a crash dialog that waits for a click nobody gives under
# Xvfb, so a crashing test would sit until its time-out: no debugger (an empty command that
# cannot start, taken without asking), and no crash dialog should a debugger start anyway.
qel_wine_no_debugger() {
  local aedebug='HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug'
  qel_wine_set "$aedebug" Debugger REG_SZ "" &&
    qel_wine_set "$aedebug" Auto REG_SZ 1 &&
    qel_wine_set 'HKCU\Software\Wine\WineDbg' ShowCrashDialog REG_DWORD 0 && return 0
  echo "Wine's debugger stays on in $WINEPREFIX: a program that crashes there waits for a" \
    "click instead of ending" >&2
  return 1
}

# The test display runs no window manager: Wine draws every program's frames and captions itself,
# so pictures show them. Wine reads this when a program starts, so it is set for the whole prefix
# before any program runs: written from inside a test program, it came too late for that program,
# whose windows were then managed by nobody, and a window test took minutes on its first run in a
# prefix instead of seconds.
qel_wine_unmanaged() {
  qel_wine_set 'HKCU\Software\Wine\X11 Driver' Managed REG_SZ N && return 0
  echo "Wine leaves the window frames in $WINEPREFIX to a window manager: pictures lack them" \
    "and window tests are slow" >&2
  return 1
}

# qel_wine_hold_desktop <bin dir>: starts the Wine desktop for the whole run and holds it with
# qel_desktop_holder.exe (cmake/testing/desktop_holder.cpp), with no output of ours. Wine starts
# the desktop from the first program that needs it, hands it that program's error output, and
# ends it a moment after the last program leaves it: restarted by a test, it kept that test's
# output pipe open while other tests showed windows, and ctest waited for the end of that output
# until the test's time-out although the test had passed and ended. Returns once the desktop
# stands; qel_wine_teardown stops the holder with the run's Wine server (or by its process id
# when the server is not the run's).
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
  elif [ -n "${QEL_DESKTOP_HOLDER_PID:-}" ]; then
    # The server goes on, as it is not the run's: the holder, which is, is ended on its own.
    kill "$QEL_DESKTOP_HOLDER_PID" 2>/dev/null || true
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

# qel_copy_prefix <booted prefix> <folder>: a prefix of its own at <folder>/wineprefix, a copy of
# the booted one: hard links to its files, the registry and the user folders copied, so nothing is
# written through to the original.
qel_copy_prefix() {
  rm -rf "$2"
  mkdir -p "$2"
  cp -al "$1" "$2/wineprefix"
  local reg
  for reg in "$1"/*.reg; do
    cp --remove-destination "$reg" "$2/wineprefix/"
  done
  rm -rf "$2/wineprefix/drive_c/users"
  cp -a "$1/drive_c/users" "$2/wineprefix/drive_c/users"
}
