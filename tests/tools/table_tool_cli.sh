#!/usr/bin/env bash
# Drives tollvane-table as a school's IT person would: init, import, export, refusals.
set -u
fail=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAILED: $1"; fail=1; fi; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$TOOL" init "$work/Data"
check "init makes five tables" '[ $(ls "$work/Data" | wc -l) -eq 5 ]'
"$TOOL" init "$work/Data" 2>"$work/err"; rc=$?
check "init refuses existing tables" '[ $rc -ne 0 ] && grep -q temp.dat "$work/err"'

cat >"$work/good.csv" <<'CSV'
时,分,秒,事件,声音文件,周一,周二,周三,周四,周五,周六,周日
14,0,0,下午上课,"/home/bell/音乐/上课 铃声, 二.mp3",1,1,1,1,1,0,0
8,0,0,上课,/home/bell/bell.wav,True,True,True,True,True,False,False
12,0,0,午休,随机音乐,1,1,1,1,1,1,1
CSV
"$TOOL" import "$work/Data/xiaqing.dat" "$work/good.csv"
check "import succeeds" '[ $? -eq 0 ]'
"$TOOL" export "$work/Data/xiaqing.dat" >"$work/out.csv"
check "export is in time order" '[ "$(sed -n 2p "$work/out.csv" | cut -d, -f4)" = "上课" ]'
check "export quotes the path" 'grep -qF "\"/home/bell/音乐/上课 铃声, 二.mp3\"" "$work/out.csv"'
"$TOOL" import "$work/Data/dongqing.dat" "$work/out.csv"
"$TOOL" export "$work/Data/dongqing.dat" >"$work/again.csv"
check "round trip is unchanged" 'cmp -s "$work/out.csv" "$work/again.csv"'

# A timetable saved as CSV by a spreadsheet on a Chinese system: GBK with CRLF line ends.
iconv -f UTF-8 -t GBK "$work/good.csv" | sed 's/$/\r/' >"$work/gbk.csv"
"$TOOL" import "$work/Data/temp.dat" "$work/gbk.csv" 2>"$work/err"; rc=$?
check "a GBK file is read and the encoding named" '[ $rc -eq 0 ] && grep -q GB18030 "$work/err"'
"$TOOL" export "$work/Data/temp.dat" >"$work/gbk-out.csv"
check "the GBK file gives the same rows" 'cmp -s "$work/out.csv" "$work/gbk-out.csv"'
printf 'PK\003\004rest' >"$work/课表.xlsx"
"$TOOL" import "$work/Data/temp.dat" "$work/课表.xlsx" 2>"$work/err"; rc=$?
check "a workbook is refused with the way out" '[ $rc -ne 0 ] && grep -q "CSV（逗号分隔）" "$work/err"'
"$TOOL" export --excel "$work/Data/temp.dat" >"$work/excel.csv"
check "the Excel export has a BOM and CRLF" '[ "$(head -c 3 "$work/excel.csv" | od -An -tx1 | tr -d " ")" = efbbbf ] && head -1 "$work/excel.csv" | grep -q $'"'"'\r$'"'"''
"$TOOL" import "$work/Data/dongqing.dat" "$work/excel.csv"
"$TOOL" export "$work/Data/dongqing.dat" >"$work/excel-again.csv"
check "the Excel export reads back the same" 'cmp -s "$work/out.csv" "$work/excel-again.csv"'

printf '时,分,秒,事件,声音文件,周一,周二,周三,周四,周五,周六,周日\n9,0,0,a,/a.mp3,1,1,1,1,1,0,0\n25,0,0,b,/b.mp3,1,1,1,1,1,0,0\n' >"$work/bad.csv"
"$TOOL" import "$work/Data/xiaqing.dat" "$work/bad.csv" 2>"$work/err"; rc=$?
check "bad import fails naming line 3" '[ $rc -ne 0 ] && grep -q "第 3 行" "$work/err"'
"$TOOL" export "$work/Data/xiaqing.dat" >"$work/after.csv"
check "bad import writes nothing" 'cmp -s "$work/out.csv" "$work/after.csv"'

