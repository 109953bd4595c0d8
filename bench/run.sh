#!/usr/bin/env bash
# Runs the benchmarks of a build configured with -DNLX_BUILD_BENCH=ON: bash bench/run.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: bash bench/run.sh BUILD_DIR}
bin="$build/bench/nlx_bench_download"
if [ ! -x "$bin" ]; then
  echo "bench: $bin not found; configure the build with -DNLX_BUILD_BENCH=ON" >&2
  exit 1
fi
# Every benchmark runs even when one misses its target; the exit status says whether all met them.
failed=0
run() {
  "$@" || failed=1
}
echo "== paced download: model a, 64 blocks at 9600 bit/s, virtual instrument on a pseudo-terminal"
run "$bin" 64 9600
if [ -x "$build/bench/nlx_bench_grid" ]; then
  echo "== record grid: 10,000 rows of model b"
  run "$build/bench/nlx_bench_grid" 10000
fi
if [ -x "$build/bench/nlx_bench_report" ]; then
  echo "== table report: 10,000 groups of model b to PDF"
  run "$build/bench/nlx_bench_report" 10000
fi
echo "== spreadsheet export: 10,000 groups and the 496-group transfer of model a to .xlsx"
run "$build/bench/nlx_bench_export" 10000
echo "== decode + store: the largest transfer of each model against a plain SQLite insert"
run "$build/bench/nlx_bench_store"
echo "== whole commands as processes: nlx import against plain SQLite, nlx records against the sqlite3 shell"
run "$build/bench/nlx_bench_whole_command"
echo "== recording the live level: a day's summary, listing and chart; 60 s against the monitor alone"
run "$build/bench/nlx_bench_recording" 60
echo "== team store: 1,000 model b transfers to a PostgreSQL server and back, and the daily Ld/Ln query"
run "$build/bench/nlx_bench_team" 1000
if [ -x "$build/bench/nlx_bench_desktop_soak" ]; then
  echo "== desktop soak: 20 rounds of download with a fault, monitor and TM27 through the window"
  run "$build/bench/nlx_bench_desktop_soak" 20
fi
exit $failed
