#!/usr/bin/env bash
# Runs every fuzz target in a build folder for a while each: run.sh BUILD [SECONDS].
set -euo pipefail
build=${1:?build folder}
seconds=${2:-60}
here=$(cd "$(dirname "$0")" && pwd)
status=0
for target in "$build"/tests/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus="$here/corpus-$name"
  mkdir -p "$corpus"
  echo "== $name for ${seconds}s"
  # New inputs go to the first folder; the kept seeds (real captures of each model) are read too.
  if ! "$target" -max_total_time="$seconds" -max_len=20000 -artifact_prefix="$here/crash-$name-" "$corpus" "$here/corpus/$name"; then
    status=1
  fi
done
exit $status
