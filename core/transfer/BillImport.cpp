// Bill exports and spreadsheets read as income and expense.
#include "BillImport.h"

#include "common/Amount.h"
#include "common/LedgerDate.h"
#include "db/KeptFigures.h"
#include "transfer/Csv.h"

#include <QHash>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace {

int Column(const QStringList &header, std::initializer_list<const char *> names)
{
    // English titles are written in any case ("DATE", "Date").
    for (const char *name : names) {
        for (int at = 0; at < header.size(); ++at) {
            if (header.at(at).compare(QString::fromUtf8(name), Qt::CaseInsensitive) == 0)
                return at;
        }
    }
    return -1;
}

// The titles a date column goes by, the transaction's day before the day it was posted.
const std::initializer_list<const char *> kDateTitles{"交易时间", "交易创建时间", "日期", "时间", "记账日期", "交易日期", "交易日", "记账日",
                                                      "Trans Date", "Transaction Date", "Date", "Posting Date", "Post Date"};

// A column whose title begins with one of the names ("Amount (HKD)").
int ColumnStarting(const QStringList &header, std::initializer_list<const char *> names)
{
    for (const char *name : names) {
        for (int at = 0; at < header.size(); ++at) {
            if (header.at(at).startsWith(QString::fromUtf8(name), Qt::CaseInsensitive))
                return at;
        }
    }
    return -1;
}

QStringList Trimmed(const QStringList &row)
{
    QStringList trimmed;
    for (const QString &field : row)
        trimmed << field.trimmed();
    return trimmed;
}

QString Field(const QStringList &row, int column)
{
    return column >= 0 ? row.value(column).trimmed() : QString();
}

} // namespace

QString BillPresetName(BillPreset preset)
{
    switch (preset) {
    case BillPreset::WeChat: return QStringLiteral("微信支付账单");
    case BillPreset::Alipay: return QStringLiteral("支付宝账单");
    case BillPreset::Zarvel: return QStringLiteral("Zarvel 导出的收支记录");
    case BillPreset::Qif: return QStringLiteral("QIF 文件");
    case BillPreset::Ofx: return QStringLiteral("OFX 对账单");
    case BillPreset::Plain: break;
    }
    return QStringLiteral("表格");
}

BillDates GuessBillDates(const QList<QStringList> &records, int headerRow, int dateColumn)
{
    BillDates dates;
    static const QRegularExpression yearAfter(QStringLiteral("^\\s*(\\d{1,2})[-/.](\\d{1,2})(?:[-/.]\\d{2,4})?(?:\\s|$)"));
    constexpr int kLookedAt = 500;
    for (qsizetype r = headerRow + 1; dateColumn >= 0 && r < records.size() && r <= headerRow + kLookedAt; ++r) {
        const QRegularExpressionMatch match = yearAfter.match(records.at(r).value(dateColumn));
        if (!match.hasMatch())
            continue;
        if (match.captured(1).toInt() > 12) {
            dates.order = DateOrder::DayFirst;
            break;
        }
        if (match.captured(2).toInt() > 12)
            break;  // month first, as taken by default
    }
    static const QRegularExpression fullDate(QStringLiteral("(\\d{4})[-/.年](\\d{1,2})[-/.月](\\d{1,2})"));
    static const QRegularExpression year(QStringLiteral("(?:^|\\D)((?:19|20)\\d{2})年"));
    int namedYear = 0;
    for (qsizetype r = 0; r < headerRow && r < records.size(); ++r) {
        for (const QString &cell : records.at(r)) {
            for (auto it = fullDate.globalMatch(cell); it.hasNext();) {
                const QRegularExpressionMatch found = it.next();
                const QDate day(found.captured(1).toInt(), found.captured(2).toInt(), found.captured(3).toInt());
                if (!day.isValid())
                    continue;
                if (!dates.periodStart.isValid() || day < dates.periodStart)
                    dates.periodStart = day;
                if (!dates.periodEnd.isValid() || day > dates.periodEnd)
                    dates.periodEnd = day;
            }
            if (namedYear == 0) {
                const QRegularExpressionMatch found = year.match(cell);
                if (found.hasMatch())
                    namedYear = found.captured(1).toInt();
            }
        }
    }
    if (!dates.periodStart.isValid() && namedYear > 0) {
        dates.periodStart = QDate(namedYear, 1, 1);
        dates.periodEnd = QDate(namedYear, 12, 31);
    }
    return dates;
}


