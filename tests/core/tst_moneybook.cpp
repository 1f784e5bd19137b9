// The income and expense book: pages, pull-up after a delete, search across pages, totals.
#include "common/Amount.h"
#include "db/CMoneyBook.h"
#include "db/CMoneyRecord.h"
#include "db/DbError.h"
#include "db/KeptFigures.h"
#include "db/Ledger.h"
#include "db/LedgerBackups.h"
#include "db/BlockPositions.h"
#include "db/FilterParser.h"
#include "db/MoneyBlocks.h"
#include "common/Paths.h"
#include "db/SqlConnection.h"
#include "entry/MemoRules.h"

#include "BookSpy.h"
#include "CommittedView.h"
#include "DeferredGuard.h"
#include "MessageRecorder.h"
#include "TestInstallation.h"

#include <QSet>
#include <limits>
#include <QTest>
#include <tuple>
#include <sqlite3.h>

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

// The book's list order as plain SQL gives it: the records there when its set was opened, by date and
// ID, then the ones the book added since, in the order added.
QList<qint64> Listing(const TestInstallation &install, const QList<qint64> &added)
{
    CommittedView view(install.DataFile("Kinward.db"));
    QList<qint64> ids;
    for (const QString &id : view.Rows(QStringLiteral("SELECT ID FROM Money ORDER BY Date, ID"))) {
        if (!added.contains(id.toLongLong()))
            ids << id.toLongLong();
    }
    return ids + added;
}

QList<qint64> PageIds(const CMoneyBook &book)
{
    QList<qint64> ids;
    for (int row = 0; row < book.GetItemCount(); ++row)
        ids << book.GetItemData(row);
    return ids;
}

// Shows every page in turn and checks each against its part of the listing.
void CheckEveryPage(CMoneyBook &book, const QList<qint64> &listing)
{
    QCOMPARE(book.GetPageCount(), int((listing.size() + 99) / 100));
    QList<qint64> shown;
    for (int page = 1; page <= book.GetPageCount(); ++page) {
        book.ShowPage(page, QStringLiteral("Date"));
        QCOMPARE(PageIds(book), listing.mid((page - 1) * 100, 100));
        shown += PageIds(book);
    }
    QCOMPARE(shown, listing);  // every record on exactly one page
}

qint64 IdOf(const TestInstallation &install, const QString &item)
{
    CommittedView view(install.DataFile("Kinward.db"));
    return view.Number(QStringLiteral("SELECT ID FROM Money WHERE Item='%1'").arg(item));
}

int RowOf(const CMoneyBook &book, const QString &item)
{
    for (int row = 0; row < book.GetItemCount(); ++row) {
        if (book.GetItemText(row, 1) == item)
            return row;
    }
    return -1;
}


constexpr int kTestBlockSize = 64;

// 6,000 records over five and a half years, three a day with three items: pages cross month ends, and
// a middle page lies thousands of records from either end.
void SeedMonths(const TestInstallation &install, CMoneyBook &book)
{
    auto db = OpenLedgerDatabase(install.DataFile("Kinward.db"));
    SqlTransaction transaction(*db);
    SqlStatement insert = db->Prepare(QStringLiteral("INSERT INTO Money (Date, Item, Money, Member, Explain) VALUES (?,?,?,?,'')"));
    const QStringList items{QStringLiteral("餐饮"), QStringLiteral("工资"), QStringLiteral("买菜")};
    for (int i = 0; i < 6000; ++i) {
        insert.Reset();
        insert.BindAll({DbDateText(LedgerDateTime(QDate(2003, 1, 1).addDays(i / 3), QTime(8 + i % 3, 0))), items.at(i % 3),
                        i % 3 == 1 ? 100.0 : -10.0, i % 2 ? QStringLiteral("Li") : QStringLiteral("Wang")});
        insert.Run();
    }
    // Blocks of 64 records rather than thousands: the list then spans a hundred blocks, and the edits
    // of a test split and empty them.
    LayMoneyBlocks(*db, kTestBlockSize);
    transaction.Commit();
    book.ShowPage(1, QStringLiteral("Date"));
}

// 700 records more at one moment of 2004-06-15, written after the others: a day crowded enough to
// span blocks, its records of two items and two members.
void CrowdOneDay(const TestInstallation &install)
{
    auto db = OpenLedgerDatabase(install.DataFile("Kinward.db"));
    SqlTransaction transaction(*db);
    SqlStatement insert = db->Prepare(QStringLiteral("INSERT INTO Money (Date, Item, Money, Member, Explain) VALUES (?,?,?,?,'')"));
    for (int i = 0; i < 700; ++i) {
        insert.Reset();
        insert.BindAll({DbDateText(LedgerDateTime(QDate(2004, 6, 15), QTime(9, 0))), i % 2 ? QStringLiteral("餐饮") : QStringLiteral("买菜"),
                        -1.0, i % 3 ? QStringLiteral("Li") : QStringLiteral("Wang")});
        insert.Run();
    }
    transaction.Commit();
}

qint64 HighestId(const TestInstallation &install)
{
    return CommittedView(install.DataFile("Kinward.db")).Rows(QStringLiteral("SELECT max(ID) FROM Money")).value(0).toLongLong();
}

