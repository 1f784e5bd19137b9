// Recurring records: their due dates over month ends and leap years, the templates kept, and the
// records written once each — by one confirm, by two copies, and across a crash in the middle.
#include "common/LedgerDate.h"
#include "db/CMoneyBook.h"
#include "db/Ledger.h"
#include "db/SqlConnection.h"
#include "recurring/CRecurringBook.h"

#include "TestInstallation.h"

#include <QTest>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

RecurringRule Monthly(const QDate &first, int day = 0, int every = 1)
{
    RecurringRule rule;
    rule.unit = RepeatUnit::Months;
    rule.first = first;
    rule.dayOfMonth = day;
    rule.every = every;
    return rule;
}

QStringList Days(const QList<QDate> &days)
{
    QStringList texts;
    for (const QDate &day : days)
        texts << day.toString(QStringLiteral("yyyy-MM-dd"));
    return texts;
}

qint64 Count(const QString &sql)
{
    SqlStatement count = OpenLedgerDatabase()->Prepare(sql);
    return count.Step() ? count.Int(0) : -1;
}

RecurringTemplate Rent()
{
    RecurringTemplate rent;
    rent.item = QStringLiteral("房租");
    rent.amount = -3500;
    rent.member = QStringLiteral("爸爸");
    rent.note = QStringLiteral("房租");
    rent.rule = Monthly(QDate(2026, 1, 31));
    return rent;
}

} // namespace

class TestRecurring : public QObject
{
    Q_OBJECT
private slots:
    void dueDatesOverMonthEndsAndLeapYears()
    {
        // The 31st: each month's last day when it is shorter, and the 31st again after.
        QCOMPARE(Days(DueDates(Monthly(QDate(2024, 1, 31), 31), QDate(2024, 5, 31))),
                 QStringList({"2024-01-31", "2024-02-29", "2024-03-31", "2024-04-30", "2024-05-31"}));
        QCOMPARE(Days(DueDates(Monthly(QDate(2025, 1, 30)), QDate(2025, 3, 30))), QStringList({"2025-01-30", "2025-02-28", "2025-03-30"}));
        // A day before the first date in its month: the cadence starts a step later.
        QCOMPARE(Days(DueDates(Monthly(QDate(2026, 1, 20), 15, 3), QDate(2026, 10, 31))), QStringList({"2026-04-15", "2026-07-15", "2026-10-15"}));
        // Every year from 29 February: the 28th in the other years.
        RecurringRule yearly;
        yearly.unit = RepeatUnit::Years;
        yearly.first = QDate(2024, 2, 29);
        QCOMPARE(Days(DueDates(yearly, QDate(2028, 3, 1))), QStringList({"2024-02-29", "2025-02-28", "2026-02-28", "2027-02-28", "2028-02-29"}));
        // Weeks and days across a year's end, bounded by an end date and by a number of times.
        RecurringRule fortnightly;
        fortnightly.unit = RepeatUnit::Weeks;
        fortnightly.every = 2;
        fortnightly.first = QDate(2025, 12, 19);
        fortnightly.end = QDate(2026, 1, 30);
        QCOMPARE(Days(DueDates(fortnightly, QDate(2027, 1, 1))), QStringList({"2025-12-19", "2026-01-02", "2026-01-16", "2026-01-30"}));
        RecurringRule tenDays;
        tenDays.unit = RepeatUnit::Days;
        tenDays.every = 10;
        tenDays.first = QDate(2024, 2, 20);
        tenDays.times = 3;
        QCOMPARE(Days(DueDates(tenDays, QDate(2030, 1, 1))), QStringList({"2024-02-20", "2024-03-01", "2024-03-11"}));
        QVERIFY(DueDates(tenDays, QDate(2024, 2, 19)).isEmpty());

        // What a household may get wrong.
        QCOMPARE(RecurringRuleProblem(Monthly(QDate(2026, 2, 1), 32)), QStringLiteral("每月的日期必须在 1 到 31 之间"));
        RecurringRule backwards = Monthly(QDate(2026, 3, 1));
        backwards.end = QDate(2026, 2, 1);
        QCOMPARE(RecurringRuleProblem(backwards), QStringLiteral("结束日期早于开始日期"));
        QVERIFY(DueDates(backwards, QDate(2030, 1, 1)).isEmpty());
        QCOMPARE(RecurringRuleProblem(Monthly(QDate(2026, 3, 1), 0, 0)), QStringLiteral("间隔必须是 1 到 999 之间的整数"));
        RecurringTemplate nothing = Rent();
        nothing.amount = 0.004;
        QCOMPARE(RecurringTemplateProblem(nothing), QStringLiteral("金额不能为零"));
        nothing.amount = 1e14;
        QCOMPARE(RecurringTemplateProblem(nothing), QStringLiteral("金额超出范围"));
        QCOMPARE(DescribeRule(Monthly(QDate(2026, 1, 31))), QStringLiteral("每月 31 日（月份较短时为最后一天）"));
    }