BillLayout GuessColumnsAt(const QList<QStringList> &records, int headerRow)
{
    BillLayout layout;
    layout.headerRow = headerRow;
    const QStringList header = Trimmed(records.value(headerRow));
    BillColumns c;
    c.date = Column(header, kDateTitles);
    static const QStringList interchange{QStringLiteral("日期"), QStringLiteral("金额"), QStringLiteral("交易对方"),
                                         QStringLiteral("收支项目"), QStringLiteral("备注")};
    if (header.mid(0, 5) == interchange && header.size() == 6
        && (header.at(5) == QStringLiteral("交易编号") || header.at(5) == QStringLiteral("支票号"))) {
        // A QIF or OFX file read into its table: the amounts signed, the payee and memo the note.
        layout.preset = header.at(5) == QStringLiteral("交易编号") ? BillPreset::Ofx : BillPreset::Qif;
        c.amount = 1;
        c.counterparty = 2;
        c.item = 3;
        c.remarks = 4;
        c.note = {2, 4};
        if (layout.preset == BillPreset::Ofx)
            c.order = 5;
    } else if (Column(header, {"收支项目"}) >= 0 && Column(header, {"收入"}) >= 0 && Column(header, {"支出"}) >= 0) {
        layout.preset = BillPreset::Zarvel;
        c.item = Column(header, {"收支项目"});
        c.income = Column(header, {"收入"});
        c.expense = Column(header, {"支出"});
        c.member = Column(header, {"家庭成员"});
        c.note = {Column(header, {"备注"})};
    } else if (Column(header, {"交易类型"}) >= 0 && Column(header, {"金额(元)"}) >= 0) {
        layout.preset = BillPreset::WeChat;
        c.item = Column(header, {"交易类型"});
        c.amount = Column(header, {"金额(元)"});
        c.direction = Column(header, {"收/支"});
        c.status = Column(header, {"当前状态"});
        c.counterparty = Column(header, {"交易对方"});
        c.goods = Column(header, {"商品"});
        c.remarks = Column(header, {"备注"});
        c.order = Column(header, {"交易单号"});
        c.merchantOrder = Column(header, {"商户单号"});
    } else if (Column(header, {"交易分类", "交易创建时间"}) >= 0
               || (Column(header, {"商品说明", "商品名称"}) >= 0 && Column(header, {"交易对方"}) >= 0)) {
        // The app's bill (交易分类 …) and its older web export (交易号 … 交易创建时间 … 成功退款（元）).
        layout.preset = BillPreset::Alipay;
        c.item = Column(header, {"交易分类", "类型"});
        c.amount = Column(header, {"金额", "金额（元）", "金额(元)"});
        c.direction = Column(header, {"收/支"});
        c.status = Column(header, {"交易状态"});
        c.counterparty = Column(header, {"交易对方"});
        c.goods = Column(header, {"商品说明", "商品名称"});
        c.remarks = Column(header, {"备注"});
        c.order = Column(header, {"交易订单号", "交易号"});
        c.merchantOrder = Column(header, {"商家订单号", "商户订单号"});
        c.refunded = Column(header, {"成功退款（元）", "成功退款(元)"});
        c.fee = Column(header, {"服务费（元）", "服务费(元)"});
    } else {
        c.item = Column(header, {"收支项目", "项目", "分类", "类别", "交易类型", "交易分类"});
        c.amount = Column(header, {"金额", "金额(元)", "金额（元）", "交易金额", "人民币金额", "记账金额", "发生额"});
        if (c.amount < 0)
            c.amount = ColumnStarting(header, {"Amount", "Transaction Amount"});
        // A bank's statement: money out and money in in two columns.
        const int out = Column(header, {"支出金额", "支出", "借方金额", "借方发生额", "借方", "Debit", "Withdrawal", "Withdrawals"});
        const int in = Column(header, {"存入金额", "存入", "收入金额", "收入", "贷方金额", "贷方发生额", "贷方", "Credit", "Deposit", "Deposits"});
        if (c.amount < 0 && out >= 0 && in >= 0) {
            c.expense = out;
            c.income = in;
            // A bank account's 摘要 is the kind of movement (消费, 工资, 利息): its item when none is named.
            if (c.item < 0)
                c.item = Column(header, {"摘要"});
        }
        c.direction = Column(header, {"收/支", "收支"});
        c.member = Column(header, {"家庭成员", "成员", "经手人"});
        c.counterparty = Column(header, {"交易对方", "对方户名", "对方名称", "对方账户名称", "收款人", "付款人"});
        c.note = {c.counterparty, Column(header, {"交易摘要", "摘要", "Description", "Details", "Narrative"}),
                  Column(header, {"备注", "说明", "附言", "用途", "Memo", "Remarks"})};
        // A credit card's statement counts spending positive: its title block or its card column says
        // so, or its credits marked CR.
        bool card = Column(header, {"卡号末四位", "卡号后四位"}) >= 0;
        for (qsizetype r = 0; r < headerRow && r < records.size() && !card; ++r)
            card = records.at(r).join(QString()).contains(QStringLiteral("信用卡"));
        static const QRegularExpression credit(QStringLiteral("\\d\\s*CR\\.?\\s*$"), QRegularExpression::CaseInsensitiveOption);
        constexpr int kLookedAt = 500;
        for (qsizetype r = headerRow + 1; c.amount >= 0 && !card && r < records.size() && r <= headerRow + kLookedAt; ++r)
            card = credit.match(records.at(r).value(c.amount)).hasMatch();
        layout.spendingPositive = card && c.direction < 0 && c.income < 0;
    }
    if (layout.preset == BillPreset::WeChat || layout.preset == BillPreset::Alipay)
        c.note = {c.counterparty, c.goods, c.remarks};
    c.note.removeAll(-1);
    layout.columns = c;
    layout.dates = GuessBillDates(records, headerRow, c.date);
    return layout;
}

