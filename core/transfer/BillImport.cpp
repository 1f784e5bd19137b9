// Bill exports and spreadsheets read as income and expense.
#include "BillImport.h"

#include "common/Amount.h"
#include "common/LedgerDate.h"
#include "db/CMoneyBook.h"
#include "db/KeptFigures.h"
#include "db/SqlConnection.h"

#include <QHash>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace {

int Column(const QStringList &header, std::initializer_list<const char *> names)
{
    for (const char *name : names) {
        const int at = header.indexOf(QString::fromUtf8(name));
        if (at >= 0)
            return at;
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
    case BillPreset::Plain: break;
    }
    return QStringLiteral("表格");
}

namespace {

// The day order the rows' dates show (a first number past 12 is a day, a second one past 12 too), and
// the statement's period from the dates of its title block (or the one year it names).
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

} // namespace

BillLayout GuessColumnsAt(const QList<QStringList> &records, int headerRow)
{
    BillLayout layout;
    layout.headerRow = headerRow;
    const QStringList header = Trimmed(records.value(headerRow));
    BillColumns c;
    c.date = Column(header, {"交易时间", "交易创建时间", "日期", "时间", "记账日期", "交易日期", "交易日", "记账日"});
    if (Column(header, {"收支项目"}) >= 0 && Column(header, {"收入"}) >= 0 && Column(header, {"支出"}) >= 0) {
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
        c.note = {Column(header, {"交易对方"}), Column(header, {"商品"}), Column(header, {"备注"})};
    } else if (Column(header, {"交易分类", "交易创建时间"}) >= 0
               || (Column(header, {"商品说明", "商品名称"}) >= 0 && Column(header, {"交易对方"}) >= 0)) {
        layout.preset = BillPreset::Alipay;
        c.item = Column(header, {"交易分类", "类型"});
        c.amount = Column(header, {"金额", "金额（元）", "金额(元)"});
        c.direction = Column(header, {"收/支"});
        c.status = Column(header, {"交易状态"});
        c.note = {Column(header, {"交易对方"}), Column(header, {"商品说明", "商品名称"}), Column(header, {"备注"})};
    } else {
        c.item = Column(header, {"收支项目", "项目", "分类", "类别", "交易类型", "交易分类"});
        c.amount = Column(header, {"金额", "金额(元)", "金额（元）", "交易金额"});
        c.direction = Column(header, {"收/支", "收支"});
        c.member = Column(header, {"家庭成员", "成员", "经手人"});
        c.note = {Column(header, {"交易摘要", "摘要"}), Column(header, {"备注", "说明"})};
    }
    c.note.removeAll(-1);
    layout.columns = c;
    layout.dates = GuessBillDates(records, headerRow, c.date);
    return layout;
}

BillLayout GuessBillLayout(const QList<QStringList> &records)
{
    constexpr int kLookedAt = 40;  // a bill's title block is a few dozen lines at most
    for (int r = 0; r < records.size() && r < kLookedAt; ++r) {
        if (Column(Trimmed(records.at(r)), {"交易时间", "交易创建时间", "日期", "时间", "记账日期", "交易日期", "交易日", "记账日"}) >= 0)
            return GuessColumnsAt(records, r);
    }
    return BillLayout();
}

