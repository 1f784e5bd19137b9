// The income and expense book: pages, pull-up after a delete, search across pages, totals.
#include "db/CMoneyBook.h"
#include "db/DbError.h"

#include "BookSpy.h"
#include "MessageRecorder.h"
#include "TestInstallation.h"

#include <QTest>

namespace {

QDateTime Day(int n)
{
    return LedgerDateTime(QDate(2000, 1, 1).addDays(n), QTime(12, 0));
}

// Money holds n records: record i is dated day i with item "r<i>" and amount i (expenses every seventh).
void Seed(CMoneyBook &book, int n)
{
    book.ShowPage(1, QStringLiteral("Date"));
    for (int i = 0; i < n; ++i)
        book.Add(Day(i), QStringLiteral("r%1").arg(i), i % 7 == 6 ? -i : i, QStringLiteral("Li"), QString());
    book.Close();
    book.ShowPage(1, QStringLiteral("Date"));
}

double FreshTotal()
{
    CMoneyBook fresh;
    fresh.ShowPage(1, QStringLiteral("Date"));
    fresh.ComputeTotal();
    return fresh.GetTotal();
}

} // namespace

class TestMoneyBook : public QObject
{
    Q_OBJECT
private slots:
    void threePagesAndThePullUp()
    {
        TestInstallation install;
        CMoneyBook book;
        Seed(book, 250);
        book.ComputeTotal();
        QCOMPARE(book.GetPageCount(), 3);
        QCOMPARE(book.GetCurrentPage(), 1);
        QCOMPARE(book.GetItemCount(), 100);
        book.ShowPage(3, QStringLiteral("Date"));
        QCOMPARE(book.GetItemCount(), 50);
        QCOMPARE(book.GetItemText(0, 1), QStringLiteral("r200"));

        book.ShowPage(1, QStringLiteral("Date"));
        BookSpy spy(book);
        book.SetSelected(5);
        QVERIFY(book.Remove());
        QCOMPARE(book.GetItemCount(), 100);
        QCOMPARE(book.GetItemText(99, 1), QStringLiteral("r100"));  // the first record of page 2
        QCOMPARE(book.GetItemText(5, 1), QStringLiteral("r6"));
        QCOMPARE(book.GetSelected(), 5);
        QCOMPARE(spy.selected, QList<int>({5}));
        QCOMPARE(book.GetTotal(), FreshTotal());

        book.ShowPage(2, QStringLiteral("Date"));
        QCOMPARE(book.GetItemText(0, 1), QStringLiteral("r101"));  // nothing skipped, nothing shown twice
    }

    void deletingTheLastRowOfTheLastPageStepsBack()
    {
        TestInstallation install;
        CMoneyBook book;
        Seed(book, 101);
        book.ShowPage(2, QStringLiteral("Date"));
        QCOMPARE(book.GetItemCount(), 1);
        book.SetSelected(0);
        QVERIFY(book.Remove());
        QCOMPARE(book.GetCurrentPage(), 1);
        QCOMPARE(book.GetPageCount(), 1);
        QCOMPARE(book.GetItemCount(), 100);
        QCOMPARE(book.GetSelected(), -1);
    }

    void deletingTheLastRecordEmptiesEverything()
    {
        TestInstallation install;
        CMoneyBook book;
        Seed(book, 1);
        book.SetSelected(0);
        QVERIFY(!book.Remove());
        QCOMPARE(book.GetPageCount(), 0);
        QCOMPARE(book.GetCurrentPage(), 0);
        QCOMPARE(book.GetSelected(), -1);
        QCOMPARE(book.GetTotal(), 0.0);
    }

    void addingToAFullPage()
    {
        TestInstallation install;
        CMoneyBook book;
        Seed(book, 100);
        QCOMPARE(book.GetPageCount(), 1);
        book.Add(Day(500), QStringLiteral("new"), 5, QStringLiteral("Li"), QString());
        QCOMPARE(book.GetItemCount(), 100);
        QCOMPARE(book.GetPageCount(), 2);
        book.ShowPage(2, QStringLiteral("Date"));
        QCOMPARE(book.GetItemCount(), 1);
        book.Add(Day(501), QStringLiteral("newer"), -2.5, QStringLiteral("Li"), QString());
        QCOMPARE(book.GetItemCount(), 2);
        QCOMPARE(book.GetItemText(1, 1), QStringLiteral("newer"));
        QCOMPARE(book.GetItemText(1, 3), QStringLiteral("-2.5"));
        QVERIFY(book.GetItemData(1) > book.GetItemData(0));
    }

    void firstAddOnAnEmptyTable()
    {
        TestInstallation install;
        CMoneyBook book;
        book.ShowPage(1, QStringLiteral("Date"));
        QCOMPARE(book.GetCurrentPage(), 0);
        book.Add(Day(1), QStringLiteral("工资"), 1000, QStringLiteral("Li"), QStringLiteral("note"));
        QCOMPARE(book.GetCurrentPage(), 1);
        QCOMPARE(book.GetPageCount(), 1);
        QCOMPARE(book.GetRowTexts(0), QStringList({"2000-01-02", "工资", "1000", "", "Li", "note"}));
    }

