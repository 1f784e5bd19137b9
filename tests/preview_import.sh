#!/usr/bin/env bash
# zarvel --preview-import as a script uses it: one tab-separated line per row, the layout named on
# the command line, and the exit status for a file read, one refused and a command line short of a file;
# --version and --help without a display.
set -uo pipefail
zarvel="$1"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
export XDG_DATA_HOME="$scratch/data" HOME="$scratch" QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
fail() { echo "$1" >&2; exit 1; }

{ printf '\xEF\xBB\xBF'; printf '%s\r\n' "微信支付账单明细" "----------------------微信支付账单明细列表--------------------" \
  "交易时间,交易类型,交易对方,商品,收/支,金额(元),支付方式,当前状态,交易单号,商户单号,备注" \
  "2026-03-01 12:30:00,商户消费,面馆,牛肉面,支出,¥12.50,零钱,支付成功,1,/,/" \
  "2026-03-02 10:00:00,零钱提现,银行,/,/,¥100.00,零钱,提现已到账,2,/,服务费¥0.10"; } > "$scratch/bill.csv"
out="$("$zarvel" --preview-import "$scratch/bill.csv" --layout wechat --home)" || fail "a bill that reads exits $?"
expected=$'4\t记录\t2026-03-01 12:30:00\t其他支出\t-12.50\t\t面馆 牛肉面\t\n5\t记录\t2026-03-02 10:00:00\t其他支出\t-0.10\t\t银行 服务费¥0.10\t本人账户间转账的服务费'
[ "$out" = "$expected" ] || fail "unexpected preview:
$out"

"$zarvel" --preview-import "$scratch/bill.csv" --layout alipay --home >/dev/null 2>"$scratch/err"
[ $? -eq 1 ] || fail "a layout the file does not have is not refused"
grep -q "找不到支付宝账单的表头" "$scratch/err" || fail "the refusal does not say why: $(cat "$scratch/err")"

printf '<STMTTRN><TRNAMT>-5</STMTTRN>\n' > "$scratch/gone.ofx"
"$zarvel" --preview-import "$scratch/gone.ofx" --home >/dev/null 2>"$scratch/err"
[ $? -eq 1 ] || fail "a damaged OFX is not refused"
grep -q "gone.ofx" "$scratch/err" || fail "the refusal does not name the file: $(cat "$scratch/err")"

"$zarvel" --preview-import >/dev/null 2>&1
[ $? -eq 2 ] || fail "a command line without the file is not exit 2"

# --version and --help answer on a terminal without a display.
version="$(env -u QT_QPA_PLATFORM DISPLAY= "$zarvel" --version)" || fail "--version exits $?"
[[ "$version" =~ ^zarvel\ [0-9]+\.[0-9]+ ]] || fail "unexpected version line: $version"
help="$(env -u QT_QPA_PLATFORM DISPLAY= "$zarvel" --help)" || fail "--help exits $?"
for option in --home --import --preview-import --version; do
  grep -q -- "$option" <<<"$help" || fail "--help does not name $option"
done
echo "preview lines as expected"
