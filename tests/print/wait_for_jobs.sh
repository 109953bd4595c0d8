#!/usr/bin/env bash
# Waits, bounded, until the private CUPS scheduler of with_private_cups.sh has finished every job; fails, with the logs, unless each one completed.
#
# Usage (inside with_private_cups.sh, where it is also $NLX_WAIT_PRINTED): wait_for_jobs.sh [SECONDS]
# SECONDS defaults to NLX_PRINT_TIMEOUT, else 30.
set -euo pipefail

me=wait_for_jobs
timeout=${1:-${NLX_PRINT_TIMEOUT:-30}}
: "${CUPS_SERVER:?$me: CUPS_SERVER is not set; run this under with_private_cups.sh}"
: "${NLX_CUPS_LOGS:?$me: NLX_CUPS_LOGS is not set; run this under with_private_cups.sh}"
error_log=$NLX_CUPS_LOGS/error_log
backend_log_dir=${NLX_CUPS_PDF_LOG:?$me: NLX_CUPS_PDF_LOG is not set; run this under with_private_cups.sh}

# Shows what the scheduler and cups-pdf last said, then fails.
fail() {
  echo "$me: $*" >&2
  if [ -s "$error_log" ]; then
    echo "$me: last job lines of the scheduler's error_log:" >&2
    grep -E '^[IWE] .*\[Job [0-9]+\]' "$error_log" | tail -n 15 | sed 's/^/  /' >&2
  fi
  for f in "$backend_log_dir"/*; do
    [ -s "$f" ] || continue
    echo "$me: last lines of $f:" >&2
    tail -n 10 "$f" | sed 's/^/  /' >&2
  done
  exit 1
}

# Poll until the scheduler lists no unfinished (pending, held, processing, stopped) job. An lpstat that fails
# means the scheduler is gone, which must not pass for "nothing left to do". A job the scheduler stopped or
# aborted (a filter or the backend failed) stays unfinished for good, so that ends the wait at once.
deadline=$(( $(date +%s) + timeout ))
while :; do
  pending=$(lpstat -o 2>&1) || fail "cannot ask the scheduler for its jobs: $pending"
  [ -n "$pending" ] || break
  while read -r request _; do
    stopped=$(grep -E "^E .*\[Job ${request##*-}\] Job (stopped|aborted)" "$error_log" || true)
    [ -z "$stopped" ] || fail "the scheduler gave up on $request:"$'\n'"$stopped"
  done <<<"$pending"
  [ "$(date +%s)" -lt "$deadline" ] || fail "jobs not finished after ${timeout}s:"$'\n'"$pending"
  sleep 0.2
done

# Every finished job must have completed; aborted and canceled ones count as finished too, so each job's
# outcome is read from the scheduler's log, where a good one ends with "Job completed.".
finished=$(lpstat -W completed -o 2>&1) || fail "cannot ask the scheduler for its finished jobs: $finished"
[ -n "$finished" ] || exit 0
bad=()
while read -r request _; do
  id=${request##*-}
  grep -qF "[Job $id] Job completed." "$error_log" || bad+=("$request")
done <<<"$finished"
[ ${#bad[@]} -eq 0 ] || fail "job(s) did not complete: ${bad[*]}"

# cups-pdf must have logged into the private folder; otherwise it did not get the harness's folders and may
# have written its PDF somewhere else.
compgen -G "$backend_log_dir/cups-pdf-*_log" >/dev/null ||
  fail "jobs completed but cups-pdf left no log in $backend_log_dir, so it did not use the private folders"
if grep -h '\[ERROR\]' "$backend_log_dir"/cups-pdf-*_log >&2; then
  fail "cups-pdf reported the errors above"
fi
