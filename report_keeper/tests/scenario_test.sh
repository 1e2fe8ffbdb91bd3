#!/usr/bin/env bash
# Runs the real Zuzaror.exe under Wine, driven from outside, and checks the
# database it leaves behind with the sqlite3 tool.
set -uo pipefail
source "$ZZ_TOOLS/wine-vars.sh" ""
"$ZZ_TOOLS/wine-env.sh" status || "$ZZ_TOOLS/wine-env.sh" start
source "$ZZ_TOOLS/wine-vars.sh" ""

work=$(mktemp -d "$ZZ_BIN/scenario.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/nodb" "$work/app" "$work/clerk" "$work/restore/back" "$work/restore/temp"
cp "$ZZ_BIN/Zuzaror.exe" "$work/nodb/"
cp "$ZZ_BIN/Zuzaror.exe" "$ZZ_BIN/ml.mdb" "$ZZ_BIN/1021.ini" "$work/app/"
cp "$ZZ_BIN/Zuzaror.exe" "$ZZ_BIN/ml.mdb" "$ZZ_BIN/1021.ini" "$ZZ_BIN/wrbb.grd" "$ZZ_BIN/tjbb.grd" "$work/clerk/"
cp "$ZZ_BIN/Zuzaror.exe" "$ZZ_BIN/ml.mdb" "$ZZ_BIN/1021.ini" "$work/restore/"
# A backup that is no database at all.
printf 'not a database\r\n' > "$work/restore/back/bad.ml"
# A second account without any right.
sqlite3 "$work/clerk/ml.mdb" "insert into \"用户信息\" (\"用户名\",\"密码\",\"用户管理\",\"设置单位名称\",\"数据备份\",\"数据恢复\",\"增加\",\"修改\",\"删除\",\"打印五日报表\",\"打印统计报表\") values ('clerk','pw',0,0,0,0,0,0,0,0,0)"

# ... and the figures of the last six weeks and of the rest of the current
# settlement period, so that its list holds the whole period.
for days in $(seq 44 -1 -35); do
  awk -v d="$(date -d "$days days ago" +%F)" -v n="$((days + 35))" 'BEGIN {
    reg = 80 + (n * 7) % 60; b = 40 + (n * 13) % 70; cure = 20 + (n * 5) % 45
    med = reg + b + cure; west = 150 + (n * 11) % 90; chinese = 60 + (n * 3) % 40
    drugs = west + chinese; both = med + drugs; vacc = (n % 3) * 15
    printf "insert into \"项目数据\" values (null,\"%s\",\"%d\",\"%d\",\"%d\",\"0\",\"0\",\"0\",\"0\",\"0\",\"0\",\"%d\",\"%d\",\"%d\",\"%d\",\"%d\",\"%d\",\"%d\",\"%d\");\n",
      d, reg, b, cure, med, 30 + n % 20, chinese, west, drugs, both, vacc, both + vacc }'
done | sqlite3 "$work/clerk/ml.mdb"

# A database whose last write was cut short: a writer killed in the middle
# of a large transaction leaves its journal beside the file.
mkdir -p "$work/hot"
cp "$ZZ_BIN/Zuzaror.exe" "$ZZ_BIN/1021.ini" "$work/clerk/ml.mdb" "$work/hot/"
hot_days=$(sqlite3 "$work/hot/ml.mdb" 'select count(*) from "项目数据"')
{
  printf 'PRAGMA cache_size=8;\nBEGIN;\nDELETE FROM "项目数据";\n'
  for i in $(seq 3000); do
    printf 'INSERT INTO "项目数据" ("日期","挂号") VALUES (%s,%s);\n' "'2001-01-01'" "'$(printf '%0100d' "$i")'"
  done
  printf '.system kill -9 $PPID\n'
} | sqlite3 "$work/hot/ml.mdb" 2>/dev/null
[ -s "$work/hot/ml.mdb-journal" ] || { echo "no journal was left to roll back"; exit 1; }
# The steps of the main program's mends: a second account without rights,
# and the folders of backup and restore.
mkdir -p "$work/mends/back" "$work/mends/temp"
cp "$ZZ_BIN/Zuzaror.exe" "$ZZ_BIN/ml.mdb" "$ZZ_BIN/1021.ini" "$ZZ_BIN/tjbb.grd" "$work/mends/"
sqlite3 "$work/mends/ml.mdb" "insert into \"用户信息\" (\"用户名\",\"密码\",\"用户管理\",\"设置单位名称\",\"数据备份\",\"数据恢复\",\"增加\",\"修改\",\"删除\",\"打印五日报表\",\"打印统计报表\") values ('clerk','pw',0,0,0,0,0,0,0,0,0)"

