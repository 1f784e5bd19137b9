// The simple, savings and insurance books: rows, selection, search, totals and the multi-record changes.
#include "db/CAddressBook.h"
#include "db/CArticleBook.h"
#include "db/CCreditBook.h"
#include "db/CCurrentBook.h"
#include "db/CDepositBook.h"
#include "db/CInsureBook.h"
#include "db/CInsureNoteBook.h"
#include "db/CInsureNoteRecord.h"
#include "db/CMemoBook.h"
#include "db/DbError.h"
#include "db/FilterParser.h"
#include "db/SqlConnection.h"

#include "db/CMoneyBook.h"
#include "common/Amount.h"
#include "common/Paths.h"

#include "BookSpy.h"
#include "CommittedView.h"
#include "MessageRecorder.h"
#include "TestInstallation.h"

#include <QTest>
#include <algorithm>
#include <random>

namespace {

template <typename Book>
double FreshTotal(double (Book::*getter)() const, const QString &sort)
{
    Book fresh;
    fresh.Fill(sort);
    fresh.ComputeTotals();
    return (fresh.*getter)();
}

double PayedMoney(const QString &policy)
{
    CInsureNoteRecord note;
    note.m_strFilter = QStringLiteral("Name=") + QuoteFilterText(policy);
    note.Open();
    return note.IsEOF() ? -1 : note.m_PayedMoney;
}

void AddPolicy(CInsureNoteBook &notes, const QString &name)
{
    notes.AddPolicy(name, QStringLiteral("人寿保险"), QStringLiteral("中国人寿保险"), QStringLiteral("300"),
                    QStringLiteral("100000"), QStringLiteral("0"), 20, QStringLiteral("2003-01-01"), QString(),
                    QStringLiteral("Li"), QStringLiteral("Wang"), QStringLiteral("Li"), QString());
}

// Memos "m<i>" written straight into the table, dated by date(i).
void InsertMemos(int n, const std::function<QDateTime(int)> &date)
{
    auto db = SqlConnection::Open(DatabasePath());
    SqlTransaction transaction(*db);
    SqlStatement insert = db->Prepare(QStringLiteral("INSERT INTO Memo (Date, Matter, Member) VALUES (?, ?, ?)"));
    for (int i = 0; i < n; ++i) {
        insert.Reset();
        insert.Bind(1, DbDateText(date(i)));
        insert.Bind(2, QStringLiteral("m%1").arg(i));
        insert.Bind(3, QStringLiteral("p%1").arg(i % 7));
        insert.Run();
    }
    transaction.Commit();
}

// Every book of the main window, opened as the main window opens them.
struct Ledger
{
    CMoneyBook money;
    CMemoBook memos;
    CAddressBook addresses;
    CArticleBook articles;
    CCreditBook credits;
    CCurrentBook current;
    CDepositBook deposits;
    CInsureBook insurance;

    void Open()
    {
        money.ShowPage(1, QStringLiteral("Date"));
        money.ComputeTotal();
        memos.Fill(QStringLiteral("Date"));
        addresses.Fill(QStringLiteral("Name"));
        articles.Fill(QStringLiteral("Name"));
        articles.ComputeTotals();
        credits.Fill(QStringLiteral("Date"));
        credits.ComputeTotals();
        current.Fill(QStringLiteral("Date"));
        current.ComputeTotals();
        deposits.Fill(QStringLiteral("BDate"));
        deposits.ComputeTotals();
        insurance.Fill(QStringLiteral("Date"));
        insurance.ComputeTotals();
    }

    std::vector<const CBook *> Books() const
    {
        return {&money, &memos, &addresses, &articles, &credits, &current, &deposits, &insurance};
    }

    // What the user sees: every row of every book with its record, the page and the totals.
    QStringList Visible() const
    {
        QStringList seen;
        for (const CBook *book : Books()) {
            seen << QStringLiteral("rows %1").arg(book->GetItemCount());
            for (int row = 0; row < book->GetItemCount(); ++row)
                seen << QString::number(book->GetItemData(row)) + QLatin1Char(':') + book->GetRowTexts(row).join(QLatin1Char('|'));
        }
        seen << QStringLiteral("page %1 of %2").arg(money.GetCurrentPage()).arg(money.GetPageCount());
        for (double total : {money.GetTotal(), articles.GetTotalCost(), articles.GetTotalValue(), credits.GetTotal(),
                             current.GetTotal(), deposits.GetDepositTotal(), deposits.GetDueTotal(), insurance.GetTotal()})
            seen << QString::number(total, 'f', 2);
        return seen;
    }
};

// A fresh main window's view of the ledger as it is stored.
QStringList FreshlyOpened()
{
    Ledger fresh;
    fresh.Open();
    return fresh.Visible();
}

} // namespace

class TestBooks : public QObject
{
    Q_OBJECT
private slots:
    void memoRowsSelectionAndSearch()
    {
        TestInstallation install;
        MessageRecorder messages;
        CMemoBook book;
        book.Fill(QStringLiteral("Date"));
        QVERIFY(!book.FindText(1, QStringLiteral("x")));
        QCOMPARE(messages.Last(), QStringLiteral("记录集为空"));
        QCOMPARE(messages.messages.last().caption, QStringLiteral("错误"));

        book.Add(QStringLiteral("2003-05-01"), QStringLiteral("交电费"), QStringLiteral("Li"));
        book.Add(QStringLiteral("2003-05-02"), QStringLiteral("买菜"), QStringLiteral("Wang"));
        book.Add(QStringLiteral("2003-05-03"), QStringLiteral("交电费"), QStringLiteral("Li"));
        BookSpy spy(book);
        QVERIFY(book.FindText(1, QStringLiteral("交电费")));
        QCOMPARE(book.GetSelected(), 0);
        QVERIFY(!book.FindNext());
        QCOMPARE(book.GetSelected(), 2);
        QCOMPARE(spy.selected, QList<int>({0, 2}));
        QVERIFY(!book.FindText(1, QStringLiteral("交电")));  // whole texts only
        QCOMPARE(messages.Last(), QStringLiteral("没有匹配的记录"));

        book.SetSelected(1);
        book.Modify(QStringLiteral("2003-06-01"), QStringLiteral("买米"), QStringLiteral("Wang"));
        book.Close();
        book.Fill(QStringLiteral("Date"));
        QCOMPARE(book.GetRowTexts(2), QStringList({"2003-06-01", "买米", "Wang"}));

        // Deleting the last row selects the one above; deleting the only record leaves none.
        book.SetSelected(2);
        QVERIFY(book.Remove());
        QCOMPARE(book.GetSelected(), 1);
        book.Remove();
        QVERIFY(!book.Remove());
        QCOMPARE(book.GetSelected(), -1);
        QCOMPARE(book.GetItemCount(), 0);
    }

