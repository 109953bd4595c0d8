#!/usr/bin/env bash
# Compares what two builds of nlx write from the same captures, model by model: the record and
# distribution tables, the storage folder (capture and history files), the table report's and the
# sheet's text with glyph positions (pdftotext -bbox) and the workbook's cells. For a change that
# must leave every output as it was.
#   scripts/compare-outputs.sh OLD_BUILD_DIR NEW_BUILD_DIR
set -euo pipefail
old=$1/src/cli/nlx
new=$2/src/cli/nlx
work=$(mktemp -d "${TMPDIR:-/tmp}/nlx-compare.XXXXXX")
trap '[ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT
differ=0
same() {  # what, file a, file b
  if cmp -s "$2" "$3"; then echo "same: $1"; else echo "DIFFERENT: $1"; differ=1; fi
}
cells() {  # the workbook's cells, one per line
  /usr/bin/python3 - "$1" <<'PY'
import sys, openpyxl
book = openpyxl.load_workbook(sys.argv[1])
for sheet in book.worksheets:
    for row in sheet.iter_rows():
        for c in row:
            if c.value is not None: print(sheet.title, c.coordinate, repr(c.value))
    print(sheet.title, "merged", sorted(str(r) for r in sheet.merged_cells.ranges))
PY
}
for model in a b c d e; do
  # One capture for both builds, from the virtual instrument.
  NLX_HOME=$work/source-$model "$new" demo --model "$model" --groups 40 >/dev/null
  capture=$(ls "$work/source-$model/"*/capture-*.cap | head -n 1)
  for side in old new; do
    bin=${!side}
    home=$work/$side-$model
    mkdir -p "$home"
    NLX_HOME=$home "$bin" import --model "$model" "$capture" >/dev/null
    NLX_HOME=$home "$bin" records --model "$model" --format csv >"$home/records.csv"
    sqlite3 "$home/noise.db" "select * from 分布图$model" >"$home/distribution.txt" 2>/dev/null || : >"$home/distribution.txt"
    NLX_HOME=$home "$bin" report --model "$model" --pdf "$home/report.pdf" >/dev/null
    NLX_HOME=$home "$bin" sheet --model "$model" --row 3 --pdf "$home/sheet.pdf" >/dev/null
    NLX_HOME=$home "$bin" export --model "$model" --xlsx "$home/records.xlsx" >/dev/null
    pdftotext -bbox "$home/report.pdf" - | grep -v '<meta\|<title' >"$home/report.bbox"
    pdftotext -bbox "$home/sheet.pdf" - | grep -v '<meta\|<title' >"$home/sheet.bbox"
    cells "$home/records.xlsx" >"$home/cells.txt"
    (cd "$home" && find . -path './*存储文件/*' -type f ! -name '*.db*' -exec sha256sum {} + | sed 's/-[0-9]\{8\}-[0-9]\{6\}//' | sort) >"$home/files.txt"
  done
  for what in records.csv distribution.txt report.bbox sheet.bbox cells.txt files.txt; do
    same "model $model $what" "$work/old-$model/$what" "$work/new-$model/$what"
  done
done
exit $differ
