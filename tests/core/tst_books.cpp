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
#include "db/Ledger.h"
#include "db/SqlConnection.h"

#include "db/CMoneyBook.h"
#include "common/Amount.h"
#include "common/Paths.h"

#include "BookSpy.h"
#include "CommittedView.h"
#include "DeferredGuard.h"
#include "LedgerBooks.h"
#include "MessageRecorder.h"
#include "TestInstallation.h"

#include <QHash>
#include <QMap>
#include <QTest>
#include <algorithm>
#include <functional>
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

// Memos "m<i>" written straight into the table, dated by date(i).
void InsertMemos(int n, const std::function<QDateTime(int)> &date)
{
    auto db = OpenLedgerDatabase();
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

// The columns whose text 'refuse' makes the database refuse an insert or update, and whose text
// 'keep' or 'late' makes it refuse a delete at once or at the COMMIT.
const QList<QPair<QString, QString>> kMarkerColumns = {
    {"Money", "Explain"}, {"Memo", "Member"},     {"Address", "Note2"},  {"Article", "Explain"},
    {"Credit", "Explain"}, {"Current", "Explain"}, {"Deposit", "Explain"}, {"InsureRecord", "Explain"},
};

void InstallRefusals(SqlConnection &db)
{
    LayDeferredGuard(db);
    const QString refuse = QStringLiteral("BEGIN SELECT RAISE(ABORT, 'refused'); END");
    for (const auto &[table, column] : kMarkerColumns) {
        db.Execute(QStringLiteral("CREATE TRIGGER \"%1_refuse_insert\" BEFORE INSERT ON \"%1\" WHEN NEW.\"%2\"='refuse' %3")
                       .arg(table, column, refuse));
        db.Execute(QStringLiteral("CREATE TRIGGER \"%1_refuse_update\" BEFORE UPDATE ON \"%1\" WHEN NEW.\"%2\"='refuse' %3")
                       .arg(table, column, refuse));
        db.Execute(QStringLiteral("CREATE TRIGGER \"%1_keep\" BEFORE DELETE ON \"%1\" WHEN OLD.\"%2\"='keep' %3")
                       .arg(table, column, refuse));
        FailCommitOfDeletes(db, table, QStringLiteral("OLD.\"%1\"='late'").arg(column));
    }
    // A frozen policy refuses every payment: the activity that pays it is undone with it.
    db.Execute(QStringLiteral("CREATE TRIGGER frozen BEFORE UPDATE ON InsureNote WHEN OLD.Explain='frozen' %1").arg(refuse));
}

// Rows keyed by record ID.
QMap<qint64, QStringList> RowsById(const CBook &book)
{
    QMap<qint64, QStringList> rows;
    for (int row = 0; row < book.GetItemCount(); ++row)
        rows.insert(book.GetItemData(row), book.GetRowTexts(row));
    return rows;
}

// What differs between the books and the stored ledger: every total against a fresh sum in cents over
// its table, every list against a fresh fill (each record once, with its texts), the page against the
// stored records, each policy's PayedMoney against its premiums. Empty when nothing does.
QString LedgerProblem(const Ledger &ledger, const CommittedView &view, qint64 moneyOpenedAt)
{
    QStringList problems;
    auto sum = [&](const QString &column, const QString &table, const QString &where = QStringLiteral("1")) {
        return view.Number(QStringLiteral("SELECT ifnull(sum(CAST(round(%1*100) AS INTEGER)),0) FROM \"%2\" WHERE %3")
                               .arg(column, table, where));
    };
    auto check = [&](const char *what, qint64 shown, qint64 fresh) {
        if (shown != fresh)
            problems << QStringLiteral("%1 shows %2 cents, the table sums to %3").arg(QLatin1String(what)).arg(shown).arg(fresh);
    };
    const QString home = QStringLiteral("MKind='人民币'");
    check("money total", ledger.money.GetTotalCents(), sum("Money", "Money"));
    check("asset cost", qRound64(ledger.articles.GetTotalCost() * 100), sum("Cost", "Article"));
    check("asset value", qRound64(ledger.articles.GetTotalValue() * 100), sum("Value", "Article"));
    check("lending total", qRound64(ledger.credits.GetTotal() * 100), sum("Money", "Credit"));
    check("demand savings total", qRound64(ledger.current.GetTotal() * 100), sum("Money", "Current", home));
    check("deposited total", qRound64(ledger.deposits.GetDepositTotal() * 100), sum("BMoney", "Deposit", home));
    check("due total", qRound64(ledger.deposits.GetDueTotal() * 100), sum("EMoney", "Deposit", home));
    check("premiums paid", qRound64(ledger.insurance.GetTotal() * 100), -sum("Money", "InsureRecord", "Money<0"));

    Ledger fresh;
    fresh.Open();
    const std::vector<const CBook *> books = ledger.Books(), freshBooks = fresh.Books();
    for (size_t b = 1; b < books.size(); ++b) {  // the simple books list every record
        const QMap<qint64, QStringList> shown = RowsById(*books[b]), stored = RowsById(*freshBooks[b]);
        if (shown.size() != books[b]->GetItemCount())
            problems << QStringLiteral("book %1 lists a record twice").arg(b);
        if (shown != stored)
            problems << QStringLiteral("book %1 lists %2 records unlike a fresh fill").arg(b).arg(shown.size());
    }
    const qint64 count = view.Number(QStringLiteral("SELECT count(*) FROM Money"));
    if (ledger.money.GetPageCount() != (count + 99) / 100)
        problems << QStringLiteral("%1 pages for %2 records").arg(ledger.money.GetPageCount()).arg(count);
    // The page is its part of the set's order: the records there at the open by date and ID, then the
    // book's additions (above the highest ID at the open) in the order added.
    QStringList listing = view.Rows(QStringLiteral("SELECT ID FROM Money WHERE ID <= %1 ORDER BY Date, ID").arg(moneyOpenedAt));
    listing += view.Rows(QStringLiteral("SELECT ID FROM Money WHERE ID > %1 ORDER BY ID").arg(moneyOpenedAt));
    QStringList pageIds;
    for (int row = 0; row < ledger.money.GetItemCount(); ++row)
        pageIds << QString::number(ledger.money.GetItemData(row));
    if (pageIds != listing.mid((ledger.money.GetCurrentPage() - 1) * 100, 100))
        problems << QStringLiteral("page %1 is not its part of the listing").arg(ledger.money.GetCurrentPage());
    const QMap<qint64, QStringList> page = RowsById(ledger.money);
    if (page.size() != ledger.money.GetItemCount())
        problems << QStringLiteral("the page lists a record twice");
    for (auto row = page.begin(); row != page.end(); ++row) {
        const QString stored = view.Rows(QStringLiteral("SELECT substr(Date,1,10), Item, Money, Member, Explain FROM Money WHERE ID=%1")
                                             .arg(row.key())).value(0);
        const QStringList v = stored.split(QLatin1Char('|'));
        const double money = v.value(2).toDouble();
        const QStringList expected{v.value(0), v.value(1), money >= 0 ? TrimAmount(money) : QString(),
                                   money < 0 ? TrimAmount(money) : QString(), v.value(3), v.value(4)};
        if (stored.isEmpty() || row.value() != expected)
            problems << QStringLiteral("page row of record %1 shows %2, stored %3").arg(row.key()).arg(row.value().join('|'), stored);
    }
    for (const QString &policy : view.Rows(QStringLiteral(
             "SELECT n.Name, CAST(round(n.PayedMoney*100) AS INTEGER), ifnull((SELECT -sum(CAST(round(r.Money*100) AS INTEGER)) "
             "FROM InsureRecord r WHERE r.InsureName=n.Name AND r.Active IN ('缴纳保费','保单开户')),0) FROM InsureNote n"))) {
        const QStringList v = policy.split(QLatin1Char('|'));
        if (v.value(1) != v.value(2))
            problems << QStringLiteral("policy %1 has paid %2 cents, its premiums sum to %3").arg(v.value(0), v.value(1), v.value(2));
    }
    return problems.join(QStringLiteral("; "));
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

        // A delete after a find: the match queued as row 2 would now be another memo, so none waits.
        QVERIFY(book.FindText(2, QStringLiteral("Li")));
        book.SetSelected(0);
        QVERIFY(book.Remove());
        QVERIFY(!book.FindsWaiting());
        QVERIFY(!book.FindNext());
        QCOMPARE(book.GetSelected(), 0);
        book.Add(QStringLiteral("2003-05-01"), QStringLiteral("交电费"), QStringLiteral("Li"));
        book.Close();
        book.Fill(QStringLiteral("Date"));

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

    void balancesFollowTheListOrderAndItsCents()
    {
        // Accounts in the order the list first shows them: same-day records by their IDs, and a record
        // added since the list was filled at its end, whatever its date. Sums to the cent, no float noise.
        TestInstallation install;
        {
            CCurrentBook writer;
            writer.Fill(QStringLiteral("Date"));
            const auto add = [&](const char *date, const char *account, const char *currency, const char *money) {
                writer.Add(QString::fromLatin1(date), QString::fromUtf8(account), QString(), QString::fromUtf8(currency),
                           QString::fromLatin1(money), QString(), QStringLiteral("Li"), QString());
            };
            add("2003-02-01", "C", "人民币", "0.1");
            add("2003-01-05", "B", "人民币", "0.2");
            add("2003-01-05", "A", "美元", "7");
            for (int i = 0; i < 10; ++i)
                add("2003-03-01", "C", "人民币", "0.1");
        }
        CCurrentBook book;
        book.Fill(QStringLiteral("Date"));
        book.Add(QStringLiteral("2002-01-01"), QStringLiteral("D"), QString(), QStringLiteral("人民币"), QStringLiteral("3.3"),
                 QString(), QStringLiteral("Li"), QString());
        book.ComputeBalances(QStringLiteral("人民币"));
        QCOMPARE(book.GetBalances(), QStringList({"B", "0.20", "A", "0.00", "C", "1.10", "D", "3.30"}));
        book.ComputeBalances(QStringLiteral("美元"));
        QCOMPARE(book.GetBalances(), QStringList({"B", "0.00", "A", "7.00", "C", "0.00", "D", "0.00"}));
    }

    void balancesAgreeWithTheListsRows()
    {
        // Each account's balance is what the list's rows in the currency add up to: amounts stored as
        // texts the field does not read as a number, half cents as the list shows them, accounts stored
        // as numbers, and a record added through the book.
        TestInstallation install;
        {
            auto db = OpenLedgerDatabase();
            db->Execute(QStringLiteral(
                "INSERT INTO \"Current\" (\"Date\", \"Account\", \"Bank\", \"MKind\", \"Money\", \"Member\") VALUES "
                "('2003-01-01 00:00:00', 'A', '', '人民币', '12元', 'Li'), "
                "('2003-01-02 00:00:00', 'A', '', '人民币', 0.125, 'Li'), "
                "('2003-01-03 00:00:00', 7, '', '人民币', 1.005, 'Li'), "
                "('2003-01-04 00:00:00', 7, '', '人民币', '1,000', 'Li'), "
                "('2003-01-05 00:00:00', 'B', '', '美元', 2.675, 'Li')"));
        }
        CCurrentBook book;
        book.Fill(QStringLiteral("Date"));
        book.Add(QStringLiteral("2002-01-01"), QStringLiteral("B"), QString(), QStringLiteral("人民币"), QStringLiteral("3.3"),
                 QString(), QStringLiteral("Li"), QString());
        for (const QString &currency : {QStringLiteral("人民币"), QStringLiteral("美元")}) {
            QStringList accounts;
            QHash<QString, qint64> cents;
            for (int row = 0; row < book.GetItemCount(); ++row) {
                const QString account = book.GetItemText(row, 1);
                if (!cents.contains(account)) {
                    accounts << account;
                    cents.insert(account, 0);
                }
                if (book.GetItemText(row, 3) == currency)
                    cents[account] += qRound64(book.GetItemText(row, 4).toDouble() * 100);
            }
            QStringList expected;
            for (const QString &account : std::as_const(accounts))
                expected << account << QString::asprintf("%.2f", double(cents.value(account)) / 100);
            book.ComputeBalances(currency);
            QCOMPARE(book.GetBalances(), expected);
        }
    }

    void aTextFindStepsThroughALongListInOrder()
    {
        // Matches are looked for as they are asked for, reading texts as far as the search goes: every
        // match, in list order, far down a list whose texts were not read yet, and none after the last.
        TestInstallation install;
        MessageRecorder messages;
        InsertMemos(1000, [](int i) { return LedgerDateTime(QDate(2003, 1, 1).addDays(i), QTime(8, 0)); });
        CMemoBook book;
        book.Fill(QStringLiteral("Date"));
        QList<int> stepped;
        bool more = book.FindText(2, QStringLiteral("p3"));
        stepped << book.GetSelected();
        while (more) {
            more = book.FindNext();
            stepped << book.GetSelected();
        }
        QList<int> walked;
        for (int row = 0; row < book.GetItemCount(); ++row) {
            if (book.GetItemText(row, 2) == QStringLiteral("p3"))
                walked << row;
        }
        QCOMPARE(walked.size(), 143);
        QCOMPARE(stepped, walked);
        QVERIFY(!book.FindNext());
        QVERIFY(!book.FindText(2, QStringLiteral("p")));  // whole texts only
        QCOMPARE(messages.Last(), QStringLiteral("没有匹配的记录"));
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
        OpenLedgerDatabase(install.DataFile("Kinward.db"))
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
        auto db = OpenLedgerDatabase(install.DataFile("Kinward.db"));
        LayDeferredGuard(*db);
        FailCommitOfDeletes(*db, QStringLiteral("InsureRecord"));
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
        OpenLedgerDatabase(install.DataFile("Kinward.db"))
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

    // A long random run of writes across every book, some refused before anything is written (a bad date,
    // a value out of range), some refused by the database at once or only at the COMMIT.
    void totalsAndListsMatchTheStoredLedgerThroughMixedWrites()
    {
        TestInstallation install;
        MessageRecorder messages;
        {
            auto db = OpenLedgerDatabase(install.DataFile("Kinward.db"));
            SqlTransaction transaction(*db);
            SqlStatement insert = db->Prepare(QStringLiteral("INSERT INTO Money (Date, Item, Money, Member) VALUES (?, ?, ?, 'Li')"));
            for (int i = 0; i < 230; ++i) {  // enough for three pages
                insert.Reset();
                insert.Bind(1, DbDateText(LedgerDateTime(QDate(2003, 1, 1).addDays(i % 60))));
                insert.Bind(2, QStringLiteral("r%1").arg(i));
                insert.Bind(3, (i % 9 - 4) * 1.1);
                insert.Run();
            }
            transaction.Commit();
        }
        Ledger ledger;
        ledger.Open();
        CommittedView committed(install.DataFile("Kinward.db"));
        const QString highest = QStringLiteral("SELECT ifnull(max(ID), 0) FROM Money");
        qint64 moneyOpenedAt = committed.Number(highest);
        CInsureNoteBook notes;
        auto addPolicies = [&] {
            QStringList names;
            notes.CollectNames(&names);
            for (const char *name : {"A", "B"}) {
                if (!names.contains(QLatin1String(name)))
                    AddPolicy(notes, QLatin1String(name));
            }
            if (!names.contains(QStringLiteral("C")))
                notes.AddPolicy(QStringLiteral("C"), QString(), QString(), QStringLiteral("1"), QStringLiteral("1"),
                                QStringLiteral("0"), 1, QStringLiteral("2003-01-01"), QString(), QString(), QString(),
                                QString(), QStringLiteral("frozen"));
        };
        addPolicies();
        InstallRefusals(*OpenLedgerDatabase(install.DataFile("Kinward.db")));

        std::mt19937 random(19791125);
        auto pick = [&](int n) { return int(random() % unsigned(n)); };
        auto oneOf = [&](const QStringList &texts) { return texts.at(pick(int(texts.size()))); };
        auto marker = [&] { return oneOf({"", "", "", "", "", "x", "keep", "late", "refuse"}); };
        auto date = [&] {
            return pick(15) == 0 ? oneOf({"2003-02-30", "2003-13-01", "soon"})
                                 : QDate(2003, 1, 1).addDays(pick(60)).toString(Qt::ISODate);
        };
        auto amount = [&] {
            return pick(20) == 0 ? oneOf({"10000000000000", "-10000000000000"})
                                 : TrimAmount(double(pick(200001) - 100000) / 100.0);
        };
        // Mostly a row, now and then the last (a recent addition), now and then none.
        auto select = [&](CBook &book) {
            const int rows = book.GetItemCount();
            book.SetSelected(rows == 0 || pick(12) == 0 ? -1 : pick(3) == 0 ? rows - 1 : pick(rows));
        };
        const QStringList accounts{"甲", "乙", "O'Neil"};
        const QStringList currencies{"人民币", "人民币", "美元"};
        const QStringList policies{"A", "B", "C"};
        const QStringList activities{"缴纳保费", "保单开户", "保险金给付", "退保"};

        const std::vector<std::pair<const char *, std::function<void()>>> operations = {
            {"money add", [&] { ledger.money.Add(LedgerDateTime(QDate(2003, 1, 1).addDays(pick(60))), QStringLiteral("n%1").arg(pick(1000)),
                                                 AtoF(amount()), QStringLiteral("Li"), marker()); }},
            {"money modify", [&] { select(ledger.money);
                                   ledger.money.Modify(LedgerDateTime(QDate(2003, 1, 1).addDays(pick(60))), QStringLiteral("c%1").arg(pick(1000)),
                                                       AtoF(amount()), QStringLiteral("Wang"), marker()); }},
            {"money remove", [&] { select(ledger.money); ledger.money.Remove(); }},
            {"money page", [&] {
                 // The last page half the time: the book's own additions are listed there.
                 const int pages = std::max(1, ledger.money.GetPageCount());
                 ledger.money.ShowPage(pick(2) == 0 ? pages : 1 + pick(pages), QStringLiteral("Date"));
             }},
            {"money reopen", [&] {
                 ledger.money.Close();
                 moneyOpenedAt = committed.Number(highest);
                 ledger.money.ShowPage(1, QStringLiteral("Date"));
             }},
            {"memo add", [&] { ledger.memos.Add(date(), QStringLiteral("m%1").arg(pick(1000)), marker()); }},
            {"memo modify", [&] { select(ledger.memos); ledger.memos.Modify(date(), QStringLiteral("c%1").arg(pick(1000)), marker()); }},
            {"memo remove", [&] { select(ledger.memos); ledger.memos.Remove(); }},
            {"address add", [&] { QStringList f(15, QStringLiteral("a%1").arg(pick(100))); f[14] = marker(); ledger.addresses.Add(f); }},
            {"address modify", [&] { select(ledger.addresses); QStringList f(15, QStringLiteral("c%1").arg(pick(100))); f[14] = marker();
                                     ledger.addresses.Modify(f); }},
            {"address remove", [&] { select(ledger.addresses); ledger.addresses.Remove(); }},
            {"asset add", [&] { ledger.articles.Add(QStringLiteral("a%1").arg(pick(100)), QString::number(pick(10) == 0 ? 40000 : pick(50)),
                                                    amount(), amount(), marker()); }},
            {"asset modify", [&] { select(ledger.articles);
                                   ledger.articles.Modify(QStringLiteral("c%1").arg(pick(100)), QString::number(pick(10) == 0 ? -40000 : pick(50)),
                                                          amount(), amount(), marker()); }},
            {"asset remove", [&] { select(ledger.articles); ledger.articles.Remove(); }},
            {"lending add", [&] { ledger.credits.Add(date(), QStringLiteral("借出"), amount(), QStringLiteral("张三"), QStringLiteral("Li"), marker()); }},
            {"lending modify", [&] { select(ledger.credits);
                                     ledger.credits.Modify(date(), QStringLiteral("收回"), amount(), QStringLiteral("李四"), QStringLiteral("Li"), marker()); }},
            {"lending remove", [&] { select(ledger.credits); ledger.credits.Remove(); }},
            {"movement add", [&] { ledger.current.Add(date(), oneOf(accounts), QStringLiteral("中国银行"), oneOf(currencies), amount(),
                                                      QString(), QStringLiteral("Li"), marker()); }},
            {"movement modify", [&] { select(ledger.current);
                                      ledger.current.Modify(date(), oneOf(accounts), QStringLiteral("中国银行"), oneOf(currencies), amount(),
                                                            QString(), QStringLiteral("Li"), marker()); }},
            {"movement remove", [&] { select(ledger.current); ledger.current.Remove(); }},
            {"account closed", [&] { ledger.current.CloseAccount(oneOf(accounts)); }},
            {"deposit add", [&] { ledger.deposits.Add(date(), oneOf(accounts), oneOf(currencies), QStringLiteral("零存整取"), amount(),
                                                      amount(), date(), QStringLiteral("中国银行"), QStringLiteral("Li"), marker()); }},
            {"instalment", [&] { select(ledger.deposits); ledger.deposits.AddInstalment(date(), amount(), QStringLiteral("Wang"), marker()); }},
            {"deposit remove", [&] { select(ledger.deposits); ledger.deposits.Remove(); }},
            {"activity add", [&] { ledger.insurance.Add(date(), oneOf(policies), oneOf(activities), amount(), QStringLiteral("Li"), marker()); }},
            {"activity modify", [&] { select(ledger.insurance);
                                      ledger.insurance.Modify(date(), oneOf(policies), oneOf(activities), amount(), QStringLiteral("Li"), marker()); }},
            {"activity remove", [&] { select(ledger.insurance); ledger.insurance.Remove(); }},
            {"policy deleted", [&] {
                 const QString policy = oneOf(policies);
                 ledger.insurance.RemoveActivities(policy);
                 notes.Fill(QStringLiteral("Name"));
                 for (int row = 0; row < notes.GetItemCount(); ++row) {
                     if (notes.GetItemText(row, 0) == policy)
                         notes.SetSelected(row);
                 }
                 notes.Remove();
                 addPolicies();
             }},
            {"lists reopened", [&] {
                 ledger.Close();
                 moneyOpenedAt = committed.Number(highest);
                 ledger.Open();
             }},
        };

        int failures = 0;
        int kept = 0;
        for (int step = 0; step < 600; ++step) {
            const auto &[name, operation] = operations[size_t(pick(int(operations.size())))];
            const QStringList before = ledger.Visible();
            const QStringList stored = committed.Dump();
            bool failed = false;
            try {
                operation();
            } catch (const DbError &) {
                failed = true;
            }
            const QString where = QStringLiteral("step %1, %2: ").arg(step).arg(QLatin1String(name));
            if (failed) {
                ++failures;
                QVERIFY2(ledger.Visible() == before, qPrintable(where + QStringLiteral("the failure changed what is shown")));
                QVERIFY2(committed.Dump() == stored, qPrintable(where + QStringLiteral("the failure changed the ledger")));
            } else {
                ++kept;
            }
            const QString problem = LedgerProblem(ledger, committed, moneyOpenedAt);
            QVERIFY2(problem.isEmpty(), qPrintable(where + problem));
        }
        QVERIFY2(failures > 60 && kept > 300, qPrintable(QStringLiteral("%1 failed, %2 kept").arg(failures).arg(kept)));

        // Every income and expense record on exactly one page.
        QList<qint64> shown;
        for (int page = 1; page <= ledger.money.GetPageCount(); ++page) {
            ledger.money.ShowPage(page, QStringLiteral("Date"));
            for (int row = 0; row < ledger.money.GetItemCount(); ++row)
                shown << ledger.money.GetItemData(row);
        }
        QStringList ids;
        for (qint64 id : shown)
            ids << QString::number(id);
        std::sort(ids.begin(), ids.end(), [](const QString &a, const QString &b) { return a.toLongLong() < b.toLongLong(); });
        QCOMPARE(ids, committed.Rows(QStringLiteral("SELECT ID FROM Money ORDER BY ID")));
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

    void aLongPolicyListIsReadAsItIsShown()
    {
        // The list of policies reads its rows as they are shown: every row, far down the list too, after
        // a delete in the middle, and after the book looked up a policy on other terms.
        TestInstallation install;
        {
            CInsureNoteBook writer;
            for (int i = 0; i < 150; ++i)
                AddPolicy(writer, QStringLiteral("P%1").arg(i, 3, 10, QLatin1Char('0')));
        }
        CInsureNoteBook notes;
        notes.Fill(QStringLiteral("Name"));
        QCOMPARE(notes.GetItemCount(), 150);
        QCOMPARE(notes.GetRowTexts(140), QStringList({"P140", "0"}));
        notes.SetSelected(70);
        QVERIFY(notes.Remove());
        QCOMPARE(notes.GetItemCount(), 149);
        QCOMPARE(notes.GetItemText(70, 0), QStringLiteral("P071"));
        QCOMPARE(notes.GetItemText(148, 0), QStringLiteral("P149"));
        QVERIFY(!notes.IsNameFree(QStringLiteral("P001")));
        QCOMPARE(notes.GetItemText(100, 0), QStringLiteral("P101"));
        QCOMPARE(notes.GetItemText(0, 0), QStringLiteral("P000"));
        QCOMPARE(PayedMoney(QStringLiteral("P070")), -1.0);  // gone from the table too
        CInsureNoteBook closed;
        closed.Fill(QStringLiteral("Name"));
        closed.Close();  // a list closed keeps what it shows
        QCOMPARE(closed.GetItemText(120, 0), QStringLiteral("P121"));
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
