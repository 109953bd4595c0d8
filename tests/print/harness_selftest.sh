#!/usr/bin/env bash
# Checks the private-CUPS harness end to end: a hand-made one-page A5 PDF printed with lp comes out of nlx-pdf with one A5 page and its text.
#
# Run it as is; it starts itself under with_private_cups.sh (and so exits 77 where that cannot run).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
if [ -z "${NLX_PRINT_OUTPUT:-}" ]; then
  exec "$here/with_private_cups.sh" "$0"
fi

fail() { echo "harness_selftest: $*" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf -- "$work"' EXIT

# A5 on purpose: it differs from the queue's default A4, so a lost paper size shows.
text="nlx print harness page"
stream="BT /F1 18 Tf 40 500 Td ($text) Tj ET"
objects=(
  "<< /Type /Catalog /Pages 2 0 R >>"
  "<< /Type /Pages /Kids [3 0 R] /Count 1 >>"
  "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 420 595] /Resources << /Font << /F1 4 0 R >> >> /Contents 5 0 R >>"
  "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"
  "<< /Length ${#stream} >>"$'\n'"stream"$'\n'"$stream"$'\n'"endstream"
)
# Objects first, remembering where each starts, then the cross-reference table that points at them.
body=$'%PDF-1.4\n'
offsets=()
for i in "${!objects[@]}"; do
  offsets+=("${#body}")
  body+="$((i + 1)) 0 obj"$'\n'"${objects[$i]}"$'\n'"endobj"$'\n'
done
{
  printf '%s' "$body"
  printf 'xref\n0 %d\n0000000000 65535 f \n' $((${#objects[@]} + 1))
  printf '%010d 00000 n \n' "${offsets[@]}"
  printf 'trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n' $((${#objects[@]} + 1)) "${#body}"
} >"$work/page.pdf"
pdfinfo "$work/page.pdf" >/dev/null || fail "the hand-made input PDF does not parse"

lp -d nlx-pdf -o media=A5 -t selftest "$work/page.pdf" >/dev/null
"$NLX_WAIT_PRINTED"

shopt -s nullglob
pdfs=("$NLX_PRINT_OUTPUT"/*.pdf)
[ ${#pdfs[@]} -eq 1 ] || fail "expected one PDF in $NLX_PRINT_OUTPUT, found ${#pdfs[@]}"
info=$(pdfinfo "${pdfs[0]}") || fail "pdfinfo cannot read ${pdfs[0]}"
grep -Eq '^Pages: +1$' <<<"$info" || fail "expected 1 page:"$'\n'"$info"
grep -Eq '^Page size: .*\(A5\)' <<<"$info" || fail "expected A5 paper:"$'\n'"$info"
got=$(pdftotext "${pdfs[0]}" -) || fail "pdftotext cannot read ${pdfs[0]}"
[[ $got == *"$text"* ]] || fail "text \"$text\" missing; pdftotext gives: $got"
echo "harness_selftest: ${pdfs[0]##*/}: 1 A5 page with the text"