bool ReadBillAmount(const QString &text, double *amount)
{
    QString plain;
    for (const QChar c : text.trimmed()) {
        if (c.unicode() >= 0xFF10 && c.unicode() <= 0xFF19)  // full-width digits
            plain += QChar(c.unicode() - 0xFF10 + '0');
        else if (c == QChar(0xFF0E))
            plain += QLatin1Char('.');
        else if (c == QChar(0xFF0D))
            plain += QLatin1Char('-');
        else if (c != QLatin1Char(',') && c != QChar(0xA5) && c != QChar(0xFFE5) && c != QChar(0x5143) && !c.isSpace())
            plain += c;
    }
    bool ok = false;
    const double value = plain.toDouble(&ok);
    if (!ok || plain.isEmpty() || !std::isfinite(value))
        return false;
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
    if (row.size() < needed) {
        read.kind = BillRow::Kind::Refused;
        read.reason = QStringLiteral("列数不足（%1 列，需要 %2 列）").arg(row.size()).arg(needed);
        return read;
    }
    const QString direction = Field(row, c.direction);
    const QString status = Field(row, c.status);
    if (direction == QStringLiteral("/") || direction == QStringLiteral("不计收支")) {
        read.kind = BillRow::Kind::Skipped;
        read.reason = QStringLiteral("不计收支");
        return read;
    }
    // A trade refunded in part ("已退款(￥5.00)") cost what was not given back; one refunded whole, a
    // refund's own row and a closed trade cost nothing.
    static const QRegularExpression partRefund(QStringLiteral("^已退款[(（](.+)[)）]$"));
    const QRegularExpressionMatch refund = partRefund.match(status);
    double refunded = 0;
    const bool partlyRefunded = refund.hasMatch() && ReadBillAmount(refund.captured(1), &refunded);
    if (!partlyRefunded && (status.contains(QStringLiteral("退款")) || status.contains(QStringLiteral("关闭")))) {
        read.kind = BillRow::Kind::Skipped;
        read.reason = status;
        return read;
    }
    // 收入/收 and 支出/支 sign the amount. A bill's amounts carry no sign of their own, so a bill's row
    // without a direction is neutral; any other word is not guessed at.
    int sign = 0;
    if (direction.startsWith(QStringLiteral("收")))
        sign = 1;
    else if (direction.startsWith(QStringLiteral("支")))
        sign = -1;
    else if (direction.isEmpty() && c.direction >= 0 && layout.preset != BillPreset::Plain) {
        read.kind = BillRow::Kind::Skipped;
        read.reason = QStringLiteral("不计收支");
        return read;
    } else if (!direction.isEmpty()) {
        read.kind = BillRow::Kind::Refused;
        read.reason = QStringLiteral("收/支无法识别：%1").arg(direction);
        return read;
    }
    read.date = ReadBillDate(Field(row, c.date), &read.dayOnly, layout.dates);
    if (!read.date.isValid()) {
        read.kind = BillRow::Kind::Refused;
        read.reason = QStringLiteral("日期无法识别：%1").arg(Field(row, c.date));
        return read;
    }
    // The ledger's dates begin in 1900 (its empty date is the last day but one of 1899).
    if (read.date.date().year() < 1900) {
        read.kind = BillRow::Kind::Refused;
        read.reason = QStringLiteral("日期超出范围：%1").arg(Field(row, c.date));
        return read;
    }
    double amount = 0;
    if (c.income >= 0 || c.expense >= 0) {
        // The amount stands in one of the two columns; a sheet may fill the other with a zero.
        const QString income = Field(row, c.income), expense = Field(row, c.expense);
        double incomeAmount = 0, expenseAmount = 0;
        for (const auto &[text, value] : {std::pair{income, &incomeAmount}, std::pair{expense, &expenseAmount}}) {
            if ((!text.isEmpty() || (income.isEmpty() && expense.isEmpty())) && !ReadBillAmount(text, value)) {
                read.kind = BillRow::Kind::Refused;
                read.reason = QStringLiteral("金额无法识别：%1").arg(text);
                return read;
            }
        }
        const auto held = [](double value) { return !(std::fabs(value) * 100.0 < 0.5); };  // a cent or more
        if (held(incomeAmount) && held(expenseAmount)) {
            read.kind = BillRow::Kind::Refused;
            read.reason = QStringLiteral("收入和支出两列都有金额：%1，%2").arg(income, expense);
            return read;
        }
        // An expense column may hold its amounts without the sign.
        amount = held(incomeAmount) ? incomeAmount : -std::fabs(expenseAmount);
    } else {
        if (!ReadBillAmount(Field(row, c.amount), &amount)) {
            read.kind = BillRow::Kind::Refused;
            read.reason = QStringLiteral("金额无法识别：%1").arg(Field(row, c.amount));
            return read;
        }
        if (sign != 0)
            amount = sign * std::fabs(amount);
    }
    if (partlyRefunded)
        amount = amount < 0 ? amount + std::fabs(refunded) : amount - std::fabs(refunded);
    if (std::fabs(amount) > kLargestAmount) {
        read.kind = BillRow::Kind::Refused;
        read.reason = QStringLiteral("金额超出范围");
        return read;
    }
    // Kept to the cent, as the entry dialog keeps what is typed.
    amount = double(ToCents(amount)) / 100.0;
    if (amount == 0) {
        read.kind = partlyRefunded ? BillRow::Kind::Skipped : BillRow::Kind::Refused;  // all given back
        read.reason = partlyRefunded ? status : QStringLiteral("金额为零");
        return read;
    }
    read.amount = amount;
    read.item = Field(row, c.item);
    read.member = Field(row, c.member);
    QStringList note;
    for (int column : c.note) {
        // This program's own notes keep their blanks and are taken whole; a bill's fields are padded
        // (often with a tab), and "/" is a bill's mark of an empty field.
        const QString part = layout.preset == BillPreset::Zarvel && column >= 0 ? row.value(column) : Field(row, column);
        if (!part.isEmpty() && (part != QStringLiteral("/") || layout.preset == BillPreset::Zarvel))
            note << part;
    }
    read.note = note.join(QLatin1Char(' '));
    return read;
}

