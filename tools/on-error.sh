# Sourced by the scripts of tools/ after `set -euo pipefail`: a command that fails and so stops
# the script names itself, its line and where the output of its step went (qel_step_log, set by a
# step that writes a log of its own), instead of the script ending with a bare status.
qel_step_log=""
qel_on_error() {
  local status=$1 line=$2 file=$3 command=$4
  # From the script's own shell only: a failure inside $(...) is told by the command that used it.
  [ "$BASHPID" = "$$" ] || return 0
  echo "${0##*/}: stopped at line $line of $file, status $status: $command" >&2
  if [ -n "${qel_step_log:-}" ]; then
    echo "${0##*/}: its log: $qel_step_log" >&2
  else
    echo "${0##*/}: its output is above" >&2
  fi
}
set -E
trap 'qel_on_error $? $LINENO "${BASH_SOURCE[0]}" "$BASH_COMMAND"' ERR