// The order of a filtered book as plain SQL gives it: the matching records up to the highest ID at the
// open, by date and ID, then the ones the book added since that are still there.
QList<qint64> FilteredListing(const TestInstallation &install, const QString &where, qint64 highestAtOpen,
                              const QList<qint64> &added)
{
    CommittedView view(install.DataFile("Kinward.db"));
    QList<qint64> ids;
    const QString sql = QStringLiteral("SELECT ID FROM Money WHERE (%1) AND ID <= %2 ORDER BY Date, ID")
                            .arg(where.isEmpty() ? QStringLiteral("1") : where)
                            .arg(highestAtOpen);
    for (const QString &id : view.Rows(sql))
        ids << id.toLongLong();
    for (qint64 id : added) {
        if (!view.Rows(QStringLiteral("SELECT ID FROM Money WHERE ID = %1").arg(id)).isEmpty())
            ids << id;
    }
    return ids;
}

// The month figures as they would be computed afresh from the records.
void CheckMonthFigures(const TestInstallation &install)
{
    CommittedView view(install.DataFile("Kinward.db"));
    const QString month = QStringLiteral("(CASE WHEN typeof(Date)='text' THEN substr(Date,1,7) ELSE '' END)");
    QCOMPARE(view.Rows(QStringLiteral("SELECT Month, Item, Sign, N, Cents FROM MoneyMonthItems ORDER BY 1, 2, 3")),
             view.Rows(QStringLiteral("SELECT %1, Item, CASE WHEN Money < 0 THEN -1 ELSE 1 END, count(*), "
                                      "sum(CAST(round(Money * 100) AS INTEGER)) FROM Money GROUP BY 1, 2, 3 ORDER BY 1, 2, 3")
                          .arg(month)));
    QCOMPARE(view.Rows(QStringLiteral("SELECT Month, N FROM MoneyMonths ORDER BY 1")),
             view.Rows(QStringLiteral("SELECT %1, count(*) FROM Money GROUP BY 1 ORDER BY 1").arg(month)));
}

// The block counts as they would be computed afresh: each block's records are those from its start to
// the next block's, per item and member too; no block but the first is empty or past twice the size.
void CheckBlockFigures(const TestInstallation &install, bool cut = true, int blockSize = kTestBlockSize)
{
    CommittedView view(install.DataFile("Kinward.db"));
    const QString blocks = QStringLiteral(
        "WITH b AS (SELECT Start, StartId, N, lead(Start) OVER w AS NS, lead(StartId) OVER w AS NI FROM MoneyBlocks "
        "WINDOW w AS (ORDER BY Start, StartId)) ");
    const QString inBlock = QStringLiteral("(m.Date, m.ID) >= (b.Start, b.StartId) AND (b.NS IS NULL OR (m.Date, m.ID) < (b.NS, b.NI))");
    QCOMPARE(view.Rows(blocks + QStringLiteral("SELECT count(*) FROM b WHERE N <> (SELECT count(*) FROM Money m WHERE %1)").arg(inBlock)),
             QStringList{QStringLiteral("0")});
    QCOMPARE(view.Rows(blocks + QStringLiteral("SELECT count(*) FROM MoneyBlockParts p JOIN b USING (Start, StartId) WHERE p.N <> "
                                               "(SELECT count(*) FROM Money m WHERE %1 AND m.Item = p.Item AND m.Member = p.Member)")
                                    .arg(inBlock)),
             QStringList{QStringLiteral("0")});
    QCOMPARE(view.Rows(QStringLiteral("SELECT count(*) FROM MoneyBlocks b WHERE N <> (SELECT ifnull(sum(N), 0) FROM MoneyBlockParts p "
                                      "WHERE p.Start = b.Start AND p.StartId = b.StartId)")),
             QStringList{QStringLiteral("0")});
    // Cut to size by the book's writes; written around the book, a block may have grown meanwhile.
    QCOMPARE(view.Rows(QStringLiteral("SELECT count(*) FROM MoneyBlocks WHERE N > %1 OR (N <= 0 AND Start > -9e999)")
                           .arg(cut ? 2 * blockSize : std::numeric_limits<int>::max())),
             QStringList{QStringLiteral("0")});
    QCOMPARE(view.Rows(QStringLiteral("SELECT sum(N) FROM MoneyBlocks")), view.Rows(QStringLiteral("SELECT count(*) FROM Money")));
}

