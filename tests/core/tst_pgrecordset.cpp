// The record set itself on a ledger file and on a server ledger: the ledger's filter texts (dates,
// numbers, quotes, letters of every script, and texts that would be SQL of the server's own if they
// reached it: a quote that ends the statement, dollar quotes, backslashes, escape strings, casts,
// comments), sort orders, the cursor, finds, sums and deletes read the same on both, and every table
// is whole afterwards.
#include "common/LedgerDate.h"
#include "db/CAddressRecord.h"
#include "db/CCurrentRecord.h"
#include "db/CMoneyBook.h"
#include "db/CMoneyRecord.h"
#include "db/SqlConnection.h"

#include "BothLedgers.h"

#include <QTest>

namespace {

// Items a household may write, and what a server would read as its own.
const QStringList kItems{
    QStringLiteral("餐饮"), QStringLiteral("it's"), QStringLiteral("'; DROP TABLE money; --"), QStringLiteral("$$"),
    QStringLiteral("$zarvel$x$zarvel$"), QStringLiteral("back\\slash"), QStringLiteral("\\"), QStringLiteral("E'x'"),
    QStringLiteral("x::text"), QStringLiteral("/* c */"), QStringLiteral("--"), QStringLiteral("50%_off"), QStringLiteral("a_b"),
    QStringLiteral("?"), QStringLiteral("$1"), QStringLiteral("😀"), QStringLiteral("Ä"), QStringLiteral("b"), QStringLiteral("B"),
    QString(), QString(300, QChar(0x6C34))};

// Filters in the ledger's form, those it refuses among them.
const QStringList kFilters{
    QString(),
    QStringLiteral("Item='餐饮'"),
    QStringLiteral("item='it''s'"),
    QStringLiteral("[Item]=\"it's\""),
    QStringLiteral("Item='''; DROP TABLE money; --'"),
    QStringLiteral("Item='x'; DROP TABLE money; --"),
    QStringLiteral("Item='x' OR 1=1"),
    QStringLiteral("Item='$$'"),
    QStringLiteral("Item=$$餐饮$$"),
    QStringLiteral("Item='$zarvel$x$zarvel$'"),
    QStringLiteral("Item='back\\slash'"),
    QStringLiteral("Item='\\'"),
    QStringLiteral("Item='\\' OR Item='b'"),
    QStringLiteral("Item=E'x'"),
    QStringLiteral("Item='E''x'''"),
    QStringLiteral("Item='x::text'"),
    QStringLiteral("Item='b'::text"),
    QStringLiteral("Item='/* c */'"),
    QStringLiteral("Item='b' /* c */"),
    QStringLiteral("Item='--'"),
    QStringLiteral("Item='b' -- c"),
    QStringLiteral("Item Like '餐%'"),
    QStringLiteral("Item='50%_off'"),
    QStringLiteral("Item='a_b' OR Item='a%b'"),
    QStringLiteral("Item='?'"),
    QStringLiteral("Item=?"),
    QStringLiteral("Item='$1'"),
    QStringLiteral("Item='😀' OR Item='Ä'"),
    QStringLiteral("Item>='B' AND Item<'b'"),
    QStringLiteral("Item>'a'"),
    QStringLiteral("Item=''"),
    QStringLiteral("Item<>''"),
    QStringLiteral("Item='") + QString(300, QChar(0x6C34)) + QLatin1Char('\''),
    QStringLiteral("Member='妈妈'"),
    QStringLiteral("NOT (Member='妈妈' OR Member='Li')"),
    QStringLiteral("Date>#2003-5-1#"),
    QStringLiteral("Date>=#2003-05-01 08:00:00# AND Date<#2003-6-1#"),
    QStringLiteral("Date=#2003-2-30#"),
    QStringLiteral("Date>'2003-01-01'"),
    QStringLiteral("Date<#2003-5-1# OR Date>#2003-7-1 12:30#"),
    QStringLiteral("Money>-12.5"),
    QStringLiteral("Money=0"),
    QStringLiteral("Money>1e2 AND Money<=1.5E3"),
    QStringLiteral("ID=3"),
    QStringLiteral("ID=3.5"),
    QStringLiteral("ID>1 AND NOT (Money<0 OR Item='餐饮')"),
    QStringLiteral("ID=99999999999999999999"),
    QStringLiteral("Nope=1"),
    QStringLiteral("(Item='b'"),
    QStringLiteral("Item='b"),
};

const QStringList kSorts{QStringLiteral("Date"), QStringLiteral("Item"), QStringLiteral("Money"), QStringLiteral("Member"),
                         QStringLiteral("Item; DROP TABLE Money"), QStringLiteral("\"Item\" DESC")};

// Records of every item, on days that repeat, at amounts with cents, zero and whole ones.
void Seed()
{
    CMoneyRecord set;
    set.Open();
    SqlTransaction transaction(set.Connection());
    for (int i = 0; i < 160; ++i) {
        set.AddNew();
        set.m_Date = LedgerDateTime(QDate(2003, 4, 1).addDays(i * 13 % 120), QTime(i % 3 * 4, i % 2 * 30));
        set.m_Item = kItems.at(i % kItems.size());
        set.m_Money = i % 9 == 0 ? 0.0 : (i % 2 ? -1 : 1) * (i * 10.05);
        set.m_Member = QStringList{QStringLiteral("妈妈"), QStringLiteral("Li"), QStringLiteral("li"), QString()}.at(i % 4);
        set.m_Explain = kItems.at((i + 5) % kItems.size());
        set.Update();
    }
    transaction.Commit();
}

QString Record(const CMoneyRecord &set)
{
    return QStringLiteral("%1|%2|%3|%4|%5|%6").arg(set.m_ID).arg(DbDateText(set.m_Date), set.m_Item).arg(set.m_Money, 0, 'g', 17).arg(set.m_Member, set.m_Explain);
}

// The set under the filter and order: its records forward and back, its count, sums, finds and the
// positions of a match; or what refused it.
void ReadSet(const QString &filter, const QString &sort, QStringList *seen)
{
    seen->append(QStringLiteral("== [%1] by %2").arg(filter, sort));
    try {
        CMoneyRecord set;
        set.m_strFilter = filter;
        set.m_strSort = sort;
        set.Open();
        seen->append(QStringLiteral("count %1").arg(set.GetRecordCount()));
        QStringList forward, back;
        for (; !set.IsEOF(); set.MoveNext())
            forward.append(Record(set));
        for (set.MoveLast(); !set.IsBOF(); set.MovePrev())
            back.prepend(Record(set));
        seen->append(forward);
        seen->append(back == forward ? QStringLiteral("back alike") : QStringLiteral("back: ") + back.join(QLatin1Char(';')));
        seen->append(QStringLiteral("sum %1 %2 %3").arg(set.SumCents(QStringLiteral("Money"))).arg(set.Sum(QStringLiteral("Money")), 0, 'g', 17)
                         .arg(set.SumCents(QStringLiteral("Money"), QStringLiteral("Member='li' OR Item='$$'"))));
        for (const QString &criterion : {QStringLiteral("Item='it''s'"), QStringLiteral("Member='li'"), QStringLiteral("Date>=#2003-6-1#")}) {
            const bool found = set.FindFirst(criterion);
            QStringList positions;
            for (qint64 position : set.MatchingPositions(criterion))
                positions.append(QString::number(position));
            seen->append(QStringLiteral("find %1: %2 at %3, next after 5 %4; %5")
                             .arg(criterion).arg(found).arg(found ? Record(set) : QString())
                             .arg(set.NextMatch(criterion, 5)).arg(positions.join(QLatin1Char(' '))));
        }
        QStringList ids;
        for (qint64 id : set.IdsAt(7, 5))
            ids.append(QString::number(id));
        seen->append(QStringLiteral("ids at 7: ") + ids.join(QLatin1Char(' ')));
    } catch (const DbError &error) {
        seen->append(QStringLiteral("refused: ") + error.Explanation());
    }
}

// Whether every table of the ledger is there, with its records, and the kept figures with them.
void Tables(QStringList *seen)
{
    auto db = OpenLedgerDatabase();
    for (const char *table : {"Money", "Deposit", "Current", "Article", "InsureNote", "InsureRecord", "Credit", "Memo", "Address",
                              "Totals", "MoneyMonths", "MoneyMonthItems", "MoneyBlocks", "LedgerMark"}) {
        const QString name = QString::fromLatin1(table);
        seen->append(QStringLiteral("%1: %2").arg(name, db->HasTable(name) ? QueryRowTexts(*db, QStringLiteral("SELECT count(*) FROM \"%1\"").arg(name)).join(QLatin1Char(' ')) : QStringLiteral("gone")));
    }
}

QStringList DriveRecordSets()
{
    QStringList seen;
    Seed();
    for (const QString &filter : kFilters)
        ReadSet(filter, QStringLiteral("Date"), &seen);
    for (const QString &sort : kSorts)
        ReadSet(QStringLiteral("Member<>'Li'"), sort, &seen);
    Tables(&seen);

    // The income and expense book filtered by the same texts, and their records found by them.
    CMoneyBook book;
    book.ShowPage(1, QStringLiteral("Date"));
    for (const QString &filter : kFilters) {
        try {
            book.SetFilter(filter);
            book.ComputeTotal();
            seen.append(QStringLiteral("book [%1]: %2 pages, total %3").arg(filter).arg(book.GetPageCount()).arg(book.GetTotalCents()));
            seen.append(BookRows(book));
        } catch (const DbError &error) {
            seen.append(QStringLiteral("book refused [%1]: %2").arg(filter, error.Explanation()));
        }
    }
    book.SetFilter(QString());
    // Each item alone, then a day, an amount, and a day with a member.
    QList<QStringList> finds;
    for (const QString &item : kItems)
        finds.append({QString(), item, QString(), QString()});
    finds.append({QStringLiteral("2003-04-14"), QString(), QString(), QString()});
    finds.append({QString(), QString(), QStringLiteral("20.1"), QString()});
    finds.append({QStringLiteral("2003-05-10"), QString(), QString(), QStringLiteral("li")});
    for (const QStringList &find : std::as_const(finds)) {
        const bool byItem = find.at(0).isEmpty() && find.at(2).isEmpty() && find.at(3).isEmpty();  // the empty item too
        bool more = book.FindRecords(find.at(0), !find.at(0).isEmpty(), find.at(1), byItem, find.at(2), !find.at(2).isEmpty(),
                                     find.at(3), !find.at(3).isEmpty());
        QStringList found{QString::number(book.GetItemData(book.GetSelected()))};
        while (more) {
            more = book.FindNext();
            found.append(QString::number(book.GetItemData(book.GetSelected())));
        }
        seen.append(QStringLiteral("found [%1]: %2").arg(find.join(QLatin1Char('|')), found.join(QLatin1Char(' '))));
    }

    // Deletes by a condition of such texts take the records that hold them, and nothing else.
    CMoneyRecord records;
    records.Open();
    for (const QString &condition : {QStringLiteral("Item='''; DROP TABLE money; --'"), QStringLiteral("Item='$$' OR Item='\\'"),
                                     QStringLiteral("Explain='--'"), QStringLiteral("Item='x'; DELETE FROM Money")}) {
        try {
            QStringList ids;
            for (qint64 id : records.DeleteMatching(condition))
                ids.append(QString::number(id));
            seen.append(QStringLiteral("deleted [%1]: %2").arg(condition, ids.join(QLatin1Char(' '))));
        } catch (const DbError &error) {
            seen.append(QStringLiteral("delete refused [%1]: %2").arg(condition, error.Explanation()));
        }
    }
    Tables(&seen);

    // The other tables' sets: texts alone, and a currency's sum.
    CAddressRecord addresses;
    addresses.Open();
    for (const QString &name : kItems) {
        addresses.AddNew();
        addresses.m_Name = name;
        addresses.m_Mobile = QStringLiteral("013800000000");
        addresses.Update();
    }
    CCurrentRecord current;
    current.Open();
    for (int i = 0; i < 9; ++i) {
        current.AddNew();
        current.m_Date = LedgerDateTime(QDate(2003, 1, 1 + i));
        current.m_Account = kItems.at(i);
        current.m_MKind = i % 3 ? QStringLiteral("人民币") : QStringLiteral("美元");
        current.m_Money = 0.1 * i;
        current.Update();
    }
    for (const QString &filter : {QStringLiteral("Name='''; DROP TABLE money; --' OR Name='$$'"), QStringLiteral("Mobile='013800000000'"),
                                  QStringLiteral("Name>'a'")}) {
        CAddressRecord set;
        set.m_strFilter = filter;
        set.m_strSort = QStringLiteral("Name");
        set.Open();
        QStringList names;
        for (; !set.IsEOF(); set.MoveNext())
            names.append(set.m_Name);
        seen.append(QStringLiteral("addresses [%1]: %2").arg(filter, names.join(QLatin1Char('|'))));
    }
    CCurrentRecord home;
    home.m_strFilter = QStringLiteral("MKind='人民币'");
    home.Open();
    seen.append(QStringLiteral("home currency %1 cents, %2").arg(home.SumCents(QStringLiteral("Money"))).arg(home.Sum(QStringLiteral("Money")), 0, 'g', 17));
    Tables(&seen);
    return seen;
}

} // namespace

class TestPgRecordSet : public QObject
{
    Q_OBJECT
private slots:
    void filtersSortsAndFindsReadTheSameOnBothLedgers()
    {
        const BothLedgers seen = RunOnBothLedgers(DriveRecordSets);
        QVERIFY2(!Told(seen.onFile).contains(QLatin1String("failed")), qPrintable(Told(seen.onFile)));
        // The texts that would be the server's own SQL were read as texts: each found its records.
        const qsizetype dropped = seen.onFile.indexOf(QStringLiteral("== [Item='''; DROP TABLE money; --'] by Date"));
        QCOMPARE(seen.onFile.value(dropped + 1), QStringLiteral("count 8"));
        QCOMPARE(seen.onFile.filter(QStringLiteral(": gone")).size(), 0);
        COMPARE_BOTH_LEDGERS(seen);
    }
};

QTEST_GUILESS_MAIN(TestPgRecordSet)
#include "tst_pgrecordset.moc"
