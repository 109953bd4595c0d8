#!/usr/bin/env bash
# Prints a 37-group table report and a sheet through nlx's printer path to the private nlx-pdf
# queue (run under with_private_cups.sh) and checks the PDFs the queue writes: pages, A3, texts.
# Usage: check_printed_reports.sh NLX
set -euo pipefail
nlx=$1
work=$(mktemp -d)
trap 'rm -rf -- "$work"' EXIT

fail() { echo "check_printed_reports: $*" >&2; exit 1; }

# A database of 37 groups of model b, downloaded from the virtual instrument.
NLX_HOME=$work/home "$nlx" demo --model b --groups 37 >/dev/null
db=$work/home/noise.db

# One job after the other, so each PDF is known by the job that made it.
printed() {
  "$NLX_WAIT_PRINTED"
  local newest
  newest=$(ls -t "$NLX_PRINT_OUTPUT"/job_*.pdf 2>/dev/null | head -n 1)
  [ -n "$newest" ] || fail "the queue wrote no PDF"
  echo "$newest"
}

"$nlx" report --model b --db "$db" --printer nlx-pdf
report=$(printed)
info=$(pdfinfo "$report" 2>/dev/null)
grep -q '^Pages: *2$' <<<"$info" || fail "report: not 2 pages: $info"
grep -q '(A3)' <<<"$info" || fail "report: not A3: $info"
# The queue's filters turn the embedded faces into glyph sets whose Latin letters no longer read
# back as text; the Chinese words of the title and the header line still do, in their order.
text=$(pdftotext -layout "$report" - 2>/dev/null)
grep -q '测量结果 *表' <<<"$text" || fail "report: no title in: ${text:0:400}"
grep -q '序号.*测量时间.*频率计权 *时间计权 *设定时间 *采样间隔' <<<"$text" ||
  fail "report: no header line in: ${text:0:400}"
[ "$(grep -c '频率计权 *时间计权' <<<"$text")" -eq 2 ] || fail "report: not one header line on each page"

"$nlx" sheet --model b --db "$db" --row 2 --printer nlx-pdf
sheet=$(printed)
[ "$sheet" != "$report" ] || fail "sheet: the queue wrote no second PDF"
grep -q '^Pages: *1$' <<<"$(pdfinfo "$sheet" 2>/dev/null)" || fail "sheet: not one page"
grep -q '序号:002' <<<"$(pdftotext -raw "$sheet" - 2>/dev/null)" || fail "sheet: no 序号:002"
echo "check_printed_reports: report (2 A3 pages) and sheet printed through the nlx-pdf queue"