void TellImportProgress(const ImportProgress &progress, qsizetype done, qsizetype total)
{
    constexpr qsizetype kStep = 1000;
    if (progress && (done % kStep == 0 || done == total) && !progress(done, total))
        throw ImportCancelled();
}

std::vector<bool> MatchExistingRecords(SqlConnection &db, const std::vector<MoneyEntry> &entries,
                                       const std::vector<bool> &wholeDay, const ImportProgress &progress)
{
    // One count per entry through the date index, which holds the item and the amount: of the records
    // at the time itself, or from the day's start to the next day's.
    const QString sameItemAndAmount = QStringLiteral(" AND \"Item\" = ? AND ") + CentsSql(QStringLiteral("\"Money\""))
                                      + QStringLiteral(" = ?");
    SqlStatement sameTime = db.Prepare(QStringLiteral("SELECT count(*) FROM \"Money\" WHERE \"Date\" = ?") + sameItemAndAmount);
    SqlStatement sameDay = db.Prepare(QStringLiteral("SELECT count(*) FROM \"Money\" WHERE \"Date\" >= ? AND \"Date\" < ?")
                                      + sameItemAndAmount);
    // A bill holds rows alike (two lunches of one price, even in one second): each record held matches
    // one entry at most, so that the rows beyond the records held are written. An entry that gives its
    // time can match only the records at that time, one of a day alone any record of the day: the first
    // kind is matched first, and the second gets the records of its day left over, so that a record found
    // by its time is never found again by a row of its day (which is then a further record of the day).
    // The records taken so far, by time, item and amount and by day, item and amount.
    QHash<QString, qint64> takenAt, takenOfDay;
    std::vector<bool> matched(entries.size(), false);
    const qsizetype total = 2 * qsizetype(entries.size());
    for (const bool dayPass : {false, true}) {
        SqlStatement &count = dayPass ? sameDay : sameTime;
        for (size_t i = 0; i < entries.size(); ++i) {
            TellImportProgress(progress, (dayPass ? qsizetype(entries.size()) : 0) + qsizetype(i), total);
            const bool dayOnly = i < wholeDay.size() && wholeDay[i];
            if (dayOnly != dayPass)
                continue;
            const MoneyEntry &entry = entries[i];
            const qint64 cents = ToCents(entry.amount);
            count.Reset();
            int bound = 1;
            if (dayOnly) {
                const QDate day = entry.date.date();
                count.Bind(bound++, DbDateText(LedgerDateTime(day)));
                count.Bind(bound++, DbDateText(LedgerDateTime(day.addDays(1))));
            } else {
                count.Bind(bound++, DbDateText(entry.date));
            }
            count.Bind(bound++, entry.item);
            count.Bind(bound, cents);
            const qint64 held = count.Step() ? count.Int(0) : 0;
            if (held == 0)
                continue;
            const QString what = QLatin1Char('\n') + entry.item + QLatin1Char('\n') + QString::number(cents);
            qint64 &ofDay = takenOfDay[ListDateText(entry.date) + what];
            qint64 &used = dayOnly ? ofDay : takenAt[DbDateText(entry.date) + what];
            if (used < held) {
                matched[i] = true;
                ++used;
                if (!dayOnly)
                    ++ofDay;
            }
        }
    }
    TellImportProgress(progress, total, total);
    return matched;
}
