// Budgets and the month's spending against them.
#include "CBudgetBook.h"


#include "common/Amount.h"
#include "db/KeptFigures.h"
#include "db/LaterTables.h"
#include "db/SqlConnection.h"

#include <QDate>
#include <algorithm>
#include <cmath>

CBudgetBook::CBudgetBook(std::shared_ptr<SqlConnection> db) : m_db(std::move(db))
{
    m_db->LayTableIfMissing(QStringLiteral("Budget"), LaterTableStatements(QStringLiteral("Budget")));
}

QString CBudgetBook::SetBudget(const QString &item, const QString &month, double amount)
{
    if (!std::isfinite(amount) || amount < 0)
        return QStringLiteral("预算不能为负数");
    if (amount > kLargestAmount)
        return QStringLiteral("预算超出范围");
    if (!month.isEmpty() && !QDate::fromString(month + QStringLiteral("-01"), QStringLiteral("yyyy-MM-dd")).isValid())
        return QStringLiteral("月份应写作 yyyy-MM");
    const qint64 cents = ToCents(amount);
    SqlTransaction transaction(*m_db);
    SqlStatement write = m_db->Prepare(cents == 0 ? QStringLiteral("DELETE FROM \"Budget\" WHERE \"Item\" = ? AND \"Month\" = ?")
                                                  : QStringLiteral("INSERT INTO \"Budget\" VALUES (?, ?, ?) "
                                                                   "ON CONFLICT (\"Item\", \"Month\") DO UPDATE SET \"Cents\" = excluded.\"Cents\""));
    write.Bind(1, item);
    write.Bind(2, month);
    if (cents != 0)
        write.Bind(3, cents);
    write.Run();
    transaction.Commit();
    return QString();
}

std::vector<BudgetEntry> CBudgetBook::Entries() const
{
    std::vector<BudgetEntry> entries;
    SqlStatement read = m_db->Prepare(QStringLiteral("SELECT \"Item\", \"Month\", \"Cents\" FROM \"Budget\" ORDER BY \"Item\", \"Month\""));
    while (read.Step())
        entries.push_back({read.Text(0), read.Text(1), read.Int(2)});
    return entries;
}

BudgetView CBudgetBook::View(const QString &month) const
{
    return ReadBudgetView(*m_db, month);
}

BudgetView ReadBudgetView(SqlConnection &db, const QString &month)
{
    BudgetView view;
    view.month = month;
    // What was spent: the kept sums of the month's expense, by item and whole.
    SqlStatement spent = db.Prepare(QStringLiteral("SELECT -ifnull(sum(\"Cents\"), 0) FROM \"MoneyMonthItems\" "
                                                   "WHERE \"Month\" = ? AND \"Sign\" = -1 AND (?2 = 1 OR \"Item\" = ?3)"));
    const auto spentOn = [&spent, &month](const QString &item, bool whole) {
        spent.Reset();
        spent.Bind(1, month);
        spent.Bind(2, qint64(whole ? 1 : 0));
        spent.Bind(3, item);
        return spent.Step() ? spent.Int(0) : 0;
    };
    view.whole.spentCents = spentOn(QString(), true);
    if (!db.HasTable(QStringLiteral("Budget")))
        return view;
    // Each item's budget of the month: its own for the month, else its every month's.
    SqlStatement budgets = db.Prepare(QStringLiteral(
        "SELECT \"Item\", \"Cents\" FROM \"Budget\" WHERE \"Month\" = ?1 "
        "UNION ALL SELECT b.\"Item\", b.\"Cents\" FROM \"Budget\" b WHERE b.\"Month\" = '' AND NOT EXISTS "
        "(SELECT 1 FROM \"Budget\" o WHERE o.\"Item\" = b.\"Item\" AND o.\"Month\" = ?1)"));
    budgets.Bind(1, month);
    while (budgets.Step()) {
        const QString item = budgets.Text(0);
        BudgetLine line{item, budgets.Int(1), 0};
        if (item.isEmpty()) {
            view.hasWhole = true;
            view.whole.budgetCents = line.budgetCents;
            continue;
        }
        line.spentCents = spentOn(item, false);
        view.items.push_back(line);
    }
    // Over their budget first, the furthest over at the top; then the nearest to it.
    std::stable_sort(view.items.begin(), view.items.end(), [](const BudgetLine &a, const BudgetLine &b) {
        if (a.Over() != b.Over())
            return a.Over();
        return a.LeftCents() < b.LeftCents();
    });
    return view;
}