    void dueRecordsWrittenOnceWhoeverConfirms()
    {
        TestInstallation install;
        CMoneyBook book;
        book.ShowPage(1, QStringLiteral("Date"));
        CRecurringBook recurring(OpenLedgerDatabase());
        RecurringTemplate rent = Rent();
        RecurringTemplate refused = rent;
        refused.amount = 0;
        QCOMPARE(recurring.Add(refused), QStringLiteral("金额不能为零"));
        QCOMPARE(recurring.Add(rent), QString());
        QVERIFY(rent.id > 0);
        RecurringTemplate salary = Rent();
        salary.item = QStringLiteral("工资");
        salary.amount = 9000;
        salary.rule = Monthly(QDate(2026, 1, 10));
        QCOMPARE(recurring.Add(salary), QString());

        // Three months on: six records due, by date.
        const std::vector<DueRecord> due = recurring.DueUpTo(QDate(2026, 3, 31));
        QCOMPARE(due.size(), size_t(6));
        QCOMPARE(due.front().due, QDate(2026, 1, 10));
        QCOMPARE(due[1].due, QDate(2026, 1, 31));
        QCOMPARE(due[3].due, QDate(2026, 2, 28));
        // The first two written (one changed by the household), the February salary skipped.
        std::vector<DueRecord> write{due[0], due[1]};
        write[1].entry.amount = -3600;
        QCOMPARE(recurring.Confirm(book, write, {due[2]}), qsizetype(2));
        QCOMPARE(Count("SELECT count(*) FROM Money"), 2);
        QCOMPARE(book.GetTotalCents(), (9000 - 3600) * 100);
        QCOMPARE(recurring.DueUpTo(QDate(2026, 3, 31)).size(), size_t(3));

        // Another copy confirms the same dates from the list it showed before: nothing twice.
        QCOMPARE(recurring.Confirm(book, due, {}), qsizetype(3));
        QCOMPARE(Count("SELECT count(*) FROM Money"), 5);
        QCOMPARE(recurring.Confirm(book, due, {}), qsizetype(0));
        QCOMPARE(Count("SELECT count(*) FROM Money"), 5);
        QVERIFY(recurring.DueUpTo(QDate(2026, 3, 31)).empty());
        QCOMPARE(Count("SELECT count(*) FROM RecurringDone WHERE Written = 0"), 1);

        // The next 30 days, whatever is marked.
        QCOMPARE(recurring.ComingWithin(QDate(2026, 3, 15), 30).size(), size_t(2));  // the rent of 31 March, the salary of 10 April

        // A template changed keeps its marks; removed, its records stay.
        rent.amount = -3800;
        QCOMPARE(recurring.Modify(rent), QString());
        QCOMPARE(recurring.Templates().at(0).amount, -3800.0);
        QVERIFY(recurring.DueUpTo(QDate(2026, 3, 31)).empty());
        recurring.Remove(rent.id);
        QCOMPARE(recurring.Templates().size(), 1);
        QCOMPARE(Count("SELECT count(*) FROM RecurringDone WHERE Template = " + QString::number(rent.id)), 0);
        QCOMPARE(Count("SELECT count(*) FROM Money"), 5);
    }

    void aCrashBetweenTheRecordAndItsMarkWritesNothingTwice()
    {
        TestInstallation install;
        {
            CRecurringBook recurring(OpenLedgerDatabase(install.DataFile(QStringLiteral("Kinward.db"))));
            RecurringTemplate rent = Rent();
            QCOMPARE(recurring.Add(rent), QString());
        }
        // A copy of the program killed in the middle of the confirm's transaction, after a due date's
        // mark is written and before the commit.
        const pid_t child = fork();
        if (child == 0) {
            CMoneyBook book;
            book.ShowPage(1, QStringLiteral("Date"));
            CRecurringBook recurring(OpenLedgerDatabase());
            const std::vector<DueRecord> due = recurring.DueUpTo(QDate(2026, 2, 28));
            CMoneyBook::Alongside dying;
            dying.claim = [](SqlConnection &db, qsizetype) {
                db.Execute(QStringLiteral("INSERT INTO \"RecurringDone\" VALUES (1, '2026-01-31', 1)"));
                raise(SIGKILL);
                return true;
            };
            book.AddMany({due.front().entry}, {}, dying);
            _exit(0);  // not reached
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFSIGNALED(status));
        // Nothing of it stayed: both dates still due, and written once each.
        CMoneyBook book;
        book.ShowPage(1, QStringLiteral("Date"));
        CRecurringBook recurring(OpenLedgerDatabase());
        QCOMPARE(Count("SELECT count(*) FROM RecurringDone"), 0);
        const std::vector<DueRecord> due = recurring.DueUpTo(QDate(2026, 2, 28));
        QCOMPARE(due.size(), size_t(2));
        QCOMPARE(recurring.Confirm(book, due, {}), qsizetype(2));
        QCOMPARE(recurring.Confirm(book, due, {}), qsizetype(0));
        QCOMPARE(Count("SELECT count(*) FROM Money"), 2);
    }
};

QTEST_GUILESS_MAIN(TestRecurring)
#include "tst_recurring.moc"
