// Income and expense figures from the kept monthly sums.
#include "MoneyFigures.h"

#include "common/LedgerDate.h"
#include "db/KeptFigures.h"
#include "db/SqlConnection.h"

#include <QHash>
#include <algorithm>

namespace {

QString MonthKey(const QDate &day)
{
    return day.toString(QStringLiteral("yyyy-MM"));
}

QString MonthStartText(const QDate &day)
{
    return DbDateText(LedgerDateTime(QDate(day.year(), day.month(), 1)));
}

} // namespace

template <typename Add>
void CMoneyFigures::ForEachSum(const QDateTime &start, const QDateTime &end, Add add)
{
    if (!start.isValid() || !end.isValid() || start > end)
        return;
    // The records between two date texts, read from the date index (which holds item and amount).
    auto scan = [&](const QString &from, const QString &to, bool toIncluded) {
        SqlStatement rows = m_db.Prepare(QStringLiteral("SELECT \"Item\", \"Money\" FROM \"Money\" WHERE \"Date\" >= ? AND \"Date\" ")
                                         + (toIncluded ? QStringLiteral("<= ?") : QStringLiteral("< ?")));
        rows.Bind(1, from);
        rows.Bind(2, to);
        while (rows.Step()) {
            const double money = rows.Double(1);
            add(rows.Text(0), money < 0 ? -1 : 1, ToCents(money));
        }
    };
    const QString startText = DbDateText(start), endText = DbDateText(end);
    const QDate first = start.date(), last = end.date();
    if (MonthKey(first) == MonthKey(last)) {
        scan(startText, endText, true);
        return;
    }
    scan(startText, MonthStartText(first.addMonths(1)), false);
    SqlStatement months = m_db.Prepare(QStringLiteral(
        "SELECT \"Item\", \"Sign\", \"Cents\" FROM \"MoneyMonthItems\" WHERE \"Month\" > ? AND \"Month\" < ?"));
    months.Bind(1, MonthKey(first));
    months.Bind(2, MonthKey(last));
    while (months.Step())
        add(months.Text(0), int(months.Int(1)), months.Int(2));
    scan(MonthStartText(last), endText, true);
}

RangeSums CMoneyFigures::IncomeAndExpense(const QDateTime &start, const QDateTime &end)
{
    RangeSums sums;
    ForEachSum(start, end, [&](const QString &, int sign, qint64 cents) {
        if (sign > 0)
            sums.incomeCents += cents;
        else
            sums.expenseCents -= cents;
    });
    return sums;
}

std::vector<ItemCents> CMoneyFigures::Items(bool income, const QDateTime &start, const QDateTime &end)
{
    std::vector<ItemCents> items;
    QHash<QString, size_t> position;
    ForEachSum(start, end, [&](const QString &item, int sign, qint64 cents) {
        if ((sign > 0) != income)
            return;
        const auto found = position.constFind(item);
        if (found == position.constEnd()) {
            position.insert(item, items.size());
            items.push_back({item, 0});
        }
        items[position.value(item)].cents += income ? cents : -cents;
    });
    // Records of nothing count as neither income nor expense.
    items.erase(std::remove_if(items.begin(), items.end(), [](const ItemCents &item) { return item.cents == 0; }),
                items.end());
    OrderTiesByFirstRecord(income, start, end, items);
    return items;
}

void CMoneyFigures::OrderTiesByFirstRecord(bool income, const QDateTime &start, const QDateTime &end,
                                           std::vector<ItemCents> &items)
{
    // Only the order among equal sums decides anything: those items are put in the order of their
    // first record of the range in the table, the others keep any order.
    QHash<qint64, int> sharing;
    for (const ItemCents &item : items)
        sharing[item.cents] += 1;
    QHash<QString, qint64> firstRecord;
    SqlStatement first = m_db.Prepare(QStringLiteral("SELECT min(\"ID\") FROM \"Money\" WHERE \"Item\" = ? AND \"Date\" >= ? "
                                                     "AND \"Date\" <= ? AND ")
                                      + (income ? QStringLiteral("\"Money\" > 0") : QStringLiteral("\"Money\" < 0")));
    for (const ItemCents &item : items) {
        if (sharing.value(item.cents) < 2)
            continue;
        first.Reset();
        first.Bind(1, item.name);
        first.Bind(2, DbDateText(start));
        first.Bind(3, DbDateText(end));
        firstRecord.insert(item.name, first.Step() ? first.Int(0) : 0);
    }
    std::stable_sort(items.begin(), items.end(), [&](const ItemCents &a, const ItemCents &b) {
        return firstRecord.value(a.name) < firstRecord.value(b.name);
    });
}

YearSums CMoneyFigures::Year(int year)
{
    YearSums sums;
    SqlStatement months = m_db.Prepare(QStringLiteral(
        "SELECT \"Month\", \"Sign\", sum(\"Cents\") FROM \"MoneyMonthItems\" WHERE \"Month\" >= ? AND \"Month\" <= ? "
        "GROUP BY \"Month\", \"Sign\""));
    months.Bind(1, QStringLiteral("%1-01").arg(year, 4, 10, QLatin1Char('0')));
    months.Bind(2, QStringLiteral("%1-12").arg(year, 4, 10, QLatin1Char('0')));
    while (months.Step()) {
        const int month = months.Text(0).mid(5, 2).toInt();
        if (month < 1 || month > 12)
            continue;
        if (months.Int(1) > 0)
            sums.incomeCents[size_t(month)] += months.Int(2);
        else
            sums.expenseCents[size_t(month)] -= months.Int(2);
    }
    return sums;
}
