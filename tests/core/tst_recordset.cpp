// Record sets over a fresh installation: filter, sort, cursor, find, insert, edit, delete, sums.
#include "db/CAddressRecord.h"
#include "db/CCurrentRecord.h"
#include "db/CInsureNoteRecord.h"
#include "db/CMoneyRecord.h"
#include "db/DbError.h"
#include "db/FilterParser.h"
#include "db/Ledger.h"
#include "db/MoneyBlocks.h"
#include "db/SqlConnection.h"

#include "TestInstallation.h"

#include <QFile>
#include <QTest>
#include <random>

namespace {

void AddMoney(CMoneyRecord &set, const QDateTime &date, const QString &item, double money,
              const QString &member = QStringLiteral("Li"))
{
    set.AddNew();
    set.m_Date = date;
    set.m_Item = item;
    set.m_Money = money;
    set.m_Member = member;
    set.Update();
}

QDateTime Day(int year, int month, int day, int hour = 0)
{
    return LedgerDateTime(QDate(year, month, day), QTime(hour, 0));
}

// Fills Money with n records on consecutive days, item "r<i>", amount i.
void FillMoney(int n)
{
    CMoneyRecord set;
    set.Open();
    SqlTransaction transaction(set.Connection());
    for (int i = 0; i < n; ++i)
        AddMoney(set, Day(2000, 1, 1).addDays(n - 1 - i), QStringLiteral("r%1").arg(n - 1 - i), n - 1 - i);
    transaction.Commit();
    set.Close();
}

} // namespace

class TestRecordSet : public QObject
{
    Q_OBJECT
private slots:
    void emptyTableOpensEmpty()
    {
        TestInstallation install;
        for (CRecordSet *set : std::initializer_list<CRecordSet *>{new CMoneyRecord, new CAddressRecord, new CInsureNoteRecord}) {
            set->Open();
            QCOMPARE(set->GetRecordCount(), 0L);
            QVERIFY(set->IsEOF());
            QVERIFY(set->IsBOF());
            set->Close();
            delete set;
        }
    }

    void insertThenMoveLastReachesNewRecord()
    {
        TestInstallation install;
        CMoneyRecord set;
        set.m_strSort = QStringLiteral("Date");
        set.Open();
        AddMoney(set, Day(2005, 1, 1), QStringLiteral("late"), 1);
        AddMoney(set, Day(2001, 1, 1), QStringLiteral("early"), 2);
        QCOMPARE(set.GetRecordCount(), 2L);
        set.MoveLast();
        // The dynaset lists added records after the others, in the order added, until it is reopened.
        QCOMPARE(set.m_Item, QStringLiteral("early"));
        QVERIFY(set.m_ID > 0);
        const qint32 newId = set.m_ID;
        set.MovePrev();
        QCOMPARE(set.m_Item, QStringLiteral("late"));
        QVERIFY(set.m_ID < newId);
        set.Close();

        set.Open();  // reopened: in date order
        QCOMPARE(set.m_Item, QStringLiteral("early"));
        QCOMPARE(set.m_ID, newId);
        QCOMPARE(set.m_Date, Day(2001, 1, 1));
        QCOMPARE(set.m_Money, 2.0);
        QCOMPARE(set.m_Member, QStringLiteral("Li"));
    }

    void filterAndSort()
    {
        TestInstallation install;
        {
            CCurrentRecord set;
            set.Open();
            const char *kinds[] = {"人民币", "美元", "人民币"};
            for (int i = 0; i < 3; ++i) {
                set.AddNew();
                set.m_Date = Day(2003, 3 - i, 1);
                set.m_Account = QStringLiteral("A%1").arg(i);
                set.m_MKind = QString::fromUtf8(kinds[i]);
                set.m_Money = 10 * (i + 1);
                set.Update();
            }
        }
        CCurrentRecord set;
        set.m_strFilter = QStringLiteral("MKind='人民币'");
        set.m_strSort = QStringLiteral("Date");
        set.Open();
        QCOMPARE(set.GetRecordCount(), 2L);
        QCOMPARE(set.m_Account, QStringLiteral("A2"));
        set.MoveNext();
        QCOMPARE(set.m_Account, QStringLiteral("A0"));
        set.MoveNext();
        QVERIFY(set.IsEOF());
        QCOMPARE(set.Sum(QStringLiteral("Money")), 40.0);
    }