    void rowsReadLateStayTrueAfterChanges()
    {
        TestInstallation install;
        auto add = [](CCreditBook &book, const QString &date, const QString &marker) {
            book.Add(date, marker, QStringLiteral("1"), QString(), QStringLiteral("Li"), QString());
        };
        {
            CCreditBook seed;
            seed.Fill(QStringLiteral("Date"));
            for (int i = 0; i < 300; ++i)
                add(seed, QDate(2000, 1, 1).addDays(i).toString(Qt::ISODate), QStringLiteral("m%1").arg(i));
        }
        CCreditBook book;
        book.Fill(QStringLiteral("Date"));
        QCOMPARE(book.GetItemCount(), 300);
        book.SetSelected(5);  // moved to the end of the order by its new date, while most rows are unread
        book.Modify(QStringLiteral("2030-01-01"), QStringLiteral("moved"), QStringLiteral("1"), QString(),
                    QStringLiteral("Li"), QString());
        book.SetSelected(150);
        QVERIFY(book.Remove());
        add(book, QStringLiteral("1990-01-01"), QStringLiteral("first"));
        book.ComputeTotals();  // reopens the record set, which now lists the records in a new order
        QCOMPARE(book.GetTotal(), 300.0);
        QStringList expected;
        for (int i = 0; i < 300; ++i)
            expected << QStringLiteral("m%1").arg(i);
        expected[5] = QStringLiteral("moved");
        expected.removeAt(150);
        expected << QStringLiteral("first");
        QStringList shown;
        for (int row = book.GetItemCount() - 1; row >= 0; --row)  // read from the end first
            shown.prepend(book.GetItemText(row, 1));
        QCOMPARE(shown, expected);
    }

    void closedBooksTellTheUser()
    {
        TestInstallation install;
        MessageRecorder messages;
        CMemoBook memos;
        memos.Add(QStringLiteral("2003-05-01"), QStringLiteral("x"), QStringLiteral("Li"));
        QCOMPARE(messages.Last(), QStringLiteral("记录集没有打开"));
        CAddressBook addresses;
        addresses.Modify(QStringList(15, QStringLiteral("x")));
        QCOMPARE(messages.messages.size(), 2);
        CCreditBook credits;
        QVERIFY(!credits.Modify(QStringLiteral("2003-05-01"), QStringLiteral("借出"), QStringLiteral("5"), QString(),
                                QString(), QString()));
        QCOMPARE(messages.messages.size(), 3);  // every book says so: nothing looks saved that was not
        QCOMPARE(messages.Last(), QStringLiteral("记录集没有打开"));
        CDepositBook deposits;
        QVERIFY(!deposits.Add(QStringLiteral("2003-05-01"), QStringLiteral("A"), QStringLiteral("人民币"),
                              QStringLiteral("整存整取"), QStringLiteral("100"), QStringLiteral("102"),
                              QStringLiteral("2004-05-01"), QString(), QString(), QString()));
        QCOMPARE(messages.messages.size(), 4);
    }

    void fillFormatsFromTheTableAndKeepsHandedTexts()
    {
        TestInstallation install;
        CArticleBook book;
        book.Fill(QStringLiteral("Name"));
        book.Add(QStringLiteral("电视机"), QStringLiteral("2"), QStringLiteral("3000.50"), QStringLiteral("1200.00"),
                 QStringLiteral("客厅"));
        QCOMPARE(book.GetRowTexts(0), QStringList({"电视机", "2", "3000.50", "1200.00", "客厅"}));
        book.Add(QStringLiteral("冰箱"), QStringLiteral("1"), QStringLiteral("2500"), QStringLiteral("800"), QString());
        QCOMPARE(book.GetTotalCost(), 5500.5);
        QCOMPARE(book.GetTotalValue(), 2000.0);
        book.Close();
        book.Fill(QStringLiteral("Name"));
        QCOMPARE(book.GetItemCount(), 2);
        const int tv = book.GetItemText(0, 0) == QStringLiteral("电视机") ? 0 : 1;
        QCOMPARE(book.GetRowTexts(tv), QStringList({"电视机", "2", "3000.5", "1200", "客厅"}));
        book.SetSelected(tv);
        book.Modify(QStringLiteral("电视机"), QStringLiteral("1"), QStringLiteral("3000.5"), QStringLiteral("900"),
                    QString());
        QCOMPARE(book.GetTotalValue(), FreshTotal(&CArticleBook::GetTotalValue, QStringLiteral("Name")));
        QCOMPARE(book.GetTotalCost(), FreshTotal(&CArticleBook::GetTotalCost, QStringLiteral("Name")));
        book.Remove();
        QCOMPARE(book.GetTotalValue(), 800.0);
    }

    void creditRowsAndTotal()
    {
        TestInstallation install;
        CCreditBook book;
        book.Fill(QStringLiteral("Date"));
        book.Add(QStringLiteral("2003-05-01"), QStringLiteral("借出"), QStringLiteral("500"), QStringLiteral("张三"),
                 QStringLiteral("Li"), QString());
        book.Add(QStringLiteral("2003-05-02"), QStringLiteral("借入"), QStringLiteral("-200"), QStringLiteral("李四"),
                 QStringLiteral("Li"), QString());
        QCOMPARE(book.GetRowTexts(1), QStringList({"2003-05-02", "借入", "", "-200", "李四", "Li", ""}));
        book.SetSelected(0);
        book.Modify(QStringLiteral("2003-05-01"), QStringLiteral("收回"), QStringLiteral("-500"), QStringLiteral("张三"),
                    QStringLiteral("Li"), QString());
        QCOMPARE(book.GetItemText(0, 2), QString());
        QCOMPARE(book.GetItemText(0, 3), QStringLiteral("-500"));
        QCOMPARE(book.GetTotal(), -700.0);
        QCOMPARE(book.GetTotal(), FreshTotal(&CCreditBook::GetTotal, QStringLiteral("Date")));
    }

