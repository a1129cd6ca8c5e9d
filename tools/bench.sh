#!/usr/bin/env bash
# Builds what is missing, runs every benchmark once on this machine and ends with one table of
# the figures, each beside its target: first the benchmarks (the ctest entries of configuration
# Bench with label bench), one at a time, then the whole test suite once for its wall time.
# Timings are judged against a floor or a reference that the benchmark measures in the same run
# (the machine's speed and load touch both), and the machine's load is shown beside the table.
# Usage: tools/bench.sh
# Environment: QEL_BUILD_DIR (build tree, default build/), QEL_TEST_JOBS (tests run at once in
# the suite's run, default 4, as tools/test.sh).
# A benchmark reports each figure as one line "figure: <what> | <measured> | <target> | <verdict>"
# (cmake/testing/qelbench/figures.h). Everything printed is kept in build/bench/bench.log and
# build/bench/suite.log; the run's Wine prefix is build/bench/wineprefix, which the tests that
# run in a prefix of their own copy (tools/own-prefix.sh), so a fresh clone needs nothing else.
# Ends with 0 when every figure was measured: non-zero when one is missing, a benchmark failed
# or a test of the suite failed (its time then leaves out what the failed tests did not run).
set -euo pipefail
# shellcheck source=tools/on-error.sh
. "$(dirname "${BASH_SOURCE[0]}")/on-error.sh"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QEL_BUILD_DIR:-$root/build}"
bench="$build/bench"
jobs="${QEL_TEST_JOBS:-4}"

"$root/tools/install-deps.sh"
"$root/tools/configure.sh" "$build"

mkdir -p "$bench"
# shellcheck source=tools/wine-env.sh
. "$root/tools/wine-env.sh"
trap qel_wine_teardown EXIT INT TERM
qel_wine_setup "$bench" unmanaged
qel_wine_hold_desktop "$build/bin"

log="$bench/bench.log"
suite_log="$bench/suite.log"
read -r load1 load5 load15 _ </proc/loadavg
machine="$(nproc) processors, load average $load1 $load5 $load15 at the start"
echo "Machine: $machine"
status=0

# The 1-minute load average every 5 s while the benchmarks run.
loads="$bench/loads"
: >"$loads"
(while :; do cut -d' ' -f1 /proc/loadavg >>"$loads"; sleep 5; done) &
load_sampler=$!
trap 'kill "$load_sampler" 2>/dev/null || true; qel_wine_teardown' EXIT INT TERM

cd "$build"
echo "Benchmarks, one at a time (details in $log):"
ctest -C Bench -L '^bench$' -V --timeout 900 >"$log" 2>&1 || status=$?
kill "$load_sampler" 2>/dev/null || true
wait "$load_sampler" 2>/dev/null || true
machine+="; 1-minute load during the benchmarks $(sort -n "$loads" | awk '
  NR == 1 { low = $1 } { sum += $1; high = $1 } END { printf "%s to %s (mean %.2f)", low, high, sum / NR }')"
grep -E '^ *[0-9]+/[0-9]+ Test' "$log" || true
# What the benchmarks printed, without ctest's own lines (command, folder, environment) and the
# port that a simulated cloud reports when it starts.
sed -n 's/^[0-9]\+: //p' "$log" |
  grep -v -E '^(Test command:|Working Directory:|Environment variable|Test timeout computed| |[0-9]+$)' ||
  true

echo "The test suite, $jobs tests at a time (output in $suite_log):"
suite_status=0
started=$(date +%s.%N)
ctest --timeout 600 -j "$jobs" >"$suite_log" 2>&1 || suite_status=$?
ended=$(date +%s.%N)
summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$suite_log" | tail -n 1 || true)
total=$(sed -n 's/.* out of \([0-9]\+\).*/\1/p' <<<"$summary")
failed=$(sed -n 's/.*passed, \([0-9]\+\) tests\? failed.*/\1/p' <<<"$summary")
echo "${summary:-the suite did not finish}"
what="test suite, one whole run (${total:-?} tests, $jobs at a time"
suite_verdict="-"
if [ "$suite_status" -ne 0 ]; then
  what="$what, ${failed:-some} failed"
  suite_verdict="incomplete"
  status=1
fi
suite_figure="figure: $what) | $(awk -v a="$started" -v b="$ended" 'BEGIN { printf "%.0f s", b - a }') | (none) | $suite_verdict"

# Every figure the table must hold, by the start of its name, with its target: one that no
# benchmark printed shows as not measured.
expected=(
  "registration / its floor|< 5"
  "network search|<= 1.15"
  "cancel latency|<= 100 ms"
  "start to first window|< 300 ms"
  "working set beyond the box with the program's resources|< 3 MB"
  "XML read|< 1 ms"
  "memory kept over 200 device operations|< 1 MB"
  "memory kept over 200 exchanges|< 1 MB"
)
figures=$(sed -n 's/^[0-9]\+: \(figure: .*\)$/\1/p' "$log")
for entry in "${expected[@]}"; do
  name="${entry%%|*}"
  if ! grep -qi -- "^figure: [^|]*$name" <<<"$figures"; then
    figures+=$'\n'"figure: $name | not measured | ${entry#*|} | -"
    status=1
  fi
done
figures+=$'\n'"$suite_figure"

echo
echo "Figures measured in one run on this machine ($machine):"
sed -e '/^$/d' -e 's/^figure: //' <<<"$figures" | awk -F ' [|] ' '
  { what[NR] = $1; value[NR] = $2; target[NR] = $3; verdict[NR] = $4
    if (length($1) > width) width = length($1) }
  END {
    printf "%-" width "s  %14s  %10s  %s\n", "figure", "measured", "target", "result"
    for (i = 1; i <= NR; i++)
      printf "%-" width "s  %14s  %10s  %s\n", what[i], value[i], target[i], verdict[i]
  }'
if [ "$status" -ne 0 ]; then
  echo "Not every figure was measured, or a benchmark or test failed (see $log, $suite_log)." >&2
fi
exit $status
