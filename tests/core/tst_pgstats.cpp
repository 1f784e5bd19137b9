// The statistics charts over the same household's ledger on a ledger file and on a server ledger:
// each of the seven charts, at every range, year and month the dialog can step to, is drawn with the
// same figures, labels and shapes on both.
#include "budget/CBudgetBook.h"
#include "common/LedgerDate.h"
#include "db/SqlConnection.h"
#include "stats/MoneyFigures.h"
#include "stats/StatNavigator.h"

#include "BothLedgers.h"
#include "LedgerBooks.h"
#include "RecordingCanvas.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

// Four years of income and expense over a dozen items (more than the item chart shows), items whose
// sums tie, records the ledger did not date itself, budgets, and every other holding.
void Seed(Ledger &ledger)
{
    QRandomGenerator random(2026);
    QStringList items;
    for (int i = 0; i < 12; ++i)
        items.append(i == 3 ? QStringLiteral("O'Neil's $$") : QStringLiteral("项目%1").arg(i));
    std::vector<MoneyEntry> entries;
    for (int i = 0; i < 600; ++i) {
        const QDateTime when = LedgerDateTime(QDate(2023, 1, 1).addDays(random.bounded(1200)), QTime(random.bounded(24), 30));
        const double amount = double(random.bounded(-300000, 200000)) / 100.0;
        entries.push_back({when, items.at(random.bounded(items.size())), amount, QStringLiteral("Li"), QString()});
    }
    // Two items whose sums in a month tie with each other, the later one's first record first.
    for (const char *item : {"平局乙", "平局甲"})
        entries.push_back({LedgerDateTime(QDate(2025, 6, 3)), QString::fromUtf8(item), -77.7, QStringLiteral("Li"), QString()});
    ledger.money.AddMany(entries);
    // Dates another program wrote: not a month's key, read one by one.
    SqlStatement odd = OpenLedgerDatabase()->Prepare(QStringLiteral("INSERT INTO \"Money\" (\"Date\", \"Item\", \"Money\") VALUES (?, ?, ?)"));
    odd.BindAll({QStringLiteral("2025/6/1"), QStringLiteral("项目1"), -10.05});
    odd.Run();

    CBudgetBook budgets(OpenLedgerDatabase());
    budgets.SetBudget(QStringLiteral("项目2"), QString(), 500);
    budgets.SetBudget(QStringLiteral("O'Neil's $$"), QString(), 100.5);
    budgets.SetBudget(QStringLiteral("项目2"), QStringLiteral("2025-06"), 9000);
    budgets.SetBudget(QString(), QStringLiteral("2025-06"), 20000);

    ledger.deposits.Add(QStringLiteral("2024-01-01"), QStringLiteral("A"), QStringLiteral("人民币"), QStringLiteral("整存整取"),
                        QStringLiteral("10000.1"), QStringLiteral("10300.2"), QStringLiteral("2025-01-01"), QString(), QString(), QString());
    ledger.current.Add(QStringLiteral("2024-01-01"), QStringLiteral("B"), QString(), QStringLiteral("人民币"), QStringLiteral("0.3"),
                       QString(), QString(), QString());
    ledger.articles.Add(QStringLiteral("电视机"), QStringLiteral("1"), QStringLiteral("3000"), QStringLiteral("1200.7"), QString());
    ledger.credits.Add(QStringLiteral("2024-01-01"), QStringLiteral("借出"), QStringLiteral("800"), QStringLiteral("张三"),
                       QString(), QString());
    CInsureNoteBook notes;
    AddPolicy(notes, QStringLiteral("A"));
    ledger.insurance.Add(QStringLiteral("2024-01-01"), QStringLiteral("A"), QStringLiteral("缴纳保费"), QStringLiteral("-1200"),
                         QString(), QString());
}

// The chart as the statistics panel draws it: its figures, then every call drawing it makes.
void Draw(const ChartPlan &plan, QStringList *seen)
{
    seen->append(QStringLiteral("chart %1 '%2'").arg(plan.type).arg(plan.title));
    for (const ChartPlan::Group &group : plan.groups) {
        QStringList points;
        for (const auto &[index, value] : group.points)
            points.append(QStringLiteral("%1=%2").arg(index).arg(value));
        seen->append(group.label + QLatin1Char(' ') + points.join(QLatin1Char(' ')));
    }
    seen->append(QStringList(plan.legends.begin(), plan.legends.end()).join(QLatin1Char('|')));
    RecordingCanvas canvas(480, 320);
    MakeGraph(plan)->DrawGraph(canvas);
    seen->append(canvas.calls);
}

QStringList DriveStatistics()
{
    QStringList seen;
    Ledger ledger;
    ledger.Open();
    Seed(ledger);
    // The panel's books, opened as the statistics dialog opens them.
    Ledger panel;
    panel.Open();
    const Holdings holdings{panel.money.GetTotal(), panel.deposits.GetDepositTotal(), panel.current.GetTotal(),
                            panel.articles.GetTotalValue(), panel.insurance.GetTotal(), panel.credits.GetTotal()};
    CMoneyFigures figures(*OpenLedgerDatabase());
    const QDateTime now = LedgerDateTime(QDate(2026, 4, 15), QTime(12, 0));
    seen.append(QStringLiteral("first %1, last %2").arg(DbDateText(panel.money.GetFirstDate()), DbDateText(panel.money.GetLastDate())));
    for (int kind = 0; kind < kStatKindCount; ++kind) {
        CStatNavigator navigator;
        navigator.Choose(StatKind(kind), panel.money.GetFirstDate(), panel.money.GetLastDate(), now);
        seen.append(QStringLiteral("== ") + StatKindName(StatKind(kind)));
        Draw(navigator.Chart(figures, holdings), &seen);
        if (navigator.IsRangeKind()) {
            // A range whose edge months are cut, one within a month, and one day.
            for (const auto &[start, end] : {std::pair{QDate(2023, 3, 17), QDate(2025, 6, 2)}, std::pair{QDate(2025, 6, 1), QDate(2025, 6, 3)},
                                             std::pair{QDate(2024, 2, 29), QDate(2024, 2, 29)}}) {
                navigator.SetStartDay(start);
                navigator.SetEndDay(end);
                Draw(navigator.Chart(figures, holdings), &seen);
            }
            continue;
        }
        // Every year or month there is to step to, back and on.
        while (navigator.CanGoBack()) {
            navigator.StepBack();
            Draw(navigator.Chart(figures, holdings), &seen);
        }
        while (navigator.CanGoOn()) {
            navigator.StepOn();
            Draw(navigator.Chart(figures, holdings), &seen);
        }
    }
    return seen;
}

} // namespace

class TestPgStats : public QObject
{
    Q_OBJECT
private slots:
    void everyChartReadsTheSameOnBothLedgers()
    {
        const BothLedgers seen = RunOnBothLedgers(DriveStatistics);
        QVERIFY2(Told(seen.onFile).isEmpty(), qPrintable(Told(seen.onFile)));
        QVERIFY(seen.onFile.filter(QStringLiteral("chart ")).size() > 40);
        COMPARE_BOTH_LEDGERS(seen);
    }
};

QTEST_GUILESS_MAIN(TestPgStats)
#include "tst_pgstats.moc"