    void addressBookKeepsFifteenColumns()
    {
        TestInstallation install;
        CAddressBook book;
        book.Fill(QStringLiteral("Name"));
        QStringList fields;
        for (int i = 0; i < 15; ++i)
            fields << QStringLiteral("f%1").arg(i);
        book.Add(fields);
        book.Close();
        book.Fill(QStringLiteral("Name"));
        QCOMPARE(book.GetRowTexts(0), fields);
        QVERIFY(book.FindText(12, QStringLiteral("f12")) == false);  // one match: nothing more waits
        QCOMPARE(book.GetSelected(), 0);
    }

    void balancesPerAccount()
    {
        TestInstallation install;
        CCurrentBook book;
        book.Fill(QStringLiteral("Date"));
        book.Add(QStringLiteral("2003-01-01"), QStringLiteral("A"), QStringLiteral("中国银行"), QStringLiteral("人民币"),
                 QStringLiteral("100"), QStringLiteral("存入现金"), QStringLiteral("Li"), QString());
        book.Add(QStringLiteral("2003-01-02"), QStringLiteral("A"), QStringLiteral("中国银行"), QStringLiteral("人民币"),
                 QStringLiteral("-30"), QStringLiteral("取出现金"), QStringLiteral("Li"), QString());
        book.Add(QStringLiteral("2003-01-03"), QStringLiteral("B"), QStringLiteral("招商银行"), QStringLiteral("美元"),
                 QStringLiteral("5"), QStringLiteral("存入现金"), QStringLiteral("Li"), QString());
        book.ComputeBalances(QStringLiteral("人民币"));
        QCOMPARE(book.GetBalances(), QStringList({"A", "70.00", "B", "0.00"}));
        QCOMPARE(book.GetTotal(), 70.0);

        book.SetSelected(0);  // currency changed away from the home currency and back
        book.Modify(QStringLiteral("2003-01-01"), QStringLiteral("A"), QStringLiteral("中国银行"), QStringLiteral("美元"),
                    QStringLiteral("100"), QStringLiteral("存入现金"), QStringLiteral("Li"), QString());
        QCOMPARE(book.GetTotal(), -30.0);
        book.Modify(QStringLiteral("2003-01-01"), QStringLiteral("A"), QStringLiteral("中国银行"), QStringLiteral("人民币"),
                    QStringLiteral("100"), QStringLiteral("存入现金"), QStringLiteral("Li"), QString());
        QCOMPARE(book.GetTotal(), 70.0);
        QCOMPARE(book.GetTotal(), FreshTotal(&CCurrentBook::GetTotal, QStringLiteral("Date")));

        QStringList accounts{QStringLiteral("B ## 招商银行")};
        book.CollectAccounts(&accounts);
        QCOMPARE(accounts, QStringList({"B ## 招商银行", "A ## 中国银行"}));
    }

    void closingAnAccount()
    {
        TestInstallation install;
        CCurrentBook book;
        book.Fill(QStringLiteral("Date"));
        for (const QString &account : {QStringLiteral("O'Neil"), QStringLiteral("B"), QStringLiteral("O'Neil")})
            book.Add(QStringLiteral("2003-01-01"), account, QStringLiteral("中国银行"), QStringLiteral("人民币"),
                     QStringLiteral("40"), QString(), QStringLiteral("Li"), QString());
        book.SetSelected(1);
        book.CloseAccount(QStringLiteral("O'Neil"));
        QCOMPARE(book.GetItemCount(), 1);
        QCOMPARE(book.GetItemText(0, 1), QStringLiteral("B"));
        QCOMPARE(book.GetSelected(), -1);
        QCOMPARE(book.GetTotal(), 40.0);
        QCOMPARE(book.GetTotal(), FreshTotal(&CCurrentBook::GetTotal, QStringLiteral("Date")));
        book.Close();
        book.Fill(QStringLiteral("Date"));
        QCOMPARE(book.GetItemCount(), 1);
    }

    void closingAnAccountOfARowsReadLateList()
    {
        TestInstallation install;
        {
            CCurrentBook seed;
            seed.Fill(QStringLiteral("Date"));
            for (int i = 0; i < 300; ++i)
                seed.Add(QDate(2000, 1, 1).addDays(i).toString(Qt::ISODate), QStringLiteral("A%1").arg(i % 3),
                         QString(), QStringLiteral("人民币"), QStringLiteral("%1").arg(i), QString(), QString(), QString());
        }
        CCurrentBook book;  // a fresh list: rows not yet shown are listed by position only
        book.Fill(QStringLiteral("Date"));
        book.ComputeTotals();
        book.CloseAccount(QStringLiteral("A1"));
        QCOMPARE(book.GetItemCount(), 200);
        for (int row = 0; row < book.GetItemCount(); ++row) {
            const int i = row / 2 * 3 + (row % 2 == 0 ? 0 : 2);  // the movements of A0 and A2, in order
            QCOMPARE(book.GetItemText(row, 4), QString::number(i));
        }
        QCOMPARE(book.GetTotal(), FreshTotal(&CCurrentBook::GetTotal, QStringLiteral("Date")));
    }

