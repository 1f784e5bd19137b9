// Budgets: set per item and month or for every month, refused when they cannot be, and each month's
// view of them equal to a fresh aggregate of the records, whatever was written, changed or deleted.
#include "budget/CBudgetBook.h"
#include "common/LedgerDate.h"
#include "db/CMoneyBook.h"
#include "db/Ledger.h"
#include "db/SqlConnection.h"

#include "TestInstallation.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

const QStringList kSpending{QStringLiteral("餐饮"), QStringLiteral("交通"), QStringLiteral("服装")};

// What the records themselves say was spent on the item (empty: on everything) in the month.
qint64 FreshlySpent(const QString &month, const QString &item)
{
    SqlStatement sum = OpenLedgerDatabase()->Prepare(QStringLiteral(
        "SELECT -ifnull(sum(CAST(round(\"Money\" * 100) AS INTEGER)), 0) FROM \"Money\" WHERE substr(\"Date\", 1, 7) = ? "
        "AND \"Money\" < 0 AND (? = '' OR \"Item\" = ?)"));
    sum.BindAll({month, item, item});
    sum.Step();
    return sum.Int(0);
}

} // namespace

class TestBudget : public QObject
{
    Q_OBJECT
private slots:
    void budgetsSetAndRefused()
    {
        TestInstallation install;
        CBudgetBook budgets(OpenLedgerDatabase());
        QCOMPARE(budgets.SetBudget(QStringLiteral("餐饮"), QString(), -1), QStringLiteral("预算不能为负数"));
        QCOMPARE(budgets.SetBudget(QStringLiteral("餐饮"), QString(), 1e14), QStringLiteral("预算超出范围"));
        QCOMPARE(budgets.SetBudget(QStringLiteral("餐饮"), QStringLiteral("2026-13"), 5), QStringLiteral("月份应写作 yyyy-MM"));
        QCOMPARE(budgets.SetBudget(QStringLiteral("餐饮"), QString(), 1500), QString());
        QCOMPARE(budgets.SetBudget(QStringLiteral("餐饮"), QStringLiteral("2026-02"), 2000), QString());  // the new year's feast
        QCOMPARE(budgets.SetBudget(QString(), QString(), 6000), QString());
        QCOMPARE(budgets.Entries().size(), size_t(3));
        QCOMPARE(budgets.View(QStringLiteral("2026-02")).items.at(0).budgetCents, 200000);
        QCOMPARE(budgets.View(QStringLiteral("2026-03")).items.at(0).budgetCents, 150000);
        QVERIFY(budgets.View(QStringLiteral("2026-03")).hasWhole);
        QCOMPARE(budgets.SetBudget(QStringLiteral("餐饮"), QStringLiteral("2026-02"), 0), QString());  // taken away
        QCOMPARE(budgets.View(QStringLiteral("2026-02")).items.at(0).budgetCents, 150000);
    }

    void theViewEqualsAFreshAggregate()
    {
        TestInstallation install;
        CMoneyBook book;
        book.ShowPage(1, QStringLiteral("Date"));
        QRandomGenerator random(28);
        std::vector<MoneyEntry> entries;
        for (int i = 0; i < 3000; ++i) {
            const QDate day = QDate(2025, 11, 1).addDays(random.bounded(120));
            const bool income = random.bounded(10) == 0;
            entries.push_back({LedgerDateTime(day, QTime(random.bounded(24), random.bounded(60))),
                               income ? QStringLiteral("工资") : kSpending.at(random.bounded(kSpending.size())),
                               (income ? 1 : -1) * (1 + random.bounded(100000)) / 100.0, QStringLiteral("爸爸"), QString()});
        }
        QVERIFY(book.AddMany(entries));
        CBudgetBook budgets(OpenLedgerDatabase());
        QCOMPARE(budgets.SetBudget(QStringLiteral("餐饮"), QString(), 30000), QString());
        QCOMPARE(budgets.SetBudget(QStringLiteral("交通"), QString(), 100), QString());
        QCOMPARE(budgets.SetBudget(QStringLiteral("服装"), QStringLiteral("2026-01"), 1e6), QString());
        QCOMPARE(budgets.SetBudget(QString(), QString(), 50000), QString());
        // Records changed and deleted on the way: the kept sums follow them.
        book.SetSelected(5);
        QVERIFY(book.Modify(LedgerDateTime(QDate(2026, 1, 15)), QStringLiteral("交通"), -999.99, QStringLiteral("爸爸"), QString()));
        book.SetSelected(7);
        book.Remove();
        for (const QString &month : {QStringLiteral("2025-11"), QStringLiteral("2026-01"), QStringLiteral("2026-02"), QStringLiteral("2026-05")}) {
            const BudgetView view = budgets.View(month);
            QCOMPARE(view.whole.spentCents, FreshlySpent(month, QString()));
            QCOMPARE(view.whole.budgetCents, 5000000);
            for (const BudgetLine &line : view.items)
                QCOMPARE(line.spentCents, FreshlySpent(month, line.item));
            // Over their budget first.
            bool seenUnder = false;
            for (const BudgetLine &line : view.items) {
                QVERIFY(!(seenUnder && line.Over()));
                seenUnder = seenUnder || !line.Over();
            }
        }
        const BudgetView january = budgets.View(QStringLiteral("2026-01"));
        QCOMPARE(january.items.size(), size_t(3));
        QVERIFY(january.items.front().Over());  // 交通's 100 is long spent
        QCOMPARE(january.items.front().item, QStringLiteral("交通"));
        QCOMPARE(budgets.View(QStringLiteral("2026-02")).items.size(), size_t(2));  // 服装's was January's alone
    }
};

QTEST_GUILESS_MAIN(TestBudget)
#include "tst_budget.moc"