    void quoteInValueWorksInEveryFilter()
    {
        TestInstallation install;
        CCurrentRecord set;
        set.Open();
        for (const QString &account : {QStringLiteral("O'Neil"), QStringLiteral("O"), QStringLiteral("x' OR '1'='1")}) {
            set.AddNew();
            set.m_Account = account;
            set.m_Money = 1;
            set.Update();
        }
        set.Close();
        for (const QString &account : {QStringLiteral("O'Neil"), QStringLiteral("x' OR '1'='1")}) {
            set.m_strFilter = QStringLiteral("Account=") + QuoteFilterText(account);
            set.Open();
            QCOMPARE(set.GetRecordCount(), 1L);
            QCOMPARE(set.m_Account, account);
            set.Close();
        }
    }

    void dateConditionIsStrictlyAfter()
    {
        TestInstallation install;
        {
            CMoneyRecord set;
            set.Open();
            AddMoney(set, Day(2003, 5, 1, 0), QStringLiteral("midnight"), 1);
            AddMoney(set, Day(2003, 5, 1, 9), QStringLiteral("morning"), 1);
            AddMoney(set, Day(2003, 4, 30, 23), QStringLiteral("before"), 1);
            AddMoney(set, Day(2004, 1, 1), QStringLiteral("after"), 1);
        }
        CMoneyRecord set;
        set.m_strFilter = QStringLiteral("Date>#2003-5-1#");
        set.m_strSort = QStringLiteral("Date");
        set.Open();
        QCOMPARE(set.GetRecordCount(), 2L);
        QCOMPARE(set.m_Item, QStringLiteral("morning"));
        set.MoveNext();
        QCOMPARE(set.m_Item, QStringLiteral("after"));
    }