    void failedAccountClosingChangesNothing()
    {
        TestInstallation install;
        CCurrentBook book;
        book.Fill(QStringLiteral("Date"));
        for (const char *money : {"10", "13", "20"})
            book.Add(QStringLiteral("2003-01-01"), QStringLiteral("A"), QString(), QStringLiteral("人民币"),
                     QString::fromLatin1(money), QString(), QString(), QString());
        // The database refuses to delete the second movement: the closing fails midway.
        SqlConnection::Open(install.DataFile("Kinward.db"))
            ->Execute(QStringLiteral("CREATE TRIGGER refuse BEFORE DELETE ON Current WHEN OLD.Money = 13 "
                                     "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
        QVERIFY_THROWS_EXCEPTION(DbError, book.CloseAccount(QStringLiteral("A")));
        QCOMPARE(book.GetItemCount(), 3);
        QCOMPARE(book.GetTotal(), 43.0);
        QCOMPARE(book.GetTotal(), FreshTotal(&CCurrentBook::GetTotal, QStringLiteral("Date")));
        CCurrentBook fresh;
        fresh.Fill(QStringLiteral("Date"));
        QCOMPARE(fresh.GetItemCount(), 3);
        MessageRecorder messages;
        book.Add(QStringLiteral("2003-01-02"), QStringLiteral("B"), QString(), QStringLiteral("人民币"),
                 QStringLiteral("1"), QString(), QString(), QString());  // the book goes on working
        QVERIFY(messages.messages.isEmpty());
        QCOMPARE(book.GetItemCount(), 4);
    }

    void depositsAndInstalments()
    {
        TestInstallation install;
        CDepositBook book;
        book.Fill(QStringLiteral("BDate"));
        book.Add(QStringLiteral("2003-01-01"), QStringLiteral("A1"), QStringLiteral("人民币"), QStringLiteral("零存整取"),
                 QStringLiteral("1000"), QStringLiteral("13000"), QStringLiteral("2004-01-01"), QStringLiteral("中国银行"),
                 QStringLiteral("Li"), QString());
        book.Add(QStringLiteral("2003-02-01"), QStringLiteral("A1"), QStringLiteral("人民币"), QStringLiteral("整存整取"),
                 QStringLiteral("500"), QStringLiteral("520"), QStringLiteral("2004-02-01"), QStringLiteral("中国银行"),
                 QStringLiteral("Li"), QString());
        book.Add(QStringLiteral("2003-03-01"), QStringLiteral("U"), QStringLiteral("美元"), QStringLiteral("整存整取"),
                 QStringLiteral("800"), QStringLiteral("820"), QStringLiteral("2004-03-01"), QStringLiteral("中国银行"),
                 QStringLiteral("Li"), QString());
        QCOMPARE(book.GetDepositTotal(), 1500.0);  // the dollar deposit changes neither total
        QCOMPARE(book.GetDueTotal(), 13520.0);

        QStringList accounts;
        book.CollectAccounts(&accounts);
        QCOMPARE(accounts, QStringList({"A1 ## 中国银行", "U ## 中国银行"}));

        book.SetSelected(0);
        book.AddInstalment(QStringLiteral("2003-02-15"), QStringLiteral("200"), QStringLiteral("Wang"),
                           QStringLiteral("第二期"));
        QCOMPARE(book.GetRowTexts(0), QStringList({"2003-02-15", "A1", "人民币", "零存整取", "1200", "13000",
                                                   "2004-01-01", "中国银行", "Wang", "第二期"}));
        QCOMPARE(book.GetDepositTotal(), 1700.0);
        QCOMPARE(book.GetDueTotal(), 13520.0);
        QCOMPARE(book.GetDepositTotal(), FreshTotal(&CDepositBook::GetDepositTotal, QStringLiteral("BDate")));

        book.SetSelected(1);
        QVERIFY(book.Remove());
        QCOMPARE(book.GetDepositTotal(), 1200.0);
        QCOMPARE(book.GetDueTotal(), 13000.0);
        QCOMPARE(book.GetDueTotal(), FreshTotal(&CDepositBook::GetDueTotal, QStringLiteral("BDate")));
    }

    void premiumsKeepPoliciesAndTotalInStep()
    {
        TestInstallation install;
        CInsureBook activities;
        activities.Fill(QStringLiteral("Date"));
        CInsureNoteBook notes;
        QVERIFY(notes.IsNameFree(QStringLiteral("A")));
        AddPolicy(notes, QStringLiteral("A"));
        QVERIFY(!notes.IsNameFree(QStringLiteral("A")));
        activities.Add(QStringLiteral("2003-01-01"), QStringLiteral("A"), QStringLiteral("保单开户"), QStringLiteral("-500"),
                       QStringLiteral("Li"), QStringLiteral("该项自动填写"));
        QCOMPARE(PayedMoney(QStringLiteral("A")), 500.0);
        QCOMPARE(activities.GetTotal(), 500.0);
        QCOMPARE(activities.GetRowTexts(0), QStringList({"2003-01-01", "A", "保单开户", "", "-500", "Li", "该项自动填写"}));

        activities.Add(QStringLiteral("2003-02-01"), QStringLiteral("A"), QStringLiteral("缴纳保费"), QStringLiteral("-300"),
                       QStringLiteral("Li"), QString());
        QCOMPARE(PayedMoney(QStringLiteral("A")), 800.0);
        QCOMPARE(activities.GetTotal(), 800.0);
        activities.SetSelected(1);
        activities.Modify(QStringLiteral("2003-02-01"), QStringLiteral("A"), QStringLiteral("缴纳保费"),
                          QStringLiteral("-250"), QStringLiteral("Li"), QString());
        QCOMPARE(PayedMoney(QStringLiteral("A")), 750.0);
        QCOMPARE(activities.GetTotal(), 750.0);

        activities.Add(QStringLiteral("2003-03-01"), QStringLiteral("A"), QStringLiteral("保险金给付"), QStringLiteral("1000"),
                       QStringLiteral("Li"), QString());
        QCOMPARE(PayedMoney(QStringLiteral("A")), 750.0);
        QCOMPARE(activities.GetTotal(), 750.0);
        QCOMPARE(activities.GetTotal(), FreshTotal(&CInsureBook::GetTotal, QStringLiteral("Date")));

        activities.SetSelected(1);
        QVERIFY(activities.Remove());
        QCOMPARE(PayedMoney(QStringLiteral("A")), 500.0);
        QCOMPARE(activities.GetTotal(), 500.0);
    }

    void rowsReadOutOfOrderKeepTheirRecords()
    {
        TestInstallation install;
        MessageRecorder messages;
        InsertMemos(100, [](int i) { return LedgerDateTime(QDate(2003, 1, 1).addDays(i)); });
        {
            CMemoBook memos;
            memos.Fill(QStringLiteral("Date"));
            QCOMPARE(memos.GetItemText(0, 1), QStringLiteral("m0"));
            QCOMPARE(memos.GetItemText(40, 1), QStringLiteral("m40"));
            QCOMPARE(memos.GetItemText(34, 1), QStringLiteral("m34"));
            for (int row = 0; row < 100; ++row)
                QCOMPARE(memos.GetItemText(row, 1), QStringLiteral("m%1").arg(row));
        }
        {
            CMemoBook memos;  // rows 30 to 34 lie between the two blocks read
            memos.Fill(QStringLiteral("Date"));
            memos.GetItemText(0, 1);
            memos.GetItemText(40, 1);
            memos.GetItemText(34, 1);
            QVERIFY(!memos.FindText(1, QStringLiteral("m32")));
            QCOMPARE(memos.GetSelected(), 32);
            QVERIFY(messages.messages.isEmpty());
        }
        {
            CCurrentBook seed;
            seed.Fill(QStringLiteral("Date"));
            for (int i = 0; i < 100; ++i)
                seed.Add(QDate(2003, 1, 1).addDays(i).toString(Qt::ISODate), QStringLiteral("A"), QString(),
                         QStringLiteral("人民币"), QStringLiteral("10"), QString(), QString(), QString());
        }
        CCurrentBook current;
        current.Fill(QStringLiteral("Date"));
        current.GetItemText(0, 4);
        current.GetItemText(40, 4);
        current.GetItemText(34, 4);
        current.ComputeBalances(QStringLiteral("人民币"));
        QCOMPARE(current.GetBalances(), QStringList({"A", "1000.00"}));
    }

    void everyRowShowsItsRecordWhateverTheReadingOrder_data()
    {
        QTest::addColumn<QString>("order");
        QTest::newRow("random") << "random";
        QTest::newRow("from the end") << "end";
        QTest::newRow("blocks from the last") << "blocks";
        QTest::newRow("strided") << "strided";
    }
    void everyRowShowsItsRecordWhateverTheReadingOrder()
    {
        QFETCH(QString, order);
        TestInstallation install;
        constexpr int kCount = 3000;
        std::mt19937 random(20030501);
        std::vector<int> days(kCount);
        for (int &day : days)
            day = int(random() % 400);  // many memos share a date: the ID orders them
        InsertMemos(kCount, [&](int i) { return LedgerDateTime(QDate(2003, 1, 1).addDays(days[size_t(i)])); });
        QStringList expected;
        {
            CommittedView view(install.DataFile("Kinward.db"));
            for (const QString &row : view.Rows(QStringLiteral("SELECT substr(Date, 1, 10), Matter, Member FROM Memo ORDER BY Date, ID")))
                expected << row;
        }
        QCOMPARE(expected.size(), kCount);

        std::vector<int> rows(kCount);
        for (int i = 0; i < kCount; ++i)
            rows[size_t(i)] = i;
        if (order == QLatin1String("random")) {
            std::shuffle(rows.begin(), rows.end(), random);
        } else if (order == QLatin1String("end")) {
            std::reverse(rows.begin(), rows.end());
        } else if (order == QLatin1String("blocks")) {
            for (int i = 0; i < kCount; ++i)
                rows[size_t(i)] = (kCount / 50 - 1 - i / 50) * 50 + i % 50;
        } else {
            for (int i = 0; i < kCount; ++i)
                rows[size_t(i)] = i * 37 % kCount;
        }
        CMemoBook memos;
        memos.Fill(QStringLiteral("Date"));
        QCOMPARE(memos.GetItemCount(), kCount);
        for (int row : rows)
            QCOMPARE(memos.GetRowTexts(row).join(QLatin1Char('|')), expected.at(row));
    }

    void failedCommitOfARemoveLeavesRecordRowAndTotal()
    {
        TestInstallation install;
        CInsureBook activities;
        activities.Fill(QStringLiteral("Date"));
        CInsureNoteBook notes;
        AddPolicy(notes, QStringLiteral("A"));
        activities.Add(QStringLiteral("2003-01-01"), QStringLiteral("A"), QStringLiteral("缴纳保费"), QStringLiteral("-300"),
                       QStringLiteral("Li"), QString());
        // Every delete of an activity breaks a deferred rule, so the delete runs and the COMMIT fails.
        auto db = SqlConnection::Open(install.DataFile("Kinward.db"));
        db->Execute(QStringLiteral("PRAGMA foreign_keys=ON"));
        db->Execute(QStringLiteral("CREATE TABLE Parent (ID INTEGER PRIMARY KEY)"));
        db->Execute(QStringLiteral("CREATE TABLE Guard (Ref INTEGER REFERENCES Parent(ID) DEFERRABLE INITIALLY DEFERRED)"));
        db->Execute(QStringLiteral("CREATE TRIGGER guard AFTER DELETE ON InsureRecord BEGIN INSERT INTO Guard VALUES (1); END"));
        const QStringList row = activities.GetRowTexts(0);

        activities.SetSelected(0);
        QVERIFY_THROWS_EXCEPTION(DbError, activities.Remove());
        QCOMPARE(activities.GetItemCount(), 1);
        QCOMPARE(activities.GetRowTexts(0), row);
        QCOMPARE(activities.GetSelected(), 0);
        QCOMPARE(activities.GetTotal(), 300.0);
        QCOMPARE(PayedMoney(QStringLiteral("A")), 300.0);
        CommittedView committed(install.DataFile("Kinward.db"));
        QCOMPARE(committed.Number(QStringLiteral("SELECT count(*) FROM InsureRecord")), 1);

        // The failed transaction is over: the next change is committed for real.
        activities.Add(QStringLiteral("2003-02-01"), QStringLiteral("A"), QStringLiteral("保险金给付"),
                       QStringLiteral("1000"), QStringLiteral("Li"), QString());
        QCOMPARE(committed.Number(QStringLiteral("SELECT count(*) FROM InsureRecord")), 2);
        QCOMPARE(activities.GetItemCount(), 2);
    }

    void refusedUpdateLeavesAssetTotalsAndRow()
    {
        TestInstallation install;
        CArticleBook book;
        book.Fill(QStringLiteral("Name"));
        book.Add(QStringLiteral("电视机"), QStringLiteral("1"), QStringLiteral("100"), QStringLiteral("80"), QString());
        SqlConnection::Open(install.DataFile("Kinward.db"))
            ->Execute(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON Article BEGIN SELECT RAISE(ABORT, 'refused'); END"));
        book.SetSelected(0);
        QVERIFY_THROWS_EXCEPTION(DbError, book.Modify(QStringLiteral("电视机"), QStringLiteral("2"), QStringLiteral("150"),
                                                      QStringLiteral("90"), QStringLiteral("x")));
        QCOMPARE(book.GetTotalCost(), 100.0);
        QCOMPARE(book.GetTotalValue(), 80.0);
        QCOMPARE(book.GetRowTexts(0), QStringList({"电视机", "1", "100", "80", ""}));
        CommittedView committed(install.DataFile("Kinward.db"));
        QCOMPARE(committed.Rows(QStringLiteral("SELECT Name, Number, Cost, Value, Explain FROM Article")),
                 QStringList({"电视机|1|100.0|80.0|"}));
        book.Add(QStringLiteral("冰箱"), QStringLiteral("1"), QStringLiteral("50"), QStringLiteral("40"), QString());
        QCOMPARE(committed.Number(QStringLiteral("SELECT count(*) FROM Article")), 2);
        QCOMPARE(book.GetTotalCost(), 150.0);
    }

    // Each refused before anything is written; the lists are read only afterwards, so a book left
    // half-way through a change would show here.
    void refusedValuesChangeNothing_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("said");  // what the message must name
        QTest::newRow("asset quantity 40000") << "article add number" << "40000" << "物品数量";
        QTest::newRow("asset quantity -32769") << "article add number" << "-32769" << "物品数量";
        QTest::newRow("asset quantity of twelve digits") << "article add number" << "999999999999" << "物品数量";
        QTest::newRow("asset quantity changed to 40000") << "article modify number" << "40000" << "物品数量";
        QTest::newRow("asset cost too large") << "article add cost" << "10000000000000" << "超出范围";
        QTest::newRow("asset value changed too large") << "article modify value" << "-10000000000000" << "超出范围";
        QTest::newRow("lent amount too large") << "credit add" << "10000000000000" << "超出范围";
        QTest::newRow("lent amount changed too large") << "credit modify" << "10000000000000" << "超出范围";
        QTest::newRow("movement too large") << "current add" << "-10000000000000" << "超出范围";
        QTest::newRow("movement changed too large") << "current modify" << "10000000000000" << "超出范围";
        QTest::newRow("deposit too large") << "deposit add" << "10000000000000" << "超出范围";
        QTest::newRow("instalment past the largest") << "deposit instalment" << "9999999999999" << "超出范围";
        QTest::newRow("premium too large") << "insure add" << "-10000000000000" << "超出范围";
        QTest::newRow("premium changed too large") << "insure modify" << "-10000000000000" << "超出范围";
        QTest::newRow("income too large") << "money add" << "10000000000000" << "超出范围";
        QTest::newRow("expense changed too large") << "money modify" << "-10000000000000" << "超出范围";
        QTest::newRow("policy of 40000 years") << "policy add years" << "40000" << "缴费年数";
        QTest::newRow("policy changed to 40000 years") << "policy edit years" << "40000" << "缴费年数";
        QTest::newRow("policy premium too large") << "policy add premium" << "10000000000000" << "超出范围";
        QTest::newRow("memo of February 30") << "memo add date" << "2003-02-30" << "日期";
        QTest::newRow("memo changed to month 13") << "memo modify date" << "2003-13-01" << "日期";
        QTest::newRow("lending dated nonsense") << "credit add date" << "yesterday" << "日期";
        QTest::newRow("deposit due on no day") << "deposit add end date" << "2004-00-01" << "日期";
        QTest::newRow("premium changed to a bad date") << "insure modify date" << "2003-1-32" << "日期";
    }
    void refusedValuesChangeNothing()
    {
        QFETCH(QString, call);
        QFETCH(QString, value);
        QFETCH(QString, said);
        TestInstallation install;
        MessageRecorder messages;
        {
            Ledger seed;
            seed.Open();
            CInsureNoteBook notes;
            AddPolicy(notes, QStringLiteral("A"));
            for (int i = 0; i < 40; ++i) {
                const QString date = QDate(2003, 1, 1).addDays(i).toString(Qt::ISODate);
                const QString amount = QString::number(i + 1);
                seed.money.Add(LedgerDateTime(QDate(2003, 1, 1).addDays(i)), QStringLiteral("r%1").arg(i), i + 1,
                               QStringLiteral("Li"), QString());
                seed.memos.Add(date, QStringLiteral("m%1").arg(i), QStringLiteral("Li"));
                seed.articles.Add(QStringLiteral("a%1").arg(i), QStringLiteral("1"), amount, amount, QString());
                seed.credits.Add(date, QStringLiteral("借出"), amount, QStringLiteral("Wang"), QStringLiteral("Li"), QString());
                seed.current.Add(date, QStringLiteral("A"), QString(), QStringLiteral("人民币"), amount, QString(),
                                 QStringLiteral("Li"), QString());
                seed.deposits.Add(date, QStringLiteral("D"), QStringLiteral("人民币"), QStringLiteral("零存整取"), amount,
                                  amount, QStringLiteral("2009-01-01"), QString(), QStringLiteral("Li"), QString());
                seed.insurance.Add(date, QStringLiteral("A"), QStringLiteral("缴纳保费"), QStringLiteral("-") + amount,
                                   QStringLiteral("Li"), QString());
            }
        }
        const QStringList before = FreshlyOpened();
        CommittedView committed(install.DataFile("Kinward.db"));
        const QStringList stored = committed.Dump();

        Ledger ledger;  // rows not read yet
        ledger.Open();
        for (const CBook *book : ledger.Books())
            const_cast<CBook *>(book)->SetSelected(3);
        const QString day = QStringLiteral("2003-06-01");
        CInsureNoteBook notes;
        try {
            if (call == QLatin1String("article add number"))
                ledger.articles.Add(QStringLiteral("x"), value, QStringLiteral("1"), QStringLiteral("1"), QString());
            else if (call == QLatin1String("article modify number"))
                ledger.articles.Modify(QStringLiteral("x"), value, QStringLiteral("1"), QStringLiteral("1"), QString());
            else if (call == QLatin1String("article add cost"))
                ledger.articles.Add(QStringLiteral("x"), QStringLiteral("1"), value, QStringLiteral("1"), QString());
            else if (call == QLatin1String("article modify value"))
                ledger.articles.Modify(QStringLiteral("x"), QStringLiteral("1"), QStringLiteral("1"), value, QString());
            else if (call == QLatin1String("credit add"))
                ledger.credits.Add(day, QStringLiteral("借出"), value, QString(), QString(), QString());
            else if (call == QLatin1String("credit modify"))
                ledger.credits.Modify(day, QStringLiteral("借出"), value, QString(), QString(), QString());
            else if (call == QLatin1String("credit add date"))
                ledger.credits.Add(value, QStringLiteral("借出"), QStringLiteral("1"), QString(), QString(), QString());
            else if (call == QLatin1String("current add"))
                ledger.current.Add(day, QStringLiteral("A"), QString(), QStringLiteral("人民币"), value, QString(), QString(), QString());
            else if (call == QLatin1String("current modify"))
                ledger.current.Modify(day, QStringLiteral("A"), QString(), QStringLiteral("人民币"), value, QString(), QString(), QString());
            else if (call == QLatin1String("deposit add"))
                ledger.deposits.Add(day, QStringLiteral("D"), QStringLiteral("人民币"), QStringLiteral("整存整取"), value,
                                    QStringLiteral("1"), QStringLiteral("2009-01-01"), QString(), QString(), QString());
            else if (call == QLatin1String("deposit add end date"))
                ledger.deposits.Add(day, QStringLiteral("D"), QStringLiteral("人民币"), QStringLiteral("整存整取"),
                                    QStringLiteral("1"), QStringLiteral("1"), value, QString(), QString(), QString());
            else if (call == QLatin1String("deposit instalment"))
                ledger.deposits.AddInstalment(day, value, QString(), QString());
            else if (call == QLatin1String("insure add"))
                ledger.insurance.Add(day, QStringLiteral("A"), QStringLiteral("缴纳保费"), value, QString(), QString());
            else if (call == QLatin1String("insure modify"))
                ledger.insurance.Modify(day, QStringLiteral("A"), QStringLiteral("缴纳保费"), value, QString(), QString());
            else if (call == QLatin1String("insure modify date"))
                ledger.insurance.Modify(value, QStringLiteral("A"), QStringLiteral("缴纳保费"), QStringLiteral("-1"), QString(), QString());
            else if (call == QLatin1String("money add"))
                ledger.money.Add(LedgerDateTime(QDate(2003, 6, 1)), QStringLiteral("x"), AtoF(value), QString(), QString());
            else if (call == QLatin1String("money modify"))
                ledger.money.Modify(LedgerDateTime(QDate(2003, 6, 1)), QStringLiteral("x"), AtoF(value), QString(), QString());
            else if (call == QLatin1String("memo add date"))
                ledger.memos.Add(value, QStringLiteral("x"), QString());
            else if (call == QLatin1String("memo modify date"))
                ledger.memos.Modify(value, QStringLiteral("x"), QString());
            else if (call == QLatin1String("policy add years"))
                notes.AddPolicy(QStringLiteral("B"), QString(), QString(), QStringLiteral("1"), QStringLiteral("1"),
                                QStringLiteral("0"), AtoI(value), day, QString(), QString(), QString(), QString(), QString());
            else if (call == QLatin1String("policy add premium"))
                notes.AddPolicy(QStringLiteral("B"), QString(), QString(), value, QStringLiteral("1"),
                                QStringLiteral("0"), 1, day, QString(), QString(), QString(), QString(), QString());
            else if (call == QLatin1String("policy edit years"))
                notes.EditPolicy(QStringLiteral("A"), QString(), QString(), QStringLiteral("1"), QStringLiteral("1"),
                                 AtoI(value), day, QString(), QString(), QString(), QString(), QStringLiteral("x"));
            else
                QFAIL(qPrintable(QStringLiteral("no such call: ") + call));
            QFAIL("the value must be refused");
        } catch (const DbError &error) {
            QVERIFY2(error.Message().contains(said), qPrintable(error.Message()));
        }
        QVERIFY(messages.messages.isEmpty());
        QCOMPARE(ledger.Visible(), before);
        QCOMPARE(committed.Dump(), stored);
        QCOMPARE(FreshlyOpened(), before);
    }

    void largestValuesAreKeptExactly()
    {
        TestInstallation install;
        CArticleBook articles;
        articles.Fill(QStringLiteral("Name"));
        articles.Add(QStringLiteral("a"), QStringLiteral("32767"), QStringLiteral("9999999999999.99"),
                     QStringLiteral("-9999999999999.99"), QString());
        articles.Add(QStringLiteral("b"), QStringLiteral("-32768"), QStringLiteral("0.01"), QStringLiteral("0"), QString());
        CInsureNoteBook notes;
        notes.AddPolicy(QStringLiteral("A"), QString(), QString(), QStringLiteral("9999999999999.99"), QStringLiteral("1"),
                        QStringLiteral("0"), 32767, QStringLiteral("2003-01-01"), QString(), QString(), QString(),
                        QString(), QString());
        CArticleBook fresh;
        fresh.Fill(QStringLiteral("Name"));
        fresh.ComputeTotals();
        QCOMPARE(fresh.GetRowTexts(0), QStringList({"a", "32767", "9999999999999.99", "-9999999999999.99", ""}));
        QCOMPARE(fresh.GetRowTexts(1), QStringList({"b", "-32768", "0.01", "0", ""}));
        QCOMPARE(fresh.GetTotalCost(), 10000000000000.0);
        QCOMPARE(fresh.GetTotalValue(), -9999999999999.99);
        CommittedView committed(install.DataFile("Kinward.db"));
        QCOMPARE(committed.Number(QStringLiteral("SELECT Value FROM Totals WHERE Name='Article|Cost|'")),
                 Q_INT64_C(1000000000000000));
        QCOMPARE(committed.Rows(QStringLiteral("SELECT Year FROM InsureNote")), QStringList({"32767"}));
    }

    void changingAPremiumToAnotherPolicyMovesIt()
    {
        TestInstallation install;
        CInsureBook activities;
        activities.Fill(QStringLiteral("Date"));
        CInsureNoteBook notes;
        AddPolicy(notes, QStringLiteral("A"));
        AddPolicy(notes, QStringLiteral("B"));
        AddPolicy(notes, QStringLiteral("Li's"));  // a quote in a policy name works in every filter
        activities.Add(QStringLiteral("2003-01-01"), QStringLiteral("Li's"), QStringLiteral("缴纳保费"),
                       QStringLiteral("-50"), QStringLiteral("Li"), QString());
        activities.RemoveActivities(QStringLiteral("Li's"));
        QCOMPARE(PayedMoney(QStringLiteral("Li's")), 50.0);
        QCOMPARE(activities.GetItemCount(), 0);
        activities.Add(QStringLiteral("2003-01-01"), QStringLiteral("A"), QStringLiteral("缴纳保费"), QStringLiteral("-300"),
                       QStringLiteral("Li"), QString());
        activities.SetSelected(0);
        activities.Modify(QStringLiteral("2003-01-01"), QStringLiteral("B"), QStringLiteral("缴纳保费"),
                          QStringLiteral("-300"), QStringLiteral("Li"), QString());
        QCOMPARE(PayedMoney(QStringLiteral("A")), 0.0);
        QCOMPARE(PayedMoney(QStringLiteral("B")), 300.0);
        activities.Modify(QStringLiteral("2003-01-01"), QStringLiteral("B"), QStringLiteral("退保"),
                          QStringLiteral("100"), QStringLiteral("Li"), QString());
        QCOMPARE(PayedMoney(QStringLiteral("B")), 0.0);
        QCOMPARE(activities.GetTotal(), 0.0);
    }

    void activityOnAMissingPolicyChangesNothing()
    {
        TestInstallation install;
        CInsureBook activities;
        activities.Fill(QStringLiteral("Date"));
        QVERIFY_THROWS_EXCEPTION(DbError, activities.Add(QStringLiteral("2003-01-01"), QStringLiteral("gone"),
                                                         QStringLiteral("缴纳保费"), QStringLiteral("-300"),
                                                         QStringLiteral("Li"), QString()));
        QCOMPARE(activities.GetTotal(), 0.0);
        QCOMPARE(activities.GetItemCount(), 0);
        activities.Close();
        activities.Fill(QStringLiteral("Date"));
        QCOMPARE(activities.GetItemCount(), 0);
        activities.ComputeTotals();
        QCOMPARE(activities.GetTotal(), 0.0);
    }

    void deletingAPolicyWithItsActivities()
    {
        TestInstallation install;
        CInsureBook activities;
        activities.Fill(QStringLiteral("Date"));
        CInsureNoteBook notes;
        AddPolicy(notes, QStringLiteral("A"));
        AddPolicy(notes, QStringLiteral("B"));
        for (const char *policy : {"A", "B", "A"})
            activities.Add(QStringLiteral("2003-01-01"), QString::fromLatin1(policy), QStringLiteral("缴纳保费"),
                           QStringLiteral("-100"), QStringLiteral("Li"), QString());
        notes.Fill(QStringLiteral("Name"));
        QCOMPARE(notes.GetRowTexts(0), QStringList({"A", "200"}));
        notes.SetSelected(0);
        activities.RemoveActivities(QStringLiteral("A"));
        QVERIFY(notes.Remove());
        QCOMPARE(activities.GetItemCount(), 1);
        QCOMPARE(activities.GetTotal(), 100.0);
        QCOMPARE(activities.GetTotal(), FreshTotal(&CInsureBook::GetTotal, QStringLiteral("Date")));
        QCOMPARE(notes.GetItemCount(), 1);
        QCOMPARE(notes.GetSelected(), 0);
        QStringList names;
        notes.CollectNames(&names);
        QCOMPARE(names, QStringList({"B"}));
    }

    void editingOnePolicyLeavesTheOthers()
    {
        TestInstallation install;
        CInsureNoteBook notes;
        AddPolicy(notes, QStringLiteral("A"));
        AddPolicy(notes, QStringLiteral("B"));
        AddPolicy(notes, QStringLiteral("C"));
        notes.EditPolicy(QStringLiteral("B"), QStringLiteral("健康保险"), QStringLiteral("中国平安保险"),
                         QStringLiteral("99"), QStringLiteral("5000"), 5, QStringLiteral("2004-01-01"),
                         QStringLiteral("2009-01-01"), QString(), QString(), QString(), QStringLiteral("changed"));
        CInsureNoteRecord set;
        set.m_strSort = QStringLiteral("Name");
        set.Open();
        QStringList kinds;
        for (; !set.IsEOF(); set.MoveNext())
            kinds << set.m_InsureKind + QLatin1Char('/') + set.m_EndDate.date().toString(Qt::ISODate);
        QCOMPARE(kinds, QStringList({"人寿保险/1979-11-25", "健康保险/2009-01-01", "人寿保险/1979-11-25"}));
    }
};

QTEST_GUILESS_MAIN(TestBooks)
#include "tst_books.moc"
