// Income and expense figures from the kept monthly sums.
#include "MoneyFigures.h"

#include "common/LedgerDate.h"
#include "db/KeptFigures.h"
#include "db/RecordSet.h"
#include "db/SqlConnection.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <limits>

namespace {

QString MonthKey(const QDate &day)
{
    return QString::asprintf("%04d-%02d", day.year(), day.month());
}

// A key the kept sums can stand for: "YYYY-MM" of a month 01 to 12. The other keys come of dates the
// ledger did not write itself: numbers and empty texts (the key ''), or texts such as 2003/5/1 or
// 2003.05.01, which the ledger reads as days that their keys do not tell.
bool IsMonthKey(const QString &key)
{
    if (key.size() != 7 || key.at(4) != QLatin1Char('-'))
        return false;
    for (int i : {0, 1, 2, 3, 5, 6}) {
        if (!key.at(i).isDigit() || key.at(i).unicode() > '9')
            return false;
    }
    const int month = key.mid(5, 2).toInt();
    return month >= 1 && month <= 12;
}

// The first text after every text that begins with the month key.
QString AfterMonth(const QString &key)
{
    QString after = key;
    after[6] = QChar(after.at(6).unicode() + 1);
    return after;
}

constexpr qint64 kNoRecord = std::numeric_limits<qint64>::max();

} // namespace

QStringList CMoneyFigures::OddKeys()
{
    QStringList odd;
    SqlStatement months = m_db.Prepare(QStringLiteral("SELECT \"Month\" FROM \"MoneyMonths\""));
    while (months.Step()) {
        const QString key = months.Text(0);
        if (!IsMonthKey(key))
            odd << key;
    }
    return odd;
}

template <typename Add>
void CMoneyFigures::ReadRecords(const QString &condition, const std::vector<SqlValue> &params,
                                const std::function<bool(const QDateTime &)> &counts, Add add)
{
    SqlStatement rows = m_db.Prepare(QStringLiteral("SELECT \"ID\", \"Date\", \"Item\", \"Money\" FROM \"Money\" WHERE ")
                                     + condition);
    rows.BindAll(params);
    while (rows.Step()) {
        const QDateTime date = DateOfValue(rows.Value(1));
        if (!counts(date))
            continue;
        const double money = rows.Double(3);
        add(Sum{rows.Text(2), money < 0 ? -1 : 1, ToCents(money), money, rows.Int(0), date.date()});
    }
}

template <typename Add>
void CMoneyFigures::ReadOddRecords(const QStringList &oddKeys, const std::function<bool(const QDateTime &)> &counts,
                                   Add add)
{
    // Numbers, empty texts and bytes, found in the date index; the odd texts in a pass over the table.
    if (oddKeys.contains(QString()))
        ReadRecords(QStringLiteral("\"Date\" IS NULL OR \"Date\" <= '' OR \"Date\" >= x''"), {}, counts, add);
    std::vector<SqlValue> texts;
    QStringList marks;
    for (const QString &key : oddKeys) {
        if (!key.isEmpty()) {
            texts.push_back(key);
            marks << QStringLiteral("?");
        }
    }
    if (!texts.empty())
        ReadRecords(MonthKeySql(QStringLiteral("\"Date\"")) + QStringLiteral(" IN (") + marks.join(QLatin1Char(','))
                        + QLatin1Char(')'),
                    texts, counts, add);
}

template <typename Add>
void CMoneyFigures::ForEachSum(const QDateTime &start, const QDateTime &end, Add add)
{
    if (!start.isValid() || !end.isValid() || start > end)
        return;
    auto inRange = [&](const QDateTime &date) { return start <= date && date <= end; };
    const QStringList oddKeys = OddKeys();
    // The two edge months record by record, each at its date as the ledger reads it.
    const QString firstKey = MonthKey(start.date()), lastKey = MonthKey(end.date());
    const QString inMonth = QStringLiteral("\"Date\" >= ? AND \"Date\" < ?");
    ReadRecords(inMonth, {firstKey, AfterMonth(firstKey)}, inRange, add);
    if (lastKey != firstKey) {
        SqlStatement months = m_db.Prepare(QStringLiteral(
            "SELECT \"Month\", \"Item\", \"Sign\", \"Cents\" FROM \"MoneyMonthItems\" WHERE \"Month\" > ? AND \"Month\" < ?"));
        months.Bind(1, firstKey);
        months.Bind(2, lastKey);
        while (months.Step()) {
            if (IsMonthKey(months.Text(0)))
                add(Sum{months.Text(1), int(months.Int(2)), months.Int(3), 0, 0, QDate()});
        }
        ReadRecords(inMonth, {lastKey, AfterMonth(lastKey)}, inRange, add);
    }
    ReadOddRecords(oddKeys, inRange, add);
}

RangeSums CMoneyFigures::IncomeAndExpense(const QDateTime &start, const QDateTime &end)
{
    RangeSums sums;
    ForEachSum(start, end, [&](const Sum &sum) {
        if (sum.sign > 0)
            sums.incomeCents = AddCents(sums.incomeCents, sum.cents);
        else
            sums.expenseCents = SubtractCents(sums.expenseCents, sum.cents);
    });
    return sums;
}

