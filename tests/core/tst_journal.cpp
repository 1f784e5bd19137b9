// Taking changes back and the recycle bin: every kind of change of every book undone to the byte
// (records, kept totals, month figures, list blocks), a record changed since stopping it whole, the
// recycle bin's 30 days and what comes back with a record, and a failing journal taking its change
// down with it.
#include "budget/CBudgetBook.h"
#include "common/LedgerDate.h"
#include "db/CAddressBook.h"
#include "db/CArticleBook.h"
#include "db/CCreditBook.h"
#include "db/CCurrentBook.h"
#include "db/CDepositBook.h"
#include "db/CInsureBook.h"
#include "db/CInsureNoteBook.h"
#include "db/CMemoBook.h"
#include "db/CMoneyBook.h"
#include "db/ChangeJournal.h"
#include "db/DbError.h"
#include "db/KeptFigures.h"
#include "db/Ledger.h"
#include "db/MoneyBlocks.h"
#include "db/SqlConnection.h"
#include "recurring/CRecurringBook.h"

#include "TestInstallation.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

std::shared_ptr<SqlConnection> Db()
{
    return OpenLedgerDatabase();
}

QString ValueText(const SqlValue &value)
{
    if (std::holds_alternative<qint64>(value))
        return QStringLiteral("i:") + QString::number(std::get<qint64>(value));
    if (std::holds_alternative<double>(value))
        return QStringLiteral("r:") + QString::number(std::get<double>(value), 'g', 17);
    if (std::holds_alternative<QString>(value))
        return QStringLiteral("t:") + std::get<QString>(value);
    return QStringLiteral("null");
}

QStringList Rows(const QString &sql)
{
    QStringList rows;
    SqlStatement read = Db()->Prepare(sql);
    while (read.Step()) {
        QStringList values;
        for (int column = 0; column < read.ColumnCount(); ++column)
            values << ValueText(read.Value(column));
        rows << values.join(QLatin1Char('|'));
    }
    return rows;
}

// Everything a change may touch and a take-back must put back: every record of every book, the kept
// totals and month figures, and the list blocks' counts (as blocks: their bounds may differ after a
// large change, their counts must add up to the records in each stretch of the list).
QStringList Ledger()
{
    QStringList state;
    for (const QString table : {"Money", "Deposit", "Current", "Article", "InsureNote", "InsureRecord", "Credit", "Memo", "Address",
                                "Recurring", "RecurringDone", "Budget", "Totals", "MoneyMonths", "MoneyMonthItems"}) {
        if (!Db()->HasTable(table))
            continue;
        state << QStringLiteral("== ") + table;
        state << Rows(QStringLiteral("SELECT * FROM \"%1\" ORDER BY 1, 2").arg(table));
    }
    return state;
}

// The list blocks agree with the records: each block's count, and its count per item and member.
void VerifyBlocks()
{
    const QStringList blocks = Rows(QStringLiteral(
        "SELECT b.\"N\", (SELECT count(*) FROM \"Money\" m WHERE (m.\"Date\", m.\"ID\") >= (b.\"Start\", b.\"StartId\") AND "
        "(b.\"Next\" IS NULL OR (m.\"Date\", m.\"ID\") < (b.\"Next\", b.\"NextId\"))) FROM (SELECT \"Start\", \"StartId\", \"N\", "
        "lead(\"Start\") OVER w AS \"Next\", lead(\"StartId\") OVER w AS \"NextId\" FROM \"MoneyBlocks\" "
        "WINDOW w AS (ORDER BY \"Start\", \"StartId\")) b"));
    QVERIFY(!blocks.isEmpty());
    for (const QString &block : blocks) {
        const QStringList counts = block.split(QLatin1Char('|'));
        QCOMPARE(counts.at(0), counts.at(1));
    }
    QCOMPARE(Rows(QStringLiteral("SELECT sum(\"N\") FROM \"MoneyBlockParts\"")), Rows(QStringLiteral("SELECT count(*) FROM \"Money\"")));
}