    void unknownConditionsAreRefused_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::newRow("unknown column") << "Nope=1";
        QTest::newRow("sql injection") << "ID=1; DROP TABLE Money";
        QTest::newRow("function") << "length(Item)>1";
        QTest::newRow("unterminated text") << "Item='abc";
        QTest::newRow("text for a number") << "Money='x'";
        QTest::newRow("bad date") << "Date>#2003-13-1#";
        QTest::newRow("no operator") << "Item";
    }
    void unknownConditionsAreRefused()
    {
        QFETCH(QString, filter);
        TestInstallation install;
        CMoneyRecord set;
        set.m_strFilter = filter;
        QVERIFY_THROWS_EXCEPTION(DbError, set.Open());
        QVERIFY(!set.IsOpen());
        set.m_strFilter = QStringLiteral("ID=1 AND (Item='a' OR Money>=2.5) AND NOT Member<>'Li'");
        set.Open();  // the ledger's own forms, combined, are accepted
        QCOMPARE(set.GetRecordCount(), 0L);
    }

    void findFirstEditAndDelete()
    {
        TestInstallation install;
        FillMoney(5);
        CMoneyRecord set;
        set.m_strSort = QStringLiteral("Date");
        set.Open();
        set.MoveLast();
        const qint32 lastId = set.m_ID;
        set.MoveFirst();
        set.MoveNext();
        const qint32 secondId = set.m_ID;

        QVERIFY(set.FindFirst(QStringLiteral("ID=%1").arg(secondId)));
        QCOMPARE(set.m_Item, QStringLiteral("r1"));
        set.Edit();
        set.m_Money = -7.5;
        set.m_Explain = QStringLiteral("changed");
        set.Update();
        QVERIFY(!set.FindFirst(QStringLiteral("ID=999999")));
        QCOMPARE(set.m_ID, secondId);  // a failed find leaves the current record

        QVERIFY(set.FindFirst(QStringLiteral("ID=%1").arg(secondId)));
        set.Delete();
        set.MoveNext();
        QCOMPARE(set.m_Item, QStringLiteral("r2"));  // the record after the deleted one
        QCOMPARE(set.GetRecordCount(), 4L);
        set.MoveLast();
        QCOMPARE(set.m_ID, lastId);
        set.Close();

        set.m_strFilter = QStringLiteral("Explain='changed'");
        set.Open();
        QCOMPARE(set.GetRecordCount(), 0L);
    }

    void deleteEveryRecordWhileWalking()
    {
        TestInstallation install;
        FillMoney(250);
        CMoneyRecord set;
        set.m_strFilter = QStringLiteral("Money>=100");
        set.Open();
        QCOMPARE(set.GetRecordCount(), 150L);
        while (!set.IsEOF()) {
            set.Delete();
            set.MoveNext();
        }
        set.Close();
        set.m_strFilter.clear();
        set.Open();
        QCOMPARE(set.GetRecordCount(), 100L);
        QCOMPARE(set.Sum(QStringLiteral("Money")), 99.0 * 100 / 2);
    }

    void positionsFromBothEndsAgree()
    {
        TestInstallation install;
        FillMoney(1050);
        CMoneyRecord set;
        set.m_strSort = QStringLiteral("Date");
        set.Open();
        QCOMPARE(set.GetRecordCount(), 1050L);
        for (long position : {0L, 99L, 100L, 524L, 525L, 900L, 1000L, 1049L}) {
            set.MoveFirst();
            set.Move(position);
            QCOMPARE(set.m_Item, QStringLiteral("r%1").arg(position));
            set.MoveNext();
            if (position == 1049)
                QVERIFY(set.IsEOF());
            else
                QCOMPARE(set.m_Item, QStringLiteral("r%1").arg(position + 1));
        }
        // A full forward walk visits each record once, in order.
        set.MoveFirst();
        int visited = 0;
        while (!set.IsEOF()) {
            QCOMPARE(set.m_Money, double(visited));
            ++visited;
            set.MoveNext();
        }
        QCOMPARE(visited, 1050);
        const std::vector<qint64> positions = set.MatchingPositions(QStringLiteral("Money>=1040 OR Item='r7'"));
        QCOMPARE(positions.size(), size_t(11));
        QCOMPARE(positions.front(), qint64(7));
        QCOMPARE(positions.back(), qint64(1049));
    }

    // Walking the matches one at a time gives the positions a walk over the whole set gives, under
    // each filter the block counts serve or not, with dates of other written forms among them and
    // with records the set added after it opened.
    void nextMatchWalksAsTheMatchingPositions_data()
    {
        QTest::addColumn<bool>("numericDates");
        QTest::addColumn<QString>("filter");
        for (bool numeric : {false, true}) {
            const QString kind = numeric ? QStringLiteral("numeric dates, ") : QStringLiteral("text dates, ");
            QTest::newRow(qPrintable(kind + QStringLiteral("no filter"))) << numeric << QString();
            QTest::newRow(qPrintable(kind + QStringLiteral("date after"))) << numeric << QStringLiteral("Date>#2000-6-15#");
            QTest::newRow(qPrintable(kind + QStringLiteral("date before"))) << numeric << QStringLiteral("Date<#2001-2-3#");
            QTest::newRow(qPrintable(kind + QStringLiteral("item"))) << numeric << QStringLiteral("Item='r7'");
            QTest::newRow(qPrintable(kind + QStringLiteral("member"))) << numeric << QStringLiteral("Member='Wang'");
        }
    }

    void nextMatchWalksAsTheMatchingPositions()
    {
        QFETCH(bool, numericDates);
        QFETCH(QString, filter);
        TestInstallation install;
        FillMoney(1200);
        {
            CMoneyRecord set;
            set.Open();
            SqlConnection &db = set.Connection();
            // Dates written by hand in other forms, on days the list already holds.
            db.Execute(QStringLiteral("INSERT INTO Money (Date, Item, Money, Member) VALUES "
                                      "('2000-3-7', 'r7', 5, 'Wang'), ('2000/03/05 00:00:00', 'r7', 7, 'Wang'), "
                                      "('2000-03-05', 'r7', 1045, 'Wang'), ('2001-02-03 12:00:00', 'r7', 3, 'Li')"));
            if (numericDates)
                db.Execute(QStringLiteral("INSERT INTO Money (Date, Item, Money, Member) VALUES "
                                          "(36600.5, 'r7', 2, 'Wang'), (20000308, 'x', 1041, 'Li')"));
            for (int i = 0; i < 40; ++i)
                AddMoney(set, Day(2000, 1, 1).addDays(i * 29), i % 3 ? QStringLiteral("r7") : QStringLiteral("y"), 1040 + i,
                         i % 2 ? QStringLiteral("Wang") : QStringLiteral("Li"));
            // Small blocks, so that the matches lie in many of them and most hold none.
            SqlTransaction transaction(db);
            LayMoneyBlocks(db, 16);
            transaction.Commit();
        }
        CMoneyRecord set;
        set.m_strSort = QStringLiteral("Date");
        set.m_strFilter = filter;
        set.Open();
        // Records added through the set after it opened, some matching.
        for (int i = 0; i < 5; ++i)
            AddMoney(set, Day(2000, 2, 1).addDays(i * 100), QStringLiteral("r7"), 1050 + i, QStringLiteral("Wang"));
        for (const QString &condition : {QStringLiteral("Money>=1040 OR Item='r7'"), QStringLiteral("Member='Wang'"),
                                         QStringLiteral("Money<5"), QString(), QStringLiteral("Item='y' AND Member='Li'"),
                                         QStringLiteral("Date>=#2000-3-5# AND Date<#2000-3-6# AND Item='r7'")}) {
            const std::vector<qint64> expected = set.MatchingPositions(condition);
            std::vector<qint64> walked;
            for (qint64 at = set.NextMatch(condition, -1); at >= 0; at = set.NextMatch(condition, at)) {
                walked.push_back(at);
                QVERIFY2(walked.size() <= expected.size() + 1, qPrintable(condition));
            }
            QCOMPARE(walked, expected);
            // From a record that does not match, too: the next match after it.
            for (qint64 at = 0; at < set.GetRecordCount(); at += 37) {
                const auto next = std::upper_bound(expected.begin(), expected.end(), at);
                QCOMPARE(set.NextMatch(condition, at), next == expected.end() ? qint64(-1) : *next);
            }
        }
    }

    void nextMatchSeesTheSetsOwnWrites()
    {
        // A search answered from the block counts, then the set's own edit, addition and delete: the
        // same search again finds what they made, far past the few records looked at first.
        TestInstallation install;
        FillMoney(1200);
        {
            CMoneyRecord set;
            set.Open();
            SqlTransaction transaction(set.Connection());
            LayMoneyBlocks(set.Connection(), 16);
            transaction.Commit();
        }
        CMoneyRecord set;
        set.m_strSort = QStringLiteral("Date");
        set.Open();
        const QString condition = QStringLiteral("Item='zz'");
        QCOMPARE(set.NextMatch(condition, -1), qint64(-1));
        set.MoveFirst();
        set.Move(900);
        set.Edit();
        set.m_Item = QStringLiteral("zz");
        set.Update();
        QCOMPARE(set.MatchingPositions(condition), std::vector<qint64>{900});
        QCOMPARE(set.NextMatch(condition, -1), qint64(900));
        QCOMPARE(set.NextMatch(condition, 900), qint64(-1));

        // An addition dated before the edited record is the set's own, listed after the others.
        AddMoney(set, Day(2000, 1, 2), QStringLiteral("zz"), 1);
        QCOMPARE(set.NextMatch(condition, -1), qint64(900));
        QCOMPARE(set.NextMatch(condition, 900), qint64(1200));

        // The edited record deleted: the next match is the addition.
        set.Delete();
        QCOMPARE(set.NextMatch(condition, -1), qint64(1199));
    }

    void changesByAnotherSetAreSeen()
    {
        TestInstallation install;
        FillMoney(300);
        CMoneyRecord shown;
        shown.m_strSort = QStringLiteral("Date");
        shown.Open();
        QCOMPARE(shown.GetRecordCount(), 300L);
        {
            CMoneyRecord other;
            other.m_strFilter = QStringLiteral("Money<10");
            other.Open();
            while (!other.IsEOF()) {
                other.Delete();
                other.MoveNext();
            }
        }
        QCOMPARE(shown.GetRecordCount(), 290L);
        shown.MoveFirst();
        QCOMPARE(shown.m_Item, QStringLiteral("r10"));
        shown.MoveLast();
        QCOMPARE(shown.m_Item, QStringLiteral("r299"));
    }

    void recordsAddedByAnotherSetStayOutUntilReopened()
    {
        TestInstallation install;
        FillMoney(150);
        CMoneyRecord shown;
        shown.m_strSort = QStringLiteral("Date");
        shown.Open();
        AddMoney(shown, Day(1999, 1, 1), QStringLiteral("mine"), 0);
        {
            CMoneyRecord other;
            other.Open();
            AddMoney(other, Day(1990, 1, 1), QStringLiteral("theirs"), 0);
        }
        QCOMPARE(shown.GetRecordCount(), 151L);
        shown.MoveFirst();
        QCOMPARE(shown.m_Item, QStringLiteral("r0"));
        shown.Move(149);
        QCOMPARE(shown.m_Item, QStringLiteral("r149"));
        shown.MoveNext();
        QCOMPARE(shown.m_Item, QStringLiteral("mine"));
        shown.Close();
        shown.Open();
        QCOMPARE(shown.GetRecordCount(), 152L);
        QCOMPARE(shown.m_Item, QStringLiteral("theirs"));
    }

    void rolledBackTransactionChangesNothing()
    {
        TestInstallation install;
        FillMoney(3);
        CMoneyRecord set;
        set.Open();
        {
            SqlTransaction transaction(set.Connection());
            set.Delete();
            AddMoney(set, Day(2010, 1, 1), QStringLiteral("new"), 5);
        }
        QCOMPARE(set.GetRecordCount(), 3L);
        QCOMPARE(set.Sum(QStringLiteral("Money")), 3.0);
        set.MoveLast();
        QCOMPARE(set.m_Item, QStringLiteral("r0"));
    }

    // The set lists its own additions last, dated earlier than every other record so that key order
    // alone would put them first.
    void deleteAfterFindFirstThenMoveNextReachesTheRecordAfterIt_data()
    {
        QTest::addColumn<bool>("withAdditions");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("after");  // empty: the end of the set
        QTest::newRow("last record") << false << "r4" << "";
        QTest::newRow("middle record") << false << "r2" << "r3";
        QTest::newRow("first record") << false << "r0" << "r1";
        QTest::newRow("last before own additions") << true << "r4" << "a0";
        QTest::newRow("first own addition") << true << "a0" << "a1";
        QTest::newRow("middle own addition") << true << "a1" << "a2";
        QTest::newRow("last own addition") << true << "a2" << "";
    }
    void deleteAfterFindFirstThenMoveNextReachesTheRecordAfterIt()
    {
        QFETCH(bool, withAdditions);
        QFETCH(QString, target);
        QFETCH(QString, after);
        TestInstallation install;
        FillMoney(5);
        CMoneyRecord set;
        set.m_strSort = QStringLiteral("Date");
        set.Open();
        if (withAdditions) {
            for (int i = 0; i < 3; ++i)
                AddMoney(set, Day(1990, 1, 1 + i), QStringLiteral("a%1").arg(i), 0);
        }
        const long count = set.GetRecordCount();
        QVERIFY(set.FindFirst(QStringLiteral("Item=") + QuoteFilterText(target)));
        set.Delete();
        QCOMPARE(set.GetRecordCount(), count - 1);
        set.MoveNext();
        if (after.isEmpty()) {
            QVERIFY(set.IsEOF());
        } else {
            QVERIFY(!set.IsEOF());
            QCOMPARE(set.m_Item, after);
        }
    }

    // A deleted record's place lies between its neighbours: moving n forward reaches the n-th record
    // after it, as MoveNext reaches the first.
    void moveAfterDeleteCountsFromTheDeletedRecordsPlace_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("reached");  // empty: outside the set
        QTest::newRow("one forward") << "r2" << 1 << "r3";
        QTest::newRow("two forward") << "r2" << 2 << "r4";
        QTest::newRow("one back") << "r2" << -1 << "r1";
        QTest::newRow("one forward from the last") << "r4" << 1 << "";
        QTest::newRow("one forward among own additions") << "a0" << 1 << "a1";
        QTest::newRow("one back among own additions") << "a1" << -1 << "a0";
        QTest::newRow("three back from the last") << "r4" << -3 << "r1";
    }
    void moveAfterDeleteCountsFromTheDeletedRecordsPlace()
    {
        QFETCH(QString, target);
        QFETCH(int, rows);
        QFETCH(QString, reached);
        TestInstallation install;
        FillMoney(5);
        CMoneyRecord set;
        set.m_strSort = QStringLiteral("Date");
        set.Open();
        if (target.startsWith(QLatin1Char('a'))) {
            for (int i = 0; i < 3; ++i)
                AddMoney(set, Day(1990, 1, 1 + i), QStringLiteral("a%1").arg(i), 0);
        }
        QVERIFY(set.FindFirst(QStringLiteral("Item=") + QuoteFilterText(target)));
        set.Delete();
        set.Move(rows);
        if (reached.isEmpty()) {
            QVERIFY(rows > 0 ? set.IsEOF() : set.IsBOF());
        } else {
            QVERIFY(!set.IsEOF() && !set.IsBOF());
            QCOMPARE(set.m_Item, reached);
        }
    }

    void rolledBackEditLeavesTheCursorOnTheStoredRecord()
    {
        TestInstallation install;
        FillMoney(5);
        CMoneyRecord set;
        set.m_strSort = QStringLiteral("Date");
        set.Open();
        QVERIFY(set.FindFirst(QStringLiteral("Item='r1'")));
        {
            SqlTransaction transaction(set.Connection());
            set.Edit();
            set.m_Date = Day(2030, 1, 1);
            set.m_Item = QStringLiteral("moved");
            set.Update();
        }
        set.MoveNext();
        QCOMPARE(set.m_Item, QStringLiteral("r2"));  // the record's place in the order is the stored one
        set.MovePrev();
        QCOMPARE(set.m_Item, QStringLiteral("r1"));
        QCOMPARE(set.m_Date, Day(2000, 1, 2));
    }

    void rolledBackDeleteLeavesTheRecordCurrentAndListed_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("after");
        QTest::newRow("record listed at the open") << "r1" << "r2";
        QTest::newRow("the set's own addition") << "a0" << "a1";
    }
    void rolledBackDeleteLeavesTheRecordCurrentAndListed()
    {
        QFETCH(QString, target);
        QFETCH(QString, after);
        TestInstallation install;
        FillMoney(3);
        CMoneyRecord set;
        set.m_strSort = QStringLiteral("Date");
        set.Open();
        AddMoney(set, Day(1990, 1, 1), QStringLiteral("a0"), 0);
        AddMoney(set, Day(1990, 1, 2), QStringLiteral("a1"), 0);
        QVERIFY(set.FindFirst(QStringLiteral("Item=") + QuoteFilterText(target)));
        {
            SqlTransaction transaction(set.Connection());
            set.Delete();
        }
        QCOMPARE(set.GetRecordCount(), 5L);
        set.Edit();  // the record is there again, and current
        set.m_Explain = QStringLiteral("kept");
        set.Update();
        set.MoveNext();
        QCOMPARE(set.m_Item, after);
        QStringList items;
        for (set.MoveFirst(); !set.IsEOF(); set.MoveNext())
            items << set.m_Item;
        QCOMPARE(items, QStringList({"r0", "r1", "r2", "a0", "a1"}));
        set.Close();
        set.m_strFilter = QStringLiteral("Explain='kept'");
        set.Open();
        QCOMPARE(set.GetRecordCount(), 1L);
        QCOMPARE(set.m_Item, target);
    }

    // The cursor against a plain model of the set: the records there at the open in (Date, ID) order,
    // then the set's own additions in the order added; a deleted current record keeps its place by key.
    void cursorFollowsThePlainListingThroughRandomWork_data()
    {
        QTest::addColumn<QString>("sort");
        QTest::addColumn<QString>("filter");  // the same text serves the set and plain SQL
        QTest::newRow("by date") << "Date" << "";
        QTest::newRow("by ID") << "" << "";
        QTest::newRow("by date, filtered") << "Date" << "Money>=10";
    }
    void cursorFollowsThePlainListingThroughRandomWork()
    {
        QFETCH(QString, sort);
        QFETCH(QString, filter);
        TestInstallation install;
        std::mt19937 random(20030501);
        auto pick = [&](int n) { return int(random() % unsigned(n)); };
        auto someDay = [&] { return Day(2003, 1, 1).addDays(pick(20)); };  // many records share a date
        {
            CMoneyRecord seed;
            seed.Open();
            for (int i = 0; i < 60; ++i)
                AddMoney(seed, someDay(), QStringLiteral("s%1").arg(i), i);
        }
        CMoneyRecord set;
        set.m_strSort = sort;
        set.m_strFilter = filter;
        set.Open();
        SqlConnection &db = set.Connection();
        const QString where0 = filter.isEmpty() ? QStringLiteral("ID <= ?") : QStringLiteral("ID <= ? AND ") + filter;
        const QString order = sort.isEmpty() ? QStringLiteral("ID") : QStringLiteral("Date, ID");
        auto number = [&](const QString &sql, const std::vector<SqlValue> &values = {}) {
            SqlStatement statement = db.Prepare(sql);
            statement.BindAll(values);
            return statement.Step() ? statement.Int(0) : qint64(0);
        };
        qint64 openedAt = number(QStringLiteral("SELECT max(ID) FROM Money"));
        std::vector<qint64> own;  // every record the set added, in the order added
        auto exists = [&](qint64 id) { return number(QStringLiteral("SELECT count(*) FROM Money WHERE ID=?"), {id}) > 0; };
        auto listing = [&] {
            QList<qint64> ids;
            SqlStatement base = db.Prepare(QStringLiteral("SELECT ID FROM Money WHERE %1 ORDER BY %2").arg(where0, order));
            base.Bind(1, openedAt);
            while (base.Step())
                ids << base.Int(0);
            for (qint64 id : own) {
                if (exists(id))
                    ids << id;
            }
            return ids;
        };

        enum class Where { BeforeFirst, AfterLast, On, Deleted } where = Where::On;
        qint64 on = listing().value(0);
        QString deletedDate;  // the deleted current record's key: its date and its ID (in `on`)
        // Records of the listing before the deleted current record's key.
        auto place = [&] {
            if (on > openedAt) {
                qint64 before = number(QStringLiteral("SELECT count(*) FROM Money WHERE ") + where0, {openedAt});
                for (qint64 id : own) {
                    if (id == on)
                        break;
                    before += exists(id) ? 1 : 0;
                }
                return before;
            }
            if (sort.isEmpty())
                return number(QStringLiteral("SELECT count(*) FROM Money WHERE %1 AND ID < ?").arg(where0), {openedAt, on});
            return number(QStringLiteral("SELECT count(*) FROM Money WHERE %1 AND (Date, ID) < (?, ?)").arg(where0),
                          {openedAt, deletedDate, on});
        };
        auto goTo = [&](qint64 index, const QList<qint64> &ids) {
            if (index < 0) {
                where = Where::BeforeFirst;
            } else if (index >= ids.size()) {
                where = Where::AfterLast;
            } else {
                where = Where::On;
                on = ids.at(index);
            }
        };
        auto deleteCurrentInModel = [&] {
            deletedDate = QString();
            SqlStatement date = db.Prepare(QStringLiteral("SELECT Date FROM Money WHERE ID=?"));
            date.Bind(1, on);
            if (date.Step())
                deletedDate = date.Text(0);
            where = Where::Deleted;
        };

        for (int step = 0; step < 3000; ++step) {
            const QList<qint64> ids = listing();
            const qint64 size = ids.size();
            const int drawn = pick(16);
            const int operation = drawn >= 13 ? 9 : drawn;  // adds outweigh deletes, so the set stays populated
            QString name;
            switch (operation) {
            case 0:
                name = QStringLiteral("MoveFirst");
                set.MoveFirst();
                goTo(size > 0 ? 0 : size, ids);
                break;
            case 1:
                name = QStringLiteral("MoveLast");
                set.MoveLast();
                goTo(size > 0 ? size - 1 : size, ids);
                break;
            case 2:
            case 3: {
                name = QStringLiteral("MoveNext");
                set.MoveNext();
                switch (where) {
                case Where::BeforeFirst: goTo(size > 0 ? 0 : size, ids); break;
                case Where::AfterLast: break;
                case Where::On: goTo(ids.indexOf(on) + 1, ids); break;
                case Where::Deleted: goTo(place(), ids); break;
                }
                break;
            }
            case 4: {
                name = QStringLiteral("MovePrev");
                set.MovePrev();
                switch (where) {
                case Where::BeforeFirst: break;
                case Where::AfterLast: goTo(size > 0 ? size - 1 : size, ids); break;
                case Where::On: goTo(ids.indexOf(on) - 1, ids); break;
                case Where::Deleted: goTo(place() - 1, ids); break;
                }
                break;
            }
            case 5: {
                const int rows = pick(2) == 0 ? 1 + pick(6) : -1 - pick(6);
                name = QStringLiteral("Move(%1)").arg(rows);
                qint64 from = where == Where::BeforeFirst ? -1
                              : where == Where::AfterLast ? size
                              : where == Where::On        ? ids.indexOf(on)
                                                          : (rows > 0 ? place() - 1 : place());
                set.Move(rows);
                goTo(std::clamp<qint64>(from + rows, -1, size), ids);
                break;
            }
            case 6: {
                if (size == 0)
                    continue;
                const qint64 id = ids.at(pick(int(size)));
                name = QStringLiteral("FindFirst %1").arg(id);
                QVERIFY(set.FindFirst(QStringLiteral("ID=%1").arg(id)));
                where = Where::On;
                on = id;
                break;
            }
            case 7:
                if (where != Where::On)
                    continue;
                name = QStringLiteral("Edit %1").arg(on);
                set.Edit();
                set.m_Date = someDay();
                set.Update();
                break;
            case 8:
                if (where != Where::On)
                    continue;
                name = QStringLiteral("Delete %1").arg(on);
                deleteCurrentInModel();
                set.Delete();
                break;
            case 9:
                name = QStringLiteral("AddNew");
                AddMoney(set, someDay(), QStringLiteral("a%1").arg(step), 0);
                own.push_back(set.LastAddedId());
                break;
            case 10: {
                if (size == 0)
                    continue;
                const qint64 id = ids.at(pick(int(size)));
                name = QStringLiteral("deleted elsewhere %1").arg(id);
                if (where == Where::On && id == on)
                    deleteCurrentInModel();
                CMoneyRecord other;
                other.Open();
                QVERIFY(other.FindFirst(QStringLiteral("ID=%1").arg(id)));
                other.Delete();
                break;
            }
            case 11: {
                if (size == 0)
                    continue;
                const qint64 id = ids.at(pick(int(size)));
                name = QStringLiteral("rolled back change of %1").arg(id);
                {
                    SqlTransaction transaction(db);
                    QVERIFY(set.FindFirst(QStringLiteral("ID=%1").arg(id)));
                    if (pick(2) == 0) {
                        set.Delete();
                    } else {
                        set.Edit();
                        set.m_Date = someDay();
                        set.Update();
                    }
                    AddMoney(set, someDay(), QStringLiteral("lost"), 0);
                }
                where = Where::On;
                on = id;
                break;
            }
            case 12:
                name = QStringLiteral("reopened");
                set.Close();
                set.Open();
                openedAt = number(QStringLiteral("SELECT ifnull(max(ID), 0) FROM Money"));
                own.clear();
                goTo(size > 0 ? 0 : size, listing());
                break;
            }
            const QString at = QStringLiteral("step %1 (%2): ").arg(step).arg(name);
            const QList<qint64> now = listing();
            QVERIFY2(set.GetRecordCount() == now.size(), qPrintable(at + QStringLiteral("count %1, listing %2").arg(set.GetRecordCount()).arg(now.size())));
            switch (where) {
            case Where::BeforeFirst:
                QVERIFY2(set.IsBOF(), qPrintable(at + QStringLiteral("not before the first")));
                break;
            case Where::AfterLast:
                QVERIFY2(set.IsEOF(), qPrintable(at + QStringLiteral("not after the last")));
                break;
            case Where::On:
                QVERIFY2(set.CurrentId() == on && set.m_ID == on,
                         qPrintable(at + QStringLiteral("on %1, expected %2").arg(set.CurrentId()).arg(on)));
                QVERIFY2(!set.IsEOF() && !set.IsBOF(), qPrintable(at + QStringLiteral("at an end")));
                break;
            case Where::Deleted:
                QVERIFY2(set.CurrentId() == 0, qPrintable(at + QStringLiteral("still on %1").arg(set.CurrentId())));
                break;
            }
        }
    }


    void keptTotalsFollowEveryChange()
    {
        TestInstallation install;
        FillMoney(40);
        auto db = OpenLedgerDatabase(install.DataFile("Kinward.db"));
        db->Execute(QStringLiteral("INSERT INTO Current (MKind, Money) VALUES ('人民币', 5), ('美元', 7), ('人民币', -2.5)"));
        db->Execute(QStringLiteral("UPDATE Current SET MKind='人民币' WHERE Money=7"));
        db->Execute(QStringLiteral("UPDATE Current SET Money=9 WHERE Money=5"));
        db->Execute(QStringLiteral("INSERT INTO Deposit (MKind, BMoney, EMoney) VALUES ('人民币', 100, 110), ('美元', 1, 2)"));
        db->Execute(QStringLiteral("UPDATE Deposit SET MKind='美元', BMoney=50"));
        db->Execute(QStringLiteral("INSERT INTO InsureRecord (Money) VALUES (-300), (1000), (-250)"));
        db->Execute(QStringLiteral("UPDATE InsureRecord SET Money=20 WHERE Money=-250"));
        db->Execute(QStringLiteral("INSERT INTO Article (Cost, Value) VALUES (10, 4), (20, 8)"));
        db->Execute(QStringLiteral("DELETE FROM Money WHERE Money > 30"));
        db->Execute(QStringLiteral("UPDATE Money SET Money = -Money WHERE Money < 5"));
        SqlStatement kept = db->Prepare(QStringLiteral("SELECT Name, Value FROM Totals"));
        int checked = 0;
        while (kept.Step()) {
            const QStringList parts = kept.Text(0).split(QLatin1Char('|'));
            const QString where = parts.at(2).isEmpty() ? QStringLiteral("1") : parts.at(2);
            // Amounts are kept in whole cents.
            const QString what = parts.at(1) == QStringLiteral("count")
                                     ? QStringLiteral("count(*)")
                                     : QStringLiteral("ifnull(sum(CAST(round(%1*100) AS INTEGER)),0)").arg(parts.at(1));
            SqlStatement actual = db->Prepare(QStringLiteral("SELECT %1 FROM \"%2\" WHERE %3").arg(what, parts.at(0), where));
            actual.Step();
            QVERIFY2(actual.Int(0) == kept.Int(1), qPrintable(kept.Text(0)));
            ++checked;
        }
        QCOMPARE(checked, 17);
        CMoneyRecord set;
        set.Open();
        QCOMPARE(set.GetRecordCount(), 31L);
    }

    void noEndDateSentinelIsStored()
    {
        TestInstallation install;
        CInsureNoteRecord set;
        set.Open();
        set.AddNew();
        set.m_Name = QStringLiteral("家财险");
        set.m_EndDate = NoEndDate();
        set.Update();
        set.MoveLast();
        QCOMPARE(set.m_EndDate, LedgerDateTime(QDate(1979, 11, 25), QTime(0, 0)));
        SqlStatement raw = set.Connection().Prepare(QStringLiteral("SELECT EndDate FROM InsureNote"));
        QVERIFY(raw.Step());
        QCOMPARE(raw.Text(0), QStringLiteral("1979-11-25 00:00:00"));
    }

    void missingDatabaseIsReported()
    {
        TestInstallation install;
        QVERIFY(QFile::remove(install.DataFile("Kinward.db")));
        CMoneyRecord set;
        try {
            set.Open();
            QFAIL("opening a missing database must fail");
        } catch (const DbError &error) {
            QVERIFY(error.Message().contains(QStringLiteral("Kinward.db")));
        }
        QVERIFY(!QFile::exists(install.DataFile("Kinward.db")));  // never created by the program
    }
};

QTEST_GUILESS_MAIN(TestRecordSet)
#include "tst_recordset.moc"