std::vector<ItemCents> CMoneyFigures::Items(bool income, const QDateTime &start, const QDateTime &end)
{
    std::vector<ItemCents> items;
    QHash<QString, size_t> position;
    // The first record of each item among those read one by one (the edge months' and odd dates').
    QHash<QString, qint64> firstRead;
    ForEachSum(start, end, [&](const Sum &sum) {
        if ((sum.sign > 0) != income)
            return;
        const auto found = position.constFind(sum.item);
        if (found == position.constEnd()) {
            position.insert(sum.item, items.size());
            items.push_back({sum.item, 0});
        }
        qint64 &cents = items[position.value(sum.item)].cents;
        cents = income ? AddCents(cents, sum.cents) : SubtractCents(cents, sum.cents);
        if (sum.id > 0 && (income ? sum.money > 0 : sum.money < 0))
            firstRead.insert(sum.item, std::min(firstRead.value(sum.item, kNoRecord), sum.id));
    });
    // Records of nothing count as neither income nor expense.
    items.erase(std::remove_if(items.begin(), items.end(), [](const ItemCents &item) { return item.cents == 0; }),
                items.end());
    OrderTiesByFirstRecord(income, start, end, firstRead, items);
    return items;
}

void CMoneyFigures::OrderTiesByFirstRecord(bool income, const QDateTime &start, const QDateTime &end,
                                           const QHash<QString, qint64> &firstRead, std::vector<ItemCents> &items)
{
    // Only the order among equal sums decides anything: those items are put in the order of their
    // first record of the range in the table, the others keep any order.
    QHash<qint64, int> sharing;
    for (const ItemCents &item : items)
        sharing[item.cents] += 1;
    // The whole months between the edge months hold only records of the range; the odd texts that
    // sort among them are not theirs.
    const QString firstKey = MonthKey(start.date()), lastKey = MonthKey(end.date());
    const bool wholeMonths = AfterMonth(firstKey) < lastKey;
    std::vector<SqlValue> params{QString(), AfterMonth(firstKey), lastKey};
    QStringList marks;
    for (const QString &key : OddKeys()) {
        if (!key.isEmpty()) {
            params.push_back(key);
            marks << QStringLiteral("?");
        }
    }
    QString sql = QStringLiteral("SELECT min(\"ID\") FROM \"Money\" WHERE \"Item\" = ? AND \"Date\" >= ? AND \"Date\" < ? AND ")
                  + (income ? QStringLiteral("\"Money\" > 0") : QStringLiteral("\"Money\" < 0"));
    if (!marks.isEmpty())
        sql += QStringLiteral(" AND ") + MonthKeySql(QStringLiteral("\"Date\"")) + QStringLiteral(" NOT IN (")
               + marks.join(QLatin1Char(',')) + QLatin1Char(')');
    SqlStatement first;
    if (wholeMonths)
        first = m_db.Prepare(sql);
    QHash<QString, qint64> firstRecord;
    for (const ItemCents &item : items) {
        if (sharing.value(item.cents) < 2)
            continue;
        qint64 id = firstRead.value(item.name, kNoRecord);
        if (wholeMonths) {
            first.Reset();
            params[0] = item.name;
            first.BindAll(params);
            if (first.Step() && first.Value(0).index() != 0)
                id = std::min(id, first.Int(0));
        }
        firstRecord.insert(item.name, id);
    }
    std::stable_sort(items.begin(), items.end(), [&](const ItemCents &a, const ItemCents &b) {
        return firstRecord.value(a.name) < firstRecord.value(b.name);
    });
}

YearSums CMoneyFigures::Year(int year)
{
    YearSums sums;
    auto add = [&](int month, int sign, qint64 cents) {
        if (sign > 0)
            sums.incomeCents[size_t(month)] = AddCents(sums.incomeCents[size_t(month)], cents);
        else
            sums.expenseCents[size_t(month)] = SubtractCents(sums.expenseCents[size_t(month)], cents);
    };
    SqlStatement months = m_db.Prepare(QStringLiteral(
        "SELECT \"Month\", \"Sign\", sum(\"Cents\") FROM \"MoneyMonthItems\" WHERE \"Month\" >= ? AND \"Month\" <= ? "
        "GROUP BY \"Month\", \"Sign\""));
    months.Bind(1, QStringLiteral("%1-01").arg(year, 4, 10, QLatin1Char('0')));
    months.Bind(2, QStringLiteral("%1-12").arg(year, 4, 10, QLatin1Char('0')));
    while (months.Step()) {
        if (IsMonthKey(months.Text(0)))
            add(months.Text(0).mid(5, 2).toInt(), int(months.Int(1)), months.Int(2));
    }
    ReadOddRecords(OddKeys(), [&](const QDateTime &date) { return date.date().year() == year; },
                   [&](const Sum &sum) { add(sum.day.month(), sum.sign, sum.cents); });
    return sums;
}