// Writes to the installation's file with plain SQLite, as another program would, bypassing the
// program's own connection and its kept figures. True when the statement ran.
bool WriteOutside(const TestInstallation &install, const QString &sql)
{
    sqlite3 *raw = nullptr;
    const bool opened = sqlite3_open(install.DataFile("Kinward.db").toUtf8().constData(), &raw) == SQLITE_OK;
    const bool ran = opened && sqlite3_exec(raw, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(raw);
    return ran;
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
        QCOMPARE(spy.selected, QList<int>({5, 5}));  // chosen, then the row below moved up into it
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
        QCOMPARE(spy.selected, QList<int>({-1, 0}));  // the new page starts without a choice

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

    void filterSinceAMonthListsItsFirstMidnight()
    {
        TestInstallation install;
        CMoneyBook book;
        book.ShowPage(1, QStringLiteral("Date"));
        book.Add(LedgerDateTime(QDate(2003, 4, 30), QTime(23, 59, 59)), QStringLiteral("before"), 1, "Li", QString());
        book.Add(LedgerDateTime(QDate(2003, 5, 1), QTime(0, 0)), QStringLiteral("midnight"), 2, "Li", QString());
        book.Add(LedgerDateTime(QDate(2003, 5, 20), QTime(9, 0)), QStringLiteral("later"), 3, "Li", QString());
        book.SetFilter(FilterCondition(FilterChoice::SinceMonth, QDate(2003, 5, 20)));
        QCOMPARE(book.GetItemCount(), 2);
        QCOMPARE(book.GetItemText(0, 1), QStringLiteral("midnight"));
        book.SetFilter(FilterCondition(FilterChoice::SinceDay, QDate(2003, 5, 20)));
        QCOMPARE(book.GetItemCount(), 1);
        book.SetFilter(FilterCondition(FilterChoice::All, QDate(2003, 5, 20)));
        QCOMPARE(book.GetItemCount(), 3);
        QCOMPARE(book.GetFilter(), QString());
    }

    // Matches are numbered in the list as it stood: after any change they would select other records.
    void findStepsThroughWhatTheWalkFinds()
    {
        // Matches are found one at a time as they are asked for; they must be exactly those a walk of
        // the list finds, in its order: over month ends, in a crowded month, under a filter, and among
        // the records the book added after it opened.
        TestInstallation install;
        MessageRecorder messages;
        CMoneyBook book;
        SeedMonths(install, book);
        CrowdOneDay(install);  // a month crowded on one day
        book.Close();
        book.ShowPage(1, QStringLiteral("Date"));
        book.Add(LedgerDateTime(QDate(2003, 2, 1)), QStringLiteral("餐饮"), -5, QStringLiteral("Li"), QString());
        book.Add(LedgerDateTime(QDate(2009, 1, 1)), QStringLiteral("工资"), 5, QStringLiteral("Wang"), QString());

        struct Criteria
        {
            QString date, item, member;
        };
        const QList<Criteria> searches{{QString(), QStringLiteral("餐饮"), QStringLiteral("Li")},
                                       {QString(), QString(), QStringLiteral("Wang")},
                                       {QStringLiteral("2004-06-15"), QString(), QStringLiteral("Wang")},
                                       {QString(), QStringLiteral("工资"), QString()}};
        int searchesWithMatches = 0;
        for (const QString &filter : {QString(), QStringLiteral("Item='餐饮'"), QStringLiteral("Date>=#2004-6-1#"),
                                      QStringLiteral("Member='Li'")}) {
            book.SetFilter(filter);
            const QList<QStringList> rows = book.AllRowTexts();
            for (const Criteria &search : searches) {
                QList<int> walked;
                for (int row = 0; row < rows.size(); ++row) {
                    const QStringList &texts = rows.at(row);
                    if ((search.date.isEmpty() || texts.at(0).startsWith(search.date))
                        && (search.item.isEmpty() || texts.at(1) == search.item)
                        && (search.member.isEmpty() || texts.at(4) == search.member))
                        walked << row;
                }
                QList<int> stepped;
                messages.Clear();
                if (book.FindRecords(search.date, !search.date.isEmpty(), search.item, !search.item.isEmpty(), QString(),
                                     false, search.member, !search.member.isEmpty())) {
                    bool more = true;
                    while (more) {
                        more = book.FindNext();
                        stepped << (book.GetCurrentPage() - 1) * 100 + book.GetSelected();
                    }
                } else {
                    QCOMPARE(messages.Last(), QStringLiteral("当前没有匹配的记录"));
                }
                QCOMPARE(stepped, walked);
                searchesWithMatches += walked.isEmpty() ? 0 : 1;
            }
        }
        QCOMPARE(searchesWithMatches, 13);  // all but 工资 among 餐饮 and Wang among Li
    }

    void everyChangeForgetsTheMatches()
    {
        TestInstallation install;
        MessageRecorder messages;
        CMoneyBook book;
        Seed(book, 30);
        int told = 0;
        book.SetFindWatcher([&] { ++told; });
        const auto findLi = [&] {
            QVERIFY(book.FindRecords(QString(), false, QString(), false, QString(), false, QStringLiteral("Li"), true));
            QVERIFY(book.FindNext());
            QVERIFY(book.FindsWaiting());
        };
        findLi();
        book.ShowPage(1, QStringLiteral("Date"));  // turning pages changes nothing
        QVERIFY(book.FindsWaiting());
        book.Add(Day(2), QStringLiteral("new"), 5, QStringLiteral("Li"), QString());
        QVERIFY(!book.FindsWaiting());
        QCOMPARE(told, 1);
        QVERIFY(!book.FindNext());

        findLi();
        book.SetSelected(3);
        QVERIFY(book.Remove());
        QVERIFY(!book.FindsWaiting());
        QCOMPARE(book.GetSelected(), 3);
        QVERIFY(!book.FindNext());
        QCOMPARE(book.GetSelected(), 3);  // nothing else selected

        findLi();
        book.SetSelected(0);
        QVERIFY(book.Modify(Day(0), QStringLiteral("r0"), 1, QStringLiteral("Wang"), QString()));
        QVERIFY(!book.FindsWaiting());

        findLi();
        book.SetFilter(QStringLiteral("Date>=#2000-1-10#"));
        QVERIFY(!book.FindsWaiting());
        QCOMPARE(told, 4);
        book.SetFindWatcher({});
        findLi();
        book.SetFilter(QString());  // no watcher left to call
        QVERIFY(!book.FindsWaiting());
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

    void centsLeaveNoFloatNoise_data()
    {
        QTest::addColumn<QList<double>>("amounts");
        QTest::newRow("0.1 + 0.7 - 0.8") << QList<double>{0.1, 0.7, -0.8};
        QTest::newRow("0.1 + 0.2 - 0.3") << QList<double>{0.1, 0.2, -0.3};
        QTest::newRow("three times 1.15 less 3.45") << QList<double>{1.15, 1.15, 1.15, -3.45};
    }
    void centsLeaveNoFloatNoise()
    {
        QFETCH(QList<double>, amounts);
        TestInstallation install;
        CMoneyBook book;
        book.ShowPage(1, QStringLiteral("Date"));
        for (double amount : amounts)
            book.Add(Day(1), QStringLiteral("x"), amount, QStringLiteral("Li"), QString());
        QCOMPARE(book.GetTotalCents(), Q_INT64_C(0));
        QCOMPARE(FormatAmount(book.GetTotal()), QStringLiteral("0"));
        CMoneyBook fresh;
        fresh.ShowPage(1, QStringLiteral("Date"));
        fresh.ComputeTotal();
        QCOMPARE(fresh.GetTotalCents(), Q_INT64_C(0));
        QCOMPARE(FormatAmount(fresh.GetTotal()), QStringLiteral("0"));
    }

    void pagesMatchThePlainListingAfterADateChangeAndADelete_data()
    {
        QTest::addColumn<int>("additions");
        QTest::newRow("records listed at the open only") << 0;
        QTest::newRow("with records the book added") << 3;
    }
    void pagesMatchThePlainListingAfterADateChangeAndADelete()
    {
        QFETCH(int, additions);
        TestInstallation install;
        CMoneyBook book;
        Seed(book, 250);
        QList<qint64> added;
        for (int i = 0; i < additions; ++i) {
            // Dated before every other record, yet listed last until the set is opened again.
            book.Add(Day(-1 - i), QStringLiteral("new%1").arg(i), 1, QStringLiteral("Li"), QString());
            added << IdOf(install, QStringLiteral("new%1").arg(i));
        }
        book.ShowPage(1, QStringLiteral("Date"));
        book.SetSelected(RowOf(book, QStringLiteral("r5")));
        QVERIFY(book.Modify(Day(300), QStringLiteral("r5"), 5, QStringLiteral("Li"), QString()));
        QCOMPARE(PageIds(book), Listing(install, added).mid(0, 100));
        book.SetSelected(RowOf(book, QStringLiteral("r10")));
        QVERIFY(book.Remove());
        const QList<qint64> listing = Listing(install, added);
        QCOMPARE(PageIds(book), listing.mid(0, 100));
        QVERIFY(PageIds(book).contains(IdOf(install, QStringLiteral("r100"))));
        CheckEveryPage(book, listing);
    }

    void pagesStayRightThroughEditsAtPageEnds_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("where");  // the same condition in plain SQL
        QTest::newRow("every record") << "" << "";
        QTest::newRow("one item") << "Item='餐饮'" << "Item='餐饮'";
        QTest::newRow("since a day") << "Date>#2003-6-15#" << "Date > '2003-06-15 00:00:00'";
        QTest::newRow("up to a moment") << "Date<=#2005-9-3 9:00:00#" << "Date <= '2005-09-03 09:00:00'";
        QTest::newRow("one member") << "Member='Li'" << "Member='Li'";
        QTest::newRow("an item and a member") << "Item='餐饮' AND Member='Wang'" << "Item='餐饮' AND Member='Wang'";
        QTest::newRow("two dates and an item")
            << "(Date>=#2004-6-1#) AND Date<#2006-1-1# AND Item<>'工资'"
            << "Date >= '2004-06-01 00:00:00' AND Date < '2006-01-01 00:00:00' AND Item <> '工资'";
        QTest::newRow("one day") << "Date=#2004-6-15 9:00:00#" << "Date = '2004-06-15 09:00:00'";
        QTest::newRow("an amount (walked)") << "Money<0 AND Member='Li'" << "Money < 0 AND Member='Li'";
    }
    void pagesStayRightThroughEditsAtPageEnds()
    {
        QFETCH(QString, filter);
        QFETCH(QString, where);
        TestInstallation install;
        MessageRecorder messages;
        CMoneyBook book;
        SeedMonths(install, book);
        CrowdOneDay(install);
        CheckBlockFigures(install, false);  // a block of more than twice the size, until the book writes
        book.SetFilter(filter);
        const qint64 highest = HighestId(install);
        CheckEveryPage(book, FilteredListing(install, where, highest, {}));

        // The last row of a page, then the first row of the next, deleted; a record moved across pages and
        // months; one added by the book (dated inside a middle page); one added elsewhere.
        const int middle = book.GetPageCount() / 2;
        book.ShowPage(middle, QStringLiteral("Date"));
        book.SetSelected(book.GetItemCount() - 1);
        QVERIFY(book.Remove());
        book.ShowPage(middle + 1, QStringLiteral("Date"));
        book.SetSelected(0);
        QVERIFY(book.Remove());
        book.SetSelected(50);
        const QDateTime moved = ParseDateText(book.GetItemText(50, 0)).addMonths(5);
        QVERIFY(book.Modify(moved, book.GetItemText(50, 1), 7, QStringLiteral("Li"), QString()));
        QVERIFY(book.Add(ParseDateText(book.GetItemText(20, 0)), QStringLiteral("餐饮"), -3, QStringLiteral("Li"), QString()));
        const QList<qint64> added{HighestId(install)};
        CMoneyBook elsewhere;
        elsewhere.ShowPage(1, QStringLiteral("Date"));
        QVERIFY(elsewhere.Add(LedgerDateTime(QDate(2003, 7, 1)), QStringLiteral("餐饮"), -4, QStringLiteral("Li"), QString()));
        CheckEveryPage(book, FilteredListing(install, where, highest, added));
        CheckMonthFigures(install);
        CheckBlockFigures(install);

        // Opened again, every record is in its place by date.
        book.SetFilter(filter);
        CheckEveryPage(book, FilteredListing(install, where, HighestId(install), {}));
        QVERIFY(messages.messages.isEmpty());
    }

    void blocksPlaceEveryPositionOfEachServedFilter()
    {
        // The list's order through the block counts alone: every position located, and every record's
        // position found back from its key, against the plain ordered listing; other filters decline.
        TestInstallation install;
        CMoneyBook book;
        SeedMonths(install, book);
        book.Close();
        auto db = OpenLedgerDatabase(install.DataFile("Kinward.db"));
        // Records added after the lists open are left out of them.
        db->Execute(QStringLiteral("INSERT INTO Money (Date, Item, Money, Member, Explain) VALUES "
                                   "('2004-06-15 09:00:00', '餐饮', -1, 'Li', ''), ('2003-01-01 00:00:00', '买菜', -1, 'Wang', '')"));
        const qint64 highest = HighestId(install) - 2;
        const std::vector<ColumnInfo> columns{{QStringLiteral("ID"), FieldType::Long}, {QStringLiteral("Date"), FieldType::DateTime},
                                              {QStringLiteral("Item"), FieldType::Text}, {QStringLiteral("Money"), FieldType::Double},
                                              {QStringLiteral("Member"), FieldType::Text}, {QStringLiteral("Explain"), FieldType::Text}};
        const ColumnLookup lookup = [&](const QString &name) -> std::optional<std::pair<QString, FieldType>> {
            for (const ColumnInfo &column : columns) {
                if (column.name.compare(name, Qt::CaseInsensitive) == 0)
                    return std::make_pair(column.name, column.type);
            }
            return std::nullopt;
        };
        const QList<std::pair<QString, QString>> served{
            {QString(), QString()},
            {QStringLiteral("Member='Li' AND Item='买菜'"), QStringLiteral("Member='Li' AND Item='买菜'")},
            {QStringLiteral("Date>#2004-2-29 9:00:00# AND Date<=#2005-1-1 8:00:00#"),
             QStringLiteral("Date > '2004-02-29 09:00:00' AND Date <= '2005-01-01 08:00:00'")},
            {QStringLiteral("Date=#2004-3-3 10:00:00#"), QStringLiteral("Date = '2004-03-03 10:00:00'")},
            {QStringLiteral("Date<#2003-1-1#"), QStringLiteral("Date < '2003-01-01 00:00:00'")}};
        for (const auto &[filter, where] : served) {
            const SqlCondition condition = ParseFilter(filter, lookup);
            KeysetQuery query(QStringLiteral("Money"), columns, condition, filter, 1, highest);
            query.SetNewer(true);
            const std::unique_ptr<BlockPositions> blocks = BlockPositions::For(QStringLiteral("Money"), QStringLiteral("Date"), condition);
            QVERIFY2(blocks, qPrintable(filter));
            QVERIFY2(blocks->Read(*db, query), qPrintable(filter));
            const QList<qint64> listing = FilteredListing(install, where, highest, {});
            QCOMPARE(blocks->Count(), qint64(listing.size()));
            QVERIFY(!blocks->Locate(listing.size()));
            for (qint64 position = 0; position < listing.size(); position += 7) {
                const auto place = blocks->Locate(position);
                QVERIFY(place);
                const std::vector<qint64> ids = query.IdsFrom(*db, place->offset, 1, false, &place->start);
                QCOMPARE(ids, std::vector<qint64>{listing.at(position)});
                const std::optional<SqlRow> row = query.ReadById(*db, listing.at(position));
                const SortKey key = query.KeyOf(*row);
                const auto block = blocks->BlockOf(*db, key);
                QVERIFY(block);
                QCOMPARE(block->offset + query.CountBetween(*db, block->start, &key), position);
            }
        }
        for (const QString &walked : {QStringLiteral("Member='Li' OR Item='买菜'"), QStringLiteral("Date<>#2004-1-1#"),
                                      QStringLiteral("NOT Item='买菜'"), QStringLiteral("Money>0")}) {
            QVERIFY2(!BlockPositions::For(QStringLiteral("Money"), QStringLiteral("Date"), ParseFilter(walked, lookup)),
                     qPrintable(walked));
        }
        QVERIFY(!BlockPositions::For(QStringLiteral("Money"), QStringLiteral("Item"), SqlCondition()));
    }

    void aRecordChangedOutOfTheFilterLeavesThePage()
    {
        TestInstallation install;
        MessageRecorder messages;
        CMoneyBook book;
        SeedMonths(install, book);
        book.SetFilter(QStringLiteral("Item='餐饮'"));
        const qint64 highest = HighestId(install);
        book.ShowPage(2, QStringLiteral("Date"));
        book.SetSelected(5);
        const qint64 changed = book.GetItemData(5);
        // The same date and time (餐饮 is seeded at 8:00), another item: the record no longer meets the filter.
        const QDateTime date = LedgerDateTime(ParseDateText(book.GetItemText(5, 0)).date(), QTime(8, 0));
        QVERIFY(book.Modify(date, QStringLiteral("工资"), 100, QStringLiteral("Li"), QString()));
        const QList<qint64> listing = FilteredListing(install, QStringLiteral("Item='餐饮'"), highest, {});
        QVERIFY(!listing.contains(changed));
        QCOMPARE(book.GetPageCount(), int((listing.size() + 99) / 100));
        QCOMPARE(PageIds(book), listing.mid(100, 100));
        CheckEveryPage(book, listing);
        QVERIFY(messages.messages.isEmpty());
    }

    void datesThatAreNotTextAreListedFirst()
    {
        TestInstallation install;
        CMoneyBook book;
        SeedMonths(install, book);
        book.Close();
        // A hand-edited file: one date written as a number sorts before every date text.
        OpenLedgerDatabase(install.DataFile("Kinward.db"))->Execute(QStringLiteral("UPDATE Money SET Date = 20040105 WHERE ID = 3700"));
        CheckMonthFigures(install);
        book.ShowPage(1, QStringLiteral("Date"));
        QCOMPARE(book.GetItemData(0), qint64(3700));
        CheckEveryPage(book, FilteredListing(install, QString(), HighestId(install), {}));
        book.SetFilter(QStringLiteral("Item='餐饮'"));
        CheckEveryPage(book, FilteredListing(install, QStringLiteral("Item='餐饮'"), HighestId(install), {}));
    }

    void aDateStoredAsBytesIsListedAfterTheDateTexts()
    {
        TestInstallation install;
        CMoneyBook book;
        SeedMonths(install, book);
        book.Close();
        // A hand-edited file: one date stored as bytes, which sort after every date text (and a number,
        // which sorts before them).
        auto db = OpenLedgerDatabase(install.DataFile("Kinward.db"));
        db->Execute(QStringLiteral("UPDATE Money SET Date = CAST('2003-02-01 08:00:00' AS BLOB) WHERE ID = 100"));
        db->Execute(QStringLiteral("UPDATE Money SET Date = 20040105 WHERE ID = 3700"));
        CheckMonthFigures(install);
        book.SetFilter(QStringLiteral("Date>#2004-3-1#"));
        const QList<qint64> listing = FilteredListing(install, QStringLiteral("Date > '2004-03-01 00:00:00'"), HighestId(install), {});
        QCOMPARE(listing.last(), qint64(100));
        CheckEveryPage(book, listing);
    }

    void monthFiguresAreLaidForAFileWithoutThem()
    {
        // A file written by another program, or by an earlier version of this one: records, and none
        // of the figures the program keeps.
        TestInstallation install;
        QVERIFY(WriteOutside(install, QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 2999) "
            "INSERT INTO Money (Date, Item, Money, Member, Explain) "
            "SELECT date('2003-01-01', '+' || (i / 3) || ' days') || ' 0' || (7 + i % 3) || ':00:00', "
            "CASE i % 3 WHEN 0 THEN '餐饮' WHEN 1 THEN '工资' ELSE '买菜' END, "
            "CASE i % 3 WHEN 1 THEN 100.25 ELSE -10.5 END, 'Li', '' FROM n")));
        QVERIFY(CommittedView(install.DataFile("Kinward.db")).Rows(QStringLiteral("SELECT count(*) FROM MoneyMonths")).value(0).startsWith(QStringLiteral("error")));
        CMoneyBook book;
        book.ShowPage(1, QStringLiteral("Date"));
        CheckMonthFigures(install);
        CheckEveryPage(book, FilteredListing(install, QString(), HighestId(install), {}));
        book.ComputeTotal();
        QCOMPARE(book.GetTotalCents(), qint64(1000 * 10025 - 2000 * 1050));
    }

    void aLargeLedgersUpgradeIsAnnounced()
    {
        TestInstallation install;
        QVERIFY(WriteOutside(install, QStringLiteral("INSERT INTO Money (ID, Date, Item, Money, Member, Explain) "
                                                     "VALUES (60000, '2003-01-01 08:00:00', '工资', 100, 'Li', '')")));
        QList<int> told;
        int steps = 0;
        SetUpgradeProgress([&](int done, int total) {
            told << done;
            steps = total;
        });
        {
            CMoneyBook book;
            book.ShowPage(1, QStringLiteral("Date"));
            QVERIFY(steps > 3);
            QCOMPARE(told.size(), steps + 1);  // from nothing done to all of it, a step at a time
            for (int done = 0; done <= steps; ++done)
                QCOMPARE(told.at(done), done);
            book.ComputeTotal();
            QCOMPARE(book.GetTotalCents(), qint64(10000));
            // The ledger was copied before its form changed.
            QCOMPARE(ListBackups(DataDirectory()).size(), 1);
        }
        CMoneyBook again;  // kept figures current: nothing to announce
        again.ShowPage(1, QStringLiteral("Date"));
        QCOMPARE(told.size(), steps + 1);
        SetUpgradeProgress({});
    }

    void datesWrittenOtherwiseAreListedInTheirTextOrder_data()
    {
        // The date text of record i, in SQL over d, its day as YYYY-MM-DD.
        QTest::addColumn<QString>("dateSql");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("where");
        const QString dotted = QStringLiteral("replace(d, '-', '.') || ' 08:00:00'");
        const QString compact = QStringLiteral("replace(d, '-', '') || ' 08:00'");
        const QString bare = QStringLiteral("(0 + substr(d, 1, 4)) || '-' || (0 + substr(d, 6, 2)) || '-' || (0 + substr(d, 9, 2))");
        QTest::newRow("dotted") << dotted << "" << "";
        QTest::newRow("dotted, one item") << dotted << "Item='餐饮'" << "Item='餐饮'";
        QTest::newRow("digits only") << compact << "" << "";
        QTest::newRow("without leading zeros") << bare << "" << "";
        QTest::newRow("without leading zeros, since a day") << bare << "Date>#2003-6-15#" << "Date > '2003-06-15 00:00:00'";
    }
    void datesWrittenOtherwiseAreListedInTheirTextOrder()
    {
        QFETCH(QString, dateSql);
        QFETCH(QString, filter);
        QFETCH(QString, where);
        TestInstallation install;
        QVERIFY(WriteOutside(install, QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 5999), "
            "m(i, d) AS (SELECT i, date('2003-01-01', '+' || (i / 3) || ' days') FROM n) "
            "INSERT INTO Money (Date, Item, Money, Member, Explain) "
            "SELECT %1, CASE i % 3 WHEN 0 THEN '餐饮' WHEN 1 THEN '工资' ELSE '买菜' END, "
            "CASE i % 3 WHEN 1 THEN 100 ELSE -10 END, 'Li', '' FROM m").arg(dateSql)));
        CMoneyBook book;
        book.SetFilter(filter);
        CheckMonthFigures(install);
        CheckEveryPage(book, FilteredListing(install, where, HighestId(install), {}));
    }

    void deletesAndAddsListEveryRecordOnExactlyOnePage()
    {
        TestInstallation install;
        MessageRecorder messages;
        CMoneyBook book;
        Seed(book, 101);
        book.SetSelected(5);
        QVERIFY(book.Remove());
        book.Add(Day(-1), QStringLiteral("new0"), 1, QStringLiteral("Li"), QString());
        book.Add(Day(-2), QStringLiteral("new1"), 2, QStringLiteral("Li"), QString());
        book.SetSelected(10);
        QVERIFY(book.Remove());
        const QList<qint64> added{IdOf(install, QStringLiteral("new0")), IdOf(install, QStringLiteral("new1"))};
        const QList<qint64> listing = Listing(install, added);
        QCOMPARE(listing.size(), 101);
        QCOMPARE(PageIds(book), listing.mid(0, 100));
        QVERIFY(PageIds(book).contains(IdOf(install, QStringLiteral("r100"))));
        CheckEveryPage(book, listing);
        QVERIFY(messages.messages.isEmpty());
    }

    void changingOrDeletingARecordGoneElsewhereSaysSo()
    {
        TestInstallation install;
        MessageRecorder messages;
        CMoneyBook book;
        Seed(book, 3);
        book.ComputeTotal();
        QCOMPARE(book.GetItemText(1, 1), QStringLiteral("r1"));  // shown before it goes
        {
            CMoneyRecord other;
            other.Open();
            QVERIFY(other.FindFirst(QStringLiteral("Item='r1'")));
            other.Delete();
        }
        CommittedView committed(install.DataFile("Kinward.db"));
        const QStringList stored = committed.Dump();
        book.SetSelected(1);
        QVERIFY(!book.Modify(Day(1), QStringLiteral("changed"), 9, QStringLiteral("Li"), QString()));
        QCOMPARE(messages.messages.size(), 1);
        QCOMPARE(messages.Last(), QStringLiteral("所选的记录已不在帐目数据库中，没有保存任何改动。"));
        QCOMPARE(book.GetItemText(1, 1), QStringLiteral("r1"));
        QCOMPARE(book.GetTotal(), 3.0);  // as it was shown
        book.SetSelected(1);
        book.Remove();
        QCOMPARE(messages.messages.size(), 2);
        QCOMPARE(committed.Dump(), stored);
    }

    void refusedChangeLeavesPagesReadable()
    {
        TestInstallation install;
        CMoneyBook book;
        Seed(book, 250);
        book.ComputeTotal();
        const qint64 total = book.GetTotalCents();
        OpenLedgerDatabase(install.DataFile("Kinward.db"))
            ->Execute(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON Money BEGIN SELECT RAISE(ABORT, 'refused'); END"));
        book.SetSelected(3);
        QVERIFY_THROWS_EXCEPTION(DbError, book.Modify(Day(3), QStringLiteral("changed"), -3, QStringLiteral("Li"), QString()));
        QCOMPARE(book.GetItemText(3, 1), QStringLiteral("r3"));
        QCOMPARE(book.GetTotalCents(), total);
        book.ShowPage(2, QStringLiteral("Date"));  // rows not read yet
        QCOMPARE(book.GetItemText(0, 1), QStringLiteral("r100"));
        QCOMPARE(book.GetItemText(99, 1), QStringLiteral("r199"));
    }

    void eachChangeIsToldOnceWhenItIsWhole()
    {
        // What a panel hears: one notice per operation, given once its rows, its page and its total
        // are all in place, whoever made the change; a refused change tells nothing.
        TestInstallation install;
        CMoneyBook book;
        Seed(book, 150);
        book.ComputeTotal();
        using Seen = std::tuple<qint64, int, int, int>;  // total in cents, rows, pages, selected row
        struct Watcher : IBookChangeListener
        {
            explicit Watcher(CMoneyBook &watched) : book(watched) { book.AddListener(this); }
            ~Watcher() override { book.RemoveListener(this); }
            void BookChanged() override
            {
                seen.append({book.GetTotalCents(), book.GetItemCount(), book.GetPageCount(), book.GetSelected()});
            }
            CMoneyBook &book;
            QList<Seen> seen;
        } watcher(book);
        BookSpy spy(book);  // a second listener hears the same
        const qint64 before = book.GetTotalCents();

        book.Add(Day(500), QStringLiteral("new"), 5, QStringLiteral("Li"), QString());
        QCOMPARE(watcher.seen, QList<Seen>({{before + 500, 100, 2, -1}}));

        std::vector<MoneyEntry> bill;
        for (int i = 0; i < 300; ++i)
            bill.push_back({Day(600 + i), QStringLiteral("bill"), 1, QStringLiteral("Li"), QString()});
        QVERIFY(book.AddMany(bill, [](qsizetype) { return true; }));
        QCOMPARE(watcher.seen.size(), 2);  // three hundred records, one notice
        QCOMPARE(watcher.seen.last(), Seen({before + 500 + 30000, 100, 5, -1}));

        book.SetSelected(3);
        QVERIFY(book.Remove());
        QCOMPARE(watcher.seen.size(), 4);  // the choice, then the delete
        QCOMPARE(watcher.seen.last(), Seen({before + 500 + 30000 - 300, 100, 5, 3}));  // r3 went

        OpenLedgerDatabase(install.DataFile("Kinward.db"))
            ->Execute(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON Money BEGIN SELECT RAISE(ABORT, 'refused'); END"));
        QVERIFY_THROWS_EXCEPTION(DbError, book.Modify(Day(3), QStringLiteral("changed"), -3, QStringLiteral("Li"), QString()));
        QCOMPARE(watcher.seen.size(), 4);

        book.ShowPage(5, QStringLiteral("Date"));
        QCOMPARE(watcher.seen.size(), 5);
        QCOMPARE(std::get<1>(watcher.seen.last()), 50);
        QCOMPARE(spy.changes, 5);
    }

    void failedDeleteOfAnAddedRecordKeepsItListed()
    {
        TestInstallation install;
        CMoneyBook book;
        Seed(book, 150);
        book.ComputeTotal();
        book.ShowPage(2, QStringLiteral("Date"));
        book.Add(Day(-1), QStringLiteral("new"), 7, QStringLiteral("Li"), QString());
        QCOMPARE(book.GetItemCount(), 51);
        const qint64 total = book.GetTotalCents();
        // Deleting it breaks a deferred rule: the delete runs, and the COMMIT fails.
        auto db = OpenLedgerDatabase(install.DataFile("Kinward.db"));
        LayDeferredGuard(*db);
        FailCommitOfDeletes(*db, QStringLiteral("Money"));
        book.SetSelected(50);
        QVERIFY_THROWS_EXCEPTION(DbError, book.Remove());
        QCOMPARE(book.GetItemCount(), 51);
        QCOMPARE(book.GetItemText(50, 1), QStringLiteral("new"));
        QCOMPARE(book.GetTotalCents(), total);
        QCOMPARE(book.GetPageCount(), 2);
        book.ShowPage(2, QStringLiteral("Date"));
        QCOMPARE(book.GetItemCount(), 51);
        QCOMPARE(book.GetItemText(50, 1), QStringLiteral("new"));
    }

    void anIdFreedByAFailedAddIsNotClaimedBack()
    {
        TestInstallation install;
        MessageRecorder messages;
        CMoneyBook book;
        Seed(book, 150);
        const qint64 highest = HighestId(install);
        auto db = OpenLedgerDatabase(install.DataFile("Kinward.db"));
        LayDeferredGuard(*db);
        db->Execute(QStringLiteral("CREATE TRIGGER \"Money_guard\" AFTER INSERT ON \"Money\" WHEN NEW.Item = 'refused' "
                                   "BEGIN INSERT INTO Guard VALUES (1); END"));
        QVERIFY_THROWS_EXCEPTION(DbError, book.Add(Day(-1), QStringLiteral("refused"), 1, QStringLiteral("Li"), QString()));
        // The rolled-back insert gave its ID back: the next record added anywhere gets it.
        CMoneyBook elsewhere;
        elsewhere.ShowPage(1, QStringLiteral("Date"));
        QVERIFY(elsewhere.Add(Day(-2), QStringLiteral("elsewhere"), 2, QStringLiteral("Li"), QString()));
        QCOMPARE(HighestId(install), highest + 1);
        // That record is another book's addition: this book lists it only when opened again.
        CheckEveryPage(book, FilteredListing(install, QString(), highest, {}));
        book.SetFilter(QString());
        CheckEveryPage(book, FilteredListing(install, QString(), HighestId(install), {}));
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