# With the PDF printer of wine-env.sh (set up for root), the run on the
# Chinese code page also prints both reports, and their pages are checked.
print=
if [ -n "${CUPS_SERVER:-}" ] && [ -z "${ZZ_LOCALE:-}" ]; then
  print=print
  rm -f "$ZZ_BIN"/../screenshots/zuzaror-five-day-preview-*.png "$ZZ_BIN"/../screenshots/printed-*.png
  pdfs="$(getent passwd "$(id -un)" | cut -d: -f6)/PDF"
  touch "$work/print-start"
fi

# Pictures count only when this run took them: nothing clears the folder,
# and an import that failed would leave the last run's picture to pass.
touch "$work/start"
"$ZZ_WINE_RUN" "$ZZ_BIN/scenario_driver.exe" "$(winepath -w "$work/nodb")" "$(winepath -w "$work/app")" \
  "$(winepath -w "$work/clerk")" "$(winepath -w "$work/restore")" $print &
driver=$!
# The driver asks for photographs of the windows, for a person to look at:
# it writes the picture's name into a "shot" file of the program's folder
# and waits until the file is gone.
shots="$ZZ_BIN/../screenshots"
mkdir -p "$shots"
# A run under another code page keeps its pictures apart.
suffix=${ZZ_LOCALE:+-${ZZ_LOCALE%%.*}}
suffix=${suffix,,}
while kill -0 $driver 2>/dev/null; do
  for request in "$work"/*/shot; do
    [ -s "$request" ] || continue
    import -window root "$shots/$(tr -cd 'a-z0-9-' < "$request")$suffix.png"
    rm -f "$request"
  done
  sleep 0.1
done
wait $driver
rc=$?
taken() { [ -s "$shots/$1.png" ] && [ "$shots/$1.png" -nt "$work/start" ]; }
for name in zuzaror-login zuzaror-main zuzaror-list-menu zuzaror-filled zuzaror-restore zuzaror-users \
  zuzaror-stale-modify zuzaror-stale-delete zuzaror-five-day zuzaror-statistics zuzaror-about \
  zuzaror-statistics-preview zuzaror-last-manager zuzaror-unsavable zuzaror-not-a-number zuzaror-restore-kept \
  zuzaror-print-failed; do
  taken "$name$suffix" || { echo "no screenshot $name$suffix.png from this run"; rc=1; }
done
if [ -n "$print" ]; then
  for name in zuzaror-five-day-preview-1 zuzaror-five-day-preview-2; do
    taken "$name" || { echo "no screenshot $name.png from this run"; rc=1; }
  done
  bash "$(dirname "$0")/printed_reports.sh" "$work/clerk/ml.mdb" "$work/print-start" "$pdfs" "$work/printed" \
    "$shots" || rc=1
elif [ -z "${ZZ_LOCALE:-}" ]; then
  # wine-env.sh sets the PDF printer up for root wherever CUPS is installed.
  if [ "$(id -u)" = 0 ] && [ -x /usr/sbin/cupsd ]; then
    echo "printing: no PDF printer, though this run is root and CUPS is installed"; rc=1
  else
    echo "printing skipped: the PDF printer needs root"
    [ -z "${ZZ_SKIPPED:-}" ] || echo "zuzaror_scenario: printing (not root)" >> "$ZZ_SKIPPED"
  fi
fi
# The skin library travels inside the program and is written beside it.
[ -s "$work/app/SkinH_EL.dll" ] || { echo "SkinH_EL.dll was not written beside the program"; rc=1; }
rows=$(sqlite3 "$work/app/ml.mdb" 'select "日期","挂号","B超","医疗收入合计" from "项目数据"')
echo "rows: $rows"
# The day was added, modified and deleted again; the keys show it was there.
[ -z "$rows" ] || { echo "unexpected rows in ml.mdb"; rc=1; }
seq=$(sqlite3 "$work/app/ml.mdb" "select seq from sqlite_sequence where name='项目数据'")
[ "$seq" = 1 ] || { echo "expected one row ever added, saw $seq"; rc=1; }
mode=$(iconv -f GBK -t UTF-8 "$work/app/1021.ini" | tr -d '\r' | tr '\n' ' ')
echo "1021.ini: $mode"
[ "$mode" = "[系统配置] 默认显示方式1=0 默认显示方式2=1 " ] || { echo "unexpected 1021.ini"; rc=1; }
# The backup was taken before the day was added and restored over it; the
# damaged backup was refused and left as it was, the live file came back
# from temp, and the day was added once more.
# The database the restore replaced, with the day, was kept as a second
# backup.
backups=$(find "$work/restore/back" -name '*.ml' ! -name bad.ml | sort)
echo "backups: $(printf '%s\n' "$backups" | sed 's,.*/,,' | tr '\n' ' ')"
[ "$(printf '%s\n' "$backups" | grep -c .)" = 2 ] || { echo "expected two backups"; rc=1; }
days=$(for b in $backups; do sqlite3 "$b" 'select count(*) from "项目数据"'; done | sort | tr '\n' ' ')
[ "$days" = "0 1 " ] || { echo "expected the backup empty and the kept database with the day, saw $days"; rc=1; }
[ "$(cat "$work/restore/back/bad.ml")" = $'not a database\r' ] || { echo "bad.ml was changed"; rc=1; }
[ ! -e "$work/restore/temp/ml.mdb" ] || { echo "temp/ml.mdb was left behind"; rc=1; }
seq=$(sqlite3 "$work/restore/ml.mdb" "select seq from sqlite_sequence where name='项目数据'")
count=$(sqlite3 "$work/restore/ml.mdb" 'select count(*) from "项目数据"')
[ "$seq/$count" = 1/1 ] || { echo "expected the day added once after the restore, saw seq/rows $seq/$count"; rc=1; }
# O'Brien was added once, refused a second time, and deleted, and two
# accounts were added and deleted by another copy of the program: the
# accounts are as they were, and the keys show three added since the clerk.
users=$(sqlite3 "$work/clerk/ml.mdb" 'select "用户名","密码","用户管理","增加" from "用户信息" order by "编号"' | tr '\n' ' ')
echo "users: $users"
[ "$users" = "admin|246135|1|1 clerk|pw|0|0 " ] || { echo "unexpected accounts in ml.mdb"; rc=1; }
seq=$(sqlite3 "$work/clerk/ml.mdb" "select seq from sqlite_sequence where name='用户信息'")
[ "$seq" = 5 ] || { echo "expected five accounts ever added, saw $seq"; rc=1; }
# The unit name was set once; the second setting inserted nothing.
names=$(sqlite3 "$work/clerk/ml.mdb" 'select "单位名称" from "单位名称"' | tr '\n' ' ')
[ "$names" = "城南卫生院 " ] || { echo "unexpected unit names: $names"; rc=1; }
# The cut-short write was rolled back: every day of the last commit is
# there, and the journal is gone.
[ ! -e "$work/hot/ml.mdb-journal" ] || { echo "the journal is still there"; rc=1; }
days=$(sqlite3 "$work/hot/ml.mdb" 'select count(*) from "项目数据"')
[ "$days" = "$hot_days" ] || { echo "expected $hot_days days after the roll-back, saw $days"; rc=1; }
# Nothing refused was written: the accounts and the empty unit name stand;
# the kept database holds the full-width figure in its ASCII form, the
# restored one the day added after the restore, typed "007" and stored as
# the 7 its totals read.
users=$(sqlite3 "$work/mends/ml.mdb" 'select "用户名","密码","用户管理" from "用户信息" order by "编号"' | tr '\n' ' ')
[ "$users" = "admin|246135|1 clerk|pw|0 " ] || { echo "mends: unexpected accounts $users"; rc=1; }
[ "$(sqlite3 "$work/mends/ml.mdb" 'select count(*) from "单位名称"')" = 0 ] || { echo "mends: a unit name was stored"; rc=1; }
kept=$(for b in "$work/mends/back"/*.ml; do sqlite3 "$b" 'select "挂号" from "项目数据"'; done | tr '\n' ' ')
[ "$kept" = "123 " ] || { echo "mends: expected the kept day with 123, saw $kept"; rc=1; }
[ "$(sqlite3 "$work/mends/ml.mdb" 'select "挂号" from "项目数据"')" = 7 ] || { echo "mends: the restored file lacks the new day"; rc=1; }
sleep 1
exit $rc
