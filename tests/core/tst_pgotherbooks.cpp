// The eight books beside the income and expense book on a ledger file and on a server ledger, driven
// by the same steps: records added, one changed and one removed in the middle of the list, the list
// filled in each order, the book's finds, totals and its own operations (instalments and a deposit
// moved to cash, balances and a closed account, premiums paid on policies). Every row, text, total
// and selection reads the same on both.
#include "common/LedgerDate.h"
#include "db/SqlConnection.h"

#include "BothLedgers.h"
#include "LedgerBooks.h"

#include <QTest>
#include <functional>

namespace {

// Texts a household writes, with what a server could read as its own: quotes, dollar tags,
// backslashes, a cast, a comment, and letters that sort differently in other languages.
const QStringList kTexts{QStringLiteral("交电费"), QStringLiteral("O'Neil"), QStringLiteral("买菜 😀"), QStringLiteral("b"),
                         QStringLiteral("B"), QStringLiteral("Ä"), QStringLiteral("$$ \\ E'x'::text /* -- "), QString()};
const QStringList kMembers{QStringLiteral("Li"), QStringLiteral("妈妈"), QStringLiteral("li"), QString()};

QString Text(int i)
{
    return kTexts.at(i % kTexts.size());
}

QString Member(int i)
{
    return kMembers.at(i % kMembers.size());
}

// Dates that repeat, so that the record's ID orders a day's records.
QString Day(int i)
{
    return QDate(2003, 1, 1).addDays(i * 37 % 90).toString(Qt::ISODate);
}

// An amount with cents that add up with float noise (0.1 + 0.2), a sign that changes, whole ones,
// and now and then half a cent more, exactly (x.125), which the totals round away from zero.
QString Amount(int i)
{
    const QLatin1String sign(i % 3 == 0 ? "-" : "");
    if (i % 7 == 3)
        return QStringLiteral("%1%2.125").arg(sign).arg(i);
    return i % 5 == 0 ? QString::number(i * 100) : QStringLiteral("%1%2.%3").arg(sign).arg(i).arg(i % 10);
}

// After a step: every book of the window as it is seen, each one's selection and its export.
void Look(const Ledger &ledger, QStringList *seen, const QString &step)
{
    seen->append(QStringLiteral("== ") + step);
    seen->append(ledger.Visible());
    for (const CBook *book : ledger.Books())
        seen->append(QStringLiteral("selected %1").arg(book->GetSelected()));
}

// A find from the find window: the row it selects, then each row the next finds select.
void Find(CBook &book, int column, const QString &text, QStringList *seen)
{
    bool more = book.FindText(column, text);
    QStringList rows{QString::number(book.GetSelected())};
    while (more) {
        more = book.FindNext();
        rows.append(QString::number(book.GetSelected()));
    }
    seen->append(QStringLiteral("find %1 '%2': %3").arg(column).arg(text, rows.join(QLatin1Char(' '))));
}

// One book's steps, as its panel and dialogs take them.
struct BookSteps
{
    std::function<CBook &(Ledger &)> book;
    std::function<void(Ledger &)> remove;                 // the selected record deleted
    std::function<void(Ledger &, const QString &)> fill;  // the list in the order, its totals read
    std::function<void(Ledger &, int)> add;               // the i-th record
    std::function<void(Ledger &)> modify;                 // the selected record changed
    QStringList sorts;                                    // the panel's first
    QList<std::pair<int, QString>> finds;                 // column and text
    std::function<void(Ledger &, QStringList *)> own;     // the book's own operations
};

// A book's totals read again, for the books that keep any.
template <typename Book>
auto ReadTotals(Book &book, int) -> decltype(book.ComputeTotals())
{
    book.ComputeTotals();
}
template <typename Book>
void ReadTotals(Book &, long)
{
}

// The steps every book takes alike: its list filled (and its totals read), its selected record deleted.
template <typename Book>
BookSteps StepsOf(Book Ledger::*member)
{
    BookSteps steps;
    steps.book = [member](Ledger &l) -> CBook & { return l.*member; };
    steps.remove = [member](Ledger &l) { (l.*member).Remove(); };
    steps.fill = [member](Ledger &l, const QString &sort) {
        (l.*member).Fill(sort);
        ReadTotals(l.*member, 0);
    };
    return steps;
}

// Records added past the first block of rows read, one changed and one removed in the middle, the
// list in each order with its export, the finds, and the book's own operations.
QStringList Drive(const BookSteps &steps)
{
    QStringList seen;
    Ledger ledger;
    ledger.Open();
    CBook &book = steps.book(ledger);
    for (int i = 0; i < 130; ++i)
        steps.add(ledger, i);
    Look(ledger, &seen, QStringLiteral("added"));
    book.SetSelected(book.GetItemCount() / 2);
    if (steps.modify) {
        steps.modify(ledger);
        Look(ledger, &seen, QStringLiteral("changed"));
    }
    book.SetSelected(book.GetItemCount() / 2 - 1);
    steps.remove(ledger);
    Look(ledger, &seen, QStringLiteral("removed"));
    for (const QString &sort : steps.sorts) {
        book.Close();
        steps.fill(ledger, sort);
        seen.append(QStringLiteral("== filled by ") + sort);
        seen.append(BookRows(book));
        for (const QStringList &row : book.AllRowTexts())
            seen.append(QStringLiteral("export ") + row.join(QLatin1Char('|')));
        for (const auto &[column, text] : steps.finds)
            Find(book, column, text, &seen);
    }
    book.Close();
    steps.fill(ledger, steps.sorts.first());
    if (steps.own)
        steps.own(ledger, &seen);
    // Opened afresh, as at the program's next start.
    Ledger fresh;
    fresh.Open();
    Look(fresh, &seen, QStringLiteral("opened again"));
    return seen;
}

QStringList AddressFields(int i, const QString &name)
{
    QStringList fields;
    for (int f = 0; f < CAddressBook::kFieldCount; ++f)
        fields.append(QStringLiteral("%1-%2").arg(f).arg(Text(i + f)));
    fields[0] = name;
    fields[7] = QStringLiteral("0%1").arg(13800000000LL + i % 7);  // a mobile keeps its leading zero
    fields[12] = QStringLiteral("0%1").arg(10000 + i % 3);
    return fields;
}

const QStringList kAccounts{QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("O'Neil"), QStringLiteral("a$$b")};
const QStringList kCurrencies{QStringLiteral("人民币"), QStringLiteral("人民币"), QStringLiteral("美元")};
const QStringList kPolicies{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("Li's"), QStringLiteral("$1")};
const QStringList kActivities{QStringLiteral("缴纳保费"), QStringLiteral("保单开户"), QStringLiteral("保险金给付"), QStringLiteral("退保")};

void Policies(QStringList *seen)
{
    CInsureNoteBook notes;
    notes.Fill(QStringLiteral("Name"));
    seen->append(QStringLiteral("== policies"));
    seen->append(BookRows(notes));
    QStringList names;
    notes.CollectNames(&names);
    seen->append(QStringLiteral("names ") + names.join(QLatin1Char('|')));
    for (const QString &name : names) {
        const std::optional<CInsureNoteBook::Policy> policy = notes.ReadPolicy(name);
        if (policy)
            seen->append(QStringList{policy->name, policy->kind, policy->organ, policy->pay, policy->get, policy->payed, policy->start,
                                     policy->end, policy->payPeople, policy->benefitPeople, policy->insuredPeople,
                                     policy->explain, QString::number(policy->years)}
                             .join(QLatin1Char('|')));
        seen->append(QStringLiteral("paid %1").arg(PayedMoney(name)));
    }
}

BookSteps Memos()
{
    BookSteps steps = StepsOf(&Ledger::memos);
    steps.add = [](Ledger &l, int i) { l.memos.Add(Day(i), Text(i), Member(i)); };
    steps.modify = [](Ledger &l) { l.memos.Modify(QStringLiteral("2003-01-15"), QStringLiteral("改过 'x'"), QStringLiteral("Wang")); };
    steps.sorts = {QStringLiteral("Date"), QStringLiteral("Matter"), QStringLiteral("Member")};
    steps.finds = {{1, Text(1)}, {2, QStringLiteral("li")}, {0, Day(3)}, {1, QStringLiteral("nothing")}};
    return steps;
}

BookSteps Addresses()
{
    BookSteps steps = StepsOf(&Ledger::addresses);
    steps.add = [](Ledger &l, int i) { l.addresses.Add(AddressFields(i, Text(i) + QString::number(i % 4))); };
    steps.modify = [](Ledger &l) { l.addresses.Modify(AddressFields(3, QStringLiteral("改过"))); };
    steps.sorts = {QStringLiteral("Name"), QStringLiteral("Mobile"), QStringLiteral("Postalcode"), QStringLiteral("City")};
    steps.finds = {{0, QStringLiteral("O'Neil1")}, {7, QStringLiteral("013800000002")}, {12, QStringLiteral("010001")}};
    return steps;
}

BookSteps Articles()
{
    BookSteps steps = StepsOf(&Ledger::articles);
    steps.add = [](Ledger &l, int i) {
        l.articles.Add(Text(i) + QString::number(i % 3), QString::number(i % 7 - 2), Amount(i), Amount(i + 1), Member(i));
    };
    steps.modify = [](Ledger &l) {
        l.articles.Modify(QStringLiteral("电视机"), QStringLiteral("2"), QStringLiteral("3000.50"), QStringLiteral("0.1"),
                          QStringLiteral("客厅"));
    };
    steps.sorts = {QStringLiteral("Name"), QStringLiteral("Cost"), QStringLiteral("Value"), QStringLiteral("Number")};
    steps.finds = {{0, QStringLiteral("b1")}, {1, QStringLiteral("2")}, {2, QStringLiteral("3000.5")}, {3, Amount(6)}};
    return steps;
}

BookSteps Credits()
{
    BookSteps steps = StepsOf(&Ledger::credits);
    steps.add = [](Ledger &l, int i) {
        l.credits.Add(Day(i), i % 2 ? QStringLiteral("借出") : QStringLiteral("收回"), Amount(i), Text(i), Member(i), Text(i + 1));
    };
    steps.modify = [](Ledger &l) {
        l.credits.Modify(QStringLiteral("2003-02-01"), QStringLiteral("借入"), QStringLiteral("-0.2"), QStringLiteral("张三"),
                         QStringLiteral("Li"), QString());
    };
    steps.sorts = {QStringLiteral("Date"), QStringLiteral("Money"), QStringLiteral("People"), QStringLiteral("Active")};
    steps.finds = {{1, QStringLiteral("借出")}, {4, QStringLiteral("O'Neil")}, {3, QStringLiteral("-3.3")}};
    return steps;
}

BookSteps Current()
{
    BookSteps steps = StepsOf(&Ledger::current);
    steps.add = [](Ledger &l, int i) {
        l.current.Add(Day(i), kAccounts.at(i % kAccounts.size()), Text(i), kCurrencies.at(i % kCurrencies.size()), Amount(i),
                      QStringLiteral("存入现金"), Member(i), Text(i + 2));
    };
    steps.modify = [](Ledger &l) {
        l.current.Modify(QStringLiteral("2003-02-01"), QStringLiteral("乙"), QStringLiteral("中国银行"), QStringLiteral("美元"),
                         QStringLiteral("0.3"), QStringLiteral("取出现金"), QStringLiteral("Li"), QString());
    };
    steps.sorts = {QStringLiteral("Date"), QStringLiteral("Account"), QStringLiteral("Money"), QStringLiteral("MKind")};
    steps.finds = {{1, QStringLiteral("O'Neil")}, {3, QStringLiteral("美元")}, {4, QStringLiteral("500")}};
    steps.own = [](Ledger &l, QStringList *seen) {
        for (const QString &currency : {QStringLiteral("人民币"), QStringLiteral("美元"), QStringLiteral("欧元")}) {
            l.current.ComputeBalances(currency);
            seen->append(currency + QLatin1Char(' ') + l.current.GetBalances().join(QLatin1Char('|')));
        }
        QStringList accounts{QStringLiteral("乙 ## ")};
        l.current.CollectAccounts(&accounts);
        seen->append(QStringLiteral("accounts ") + accounts.join(QLatin1Char('|')));
        l.current.SetSelected(3);
        l.current.CloseAccount(QStringLiteral("O'Neil"));
        Look(l, seen, QStringLiteral("account closed"));
        l.current.CloseAccount(QStringLiteral("a$$b"));
        l.current.ComputeBalances(QStringLiteral("人民币"));
        seen->append(QStringLiteral("balances ") + l.current.GetBalances().join(QLatin1Char('|')));
    };
    return steps;
}

// A deposit moved to cash as the transfer dialog moves it: the money in and the deposit out in one
// transaction, kept only when both were written.
bool Transfer(Ledger &l, const QString &amount)
{
    SqlTransaction transaction(*OpenLedgerDatabase());
    const int rows = l.deposits.GetItemCount();
    if (!l.money.Add(LedgerDateTime(QDate(2004, 1, 2), QTime(9, 30)), QStringLiteral("资金互转"), amount.toDouble(), QStringLiteral("Li"),
                     QStringLiteral("到期转入")) || l.deposits.GetSelected() < 0)
        return false;
    l.deposits.Remove();
    if (l.deposits.GetItemCount() == rows)
        return false;
    transaction.Commit();
    return true;
}

BookSteps Deposits()
{
    BookSteps steps = StepsOf(&Ledger::deposits);
    steps.add = [](Ledger &l, int i) {
        l.deposits.Add(Day(i), kAccounts.at(i % kAccounts.size()), kCurrencies.at(i % kCurrencies.size()),
                       i % 2 ? QStringLiteral("零存整取") : QStringLiteral("整存整取"), Amount(i), Amount(i + 3),
                       QDate(2004, 1, 1).addDays(i * 11 % 300).toString(Qt::ISODate), Text(i), Member(i), Text(i + 3));
    };
    // A further instalment is the change a deposit takes.
    steps.modify = [](Ledger &l) {
        l.deposits.AddInstalment(QStringLiteral("2003-03-01"), QStringLiteral("0.2"), QStringLiteral("Wang"), QStringLiteral("第二期"));
    };
    steps.sorts = {QStringLiteral("BDate"), QStringLiteral("EDate"), QStringLiteral("BMoney"), QStringLiteral("Account")};
    steps.finds = {{1, QStringLiteral("a$$b")}, {3, QStringLiteral("零存整取")}, {6, QStringLiteral("2004-01-12")}};
    steps.own = [](Ledger &l, QStringList *seen) {
        QStringList accounts;
        l.deposits.CollectAccounts(&accounts);
        seen->append(QStringLiteral("accounts ") + accounts.join(QLatin1Char('|')));
        l.deposits.SetSelected(7);
        seen->append(QStringLiteral("moved to cash: %1").arg(Transfer(l, l.deposits.GetItemText(7, 5))));
        Look(l, seen, QStringLiteral("moved to cash"));
        // Nothing selected: the cash written is taken back with the rest, and both lists read again.
        l.deposits.SetSelected(-1);
        seen->append(QStringLiteral("moved to cash: %1").arg(Transfer(l, QStringLiteral("10"))));
        l.money.Reload();
        l.deposits.Reload();
        Look(l, seen, QStringLiteral("nothing moved"));
    };
    return steps;
}

BookSteps Insurance()
{
    BookSteps steps = StepsOf(&Ledger::insurance);
    steps.add = [](Ledger &l, int i) {
        if (i < int(kPolicies.size())) {
            CInsureNoteBook notes;
            AddPolicy(notes, kPolicies.at(i));
        }
        const QString activity = kActivities.at(i % kActivities.size());
        l.insurance.Add(Day(i), kPolicies.at(i % kPolicies.size()), activity,
                        CInsureBook::IsPremium(activity) ? QStringLiteral("-") + Amount(i + 1).remove(QLatin1Char('-')) : Amount(i),
                        Member(i), Text(i));
    };
    // A premium moved to another policy.
    steps.modify = [](Ledger &l) {
        l.insurance.Modify(QStringLiteral("2003-02-01"), QStringLiteral("Li's"), QStringLiteral("缴纳保费"), QStringLiteral("-0.3"),
                           QStringLiteral("Li"), QString());
    };
    steps.sorts = {QStringLiteral("Date"), QStringLiteral("InsureName"), QStringLiteral("Money"), QStringLiteral("Active")};
    steps.finds = {{1, QStringLiteral("Li's")}, {2, QStringLiteral("退保")}, {1, QStringLiteral("$1")}};
    steps.own = [](Ledger &l, QStringList *seen) {
        Policies(seen);
        CInsureNoteBook notes;
        seen->append(QStringLiteral("edited %1").arg(notes.EditPolicy(
            QStringLiteral("$1"), QStringLiteral("健康保险"), QStringLiteral("中国平安保险"), QStringLiteral("99.9"),
            QStringLiteral("5000"), 5, QStringLiteral("2004-01-01"), QStringLiteral("2009-01-01"), QStringLiteral("O'Neil"),
            QString(), QString(), QStringLiteral("$$ changed"))));
        seen->append(QStringLiteral("free %1 %2").arg(notes.IsNameFree(QStringLiteral("Li's"))).arg(notes.IsNameFree(QStringLiteral("li's"))));
        // A policy deleted with its activities, as the policy list deletes one.
        l.insurance.RemoveActivities(QStringLiteral("Li's"));
        notes.Fill(QStringLiteral("Name"));
        for (int row = 0; row < notes.GetItemCount(); ++row) {
            if (notes.GetItemText(row, 0) == QStringLiteral("Li's"))
                notes.SetSelected(row);
        }
        seen->append(QStringLiteral("policies remain %1").arg(notes.Remove()));
        Look(l, seen, QStringLiteral("policy deleted"));
        Policies(seen);
    };
    return steps;
}

} // namespace

class TestPgOtherBooks : public QObject
{
    Q_OBJECT
private slots:
    void eachBookReadsTheSameOnBothLedgers_data()
    {
        QTest::addColumn<int>("which");
        QTest::newRow("memos") << 0;
        QTest::newRow("addresses") << 1;
        QTest::newRow("assets") << 2;
        QTest::newRow("lent and borrowed") << 3;
        QTest::newRow("demand savings") << 4;
        QTest::newRow("fixed-term savings") << 5;
        QTest::newRow("insurance") << 6;
    }
    void eachBookReadsTheSameOnBothLedgers()
    {
        QFETCH(int, which);
        const BookSteps steps = std::vector<BookSteps>{Memos(), Addresses(), Articles(), Credits(), Current(), Deposits(), Insurance()}.at(size_t(which));
        const BothLedgers seen = RunOnBothLedgers([&steps] { return Drive(steps); });
        QVERIFY2(!Told(seen.onFile).contains(QLatin1String("failed")), qPrintable(Told(seen.onFile)));
        QVERIFY(seen.onFile.size() > 600);
        COMPARE_BOTH_LEDGERS(seen);
    }
};

QTEST_GUILESS_MAIN(TestPgOtherBooks)
#include "tst_pgotherbooks.moc"
