#!/usr/bin/env bash
# Checks the two reports the scenario printed on the PDF printer: the
# five-day report of the current period (three pages of two whole blocks,
# the period's totals in its last block) and the statistics report of the
# main window's dates as they stand, today (its row and totals). The pages are left as pictures
# beside the screenshots, for a person to look at.
#
#   printed_reports.sh DATABASE MARKER PDF_FOLDER OUT_FOLDER SHOTS_FOLDER
# The PDF files newer than MARKER are taken from PDF_FOLDER into OUT_FOLDER.
set -uo pipefail
db=$1 marker=$2 from=$3 out=$4 shots=$5
rc=0
fail() { echo "printed: $*"; rc=1; }

# Each file appears a moment after its job; pdfinfo reads it once whole.
files=()
for _ in $(seq 150); do
  mapfile -t files < <(find "$from" -maxdepth 1 -name '*.pdf' -newer "$marker" -printf '%T@ %p\n' 2>/dev/null |
                       sort -n | cut -d' ' -f2-)
  if [ ${#files[@]} -ge 2 ] && pdfinfo "${files[0]}" >/dev/null 2>&1 && pdfinfo "${files[1]}" >/dev/null 2>&1; then
    break
  fi
  sleep 0.2
done
[ ${#files[@]} = 2 ] || { echo "printed: expected two PDF files in $from, saw ${#files[@]}"; exit 1; }
mkdir -p "$out"
mv "${files[0]}" "$out/five-day.pdf"
mv "${files[1]}" "$out/statistics.pdf"

pages() { pdfinfo "$1" | sed -n 's/^Pages: *//p'; }
# The paper as it lies: "landscape" when wider than tall once turned.
lie() {
  pdfinfo "$1" | awk '/^Page size:/ { w = $3; h = $5 } /^Page rot:/ { r = $3 }
    END { if (r == 90 || r == 270) { t = w; w = h; h = t }; print (w > h ? "landscape" : "portrait") }'
}
page_text() { pdftotext -layout -f "$2" -l "$2" "$1" - 2>/dev/null; }
count() { grep -o -- "$1" | wc -l; }
# A row of the printed table as words, its cells one blank apart.
row_of() { grep -- "$1" | tail -n 1 | tr -s ' \t' ' ' | sed 's/^ //; s/ $//'; }
# Column sums over a date range, in the order given, one blank apart.
sums() {
  local columns=$1 first=$2 last=$3 select="" c
  for c in $columns; do select+="${select:+,}cast(total(\"$c\") as integer)"; done
  sqlite3 -separator ' ' "$db" "select $select from \"项目数据\" where \"日期\">='$first' and \"日期\"<='$last'"
}

# The current settlement period on the 25th, as the report takes it.
if [ "$(date +%-d)" -gt 25 ]; then
  first=$(date +%Y-%m-26) last=$(date -d "$(date +%Y-%m-01) +1 month" +%Y-%m-25)
else
  first=$(date -d "$(date +%Y-%m-01) -1 month" +%Y-%m-26) last=$(date +%Y-%m-25)
fi
five_day=$out/five-day.pdf
echo "five-day report: $(pages "$five_day") pages, $(pdfinfo "$five_day" | sed -n 's/^Page size: *//p'), $(lie "$five_day")"
[ "$(pages "$five_day")" = 3 ] || fail "the five-day report has $(pages "$five_day") pages, expected 3"
[ "$(lie "$five_day")" = landscape ] || fail "the five-day report is not printed landscape"
for page in 1 2 3; do
  text=$(page_text "$five_day" $page)
  titles=$(count '城南卫生系统收入日报表' <<<"$text")
  totals=$(count '合计：' <<<"$text")
  carried=$(count '上期累计' <<<"$text")
  units=$(count '城南卫生院' <<<"$text")
  echo "  page $page: $titles titles, $units unit names, $carried carried-over rows, $totals total rows"
  # Two whole blocks: each with its title, unit line and total row, and
  # every block but the first with its carried-over row.
  expected_carried=$([ $page = 1 ] && echo 1 || echo 2)
  [ "$titles/$units/$totals/$carried" = "2/2/2/$expected_carried" ] || fail "page $page does not hold two whole blocks"
done
# The last block's total row carries the whole period's figures.
columns='挂号 B超 治疗 X光 多普勒 手术 化验 心电图 其它 医疗收入合计 中药 西药 药品收入合计 医疗加药品总计收入 人次 防疫收入 各项收入总合计'
expected="合计： $(sums "$columns" "$first" "$last")"
seen=$(page_text "$five_day" 3 | row_of '合计：')
echo "  period $first to $last, last total row: $seen"
[ "$seen" = "$expected" ] || fail "the last total row is not the period's sums ($expected)"

statistics=$out/statistics.pdf
text=$(page_text "$statistics" 1)
echo "statistics report: $(pages "$statistics") pages, $(pdfinfo "$statistics" | sed -n 's/^Page size: *//p'), $(lie "$statistics")"
[ "$(lie "$statistics")" = landscape ] || fail "the statistics report is not printed landscape"
[ "$(pages "$statistics")" = 1 ] || fail "the statistics report has $(pages "$statistics") pages, expected 1"
[ "$(count '城南卫生院统计报表' <<<"$text")" = 1 ] || fail "the statistics report has no title"
[ "$(count "^ *$(date +%-Y-%-m-%-d) " <<<"$text")" = 1 ] || fail "the statistics report has no row for today"
columns='挂号 B超 治疗 X光 多普勒 手术 化验 心电图 其它 中药 西药 防疫收入 各项收入总合计 人次'
expected="合 计： $(sums "$columns" "$(date +%F)" "$(date +%F)")"
seen=$(row_of '合 计：' <<<"$text")
echo "  today's total row: $seen"
[ "$seen" = "$expected" ] || fail "the total row is not today's figures ($expected)"

pdftoppm -r 60 -png "$five_day" "$shots/printed-five-day"
pdftoppm -r 60 -png "$statistics" "$shots/printed-statistics"
exit $rc
