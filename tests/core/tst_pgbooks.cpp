// The income and expense book and its statistics on a ledger file and on a server ledger, driven by
// the same steps: every page, total, filter, find and chart figure reads the same on both. The book
// does not know which one it talks to.
#include "common/LedgerDate.h"
#include "db/CMoneyBook.h"
#include "db/ChangeJournal.h"
#include "db/DbError.h"
#include "budget/CBudgetBook.h"
#include "recurring/CRecurringBook.h"
#include "stats/MoneyFigures.h"

#include "BothLedgers.h"

#include <QRandomGenerator>
#include <algorithm>
#include <QTest>

namespace {

// Everything the household sees of the book: each page's rows, the count of pages, the total.
void Look(CMoneyBook &book, QStringList *seen, const QString &step)
{
    seen->append(QStringLiteral("== %1: %2 pages, total %3").arg(step).arg(book.GetPageCount()).arg(book.GetTotalCents()));
    for (int page = 1; page <= book.GetPageCount(); ++page) {
        book.ShowPage(page, QStringLiteral("Date"));
        seen->append(BookRows(book));
    }
}

// The same household's evening on whichever ledger the books open: records added, changed on a
// middle page, deleted, filtered, found.
QStringList Drive()
{
    QStringList seen;
    QRandomGenerator random(30);
    const QStringList items{QStringLiteral("餐饮"), QStringLiteral("工资"), QStringLiteral("交通"), QStringLiteral("Rent")};
    const QStringList members{QStringLiteral("妈妈"), QStringLiteral("Li"), QString()};
    CMoneyBook book;
    book.ShowPage(1, QStringLiteral("Date"));
    for (int i = 0; i < 260; ++i) {
        const QDateTime when = LedgerDateTime(QDate(2025, 1, 1).addDays(random.bounded(700)), QTime(random.bounded(24), 0));
        const double amount = double(random.bounded(-80000, 80000)) / 100.0;
        if (!book.Add(when, items.at(random.bounded(items.size())), amount, members.at(random.bounded(members.size())),
                      QStringLiteral("第 %1 笔 'x'").arg(i)))
            return {QStringLiteral("add %1 refused").arg(i)};
    }
    book.Close();
    book.ShowPage(1, QStringLiteral("Date"));
    book.ComputeTotal();
    Look(book, &seen, QStringLiteral("seeded"));

    const int middle = (book.GetPageCount() + 1) / 2;
    book.ShowPage(middle, QStringLiteral("Date"));
    book.SetSelected(book.GetItemCount() / 2);
    book.Modify(LedgerDateTime(QDate(2024, 12, 31), QTime(9, 0)), QStringLiteral("交通"), -12.34, QStringLiteral("Li"), QStringLiteral("改过"));
    book.ShowPage(middle, QStringLiteral("Date"));
    book.SetSelected(0);
    book.Remove();
    book.ComputeTotal();
    Look(book, &seen, QStringLiteral("changed"));

    for (const QString &filter : {QStringLiteral("Item='餐饮'"), QStringLiteral("Date>=#2026-3-1#"), QStringLiteral("Member='Li'")}) {
        book.SetFilter(filter);
        book.ComputeTotal();
        Look(book, &seen, filter);
    }
    book.SetFilter(QString());
    book.ShowPage(1, QStringLiteral("Date"));
    if (book.FindRecords(QString(), false, QStringLiteral("工资"), true, QString(), false, QStringLiteral("妈妈"), true)) {
        do
            seen.append(QStringLiteral("found %1 on page %2").arg(book.GetItemData(book.GetSelected())).arg(book.GetCurrentPage()));
        while (book.FindNext());
    }
    seen.append(QStringLiteral("first %1, last %2").arg(DbDateText(book.GetFirstDate()), DbDateText(book.GetLastDate())));

    // The statistics of the same records: a range with edge months cut, its items, two years.
    CMoneyFigures figures(*OpenLedgerDatabase());
    const QDateTime start = LedgerDateTime(QDate(2025, 3, 17)), end = LedgerDateTime(QDate(2026, 2, 11), QTime(23, 59, 59));
    const RangeSums range = figures.IncomeAndExpense(start, end);
    seen.append(QStringLiteral("range %1 %2").arg(range.incomeCents).arg(range.expenseCents));
    for (bool income : {true, false}) {
        // Items of equal sums come in a set order; among others the order is any, as the chart sorts them.
        std::vector<ItemCents> shares = figures.Items(income, start, end);
        std::stable_sort(shares.begin(), shares.end(), [](const ItemCents &a, const ItemCents &b) { return a.cents > b.cents; });
        for (const ItemCents &item : shares)
            seen.append(QStringLiteral("item %1 %2 %3").arg(income).arg(item.name).arg(item.cents));
    }
    for (int year : {2025, 2026}) {
        const YearSums sums = figures.Year(year);
        for (int month = 1; month <= 12; ++month)
            seen.append(QStringLiteral("%1-%2 %3 %4").arg(year).arg(month).arg(sums.incomeCents[size_t(month)]).arg(sums.expenseCents[size_t(month)]));
    }
    return seen;
}

// Recurring records and budgets on whichever ledger the books open: templates added, due dates
// written and skipped, confirmed again by a second copy, budgets set and read against the month.
QStringList DriveRecurringAndBudgets()
{
    QStringList seen;
    try {
        CMoneyBook book;
        book.ShowPage(1, QStringLiteral("Date"));
        CRecurringBook recurring(OpenLedgerDatabase());
        RecurringTemplate rent;
        rent.item = QStringLiteral("房租");
        rent.amount = -3500;
        rent.member = QStringLiteral("爸爸");
        rent.note = QStringLiteral("房租 'x'");
        rent.rule.unit = RepeatUnit::Months;
        rent.rule.first = QDate(2026, 1, 31);
        rent.rule.every = 1;
        seen.append(QStringLiteral("added: %1").arg(recurring.Add(rent)));
        seen.append(QStringLiteral("id set: %1").arg(rent.id > 0));
        const std::vector<DueRecord> due = recurring.DueUpTo(QDate(2026, 4, 30));
        seen.append(QStringLiteral("due %1").arg(due.size()));
        if (due.size() >= 2) {
            seen.append(QStringLiteral("written %1").arg(recurring.Confirm(book, {due[0]}, {due[1]})));
            seen.append(QStringLiteral("written again %1").arg(recurring.Confirm(book, due, {})));  // another copy's list
        }
        seen.append(QStringLiteral("left %1, total %2").arg(recurring.DueUpTo(QDate(2026, 4, 30)).size()).arg(book.GetTotalCents()));

        CBudgetBook budgets(OpenLedgerDatabase());
        seen.append(QStringLiteral("budget: %1").arg(budgets.SetBudget(QStringLiteral("房租"), QString(), 4000)));
        seen.append(QStringLiteral("budget: %1").arg(budgets.SetBudget(QStringLiteral("房租"), QString(), 3000)));
        seen.append(QStringLiteral("budget: %1").arg(budgets.SetBudget(QString(), QStringLiteral("2026-02"), 5000)));
        const BudgetView view = ReadBudgetView(*OpenLedgerDatabase(), QStringLiteral("2026-02"));
        for (const BudgetLine &line : view.items)
            seen.append(QStringLiteral("line %1 %2 %3").arg(line.item).arg(line.budgetCents).arg(line.spentCents));
        seen.append(QStringLiteral("whole %1 %2 %3").arg(view.hasWhole).arg(view.whole.budgetCents).arg(view.whole.spentCents));
    } catch (const DbError &error) {
        seen.append(QStringLiteral("failed: %1 %2").arg(error.Explanation(), error.Detail()));
    }
    return seen;
}

} // namespace