    void modifyMovesTheAmountToTheColumnOfItsSign()
    {
        TestInstallation install;
        CMoneyBook book;
        Seed(book, 3);
        book.ComputeTotal();
        book.SetSelected(1);
        QCOMPARE(book.GetItemText(1, 2), QStringLiteral("1"));
        book.Modify(Day(1), QStringLiteral("餐饮"), -12.35, QStringLiteral("Wang"), QStringLiteral("x"));
        QCOMPARE(book.GetRowTexts(1), QStringList({"2000-01-02", "餐饮", "", "-12.35", "Wang", "x"}));
        QCOMPARE(book.GetTotal(), FreshTotal());
        book.Close();
        book.ShowPage(1, QStringLiteral("Date"));
        QCOMPARE(book.GetRowTexts(1), QStringList({"2000-01-02", "餐饮", "", "-12.35", "Wang", "x"}));
    }

    void searchTurnsThePage()
    {
        TestInstallation install;
        MessageRecorder messages;
        CMoneyBook book;
        Seed(book, 250);
        BookSpy spy(book);
        QVERIFY(book.FindRecords(QString(), false, QStringLiteral("r100"), true, QString(), false, QString(), false));
        QVERIFY(!book.FindNext());
        QCOMPARE(book.GetCurrentPage(), 2);
        QCOMPARE(book.GetSelected(), 0);
        QCOMPARE(spy.selected, QList<int>({0}));

        QVERIFY(book.FindRecords(QString(), false, QString(), false, QString(), false, QStringLiteral("Li"), true));
        int found = 1;
        while (book.FindNext())
            ++found;
        QCOMPARE(found, 250);
        QCOMPARE(book.GetCurrentPage(), 3);
        QCOMPARE(book.GetSelected(), 49);

        QVERIFY(book.FindRecords(QStringLiteral("2000-01-11"), true, QString(), false, QStringLiteral("10"), true,
                                 QString(), false));
        QVERIFY(!book.FindNext());
        QCOMPARE(book.GetCurrentPage(), 1);
        QCOMPARE(book.GetItemText(book.GetSelected(), 1), QStringLiteral("r10"));

        QVERIFY(!book.FindRecords(QString(), false, QString(), false, QStringLiteral("10.5"), true, QString(), false));
        QCOMPARE(messages.Last(), QStringLiteral("当前没有匹配的记录"));
        QCOMPARE(messages.messages.last().caption, QStringLiteral("查找"));
    }

    void filterKeptAcrossPagesAndTotalLeftAlone()
    {
        TestInstallation install;
        CMoneyBook book;
        Seed(book, 250);
        book.ComputeTotal();
        const double total = book.GetTotal();
        book.SetFilter(QStringLiteral("Date>#2000-2-19#"));  // day 49 at noon is after midnight of that day
        QCOMPARE(book.GetPageCount(), 3);
        QCOMPARE(book.GetItemText(0, 1), QStringLiteral("r49"));
        book.ShowPage(3, QStringLiteral("Date"));
        QCOMPARE(book.GetItemCount(), 1);
        QCOMPARE(book.GetTotal(), total);

        book.SetFilter(QStringLiteral("Date>#2030-1-1#"));
        QCOMPARE(book.GetItemCount(), 0);
        QCOMPARE(book.GetPageCount(), 0);
        QCOMPARE(book.GetCurrentPage(), 0);
        QCOMPARE(book.GetFirstDate(), Day(0));
        QCOMPARE(book.GetLastDate(), Day(249));
        QCOMPARE(book.GetFilter(), QStringLiteral("Date>#2030-1-1#"));
    }

    void refusedFilterKeepsThePreviousOne()
    {
        TestInstallation install;
        CMoneyBook book;
        Seed(book, 150);
        book.SetFilter(QStringLiteral("Date>#2000-3-1#"));
        QCOMPARE(book.GetItemCount(), 90);
        QVERIFY_THROWS_EXCEPTION(DbError, book.SetFilter(QStringLiteral("Date>2000")));
        QCOMPARE(book.GetFilter(), QStringLiteral("Date>#2000-3-1#"));
        QCOMPARE(book.GetPageCount(), 1);
        QCOMPARE(book.GetItemCount(), 90);
        QCOMPARE(book.GetItemText(0, 1), QStringLiteral("r60"));
    }

    void edgeDatesOfAnEmptyTableAreNow()
    {
        TestInstallation install;
        CMoneyBook book;
        book.ShowPage(1, QStringLiteral("Date"));
        const QDateTime before = LedgerNow().addSecs(-1);
        QVERIFY(book.GetFirstDate() >= before);
        QVERIFY(book.GetLastDate() >= before);
    }

    void totalsStayTrueThroughMixedChanges()
    {
        TestInstallation install;
        CMoneyBook book;
        Seed(book, 120);
        book.ComputeTotal();
        book.Add(Day(3), QStringLiteral("a"), 0.1, QStringLiteral("Li"), QString());
        book.SetSelected(10);
        book.Modify(Day(3), QStringLiteral("b"), -0.2, QStringLiteral("Li"), QString());
        book.SetSelected(99);
        book.Remove();
        book.ShowPage(2, QStringLiteral("Date"));
        book.SetSelected(0);
        book.Remove();
        QVERIFY(qAbs(book.GetTotal() - FreshTotal()) < 1e-9);
    }
};

QTEST_GUILESS_MAIN(TestMoneyBook)
#include "tst_moneybook.moc"