qint64 Count(const QString &sql)
{
    SqlStatement count = Db()->Prepare(sql);
    return count.Step() ? count.Int(0) : -1;
}

void Seed(CMoneyBook &money)
{
    std::vector<MoneyEntry> entries;
    for (int i = 0; i < 300; ++i) {
        entries.push_back({LedgerDateTime(QDate(2026, 1, 1).addDays(i % 200)), i % 3 ? QStringLiteral("餐饮") : QStringLiteral("工资"),
                           i % 3 ? -12.5 - i : 8000.0, QStringLiteral("爸爸"), QStringLiteral("第%1条").arg(i)});
    }
    QVERIFY(money.AddMany(entries));
}

} // namespace

class TestJournal : public QObject
{
    Q_OBJECT
private slots:
    void everyChangeOfEveryBookIsTakenBackToTheByte()
    {
        TestInstallation install;
        CMoneyBook money;
        money.ShowPage(1, QStringLiteral("Date"));
        Seed(money);
        CDepositBook deposits;
        deposits.Fill(QStringLiteral("BDate"));
        CCurrentBook current;
        current.Fill(QStringLiteral("Date"));
        CArticleBook articles;
        articles.Fill(QStringLiteral("Name"));
        CInsureNoteBook policies;
        CInsureBook activities;
        activities.Fill(QStringLiteral("Date"));
        CCreditBook credits;
        credits.Fill(QStringLiteral("Date"));
        CMemoBook memos;
        memos.Fill(QStringLiteral("Date"));
        CAddressBook addresses;
        addresses.Fill(QStringLiteral("Name"));
        CRecurringBook recurring(Db());
        CBudgetBook budgets(Db());
        policies.AddPolicy(QStringLiteral("家财险"), QStringLiteral("财产险"), QStringLiteral("平安"), QStringLiteral("800"), QString(),
                           QStringLiteral("0"), 1, QStringLiteral("2026-01-01"), QString(), QStringLiteral("爸爸"), QStringLiteral("妈妈"),
                           QStringLiteral("爸爸"), QString());
        QVERIFY(activities.Add(QStringLiteral("2026-02-01"), QStringLiteral("家财险"), QStringLiteral("交费"), QStringLiteral("800"),
                               QStringLiteral("爸爸"), QString()));
        QVERIFY(current.Add(QStringLiteral("2026-01-05"), QStringLiteral("6222"), QStringLiteral("工商银行"), QStringLiteral("人民币"),
                            QStringLiteral("5000"), QStringLiteral("存入"), QStringLiteral("爸爸"), QString()));
        QVERIFY(current.Add(QStringLiteral("2026-02-05"), QStringLiteral("6222"), QStringLiteral("工商银行"), QStringLiteral("人民币"),
                            QStringLiteral("-300"), QStringLiteral("取出"), QStringLiteral("爸爸"), QString()));
        RecurringTemplate rent;
        rent.item = QStringLiteral("房租");
        rent.amount = -3500;
        rent.rule.unit = RepeatUnit::Months;
        rent.rule.first = QDate(2026, 1, 31);
        QCOMPARE(recurring.Add(rent), QString());
        QCOMPARE(budgets.SetBudget(QStringLiteral("餐饮"), QString(), 1500), QString());

        const auto select = [](CBook &book, int row) { book.SetSelected(row); };
        const QList<QPair<const char *, std::function<void()>>> changes{
            {"money added", [&] { QVERIFY(money.Add(LedgerDateTime(QDate(2026, 3, 3)), QStringLiteral("交通"), -9, QStringLiteral("妈妈"), QString())); }},
            {"money modified", [&] { select(money, 40); QVERIFY(money.Modify(LedgerDateTime(QDate(2025, 12, 1)), QStringLiteral("服装"), -99.99, QStringLiteral("妈妈"), QStringLiteral("改"))); }},
            {"money removed", [&] { select(money, 7); money.Remove(); }},
            {"an import", [&] {
                 std::vector<MoneyEntry> entries;
                 for (int i = 0; i < 20000; ++i)
                     entries.push_back({LedgerDateTime(QDate(2026, 5, 1)), QStringLiteral("餐饮"), -1.0 - i % 7, QString(), QString()});
                 QVERIFY(money.AddMany(entries));
             }},
            {"deposit added", [&] { QVERIFY(deposits.Add(QStringLiteral("2026-01-01"), QStringLiteral("D1"), QStringLiteral("人民币"), QStringLiteral("一年"),
                                                         QStringLiteral("10000"), QStringLiteral("10200"), QStringLiteral("2027-01-01"), QStringLiteral("中国银行"),
                                                         QStringLiteral("爸爸"), QString())); }},
            {"current modified", [&] { select(current, 0); QVERIFY(current.Modify(QStringLiteral("2026-01-06"), QStringLiteral("6222"), QStringLiteral("工商银行"),
                                                                                QStringLiteral("人民币"), QStringLiteral("5100"), QStringLiteral("存入"), QStringLiteral("妈妈"), QString())); }},
            {"an account closed", [&] { current.CloseAccount(QStringLiteral("6222")); }},
            {"article added", [&] { QVERIFY(articles.Add(QStringLiteral("电视"), QStringLiteral("1"), QStringLiteral("3000"), QStringLiteral("2000"), QString())); }},
            {"activity modified", [&] { select(activities, 0); QVERIFY(activities.Modify(QStringLiteral("2026-02-02"), QStringLiteral("家财险"), QStringLiteral("交费"),
                                                                                       QStringLiteral("900"), QStringLiteral("爸爸"), QString())); }},
            {"a policy deleted with its activities", [&] {
                 SqlTransaction transaction(*Db());
                 policies.Fill(QStringLiteral("Name"));
                 policies.SetSelected(0);
                 policies.Remove();
                 activities.RemoveActivities(QStringLiteral("家财险"));
                 transaction.Commit();
             }},
            {"credit added", [&] { QVERIFY(credits.Add(QStringLiteral("2026-04-01"), QStringLiteral("借出"), QStringLiteral("500"), QStringLiteral("小王"), QStringLiteral("爸爸"), QString())); }},
            {"memo added", [&] { QVERIFY(memos.Add(QStringLiteral("2026-04-02"), QStringLiteral("交水费"), QStringLiteral("妈妈"))); }},
            {"address added", [&] { QVERIFY(addresses.Add({QStringLiteral("张三"), QString(), QString(), QString(), QString(), QString(), QString(),
                                                            QStringLiteral("13800000000"), QString(), QString(), QStringLiteral("010020"), QString(), QString(), QString(), QString()})); }},
            {"recurring confirmed", [&] { QCOMPARE(recurring.Confirm(money, recurring.DueUpTo(QDate(2026, 4, 30)), {}), qsizetype(4)); }},
            {"recurring modified", [&] { RecurringTemplate changed = recurring.Templates().at(0); changed.amount = -3600; QCOMPARE(recurring.Modify(changed), QString()); }},
            {"recurring removed", [&] { recurring.Remove(recurring.Templates().at(0).id); }},
            {"budget changed", [&] { QCOMPARE(budgets.SetBudget(QStringLiteral("餐饮"), QString(), 1800), QString()); }},
            {"budget removed", [&] { QCOMPARE(budgets.SetBudget(QStringLiteral("餐饮"), QString(), 0), QString()); }},
        };
        ChangeJournal &journal = LedgerJournal();
        for (const auto &[name, change] : changes) {
            const QStringList before = Ledger();
            change();
            QVERIFY2(Ledger() != before, name);
            QVERIFY2(journal.CanTakeBack(), name);
            QVERIFY2(!journal.LastChangeText().isEmpty(), name);
            QCOMPARE(journal.TakeBackLast(), ChangeJournal::TakeBack::Done);
            QVERIFY2(Ledger() == before, name);
            VerifyBlocks();
            change();  // and again, so the next change starts from it
        }
        // Then all of them in turn, the last first, back to the ledger as it was before the first.
        const QStringList end = Ledger();
        int taken = 0;
        while (journal.CanTakeBack() && taken < changes.size()) {
            QCOMPARE(journal.TakeBackLast(), ChangeJournal::TakeBack::Done);
            ++taken;
        }
        QCOMPARE(taken, int(changes.size()));
        QVERIFY(Ledger() != end);
        QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM \"Money\"")), qint64(300));
        QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM \"Budget\"")), qint64(1));
        QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM \"InsureRecord\"")), qint64(1));
        QCOMPARE(*KeptFigure(*Db(), QStringLiteral("Money"), QStringLiteral("Money")),
                 Count(QStringLiteral("SELECT sum(CAST(round(\"Money\" * 100) AS INTEGER)) FROM \"Money\"")));
        VerifyBlocks();
    }

    void whatTheLastChangeDidIsToldInTheHouseholdsWords()
    {
        TestInstallation install;
        CMoneyBook money;
        money.ShowPage(1, QStringLiteral("Date"));
        ChangeJournal &journal = LedgerJournal();
        QCOMPARE(journal.Recycled().size(), 0);  // before the journal's tables are laid
        QVERIFY(money.Add(LedgerDateTime(QDate(2026, 5, 1)), QStringLiteral("餐饮"), -120, QStringLiteral("爸爸"), QStringLiteral("午饭")));
        QVERIFY(journal.LastChangeText().startsWith(QStringLiteral("新增 1 条收支记录：2026-05-01 餐饮 -120 爸爸 午饭")));
        money.SetSelected(0);
        QVERIFY(money.Modify(LedgerDateTime(QDate(2026, 5, 1)), QStringLiteral("餐饮"), -12, QStringLiteral("爸爸"), QStringLiteral("午饭")));
        QVERIFY(journal.LastChangeText().startsWith(QStringLiteral("修改 1 条收支记录：2026-05-01 餐饮 -12 爸爸 午饭（改动前：2026-05-01 餐饮 -120 爸爸 午饭）")));
        money.SetSelected(0);
        money.Remove();
        QVERIFY(journal.LastChangeText().startsWith(QStringLiteral("删除 1 条收支记录：2026-05-01 餐饮 -12")));
        QCOMPARE(journal.Recycled().size(), 1);
        std::vector<MoneyEntry> entries(3, MoneyEntry{LedgerDateTime(QDate(2026, 6, 1)), QStringLiteral("交通"), -2, QString(), QString()});
        QVERIFY(money.AddMany(entries));
        QVERIFY(journal.LastChangeText().startsWith(QStringLiteral("新增 3 条收支记录，如：2026-06-01 交通 -2")));
    }

    void aRecordChangedSinceStopsTheTakingBackWhole()
    {
        TestInstallation install;
        CMoneyBook money;
        money.ShowPage(1, QStringLiteral("Date"));
        Seed(money);
        ChangeJournal &journal = LedgerJournal();
        money.SetSelected(3);
        const qint64 id = money.GetItemData(3);
        QVERIFY(money.Modify(LedgerDateTime(QDate(2026, 1, 4)), QStringLiteral("餐饮"), -1, QStringLiteral("爸爸"), QStringLiteral("改了金额")));
        money.SetSelected(4);
        money.Remove();
        // Written past the journal (another copy of the program): the note of the modified record,
        // and a record in the deleted one's place.
        {
            SqlConnection::Unrecorded quiet(*Db());
            SqlTransaction transaction(*Db());
            Db()->Execute(QStringLiteral("UPDATE \"Money\" SET \"Explain\" = '别处改的' WHERE \"ID\" = %1").arg(id));
            transaction.Commit();
        }
        // The deletion comes back: nothing of it was touched since.
        QCOMPARE(journal.TakeBackLast(), ChangeJournal::TakeBack::Done);
        const QStringList before = Ledger();
        QCOMPARE(journal.TakeBackLast(), ChangeJournal::TakeBack::ChangedSince);
        QCOMPARE(Ledger(), before);
        QCOMPARE(Rows(QStringLiteral("SELECT \"Money\", \"Explain\" FROM \"Money\" WHERE \"ID\" = %1").arg(id)),
                 QStringList{QStringLiteral("r:-1|t:别处改的")});
        // The change refused is dropped: the one before it (the seed) comes next.
        QVERIFY(journal.CanTakeBack());
        QVERIFY(journal.LastChangeText().startsWith(QStringLiteral("新增 300 条收支记录")));
        // A seed record deleted past the journal: its insert cannot be taken back, nothing is.
        {
            SqlConnection::Unrecorded quiet(*Db());
            SqlTransaction transaction(*Db());
            Db()->Execute(QStringLiteral("DELETE FROM \"Money\" WHERE \"ID\" = %1").arg(id + 10));
            transaction.Commit();
        }
        const QStringList seeded = Ledger();
        QCOMPARE(journal.TakeBackLast(), ChangeJournal::TakeBack::ChangedSince);
        QCOMPARE(Ledger(), seeded);
        QVERIFY(!journal.CanTakeBack());
        QCOMPARE(journal.TakeBackLast(), ChangeJournal::TakeBack::Nothing);
    }

    void theLastHundredChangesOfTheRunCanBeTakenBack()
    {
        TestInstallation install;
        CMemoBook memos;
        memos.Fill(QStringLiteral("Date"));
        ChangeJournal &journal = LedgerJournal();
        const QStringList empty = Ledger();
        for (int i = 0; i < ChangeJournal::kKeptChanges + 20; ++i)
            QVERIFY(memos.Add(QStringLiteral("2026-01-01"), QStringLiteral("第%1件").arg(i), QString()));
        int taken = 0;
        while (journal.CanTakeBack()) {
            QCOMPARE(journal.TakeBackLast(), ChangeJournal::TakeBack::Done);
            ++taken;
        }
        QCOMPARE(taken, ChangeJournal::kKeptChanges);
        QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM \"Memo\"")), qint64(20));
        // Only the run's changes are kept in the ledger.
        QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM \"UndoLog\"")), qint64(0));
    }

    void theRecycleBinKeepsThirtyDaysAndPutsRecordsBackWithWhatBelongsToThem()
    {
        TestInstallation install;
        CMoneyBook money;
        money.ShowPage(1, QStringLiteral("Date"));
        Seed(money);
        QDateTime now = LedgerDateTime(QDate(2026, 6, 1), QTime(9, 0));
        ChangeJournal journal(Db(), [&now] { return now; });
        CInsureNoteBook policies;
        CInsureBook activities;
        activities.Fill(QStringLiteral("Date"));
        policies.AddPolicy(QStringLiteral("寿险"), QStringLiteral("人寿险"), QStringLiteral("国寿"), QStringLiteral("1000"), QString(),
                           QStringLiteral("0"), 10, QStringLiteral("2026-01-01"), QString(), QStringLiteral("爸爸"), QStringLiteral("妈妈"),
                           QStringLiteral("爸爸"), QString());
        for (const char *date : {"2026-02-01", "2027-02-01"})
            QVERIFY(activities.Add(QString::fromLatin1(date), QStringLiteral("寿险"), QStringLiteral("交费"), QStringLiteral("1000"), QStringLiteral("爸爸"), QString()));
        CRecurringBook recurring(Db());
        RecurringTemplate salary;
        salary.item = QStringLiteral("工资");
        salary.amount = 9000;
        salary.rule.unit = RepeatUnit::Months;
        salary.rule.first = QDate(2026, 1, 10);
        QCOMPARE(recurring.Add(salary), QString());
        QCOMPARE(recurring.Confirm(money, recurring.DueUpTo(QDate(2026, 5, 31)), {}), qsizetype(5));
        const QStringList whole = Ledger();

        money.SetSelected(0);
        const QString first = money.GetItemText(0, 4);
        money.Remove();
        now = now.addDays(10);
        {
            SqlTransaction transaction(*Db());
            policies.Fill(QStringLiteral("Name"));
            policies.SetSelected(0);
            policies.Remove();
            activities.RemoveActivities(QStringLiteral("寿险"));
            transaction.Commit();
        }
        recurring.Remove(salary.id);
        QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM \"RecurringDone\"")), qint64(0));

        QList<RecycledRecord> bin = journal.Recycled();
        QCOMPARE(bin.size(), 5);  // the template, the policy, its two activities, the record; the marks not shown
        QCOMPARE(bin.at(0).book, QStringLiteral("周期收支"));
        QCOMPARE(bin.last().book, QStringLiteral("收支记录"));
        QVERIFY(bin.last().summary.contains(first));
        // Thirty days after the record's deletion it is no longer offered.
        now = now.addDays(21);
        bin = journal.Recycled();
        QCOMPARE(bin.size(), 4);

        const auto idOf = [&](const QString &book) {
            for (const RecycledRecord &record : journal.Recycled()) {
                if (record.book == book)
                    return record.id;
            }
            return qint64(0);
        };
        // An activity alone cannot come back while its policy is away.
        QVERIFY(journal.Restore({idOf(QStringLiteral("保险活动"))}).contains(QStringLiteral("请先恢复这份保单")));
        QCOMPARE(journal.Recycled().size(), 4);
        // The policy brings its activities; the template the marks of its dates, so nothing falls due again.
        QCOMPARE(journal.Restore({idOf(QStringLiteral("保单")), idOf(QStringLiteral("周期收支"))}), QString());
        QCOMPARE(journal.Recycled().size(), 0);
        QCOMPARE(recurring.DueUpTo(QDate(2026, 5, 31)).size(), size_t(0));
        QStringList restored = Ledger();
        QStringList expected = whole;
        // The record deleted first stays deleted; everything else is as it was, totals included.
        QCOMPARE(restored.size(), expected.size() - 1);

        // Putting back is a change that can be taken back: the records go back into the bin.
        QCOMPARE(journal.TakeBackLast(), ChangeJournal::TakeBack::Done);
        QCOMPARE(journal.Recycled().size(), 4);
        QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM \"InsureNote\"")), qint64(0));
        // A policy of the same name written since keeps the old one out.
        policies.AddPolicy(QStringLiteral("寿险"), QStringLiteral("人寿险"), QStringLiteral("新华"), QStringLiteral("10"), QString(),
                           QStringLiteral("0"), 1, QStringLiteral("2026-07-01"), QString(), QString(), QString(), QString(), QString());
        QVERIFY(journal.Restore({idOf(QStringLiteral("保单"))}).contains(QStringLiteral("已有名为“寿险”的保单")));
    }

    void aPremiumPutBackAloneCountsInItsPolicyAgain()
    {
        TestInstallation install;
        CInsureNoteBook policies;
        CInsureBook activities;
        activities.Fill(QStringLiteral("Date"));
        policies.AddPolicy(QStringLiteral("寿险"), QStringLiteral("人寿险"), QStringLiteral("国寿"), QStringLiteral("1000"), QString(),
                           QStringLiteral("0"), 10, QStringLiteral("2026-01-01"), QString(), QStringLiteral("爸爸"), QStringLiteral("妈妈"),
                           QStringLiteral("爸爸"), QString());
        for (const char *date : {"2026-02-01", "2026-03-01"})
            QVERIFY(activities.Add(QString::fromLatin1(date), QStringLiteral("寿险"), QStringLiteral("缴纳保费"), QStringLiteral("-1000"),
                                   QStringLiteral("爸爸"), QString()));
        const QStringList whole = Ledger();
        QCOMPARE(Rows(QStringLiteral("SELECT \"PayedMoney\" FROM \"InsureNote\"")), QStringList{QStringLiteral("r:2000")});
        // The premium deleted leaves the policy's paid sum; put back, it enters it again.
        activities.SetSelected(1);
        QVERIFY(activities.Remove());
        QCOMPARE(Rows(QStringLiteral("SELECT \"PayedMoney\" FROM \"InsureNote\"")), QStringList{QStringLiteral("r:1000")});
        ChangeJournal &journal = LedgerJournal();
        const QList<RecycledRecord> bin = journal.Recycled();
        QCOMPARE(bin.size(), 1);
        QCOMPARE(journal.Restore({bin.at(0).id}), QString());
        QCOMPARE(Ledger(), whole);
        // Taken back, the restore leaves the policy as the deletion did.
        QCOMPARE(journal.TakeBackLast(), ChangeJournal::TakeBack::Done);
        QCOMPARE(Rows(QStringLiteral("SELECT \"PayedMoney\" FROM \"InsureNote\"")), QStringList{QStringLiteral("r:1000")});
    }

    void aBudgetSetAgainIsNotOverlookedByARestore()
    {
        TestInstallation install;
        CMoneyBook money;
        money.ShowPage(1, QStringLiteral("Date"));
        CBudgetBook budgets(Db());
        QCOMPARE(budgets.SetBudget(QStringLiteral("餐饮"), QString(), 1500), QString());
        QCOMPARE(budgets.SetBudget(QStringLiteral("餐饮"), QString(), 0), QString());
        QCOMPARE(budgets.SetBudget(QStringLiteral("餐饮"), QString(), 800), QString());
        ChangeJournal &journal = LedgerJournal();
        QList<RecycledRecord> bin = journal.Recycled();
        QCOMPARE(bin.size(), 1);
        QCOMPARE(bin.at(0).book, QStringLiteral("预算"));
        // The item has a budget again: the old one cannot come back in its place unasked, and saying
        // nothing would have the household believe it did.
        const QString said = journal.Restore({bin.at(0).id});
        QVERIFY(!said.isEmpty());
        QCOMPARE(Rows(QStringLiteral("SELECT \"Item\", \"Month\", \"Cents\" FROM \"Budget\"")), QStringList{QStringLiteral("t:餐饮|t:|i:80000")});
        QCOMPARE(journal.Recycled().size(), 1);
        // Nothing was written: the next change and its taking back leave the bin as it is.
        QVERIFY(money.Add(LedgerDateTime(QDate(2026, 5, 1)), QStringLiteral("餐饮"), -120, QStringLiteral("爸爸"), QString()));
        QCOMPARE(journal.TakeBackLast(), ChangeJournal::TakeBack::Done);
        QCOMPARE(journal.Recycled().size(), 1);
        QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM \"Recycle\" WHERE \"Restored\" <> 0")), qint64(0));
    }

    void aJournalThatCannotBeWrittenTakesItsChangeDownWithIt()
    {
        TestInstallation install;
        CMoneyBook money;
        money.ShowPage(1, QStringLiteral("Date"));
        Seed(money);
        Db()->Execute(QStringLiteral("CREATE TRIGGER \"Full\" BEFORE INSERT ON \"UndoLog\" BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
        const QStringList before = Ledger();
        const qint64 total = money.GetTotalCents();
        money.SetSelected(2);
        QVERIFY_THROWS_EXCEPTION(DbError, money.Remove());
        QCOMPARE(Ledger(), before);
        QCOMPARE(money.GetTotalCents(), total);
        QCOMPARE(money.GetItemCount(), 100);
        QVERIFY(LedgerJournal().LastChangeText().startsWith(QStringLiteral("新增 300 条")));
    }

    void aRestoredCopyLeavesNothingToTakeBack()
    {
        TestInstallation install;
        CMoneyBook money;
        money.ShowPage(1, QStringLiteral("Date"));
        Seed(money);
        const QString copy = install.Path() + QStringLiteral("/copy.db");
        Db()->CopyTo(copy);
        Db()->CopyFrom(copy);
        QVERIFY(!LedgerJournal().CanTakeBack());
    }
};

QTEST_GUILESS_MAIN(TestJournal)
#include "tst_journal.moc"