"$TOOL" export "$work/Data/nothing.dat" 2>"$work/err"; rc=$?
check "export of a missing table fails" '[ $rc -ne 0 ] && [ ! -e "$work/Data/nothing.dat" ]'
"$TOOL" bogus 2>/dev/null; rc=$?
check "unknown command is a usage error" '[ $rc -eq 2 ]'
"$TOOL" list "$work/Data/xiaqing.dat" >"$work/list"
check "list shows the rows" '[ $(wc -l <"$work/list") -eq 3 ]'

# Sounds named relative to the program folder (the table's Data/ folder's parent) or absolute:
# the missing ones are counted by import and marked by list; the random-music marker is no file.
mkdir -p "$work/Music"
: >"$work/Music/下课.wav"
printf '时,分,秒,事件,声音文件,周一,周二,周三,周四,周五,周六,周日\n8,0,0,上课,Music/上课.wav,1,1,1,1,1,0,0\n9,0,0,下课,Music/下课.wav,1,1,1,1,1,0,0\n10,0,0,课间,随机音乐,1,1,1,1,1,0,0\n11,0,0,午,%s/Music/下课.wav,1,1,1,1,1,0,0\n12,0,0,晚,/nowhere/x.mp3,1,1,1,1,1,0,0\n' \
    "$work" >"$work/paths.csv"
"$TOOL" import "$work/Data/temp.dat" "$work/paths.csv" 2>"$work/err"; rc=$?
check "import takes rows with missing files and counts them" \
    '[ $rc -eq 0 ] && grep -q "其中 2 个事件的声音文件不存在" "$work/err"'
"$TOOL" list "$work/Data/temp.dat" >"$work/list"
check "list marks exactly the rows whose file is missing" \
    '[ "$(grep -c "（文件不存在）" "$work/list")" -eq 2 ] && grep "（文件不存在）" "$work/list" | grep -q 上课 && grep "（文件不存在）" "$work/list" | grep -q /nowhere/'

# The school calendar: imported whole, exported in the shared form, refused whole with lines.
printf '类型,开始,结束,按星期,运行模式,说明\r\n放假,2026-10-01,2026-10-07,,,国庆节\r\n调休,2026-10-10,,5,,国庆调休\r\n作息切换,2026-10-08,,,冬季,\r\n' |
    iconv -f UTF-8 -t GBK >"$work/calendar.csv"
"$TOOL" calendar import "$work/Data/calendar.dat" "$work/calendar.csv" 2>"$work/err"; rc=$?
check "a GBK calendar imports" '[ $rc -eq 0 ] && grep -q "已导入 3 条校历" "$work/err"'
"$TOOL" calendar export "$work/Data/calendar.dat" >"$work/cal-out.csv"
check "it exports by date in the shared form" '[ "$(sed -n 3p "$work/cal-out.csv")" = "作息切换,2026-10-08,,,冬季," ]'
"$TOOL" calendar list "$work/Data/calendar.dat" >"$work/list"
check "list describes each entry" 'grep -qx "2026-10-10 调休，按星期五作息（国庆调休）" "$work/list"'
printf '类型,开始,结束,按星期,运行模式,说明\n放假,2026-10-01,2026-10-07,,,\n调休,2026-10-03,,5,,\n' >"$work/cal-bad.csv"
"$TOOL" calendar import "$work/Data/calendar.dat" "$work/cal-bad.csv" 2>"$work/err"; rc=$?
"$TOOL" calendar export "$work/Data/calendar.dat" >"$work/cal-after.csv"
check "a refused calendar names the line and changes nothing" \
    '[ $rc -ne 0 ] && grep -q "第 3 行" "$work/err" && cmp -s "$work/cal-out.csv" "$work/cal-after.csv"'
exit $fail