class TestPgBooks : public QObject
{
    Q_OBJECT
private slots:
    void theBookReadsTheSameOnBothLedgers()
    {
        const BothLedgers seen = RunOnBothLedgers(Drive);
        QVERIFY(seen.onFile.size() > 300);
        QVERIFY2(Told(seen.onFile).isEmpty(), qPrintable(Told(seen.onFile)));
        COMPARE_BOTH_LEDGERS(seen);
    }
    void recurringRecordsAndBudgetsReadTheSameOnBothLedgers()
    {
        const BothLedgers seen = RunOnBothLedgers(DriveRecurringAndBudgets);
        QVERIFY2(!seen.onFile.join(QLatin1Char('\n')).contains(QLatin1String("failed")), qPrintable(seen.onFile.join(QLatin1Char('\n'))));
        COMPARE_BOTH_LEDGERS(seen);
    }
    // Back on the file after the server, the book's changes are kept in the file's journal again and
    // can be taken back; the server's changes are not offered there.
    void changesOnTheFileAfterTheServerCanBeTakenBack()
    {
        TestDatabase database;
        LayServerLedger(*PgConnection::Open(database.Settings()), QStringLiteral(ZARVEL_TEMPLATE_DIR "/schema.sql"));
        TestInstallation install;
        MessageRecorder messages;
        const QDateTime when = LedgerDateTime(QDate(2026, 3, 1), QTime(9, 0));
        {
            CMoneyBook book;
            book.ShowPage(1, QStringLiteral("Date"));
            QVERIFY(book.Add(when, QStringLiteral("餐饮"), -5, QStringLiteral("妈妈"), QStringLiteral("on the file")));
        }
        UseServerLedger(database.Settings());
        {
            CMoneyBook book;
            book.ShowPage(1, QStringLiteral("Date"));
            QVERIFY(book.Add(when, QStringLiteral("餐饮"), -6, QStringLiteral("妈妈"), QStringLiteral("on the server")));
            QVERIFY(!LedgerJournal().CanTakeBack());
        }
        UseLedgerFile();
        CMoneyBook book;
        book.ShowPage(1, QStringLiteral("Date"));
        QVERIFY(book.Add(when, QStringLiteral("交通"), -7, QStringLiteral("妈妈"), QStringLiteral("back on the file")));
        QCOMPARE(book.GetItemCount(), 2);
        QVERIFY(LedgerJournal().CanTakeBack());
        QCOMPARE(LedgerJournal().TakeBackLast(), ChangeJournal::TakeBack::Done);
        book.Close();
        book.ShowPage(1, QStringLiteral("Date"));
        QCOMPARE(book.GetItemCount(), 1);
        QVERIFY(book.GetRowTexts(0).join(QLatin1Char('|')).contains(QLatin1String("on the file")));
        QVERIFY2(messages.messages.isEmpty(), qPrintable(messages.messages.value(0).text));
    }
};

QTEST_GUILESS_MAIN(TestPgBooks)
#include "tst_pgbooks.moc"