namespace {

// The layout's columns by the names they are kept under.
QList<std::pair<const char *, int *>> NamedColumns(BillColumns &c)
{
    return {{"date", &c.date}, {"item", &c.item}, {"amount", &c.amount}, {"direction", &c.direction},
            {"member", &c.member}, {"status", &c.status}, {"income", &c.income}, {"expense", &c.expense},
            {"counterparty", &c.counterparty}, {"goods", &c.goods}, {"remarks", &c.remarks}, {"order", &c.order},
            {"merchantOrder", &c.merchantOrder}, {"refunded", &c.refunded}, {"fee", &c.fee}};
}

} // namespace

QString BillLayoutText(const BillLayout &layout)
{
    BillColumns columns = layout.columns;
    QStringList parts{QStringLiteral("preset=%1").arg(int(layout.preset))};
    for (const auto &[name, column] : NamedColumns(columns))
        parts << QStringLiteral("%1=%2").arg(QLatin1String(name)).arg(*column);
    QStringList note;
    for (int column : layout.columns.note)
        note << QString::number(column);
    parts << QStringLiteral("note=") + note.join(QLatin1Char(','));
    parts << QStringLiteral("dayFirst=%1").arg(layout.dates.order == DateOrder::DayFirst ? 1 : 0);
    parts << QStringLiteral("spendingPositive=%1").arg(layout.spendingPositive ? 1 : 0);
    return parts.join(QLatin1Char(';'));
}

bool ReadBillLayoutText(const QString &text, BillLayout *layout)
{
    BillLayout read;
    QHash<QString, QString> values;
    for (const QString &part : text.split(QLatin1Char(';'))) {
        const qsizetype equals = part.indexOf(QLatin1Char('='));
        if (equals <= 0)
            return false;
        values.insert(part.left(equals), part.mid(equals + 1));
    }
    constexpr int kColumnsAtMost = 1024;  // as many as a workbook's rows are read with
    const auto number = [&](const QString &name, int low, int high, int *value) {
        bool ok = false;
        *value = values.value(name).toInt(&ok);
        return ok && *value >= low && *value <= high;
    };
    int preset = 0, dayFirst = 0, spending = 0;
    if (!number(QStringLiteral("preset"), 0, int(BillPreset::Ofx), &preset) || !number(QStringLiteral("dayFirst"), 0, 1, &dayFirst)
        || !number(QStringLiteral("spendingPositive"), 0, 1, &spending))
        return false;
    for (const auto &[name, column] : NamedColumns(read.columns)) {
        if (!number(QLatin1String(name), -1, kColumnsAtMost, column))
            return false;
    }
    for (const QString &column : values.value(QStringLiteral("note")).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int at = column.toInt(&ok);
        if (!ok || at < 0 || at > kColumnsAtMost)
            return false;
        read.columns.note << at;
    }
    read.preset = BillPreset(preset);
    read.dates.order = dayFirst ? DateOrder::DayFirst : DateOrder::MonthFirst;
    read.spendingPositive = spending != 0;
    *layout = read;
    return true;
}

BillLayout GuessBillLayout(const QList<QStringList> &records)
{
    constexpr int kLookedAt = 40;  // a bill's title block is a few dozen lines at most
    for (int r = 0; r < records.size() && r < kLookedAt; ++r) {
        if (Column(Trimmed(records.at(r)), kDateTitles) >= 0)
            return GuessColumnsAt(records, r);
    }
    return BillLayout();
}

bool ReadBillAmount(const QString &text, double *amount, int *marked)
{
    QString written = text.trimmed();
    // A statement's credit or debit mark, then a currency's code, word or sign on either side.
    // Written apart ("1,200.00 CR") or against the figures ("1,200.00CR"), never the end of a word.
    static const QRegularExpression mark(QStringLiteral("\\s*(?<![A-Za-z])(CR|DR)\\.?$"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression currency(QStringLiteral(
        "^(?:RMB|CNY|HKD|USD|EUR|GBP|JPY|MOP|TWD|HK\\$|US\\$|人民币|港币|港元|美元|欧元|日元|英镑|[$€£])\\s*"
        "|\\s*(?:RMB|CNY|HKD|USD|EUR|GBP|JPY|MOP|TWD|人民币|港币|港元|美元|欧元|日元|英镑)$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch marking = mark.match(written);
    const int markedSign = !marking.hasMatch() ? 0 : marking.captured(1).compare(QStringLiteral("CR"), Qt::CaseInsensitive) == 0 ? 1 : -1;
    if (marking.hasMatch())
        written.chop(marking.capturedLength());
    written.remove(currency);
    // An accountant's negative: the amount in parentheses.
    bool bracketed = written.size() > 2 && written.startsWith(QLatin1Char('(')) && written.endsWith(QLatin1Char(')'));
    if (bracketed)
        written = written.mid(1, written.size() - 2);
    QString plain;
    for (const QChar c : written) {
        if (c.unicode() >= 0xFF10 && c.unicode() <= 0xFF19)  // full-width digits
            plain += QChar(c.unicode() - 0xFF10 + '0');
        else if (c == QChar(0xFF0E))
            plain += QLatin1Char('.');
        else if (c == QChar(0xFF0D))
            plain += QLatin1Char('-');
        else if (c == QChar(0xFF0C))
            plain += QLatin1Char(',');
        else if (c != QChar(0xA5) && c != QChar(0xFFE5) && c != QChar(0x5143) && !c.isSpace())
            plain += c;
    }
    // Commas group thousands ("1,234.56", "1,234"), but a statement from abroad writes its decimals
    // after one ("1.234,56", "12,50"): read as thousands, such an amount would be a hundred times off.
    const qsizetype comma = plain.lastIndexOf(QLatin1Char(',')), dot = plain.lastIndexOf(QLatin1Char('.'));
    const bool decimalComma = comma >= 0 && dot < comma
                              && (dot >= 0 || (plain.count(QLatin1Char(',')) == 1 && plain.size() - comma - 1 != 3));
    if (decimalComma) {
        plain.remove(QLatin1Char('.'));
        plain.replace(QLatin1Char(','), QLatin1Char('.'));
    } else {
        plain.remove(QLatin1Char(','));
    }
    bool ok = false;
    double value = plain.toDouble(&ok);
    if (!ok || plain.isEmpty() || !std::isfinite(value) || (bracketed && value < 0))
        return false;
    if (bracketed)
        value = -value;
    if (markedSign != 0)
        value = markedSign * std::fabs(value);
    if (marked)
        *marked = markedSign;
    *amount = value;
    return true;
}

QDateTime ReadBillDate(const QString &text, bool *dayOnly, const BillDates &dates)
{
    static const QRegularExpression yearFirst(QStringLiteral(
        "^\\s*(\\d{4})(?:[-/.年](\\d{1,2})[-/.月](\\d{1,2})日?|(\\d{2})(\\d{2}))(?:[ T]+(\\d{1,2}):(\\d{2})(?::(\\d{2}))?)?\\s*$"));
    static const QRegularExpression yearAfter(QStringLiteral(
        "^\\s*(\\d{1,2})[-/.](\\d{1,2})(?:[-/.](\\d{4}|\\d{2}))?(?:[ T]+(\\d{1,2}):(\\d{2})(?::(\\d{2}))?)?\\s*$"));
    QDate day;
    QRegularExpressionMatch match = yearFirst.match(text);
    int timeAt = 6;
    if (match.hasMatch()) {
        const bool compact = match.hasCaptured(4);
        day = QDate(match.captured(1).toInt(), match.captured(compact ? 4 : 2).toInt(), match.captured(compact ? 5 : 3).toInt());
    } else {
        match = yearAfter.match(text);
        if (!match.hasMatch())
            return QDateTime();
        timeAt = 4;
        const int first = match.captured(1).toInt(), second = match.captured(2).toInt();
        const int month = dates.order == DateOrder::MonthFirst ? first : second;
        const int dayOfMonth = dates.order == DateOrder::MonthFirst ? second : first;
        if (match.hasCaptured(3)) {
            const int year = match.captured(3).toInt();
            day = QDate(match.captured(3).size() == 2 ? 2000 + year : year, month, dayOfMonth);
        } else if (dates.periodStart.isValid()) {
            // The year of the period's start, or of its end when the day falls before the start.
            day = QDate(dates.periodStart.year(), month, dayOfMonth);
            if (day.isValid() && day < dates.periodStart && dates.periodEnd.year() > dates.periodStart.year())
                day = QDate(dates.periodEnd.year(), month, dayOfMonth);
        }
    }
    const QTime time(match.captured(timeAt).toInt(), match.captured(timeAt + 1).toInt(), match.captured(timeAt + 2).toInt());
    if (!day.isValid() || !time.isValid())
        return QDateTime();
    if (dayOnly)
        *dayOnly = !match.hasCaptured(timeAt);
    return LedgerDateTime(day, time);
}

namespace {

// Money moved between the household's own purses (the wallet's change, a fund account, a card
// repaid): neither earned nor spent. Interest paid by such a fund is earned.
bool IsOwnTransfer(const QString &item, const QString &goods)
{
    static const QRegularExpression own(QStringLiteral("零钱充值|零钱提现|零钱通|余额宝|信用卡还款|^充值(?:$|-)|^提现(?:$|-)|转入零钱|转出到零钱"));
    static const QRegularExpression earned(QStringLiteral("收益"));
    const QString both = item + QLatin1Char('\n') + goods;
    return (own.match(item).hasMatch() || own.match(goods).hasMatch()) && !earned.match(both).hasMatch();
}

// A fee a bill writes in a row's remarks ("服务费¥0.10", "手续费：2.00"), with the word it uses.
double FeeInRemarks(const QString &remarks, QString *word)
{
    static const QRegularExpression fee(QStringLiteral("(服务费|手续费)\\s*[:：]?\\s*[¥￥]?\\s*(\\d+(?:\\.\\d+)?)"));
    const QRegularExpressionMatch found = fee.match(remarks);
    if (!found.hasMatch())
        return 0;
    *word = found.captured(1);
    return found.captured(2).toDouble();
}

BillRow Refused(const QString &reason)
{
    BillRow read;
    read.kind = BillRow::Kind::Refused;
    read.reason = reason;
    return read;
}

// A bill marks an empty field with "/".
QString BillField(const QStringList &row, int column)
{
    const QString field = Field(row, column);
    return field == QStringLiteral("/") ? QString() : field;
}

} // namespace

BillRow ReadBillRow(const QStringList &row, const BillLayout &layout)
{
    BillRow read;
    const BillColumns &c = layout.columns;
    // Blank lines and the dashed lines bills put around their table carry nothing.
    static const QRegularExpression divider(QStringLiteral("^-*$"));
    if (std::all_of(row.begin(), row.end(), [](const QString &field) { return divider.match(field.trimmed()).hasMatch(); })) {
        read.kind = BillRow::Kind::Skipped;
        read.reason = QStringLiteral("空行");
        return read;
    }
    int needed = 0;
    for (int column : {c.date, c.item, c.amount, c.direction, c.member, c.status, c.income, c.expense})
        needed = std::max(needed, column + 1);
    if (row.size() < needed)
        return Refused(QStringLiteral("列数不足（%1 列，需要 %2 列）").arg(row.size()).arg(needed));
    const bool bill = layout.preset == BillPreset::WeChat || layout.preset == BillPreset::Alipay;
    const QString direction = Field(row, c.direction);
    const QString status = Field(row, c.status);
    read.item = Field(row, c.item);
    read.member = Field(row, c.member);
    if (layout.preset == BillPreset::Zarvel) {
        // This program's export kept its texts from running in a spreadsheet: read as they were.
        read.item = UnguardedCsvText(read.item);
        read.member = UnguardedCsvText(read.member);
    }
    read.counterparty = BillField(row, c.counterparty);
    read.order = BillField(row, c.order);
    read.merchantOrder = BillField(row, c.merchantOrder);
    QStringList note;
    for (int column : c.note) {
        // This program's own notes keep their blanks and are taken whole; a bill's fields are padded
        // (often with a tab), and "/" is a bill's mark of an empty field.
        const QString part = layout.preset == BillPreset::Zarvel && column >= 0 ? UnguardedCsvText(row.value(column)) : Field(row, column);
        if (!part.isEmpty() && (part != QStringLiteral("/") || layout.preset == BillPreset::Zarvel))
            note << part;
    }
    read.note = note.join(QLatin1Char(' '));

    // A bill's row that neither earns nor spends: marked so, or a move between one's own purses. A
    // fee it cost (in its remarks, or the older export's fee column) is spent all the same.
    const QString goods = Field(row, c.goods);
    const bool refundRow = bill && !direction.startsWith(QStringLiteral("支"))
                           && (read.item.contains(QStringLiteral("退款")) || goods.startsWith(QStringLiteral("退款"))
                               || status == QStringLiteral("退款成功"));
    const bool neutral = direction == QStringLiteral("/") || direction == QStringLiteral("不计收支")
                         || (direction.isEmpty() && c.direction >= 0 && layout.preset != BillPreset::Plain);
    // A QIF transfer names the other account in brackets: "[Savings]".
    const bool qifTransfer = layout.preset == BillPreset::Qif && read.item.startsWith(QLatin1Char('['))
                             && read.item.endsWith(QLatin1Char(']'));
    const bool ownTransfer = (bill && IsOwnTransfer(read.item, goods)) || qifTransfer;
    double fee = 0;
    if (!refundRow && (neutral || ownTransfer)) {
        QString feeWord = QStringLiteral("服务费");
        fee = FeeInRemarks(Field(row, c.remarks), &feeWord);
        double feeColumn = 0;
        if (fee == 0 && ReadBillAmount(Field(row, c.fee), &feeColumn))
            fee = std::fabs(feeColumn);
        if (!(fee * 100.0 >= 0.5)) {
            read.kind = BillRow::Kind::Skipped;
            read.reason = ownTransfer ? QStringLiteral("本人账户间转账") : QStringLiteral("不计收支");
            return read;
        }
        read.item = feeWord;
        read.reason = (ownTransfer ? QStringLiteral("本人账户间转账的") : QStringLiteral("不计收支交易的")) + feeWord;
    }

    // 收入/收 and 支出/支 sign the amount. A bill's amounts carry no sign of their own, so a bill's row
    // without a direction is neutral (above); any other word is not guessed at.
    int sign = 0;
    if (direction.startsWith(QStringLiteral("收")))
        sign = 1;
    else if (direction.startsWith(QStringLiteral("支")))
        sign = -1;
    else if (!direction.isEmpty() && !neutral)
        return Refused(QStringLiteral("收/支无法识别：%1").arg(direction));
    read.date = ReadBillDate(Field(row, c.date), &read.dayOnly, layout.dates);
    if (!read.date.isValid())
        return Refused(QStringLiteral("日期无法识别：%1").arg(Field(row, c.date)));
    // The ledger's dates begin in 1900 (its empty date is the last day but one of 1899).
    if (read.date.date().year() < 1900)
        return Refused(QStringLiteral("日期超出范围：%1").arg(Field(row, c.date)));

    double amount = 0;
    if (fee > 0) {
        amount = -fee;
    } else if (c.income >= 0 || c.expense >= 0) {
        // The amount stands in one of the two columns; a sheet may fill the other with a zero.
        // A statement marks the side a row does not use with a dash.
        static const QRegularExpression dash(QStringLiteral("^[-\u2012-\u2015\uFF0D]+$"));
        const auto side = [&](int column) {
            const QString text = Field(row, column);
            return dash.match(text).hasMatch() ? QString() : text;
        };
        const QString income = side(c.income), expense = side(c.expense);
        double incomeAmount = 0, expenseAmount = 0;
        for (const auto &[text, value] : {std::pair{income, &incomeAmount}, std::pair{expense, &expenseAmount}}) {
            if ((!text.isEmpty() || (income.isEmpty() && expense.isEmpty())) && !ReadBillAmount(text, value))
                return Refused(QStringLiteral("金额无法识别：%1").arg(text));
        }
        const auto held = [](double value) { return !(std::fabs(value) * 100.0 < 0.5); };  // a cent or more
        if (held(incomeAmount) && held(expenseAmount))
            return Refused(QStringLiteral("收入和支出两列都有金额：%1，%2").arg(income, expense));
        // An expense column may hold its amounts without the sign.
        amount = held(incomeAmount) ? incomeAmount : -std::fabs(expenseAmount);
    } else {
        int marked = 0;
        if (!ReadBillAmount(Field(row, c.amount), &amount, &marked))
            return Refused(QStringLiteral("金额无法识别：%1").arg(Field(row, c.amount)));
        if (sign != 0)
            amount = sign * std::fabs(amount);
        else if (marked == 0 && layout.spendingPositive)
            amount = -amount;
        // A card repaid is money moved from one's own account to the card: neither earned nor spent.
        static const QRegularExpression repaid(QStringLiteral("还款|payment"), QRegularExpression::CaseInsensitiveOption);
        if (layout.spendingPositive && amount > 0 && (repaid.match(read.item).hasMatch() || repaid.match(read.note).hasMatch())) {
            read.kind = BillRow::Kind::Skipped;
            read.reason = QStringLiteral("本人账户间转账（信用卡还款）");
            return read;
        }
    }
    if (refundRow) {
        // Settled against its purchase once the whole bill is read.
        read.kind = BillRow::Kind::Skipped;
        read.refund = true;
        read.amount = double(ToCents(std::fabs(amount))) / 100.0;
        read.reason = QStringLiteral("退款");
        return read;
    }

    // What the purchase's own status or the refunded column says was given back: all of it (a refund
    // or a closed trade) or a part ("已退款(￥5.00)"), which it then did not cost.
    static const QRegularExpression partRefund(QStringLiteral("^已退款[(（](.+)[)）]$"));
    const QRegularExpressionMatch refund = partRefund.match(status);
    double refunded = 0;
    bool partlyRefunded = refund.hasMatch() && ReadBillAmount(refund.captured(1), &refunded);
    double refundedColumn = 0;
    if (!partlyRefunded && ReadBillAmount(Field(row, c.refunded), &refundedColumn) && std::fabs(refundedColumn) * 100.0 >= 0.5) {
        partlyRefunded = true;
        refunded = refundedColumn;
    }
    const bool closed = fee == 0 && !partlyRefunded
                        && (status.contains(QStringLiteral("退款")) || status.contains(QStringLiteral("关闭")));
    read.refundCounted = partlyRefunded || closed;
    read.paid = double(ToCents(amount)) / 100.0;
    if (partlyRefunded)
        amount = amount < 0 ? amount + std::fabs(refunded) : amount - std::fabs(refunded);
    if (std::fabs(amount) > kLargestAmount)
        return Refused(QStringLiteral("金额超出范围"));
    // Kept to the cent, as the entry dialog keeps what is typed.
    amount = double(ToCents(amount)) / 100.0;
    read.amount = amount;
    if (closed || (partlyRefunded && amount == 0)) {
        read.kind = BillRow::Kind::Skipped;  // it cost nothing
        read.reason = status.isEmpty() ? QStringLiteral("已全额退款") : status;
        return read;
    }
    if (amount == 0)
        return Refused(QStringLiteral("金额为零"));
    if (partlyRefunded)
        read.reason = QStringLiteral("已扣除退款 %1").arg(TrimAmount(std::fabs(refunded)));
    return read;
}
